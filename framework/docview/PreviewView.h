// CPreviewView: the print preview of a view. Its pages are laid out as
// printing lays them out: each page is drawn by the view's own printing code
// (OnPrint) into an enhanced metafile whose reference device is the printer,
// and shown scaled, one or two side by side, over the main window's whole
// client area below a row of buttons (Print, Next Page, Prev Page, One/Two
// Page, Zoom In, Zoom Out, Close). While it is up the main window's bars and
// MDI client are hidden, its other commands are disabled, and its close hook
// ends the preview instead of closing the window.
#pragma once
#include "docview/PrintInfo.h"
#include "gdi/DC.h"
#include "wnd/Wnd.h"

#include <vector>

inline constexpr UINT ID_FILE_PRINT_PREVIEW = 57609;
inline constexpr UINT AFX_ID_PREVIEW_CLOSE = 0xE300;
inline constexpr UINT AFX_ID_PREVIEW_NUMPAGE = 0xE301;
inline constexpr UINT AFX_ID_PREVIEW_NEXT = 0xE302;
inline constexpr UINT AFX_ID_PREVIEW_PREV = 0xE303;
inline constexpr UINT AFX_ID_PREVIEW_PRINT = 0xE304;
inline constexpr UINT AFX_ID_PREVIEW_ZOOMIN = 0xE305;
inline constexpr UINT AFX_ID_PREVIEW_ZOOMOUT = 0xE306;

class CFrameWnd;
class CView;

class CPreviewView : public CWnd {
public:
    // Starts the preview of the view in the application's main window;
    // false when there is no main window, a preview is up already, or the
    // view's preparation refused.
    static BOOL Start(CView* view);
    // Ends the preview: the main window as it was and the view active again.
    // The object goes with its window.
    void Close();

    UINT GetPageCount() const { return static_cast<UINT>(m_pages.size()); }
    UINT GetCurrentPage() const { return m_nCurrentPage; }  // the first page shown, from 1
    UINT GetShownPages() const { return m_nShown; }         // 1 or 2
    int GetZoom() const { return m_nZoom; }                 // 0 (whole pages) to 2
    CView* GetPrintView() const { return m_pPrintView; }
    // The client rectangle of the first or second page shown (empty when none).
    CRect GetPageRect(int index) const;
    // The page (from 1) as the view drew it, in the printer's device units.
    HENHMETAFILE GetPageMetafile(UINT page) const;
    CSize GetPaperSize() const { return m_paper; }

    BOOL OnCmdMsg(CommandCall& call) override;

protected:
    const MessageMap* GetMessageMap() const override;
    void PostNcDestroy() override { delete this; }

private:
    CPreviewView() = default;
    ~CPreviewView() override;
    BOOL Begin(CFrameWnd* frame, CView* view);
    void LayOutPages();
    void CreateButtons();
    void UpdateButtons();
    int ButtonRowHeight() const;
    // The scale of the pages and the size of everything shown at it.
    double Scale() const;
    CSize ContentSize() const;
    void UpdateScrollBars();
    void ShowPage(UINT page);
    static void CloseHook(CFrameWnd* frame);

    void OnPaint();
    BOOL OnEraseBkgnd(HDC) { return TRUE; }
    void OnSize(UINT type, int cx, int cy);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    LRESULT OnHScroll(WPARAM w, LPARAM) { Scroll(SB_HORZ, LOWORD(w)); return 0; }
    LRESULT OnVScroll(WPARAM w, LPARAM) { Scroll(SB_VERT, LOWORD(w)); return 0; }
    LRESULT OnMouseWheel(WPARAM w, LPARAM);
    void Scroll(int bar, UINT code);
    void OnNext() { ShowPage(m_nCurrentPage + 1); }
    void OnPrev() { ShowPage(m_nCurrentPage > 1 ? m_nCurrentPage - 1 : 1); }
    void OnNumPage();
    void OnZoomIn();
    void OnZoomOut();
    void OnPreviewPrint();
    void OnPreviewClose() { Close(); }

    CFrameWnd* m_pFrame = nullptr;
    CView* m_pPrintView = nullptr;
    CPrintInfo m_info;
    CDC m_printer;                        // the reference device: the printer, or the screen
    CSize m_paper;                        // the page in device units of the reference
    std::vector<HENHMETAFILE> m_pages;
    UINT m_nCurrentPage = 1;
    UINT m_nShown = 1;
    int m_nZoom = 0;
    CPoint m_scroll;
    std::vector<HWND> m_hiddenWindows;    // what the preview hid, shown again at its end
    std::vector<HWND> m_buttons;
    BOOL m_bClosing = FALSE;
};

// CMDIFrameWnd: the multiple-document main window. Its client area is the
// system's MDI client window, which holds the CMDIChildWnd frames; commands
// go to the active child frame (and so to its view and document) first.
// The menu switches to a template's shared menu while one of its child
// frames is active.
#pragma once
#include "wnd/FrameWnd.h"

class CMDIChildWnd;

inline constexpr UINT ID_WINDOW_NEW = 57648;
inline constexpr UINT ID_WINDOW_ARRANGE = 57649;
inline constexpr UINT ID_WINDOW_CASCADE = 57650;
inline constexpr UINT ID_WINDOW_TILE_HORZ = 57651;
inline constexpr UINT ID_WINDOW_TILE_VERT = 57652;

class CMDIFrameWnd : public CFrameWnd {
public:
    CMDIFrameWnd() = default;

    HWND m_hWndMDIClient = nullptr;

    CFrameWnd* GetActiveFrame() override;
    // The active child frame: every lookup of the frame goes through this one (frames that
    // keep a child active outside the MDI client override it).
    virtual CMDIChildWnd* MDIGetActive(BOOL* maximized = nullptr) const;
    void MDIActivate(CWnd* child);
    void MDICascade() { ::SendMessageW(m_hWndMDIClient, WM_MDICASCADE, 0, 0); }
    void MDITile(int how = MDITILE_HORIZONTAL) { ::SendMessageW(m_hWndMDIClient, WM_MDITILE, static_cast<WPARAM>(how), 0); }
    void MDIIconArrange() { ::SendMessageW(m_hWndMDIClient, WM_MDIICONARRANGE, 0, 0); }
    void MDIMaximize(CWnd* child) { ::SendMessageW(m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child->GetSafeHwnd()), 0); }
    void MDINext() { ::SendMessageW(m_hWndMDIClient, WM_MDINEXT, 0, 0); }
    // Puts a menu on the frame; the window list goes into its "&Window" popup.
    void MDISetMenu(HMENU frameMenu);
    static HMENU FindWindowMenu(HMENU menu);

    BOOL CreateClient(LPCREATESTRUCT cs, HMENU windowMenu);
    BOOL OnCmdMsg(CommandCall& call) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnUpdateFrameTitle(BOOL addToTitle) override;
    HACCEL GetDefaultAccelerator() override;
    void RecalcLayout(BOOL notify = TRUE) override;

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL OnCreateClient(LPCREATESTRUCT cs, CCreateContext* context) override;
    void OnWindowCommand(UINT id);
    // The window list shows each child's title as it stands: an "&" in a
    // title is a character, not the mark of a menu key.
    void OnInitMenuPopup(HMENU menu, UINT index, BOOL sysMenu);
};

// The text of a window list entry: its number as the menu key, then the
// title with every "&" doubled ("&2 Diary && Plans").
CString WindowListEntryText(int number, const CString& title);

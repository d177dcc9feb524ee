// COXToolTipCtrl: the toolkit's own tooltip window. A borderless popup that
// shows a tool's text near the cursor after a delay, hides after a time or
// when the cursor leaves the tool, shows texts of several lines, and, for a
// text with a carriage return, switches between the short text before it and
// the extended text after it when the user clicks the tip.
//
// Tools are added with AddTool; the owner relays its mouse messages with
// RelayEvent, which makes the tool under the cursor current and starts the
// initial delay.
#pragma once
#include "gdi/DC.h"
#include "wnd/Wnd.h"

#include <memory>
#include <vector>

inline constexpr COLORREF OXTT_DEFAULT_COLOR = 0xFF000000;

// A tool's record and its exchange form.
struct OXTOOLINFO {
    UINT cbSize = sizeof(OXTOOLINFO);
    UINT uFlags = 0;
    HWND hwnd = nullptr;
    UINT_PTR uId = 0;
    RECT rect{};
    HINSTANCE hinst = nullptr;
    LPWSTR lpszText = nullptr;  // LPSTR_TEXTCALLBACKW: ask the window (TTN_NEEDTEXTW)
    LPARAM lParam = 0;
    int nWidth = 0;                           // maximum width in pixels, 0 = the widest line
    COLORREF clrTextColor = OXTT_DEFAULT_COLOR;
    COLORREF clrBackColor = OXTT_DEFAULT_COLOR;
};

class COXToolTipCtrl : public CWnd {
public:
    struct Tool {
        UINT flags = 0;
        HWND hwnd = nullptr;
        UINT_PTR id = 0;
        CRect rect;
        bool callback = false;
        CString text;
        int maxWidth = 0;
        COLORREF textColor = OXTT_DEFAULT_COLOR;
        COLORREF backColor = OXTT_DEFAULT_COLOR;
        LPARAM appValue = 0;
    };
    static constexpr UINT_PTR kDelayTimer = 1;
    static constexpr UINT_PTR kPollTimer = 2;

    COXToolTipCtrl() = default;
    ~COXToolTipCtrl() override;

    BOOL Create(CWnd* parent);
    BOOL AddTool(const OXTOOLINFO& info);
    void DelTool(HWND hwnd, UINT_PTR id);
    Tool* FindToolRecord(HWND hwnd, UINT_PTR id) const;
    void RelayEvent(const MSG* msg);

    static BOOL GetSystemStatusFont(LOGFONTW& font);
    BOOL SetTipFont(const LOGFONTW* font, BOOL redraw = TRUE);
    BOOL FollowsSystemFont() const { return m_bSystemFont; }
    void Hide();
    void Show(CPoint point, BOOL extended);
    CString GetToolText(Tool* tool);
    BOOL FindTool(HWND hwnd, CPoint point, OXTOOLINFO& info) const;
    Tool* ToolFromPoint(CPoint point) const;
    BOOL IsCursorOverTool(Tool* tool) const;
    BOOL IsCursorInTip() const;

    void SetCurrentTool(Tool* tool) { m_pCurrentTool = tool; }
    Tool* GetCurrentTool() const { return m_pCurrentTool; }
    BOOL HasExtendedText() const { return m_bHasExtendedText; }
    BOOL IsExtendedShown() const { return m_bExtendedShown; }
    BOOL IsHidden() const { return m_bHidden; }
    void SetTimes(UINT initialDelay, UINT pollInterval, UINT displayTime) {
        m_nInitialDelay = initialDelay;
        m_nPollInterval = pollInterval;
        m_nDisplayTime = displayTime;
    }
    CPoint CursorOffset() const { return m_cursorOffset; }

    virtual CRect AdjustTipRect(CRect rect, CPoint point, Tool* tool);
    virtual CRect CalcTipRect(const CString& text, int maxWidth);

protected:
    const MessageMap* GetMessageMap() const override;
    void OnPaint();
    void OnTimer(UINT_PTR id);
    void OnLButtonDown(UINT flags, CPoint point);
    LRESULT OnMouseActivate(WPARAM, LPARAM) { return MA_NOACTIVATE; }
    LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetFont(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(m_font.GetSafeHandle()); }

private:
    CPoint CursorInParent() const;
    CString ShownText(Tool* tool);

    CWnd* m_pParent = nullptr;
    CRect m_margins{2, 2, 3, 3};
    CPoint m_cursorOffset{0, 20};
    CFont m_font;
    LOGFONTW m_logFont{};
    UINT m_nDrawFlags = DT_WORDBREAK | DT_EXPANDTABS | DT_EXTERNALLEADING | DT_NOPREFIX;
    BOOL m_bSystemFont = TRUE;
    Tool* m_pCurrentTool = nullptr;
    UINT m_nPollInterval = 500;
    UINT m_nDisplayTime = 5000;
    UINT m_nElapsed = 0;
    UINT m_nInitialDelay = 500;
    BOOL m_bEnabled = TRUE;
    BOOL m_bHidden = TRUE;
    BOOL m_bHasExtendedText = FALSE;
    BOOL m_bExtendedShown = FALSE;
    COLORREF m_clrText = OXTT_DEFAULT_COLOR;
    COLORREF m_clrBack = OXTT_DEFAULT_COLOR;
    HWND m_hFocusWnd = nullptr;
    std::vector<std::unique_ptr<Tool>> m_tools;
};

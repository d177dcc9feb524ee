// COXPopupBarCtrl: a popup grid of value buttons, with an optional
// "Default" button above the grid and a "Custom..." button below it. Pick
// shows it beside a rectangle (a toolbar's drop-down button), captures the
// mouse and runs its own loop until a button is chosen, the popup is
// cancelled (Escape, a click outside, losing the capture) or "Custom..." is
// chosen; the click that closed it still reaches the window it was aimed at.
// What the values mean is the derived class's (the colour picker's colours).
//
// Indexes: 0 "Default", 1..N the grid buttons, N+1 "Custom...".
#pragma once
#include "wnd/Wnd.h"
#include "gdi/DC.h"

#include <map>
#include <utility>
#include <vector>

inline constexpr DWORD POPUPBAR_NOTOOLTIPS = 0x1;
inline constexpr DWORD POPUPBAR_NODEFAULT = 0x2;
inline constexpr DWORD POPUPBAR_NOCUSTOM = 0x4;
inline constexpr DWORD POPUPBAR_NOTEAROFF = 0x10;
inline constexpr UINT WM_POPUPBAR_NOTIFY = 0x8096;

class COXPopupBarCtrl : public CWnd {
public:
    COXPopupBarCtrl(UINT buttons, UINT rows, DWORD defaultValue, int buttonWidth, int buttonHeight, UINT defaultTextId, UINT customTextId);
    ~COXPopupBarCtrl() override;

    virtual BOOL Create(CWnd* parent, DWORD popupStyle, HBRUSH background = nullptr);
    // Shows the popup and runs until a choice; TRUE when a value was chosen.
    virtual BOOL Pick(UINT alignment, LPCRECT reference, CSize offset);
    BOOL SetButtons(const DWORD* values, int count);
    BOOL SetToolTips(const std::pair<DWORD, UINT>* tips, int count);
    DWORD GetSelectedValue() const { return m_dwSelected; }
    void SetSelectedValue(DWORD value) { m_dwSelected = value; }
    DWORD GetDefaultValue() const { return m_dwDefault; }
    void SetDefaultValue(DWORD value) { m_dwDefault = value; }

    int GetColumnCount() const;
    int GetButtonCount() const { return m_nButtons; }
    int GetHotIndex() const { return m_nHotIndex; }
    int GetSelectedIndex() const { return m_nSelectedIndex; }
    const std::vector<DWORD>& GetValues() const { return m_values; }
    const std::vector<CRect>& GetButtonRects() const { return m_buttonRects; }
    const CRect& GetDefaultRect() const { return m_rectDefault; }
    const CRect& GetCustomRect() const { return m_rectCustom; }
    const CRect& GetWindowRectangle() const { return m_rectWindow; }
    const CRect& GetTearOffRect() const { return m_rectTearOff; }
    BOOL IsTornOff() const { return m_bTornOff; }
    // Lays the popup out (sizes and the button rectangles) without showing it.
    BOOL CalcLayout();
    // The top-left corner for an alignment beside a reference rectangle.
    static CPoint AlignedPosition(UINT alignment, const CRect& reference, CSize size, CSize offset, bool& placed);

    static UINT OkMessage();
    static UINT CancelMessage();
    static UINT CustomButtonMessage();
    static UINT TearOffMessage();

protected:
    virtual void DrawBackground(CDC* dc);
    virtual void DrawButton(CDC* dc, int index);
    virtual void DrawTearOffStrip(CDC* dc);
    virtual void DrawDefaultButton(CDC* dc);
    virtual void DrawCustomButton(CDC* dc);
    virtual void DrawButtonFrame(CDC* dc, CRect rect, int index);
    virtual void OnButtonDown(CPoint point);
    virtual void OnButtonUp(CPoint point);
    virtual BOOL OnCustomButton() { return FALSE; }
    virtual void SetHotIndex(int index);
    virtual void SetSelectedIndex(int index);
    BOOL PreTranslateMessage(MSG* msg) override;
    const MessageMap* GetMessageMap() const override;

    void OnPaint();
    LRESULT OnEraseBkgnd(HDC) { return TRUE; }
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT, CPoint point) { OnButtonDown(point); }
    void OnLButtonUp(UINT, CPoint point) { OnButtonUp(point); }
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnKeyUp(UINT key, UINT repeat, UINT flags);
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    void OnClose() { ShowWindow(SW_HIDE); }
    LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcActivate(WPARAM wParam, LPARAM lParam);
    LRESULT OnFloatStatus(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaletteChange(WPARAM wParam, LPARAM lParam);

    void Notify(UINT message);
    int HitTest(CPoint point) const;
    CRect IndexRect(int index) const;
    void InvalidateIndex(int index);
    void Choose();
    int FirstIndex() const { return HasDefault() ? 0 : 1; }
    int LastIndex() const { return HasCustom() ? m_nButtons + 1 : m_nButtons; }
    bool HasDefault() const { return !(m_dwPopupStyle & POPUPBAR_NODEFAULT); }
    bool HasCustom() const { return !(m_dwPopupStyle & POPUPBAR_NOCUSTOM); }
    bool HasTearOff() const { return !(m_dwPopupStyle & POPUPBAR_NOTEAROFF) && !m_bTornOff; }
    void DrawTextButton(CDC* dc, CRect rect, const CString& text);
    // Registers the tooltip tools; FALSE when the tooltip or a tool could not be made.
    BOOL RegisterTools();
    void PassOnClick();
    // Follows the mouse with an outline and, when the button is released,
    // turns the popup into a floating tool window there.
    void TearOff();

    std::vector<DWORD> m_values;
    int m_nButtons;
    int m_nRows;
    DWORD m_dwPopupStyle = 0;
    std::map<DWORD, CString> m_toolTipTexts;
    HWND m_hToolTip = nullptr;
    DWORD m_dwSelected = static_cast<DWORD>(-1);
    DWORD m_dwDefault;
    CSize m_buttonSize;
    CString m_strDefault = L"Default";
    CString m_strCustom = L"Custom...";
    CString m_strTearOffTip;
    CString m_strTitle;
    CFont m_font;
    CWnd* m_pParent = nullptr;
    HPALETTE m_hPalette = nullptr;
    MSG m_endingClick{};
    UINT_PTR m_nTimer = 0;
    CRect m_marginWindow{4, 2, 4, 2};
    CRect m_marginButton{0, 0, 0, 0};
    CRect m_marginDefault{0, 0, 0, 2};
    CRect m_marginCustom{0, 2, 0, 0};
    CRect m_marginTearOff{2, -1, 2, 2};
    int m_nSelectedIndex = -1;
    int m_nHotIndex = -1;
    CRect m_rectWindow;
    CRect m_rectDefault;
    CRect m_rectCustom;
    CRect m_rectTearOff;
    std::vector<CRect> m_buttonRects;
    BOOL m_bMouseDown = FALSE;
    BOOL m_bTearOffArmed = FALSE;
    BOOL m_bHotTracking = TRUE;
    BOOL m_bTornOff = FALSE;
    HBRUSH m_hBackground = nullptr;
    BOOL m_bClickPending = FALSE;
    int m_nState = 0;  // 0 picking, 1 chosen, 2 cancelled, 3 "Custom..." chosen, 4 torn off
    CPoint m_lastMouse{-1, -1};
};

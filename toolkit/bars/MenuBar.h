// COXMenuBar: a cool toolbar that shows a frame's menu as a row of text
// buttons, dockable and floatable like any bar. Button i (command id i + 1)
// stands for top-level item i; pressing it drops the item's popup below (or
// beside) the button, as a bitmap menu when the main window has a bitmap-menu
// organizer. While a popup is open, the arrow keys and the mouse move to the
// neighbouring popups; in keyboard mode the bar holds the focus and the arrow
// keys, Enter and Escape work on its items.
//
// While the owner is an MDI frame with a maximised child, the bar shows the
// child's icon at its start (a click opens the child's system menu) and the
// child's close, restore and minimise buttons at its end, in its non-client
// area, drawn by the toolbar skin. Docked, it can take the whole length of
// its dock row; floating, its mini frame's system menu is emptied.
//
// Every menu bar shares one thread mouse hook, installed with the first bar
// and removed with the last.
#pragma once
#include "bars/CoolToolBar.h"

#include <map>
#include <vector>

inline constexpr UINT WM_MENUBAR_OPENPOPUP = 0x808D;

// Hit codes of the MDI area; other answers are button indexes.
inline constexpr int OXMB_HIT_ICON = -5;
inline constexpr int OXMB_HIT_CLOSE = -4;
inline constexpr int OXMB_HIT_RESTORE = -3;
inline constexpr int OXMB_HIT_MINIMIZE = -2;
inline constexpr int OXMB_HIT_NONE = -1;
// The timer that turns a held press in customise mode into a button drag.
inline constexpr UINT_PTR kMenuBarDragTimer = 412;

class COXMenuBar : public COXCoolToolBar {
public:
    COXMenuBar() = default;
    ~COXMenuBar() override;

    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT id = AFX_IDW_TOOLBAR) override;
    // Shows the menu: one text button per top-level item.
    BOOL SetMenu(HMENU menu);
    HMENU GetMenu() const { return m_hMenu; }
    CString GetMenuItemText(int index) const;
    BOOL IsMenuBar() const override { return TRUE; }
    BOOL IsCustomizable(BOOL advanced = FALSE) const override { return advanced; }

    void OpenPopup(int index);
    int GetOpenPopup() const { return m_nOpenPopup; }
    BOOL SetKeyboardMode(BOOL on, int index = -1);
    BOOL IsInKeyboardMode() const { return m_bKeyboardMode; }
    int GetHotItem() const { return static_cast<int>(SendMessage(TB_GETHOTITEM)); }

    BOOL DeleteButton(int index) override;
    BOOL ShowCustomizeMenu(int index, int x, int y) override;
    BOOL SaveBarState(const wchar_t* section, const wchar_t* name, BOOL properties = TRUE) override;
    BOOL LoadBarState(const wchar_t*, const wchar_t*, BOOL = TRUE) override { return TRUE; }
    BOOL SaveMenuLayout(HMENU menu, const wchar_t* layoutName);
    // Inserts items from a packed list (see PackedMenuItems.h) read within `size` bytes;
    // the items inserted, -1 when the list ran past its end.
    virtual int BuildMenuFromData(const BYTE* data, size_t size, HMENU menu, int position);

    // MDI child icon and caption buttons -------------------------------------------------------
    struct MDIButtonRects {
        CRect close, restore, minimize;  // window coordinates; empty when not shown
    };
    HICON GetMDIChildIcon() const { return m_hMDIChildIcon; }
    void SetMDIChildIcon(HICON icon, BOOL relayout = TRUE);
    // Takes the icon of the owner's maximised MDI child (none without one); run on idle.
    void UpdateMDIChildIcon(BOOL relayout = TRUE);
    // The owner's active MDI child when it is maximised, else null.
    HWND GetMaximizedMDIChild() const;
    const MDIButtonRects& GetMDIButtonRects() const { return m_mdiButtons; }
    CRect GetMDIIconRect() const { return m_rectIcon; }
    int GetPressedMDIButton() const { return m_nPressedMDIButton; }
    // What lies at a point in window coordinates: an OXMB_HIT_* code or a button index.
    int HitTestMDI(CPoint windowPoint) const;
    virtual void DrawMDIButtons(CDC* dc);
    // The button rectangle; index == item count gives the MDI child icon (client coordinates).
    void GetItemRect(int index, LPRECT rect) const override;

    // Docking ----------------------------------------------------------------------------------------
    void SetStretch(BOOL on) { m_bStretch = on; }
    BOOL IsStretch() const { return m_bStretch; }
    CSize CalcLayout(DWORD mode, int length = -1) override;
    CSize CalcSize(std::vector<TBBUTTON>& buttons) override;

    static int GetHookUsers();
    static bool IsMouseHookInstalled();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnUpdateMenuButton(CCmdUI* cmdUI);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void EndPopupState();
    // A top-level item without a popup: its command goes to the owner frame at once.
    bool RunPlainCommand(int index);
    void TrackPopup(HMENU popup, int index);
    void TrackSystemMenu(HMENU popup);
    // Tracks a plain popup below (or beside) a button's screen rectangle.
    UINT TrackBeside(HMENU popup, const CRect& button, UINT extraFlags, HWND owner);
    CRect GetNonClientMargins(BOOL horz) const override;
    void OnNcPaintDone(CDC* dc) override;
    void OnFloatingChanged(BOOL floating) override;
    void EmptyMiniFrameSystemMenu();
    void OnDockSideChanged(DWORD side) override;
    // Gives every button the width of its text (vertical: the widest text + 8).
    void ApplyButtonWidths();
    void LayoutMDIButtons(const CRect& window);
    int MDIButtonSize(int thickness) const;
    int DockRowLength(BOOL horz) const;
    // Mouse and timer messages of the MDI area and of button dragging; true when handled.
    bool OnMDIMouse(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void OnCustomizeMouse(UINT message, LPARAM lParam);
    // The menu font and colour of the system again, the bar's height from its first button; with
    // relayout the bar is laid out again at once.
    void OnSettingChange(BOOL relayout);
    static LRESULT CALLBACK MessageFilterProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam);

    HMENU m_hMenu = nullptr;
    int m_nOpenPopup = -1;
    int m_nNextPopup = -1;
    int m_nLastClosed = -1;
    BOOL m_bKeyboardOpened = FALSE;
    BOOL m_bKeyboardMode = FALSE;
    BOOL m_bHookUser = FALSE;
    CWnd* m_pOwnerFrame = nullptr;
    CFont m_font;
    HICON m_hMDIChildIcon = nullptr;
    CRect m_rectIcon;                  // window coordinates
    MDIButtonRects m_mdiButtons;
    int m_nPressedMDIButton = OXMB_HIT_NONE;   // shown pressed
    int m_nCapturedMDIButton = OXMB_HIT_NONE;  // the one the mouse went down on
    BOOL m_bStretch = FALSE;
    BOOL m_bComputingLength = FALSE;   // raised while a stretched bar measures its row
    BOOL m_bVerticalWidths = FALSE;    // the widths last applied were the vertical ones
    UINT_PTR m_nDragTimer = 0;
    int m_nDragButton = -1;
    HWND m_hEmptiedMiniFrame = nullptr;
    std::map<HMENU, int> m_changedMenus;
    std::vector<HMENU> m_createdMenus;
};

// COXMenuBar: a cool toolbar that shows a frame's menu as a row of text
// buttons, dockable and floatable like any bar. Button i (command id i + 1)
// stands for top-level item i; pressing it drops the item's popup below (or
// beside) the button, as a bitmap menu when the main window has a bitmap-menu
// organizer. While a popup is open, the arrow keys and the mouse move to the
// neighbouring popups; in keyboard mode the bar holds the focus and the arrow
// keys, Enter and Escape work on its items.
//
// Every menu bar shares one thread mouse hook, installed with the first bar
// and removed with the last.
#pragma once
#include "bars/CoolToolBar.h"

#include <map>
#include <vector>

inline constexpr UINT WM_MENUBAR_OPENPOPUP = 0x808D;

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
    BOOL ShowCustomizeMenu(int index, int x, int y);
    BOOL SaveBarState(const wchar_t* section, const wchar_t* name, BOOL properties = TRUE) override;
    BOOL LoadBarState(const wchar_t*, const wchar_t*, BOOL = TRUE) override { return TRUE; }
    BOOL SaveMenuLayout(HMENU menu, const wchar_t* layoutName);
    // Inserts items from a packed list (see PackedMenuItems.h) read within `size` bytes;
    // the items inserted, -1 when the list ran past its end.
    virtual int BuildMenuFromData(const BYTE* data, size_t size, HMENU menu, int position);

    static int GetHookUsers();
    static bool IsMouseHookInstalled();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnUpdateMenuButton(CCmdUI* cmdUI);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void EndPopupState();
    void TrackPopup(HMENU popup, int index);
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
    std::map<HMENU, int> m_changedMenus;
    std::vector<HMENU> m_createdMenus;
};

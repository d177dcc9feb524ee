// COXBitmapMenu: an owner-drawn popup menu whose items carry an image, a
// text and a shortcut, measured from the widest of each in the menu and
// drawn through the current menu skin. The organizer turns a frame's popup
// menus into bitmap menus (each wraps an existing HMENU; the menu handle
// lives on when the wrapper goes). A bitmap menu also carries the state of
// menu customisation (selected item, insertion mark, the customisation
// commands) that the customisation window drives.
#pragma once
#include "bars/DragRelay.h"
#include "bars/MenuItemInfo.h"
#include "bars/ToolTipCtrl.h"
#include "skins/MenuSkin.h"
#include "wnd/CmdTarget.h"

#include <map>
#include <memory>
#include <vector>

class COXBitmapMenuPopupWnd;
class COXCoolToolBar;

inline constexpr UINT ID_BITMAPMENU_EXPAND = 0xFF56;
inline constexpr UINT OXBMN_CUSTOMIZE = 0x8072;
inline constexpr UINT BITMAPMENU_SELCHANGED = 0x8069;
inline constexpr UINT BITMAPMENU_INSERTMARKCHANGED = 0x806C;
inline constexpr UINT ID_BITMAPMENU_DELETE = 0x806D;
inline constexpr UINT ID_BITMAPMENU_APPEARANCE = 0x806E;
inline constexpr UINT ID_BITMAPMENU_SEPARATORBEFORE = 0x806F;
inline constexpr UINT ID_BITMAPMENU_SEPARATORAFTER = 0x8070;
inline constexpr UINT ID_BITMAPMENU_RECENTLYUSED = 0x8071;

// The customisation notification: the header, then the customisation code.
struct NMBMCUSTOMIZE {
    NMHDR hdr;
    UINT nCustomizeEventID;
};

class COXBitmapMenu {
public:
    explicit COXBitmapMenu(HMENU menu = nullptr);
    virtual ~COXBitmapMenu();
    COXBitmapMenu(const COXBitmapMenu&) = delete;
    COXBitmapMenu& operator=(const COXBitmapMenu&) = delete;

    HMENU m_hMenu = nullptr;
    HMENU GetSafeHmenu() const { return m_hMenu; }
    BOOL Attach(HMENU menu);
    HMENU Detach();
    // The bitmap menu wrapping a handle, or null.
    static COXBitmapMenu* FromHandle(HMENU menu);
    // The bitmap menu a popup-menu window shows (while it is tracked).
    static COXBitmapMenu* FromPopupWindow(HWND popup);
    // The menu whose popup window is about to be made (set when it is initialised).
    static void SetTracked(COXBitmapMenu* menu);

    // The current skin's menu skin, else a Classic one that lives as long as the process.
    static COXMenuSkin* GetMenuSkin();

    // Extents -----------------------------------------------------------------------------
    void CalcExtents();
    int GetImageColumnWidth() const { return m_nImageColumnWidth; }
    int GetTextHeight() const { return m_nTextHeight; }
    int GetShortcutWidth() const { return m_nShortcutWidth; }
    int GetTextWidth() const { return m_nTextWidth; }
    virtual void MeasureItem(MEASUREITEMSTRUCT* measure);
    virtual void DrawItem(DRAWITEMSTRUCT* draw);
    // The owner-draw records of the item at `position` of `menu` as the system fills them
    // (command id, 0 for a separator, and item data); sizes and the DC are left for the caller.
    static MEASUREITEMSTRUCT MeasureRecord(HMENU menu, int position);
    // The system's menu font (as the window metrics give it) into `font`, replacing what it held.
    static BOOL CreateMenuFont(CFont& font, LONG weight = 0);
    static DRAWITEMSTRUCT DrawRecord(HMENU menu, int position);
    // The position of the item at pt.y (items stacked from 0), -1 below the last.
    int IndexFromPoint(CPoint pt, BOOL* upperHalf = nullptr);
    BOOL IsPopupItem(UINT id) const;
    COXItemInfo* AddItemInfo(std::unique_ptr<COXItemInfo> info);
    std::map<wchar_t, int>& Mnemonics() { return m_mnemonics; }

    // The skin's drawing steps, each with this menu.
    virtual void LayoutItem(const COXImageInfo* info, BOOL hasImage, const CRect& item, CRect& frame, CRect& image, CRect& text, CRect& shortcut);
    virtual void DrawBackground(CDC* dc, UINT state, const COXImageInfo* info, const CRect& item, const CRect& image);
    virtual void DrawImageFrame(CDC* dc, UINT state, const COXImageInfo* info, const CRect& frame);
    virtual void DrawImage(CDC* dc, UINT state, const COXImageInfo* info, const CRect& image);
    virtual void DrawText(CDC* dc, UINT state, const CString& text, const CRect& textRect, const CRect& shortcutRect);
    virtual void DrawSeparator(CDC* dc, const CRect& item);
    virtual void DrawDragFrame(CDC* dc, const CRect& rect, UINT flags = 0);
    virtual void DrawInsertMark(CDC* dc, const CRect& item, BOOL before, UINT flags = 0);
    virtual void DrawTextItem(CDC* dc, UINT state, const CString& text, const COXImageInfo* info, const CRect& item,
                              const CRect& glyph, const CRect& textRect, const CRect& shortcutRect);
    virtual void DrawSubmenuArrow(CDC* dc, const CRect& rect, UINT state);

    // Command-UI update of the items, as a frame does it for a plain popup.
    void UpdateMenuItems(CWnd* frame, UINT position, BOOL systemMenu);

    // Customisation -------------------------------------------------------------------------
    virtual BOOL IsCustomizable() const { return m_bCustomizable; }
    void SetCustomizable(BOOL on) { m_bCustomizable = on; }
    void SetCustomizeMode(BOOL on, HWND owner = nullptr);
    BOOL IsInCustomizeMode() const { return m_bCustomizeMode; }
    int SetSelectedItem(int position);
    int GetSelectedItem() const { return m_nSelectedItem; }
    int SetInsertMark(int position);
    int GetInsertMark() const { return m_nInsertMark; }
    void Refresh();
    virtual BOOL ShowCustomizeMenu(int position, int x, int y);
    // The drag source with its owner set, and the drop target that the
    // customisation window registers (revoked when the menu goes).
    virtual COXSHBDropSource* GetDropSource(CWnd* owner) {
        m_dropSource.SetOwner(owner);
        return &m_dropSource;
    }
    virtual COXSHBDropTarget* GetDropTarget() { return &m_dropTarget; }
    virtual COXBitmapMenuPopupWnd* GetPopupWnd() const { return m_pPopupWnd; }
    void SetPopupWnd(COXBitmapMenuPopupWnd* wnd) { m_pPopupWnd = wnd; }
    virtual void DragItem(int position);
    BOOL IsDragging() const { return m_bDragging; }
    virtual BOOL OnDragEnter(WPARAM wParam, OXDRAGTARGETRELAY* relay) { return OnDragOver(wParam, relay); }
    virtual BOOL OnDragOver(WPARAM wParam, OXDRAGTARGETRELAY* relay);
    virtual BOOL OnDragLeave(WPARAM wParam, OXDRAGTARGETRELAY* relay);
    virtual BOOL OnDrop(WPARAM wParam, OXDRAGTARGETRELAY* relay);
    virtual void OnDeleteItem();
    virtual void OnItemAppearance();
    virtual void OnInsertSeparatorBefore();
    virtual void OnInsertSeparatorAfter();
    virtual void OnToggleRecentlyUsed();

    // Inserts items from a packed list at a position (see PackedMenuItems.h);
    // the number of items read, -1 when the data is malformed (what was read stays).
    virtual int InsertItems(const BYTE* data, size_t size, int position);

    // For bars: the size a menu needs, where it opens beside a button, and tracking it there.
    static CSize CalcMenuSize(HMENU menu);
    static void CalcPopupPosition(HMENU menu, const CRect& button, DWORD barStyle, CPoint* pt, UINT* flags, int* direction);
    UINT TrackPopupMenu(COXCoolToolBar* bar, CWnd* owner, LPCRECT exclude = nullptr);
    const CRect& GetExcludeRect() const { return m_rectExclude; }
    COXPopupWndStack& GetPopupWndStack() { return m_popupStack; }

    // An 8x8 checkerboard brush of two colours (null when it cannot be made).
    static HBRUSH CreateDitherBrush(COLORREF a, COLORREF b);
    // Takes over the popup-menu window class of this instance so that the
    // skins can frame and shadow popup windows; once per process.
    static BOOL RegisterMenuWindowClass(HINSTANCE instance);
    static LRESULT CALLBACK MenuPopupWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Sends a customisation notification; true when the owner handled it.
    BOOL Notify(UINT code);
    int ItemCount() const { return m_hMenu ? GetMenuItemCount(m_hMenu) : 0; }
    COXItemInfo* ItemData(int position) const;

    std::map<wchar_t, int> m_mnemonics;
    int m_nImageColumnWidth = 0;
    int m_nTextHeight = 0;
    int m_nShortcutWidth = 0;
    int m_nTextWidth = 0;
    std::vector<std::unique_ptr<COXItemInfo>> m_itemInfos;
    BOOL m_bCustomizable = FALSE;
    int m_nSelectedItem = -1;
    BOOL m_bCustomizeMode = FALSE;
    HWND m_hNotifyWnd = nullptr;
    BOOL m_bDragging = FALSE;
    COXBitmapMenuPopupWnd* m_pPopupWnd = nullptr;
    int m_nInsertMark = -1;
    CRect m_rectExclude;
    COXPopupWndStack m_popupStack;
    COXSHBDropSource m_dropSource;
    COXSHBDropTarget m_dropTarget;
    COXToolTipCtrl m_toolTip;

private:
    // Item heights as IndexFromPoint measured them, kept while the item
    // count, the extents and the skin stay the same.
    std::vector<int> m_heights;
    const COXMenuSkin* m_heightsSkin = nullptr;
};

// Lets the frame's command-UI handlers set the text of owner-drawn items.
class CBitmapMenuCmdUI : public CCmdUI {
public:
    void SetText(const wchar_t* text) override;
};

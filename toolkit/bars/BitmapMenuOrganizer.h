// COXBitmapMenuOrganizer gives a frame's menus pictures and "recently used"
// behaviour. Attached to a frame it takes over the frame's window procedure,
// turns each popup menu that opens into an owner-drawn COXBitmapMenu whose
// items carry the image of the tool-bar button with the same command,
// measures the items and answers mnemonics. In recently-used mode it leaves
// out the items the user has not used, ends such a menu with an expand item,
// and shows every item again when that item is chosen; a command used from
// the menu is shown from then on. The hidden submenus can be kept in the
// application profile.
#pragma once
#include "bars/BitmapMenu.h"
#include "gdi/ImageList.h"

#include <map>
#include <memory>
#include <set>
#include <vector>

class CBarArchiveReader;
class CBarArchiveWriter;

inline constexpr UINT WM_BITMAPMENU_SAVERUITEMS = 0x8073;
inline constexpr UINT WM_BITMAPMENU_LOADRUITEMS = 0x8074;
inline constexpr UINT WM_BITMAPMENU_RUITEMSCHANGED = 0x8075;

// An item taken out of a menu while it is collapsed.
struct _tagOXSAVEDMENUITEM {
    int nIndex = -1;
    MENUITEMINFOW miInfo{};
    CString sText;
};

struct _tagOXPOPUPMENUTRACE {
    HMENU hMenu = nullptr;
    CPoint ptTopLeft;
};

class COXBitmapMenuOrganizer {
public:
    COXBitmapMenuOrganizer();
    virtual ~COXBitmapMenuOrganizer();
    COXBitmapMenuOrganizer(const COXBitmapMenuOrganizer&) = delete;
    COXBitmapMenuOrganizer& operator=(const COXBitmapMenuOrganizer&) = delete;

    BOOL SetCheckImages(int cx, int cy, UINT checkBitmapId, UINT bulletBitmapId);
    BOOL AttachFrameWnd(CWnd* frame);
    CWnd* DetachFrameWnd();
    CWnd* GetFrameWnd() const { return m_pFrameWnd; }
    void Empty(BOOL restoreMenus);
    BOOL AutoSetMenuImages();
    static COXBitmapMenuOrganizer* FindOrganizer(HWND frame);
    COXImageInfo* GetImageInfo(UINT command) const;

    virtual void ShowOnlyRecentlyUsedItems(BOOL on);
    BOOL IsShowOnlyRecentlyUsedItems() const { return m_bShowOnlyRecentlyUsed; }
    virtual BOOL HideCommand(int id);
    virtual BOOL HideSubmenu(HMENU menu);
    virtual BOOL ShowCommand(int id);
    virtual BOOL ShowSubmenu(HMENU menu);
    BOOL IsCommandShown(int id) const { return !m_hiddenCommands.contains(id); }
    BOOL IsSubmenuShown(HMENU menu) const { return !m_hiddenSubmenus.contains(menu); }
    const std::set<HMENU>& GetHiddenSubmenus() const { return m_hiddenSubmenus; }
    BOOL IsItemShown(HMENU menu, int position) const;
    BOOL HideItem(HMENU menu, int position);
    BOOL ShowItem(HMENU menu, int position);

    // Stored as 32-bit little-endian integers: a count, then the ids; for
    // submenus the item positions from the root to each, ended by 0xFFFFFFFF.
    virtual BOOL SaveHiddenCommands(CBarArchiveWriter& out);
    virtual BOOL LoadHiddenCommands(CBarArchiveReader& in);
    virtual BOOL SaveHiddenSubmenus(HMENU root, CBarArchiveWriter& out);
    virtual BOOL LoadHiddenSubmenus(HMENU root, CBarArchiveReader& in);
    BOOL SaveRUItems(HMENU root, const wchar_t* section);
    BOOL LoadRUItems(HMENU root, const wchar_t* section);

    virtual void OnInitMenuPopup(HMENU popup, UINT position, BOOL systemMenu);
    virtual LRESULT OnMenuChar(UINT ch, UINT flags, HMENU menu);
    virtual BOOL OnMeasureItem(int controlId, MEASUREITEMSTRUCT* measure);
    virtual void ConvertMenu(COXBitmapMenu* menu, BOOL isNew);
    virtual void RestoreMenu(COXBitmapMenu* menu, BOOL restoreItems);

    // Takes a bitmap menu that a bar made for a popup; the organizer owns it from
    // now on and converts it as a new menu when it first opens.
    void AdoptMenu(std::unique_ptr<COXBitmapMenu> menu);
    HMENU CopyPopupMenu(HMENU source);
    void RecordCopiedSubmenu(HMENU menu) { m_copiedSubmenus.push_back(menu); }
    COXBitmapMenu* FindConverted(HMENU menu) const;
    const std::vector<std::unique_ptr<COXBitmapMenu>>& ConvertedMenus() const { return m_convertedMenus; }
    BOOL IsExpanded() const { return m_bExpanded; }

    // The key of an image list: U+007F, the id, then U+007F or U+FF80.
    static CString MakeImageKey(UINT id, BOOL flag);
    static LRESULT CALLBACK FrameWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    LRESULT HandleFrameMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL SubclassFrameWnd(CWnd* frame);
    void UnsubclassFrameWnd();
    void TrimTrace();
    void Expand();
    HMENU FindPopupMenuFromID(HMENU menu, UINT id) const;
    COXImageInfo* EnsureImageInfo(UINT key);
    static void Unhook();
    static LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam);

    std::map<CString, std::unique_ptr<CImageList>> m_imageLists;
    std::map<DWORD, std::unique_ptr<COXImageInfo>> m_imageInfos;
    CWnd* m_pFrameWnd = nullptr;
    HWND m_hWndSubclassed = nullptr;
    WNDPROC m_pfnOldProc = nullptr;
    CImageList m_checkImages;
    std::vector<std::unique_ptr<COXBitmapMenu>> m_convertedMenus;
    BOOL m_bShowOnlyRecentlyUsed = TRUE;
    std::set<int> m_hiddenCommands;
    std::set<HMENU> m_hiddenSubmenus;
    std::map<COXBitmapMenu*, std::vector<_tagOXSAVEDMENUITEM>> m_removedItems;
    std::vector<_tagOXPOPUPMENUTRACE> m_trace;
    int m_nOpenLevels = 0;
    std::map<HMENU, HWND> m_popupWindows;
    std::unique_ptr<COXBitmapMenu> m_pDeferredMenu;
    std::vector<HMENU> m_copiedSubmenus;
    BOOL m_bExpanded = FALSE;
    std::set<COXBitmapMenu*> m_adoptedMenus;  // adopted and not yet opened
};

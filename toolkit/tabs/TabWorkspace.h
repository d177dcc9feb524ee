// The tab workspace: a tab strip over an MDI frame's client area with one tab
// per MDI child. Clicking a tab activates its child, double-clicking it
// maximises or restores the child, dragging something over a tab activates
// that child, and the tabs follow the children's titles and icons.
//
// COXTabClientWnd subclasses the frame's MDI client and owns the workspace;
// the frame's layout calls its CalcWindowRect, which gives the workspace the
// whole room and the MDI client the workspace's display area. A timer keeps
// the tabs up to date (and the client's MDI messages ask for an update at once).
// The timer's tick walks the client's children again only when they may have
// changed since the last walk (a walk costs the window server a round trip per
// child); otherwise it follows the titles and the active child of the windows
// it knows.
#pragma once
#include "gdi/ImageList.h"
#include "skins/SkinnedTabCtrl.h"
#include "tabs/TabDropTarget.h"
#include "wnd/MDIFrameWnd.h"

#include <memory>
#include <vector>

// Sent to an MDI child for its tab's title: it answers a `const wchar_t*` (null or
// empty: the window text is the title).
inline constexpr UINT WM_OX_TABTITLE = 0x80A0;
inline constexpr UINT_PTR IDT_OX_TABUPDATE = 333;
inline constexpr UINT kTabUpdateInterval = 500;

struct _tagTAB_ITEM_ENTRY {
    CString szTabTitle;  // as the child gave it, before "&" was doubled for the tab
    CString szWndClass;  // the child's window class when its tab was made
    HWND hWnd = nullptr;  // the MDI child
    BOOL bFound = TRUE;
};
using TAB_ITEM_ENTRY = _tagTAB_ITEM_ENTRY;

class COXTabClientWnd;

class COXTabWorkspaceDropTarget : public COXTabDragActivation {
protected:
    BOOL IsDragActivation(CWnd* wnd) const override;
    BOOL ActivateTab(CWnd* wnd, int index) override;
};

class COXTabWorkspace : public COXSkinnedTabCtrl {
public:
    COXTabWorkspace();
    ~COXTabWorkspace() override;

    // The child's answer to WM_OX_TABTITLE, else its window text.
    virtual CString GetTabText(CWnd* child);
    // The tab of a child whose class is still the one it had when its tab was made; -1 when none.
    int FindTab(HWND child) const;
    BOOL AddTab(int index, HWND child, BOOL redraw = TRUE, BOOL onlyVisible = TRUE);
    BOOL RemoveTab(HWND child, BOOL recalc = TRUE);
    // The image of an icon in the workspace's image list (added when new); -1 for no icon.
    int AddIcon(HICON icon);
    static HICON GetChildIcon(HWND child);
    // Adds tabs for new children, drops those of hidden ones, follows titles (and icons) and the active child.
    void UpdateContents(BOOL addNew = TRUE, BOOL updateIcons = FALSE);
    // The timer's update: UpdateContents (TRUE, FALSE), without the walk of the children while
    // they are still the windows the last walk saw, each as visible and as tabbed as it was.
    void RefreshContents();
    // The children are to be walked again at the next refresh (a window may have come).
    void ChildrenChanged() { m_bWalkNeeded = TRUE; }
    CMDIFrameWnd* GetMDIFrame() const;

    HWND GetTabWindow(int index) const;
    int GetTabCount() const { return static_cast<int>(m_arrTab.size()); }
    const TAB_ITEM_ENTRY& GetTabEntry(int index) const { return m_arrTab[static_cast<size_t>(index)]; }
    int GetImageCount() const { return static_cast<int>(m_arrImage.size()); }
    // The icon each image of the list was made from.
    const std::vector<HICON>& GetImageIcons() const { return m_arrImage; }
    int GetOffset() const { return m_nOffset; }
    void SetDragActivation(BOOL activate) { m_bDragActivation = activate; }
    BOOL GetDragActivation() const { return m_bDragActivation; }

protected:
    friend class COXTabClientWnd;
    const MessageMap* GetMessageMap() const override;
    int OnCreate(LPCREATESTRUCT cs);
    void OnTimer(UINT_PTR id);
    void OnSelChange(NMHDR*, LRESULT* result);
    void OnLButtonDblClk(UINT flags, CPoint point);
    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    void OnNcPaint();
    LRESULT OnEraseBkgnd(HDC dc);
    void OnDestroy();

private:
    // Takes an image out of the list when no tab shows it any more (an icon handle the system
    // hands out again must not find the old picture).
    void PruneImage(int image);
    // Deletes a tab and its entry, and its image when no other tab shows it.
    void DeleteTab(int index);
    void SetTabTitle(int index, const CString& title);
    // Takes the child's current title into its tab when it differs; TRUE when it did.
    BOOL FollowTitle(int index, CWnd* child);
    // Selects the active child's tab and lays the frame out again after a change.
    void FinishUpdate(int activeIndex, BOOL changed);
    // Whether the windows under the client are still those of the last walk, in the same state.
    bool ChildrenAsWalked(HWND client, HWND active) const;

    // A window under the MDI client as the last walk left it.
    struct WalkedChild {
        HWND hWnd;
        bool visible;
        bool tabbed;
    };

    std::vector<TAB_ITEM_ENTRY> m_arrTab;
    std::vector<HICON> m_arrImage;
    std::vector<WalkedChild> m_arrWalked;
    BOOL m_bWalkNeeded = TRUE;
    CImageList m_imageList;
    COXTabWorkspaceDropTarget m_dropTarget;
    COXTabClientWnd* m_pTabClientWnd = nullptr;
    int m_nOffset = 1;
    BOOL m_bDragActivation = TRUE;
};

class COXTabClientWnd : public CWnd {
public:
    static constexpr DWORD kDefaultStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_FOCUSNEVER | TCS_HOTTRACK;

    COXTabClientWnd();
    ~COXTabClientWnd() override;

    // Puts the workspace over the frame's MDI client (which this object subclasses).
    BOOL Attach(CMDIFrameWnd* frame, DWORD tabStyle = kDefaultStyle, int offset = 1, BOOL dragActivation = TRUE);
    // Takes the workspace away again and leaves the client as it was.
    void Detach();
    BOOL IsAttached() const { return m_hWnd != nullptr; }

    COXTabWorkspace* GetTabCtrl() { return &m_tab; }
    CMDIFrameWnd* GetMDIFrame() const { return m_pParentFrame; }
    // The skin that draws the client's border and widens its room: the current skin's, else a
    // Classic one of the client's own.
    COXTabSkin* GetTabSkin();
    void CalcWindowRect(LPRECT rect, UINT adjustType = adjustBorder) override;

    // The layout must be worked out again at the next update.
    BOOL m_bForceToRecalc = FALSE;

protected:
    const MessageMap* GetMessageMap() const override;
    LRESULT OnMDICreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnMDIDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnMDIActivate(WPARAM wParam, LPARAM lParam);
    LRESULT OnParentNotify(WPARAM wParam, LPARAM lParam);
    void OnSize(UINT type, int cx, int cy);
    void OnShowWindow(BOOL show, UINT status);
    void OnNcPaint();

private:
    friend class COXTabWorkspace;
    // The empty tab shown after a lone tab too wide for the strip (always the last tab).
    void RemovePlaceholder();
    void PlaceDisplayArea(CRect& rect);

    COXTabWorkspace m_tab;
    CMDIFrameWnd* m_pParentFrame = nullptr;
    BOOL m_bPlaceholder = FALSE;
    std::unique_ptr<COXTabSkin> m_pFallbackSkin;
};

// CXTreeCtrl: the folder tree of the bookmark folder. One root item stands
// for the Allpages folder; below it every visible sub-folder and page file
// (".htm", ".html"). Folders fill when they expand. Pages open by double
// click, and the tree marks open pages and the folders above them with
// "open" images. Rename and delete (label edit, DeleteSelected), drag and
// drop, copy and paste change the disk first and the tree after, and keep
// the AllPages index of the pages they touch in step.
//
// Item data: 1 for a page, 0 for a folder and the root. Images (bitmap 135):
// 0/1 closed folder, 2/3 open folder, 4/5 page, 6/7 open page.
#pragma once
#include "controls/TreeCtrl.h"
#include "tree/FolderWatch.h"

#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

inline constexpr UINT kTreeControlId = 95736;

enum TreeImage { kFolderClosed = 0, kFolderOpen = 2, kPageImage = 4, kPageOpen = 6 };

class CXTreeCtrl : public CTreeCtrl {
public:
    CXTreeCtrl() = default;
    ~CXTreeCtrl() override;

    // The Allpages folder that the root item stands for (set by the filler).
    CString m_allpagesPath;

    CString m_expandingPath;
    std::map<CString, int> m_openCounts;         // open-mark count per item path
    std::map<CString, HTREEITEM> m_itemsByPath;  // the live item of each path

    // Drag state.
    UINT m_scrollTicks = 0;
    UINT_PTR m_scrollTimer = 0;
    CPoint m_hoverPoint;
    UINT_PTR m_hoverTimer = 0;
    DWORD m_buttonDownTick = 0;
    int m_dragging = 0;
    HIMAGELIST m_dragImage = nullptr;
    HTREEITEM m_dragItem = nullptr;
    HTREEITEM m_dropTarget = nullptr;

    // The item that Copy remembered, by its path: a refill or a delete cannot
    // leave it pointing at another item.
    CString m_copiedPath;
    int m_iconToggledByDblClk = 0;
    CString m_editOldPath;
    // A label edit is under way: the first end of it decides (the control may
    // report the end a second time while its edit box goes away).
    bool m_editing = false;
    // The rename that a label edit asked for, carried out after the edit ends.
    // The item is kept by its path: a refill before the rename runs may hand
    // the old item's handle to another entry.
    CString m_pendingRenamePath;
    CString m_pendingRenameLabel;
    static constexpr UINT kRenameMessage = WM_APP + 0x51;
    // Widens the label edit box's limit once the control has set its own.
    static constexpr UINT kEditLimitMessage = WM_APP + 0x52;

    // The tree's own timers. Their ids stay clear of the ids the control
    // uses inside (Wine's tree view runs its slow-click rename on id 2).
    static constexpr UINT_PTR kHoverTimerId = 0x7451;
    static constexpr UINT_PTR kScrollTimerId = 0x7452;
    static constexpr UINT_PTR kFolderChangedTimerId = 0x7453;
    static constexpr UINT_PTR kWatchCheckTimerId = 0x7454;

    // The tree follows the disk: pages and folders that appear, go or are
    // renamed while the program runs (a clip's process writes a new page, the
    // shell deletes pages) show so within moments. The Allpages folder is
    // watched while the tree can be seen; each change updates the entries it
    // names, in the folders the tree has filled. Nothing open closes.
    static constexpr UINT kFolderChangedMessage = WM_APP + 0x53;
    // Starts the watch when the tree can be seen and it does not run (and
    // stops it when the tree cannot), and looks again every second.
    void WatchAllpages();
    bool IsWatchingDisk() const;
    // Compares every filled folder with the disk: entries that went leave,
    // new ones come at the place a fill gives them.
    void ShowDiskState();
    // The same for the entries of these paths (relative to Allpages) only.
    void ShowDiskChanges(const std::set<CString>& names);

    bool IsPage(HTREEITEM item) const { return item && GetItemData(item) != 0; }
    CString ItemPath(HTREEITEM item) const;
    HTREEITEM FindChildByLabel(HTREEITEM parent, const CString& label) const;

    // Records the path of a live item (both directions).
    void Remember(HTREEITEM item, const CString& path);
    // Inserts one item for a file-system entry and records it in the maps: a
    // folder in sorted place, a page after `after`.
    HTREEITEM InsertEntry(HTREEITEM parent, const CString& folderPath, const CString& fileName, bool folder,
                          bool restoreMarks, HTREEITEM after = TVI_LAST);
    // Adds the folder's sub-folders and pages below the item: 1 when anything was added.
    int FillFolder(HTREEITEM item, const CString& path);
    // Adds one new page or folder (with its first level) below the parent.
    int AddPathToTree(const CString& path, HTREEITEM parent);
    // Depth-first search for the item of a path, expanding folders on the way.
    HTREEITEM FindItemByPath(HTREEITEM start, const CString& path);

    // Open marks: a page opened from the tree, and a page's document closed.
    void MarkPageOpen(HTREEITEM item);
    void MarkPageClosed(const CString& path);
    // Adds delta to the count of every folder above the path, root included;
    // a folder whose count falls to 0 shows closed, one above 0 open.
    void AddToAncestors(const CString& path, int delta);
    // Expands a folder item, filling it from disk, whether or not the control
    // notifies this expansion.
    void ExpandFolder(HTREEITEM item);
    // Collapses a folder item with its open-mark bookkeeping (the control
    // does not notify a collapse it is asked for).
    void CollapseFolder(HTREEITEM item);
    // Marks the page open and shows it through the application's page template.
    void OpenPage(HTREEITEM item);
    // Flips a folder that is empty on disk between the closed and open image.
    void ToggleEmptyFolderImage(HTREEITEM item);

    // Rename and delete.
    int DeleteSelected();
    // What a drop does: moves or copies the page or folder of `dragged` to
    // the folder of `target` (a page target means its folder).
    void MoveItem(HTREEITEM dragged, HTREEITEM target);
    void CopyOnDrop(HTREEITEM dragged, HTREEITEM target);
    // Copy and paste: remembers the selected item; copies the page or folder
    // of the source path (the remembered one) into the target.
    void CopySelected();
    void PasteItem(HTREEITEM target, const CString& source);

    // Context menu (TreeContextMenu.cpp). The menu is built for the item under
    // the point, and its commands act on that item.
    HMENU BuildContextMenu(HTREEITEM item) const;
    void ShowContextMenu(CPoint screenPoint);
    void OnContextCommand(UINT id);
    HTREEITEM m_menuItem = nullptr;

    // Open documents below a path (a page or folder): asked to save, then
    // closed. False when the user cancels (nothing is closed then).
    static bool SaveAndCloseDocumentsBelow(const CString& path);

protected:
    const MessageMap* GetMessageMap() const override;

    void OnItemExpanding(NMHDR* header, LRESULT* result);
    void OnDblClk(NMHDR* header, LRESULT* result);
    void OnRClick(NMHDR* header, LRESULT* result);
    void OnDeleteItem(NMHDR* header, LRESULT* result);
    void OnBeginLabelEdit(NMHDR* header, LRESULT* result);
    void OnEndLabelEdit(NMHDR* header, LRESULT* result);
    LRESULT OnPendingRename(WPARAM, LPARAM);
    LRESULT OnEditLimit(WPARAM, LPARAM);
    LRESULT OnFolderChanged(WPARAM, LPARAM);
    void OnBeginDrag(NMHDR* header, LRESULT* result);
    void OnPaint();
    LRESULT OnEraseBkgnd(HDC dc);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnTimer(UINT_PTR id);

private:
    bool StartWatch();
    void ShowDiskStateBelow(HTREEITEM item, const CString& path);
    void ShowDiskChange(const CString& path);
    // A page or folder renamed or moved outside the program: the open pages
    // below its old path follow it (path name, title, open mark), as after
    // the tree's own rename.
    void FollowOutsideRename(const CString& oldPath, const CString& newPath);
    HTREEITEM InsertAtFillPlace(HTREEITEM parent, const CString& folder, const CString& name, bool isFolder);
    // Says that the page of the item is no longer on disk; its entry goes.
    void TellPageGone(HTREEITEM item, const CString& path);
    CFolderWatch m_folderWatch;
    // Entries found gone by the tree itself, taken out with the next changes.
    std::set<CString> m_goneEntries;

public:
    // The tree's own disk work (a drop, a rename, a delete) is under way: the
    // disk's changes wait for it, since it still holds items they could take.
    int m_diskWork = 0;
    struct DiskWork {
        explicit DiskWork(CXTreeCtrl& tree) : m_tree(tree) { ++m_tree.m_diskWork; }
        ~DiskWork() { --m_tree.m_diskWork; }
        DiskWork(const DiskWork&) = delete;
        DiskWork& operator=(const DiskWork&) = delete;
        CXTreeCtrl& m_tree;
    };

private:

    // Empties a folder item and fills it again from disk before it expands.
    void PrepareExpansion(HTREEITEM item, const CString& path);
    // The path each live item was inserted under, to drop map entries of deleted items.
    std::unordered_map<HTREEITEM, CString> m_pathOfItem;
    void SetRedraw(bool on);

    bool RenamePage(HTREEITEM item, const CString& oldPath, const CString& newPath);
    bool RenameFolder(const CString& oldPath, const CString& newPath);
    void RekeyBelow(const CString& oldPath, const CString& newPath);
    // Opens again, at their place below `destination`, the pages that were
    // open below `source` before it moved there, with their open marks.
    void ReopenMoved(const std::vector<CString>& pages, const CString& source, const CString& destination);
    void EndDrag();
    // Works out the destination folder and its item for a drop or paste on
    // `target`; false when there is none.
    bool DropDestination(HTREEITEM target, CString& folder, HTREEITEM& folderItem) const;
    // Shows a new page or folder below the destination after a drop or paste.
    void ShowDropResult(HTREEITEM target, HTREEITEM folderItem, const CString& newPath);
};

// Finds the item of a path below `start` (opening the folders on the way)
// and selects it: a page that is not open opens, an empty folder shows
// itself opened or closed. False after "No item was found".
bool FindTreeItem(CXTreeCtrl& tree, const CString& path, HTREEITEM start);
// FindTreeItem from the root (start-up's last page, the search's hits).
bool SelectTreeItemByPath(CXTreeCtrl& tree, const CString& path);
// Whether a folder holds no entries at all (a missing folder counts as empty).
bool IsFolderEmptyOnDisk(const CString& path);

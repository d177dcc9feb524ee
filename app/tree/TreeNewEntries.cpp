// The tree follows pages and folders that appear on disk while the program
// runs: another process of the program (a clip) or any other program may
// write below the Allpages folder, and nothing tells this process but the
// folder watch.
#include "tree/XTreeCtrl.h"

#include "tree/FolderListing.h"

#include <set>
#include <vector>

void CXTreeCtrl::WatchAllpages() {
    if (m_allpagesPath.IsEmpty() || !GetSafeHwnd()) {
        m_folderWatch.Stop();
        return;
    }
    if (!m_folderWatch.IsWatching(m_allpagesPath)) m_folderWatch.Start(m_allpagesPath, m_hWnd, kFolderChangedMessage);
}

LRESULT CXTreeCtrl::OnFolderChanged(WPARAM, LPARAM) {
    // Changes from here on post again: none slips past the round below.
    m_folderWatch.Acknowledge();
    // A label edit or a drag in progress keeps the items as they are; the
    // new entries come a moment later.
    if (m_editing || m_dragging) {
        SetTimer(kFolderChangedTimerId, 300, nullptr);
        return 0;
    }
    ShowNewEntries();
    return 0;
}

void CXTreeCtrl::ShowNewEntries() {
    HTREEITEM root = GetRootItem();
    if (!root || m_allpagesPath.IsEmpty()) return;
    ShowNewEntriesBelow(root, m_allpagesPath);
}

void CXTreeCtrl::ShowNewEntriesBelow(HTREEITEM item, const CString& path) {
    // A folder the tree never filled lists its entries when it expands; it
    // only needs its expand button once it holds something.
    if (item != GetRootItem() && !GetChildItem(item)) {
        if (!ItemHasChildren(item) && !IsFolderEmptyOnDisk(path)) SetItemHasChildren(item, true);
        return;
    }
    auto key = [](CString entryPath) { return entryPath.MakeUpper(); };
    std::set<CString> shown;
    std::vector<std::pair<HTREEITEM, CString>> folders;
    for (HTREEITEM child = GetChildItem(item); child; child = GetNextSiblingItem(child)) {
        CString childPath = ItemPath(child);
        shown.insert(key(childPath));
        if (!IsPage(child)) folders.emplace_back(child, childPath);
    }
    ForEachTreeEntry(path, [&](const CString& name, bool folder) {
        CString entryPath = path + L"\\" + name;
        if (shown.count(key(entryPath))) return;
        HTREEITEM added = InsertEntry(item, path, name, folder, true);
        if (added && folder && IsFolderEmptyOnDisk(entryPath)) SetItemHasChildren(added, false);
    });
    for (const auto& [folder, folderPath] : folders) ShowNewEntriesBelow(folder, folderPath);
}

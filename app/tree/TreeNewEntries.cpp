// The tree follows the disk while the program runs: another process of the
// program (a clip) or any other program may add, delete or rename pages and
// folders below the Allpages folder, and nothing tells this process but the
// folder watch. The watch names the entries that changed; only those are
// looked at, in the folders the tree has filled, and only the difference
// reaches the tree. When the names do not tell all (the system lost count,
// the watch ended and starts again), every filled folder is compared with
// the disk.
#include "tree/XTreeCtrl.h"

#include "app/AfxMessageBox.h"
#include "docview/Document.h"
#include "tree/FolderListing.h"
#include "tree/TreeNames.h"
#include "util/OpenDocuments.h"
#include "util/PathParts.h"

#include <map>
#include <vector>

namespace {

// How the tree would show an entry of the disk: not at all, as a folder or as a page.
enum class Shown { No, Folder, Page };

// The entry of the path as the tree's listing would show it. A name that the
// disk holds only in another letter case counts as not shown: the entry of
// the disk's own name is a change of its own.
Shown ShownOnDisk(const CString& path) {
    // Most changes are entries that went: those are told without opening
    // their folder (which would hold up a folder being deleted).
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return Shown::No;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(path, FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return Shown::No;
    FindClose(find);
    const CString name = GetPathLastPart(path);
    if (CString(data.cFileName) != name || (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN)) return Shown::No;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return name[0] == L'.' ? Shown::No : Shown::Folder;
    return IsPageFileName(name) ? Shown::Page : Shown::No;
}

}  // namespace

bool CXTreeCtrl::StartWatch() {
    if (!GetSafeHwnd()) return false;
    // Only a tree that the user can see follows the disk: a clip's process
    // builds its main window without showing it, and watches nothing.
    if (m_allpagesPath.IsEmpty() || !IsWindowVisible()) {
        m_folderWatch.Stop();
        return false;
    }
    if (m_folderWatch.IsWatching(m_allpagesPath)) return false;
    m_folderWatch.Stop();  // one that ended
    return m_folderWatch.Start(m_allpagesPath, m_hWnd, kFolderChangedMessage);
}

void CXTreeCtrl::WatchAllpages() {
    // A watch whose folder went hears nothing more: the tree shows the disk
    // as it is, and follows the folder again once there is one.
    bool lost = m_folderWatch.IsWatching(m_allpagesPath) && !m_folderWatch.Check();
    // What changed while nobody watched shows when the watch starts.
    if (StartWatch() || lost) ShowDiskState();
    // Looked at again now and then: a window shown after its tree was
    // filled, a tree bar shown again, a watch that ended and could not start
    // again (its folder was gone).
    if (GetSafeHwnd()) SetTimer(kWatchCheckTimerId, 1000);
}

bool CXTreeCtrl::IsWatchingDisk() const { return m_folderWatch.IsWatching(m_allpagesPath); }

LRESULT CXTreeCtrl::OnFolderChanged(WPARAM, LPARAM) {
    // A label edit, a drag or the tree's own disk work in progress keeps the
    // items as they are; the changes are taken a moment later.
    if (m_editing || m_dragging || m_diskWork) {
        SetTimer(kFolderChangedTimerId, 300, nullptr);
        return 0;
    }
    // Changes from here on post again: none slips past the round below.
    CFolderWatch::Changes changes = m_folderWatch.Take();
    changes.names.insert(m_goneEntries.begin(), m_goneEntries.end());
    m_goneEntries.clear();
    if (changes.ended && StartWatch()) changes.everything = true;
    // The open pages follow a rename first: the new entries show their marks.
    for (const auto& [from, to] : changes.renames)
        FollowOutsideRename(m_allpagesPath + L"\\" + from, m_allpagesPath + L"\\" + to);
    if (changes.everything) ShowDiskState();
    else ShowDiskChanges(changes.names);
    return 0;
}

void CXTreeCtrl::FollowOutsideRename(const CString& oldPath, const CString& newPath) {
    // An old name that is there again (renamed back, made anew) keeps its pages.
    if (GetFileAttributesW(oldPath) != INVALID_FILE_ATTRIBUTES) return;
    for (CDocument* document : OpenDocumentsBelow(oldPath)) {
        const CString oldPage = document->GetPathName();
        const CString newPage = ReplacePathPrefix(oldPage, oldPath, newPath);
        if (newPage == oldPage) continue;
        MarkPageClosed(oldPage);
        document->SetPathName(newPage, FALSE);
        if (auto item = m_itemsByPath.find(newPage); item != m_itemsByPath.end()) {
            MarkPageOpen(item->second);
        } else {
            m_openCounts[newPage] = 1;  // the item takes it when it shows
            AddToAncestors(newPage, 1);
        }
    }
}

void CXTreeCtrl::ShowDiskState() {
    HTREEITEM root = GetRootItem();
    if (!root || m_allpagesPath.IsEmpty()) return;
    SetRedraw(false);
    ShowDiskStateBelow(root, m_allpagesPath);
    SetRedraw(true);
}

void CXTreeCtrl::ShowDiskChanges(const std::set<CString>& names) {
    if (!GetRootItem() || m_allpagesPath.IsEmpty() || names.empty()) return;
    const bool many = names.size() > 1;
    if (many) SetRedraw(false);
    // In path order: a folder comes before what is inside it, so the
    // entries of a folder that went are passed over with it.
    for (const CString& name : names) ShowDiskChange(m_allpagesPath + L"\\" + name);
    if (many) SetRedraw(true);
}

void CXTreeCtrl::ShowDiskChange(const CString& path) {
    const CString folder = GetParentPath(path);
    HTREEITEM parent = nullptr;
    if (IsSamePath(folder, m_allpagesPath)) {
        parent = GetRootItem();
    } else if (auto found = m_itemsByPath.find(folder); found != m_itemsByPath.end() && !IsPage(found->second)) {
        parent = found->second;
    }
    // A folder the tree does not show: its own change, or its fill, shows it.
    if (!parent) return;
    // A folder the tree never filled lists its entries when it expands; it
    // only needs its expand button while it holds something.
    if (parent != GetRootItem() && !GetChildItem(parent)) {
        SetItemHasChildren(parent, !IsFolderEmptyOnDisk(folder));
        return;
    }
    const Shown shown = ShownOnDisk(path);
    auto found = m_itemsByPath.find(path);
    HTREEITEM item = found != m_itemsByPath.end() && GetParentItem(found->second) == parent ? found->second : nullptr;
    if (item && (shown == Shown::No || (shown == Shown::Page) != IsPage(item))) {
        DeleteItem(item);  // a folder's items go with it
        item = nullptr;
    }
    if (item || shown == Shown::No) return;
    InsertAtFillPlace(parent, folder, GetPathLastPart(path), shown == Shown::Folder);
}

HTREEITEM CXTreeCtrl::InsertAtFillPlace(HTREEITEM parent, const CString& folder, const CString& name, bool isFolder) {
    HTREEITEM after = TVI_LAST;
    if (!isFolder) {
        // A page stands where a fill of the folder puts it: right after the
        // entry the listing gives before it.
        std::map<CString, HTREEITEM> byName;
        for (HTREEITEM child = GetChildItem(parent); child; child = GetNextSiblingItem(child))
            byName[GetPathLastPart(ItemPath(child))] = child;
        after = TVI_FIRST;
        bool reached = false;
        ForEachTreeEntry(folder, [&](const CString& entry, bool) {
            if (reached || (reached = entry == name)) return;
            if (auto known = byName.find(entry); known != byName.end()) after = known->second;
        });
    }
    HTREEITEM added = InsertEntry(parent, folder, name, isFolder, true, after);
    if (added && isFolder && IsFolderEmptyOnDisk(folder + L"\\" + name)) SetItemHasChildren(added, false);
    return added;
}

void CXTreeCtrl::ShowDiskStateBelow(HTREEITEM item, const CString& path) {
    if (item != GetRootItem() && !GetChildItem(item)) {
        SetItemHasChildren(item, !IsFolderEmptyOnDisk(path));
        return;
    }
    std::map<CString, HTREEITEM> shown;  // the file name of each item below
    for (HTREEITEM child = GetChildItem(item); child; child = GetNextSiblingItem(child))
        shown[GetPathLastPart(ItemPath(child))] = child;
    std::vector<std::pair<HTREEITEM, CString>> folders;
    // Each new entry goes where the fill puts it: a page right after the
    // entry listed before it, a folder in sorted place.
    HTREEITEM after = TVI_FIRST;
    const bool listed = ForEachTreeEntry(path, [&](const CString& name, bool folder) {
        const CString entryPath = path + L"\\" + name;
        auto found = shown.find(name);
        if (found != shown.end() && IsPage(found->second) == !folder) {
            after = found->second;
            if (folder) folders.emplace_back(found->second, entryPath);
            shown.erase(found);
            return;
        }
        HTREEITEM added = InsertEntry(item, path, name, folder, true, after);
        if (!added) return;
        after = added;
        if (folder && IsFolderEmptyOnDisk(entryPath)) SetItemHasChildren(added, false);
    });
    // A folder that cannot be listed but is there keeps what it shows.
    if (!listed && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) return;
    for (const auto& [name, child] : shown) DeleteItem(child);
    for (const auto& [folder, folderPath] : folders) ShowDiskStateBelow(folder, folderPath);
}

void CXTreeCtrl::TellPageGone(HTREEITEM item, const CString& path) {
    AfxMessageBox(L"The page \"" + GetItemText(item) +
                  L"\" is no longer on disk: it was deleted or renamed outside Tarvelo. "
                  L"Its entry is taken out of the tree.");
    // Taken out once this notice is over: the item may be in the middle of
    // the control's own handling of a click.
    m_goneEntries.insert(path.Mid(m_allpagesPath.GetLength() + 1));
    PostMessage(kFolderChangedMessage);
}

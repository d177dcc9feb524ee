#include "tree/XTreeCtrl.h"

#include "app/AfxMessageBox.h"
#include "app/WinApp.h"
#include "docview/Document.h"
#include "gdi/BufferedPaint.h"
#include "core/MessageBox.h"
#include "pages/PageFile.h"
#include "tree/FolderListing.h"
#include "tree/TreeNames.h"
#include "util/OpenDocuments.h"
#include "util/PathParts.h"

#include <algorithm>
#include <vector>

bool IsPageFileName(const CString& name) {
    CString ext = GetFileExt(name);
    ext.MakeUpper();
    return ext == L"HTM" || ext == L"HTML";
}

bool IsFolderEmptyOnDisk(const CString& path) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(path + L"\\*", FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return true;
    bool empty = true;
    do {
        if (wcscmp(data.cFileName, L".") != 0 && wcscmp(data.cFileName, L"..") != 0) empty = false;
    } while (empty && FindNextFileW(find, &data));
    FindClose(find);
    return empty;
}

CXTreeCtrl::~CXTreeCtrl() {
    if (m_dragImage) ImageList_Destroy(m_dragImage);
}

const MessageMap* CXTreeCtrl::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapReflectNotify<&CXTreeCtrl::OnBeginDrag>(TVN_BEGINDRAGW),
        MapReflectNotify<&CXTreeCtrl::OnItemExpanding>(TVN_ITEMEXPANDINGW),
        MapReflectNotify<&CXTreeCtrl::OnBeginLabelEdit>(TVN_BEGINLABELEDITW),
        MapReflectNotify<&CXTreeCtrl::OnEndLabelEdit>(TVN_ENDLABELEDITW),
        MapReflectNotify<&CXTreeCtrl::OnDeleteItem>(TVN_DELETEITEMW),
        MapReflectNotify<&CXTreeCtrl::OnDblClk>(NM_DBLCLK),
        MapReflectNotify<&CXTreeCtrl::OnRClick>(NM_RCLICK),
        MapMessage<&CXTreeCtrl::OnPaint>(WM_PAINT),
        MapMessage<&CXTreeCtrl::OnEraseBkgnd>(WM_ERASEBKGND),
        MapMessage<&CXTreeCtrl::OnMouseMove>(WM_MOUSEMOVE),
        MapMessage<&CXTreeCtrl::OnLButtonUp>(WM_LBUTTONUP),
        MapMessage<&CXTreeCtrl::OnLButtonDown>(WM_LBUTTONDOWN),
        MapMessage<&CXTreeCtrl::OnTimer>(WM_TIMER),
        MapMessage<&CXTreeCtrl::OnPendingRename>(kRenameMessage),
        MapMessage<&CXTreeCtrl::OnEditLimit>(kEditLimitMessage),
        MapMessage<&CXTreeCtrl::OnFolderChanged>(kFolderChangedMessage),
    };
    static const MessageMap map{CTreeCtrl::GetMessageMap(), entries};
    return &map;
}

// Items, icons and lines are drawn into a buffer, background first, and reach
// the screen in one blit.
void CXTreeCtrl::OnPaint() { PaintThroughBuffer(*this); }

LRESULT CXTreeCtrl::OnEraseBkgnd(HDC dc) { return IsPaintBuffer(dc) ? Default() : TRUE; }

CString CXTreeCtrl::ItemPath(HTREEITEM item) const {
    HTREEITEM root = GetRootItem();
    if (!item || item == root) return m_allpagesPath;
    if (auto known = m_pathOfItem.find(item); known != m_pathOfItem.end()) return known->second;
    CString path = GetItemText(item);
    bool page = IsPage(item);
    for (HTREEITEM at = GetParentItem(item); at && at != root; at = GetParentItem(at)) path = GetItemText(at) + L"\\" + path;
    path = m_allpagesPath + L"\\" + path;
    return page ? ResolveExistingPagePath(path + L".htm") : path;
}

HTREEITEM CXTreeCtrl::FindChildByLabel(HTREEITEM parent, const CString& label) const {
    for (HTREEITEM child = GetChildItem(parent); child; child = GetNextSiblingItem(child))
        if (GetItemText(child) == label) return child;
    return nullptr;
}

void CXTreeCtrl::Remember(HTREEITEM item, const CString& path) {
    m_itemsByPath[path] = item;
    m_pathOfItem[item] = path;
}

HTREEITEM CXTreeCtrl::InsertEntry(HTREEITEM parent, const CString& folderPath, const CString& fileName, bool folder,
                                  bool restoreMarks, HTREEITEM after) {
    CString path = folderPath + L"\\" + fileName;
    HTREEITEM item = folder ? InsertItem(fileName, kFolderClosed, kFolderClosed + 1, parent, TVI_SORT, 0, true)
                            : InsertItem(GetNameWithoutExt(fileName), kPageImage, kPageImage + 1, parent, after, 1);
    if (!item) return nullptr;
    Remember(item, path);
    int& count = m_openCounts[path];  // a path never seen starts at 0
    if (!restoreMarks) count = 0;
    if (count > 0) SetItemImage(item, folder ? kFolderOpen : kPageOpen, (folder ? kFolderOpen : kPageOpen) + 1);
    return item;
}

int CXTreeCtrl::FillFolder(HTREEITEM item, const CString& path) {
    int added = 0;
    ForEachTreeEntry(path, [&](const CString& name, bool folder) {
        if (InsertEntry(item, path, name, folder, true)) ++added;
    });
    return added ? 1 : 0;
}

int CXTreeCtrl::AddPathToTree(const CString& path, HTREEITEM parent) {
    CString name = GetPathLastPart(path);
    DWORD attributes = GetFileAttributesW(path);
    bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (!folder && !IsPageFileName(name)) return 0;
    // A folder item that was never filled fills itself when it expands.
    if (parent != GetRootItem() && !IsExpanded(parent) && !GetChildItem(parent)) {
        SetItemHasChildren(parent, true);
        return 1;
    }
    HTREEITEM item = InsertEntry(parent, GetParentPath(path), name, folder, true);
    if (!item) return 0;
    if (folder && IsFolderEmptyOnDisk(path)) SetItemHasChildren(item, false);
    SelectItem(item);
    return 1;
}

void CXTreeCtrl::PrepareExpansion(HTREEITEM item, const CString& path) {
    // The folder's items are brought in line with the disk: items of entries
    // that went are deleted, new entries inserted, the others kept (the
    // control may be selecting one of them while it expands the folder).
    std::map<std::pair<CString, bool>, HTREEITEM> shown;
    for (HTREEITEM child = GetChildItem(item); child; child = GetNextSiblingItem(child))
        shown[{GetItemText(child), IsPage(child)}] = child;
    SetRedraw(false);
    int entries = 0;
    ForEachTreeEntry(path, [&](const CString& name, bool folder) {
        ++entries;
        auto found = shown.find({folder ? name : GetNameWithoutExt(name), !folder});
        if (found != shown.end()) shown.erase(found);
        else InsertEntry(item, path, name, folder, true);
    });
    for (const auto& [key, child] : shown) DeleteItem(child);
    SetRedraw(true);
    if (entries) {
        m_openCounts[path] += 1;
        SetItemImage(item, kFolderOpen, kFolderOpen + 1);
    } else {
        SetItemHasChildren(item, false);
    }
}

void CXTreeCtrl::SetRedraw(bool on) {
    SendMessage(WM_SETREDRAW, on ? TRUE : FALSE);
    if (on) Invalidate();
}

void CXTreeCtrl::OnItemExpanding(NMHDR* header, LRESULT* result) {
    auto* info = reinterpret_cast<NMTREEVIEWW*>(header);
    *result = 0;
    HTREEITEM item = info->itemNew.hItem;
    CString path = ItemPath(item);
    m_expandingPath = path;
    bool expanding = info->action & TVE_EXPAND && !IsExpanded(item);
    // The folder that opens or closes becomes the selection.
    if (GetSelectedItem() != item) SelectItem(item);
    if (item != GetRootItem() && IsFolderEmptyOnDisk(path)) {
        if (!m_iconToggledByDblClk && expanding) ToggleEmptyFolderImage(item);
        m_iconToggledByDblClk = 0;
        SetItemHasChildren(item, false);
        return;
    }
    if (expanding) {
        if (item != GetRootItem()) PrepareExpansion(item, path);
        return;
    }
    int& count = m_openCounts[path];
    if (count > 0) --count;
    if (count == 0 && item != GetRootItem()) SetItemImage(item, kFolderClosed, kFolderClosed + 1);
}

void CXTreeCtrl::CollapseFolder(HTREEITEM item) {
    if (!item || !IsExpanded(item)) return;
    m_expandingPath.Empty();
    Expand(item, TVE_COLLAPSE);
    if (!m_expandingPath.IsEmpty()) return;
    CString path = ItemPath(item);
    int& count = m_openCounts[path];
    if (count > 0) --count;
    if (count == 0 && item != GetRootItem()) SetItemImage(item, kFolderClosed, kFolderClosed + 1);
}

void CXTreeCtrl::ExpandFolder(HTREEITEM item) {
    if (!item || IsPage(item) || IsExpanded(item)) return;
    m_expandingPath.Empty();
    Expand(item, TVE_EXPAND);
    if (!m_expandingPath.IsEmpty() || item == GetRootItem()) return;
    // The control did not notify this expansion (it showed the children it
    // had): fill the folder afresh here.
    PrepareExpansion(item, ItemPath(item));
    Expand(item, TVE_EXPAND);
}

void CXTreeCtrl::ToggleEmptyFolderImage(HTREEITEM item) {
    int image = 0, selected = 0;
    GetItemImage(item, image, selected);
    CString path = ItemPath(item);
    int& count = m_openCounts[path];
    if (image == kFolderClosed) {
        SetItemImage(item, kFolderOpen, kFolderOpen + 1);
        ++count;
    } else {
        SetItemImage(item, kFolderClosed, kFolderClosed + 1);
        if (count > 0) --count;
    }
}

void CXTreeCtrl::OnDblClk(NMHDR*, LRESULT* result) {
    *result = 0;
    HTREEITEM item = GetSelectedItem();
    if (!item) return;
    if (!IsPage(item)) {
        if (item != GetRootItem() && IsFolderEmptyOnDisk(ItemPath(item))) {
            ToggleEmptyFolderImage(item);
            m_iconToggledByDblClk = 1;
        }
        return;
    }
    OpenPage(item);
    *result = 1;
}

void CXTreeCtrl::OnDeleteItem(NMHDR* header, LRESULT* result) {
    *result = 0;
    HTREEITEM item = reinterpret_cast<NMTREEVIEWW*>(header)->itemOld.hItem;
    auto it = m_pathOfItem.find(item);
    if (it == m_pathOfItem.end()) return;
    auto mapped = m_itemsByPath.find(it->second);
    if (mapped != m_itemsByPath.end() && mapped->second == item) {
        // An expanded folder that goes no longer holds its own expansion.
        if (!IsPage(item) && IsExpanded(item)) {
            int& count = m_openCounts[it->second];
            if (count > 0) --count;
        }
        m_itemsByPath.erase(mapped);
    }
    m_pathOfItem.erase(it);
}

void CXTreeCtrl::AddToAncestors(const CString& path, int delta) {
    HTREEITEM root = GetRootItem();
    for (CString at = GetParentPath(path); IsSameOrBelow(at, m_allpagesPath); at = GetParentPath(at)) {
        int& count = m_openCounts[at];
        count = std::max(0, count + delta);
        auto item = m_itemsByPath.find(at);
        if (item != m_itemsByPath.end() && item->second != root) {
            int image = count > 0 ? kFolderOpen : kFolderClosed;
            SetItemImage(item->second, image, image + 1);
        }
        if (at.GetLength() <= m_allpagesPath.GetLength()) break;
    }
}

void CXTreeCtrl::MarkPageOpen(HTREEITEM item) {
    CString path = ItemPath(item);
    SetItemImage(item, kPageOpen, kPageOpen + 1);
    Remember(item, path);
    int& count = m_openCounts[path];
    if (count > 0) return;  // already open: opening it again is no second mark
    count = 1;
    AddToAncestors(path, 1);
}

void CXTreeCtrl::MarkPageClosed(const CString& path) {
    auto count = m_openCounts.find(path);
    if (count == m_openCounts.end() || count->second <= 0) return;
    count->second = 0;
    if (auto item = m_itemsByPath.find(path); item != m_itemsByPath.end())
        SetItemImage(item->second, kPageImage, kPageImage + 1);
    AddToAncestors(path, -1);
}

void CXTreeCtrl::OpenPage(HTREEITEM item) {
    CString path = ItemPath(item);
    bool wasOpen = IsDocumentOpen(path);
    if (!wasOpen && GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
        TellPageGone(item, path);
        return;
    }
    MarkPageOpen(item);
    CWinApp* app = AfxGetApp();
    if (!app || !app->OpenDocumentFile(path)) {
        if (!wasOpen) MarkPageClosed(path);
    }
}

HTREEITEM CXTreeCtrl::FindItemByPath(HTREEITEM start, const CString& path) {
    if (!start) return nullptr;
    if (ItemPath(start).CompareNoCase(path) == 0) {
        SelectItem(start);
        // A page shows the pen while a document of it is open (its open mark),
        // never merely because it was looked up.
        if (IsPage(start) && IsDocumentOpen(ItemPath(start))) SetItemImage(start, kPageOpen, kPageOpen + 1);
        return start;
    }
    if (IsPage(start) || !IsSameOrBelow(path, ItemPath(start))) return nullptr;
    // Only the folders on the way to the path are opened.
    ExpandFolder(start);
    for (HTREEITEM child = GetChildItem(start); child; child = GetNextSiblingItem(child))
        if (HTREEITEM found = FindItemByPath(child, path)) return found;
    return nullptr;
}

bool FindTreeItem(CXTreeCtrl& tree, const CString& path, HTREEITEM start) {
    HTREEITEM item = tree.FindItemByPath(start, path);
    if (!item) {
        AfxMessageBox(L"No item was found");
        return false;
    }
    tree.SelectItem(item);
    if (!tree.IsPage(item)) {
        // A folder stays selected; an empty one shows itself opened or closed.
        if (IsFolderEmptyOnDisk(path)) tree.ToggleEmptyFolderImage(item);
    } else if (!IsDocumentOpen(path)) {
        tree.OpenPage(item);
    }
    return true;
}

bool SelectTreeItemByPath(CXTreeCtrl& tree, const CString& path) { return FindTreeItem(tree, path, tree.GetRootItem()); }

bool CXTreeCtrl::SaveAndCloseDocumentsBelow(const CString& path) {
    for (CDocument* document : OpenDocumentsBelow(path))
        if (!document->SaveModified()) return false;
    std::vector<CString> open;
    for (CDocument* document : OpenDocumentsBelow(path)) open.push_back(document->GetPathName());
    for (const CString& page : open) CloseDocumentByPath(page);
    return true;
}

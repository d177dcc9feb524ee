// Drag and drop, copy and paste of the folder tree. The disk changes first
// (a move is a rename where the volume allows it, else a copy that is
// deleted only once complete); the tree follows, and the AllPages values of
// the pages that moved or appeared are written.
#include "tree/XTreeCtrl.h"

#include "app/WinApp.h"
#include "core/MessageBox.h"
#include "docview/Document.h"
#include "index/AllPagesIndex.h"
#include "tree/TreeNames.h"
#include "util/Files.h"
#include "util/Folders.h"
#include "util/OpenDocuments.h"
#include "util/PathParts.h"
#include "wnd/WaitCursor.h"

#include <vector>

namespace {

void Tell(HWND owner, const wchar_t* text) { ShowMessageBox(owner, text, L"Tarvelo", MB_OK); }

const wchar_t kFileTaken[] = L"Cannot move, destination directory has a file with the same name!";
const wchar_t kFolderTaken[] = L"Cannot move, destination directory has a subdirectory with the same name!";
const wchar_t kMoveFailed[] = L"Not moved! The page or folder could not be moved; it stays where it was.";
const wchar_t kCopyFailed[] = L"Not copied! The page or folder could not be copied.";
const wchar_t kCopiedGone[] = L"Not pasted! The copied page or folder no longer exists.";

// Copies a page or folder to a path that is free; a folder copy that fails
// half-way is removed again. True when the copy is complete.
bool CopyEntry(const CString& source, const CString& target) {
    if (!FolderExists(source)) return CopyFileW(source, target, TRUE) != 0;
    if (CopyFolder(target, source)) return true;
    DeleteFolder(target);
    return false;
}

// Moves a page or folder to a free path: renamed where the volume allows it,
// else copied and the source deleted once the copy is complete.
bool MoveEntry(const CString& source, const CString& target) {
    if (MoveFileExW(source, target, 0)) return true;
    if (!CopyEntry(source, target)) return false;
    if (FolderExists(source)) DeleteFolder(source);
    else DeleteFileW(source);
    return true;
}


}  // namespace

void CXTreeCtrl::OnLButtonDown(UINT, CPoint) {
    m_buttonDownTick = GetTickCount();
    Default();
}

void CXTreeCtrl::OnBeginDrag(NMHDR* header, LRESULT* result) {
    *result = 0;
    auto* info = reinterpret_cast<NMTREEVIEWW*>(header);
    HTREEITEM item = info->itemNew.hItem;
    if (!item || !GetParentItem(item) || m_dragging) return;
    if (GetTickCount() - m_buttonDownTick < 60) return;
    m_dragImage = CreateDragImage(item);
    if (!m_dragImage) return;
    m_dragItem = item;
    m_dropTarget = nullptr;
    m_dragging = 1;
    ImageList_BeginDrag(m_dragImage, 0, 8, 8);
    ImageList_DragEnter(m_hWnd, info->ptDrag.x, info->ptDrag.y);
    SetCapture(m_hWnd);
    m_scrollTicks = 0;
    m_scrollTimer = SetTimer(kScrollTimerId, 60);
}

void CXTreeCtrl::OnMouseMove(UINT, CPoint point) {
    if (m_hoverTimer) KillTimer(m_hoverTimer);
    m_hoverTimer = SetTimer(kHoverTimerId, 200);
    m_hoverPoint = point;
    if (m_dragging) {
        ImageList_DragMove(point.x, point.y);
        ImageList_DragShowNolock(FALSE);
        if (HTREEITEM over = HitTest(point)) {
            SelectDropTarget(over);
            m_dropTarget = over;
        }
        ImageList_DragShowNolock(TRUE);
        if (point.x < 20) m_dropTarget = nullptr;
    }
    Default();
}

void CXTreeCtrl::OnTimer(UINT_PTR id) {
    if (id == kHoverTimerId) {
        KillTimer(id);
        m_hoverTimer = 0;
        HTREEITEM over = HitTest(m_hoverPoint);
        if (m_dragging && over && !IsPage(over)) {
            ImageList_DragShowNolock(FALSE);
            SelectItem(over);
            ExpandFolder(over);
            ImageList_DragShowNolock(TRUE);
        }
        return;
    }
    if (id == kFolderChangedTimerId) {
        KillTimer(id);
        OnFolderChanged(0, 0);
        return;
    }
    if (id == kWatchCheckTimerId) {
        WatchAllpages();
        return;
    }
    if (id != kScrollTimerId) {
        Default();  // the control's own timers (label edit, tooltips)
        return;
    }
    ++m_scrollTicks;
    CPoint cursor;
    GetCursorPos(&cursor);
    CRect client;
    GetClientRect(&client);
    ClientToScreen(&client);
    int distance = 0;
    UINT direction = 0;
    if (cursor.y < client.top + 10) {
        distance = client.top + 10 - cursor.y;
        direction = SB_LINEUP;
    } else if (cursor.y > client.bottom - 10) {
        distance = cursor.y - (client.bottom - 10);
        direction = SB_LINEDOWN;
    } else {
        return;
    }
    int step = std::max(1, 6 - distance / 20);
    if (m_scrollTicks % static_cast<UINT>(step) != 0) return;
    ImageList_DragShowNolock(FALSE);
    HTREEITEM first = GetFirstVisibleItem();
    SendMessage(WM_VSCROLL, direction);
    HTREEITEM target = first;
    if (direction == SB_LINEDOWN) {
        target = GetFirstVisibleItem();
        for (UINT i = 1; target && i < GetVisibleCount(); ++i) {
            HTREEITEM next = GetNextVisibleItem(target);
            if (!next) break;
            target = next;
        }
    }
    if (target) {
        SelectDropTarget(target);
        m_dropTarget = target;
    }
    ImageList_DragShowNolock(TRUE);
}

void CXTreeCtrl::EndDrag() {
    m_dragging = 0;
    ImageList_DragLeave(m_hWnd);
    ImageList_EndDrag();
    ReleaseCapture();
    if (m_dragImage) ImageList_Destroy(m_dragImage);
    m_dragImage = nullptr;
    SelectDropTarget(nullptr);
    if (m_scrollTimer) KillTimer(m_scrollTimer);
    m_scrollTimer = 0;
}

void CXTreeCtrl::OnLButtonUp(UINT flags, CPoint) {
    Default();
    if (!m_dragging) return;
    EndDrag();
    CWaitCursor wait;
    // Ctrl held at the moment of the drop copies.
    if ((flags & MK_CONTROL) || (GetKeyState(VK_CONTROL) & 0x8000)) CopyOnDrop(m_dragItem, m_dropTarget);
    else MoveItem(m_dragItem, m_dropTarget);
}

bool CXTreeCtrl::DropDestination(HTREEITEM target, CString& folder, HTREEITEM& folderItem) const {
    folderItem = IsPage(target) ? GetParentItem(target) : target;
    if (!folderItem) return false;
    folder = ItemPath(folderItem);
    return true;
}

void CXTreeCtrl::MoveItem(HTREEITEM dragged, HTREEITEM target) {
    DiskWork work(*this);
    if (!dragged || dragged == GetRootItem() || !target || target == dragged) return;
    CString source = ItemPath(dragged), folder;
    HTREEITEM folderItem = nullptr;
    if (!DropDestination(target, folder, folderItem) || IsSameOrBelow(folder, source)) {
        SelectItem(dragged);
        return;
    }
    bool page = IsPage(dragged);
    CString destination = folder + L"\\" + GetPathLastPart(source);
    if (GetFileAttributesW(destination) != INVALID_FILE_ATTRIBUTES) {
        Tell(m_hWnd, page ? kFileTaken : kFolderTaken);
        SelectItem(dragged);
        return;
    }
    // Open pages are saved (or the move is called off) and come back at their new place.
    std::vector<CString> reopen;
    for (CDocument* document : OpenDocumentsBelow(source)) reopen.push_back(document->GetPathName());
    if (!SaveAndCloseDocumentsBelow(source)) return;
    if (!MoveEntry(source, destination)) {
        Tell(m_hWnd, kMoveFailed);
        ReopenMoved(reopen, source, source);
        SelectItem(dragged);
        return;
    }
    DeleteItem(dragged);
    RekeyBelow(source, destination);
    ShowDropResult(target, folderItem, destination);
    // Every drop ends with the values of all pages written again; the old
    // paths' values go.
    ReindexAfterMove(m_allpagesPath, source, !page);
    ReopenMoved(reopen, source, destination);
}

void CXTreeCtrl::ReopenMoved(const std::vector<CString>& pages, const CString& source, const CString& destination) {
    for (const CString& path : pages) {
        CString moved = ReplacePathPrefix(path, source, destination);
        auto item = m_itemsByPath.find(moved);
        if (item != m_itemsByPath.end()) {
            OpenPage(item->second);
        } else if (AfxGetApp()->OpenDocumentFile(moved)) {
            m_openCounts[moved] = 1;
            AddToAncestors(moved, 1);
        }
    }
}

void CXTreeCtrl::CopyOnDrop(HTREEITEM dragged, HTREEITEM target) {
    DiskWork work(*this);
    if (!dragged || dragged == GetRootItem() || !target) return;
    bool sameParent = GetParentItem(dragged) == GetParentItem(target);
    CString source = ItemPath(dragged), folder;
    HTREEITEM folderItem = nullptr;
    if (!DropDestination(target, folder, folderItem) || IsSameOrBelow(folder, source)) {
        SelectItem(dragged);
        return;
    }
    CString name = GetPathLastPart(source), destination;
    if (IsPage(dragged)) {
        CString prefix = sameParent ? (IsPage(target) ? L"copy of_" : L"copyof_") : L"";
        destination = folder + L"\\" + prefix + name;
        if (GetFileAttributesW(destination) != INVALID_FILE_ATTRIBUTES) {
            Tell(m_hWnd, kFileTaken);
            SelectItem(dragged);
            return;
        }
    } else {
        destination = FreeCopyPath(folder, name, sameParent);
    }
    if (!CopyEntry(source, destination)) {
        Tell(m_hWnd, kCopyFailed);
        return;
    }
    ShowDropResult(target, folderItem, destination);
    IndexAllPages(m_allpagesPath);
}

void CXTreeCtrl::ShowDropResult(HTREEITEM, HTREEITEM folderItem, const CString& newPath) {
    if (IsExpanded(folderItem)) AddPathToTree(newPath, folderItem);
    else ExpandFolder(folderItem);
    auto item = m_itemsByPath.find(newPath);
    if (item != m_itemsByPath.end()) SelectItem(item->second);
}

void CXTreeCtrl::CopySelected() {
    HTREEITEM item = GetSelectedItem();
    if (item && item != GetRootItem()) m_copiedPath = ItemPath(item);
}

void CXTreeCtrl::PasteItem(HTREEITEM target, const CString& source) {
    DiskWork work(*this);
    if (source.IsEmpty() || !target) return;
    if (GetFileAttributesW(source) == INVALID_FILE_ATTRIBUTES) {
        Tell(m_hWnd, kCopiedGone);
        if (source == m_copiedPath) m_copiedPath.Empty();
        return;
    }
    CWaitCursor wait;
    if (ItemPath(target) == source && target != GetRootItem()) target = GetParentItem(target);
    bool prefixFirst = IsPage(target) && GetParentPath(ItemPath(target)) == GetParentPath(source);
    CString folder;
    HTREEITEM folderItem = nullptr;
    if (!DropDestination(target, folder, folderItem) || IsSameOrBelow(folder, source)) return;
    CString destination = FreeCopyPath(folder, GetPathLastPart(source), prefixFirst);
    if (!CopyEntry(source, destination)) {
        Tell(m_hWnd, kCopyFailed);
        return;
    }
    ShowDropResult(target, folderItem, destination);
    IndexAllPages(m_allpagesPath);
}

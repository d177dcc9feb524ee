// Rename (the label edit) and delete of the folder tree. Each changes the
// disk first; the tree shows the change only when the disk took it.
#include "tree/XTreeCtrl.h"

#include "app/WinApp.h"
#include "docview/Document.h"
#include "core/MessageBox.h"
#include "index/AllPagesIndex.h"
#include "tree/TreeNames.h"
#include "util/Folders.h"
#include "util/OpenDocuments.h"
#include "util/PathParts.h"

#include <vector>

namespace {

void Tell(HWND owner, const CString& text) { ShowMessageBox(owner, text, L"Tarvelo", MB_OK); }

const wchar_t kBadName[] =
    L"Not renamed! A name must not be empty, hold \\ / : * ? \" < > | or \"..\", or end with a dot or a blank.";
constexpr int kLabelEditLimit = 1000;  // far beyond any path the store can hold
const wchar_t kNameTaken[] = L"Not renamed! A page or folder of that name already exists.";

}  // namespace

void CXTreeCtrl::RekeyBelow(const CString& oldPath, const CString& newPath) {
    auto rekey = [&](auto& map) {
        std::vector<std::pair<CString, typename std::decay_t<decltype(map)>::mapped_type>> moved;
        for (auto it = map.begin(); it != map.end();) {
            CString renamed = ReplacePathPrefix(it->first, oldPath, newPath);
            if (renamed == it->first) {
                ++it;
                continue;
            }
            moved.emplace_back(renamed, it->second);
            it = map.erase(it);
        }
        for (auto& [path, value] : moved) map[path] = value;
    };
    rekey(m_openCounts);
    rekey(m_itemsByPath);
    for (auto& [item, path] : m_pathOfItem) path = ReplacePathPrefix(path, oldPath, newPath);
}

void CXTreeCtrl::OnBeginLabelEdit(NMHDR* header, LRESULT* result) {
    *result = 0;  // the edit may begin
    HTREEITEM item = reinterpret_cast<NMTVDISPINFOW*>(header)->item.hItem;
    m_editing = true;
    if (item == GetRootItem()) return;
    // A name longer than the store takes is refused when the edit ends, with
    // a message; the box itself cuts nothing that a path could hold (the
    // control may set a limit of its own after this notice: it is widened
    // again once the notice is over).
    if (HWND edit = GetEditControl()) ::SendMessageW(edit, EM_LIMITTEXT, kLabelEditLimit, 0);
    PostMessage(kEditLimitMessage);
    CollapseFolder(item);
    m_editOldPath = ItemPath(item);
}

void CXTreeCtrl::OnEndLabelEdit(NMHDR* header, LRESULT* result) {
    auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
    *result = FALSE;
    if (!m_editing) return;
    m_editing = false;
    if (!info->item.pszText) return;  // Escape: nothing is renamed
    HTREEITEM item = info->item.hItem;
    // The name is the text standing in the edit box: the control hands on
    // no more of it than a path's length.
    CString label(info->item.pszText);
    if (HWND edit = GetEditControl()) {
        CString typed = CWnd::FromHandle(edit)->GetWindowText();
        if (typed.GetLength() > label.GetLength()) label = typed;
    }
    if (item == GetRootItem()) {
        if (label.IsEmpty()) return;
        if (CWinApp* app = AfxGetApp()) app->WriteProfileString(L"Init", L"Title", label);
        *result = TRUE;
        return;
    }
    // The rename runs once the edit box is gone: its questions, messages and
    // closing page windows must not pull the focus from an edit box that is
    // still ending. The label changes when the disk has the new name.
    m_pendingRenamePath = ItemPath(item);
    m_pendingRenameLabel = label;
    PostMessage(kRenameMessage);
}

LRESULT CXTreeCtrl::OnEditLimit(WPARAM, LPARAM) {
    if (HWND edit = GetEditControl()) ::SendMessageW(edit, EM_LIMITTEXT, kLabelEditLimit, 0);
    return 0;
}

LRESULT CXTreeCtrl::OnPendingRename(WPARAM, LPARAM) {
    DiskWork work(*this);
    CString pending = m_pendingRenamePath, label = m_pendingRenameLabel;
    m_pendingRenamePath.Empty();
    auto found = pending.IsEmpty() ? m_itemsByPath.end() : m_itemsByPath.find(pending);
    if (found == m_itemsByPath.end()) return 0;  // the entry's item went meanwhile
    HTREEITEM item = found->second;
    if (!IsAcceptableItemName(label)) {
        Tell(m_hWnd, kBadName);
        return 0;
    }
    CString oldPath = ItemPath(item);
    bool page = IsPage(item);
    CString newPath = GetParentPath(oldPath) + L"\\" + label + (page ? L"." + GetFileExt(oldPath) : CString());
    if (newPath == oldPath) return 0;
    if (CString problem = page ? PathLengthProblem(newPath, false) : FolderMoveLengthProblem(oldPath, newPath);
        !problem.IsEmpty()) {
        Tell(m_hWnd, L"Not renamed! The name is too long: " + problem + L".");
        // The typed name stays in the box to be shortened (Escape keeps the old one).
        SetFocus();
        if (HWND edit = EditLabel(item)) {
            ::SetWindowTextW(edit, label);
            ::SendMessageW(edit, EM_SETSEL, 0, -1);
        }
        return 0;
    }
    // Only a change of letter case may land on the name of the item itself.
    if (newPath.CompareNoCase(oldPath) != 0 && GetFileAttributesW(newPath) != INVALID_FILE_ATTRIBUTES) {
        Tell(m_hWnd, kNameTaken);
        return 0;
    }
    bool renamed = page ? RenamePage(item, oldPath, newPath) : RenameFolder(oldPath, newPath);
    if (!renamed) return 0;
    SetItemText(item, label);
    if (page && !m_itemsByPath.count(newPath)) Remember(item, newPath);
    return 0;
}

bool CXTreeCtrl::RenamePage(HTREEITEM item, const CString& oldPath, const CString& newPath) {
    bool wasOpen = IsDocumentOpen(oldPath) != 0;
    if (wasOpen && !SaveAndCloseDocumentsBelow(oldPath)) return false;
    if (!MoveFileExW(oldPath, newPath, 0)) {
        Tell(m_hWnd, L"Failed to rename the file!");
        if (wasOpen) OpenPage(item);
        return false;
    }
    RekeyBelow(oldPath, newPath);
    RemoveAllPagesValues(oldPath, false);
    IndexPageTables(newPath);
    if (wasOpen) {
        SetItemText(item, GetNameWithoutExt(GetPathLastPart(newPath)));
        OpenPage(item);
    }
    return true;
}

bool CXTreeCtrl::RenameFolder(const CString& oldPath, const CString& newPath) {
    // Open pages inside are saved (or the rename is called off) and come
    // back under the new name, as after a move.
    std::vector<CString> reopen;
    for (CDocument* document : OpenDocumentsBelow(oldPath)) reopen.push_back(document->GetPathName());
    if (!SaveAndCloseDocumentsBelow(oldPath)) return false;
    if (!MoveFileExW(oldPath, newPath, 0)) {
        Tell(m_hWnd, L"Failed to rename the directory!");
        ReopenMoved(reopen, oldPath, oldPath);
        return false;
    }
    RekeyBelow(oldPath, newPath);
    RemoveAllPagesValues(oldPath, true);
    IndexAllPages(newPath);
    ReopenMoved(reopen, oldPath, newPath);
    return true;
}

int CXTreeCtrl::DeleteSelected() {
    DiskWork work(*this);
    if (ShowMessageBox(m_hWnd, L"Are you sure to delete? You may loss data!", L"Warning", MB_OKCANCEL) != IDOK)
        return 0;
    HTREEITEM item = GetSelectedItem();
    if (!item || item == GetRootItem()) return 0;
    if (GetItemText(item).IsEmpty()) {
        Tell(m_hWnd, L"This file has no name, you can rename it and then try delete!");
        return 0;
    }
    CString path = ItemPath(item);
    if (!SaveAndCloseDocumentsBelow(path)) return 0;
    bool page = IsPage(item);
    bool deleted = page ? DeleteFileW(path) != 0 : DeleteFolder(path);
    if (!deleted && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES) {
        Tell(m_hWnd, page ? L"Failed to delete the file!" : L"Failed to delete the directory!");
        if (!page) {
            // Part of the folder may be gone: it fills afresh when opened again.
            CollapseFolder(item);
            SetItemHasChildren(item, true);
        }
        return 0;
    }
    RemoveAllPagesValues(path, !page);
    DeleteItem(item);
    return 0;
}

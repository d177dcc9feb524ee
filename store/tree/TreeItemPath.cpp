#include "tree/TreeItemPath.h"

#include "install/InstallPath.h"
#include "pages/PageFile.h"

#include <string>

namespace {

LPARAM GetItemData(HWND tree, HTREEITEM item) {
    TVITEMW data = {};
    data.mask = TVIF_PARAM | TVIF_HANDLE;
    data.hItem = item;
    if (!TreeView_GetItem(tree, &data)) return 0;
    return data.lParam;
}

// Prepends the labels of the item's ancestors below the root, each followed
// by "\", then the Allpages folder and "\".
CString BuildPath(HWND tree, HTREEITEM parent, CString path, bool page) {
    HTREEITEM root = TreeView_GetRoot(tree);
    for (HTREEITEM at = parent; at && at != root; at = TreeView_GetParent(tree, at))
        path = GetTreeItemLabel(tree, at) + L"\\" + path;
    path = GetAllpagesPath() + L"\\" + path;
    if (page) path = ResolveExistingPagePath(path + L".htm");
    return path;
}

} // namespace

CString GetTreeItemLabel(HWND tree, HTREEITEM item) {
    std::wstring buffer(256, L'\0');
    for (;;) {
        TVITEMW data = {};
        data.mask = TVIF_TEXT | TVIF_HANDLE;
        data.hItem = item;
        data.pszText = buffer.data();
        data.cchTextMax = static_cast<int>(buffer.size());
        if (!TreeView_GetItem(tree, &data)) return CString();
        size_t length = wcsnlen(data.pszText, buffer.size());
        if (data.pszText != buffer.data()) return CString(data.pszText, static_cast<int>(length));
        if (length + 1 < buffer.size()) return CString(buffer.data(), static_cast<int>(length));
        buffer.assign(buffer.size() * 2, L'\0');
    }
}

CString GetTreeItemPath(HWND tree, HTREEITEM item) {
    if (!item || item == TreeView_GetRoot(tree)) return GetAllpagesPath();
    return BuildPath(tree, TreeView_GetParent(tree, item), GetTreeItemLabel(tree, item), GetItemData(tree, item) != 0);
}

CString GetTreeItemPathFromWnd(HWND tree, HTREEITEM item) {
    CString typed;
    if (HWND edit = TreeView_GetEditControl(tree)) {
        int length = GetWindowTextLengthW(edit);
        std::wstring buffer(static_cast<size_t>(length) + 2, L'\0');
        int got = GetWindowTextW(edit, buffer.data(), static_cast<int>(buffer.size()));
        typed = CString(buffer.data(), got);
    }
    HTREEITEM selected = TreeView_GetSelection(tree);
    if (!selected || selected == TreeView_GetRoot(tree)) return typed;
    return BuildPath(tree, TreeView_GetParent(tree, selected), typed, GetItemData(tree, item) != 0);
}

// Maps items of the folder tree (a tree-view control whose root item stands
// for the Allpages folder) to file-system paths. A page item carries non-zero
// item data and maps to its ".htm" file (its ".html" file when only that one
// exists); a folder item carries 0 and maps to its folder.
#pragma once
#include "core/String.h"

#include <windows.h>
#include <commctrl.h>

// The label of an item, whatever its length.
CString GetTreeItemLabel(HWND tree, HTREEITEM item);
// The path behind an item; the Allpages folder for the root item.
CString GetTreeItemPath(HWND tree, HTREEITEM item);
// The path that the selected item will have under the label now typed in the
// tree's label edit box; the extension follows the given item's data. When
// the selected item is the root item, the typed label itself.
CString GetTreeItemPathFromWnd(HWND tree, HTREEITEM item);

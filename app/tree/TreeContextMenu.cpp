// The folder tree's context menu: built for the item under the cursor, its
// commands carried out on that same item (the menu selects it first).
#include "tree/XTreeCtrl.h"

#include "TarveloApp.h"
#include "resource.h"
#include "util/OpenDocuments.h"

#include "app/WinApp.h"
#include "docview/DocManager.h"
#include "docview/DocTemplate.h"
#include "docview/Document.h"

namespace {

enum MenuCommand : UINT {
    kMenuOpenClose = 1,
    kMenuSearch = 2,
    kMenuCopy = 4,
    kMenuPaste = 5,
    kMenuRename = 6,
    kMenuDelete = 7,
    kMenuImport = 8,
    kMenuNewFile = 9,
    kMenuNewDirectory = 10,
    kMenuIndex = 11,
    kMenuUnindex = 12,
    kMenuExport = 13,
};

CDocument* OpenDocumentOf(const CString& path) {
    CWinApp* app = AfxGetApp();
    if (!app || !app->m_pDocManager) return nullptr;
    for (const auto& docTemplate : app->m_pDocManager->GetTemplates())
        for (CDocument* document : docTemplate->GetDocuments())
            if (document->GetPathName() == path) return document;
    return nullptr;
}

} // namespace

HMENU CXTreeCtrl::BuildContextMenu(HTREEITEM item) const {
    if (!item) return nullptr;
    HMENU menu = CreatePopupMenu();
    CString path = ItemPath(item);
    bool root = item == GetRootItem();
    bool page = IsPage(item);
    bool emptyFolder = !page && IsFolderEmptyOnDisk(path);
    if (page) {
        AppendMenuW(menu, MF_STRING, kMenuOpenClose, IsDocumentOpen(path) ? L"Close" : L"Open");
    } else if (emptyFolder) {
        int image = 0, selected = 0;
        GetItemImage(item, image, selected);
        if (image == kFolderClosed) AppendMenuW(menu, MF_STRING, kMenuOpenClose, L"Open");
        else if (image == kFolderOpen) AppendMenuW(menu, MF_STRING, kMenuOpenClose, L"Close");
    } else {
        AppendMenuW(menu, MF_STRING, kMenuOpenClose, IsExpanded(item) ? L"Close" : L"Open");
        AppendMenuW(menu, MF_STRING, kMenuSearch, L"Search");
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | (root ? MF_GRAYED : 0), kMenuCopy, L"Copy");
    AppendMenuW(menu, MF_STRING | (m_copiedPath.IsEmpty() ? MF_GRAYED : 0), kMenuPaste, L"Paste");
    AppendMenuW(menu, MF_STRING | (root ? MF_GRAYED : 0), kMenuRename, L"Rename");
    AppendMenuW(menu, MF_STRING | (root ? MF_GRAYED : 0), kMenuDelete, L"Delete");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    if (page) {
        AppendMenuW(menu, MF_STRING, kMenuIndex, L"Index");
        AppendMenuW(menu, MF_STRING, kMenuUnindex, L"Unindex");
    } else if (!emptyFolder) {
        AppendMenuW(menu, MF_STRING, kMenuIndex, L"Index All");
        AppendMenuW(menu, MF_STRING, kMenuUnindex, L"Unindex All");
    }
    AppendMenuW(menu, MF_STRING, kMenuExport, L"Export");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kMenuNewFile, L"New File");
    AppendMenuW(menu, MF_STRING, kMenuNewDirectory, L"New Directory");
    return menu;
}

void CXTreeCtrl::OnRClick(NMHDR*, LRESULT* result) {
    *result = 1;
    CPoint screen;
    GetCursorPos(&screen);
    CPoint client = screen;
    ScreenToClient(&client);
    UINT flags = 0;
    HTREEITEM item = HitTest(client, &flags);
    if (item && (flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON))) SelectItem(item);
    ShowContextMenu(screen);
}

void CXTreeCtrl::ShowContextMenu(CPoint screenPoint) {
    CPoint client = screenPoint;
    ScreenToClient(&client);
    HTREEITEM item = HitTest(client);
    HMENU menu = BuildContextMenu(item);
    if (!menu) return;
    UINT id = TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RETURNCMD | TPM_NONOTIFY, screenPoint.x, screenPoint.y, 0,
                             m_hWnd, nullptr);
    DestroyMenu(menu);
    if (!id) return;
    m_menuItem = item;
    OnContextCommand(id);
}

void CXTreeCtrl::OnContextCommand(UINT id) {
    HTREEITEM item = m_menuItem ? m_menuItem : GetSelectedItem();
    m_menuItem = nullptr;
    if (!item) return;
    // The main window's commands act on the selection: it becomes the item the menu was for.
    if (GetSelectedItem() != item) SelectItem(item);
    CString path = ItemPath(item);
    switch (id) {
    case kMenuOpenClose:
        if (IsPage(item)) {
            CDocument* document = OpenDocumentOf(path);
            if (!document) {
                OpenPage(item);
                break;
            }
            // The page's own close: a modified page is offered for saving and Cancel keeps it open.
            if (!document->SaveModified()) break;
            document->OnCloseDocument();
            MarkPageClosed(path);
            if (HTREEITEM again = FindItemByPath(GetRootItem(), path)) SelectItem(again);
            AfxGetApp()->WriteProfileString(L"Settings", L"FileHot", path);
        } else if (IsFolderEmptyOnDisk(path)) {
            ToggleEmptyFolderImage(item);
        } else if (!IsExpanded(item)) {
            ExpandFolder(item);
            SelectItem(item);
            SetItemImage(item, kFolderOpen, kFolderOpen + 1);
        } else {
            CollapseFolder(item);
            if (m_openCounts[path] == 0) SelectItem(item);
        }
        break;
    case kMenuSearch:
        CTarveloApp::TreeMenuSearch();
        break;
    case kMenuCopy:
        CopySelected();
        break;
    case kMenuPaste:
        PasteItem(item, m_copiedPath);
        break;
    case kMenuRename:
        if (item != GetRootItem()) EditLabel(item);
        break;
    case kMenuDelete:
        DeleteSelected();
        break;
    case kMenuImport:
        CTarveloApp::TreeMenuImport();
        break;
    case kMenuNewFile:
        CTarveloApp::TreeMenuNewPage();
        break;
    case kMenuNewDirectory:
        CTarveloApp::TreeMenuNewFolder();
        break;
    case kMenuIndex:
        CTarveloApp::TreeMenuIndex();
        break;
    case kMenuUnindex:
        CTarveloApp::TreeMenuUnindex();
        break;
    case kMenuExport:
        CTarveloApp::TreeMenuExport();
        break;
    default:
        break;
    }
}

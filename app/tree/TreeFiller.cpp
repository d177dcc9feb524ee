#include "tree/TreeFiller.h"

#include "app/WinApp.h"
#include "tree/FolderListing.h"
#include "tree/XTreeCtrl.h"

void TreeFiller::SetUp(CXTreeCtrl* tree, HIMAGELIST images, const CString& allpagesPath) {
    m_tree = tree;
    m_images = images;
    m_allpagesPath = allpagesPath;
}

int TreeFiller::FillTree() {
    if (!m_tree) return 0;
    CXTreeCtrl& tree = *m_tree;
    tree.ModifyStyle(0, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS);
    tree.SetImageList(m_images, TVSIL_NORMAL);
    tree.m_allpagesPath = m_allpagesPath;
    CWinApp* app = AfxGetApp();
    CString title = app ? app->GetProfileString(L"Init", L"Title", L"BookMarks") : CString(L"BookMarks");
    HTREEITEM root = tree.InsertItem(title, kFolderClosed, kFolderClosed + 1, TVI_ROOT, TVI_LAST, 0);
    if (!root) return 0;
    tree.Remember(root, m_allpagesPath);
    tree.SendMessage(WM_SETREDRAW, FALSE);
    int added = 0;
    // Without an install path there is no folder to list: the root stands alone.
    if (!m_allpagesPath.IsEmpty()) ForEachTreeEntry(m_allpagesPath, [&](const CString& name, bool folder) {
        if (tree.InsertEntry(root, m_allpagesPath, name, folder, true)) ++added;
    });
    tree.SendMessage(WM_SETREDRAW, TRUE);
    tree.SetItemImage(root, kFolderOpen, kFolderOpen + 1);
    tree.Expand(root, TVE_EXPAND);
    tree.m_openCounts[m_allpagesPath] += 1;
    tree.SelectItem(root);
    tree.Invalidate();
    tree.WatchAllpages();
    return added ? 1 : 0;
}

void TreeFiller::ClearTree() {
    if (m_tree) m_tree->DeleteAllItems();
}

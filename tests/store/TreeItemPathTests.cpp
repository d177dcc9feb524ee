#include "StoreFixture.h"

#include "pages/PageTemplate.h"
#include "tree/TreeItemPath.h"

#include <windows.h>
#include <commctrl.h>

namespace {

HTREEITEM AddItem(HWND tree, HTREEITEM parent, const wchar_t* label, LPARAM data) {
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(label);
    insert.item.lParam = data;
    return TreeView_InsertItem(tree, &insert);
}

} // namespace

class TreeItemPaths : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        m_tree = CreateWindowExW(0, WC_TREEVIEWW, L"", WS_OVERLAPPEDWINDOW | TVS_EDITLABELS, 0, 0, 300, 300, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_tree, nullptr);
        m_root = AddItem(m_tree, TVI_ROOT, L"BookMarks", 0);
        m_work = AddItem(m_tree, m_root, L"Work", 0);
        m_plans = AddItem(m_tree, m_work, L"Plans", 1);
    }
    void TearDown() override {
        DestroyWindow(m_tree);
        StoreTest::TearDown();
    }
    HWND m_tree = nullptr;
    HTREEITEM m_root = nullptr, m_work = nullptr, m_plans = nullptr;
};

TEST_F(TreeItemPaths, ItemsMapToTheirFilesAndFolders) {
    EXPECT_EQ(GetTreeItemPath(m_tree, m_plans), Allpages() + L"\\Work\\Plans.htm");
    EXPECT_EQ(GetTreeItemPath(m_tree, m_work), Allpages() + L"\\Work");
    EXPECT_EQ(GetTreeItemPath(m_tree, m_root), Allpages());
    CString longLabel(L'L', 600);
    HTREEITEM deep = AddItem(m_tree, m_work, longLabel, 0);
    EXPECT_EQ(GetTreeItemPath(m_tree, deep), Allpages() + L"\\Work\\" + longLabel);
}

TEST_F(TreeItemPaths, HtmlPageItemMapsToTheFileThatExists) {
    CreateDirectoryW(Allpages() + L"\\Work", nullptr);
    WriteFileBytes(Allpages() + L"\\Work\\Plans.html", "x");
    EXPECT_EQ(GetTreeItemPath(m_tree, m_plans), Allpages() + L"\\Work\\Plans.html");
}

TEST_F(TreeItemPaths, EditedLabelGivesTheNewPath) {
    SetFocus(m_tree);
    TreeView_SelectItem(m_tree, m_plans);
    HWND edit = TreeView_EditLabel(m_tree, m_plans);
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"Goals");
    EXPECT_EQ(GetTreeItemPathFromWnd(m_tree, m_plans), Allpages() + L"\\Work\\Goals.htm");
    TreeView_EndEditLabelNow(m_tree, TRUE);
}

TEST_F(TreeItemPaths, NewFileGoesIntoTheSelectedFolder) {
    CreateDirectoryW(Allpages() + L"\\Work", nullptr);
    TreeView_SelectItem(m_tree, m_plans);
    EXPECT_EQ(GetNewFileFolder(m_tree), Allpages() + L"\\Work");
    ASSERT_EQ(AddNewFile(m_tree, L"Ideas"), 1);
    EXPECT_TRUE(PathExists(Allpages() + L"\\Work\\Ideas.htm"));
    TreeView_SelectItem(m_tree, m_work);
    EXPECT_EQ(GetNewFileFolder(m_tree), Allpages() + L"\\Work");
    TreeView_SelectItem(m_tree, m_root);
    EXPECT_EQ(GetNewFileFolder(m_tree), Allpages());
    EXPECT_EQ(AddNewFile(m_tree, L"a\\b"), 0);
    EXPECT_TRUE(m_boxes.Saw(L"Error! File not Created while Add New File."));
}

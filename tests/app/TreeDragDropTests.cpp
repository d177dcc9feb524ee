// Moving and copying pages and folders in the folder tree: by real mouse
// input, and through the drop and paste operations with their disk results.
#include "MessageBoxRecorder.h"
#include "ProgramDriver.h"
#include "TreeFixture.h"
#include "Utf16Bytes.h"
#include "resource.h"
#include "docview/Document.h"

#include <thread>

namespace {

// Sends real mouse input from another thread while this one runs its message loop.
void MouseDrag(POINT from, POINT to, bool control) {
    if (control) ProgramDriver::KeyEvent(VK_CONTROL, false);
    ProgramDriver::MouseDrag(from, to, 150, 30);
    if (control) ProgramDriver::KeyEvent(VK_CONTROL, true);
}

}  // namespace

class TreeDrop : public TreeWindow {
protected:
    POINT ScreenPointOf(HTREEITEM item) {
        CRect rect;
        Tree().GetItemRect(item, &rect, TRUE);
        POINT point{rect.left + 8, (rect.top + rect.bottom) / 2};
        ClientToScreen(Tree().GetSafeHwnd(), &point);
        return point;
    }
    void Drag(HTREEITEM from, HTREEITEM to, bool control, int releaseX = -1) {
        POINT a = ScreenPointOf(from), b = ScreenPointOf(to);
        if (releaseX >= 0) {
            POINT client{releaseX, 0};
            ClientToScreen(Tree().GetSafeHwnd(), &client);
            b.x = client.x;
        }
        // Ctrl as this thread's keyboard state sees it while the drop arrives.
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = keys[VK_LCONTROL] = control ? 0x80 : 0;
        SetKeyboardState(keys);
        std::thread mouse(MouseDrag, a, b, control);
        DWORD until = GetTickCount() + 2500;
        while (GetTickCount() < until) {
            PumpMessages();
            Sleep(5);
        }
        mouse.join();
        PumpMessages();
        keys[VK_CONTROL] = keys[VK_LCONTROL] = 0;
        SetKeyboardState(keys);
    }
};

TEST_F(TreeDrop, DraggingWithTheMouseMovesAndALeftEdgeDropChangesNothing) {
    Page(L"Moving.htm");
    Page(L"Copied.htm");
    Folder(L"Target");
    Page(L"Target\\there.htm");
    OpenWindow();
    SetForegroundWindow(m_frame->GetSafeHwnd());
    ProgramRegistryGuard::WriteString(L"AllPages", L"Moving", L"");

    Drag(Item(L"Moving.htm"), Item(L"Target"), false);
    EXPECT_FALSE(PathExists(Full(L"Moving.htm")));
    EXPECT_TRUE(PathExists(Full(L"Target\\Moving.htm")));
    ASSERT_NE(Item(L"Target\\Moving.htm"), nullptr);
    EXPECT_EQ(Tree().GetParentItem(Item(L"Target\\Moving.htm")), Item(L"Target"));
    EXPECT_FALSE(IndexNames().count(L"Moving"));
    EXPECT_TRUE(IndexNames().count(L"Target\\Moving"));

    // Released by the left edge: no drop target, nothing changes.
    Drag(Item(L"Copied.htm"), Item(L"Target"), false, 2);
    EXPECT_TRUE(PathExists(Full(L"Copied.htm")));
    EXPECT_EQ(Tree().m_dragging, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(TreeDrop, MovesAndCopiesKeepEveryPageAndRefuseWhatCannotBe) {
    Page(L"Page.htm");
    Page(L"Sibling.htm");
    Folder(L"Box");
    Folder(L"Box\\Inner");
    Page(L"Box\\Inner\\deep.htm");
    Folder(L"Other");
    Folder(L"Other\\Box");
    Folder(L"Dest");
    OpenWindow();
    ProgramRegistryGuard::WriteString(L"AllPages", L"Box\\Inner\\deep", L"");
    HTREEITEM root = Tree().GetRootItem();
    MessageBoxRecorder boxes;

    // Onto its own folder: the name is taken.
    Tree().MoveItem(Item(L"Page.htm"), root);
    EXPECT_EQ(boxes.Boxes().back().text, L"Cannot move, destination directory has a file with the same name!");
    EXPECT_TRUE(PathExists(Full(L"Page.htm")));

    // A folder never goes into its own sub-tree, moved or copied.
    UserExpand(Item(L"Box"), true);
    size_t shown = boxes.Boxes().size();
    Tree().MoveItem(Item(L"Box"), Item(L"Box\\Inner"));
    Tree().CopyOnDrop(Item(L"Box"), Item(L"Box\\Inner"));
    Tree().CopyOnDrop(Item(L"Box"), Item(L"Box"));
    EXPECT_EQ(DiskEntries().count(L"Box\\Inner\\Box\\"), 0u);
    EXPECT_EQ(DiskEntries().count(L"Box\\Box\\"), 0u);
    EXPECT_EQ(boxes.Boxes().size(), shown);

    // Copies beside the original get a prefix. Each drop writes the values
    // of all pages again.
    ProgramRegistryGuard::WriteString(L"AllPages", L"Sibling", L"stale");
    Tree().CopyOnDrop(Item(L"Page.htm"), Item(L"Sibling.htm"));
    EXPECT_TRUE(PathExists(Full(L"copy of_Page.htm")));
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Sibling"), L"");
    Tree().CopyOnDrop(Item(L"Page.htm"), Item(L"Other"));
    EXPECT_TRUE(PathExists(Full(L"Other\\copyof_Page.htm")));
    Tree().CopyOnDrop(Item(L"Box"), Item(L"Other"));
    EXPECT_TRUE(PathExists(Full(L"Other\\copy of_Box\\Inner\\deep.htm")));
    EXPECT_TRUE(IndexNames().count(L"Other\\copy of_Box\\Inner\\deep"));

    // A moved open page is saved or asked about, and opens again at its new place.
    Tree().OpenPage(Item(L"Page.htm"));
    OpenDocument(L"Page.htm")->SetModifiedFlag(TRUE);
    boxes.SetAnswer(IDCANCEL);
    Tree().MoveItem(Item(L"Page.htm"), Item(L"Box"));
    EXPECT_TRUE(PathExists(Full(L"Page.htm")));
    EXPECT_NE(OpenDocument(L"Page.htm"), nullptr);
    boxes.SetAnswer(IDNO);
    Tree().MoveItem(Item(L"Page.htm"), Item(L"Box"));
    EXPECT_TRUE(PathExists(Full(L"Box\\Page.htm")));
    EXPECT_EQ(OpenDocument(L"Page.htm"), nullptr);
    EXPECT_NE(OpenDocument(L"Box\\Page.htm"), nullptr);
    EXPECT_EQ(Count(L"Box\\Page.htm"), 1);
    EXPECT_EQ(Image(Item(L"Box\\Page.htm")), kPageOpen);

    // A folder moves whole, with its open page and its index values.
    boxes.SetAnswer(IDOK);
    Tree().MoveItem(Item(L"Box"), Item(L"Other"));
    EXPECT_EQ(boxes.Boxes().back().text, L"Cannot move, destination directory has a subdirectory with the same name!");
    Tree().MoveItem(Item(L"Box"), Item(L"Dest"));
    EXPECT_TRUE(PathExists(Full(L"Dest\\Box\\Inner\\deep.htm")));
    EXPECT_FALSE(PathExists(Full(L"Box")));
    EXPECT_NE(OpenDocument(L"Dest\\Box\\Page.htm"), nullptr);
    EXPECT_EQ(Count(L"Dest\\Box\\Page.htm"), 1);
    EXPECT_FALSE(IndexNames().count(L"Box\\Inner\\deep"));
    EXPECT_TRUE(IndexNames().count(L"Dest\\Box\\Inner\\deep"));
    EXPECT_EQ(Tree().m_itemsByPath.size(), Tree().GetCount());

    // A move whose source cannot be read changes nothing.
    HANDLE lock = CreateFileW(Full(L"Sibling.htm"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    Tree().MoveItem(Item(L"Sibling.htm"), Item(L"Other"));
    CloseHandle(lock);
    EXPECT_EQ(boxes.Boxes().back().text, L"Not moved! The page or folder could not be moved; it stays where it was.");
    EXPECT_TRUE(PathExists(Full(L"Sibling.htm")));
    EXPECT_NE(Item(L"Sibling.htm"), nullptr);
}

TEST_F(TreeDrop, PasteCopiesTheRememberedPathAndRefusesOneThatIsGone) {
    Page(L"Page.htm");
    Folder(L"Dest");
    OpenWindow();
    MessageBoxRecorder boxes;

    Tree().SelectItem(Item(L"Page.htm"));
    Tree().CopySelected();
    Tree().PasteItem(Item(L"Dest"), Tree().m_copiedPath);
    EXPECT_TRUE(PathExists(Full(L"Dest\\Page.htm")));
    // Onto itself: into its own folder, where the plain name is taken: the
    // next candidate carries the prefix twice.
    Tree().PasteItem(Item(L"Page.htm"), Tree().m_copiedPath);
    EXPECT_TRUE(PathExists(Full(L"copy of_copy of_Page.htm")));

    // A refill cannot point the remembered copy at another item.
    m_frame->SendMessage(WM_COMMAND, ID_FILE_REFRESH_TREE);
    DeleteFileW(Full(L"Page.htm"));
    Tree().PasteItem(Item(L"Dest"), Tree().m_copiedPath);
    EXPECT_EQ(boxes.Boxes().back().text, L"Not pasted! The copied page or folder no longer exists.");
    EXPECT_EQ(ListFolder(Full(L"Dest")).size(), 1u);
}

// The folder tree follows pages and folders that appear on disk while the
// program runs (another process writes them): what is new shows, in the
// folders the tree has filled, without touching what is shown or open.
#include "TreeFixture.h"
#include "Utf16Bytes.h"

#include "docview/Document.h"
#include "resource.h"

#include <algorithm>

namespace {

bool Has(const std::vector<CString>& labels, const CString& label) {
    return std::find(labels.begin(), labels.end(), label) != labels.end();
}

}  // namespace

TEST_F(TreeWindow, EntriesWrittenBesideTheProgramShowWhereTheTreeIsFilled) {
    Page(L"Open.htm", L"open page");
    Folder(L"Filled");
    Page(L"Filled\\one.htm");
    Folder(L"Closed");
    Page(L"Closed\\inside.htm");
    Folder(L"Empty");
    OpenWindow();
    Tree().OpenPage(Item(L"Open.htm"));
    ASSERT_NE(OpenDocument(L"Open.htm"), nullptr);
    Tree().ExpandFolder(Item(L"Filled"));
    UserExpand(Item(L"Empty"), true);
    PumpMessages();
    ASSERT_FALSE(Tree().ItemHasChildren(Item(L"Empty")));
    HTREEITEM selected = Tree().GetSelectedItem();
    const size_t before = Tree().GetCount();

    // Written by someone else: pages at the top and in a filled folder, a
    // page in a folder never filled, one in the empty folder, new folders
    // with and without pages, and files the tree never lists.
    Page(L"Fresh.htm");
    Page(L"Filled\\two.html");
    Page(L"Closed\\late.htm");
    Page(L"Empty\\first.htm");
    Folder(L"NewEmpty");
    Folder(L"NewFull");
    Page(L"NewFull\\p.htm");
    WriteFileBytes(Full(L"note.txt"), "text");
    Folder(L".hidden");
    Tree().ShowNewEntries();

    std::vector<CString> top = Labels(Tree().GetRootItem());
    EXPECT_TRUE(Has(top, L"Fresh"));
    EXPECT_TRUE(Has(top, L"NewEmpty"));
    EXPECT_TRUE(Has(top, L"NewFull"));
    EXPECT_FALSE(Has(top, L"note"));
    EXPECT_FALSE(Has(top, L".hidden"));
    EXPECT_EQ(Labels(Item(L"Filled")), (std::vector<CString>{L"one", L"two"}));
    EXPECT_NE(Item(L"Filled\\two.html"), nullptr);
    // A folder never filled lists its pages when it expands; the empty one
    // now has something to expand, the new empty one has not.
    EXPECT_EQ(Tree().GetChildItem(Item(L"Closed")), nullptr);
    EXPECT_TRUE(Tree().ItemHasChildren(Item(L"Closed")));
    EXPECT_TRUE(Tree().ItemHasChildren(Item(L"Empty")));
    EXPECT_FALSE(Tree().ItemHasChildren(Item(L"NewEmpty")));
    EXPECT_TRUE(Tree().ItemHasChildren(Item(L"NewFull")));
    // Nothing shown moved or went: the open page keeps its mark, the
    // selection stays, and each entry shows once however often it is asked.
    EXPECT_EQ(Tree().GetCount(), before + 4);
    EXPECT_EQ(Image(Item(L"Open.htm")), kPageOpen);
    EXPECT_EQ(Count(L"Open.htm"), 1);
    EXPECT_EQ(Tree().GetSelectedItem(), selected);
    EXPECT_NE(OpenDocument(L"Open.htm"), nullptr);
    Tree().ShowNewEntries();
    EXPECT_EQ(Tree().GetCount(), before + 4);
    UserExpand(Item(L"Closed"), true);
    EXPECT_EQ(Labels(Item(L"Closed")), (std::vector<CString>{L"inside", L"late"}));
}

TEST_F(TreeWindow, APageWrittenWhileTheWindowRunsShowsWithoutAnyCommand) {
    Page(L"First.htm");
    Folder(L"Sub");
    Page(L"Sub\\a.htm");
    OpenWindow();
    Tree().ExpandFolder(Item(L"Sub"));
    // Written the way another process writes a page; the tree hears of it
    // from the folder watch, through its own message queue.
    Page(L"Arrived.htm");
    Page(L"Sub\\b.htm");
    const DWORD start = GetTickCount();
    while ((!Item(L"Arrived.htm") || !Item(L"Sub\\b.htm")) && GetTickCount() - start < 20000) {
        PumpMessages();
        Sleep(10);
    }
    EXPECT_NE(Item(L"Arrived.htm"), nullptr);
    EXPECT_NE(Item(L"Sub\\b.htm"), nullptr);
    // A refill goes on watching.
    m_frame->SendMessage(WM_COMMAND, ID_FILE_REFRESH_TREE);
    Page(L"Later.htm");
    const DWORD again = GetTickCount();
    while (!Item(L"Later.htm") && GetTickCount() - again < 20000) {
        PumpMessages();
        Sleep(10);
    }
    EXPECT_NE(Item(L"Later.htm"), nullptr);
}

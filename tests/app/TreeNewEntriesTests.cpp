// The folder tree follows the disk while the program runs (another process
// writes, deletes or renames pages and folders): what is new shows at the
// place a fill gives it and what went leaves, in the folders the tree has
// filled, without touching what is open; the watch behind it runs only for a
// window that can be seen, and starts again when it ends.
#include "MessageBoxRecorder.h"
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
    Tree().ShowDiskState();

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
    Tree().ShowDiskState();
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

TEST_F(TreeWindow, EntriesDeletedOrRenamedOnDiskLeaveTheTreeAndOpenPagesKeepTheirMarks) {
    Page(L"Keep.htm", L"open page");
    const std::vector<CString> gone = NumberedNames(L"Gone%02d.htm", 30);
    for (const CString& name : gone) Page(name);
    Folder(L"Old");
    Folder(L"Doomed");
    for (const CString& name : NumberedNames(L"p%02d.htm", 40)) {
        Page(L"Old\\" + name);
        Page(L"Doomed\\" + name);
    }
    OpenWindow();
    ASSERT_TRUE(PumpUntil([&] { return Tree().IsWatchingDisk(); }));
    Tree().OpenPage(Item(L"Keep.htm"));
    ASSERT_NE(OpenDocument(L"Keep.htm"), nullptr);
    Tree().ExpandFolder(Item(L"Old"));
    Tree().ExpandFolder(Item(L"Doomed"));
    ASSERT_NE(Item(L"Doomed\\p39.htm"), nullptr);

    // Changed from outside: pages deleted, a filled folder renamed, another
    // removed with everything in it.
    for (const CString& name : gone) DeleteFileW(Full(name));
    ASSERT_TRUE(MoveFileExW(Full(L"Old"), Full(L"Renamed"), 0));
    RemoveFolderTree(Full(L"Doomed"));
    EXPECT_TRUE(PumpUntil([&] { return !Item(L"Old") && !Item(L"Doomed") && !Item(L"Gone29.htm") && Item(L"Renamed"); }))
        << ::testing::PrintToString(Labels(Tree().GetRootItem()));
    EXPECT_EQ(Labels(Tree().GetRootItem()), (std::vector<CString>{L"Keep", L"Renamed"}));
    // The renamed folder shows once, with its pages when it opens.
    UserExpand(Item(L"Renamed"), true);
    EXPECT_EQ(Labels(Item(L"Renamed")).size(), 40u);
    // A folder made again gets a node of its own, and a page written into it shows there.
    Folder(L"Doomed");
    Page(L"Doomed\\fresh.htm");
    EXPECT_TRUE(PumpUntil([&] { return Item(L"Doomed") && Tree().ItemHasChildren(Item(L"Doomed")); }));
    UserExpand(Item(L"Doomed"), true);
    EXPECT_EQ(Labels(Item(L"Doomed")), (std::vector<CString>{L"fresh"}));

    // The open page kept its pen and its document; no item was left behind in the maps.
    EXPECT_EQ(Image(Item(L"Keep.htm")), kPageOpen);
    EXPECT_EQ(Count(L"Keep.htm"), 1);
    EXPECT_NE(OpenDocument(L"Keep.htm"), nullptr);
    EXPECT_EQ(Tree().m_itemsByPath.size(), Tree().GetCount());
}

TEST_F(TreeWindow, NewEntriesTakeThePlaceAFillGivesThem) {
    Page(L"Apple.htm");
    Page(L"Melon.htm");
    Page(L"Zest.htm");
    Folder(L"Kiwi");
    Folder(L"Sub");
    Page(L"Sub\\a.htm");
    Page(L"Sub\\c.htm");
    OpenWindow();
    ASSERT_TRUE(PumpUntil([&] { return Tree().IsWatchingDisk(); }));
    Tree().ExpandFolder(Item(L"Sub"));

    // Heard through the watch.
    Page(L"Banana.htm");
    Page(L"Sub\\b.htm");
    Folder(L"Lime");
    EXPECT_TRUE(PumpUntil([&] { return Item(L"Banana.htm") && Item(L"Sub\\b.htm") && Item(L"Lime"); }));
    // Found by a comparison of every filled folder with the disk.
    Page(L"Cherry.htm");
    Page(L"Sub\\0.htm");
    Tree().ShowDiskState();

    const std::vector<CString> top{L"Apple", L"Banana", L"Cherry", L"Kiwi", L"Lime", L"Melon", L"Sub", L"Zest"};
    const std::vector<CString> sub{L"0", L"a", L"b", L"c"};
    EXPECT_EQ(Labels(Tree().GetRootItem()), top);
    EXPECT_EQ(Labels(Item(L"Sub")), sub);
    // Just as a fill of the tree lists them.
    m_frame->SendMessage(WM_COMMAND, ID_FILE_REFRESH_TREE);
    EXPECT_EQ(Labels(Tree().GetRootItem()), top);
    Tree().ExpandFolder(Item(L"Sub"));
    EXPECT_EQ(Labels(Item(L"Sub")), sub);
}

TEST_F(TreeWindow, AWatchThatEndsSaysSoAndStartsAgain) {
    Page(L"One.htm");
    OpenWindow();
    ASSERT_TRUE(PumpUntil([&] { return Tree().IsWatchingDisk(); }));

    // The watched folder itself goes from its place (moved away, as a shell
    // does it): the tree shows nothing below its root, and the watch no
    // longer claims to run.
    ASSERT_TRUE(MoveFileExW(m_allpages, m_install.Path() + L"\\Bookmark\\Away", 0));
    EXPECT_TRUE(PumpUntil([&] { return !Tree().IsWatchingDisk() && !Tree().GetChildItem(Tree().GetRootItem()); }));
    // Made again, it is watched again without any command.
    CreateDirectoryW(m_allpages, nullptr);
    Page(L"Two.htm");
    EXPECT_TRUE(PumpUntil([&] { return Tree().IsWatchingDisk() && Item(L"Two.htm"); }));
    Page(L"Three.htm");
    EXPECT_TRUE(PumpUntil([&] { return Item(L"Three.htm") != nullptr; }));
    EXPECT_EQ(Labels(Tree().GetRootItem()), (std::vector<CString>{L"Three", L"Two"}));
}

TEST_F(TreeWindow, AWindowNobodySeesWatchesNothing) {
    Page(L"First.htm");
    // The main window of a clip's process is made and never shown.
    OpenWindow(false);
    const DWORD until = GetTickCount() + 2500;
    PumpUntil([&] { return GetTickCount() > until; });
    EXPECT_FALSE(Tree().IsWatchingDisk());
    // Shown, it follows the disk, and shows what came meanwhile.
    Page(L"Second.htm");
    m_frame->ShowWindow(SW_SHOW);
    EXPECT_TRUE(PumpUntil([&] { return Tree().IsWatchingDisk() && Item(L"Second.htm"); }));
    Page(L"Third.htm");
    EXPECT_TRUE(PumpUntil([&] { return Item(L"Third.htm") != nullptr; }));
}

TEST_F(TreeWindow, APageOpenedAfterItVanishedIsNamedAsGoneAndItsEntryGoes) {
    Page(L"Here.htm");
    Page(L"Vanished.htm");
    OpenWindow();
    HTREEITEM vanished = Item(L"Vanished.htm");
    ASSERT_NE(vanished, nullptr);
    // Gone before the tree heard of it.
    DeleteFileW(Full(L"Vanished.htm"));
    {
        MessageBoxRecorder boxes;
        Tree().OpenPage(vanished);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, L"The page \"Vanished\" is no longer on disk: it was deleted or renamed "
                                         L"outside Tarvelo. Its entry is taken out of the tree.");
    }
    EXPECT_EQ(m_pages->GetDocuments().size(), 0u);
    EXPECT_EQ(Count(L"Vanished.htm"), 0);
    EXPECT_EQ(Count(L""), 1);  // the root counts only its own expansion
    PumpMessages();
    EXPECT_EQ(Item(L"Vanished.htm"), nullptr);
    EXPECT_EQ(Labels(Tree().GetRootItem()), (std::vector<CString>{L"Here"}));
}

TEST_F(TreeWindow, OpenPagesFollowAFolderOrPageRenamedOnDisk) {
    Folder(L"Trips");
    Page(L"Trips\\Lists.htm", L"lists");
    Page(L"Trip notes.htm", L"notes");
    OpenWindow();
    ASSERT_TRUE(PumpUntil([&] { return Tree().IsWatchingDisk(); }));
    Tree().ExpandFolder(Item(L"Trips"));
    Tree().OpenPage(Item(L"Trips\\Lists.htm"));
    Tree().OpenPage(Item(L"Trip notes.htm"));
    ASSERT_NE(OpenDocument(L"Trips\\Lists.htm"), nullptr);
    ASSERT_NE(OpenDocument(L"Trip notes.htm"), nullptr);

    ASSERT_TRUE(MoveFileExW(Full(L"Trips"), Full(L"Journeys"), 0));
    ASSERT_TRUE(MoveFileExW(Full(L"Trip notes.htm"), Full(L"Trip log.htm"), 0));
    EXPECT_TRUE(PumpUntil([&] { return Item(L"Journeys") && Item(L"Trip log.htm") && !Item(L"Trips"); }));
    // The documents took the new paths, and the marks went with them.
    EXPECT_EQ(OpenDocument(L"Trips\\Lists.htm"), nullptr);
    EXPECT_NE(OpenDocument(L"Journeys\\Lists.htm"), nullptr);
    EXPECT_NE(OpenDocument(L"Trip log.htm"), nullptr);
    EXPECT_EQ(Count(L"Trips\\Lists.htm"), 0);
    EXPECT_EQ(Count(L"Trip notes.htm"), 0);
    EXPECT_EQ(Image(Item(L"Trip log.htm")), kPageOpen);
    UserExpand(Item(L"Journeys"), true);
    EXPECT_EQ(Image(Item(L"Journeys\\Lists.htm")), kPageOpen);
    EXPECT_EQ(Count(L"Journeys\\Lists.htm"), 1);
}

// The folder tree in the main window: what it lists, lazy folders, open
// marks, the page and folder commands, rename and delete, with their results
// on disk and in the AllPages index.
#include "MessageBoxRecorder.h"
#include "TreeFixture.h"
#include "Utf16Bytes.h"
#include "docview/Document.h"
#include "docview/View.h"
#include "resource.h"
#include "util/PathParts.h"

#include <algorithm>

namespace {

bool Has(const std::vector<CString>& labels, const wchar_t* label) {
    return std::find(labels.begin(), labels.end(), CString(label)) != labels.end();
}

}  // namespace

TEST_F(TreeWindow, ListsVisibleFoldersAndPagesAndFillsFoldersWhenTheyOpen) {
    Page(L"Beta.htm");
    Page(L"Caps.HTML");
    Folder(L"Alpha");
    Page(L"Alpha\\a1.htm");
    Folder(L"Alpha\\Inner");
    Page(L"Alpha\\Inner\\deep.htm");
    Folder(L"Empty");
    Folder(L"OnlyText");
    WriteFileBytes(Full(L"OnlyText\\x.txt"), "x");
    Folder(L".hidden");
    WriteFileBytes(Full(L"notes.txt"), "x");
    Page(L"Secret.htm");
    SetFileAttributesW(Full(L"Secret.htm"), FILE_ATTRIBUTE_HIDDEN);
    m_app.WriteProfileString(L"Init", L"Title", L"My pages");
    OpenWindow();

    HTREEITEM root = Tree().GetRootItem();
    EXPECT_EQ(Tree().GetItemText(root), L"My pages");
    EXPECT_EQ(Image(root), kFolderOpen);
    EXPECT_EQ(Tree().GetSelectedItem(), root);
    std::vector<CString> top = Labels(root);
    EXPECT_EQ(top.size(), 5u);
    for (const wchar_t* label : {L"Alpha", L"Empty", L"OnlyText", L"Beta", L"Caps"}) EXPECT_TRUE(Has(top, label)) << ::testing::PrintToString(CString(label));
    EXPECT_FALSE(Has(top, L".hidden"));
    EXPECT_FALSE(Has(top, L"Secret"));
    // Folders keep alphabetical order among themselves.
    auto at = [&](const wchar_t* label) { return std::find(top.begin(), top.end(), CString(label)) - top.begin(); };
    EXPECT_LT(at(L"Alpha"), at(L"Empty"));
    EXPECT_LT(at(L"Empty"), at(L"OnlyText"));

    // A page stored as .html maps to that file.
    ASSERT_NE(Item(L"Caps.HTML"), nullptr);
    EXPECT_EQ(Tree().ItemPath(Item(L"Caps.HTML")).CompareNoCase(Full(L"Caps.HTML")), 0);
    EXPECT_EQ(Tree().GetItemData(Item(L"Caps.HTML")), 1);

    // Folders are filled when they open, and an empty one loses its button.
    HTREEITEM alpha = Item(L"Alpha");
    EXPECT_TRUE(Labels(alpha).empty());
    UserExpand(alpha, true);
    EXPECT_EQ(Labels(alpha).size(), 2u);
    EXPECT_EQ(Image(alpha), kFolderOpen);
    EXPECT_EQ(Count(L"Alpha"), 1);
    UserExpand(alpha, false);
    EXPECT_EQ(Image(alpha), kFolderClosed);
    EXPECT_EQ(Count(L"Alpha"), 0);
    HTREEITEM onlyText = Item(L"OnlyText");
    EXPECT_TRUE(Tree().ItemHasChildren(onlyText));
    UserExpand(onlyText, true);
    EXPECT_FALSE(Tree().ItemHasChildren(onlyText));

    // A folder that opens again is filled afresh from disk; the items of the
    // old fill leave the path map.
    UserExpand(alpha, true);
    Page(L"Alpha\\added.htm");
    UserExpand(alpha, false);
    UserExpand(alpha, true);
    EXPECT_EQ(Labels(alpha).size(), 3u);
    EXPECT_EQ(Tree().m_itemsByPath.size(), Tree().GetCount());

    // A folder opened without being selected (its button) becomes the selection.
    Tree().SelectItem(root);
    Tree().Expand(Item(L"Alpha\\Inner"), TVE_EXPAND);
    EXPECT_EQ(Tree().GetSelectedItem(), Item(L"Alpha\\Inner"));
}

TEST_F(TreeWindow, OpenMarksFollowThePageFromOpeningToClosing) {
    Folder(L"Empty");
    Folder(L"A");
    Folder(L"A\\B");
    CString deep = Page(L"A\\B\\deep.htm");
    OpenWindow();

    // Found by path: the folders on the way open, the page opens with its marks.
    ASSERT_TRUE(SelectTreeItemByPath(m_frame->m_wndTree, deep));
    HTREEITEM page = Item(L"A\\B\\deep.htm");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Tree().GetSelectedItem(), page);
    EXPECT_EQ(Image(page), kPageOpen);
    EXPECT_EQ(Image(Item(L"A")), kFolderOpen);
    EXPECT_EQ(Image(Item(L"A\\B")), kFolderOpen);
    EXPECT_EQ(Count(L"A\\B\\deep.htm"), 1);
    EXPECT_EQ(Count(L"A\\B"), 2);  // its own expansion and the open page
    ASSERT_NE(OpenDocument(L"A\\B\\deep.htm"), nullptr);
    {
        MessageBoxRecorder boxes;
        EXPECT_FALSE(SelectTreeItemByPath(m_frame->m_wndTree, Full(L"A\\missing.htm")));
        EXPECT_TRUE(boxes.Saw(L"No item was found"));
    }
    // An empty folder found by path shows itself opened, and closed again.
    ASSERT_TRUE(SelectTreeItemByPath(m_frame->m_wndTree, Full(L"Empty")));
    EXPECT_EQ(Image(Item(L"Empty")), kFolderOpen);
    ASSERT_TRUE(SelectTreeItemByPath(m_frame->m_wndTree, Full(L"Empty")));
    EXPECT_EQ(Image(Item(L"Empty")), kFolderClosed);
    Tree().SelectItem(page);

    // Opening it again counts nothing twice.
    Tree().OpenPage(page);
    EXPECT_EQ(Count(L"A\\B"), 2);
    EXPECT_EQ(m_pages->GetDocuments().size(), 1u);

    // Ctrl+I tells the selected item's count.
    {
        MessageBoxRecorder boxes;
        m_frame->SendMessage(WM_COMMAND, ID_SHOW_OPEN_COUNT);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, L"1");
    }

    // Collapsing the folder keeps it open-looking while the page is open.
    UserExpand(Item(L"A\\B"), false);
    EXPECT_EQ(Image(Item(L"A\\B")), kFolderOpen);

    // The page window closes: the mark goes, whatever the item's state.
    OpenDocument(L"A\\B\\deep.htm")->GetViews().front()->GetParentFrame()->SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    PumpMessages();
    EXPECT_EQ(Count(L"A\\B\\deep.htm"), 0);
    EXPECT_EQ(Count(L"A\\B"), 0);
    EXPECT_EQ(Image(Item(L"A\\B")), kFolderClosed);
    EXPECT_EQ(m_app.GetProfileString(L"Settings", L"FileHot"), deep);
}

TEST_F(TreeWindow, NewPageAndFolderWriteTheDiskTheTreeAndTheIndex) {
    Page(L"Notes.htm", L"&gt;&gt;&gt;Work&lt;&lt;&lt;");
    Folder(L"Sub");
    Page(L"Sub\\Old.htm");
    OpenWindow();
    ProgramRegistryGuard::WriteString(L"AllPages", L"Notes", L"Work,1");

    // With a page selected the new page goes into that page's folder; a page of the same
    // name at the top level keeps its index value.
    UserExpand(Item(L"Sub"), true);
    Tree().SelectItem(Item(L"Sub\\Old.htm"));
    ASSERT_TRUE(m_frame->NewPage(L"Notes"));
    EXPECT_TRUE(PathExists(Full(L"Sub\\Notes.htm")));
    HTREEITEM page = Item(L"Sub\\Notes.htm");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Tree().GetParentItem(page), Item(L"Sub"));
    EXPECT_EQ(Image(page), kPageOpen);
    EXPECT_EQ(Count(L"Sub\\Notes.htm"), 1);
    EXPECT_NE(OpenDocument(L"Sub\\Notes.htm"), nullptr);
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Notes"), L"Work,1");
    EXPECT_TRUE(IndexNames().count(L"Sub\\Notes"));

    // Bad names are refused with a message and write nothing.
    {
        MessageBoxRecorder boxes;
        for (const wchar_t* name : {L"", L"a\\b", L"..\\evil", L"x:y", L"what?", L"dot."}) {
            EXPECT_FALSE(m_frame->NewPage(name)) << ::testing::PrintToString(CString(name));
            EXPECT_FALSE(m_frame->NewFolder(name)) << ::testing::PrintToString(CString(name));
        }
        EXPECT_EQ(boxes.Boxes().size(), 12u);
        EXPECT_EQ(boxes.Boxes()[0].text, L"File not created, because no new page name!");
        EXPECT_FALSE(m_frame->NewPage(L"Notes"));
        EXPECT_EQ(boxes.Boxes().back().text, L"Error! A file named \"Notes\" already exists! No file was created.");
    }

    // A new folder in the root, selected, with its own map entry.
    Tree().SelectItem(Tree().GetRootItem());
    ASSERT_TRUE(m_frame->NewFolder(L"Fresh"));
    EXPECT_TRUE(PathExists(Full(L"Fresh")));
    EXPECT_EQ(Tree().GetSelectedItem(), Item(L"Fresh"));
    EXPECT_FALSE(Tree().ItemHasChildren(Item(L"Fresh")));  // empty: no expand button
    // A page into the closed, empty folder shows it filled from disk.
    ASSERT_TRUE(m_frame->NewPage(L"Inside"));
    EXPECT_EQ(Tree().GetParentItem(Item(L"Fresh\\Inside.htm")), Item(L"Fresh"));

    // A folder that cannot be made adds nothing.
    MessageBoxRecorder boxes;
    Tree().SelectItem(Tree().GetRootItem());
    size_t items = Tree().GetCount();
    EXPECT_FALSE(m_frame->NewFolder(CString(L'x', 300)));
    EXPECT_EQ(boxes.Boxes().back().text.Left(49), L"Folder not created, because the name is too long:");
    EXPECT_EQ(Tree().GetCount(), items);
}

TEST_F(TreeWindow, RenameTakesOnlySoundNamesAndNeverOverwrites) {
    CString first = Page(L"First.htm", L"one\n<TABLE border=1 col=\"2\" name=\"Links\"><TR><TD>a</TD><TD>b</TD></TR></TABLE>");
    Page(L"Second.htm", L"two");
    Folder(L"Dir");
    Page(L"Dir\\inner.htm");
    OpenWindow();
    ProgramRegistryGuard::WriteString(L"AllPages", L"First", L"");
    HTREEITEM item = Item(L"First.htm");

    MessageBoxRecorder boxes;
    for (const wchar_t* hostile : {L"", L"a\\b", L"..", L"c:d", L"<x>", L"a/b", L"Second"}) {
        EXPECT_FALSE(EditLabel(item, hostile)) << ::testing::PrintToString(CString(hostile));
        EXPECT_EQ(Tree().GetItemText(item), L"First");
    }
    EXPECT_EQ(boxes.Boxes().size(), 7u);
    EXPECT_EQ(boxes.Boxes().back().text, L"Not renamed! A page or folder of that name already exists.");
    EXPECT_EQ(TextOfUtf16Bytes(ReadFileBytes(Full(L"Second.htm"))).Find(L"two") >= 0, true);
    // Escape renames nothing.
    EXPECT_FALSE(EditLabel(item, L"Escaped", true));
    EXPECT_FALSE(PathExists(Full(L"Escaped.htm")));
    EXPECT_TRUE(PathExists(first));

    // A sound rename moves the file and its index value; an open page comes back under its new name.
    Tree().OpenPage(item);
    ASSERT_TRUE(EditLabel(item, L"Renamed"));
    EXPECT_FALSE(PathExists(first));
    EXPECT_TRUE(PathExists(Full(L"Renamed.htm")));
    EXPECT_FALSE(IndexNames().count(L"First"));
    EXPECT_TRUE(IndexNames().count(L"Renamed"));
    // The new name's value lists the page's named tables as sections.
    EXPECT_GE(ProgramRegistryGuard::ReadString(L"AllPages", L"Renamed").Find(L"Links,2"), 0);
    EXPECT_EQ(OpenDocument(L"First.htm"), nullptr);
    EXPECT_NE(OpenDocument(L"Renamed.htm"), nullptr);
    EXPECT_EQ(Item(L"Renamed.htm"), item);
    EXPECT_EQ(Image(item), kPageOpen);

    // A folder with a modified open page inside asks first; Cancel keeps everything.
    UserExpand(Item(L"Dir"), true);
    Tree().OpenPage(Item(L"Dir\\inner.htm"));
    OpenDocument(L"Dir\\inner.htm")->SetModifiedFlag(TRUE);
    boxes.SetAnswer(IDCANCEL);
    EXPECT_FALSE(EditLabel(Item(L"Dir"), L"Moved"));
    EXPECT_TRUE(PathExists(Full(L"Dir\\inner.htm")));
    EXPECT_NE(OpenDocument(L"Dir\\inner.htm"), nullptr);
    boxes.SetAnswer(IDNO);
    EXPECT_TRUE(EditLabel(Item(L"Dir"), L"Moved"));
    EXPECT_TRUE(PathExists(Full(L"Moved\\inner.htm")));
    EXPECT_EQ(OpenDocument(L"Dir\\inner.htm"), nullptr);
    EXPECT_NE(Item(L"Moved"), nullptr);
    EXPECT_EQ(Item(L"Dir"), nullptr);

    // The root's label is the tree's title.
    EXPECT_TRUE(EditLabel(Tree().GetRootItem(), L"Shelf"));
    EXPECT_EQ(m_app.GetProfileString(L"Init", L"Title"), L"Shelf");
}

// A name too long for the store is refused whole, with a message, on each
// road: the tree's label edit (where it stays in the box to be shortened),
// the new page and new folder commands (whose dialog comes back with it).
TEST_F(TreeWindow, NamesTooLongForTheStoreAreRefusedWholeOnEveryRoad) {
    // A page's full path holds at most 259 characters, a folder's 247.
    const int room = 259 - m_allpages.GetLength() - 1 - 4;
    const int folderRoom = 247 - m_allpages.GetLength() - 1;
    Page(L"Short.htm", L"kept");
    Folder(L"Deep");
    Page(L"Deep\\" + CString(L'i', room - 5) + L".htm");  // as long as a page's path can be
    OpenWindow();
    MessageBoxRecorder boxes;
    auto pasteLabel = [&](HTREEITEM item, const CString& text) {
        Tree().SetFocus();
        Tree().SelectItem(item);
        HWND edit = Tree().EditLabel(item);
        ASSERT_NE(edit, nullptr);
        PumpMessages();  // as the user's first key waits for the program's queue
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.GetLength() + 1) * sizeof(wchar_t));
        memcpy(GlobalLock(data), text.GetString(), (text.GetLength() + 1) * sizeof(wchar_t));
        GlobalUnlock(data);
        SetClipboardData(CF_UNICODETEXT, data);
        CloseClipboard();
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SendMessageW(edit, WM_PASTE, 0, 0);
        Tree().EndEditLabelNow(FALSE);
        PumpMessages();
    };
    auto tooLong = [](const wchar_t* start, int length, int limit, const wchar_t* end) {
        CString text;
        text.Format(L"%ls%d characters long, and at most %d fit%ls", start, length, limit, end);
        return text;
    };

    // The label edit: a pasted name is taken whole, never cut; one too long
    // is refused and waits in the box again.
    HTREEITEM item = Item(L"Short.htm");
    pasteLabel(item, CString(L'p', 300));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, tooLong(L"Not renamed! The name is too long: its path would be ",
                                             m_allpages.GetLength() + 1 + 300 + 4, 259, L"."));
    EXPECT_TRUE(PathExists(Full(L"Short.htm")));
    EXPECT_EQ(DiskEntries().count(L"Short"), 1u);
    HWND again = Tree().GetEditControl();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(GetWindowTextLengthW(again), 300);
    Tree().EndEditLabelNow(TRUE);
    PumpMessages();
    EXPECT_EQ(Tree().GetItemText(item), L"Short");
    pasteLabel(item, CString(L'q', room));
    EXPECT_TRUE(PathExists(Full(CString(L'q', room) + L".htm")));
    EXPECT_EQ(Tree().GetItemText(item), CString(L'q', room));
    // A folder whose pages would grow past the limit keeps its name.
    pasteLabel(Item(L"Deep"), L"Deeper");
    EXPECT_EQ(boxes.Boxes().back().text,
              tooLong(L"Not renamed! The name is too long: a page inside it would have a path ", 261, 259, L"."));
    EXPECT_TRUE(PathExists(Full(L"Deep\\" + CString(L'i', room - 5) + L".htm")));
    Tree().EndEditLabelNow(TRUE);
    PumpMessages();

    // New page and new folder: refused before anything is written.
    Tree().SelectItem(Tree().GetRootItem());
    std::set<CString> before = DiskEntries();
    size_t items = Tree().GetCount();
    EXPECT_FALSE(m_frame->NewPage(CString(L'n', room + 1)));
    EXPECT_EQ(boxes.Boxes().back().text,
              tooLong(L"File not created, because the name is too long: its path would be ", 260, 259, L"!"));
    EXPECT_FALSE(m_frame->NewFolder(CString(L'f', folderRoom + 1)));
    EXPECT_EQ(boxes.Boxes().back().text,
              tooLong(L"Folder not created, because the name is too long: its path would be ", 248, 247, L"!"));
    EXPECT_EQ(DiskEntries(), before);
    EXPECT_EQ(Tree().GetCount(), items);
    EXPECT_TRUE(m_frame->NewFolder(CString(L'f', folderRoom)));
    Tree().SelectItem(Tree().GetRootItem());

    // Through its dialog the command asks again with the refused name in the box.
    std::vector<CString> asked;
    static std::vector<CString>* s_asked;
    static HWND s_last;
    s_asked = &asked;
    s_last = nullptr;
    static const CString s_long(L'n', 300);
    UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) CALLBACK {
        HWND dialog = FindWindowW(nullptr, L"Tarvelo->Input Name");
        if (!dialog || dialog == s_last || !IsWindowVisible(dialog)) return;
        s_last = dialog;
        wchar_t text[400] = {};
        GetDlgItemTextW(dialog, IDC_NAME, text, 400);
        s_asked->push_back(text);
        if (s_asked->size() == 1) SetDlgItemTextW(dialog, IDC_NAME, s_long);
        PostMessageW(dialog, WM_COMMAND, s_asked->size() == 1 ? IDOK : IDCANCEL, 0);
    });
    m_frame->SendMessage(WM_COMMAND, ID_FILE_NEW_PAGE);
    KillTimer(nullptr, timer);
    EXPECT_EQ(asked, (std::vector<CString>{L"", s_long}));
    EXPECT_EQ(DiskEntries().size(), before.size() + 1);  // the folder made above, nothing else
}

// The rename runs from a posted message after the edit box is gone; a refill
// of the tree in between may give the edited item's handle to another entry.
TEST_F(TreeWindow, ARenameWaitingForItsTurnFollowsItsEntryThroughARefill) {
    Page(L"Alpha.htm", L"a");
    Page(L"Beta.htm", L"b");
    Page(L"Gamma.htm", L"c");
    OpenWindow();
    auto endEditThenRefill = [&](const CString& relative, const CString& label, bool deleteFirst) {
        Tree().SetFocus();
        HWND edit = Tree().EditLabel(Item(relative));
        ASSERT_NE(edit, nullptr);
        SetWindowTextW(edit, label);
        Tree().EndEditLabelNow(FALSE);
        if (deleteFirst) DeleteFileW(Full(relative));
        m_frame->SendMessage(WM_COMMAND, ID_FILE_REFRESH_TREE);
        PumpMessages();
    };
    endEditThenRefill(L"Beta.htm", L"Renamed", false);
    EXPECT_EQ(DiskEntries(), (std::set<CString>{L"Alpha", L"Gamma", L"Renamed"}));
    ASSERT_NE(Item(L"Renamed.htm"), nullptr);
    EXPECT_EQ(Tree().GetItemText(Item(L"Renamed.htm")), L"Renamed");
    // An entry that left the disk meanwhile is renamed nowhere.
    endEditThenRefill(L"Alpha.htm", L"Other", true);
    EXPECT_EQ(DiskEntries(), (std::set<CString>{L"Gamma", L"Renamed"}));
    EXPECT_EQ(Labels(Tree().GetRootItem()), (std::vector<CString>{L"Gamma", L"Renamed"}));
}

TEST_F(TreeWindow, DeleteAsksRemovesDiskItemAndIndexAndKeepsWhatItCouldNotDelete) {
    CString page = Page(L"Gone.htm");
    CString kept = Page(L"Kept.htm");
    Folder(L"Dir");
    Page(L"Dir\\open.htm");
    OpenWindow();
    ProgramRegistryGuard::WriteString(L"AllPages", L"Gone", L"");

    MessageBoxRecorder boxes(IDCANCEL);
    Tree().SelectItem(Item(L"Gone.htm"));
    m_frame->SendMessage(WM_COMMAND, ID_FILE_DELETE);
    EXPECT_EQ(boxes.Boxes().back().text, L"Are you sure to delete? You may loss data!");
    EXPECT_EQ(boxes.Boxes().back().caption, L"Warning");
    EXPECT_TRUE(PathExists(page));

    boxes.SetAnswer(IDOK);
    m_frame->SendMessage(WM_COMMAND, ID_FILE_DELETE);
    EXPECT_FALSE(PathExists(page));
    EXPECT_EQ(Item(L"Gone.htm"), nullptr);
    EXPECT_FALSE(IndexNames().count(L"Gone"));
    EXPECT_EQ(Tree().m_itemsByPath.size(), Tree().GetCount());

    // The root is never deleted.
    Tree().SelectItem(Tree().GetRootItem());
    m_frame->SendMessage(WM_COMMAND, ID_FILE_DELETE);
    EXPECT_TRUE(PathExists(m_allpages));

    // A file that cannot be deleted stays, and so does its item.
    HANDLE lock = CreateFileW(kept, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    Tree().SelectItem(Item(L"Kept.htm"));
    m_frame->SendMessage(WM_COMMAND, ID_FILE_DELETE);
    CloseHandle(lock);
    EXPECT_EQ(boxes.Boxes().back().text, L"Failed to delete the file!");
    EXPECT_NE(Item(L"Kept.htm"), nullptr);
    EXPECT_TRUE(PathExists(kept));

    // A folder with an open page: the page closes, the folder goes.
    UserExpand(Item(L"Dir"), true);
    Tree().OpenPage(Item(L"Dir\\open.htm"));
    Tree().SelectItem(Item(L"Dir"));
    m_frame->SendMessage(WM_COMMAND, ID_FILE_DELETE);
    EXPECT_FALSE(PathExists(Full(L"Dir")));
    EXPECT_TRUE(m_pages->GetDocuments().empty());
    EXPECT_EQ(Count(L""), 1);  // back to the root's own expansion
}

// Recipes\Diary, Projects\Plans & Goals and a page at the top are open; the
// folder Projects moves into Recipes and is renamed there, and Recipes itself
// is renamed: every open page keeps its pen, and each folder counts what is
// open below it.
TEST_F(TreeWindow, MovingOrRenamingAFolderKeepsThePenOfEveryOpenPage) {
    Folder(L"Recipes");
    Page(L"Recipes\\Diary.htm");
    Page(L"Recipes\\Bread.htm");
    Folder(L"Projects");
    Page(L"Projects\\Plans & Goals.htm");
    Page(L"Top.htm");
    OpenWindow();
    for (const wchar_t* page : {L"Recipes\\Diary.htm", L"Projects\\Plans & Goals.htm", L"Top.htm"})
        ASSERT_TRUE(SelectTreeItemByPath(Tree(), Full(page)));
    ASSERT_EQ(m_pages->GetDocuments().size(), 3u);
    auto expectPens = [&](const CString& plans, const CString& recipes) {
        SCOPED_TRACE(plans.str());
        Tree().ExpandFolder(Item(GetParentPath(plans)));
        for (const CString& page : {recipes + L"\\Diary.htm", plans, CString(L"Top.htm")}) {
            ASSERT_NE(Item(page), nullptr) << page.str();
            EXPECT_EQ(Image(Item(page)), kPageOpen) << page.str();
            EXPECT_EQ(Count(page), 1) << page.str();
            EXPECT_NE(OpenDocument(page), nullptr) << page.str();
        }
        EXPECT_EQ(Image(Item(recipes + L"\\Bread.htm")), kPageImage);
        EXPECT_EQ(m_pages->GetDocuments().size(), 3u);
        // Every folder on the way to an open page shows open.
        for (CString folder = GetParentPath(plans);; folder = GetParentPath(folder)) {
            EXPECT_EQ(Image(Item(folder)), kFolderOpen) << folder.str();
            if (folder.Find(L'\\') < 0) break;
        }
    };
    expectPens(L"Projects\\Plans & Goals.htm", L"Recipes");

    MessageBoxRecorder boxes(IDNO);
    Tree().MoveItem(Item(L"Projects"), Item(L"Recipes"));
    ASSERT_TRUE(PathExists(Full(L"Recipes\\Projects\\Plans & Goals.htm")));
    expectPens(L"Recipes\\Projects\\Plans & Goals.htm", L"Recipes");

    ASSERT_TRUE(EditLabel(Item(L"Recipes\\Projects"), L"Work"));
    ASSERT_TRUE(PathExists(Full(L"Recipes\\Work\\Plans & Goals.htm")));
    expectPens(L"Recipes\\Work\\Plans & Goals.htm", L"Recipes");

    ASSERT_TRUE(EditLabel(Item(L"Recipes"), L"Kitchen"));
    ASSERT_TRUE(PathExists(Full(L"Kitchen\\Work\\Plans & Goals.htm")));
    expectPens(L"Kitchen\\Work\\Plans & Goals.htm", L"Kitchen");

    // All closed, no folder counts a page any more.
    for (CDocument* document : std::vector<CDocument*>(m_pages->GetDocuments())) document->OnCloseDocument();
    PumpMessages();
    EXPECT_EQ(Count(L"Kitchen\\Work"), 1);  // its own expansion
    EXPECT_EQ(Image(Item(L"Kitchen\\Diary.htm")), kPageImage);
}

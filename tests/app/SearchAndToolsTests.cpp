// The search over a prepared store (plain and pattern, a folder, all pages,
// the open pages, "Find Next" to the end), the desktop tools' backup and
// Favorites guards, and the folder tree's context menu.
#include "MessageBoxRecorder.h"
#include "ModalDriver.h"
#include "TreeFixture.h"
#include "Utf16Bytes.h"
#include "exchange/ExchangeIds.h"
#include "html/HtmlDocument.h"
#include "page/SearchMarks.h"
#include "page/TarveloView.h"
#include "search/DlgSearch.h"
#include "source/SourceView.h"
#include "tools/BackupFolder.h"
#include "docview/Document.h"
#include "resource.h"

#include <mshtmcid.h>

#include <algorithm>

namespace {

int MarkCount(const CTarveloView* view) {
    int count = 0;
    auto spans = view->GetPageDocument().GetElementsByTagName(L"SPAN");
    for (long i = 0;; ++i) {
        bcHtmlElement span = GetCollectionItem(spans.Get(), i);
        if (!span.IsValid()) return count;
        if (span.GetAttribute(L"id") == kSearchMarkId) ++count;
    }
}

CString EngineText(const CTarveloView* view) {
    CString text;
    EXPECT_TRUE(view->GetEngineText(text));
    return text;
}

bool Lists(const std::vector<CString>& pages, const CString& path) {
    return std::find(pages.begin(), pages.end(), path) != pages.end();
}

// Chooses the menu entry `downs` steps down from the top of the pop-up menu
// that the tree is about to track, as the user does with the keyboard.
void ChooseMenuEntryWhenShown(int downs) {
    static int s_downs;
    s_downs = downs;
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR timer, DWORD) CALLBACK {
        HWND menu = FindWindowW(L"#32768", nullptr);
        if (!menu || !IsWindowVisible(menu)) return;
        KillTimer(nullptr, timer);
        for (int i = 0; i < s_downs; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    });
}

}  // namespace

TEST_F(TreeWindow, SearchWalksTheRememberedFolderAllPagesAndOpenPages) {
    Folder(L"A");
    Folder(L"AB");
    Page(L"A\\one.htm", L"a needle here");
    Page(L"A\\two.htm", L"no match");
    Page(L"A\\three.htm", L"NEEDLE in capitals");
    Page(L"AB\\four.htm", L"needle beside");
    Page(L"Other.Htm", L"needle at the top");
    WriteFileBytes(Full(L"note.txt"), Utf16Bytes(L"needle in a text file"));
    OpenWindow();
    MessageBoxRecorder boxes;
    CSearchRun& search = m_frame->m_search;

    // An open page of the folder "AB" is no page of the folder "A".
    Tree().OpenPage(Item(L"AB\\four.htm"));
    Tree().SelectItem(Item(L"A"));
    search.StartNewRun();
    search.Run(L"needle", L"Selected Directory", 0, 0);
    EXPECT_EQ(search.m_chosenFolder, Full(L"A"));
    EXPECT_EQ(search.m_pages.size(), 3u);
    EXPECT_FALSE(Lists(search.m_pages, Full(L"AB\\four.htm")));
    CString first = search.m_foundPath;
    EXPECT_TRUE(first == Full(L"A\\one.htm") || first == Full(L"A\\three.htm"));
    EXPECT_NE(OpenDocument(first.Mid(m_allpages.GetLength() + 1)), nullptr);
    // "Find Next" walks on; new keywords search the same folder again, though
    // the search has moved the tree's selection to a page.
    search.Run(L"needle", L"Selected Directory", 0, 0);
    EXPECT_NE(search.m_foundPath, first);
    search.Run(L"a needle", L"Selected Directory", 0, 0);
    EXPECT_FALSE(boxes.Saw(L"Please select a directory"));
    EXPECT_EQ(search.m_foundPath, Full(L"A\\one.htm"));
    EXPECT_EQ(search.SearchNextPage(), 0);

    // All pages: the open pages first, each page once, ".Htm" in, ".txt" out;
    // the case flag and a pattern.
    search.StartNewRun();
    search.Run(L"needle", L"All pages", 0, 1);
    std::vector<CString> open = search.OpenPagePaths();
    ASSERT_FALSE(open.empty());
    EXPECT_EQ(search.m_pages.front(), open.front());
    EXPECT_TRUE(Lists(search.m_pages, Full(L"Other.Htm")));
    EXPECT_FALSE(Lists(search.m_pages, Full(L"note.txt")));
    EXPECT_EQ(std::count(search.m_pages.begin(), search.m_pages.end(), Full(L"AB\\four.htm")), 1);
    // The first open page showed hits: "Find Next" goes on after it.
    EXPECT_EQ(search.m_nextIndex, 1u);
    EXPECT_EQ(search.m_markedView, m_frame->FindFirstPageView());
    int found = 0;
    while (search.SearchNextPage()) {
        EXPECT_NE(search.m_foundPath, Full(L"A\\three.htm"));  // capitals do not match a case-sensitive run
        ++found;
    }
    EXPECT_EQ(found, 2);
    search.StartNewRun();
    search.Run(L"NEE+DLE", L"All pages", 1, 1);
    EXPECT_EQ(search.m_foundPath, Full(L"A\\three.htm"));
    // A pattern the matcher cannot read is named as such, and the run stays as it was.
    search.Run(L"*+", L"All pages", 1, 0);
    EXPECT_TRUE(boxes.Saw(L"\"*+\" is not a valid pattern: '*' at character 1 has nothing before it to repeat."));
    EXPECT_FALSE(boxes.Saw(L"Search over, no match was found."));
    EXPECT_EQ(search.m_foundPath, Full(L"A\\three.htm"));
    EXPECT_EQ(search.m_runKeywords, L"NEE+DLE");

    // Open pages only, and the messages of an empty run.
    search.StartNewRun();
    search.Run(L"beside", L"All open pages", 0, 0);
    EXPECT_FALSE(Lists(search.m_pages, Full(L"A\\two.htm")));
    search.Run(L"beside", L"All open pages", 0, 0);
    search.Run(L"beside", L"All open pages", 0, 0);
    EXPECT_TRUE(boxes.Saw(L"Search over, no further match was found."));
    EXPECT_FALSE(boxes.Saw(L"Search over, no match was found."));
    search.Run(L"nowhere", L"All open pages", 0, 0);
    EXPECT_TRUE(boxes.Saw(L"Search over, no match was found."));
    Tree().SelectItem(Item(L"Other.Htm"));
    search.StartNewRun();
    search.Run(L"needle", L"Selected Directory", 0, 0);
    EXPECT_TRUE(boxes.Saw(L"Please select a directory"));
}

TEST_F(TreeWindow, SearchStartsANewRunWhenAFlagOrTheScopeChangesAndAfterItSaidOver) {
    Page(L"Upper.htm", L"the Word in capitals");
    Page(L"Lower.htm", L"the word in small letters");
    OpenWindow();
    MessageBoxRecorder boxes;
    CSearchRun& search = m_frame->m_search;
    auto overs = [&] {
        return std::count_if(boxes.Boxes().begin(), boxes.Boxes().end(),
                             [](const MessageBoxRecorder::Shown& box) { return box.text.Find(L"Search over") == 0; });
    };

    // Case-sensitive: only the page in capitals, then the end of the run.
    search.StartNewRun();
    search.Run(L"Word", L"All pages", 0, 1);
    EXPECT_EQ(search.m_foundPath, Full(L"Upper.htm"));
    search.Run(L"Word", L"All pages", 0, 1);
    EXPECT_EQ(overs(), 1);
    // The same words without the case flag are a new run: the open page
    // shows its hit, the next press finds the other page.
    search.Run(L"Word", L"All pages", 0, 0);
    EXPECT_EQ(overs(), 1);
    ASSERT_NE(search.m_markedView, nullptr);
    EXPECT_EQ(search.m_markedView->GetDocument()->GetPathName(), Full(L"Upper.htm"));
    search.Run(L"Word", L"All pages", 0, 0);
    EXPECT_EQ(search.m_foundPath, Full(L"Lower.htm"));
    EXPECT_EQ(overs(), 1);
    // Past the end once more; the press after "Search over" starts again.
    search.Run(L"Word", L"All pages", 0, 0);
    EXPECT_EQ(overs(), 2);
    search.Run(L"Word", L"All pages", 0, 0);
    EXPECT_EQ(overs(), 2);
    EXPECT_EQ(search.m_runKeywords, L"Word");

    // The pattern flag and the scope start new runs as well.
    search.Run(L"W.rd", L"All open pages", 1, 1);
    EXPECT_EQ(search.m_foundPath, Full(L"Upper.htm"));
    search.Run(L"W.rd", L"All open pages", 1, 1);
    EXPECT_EQ(overs(), 3);
    search.Run(L"W.rd", L"All open pages", 1, 0);
    EXPECT_EQ(overs(), 3);
    EXPECT_EQ(search.m_regularExpression, 1);
    EXPECT_FALSE(search.m_pages.empty());
    search.Run(L"W.rd", L"All pages", 1, 0);
    EXPECT_EQ(overs(), 3);
    EXPECT_FALSE(boxes.Saw(L"Search over, no match was found."));
}

TEST_F(TreeWindow, SearchMarksHitsPageByPageAndLeavesThePagesAsTheyWere) {
    Page(L"A.htm", L"<DIV>one Needle</DIV><DIV><B>nee</B>dle, the rest</DIV><DIV>needle</DIV><DIV>x &amp; y nana</DIV>");
    Page(L"B.htm", L"two needle");
    Page(L"C.htm", L"<a href=\"needle.htm\">only the address</a>");
    Page(L"D.htm", L"needle at last");
    OpenWindow();
    MessageBoxRecorder boxes;
    CSearchRun& search = m_frame->m_search;
    Tree().OpenPage(Item(L"A.htm"));
    CDocument* pageA = OpenDocument(L"A.htm");
    ASSERT_NE(pageA, nullptr);
    auto* viewA = dynamic_cast<CTarveloView*>(pageA->GetViews().front());
    const CString original = EngineText(viewA);

    // A new run looks at the first open page first: every hit marked, in any
    // case; the hit that starts in bold leaves the rest of the line plain;
    // the page counts as unchanged.
    search.StartNewRun();
    search.Run(L"needle", L"All pages", 0, 0);
    EXPECT_EQ(search.m_markedView, viewA);
    EXPECT_EQ(MarkCount(viewA), 3);
    bcHtmlElement bold = GetCollectionItem(viewA->GetPageDocument().GetElementsByTagName(L"B").Get(), 0);
    EXPECT_EQ(bold.GetInnerHtml(), L"nee");
    EXPECT_EQ(bold.GetParentElement().GetAttribute(L"id"), kSearchMarkId);
    EXPECT_FALSE(pageA->IsModified());
    // A text across two blocks is not wrapped; clearing gives the page back.
    EXPECT_FALSE(viewA->MarkText(L"needlex", 0, kSearchMarkStyle, kSearchMarkId));
    EXPECT_TRUE(viewA->MarkText(L"x & y", 0, kSearchMarkStyle, kSearchMarkId));
    viewA->ClearSearchMarks(kSearchMarkId);
    EXPECT_EQ(EngineText(viewA), original);
    // Hits side by side are both marked; blanks stay blanks.
    EXPECT_TRUE(viewA->MarkText(L"na", 0, kSearchMarkStyle, kSearchMarkId));
    EXPECT_EQ(MarkCount(viewA), 2);
    EXPECT_TRUE(viewA->MarkText(L" ", 0, kSearchMarkStyle, kSearchMarkId));
    EXPECT_GT(MarkCount(viewA), 4);
    viewA->ClearSearchMarks(kSearchMarkId);
    EXPECT_EQ(EngineText(viewA), original);
    EXPECT_FALSE(pageA->IsModified());

    // "Find Next" walks the list (open pages first) and marks each page it
    // opens, taking the marks out of the page before; a page that matches
    // only in its markup is passed over.
    std::vector<CString> found;
    CTarveloView* before = viewA;
    while (search.SearchNextPage()) {
        found.push_back(search.m_foundPath);
        ASSERT_NE(search.m_markedView, nullptr);
        EXPECT_EQ(search.m_markedView->GetDocument()->GetPathName(), search.m_foundPath);
        EXPECT_GT(MarkCount(search.m_markedView), 0);
        if (before != search.m_markedView) {
            EXPECT_EQ(MarkCount(before), 0);
        }
        before = search.m_markedView;
    }
    // The first page, marked already, is not opened again; past the last
    // page the last hits stay marked.
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<CString>{Full(L"B.htm"), Full(L"D.htm")}));
    EXPECT_EQ(MarkCount(before), 1);

    // The marked view is forgotten when its page closes, and the found page
    // is marked again when it is opened anew.
    CString last = search.m_foundPath;
    before->GetDocument()->OnCloseDocument();
    EXPECT_EQ(search.m_markedView, nullptr);
    search.ClearMarkedView();
    Tree().OpenPage(Item(last.Mid(m_allpages.GetLength() + 1)));
    ASSERT_NE(search.m_markedView, nullptr);
    EXPECT_EQ(search.m_markedView->GetDocument()->GetPathName(), last);
    EXPECT_EQ(MarkCount(search.m_markedView), 1);
    // A found page loaded again with nothing to show never sends the run on.
    search.m_foundPath = Full(L"C.htm");
    search.m_nextIndex = 0;
    size_t pages = m_pages->GetDocuments().size();
    Tree().OpenPage(Item(L"C.htm"));
    EXPECT_EQ(m_pages->GetDocuments().size(), pages + 1);
    EXPECT_EQ(search.m_nextIndex, 0u);

    // "Current page" is the first open page, plain or by pattern.
    search.Run(L"two", L"Current page", 0, 0);
    EXPECT_TRUE(boxes.Saw(L"No Pattern was found"));
    search.Run(L"ne+dle", L"Current page", 1, 0);
    EXPECT_EQ(MarkCount(viewA), 3);
    EXPECT_FALSE(boxes.Saw(L"No match was found"));

    // Saving never writes the marks into the page file; they stay shown,
    // and an Undo after the save takes back the user's last change.
    VARIANT none;
    VariantInit(&none);
    ASSERT_TRUE(viewA->ExecEditCommand(IDM_HORIZONTALLINE, none, false));
    ASSERT_TRUE(pageA->OnSaveDocument(Full(L"A.htm")));
    EXPECT_EQ(MarkCount(viewA), 3);
    std::string saved = ReadFileBytes(Full(L"A.htm"));
    CString savedText(std::wstring(reinterpret_cast<const wchar_t*>(saved.data() + 2), (saved.size() - 2) / 2));
    EXPECT_EQ(savedText.Find(kSearchMarkId), -1);
    EXPECT_NE(savedText.Find(L"<B>nee</B>dle"), -1) << savedText.str();
    EXPECT_NE(savedText.Find(L"<HR>"), -1) << savedText.str();
    ASSERT_TRUE(viewA->ExecEditCommand(IDM_UNDO, none, false));
    EXPECT_EQ(MarkCount(viewA), 3);
    EXPECT_EQ(GetCollectionItem(viewA->GetPageDocument().GetElementsByTagName(L"HR").Get(), 0).IsValid(), false);
    viewA->ClearSearchMarks(kSearchMarkId);

    // A hit that begins or ends inside bold text or a link cuts it only
    // while it is marked.
    bcHtmlElement cut = GetCollectionItem(viewA->GetPageDocument().GetElementsByTagName(L"DIV").Get(), 1);
    const CString cutHtml = L"<B>bold nee</B>dle, <A href=x>a nee</A>dle <I>n<U>ee</U>d</I>le ne<B>edle more</B>";
    cut.SetInnerHtml(cutHtml);
    EXPECT_TRUE(viewA->MarkText(L"needle", 0, kSearchMarkStyle, kSearchMarkId));
    EXPECT_EQ(MarkCount(viewA), 6);
    viewA->ClearSearchMarks(kSearchMarkId);
    EXPECT_EQ(cut.GetInnerHtml(), cutHtml);
}

TEST_F(TreeWindow, FindDialogIsOneModelessWindowThatRunsTheSearch) {
    Page(L"Only.htm", L"findable");
    OpenWindow();
    MessageBoxRecorder boxes;
    m_frame->SendMessage(WM_COMMAND, ID_EDIT_SEARCH);
    CDlgSearch* dialog = m_frame->m_search.m_dialog;
    ASSERT_NE(dialog, nullptr);
    m_frame->SendMessage(WM_COMMAND, ID_EDIT_SEARCH);
    EXPECT_EQ(m_frame->m_search.m_dialog, dialog);
    HWND window = dialog->m_hWnd;
    EXPECT_EQ(TextOf(window, IDC_FIND_SCOPE), L"Selected Directory");
    SendMessageW(window, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(boxes.Saw(L"Please input the search keywords."));
    SetTextOf(window, IDC_FIND_KEYWORDS, L"findable");
    SetTextOf(window, IDC_FIND_SCOPE, L"All pages");
    SendMessageW(window, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(m_frame->m_search.m_foundPath, Full(L"Only.htm"));
    EXPECT_NE(OpenDocument(L"Only.htm"), nullptr);
    SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
    PumpMessages();
    EXPECT_EQ(m_frame->m_search.m_dialog, nullptr);
    EXPECT_FALSE(IsWindow(window));
}

TEST(DesktopTools, RenewKeepsTheOldBackupWhenTheCopyFailsAndRestoreKeepsNewerPages) {
    TempDir install;
    CString allpages = install / L"Bookmark\\Allpages", backup = install / L"Bookmark\\TQ Bookmark";
    CreateDirectoryW(install / L"Bookmark", nullptr);
    CreateDirectoryW(allpages, nullptr);
    CreateDirectoryW(backup, nullptr);
    WriteFileBytes(backup + L"\\Old.htm", "old backup");
    WriteFileBytes(allpages + L"\\Page.htm", "current");
    MessageBoxRecorder boxes;
    {
        // A page that cannot be read makes the copy fail.
        HANDLE locked = CreateFileW(allpages + L"\\Page.htm", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(locked, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(RenewBackup(install.Path()));
        CloseHandle(locked);
    }
    EXPECT_EQ(ReadFileBytes(backup + L"\\Old.htm"), "old backup");
    EXPECT_TRUE(RenewBackup(install.Path()));
    EXPECT_FALSE(PathExists(backup + L"\\Old.htm"));
    EXPECT_EQ(ReadFileBytes(backup + L"\\Page.htm"), "current");
    EXPECT_FALSE(PathExists(backup + L".new"));
    EXPECT_FALSE(PathExists(backup + L".old"));

    WriteFileBytes(allpages + L"\\Page.htm", "changed");
    WriteFileBytes(allpages + L"\\Newer.htm", "newer");
    std::vector<CString> failed;
    EXPECT_TRUE(RestoreFromBackup(install.Path(), failed));
    EXPECT_TRUE(failed.empty());
    EXPECT_EQ(ReadFileBytes(allpages + L"\\Page.htm"), "current");
    EXPECT_EQ(ReadFileBytes(allpages + L"\\Newer.htm"), "newer");
    EXPECT_FALSE(RenewBackup(L""));
    EXPECT_FALSE(RestoreFromBackup(L"relative", failed));
}

TEST_F(TreeWindow, RestoreThatFailsHalfWayClosesThePagesRefillsTheTreeAndNamesWhatFailed) {
    Page(L"Kept.htm", L"current kept");
    Folder(L"Sub");
    Page(L"Sub\\Locked.htm", L"current locked");
    CString backup = m_install.Path() + L"\\Bookmark\\TQ Bookmark";
    CreateDirectoryW(backup, nullptr);
    CreateDirectoryW(backup + L"\\Sub", nullptr);
    for (const wchar_t* name : {L"\\Kept.htm", L"\\Sub\\Locked.htm", L"\\Only.htm"})
        WriteFileBytes(backup + name, "restored");
    OpenWindow();
    ASSERT_NE(m_pages->OpenDocumentFile(Full(L"Kept.htm")), nullptr);
    HANDLE locked = CreateFileW(Full(L"Sub\\Locked.htm"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    MessageBoxRecorder boxes(IDOK);
    m_frame->SendMessage(WM_COMMAND, ID_TOOLS_RESTORE_BACKUP);
    CloseHandle(locked);
    // The open page holds no old text to save over the restored one.
    EXPECT_EQ(OpenDocument(L"Kept.htm"), nullptr);
    EXPECT_EQ(ReadFileBytes(Full(L"Kept.htm")), "restored");
    EXPECT_NE(ReadFileBytes(Full(L"Sub\\Locked.htm")), "restored");
    EXPECT_NE(Item(L"Only.htm"), nullptr);
    ASSERT_EQ(boxes.Boxes().size(), 3u);
    EXPECT_EQ(boxes.Boxes().back().text,
              L"These pages could not be restored from the backup and are as they were:\nSub\\Locked.htm");
}

TEST_F(TreeWindow, FavoritesAndTypedAddressToolsRefuseWhatWouldLoseData) {
    const wchar_t* shellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, shellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    wchar_t saved[MAX_PATH] = {};
    DWORD size = sizeof(saved);
    bool hadValue = RegQueryValueExW(key, L"Favorites", nullptr, nullptr, reinterpret_cast<BYTE*>(saved), &size) ==
                    ERROR_SUCCESS;
    auto setFavorites = [&](const CString& value) {
        RegSetValueExW(key, L"Favorites", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()),
                       static_cast<DWORD>((value.GetLength() + 1) * sizeof(wchar_t)));
    };
    TempDir favorites;
    WriteFileBytes(favorites / L"Keep.url", "[InternetShortcut]\r\nURL=https://example.org/\r\n");
    Page(L"Links.htm", L"<a href=\"https://example.org/\">Example</a><br>");
    OpenWindow();
    {
        MessageBoxRecorder boxes(IDOK);
        for (const wchar_t* unsafe : {L"", L"C:\\", L"relative\\folder"}) {
            setFavorites(unsafe);
            m_frame->SendMessage(WM_COMMAND, ID_TOOLS_EMPTY_FAVORITES);
        }
        EXPECT_EQ(std::count_if(boxes.Boxes().begin(), boxes.Boxes().end(),
                                [](const auto& box) { return box.text == L"Error, cannot QUERY Favorites!"; }),
                  3);
        setFavorites(favorites.Path());
        boxes.SetAnswer(IDCANCEL);
        m_frame->SendMessage(WM_COMMAND, ID_TOOLS_EMPTY_FAVORITES);
        EXPECT_TRUE(PathExists(favorites / L"Keep.url"));
        boxes.SetAnswer(IDOK);
        m_frame->SendMessage(WM_COMMAND, ID_TOOLS_EMPTY_FAVORITES);
        EXPECT_FALSE(PathExists(favorites / L"Keep.url"));
        EXPECT_TRUE(PathExists(favorites.Path()));
    }
    HKEY typed = nullptr;
    DWORD created = 0;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\TypedURLs", 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &typed, &created);
    {
        // A page that cannot be read changes nothing and reports no success.
        MessageBoxRecorder boxes(IDOK);
        Tree().SelectItem(Item(L"Links.htm"));
        HANDLE locked = CreateFileW(Full(L"Links.htm"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        m_frame->SendMessage(WM_COMMAND, ID_TOOLS_RESTORE_ADDRESS_HISTORY);
        CloseHandle(locked);
        EXPECT_FALSE(boxes.Saw(L"Your IE history file has been updated."));
        m_frame->SendMessage(WM_COMMAND, ID_TOOLS_RESTORE_ADDRESS_HISTORY);
        EXPECT_TRUE(boxes.Saw(L"Your IE history file has been updated."));
        Tree().SelectItem(Tree().GetRootItem());
        m_frame->SendMessage(WM_COMMAND, ID_TOOLS_RESTORE_ADDRESS_HISTORY);
        m_frame->SendMessage(WM_COMMAND, ID_TOOLS_RESTORE_FAVORITES);
        EXPECT_TRUE(boxes.Saw(L"Error! Please select a file!"));
        EXPECT_TRUE(boxes.Saw(L"Please select a file!"));
    }
    if (created == REG_CREATED_NEW_KEY) RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\TypedURLs");
    RegCloseKey(typed);
    if (hadValue) setFavorites(saved);
    else RegDeleteValueW(key, L"Favorites");
    RegCloseKey(key);
}

TEST_F(TreeWindow, ContextMenuFitsTheItemActsOnTheClickedItemAndClosesThroughTheDocument) {
    Folder(L"Empty");
    Folder(L"Full");
    Page(L"Full\\Inner.htm");
    Page(L"First.htm");
    Page(L"Second.htm");
    OpenWindow();
    auto texts = [&](HTREEITEM item) {
        std::vector<CString> entries;
        HMENU menu = Tree().BuildContextMenu(item);
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[64] = {};
            GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
            UINT state = GetMenuState(menu, i, MF_BYPOSITION);
            if (text[0]) entries.push_back(CString(text) + ((state & MF_GRAYED) ? L"-" : L""));
        }
        DestroyMenu(menu);
        return entries;
    };
    EXPECT_EQ(texts(Tree().GetRootItem()),
              (std::vector<CString>{L"Close", L"Search", L"Copy-", L"Paste-", L"Rename-", L"Delete-", L"Index All",
                                    L"Unindex All", L"Export", L"New File", L"New Directory"}));
    EXPECT_EQ(texts(Item(L"Empty")), (std::vector<CString>{L"Open", L"Copy", L"Paste-", L"Rename", L"Delete",
                                                           L"Export", L"New File", L"New Directory"}));
    EXPECT_EQ(texts(Item(L"First.htm")).front(), L"Open");
    EXPECT_EQ(texts(Item(L"First.htm"))[5], L"Index");

    // The menu shown beside the selection acts on the item under the cursor.
    Tree().SelectItem(Item(L"First.htm"));
    RECT rect;
    Tree().GetItemRect(Item(L"Second.htm"), &rect, TRUE);
    CPoint point((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    Tree().ClientToScreen(&point);
    ChooseMenuEntryWhenShown(2);  // Open, Copy
    Tree().ShowContextMenu(point);
    EXPECT_EQ(Tree().m_copiedPath, Full(L"Second.htm"));
    EXPECT_EQ(Tree().GetSelectedItem(), Item(L"Second.htm"));

    // "Close" on a modified page asks to save; Cancel keeps it open and marked.
    int rootCount = Count(L"");
    Tree().m_menuItem = Item(L"First.htm");
    Tree().OnContextCommand(1);
    CDocument* document = OpenDocument(L"First.htm");
    ASSERT_NE(document, nullptr);
    document->SetModifiedFlag(TRUE);
    {
        MessageBoxRecorder boxes(IDCANCEL);
        Tree().m_menuItem = Item(L"First.htm");
        Tree().OnContextCommand(1);
        EXPECT_FALSE(boxes.Boxes().empty());
        EXPECT_EQ(OpenDocument(L"First.htm"), document);
        EXPECT_EQ(Image(Item(L"First.htm")), kPageOpen);
    }
    {
        MessageBoxRecorder boxes(IDNO);
        Tree().m_menuItem = Item(L"First.htm");
        Tree().OnContextCommand(1);
        EXPECT_EQ(OpenDocument(L"First.htm"), nullptr);
        EXPECT_EQ(Image(Item(L"First.htm")), kPageImage);
        EXPECT_EQ(Count(L""), rootCount);
        EXPECT_EQ(m_app.GetProfileString(L"Settings", L"FileHot", L""), Full(L"First.htm"));
    }

    // Unindex and Index act on the clicked folder's pages.
    auto marker = [&](const wchar_t* page) { return TextOfUtf16Bytes(ReadFileBytes(Full(page))).Left(13); };
    Tree().m_menuItem = Item(L"Full");
    Tree().OnContextCommand(12);
    EXPECT_EQ(marker(L"Full\\Inner.htm"), L"<html id=tq0>");
    EXPECT_EQ(marker(L"Second.htm"), L"<html id=tq1>");
    Tree().m_menuItem = Item(L"Full");
    Tree().OnContextCommand(11);
    EXPECT_EQ(marker(L"Full\\Inner.htm"), L"<html id=tq1>");
}

TEST_F(TreeWindow, SampleFormRecordWritesTheRecordAndItsLink) {
    OpenWindow();
    MessageBoxRecorder boxes(IDOK);
    auto sample = [&] {
        RunWithWindow(L"Tarvelo->Add to Tarvelo", [&] { m_frame->SendMessage(WM_COMMAND, ID_TOOLS_SAMPLE_FORM_RECORD); },
                      [&](HWND dialog) {
                          SetTextOf(dialog, 1008, L"Mail");
                          SetTextOf(dialog, 1009, L"Accounts");
                          PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                      });
    };
    // A file where the Forms folder belongs: no folder, no record, no link, and the user is told.
    WriteFileBytes(m_install / L"Bookmark\\Forms", "");
    sample();
    EXPECT_TRUE(boxes.Saw(L"Error! File not Created in Function AddNewPage."));
    EXPECT_FALSE(PathExists(Full(L"Mail.htm")));
    ASSERT_TRUE(DeleteFileW(m_install / L"Bookmark\\Forms"));

    sample();
    // The format of every clip's record, each record closed by its own line.
    CString record = TextOfUtf16Bytes(ReadFileBytes(m_install / L"Bookmark\\Forms\\1.tq"));
    EXPECT_EQ(record.Left(33), L"ltmpl default\n$$$$$\nitmplcache 2\n");
    EXPECT_NE(record.Find(L"\nPasswd brindle\n$$$$$\nPersistentCookie yes\n"), -1);
    EXPECT_EQ(record.Right(21), L"signIn Sign in\n$$$$$\n");
    CString page = TextOfUtf16Bytes(ReadFileBytes(Full(L"Mail.htm")));
    EXPECT_NE(page.Find(L"ltmplcache=2\""), -1);  // the address carries no record number
}

TEST_F(TreeWindow, ViewSourceShowsThePageAsTheSaveQuestionLeftIt) {
    Page(L"Src.htm", L"on disk");
    OpenWindow();
    CDocument* page = m_pages->OpenDocumentFile(Full(L"Src.htm"));
    ASSERT_NE(page, nullptr);
    auto* view = dynamic_cast<CTarveloView*>(page->GetViews().front());
    ASSERT_NE(view, nullptr);
    for (wchar_t c : std::wstring(L"fresh")) SendMessageW(view->GetEngineWindow(), WM_CHAR, c, 1);
    ASSERT_TRUE(page->IsModified());
    MessageBoxRecorder boxes(IDYES);
    m_frame->SendMessage(WM_COMMAND, ID_VIEW_SOURCE);
    PumpMessages();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(OpenDocument(L"Src.htm"), nullptr);
    ASSERT_EQ(m_sources->GetDocuments().size(), 1u);
    auto* source = dynamic_cast<CSourceView*>(m_sources->GetDocuments().front()->GetViews().front());
    ASSERT_NE(source, nullptr);
    CString shown = source->GetSourceText();
    EXPECT_NE(shown.Find(L"fresh"), -1) << shown.str();
}

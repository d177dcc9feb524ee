// Import and export: single files of every encoding, folders, bookmark files
// and whole saved stores through the real dialogs, and exports of pages,
// folders and everything, with the guards that keep the store and the
// sources as they were.
#include "MessageBoxRecorder.h"
#include "ModalDriver.h"
#include "TreeFixture.h"
#include "Utf16Bytes.h"
#include "exchange/ExchangeIds.h"
#include "exchange/ExchangeMessages.h"
#include "exchange/PageExport.h"
#include "exchange/PageImport.h"
#include "exchange/DialogExport.h"
#include "docview/Document.h"
#include "resource.h"

namespace {

std::string Utf8WithMark(const char* text) { return std::string("\xEF\xBB\xBF") + text; }

// Runs the import command with the dialog answered: the option, the path, OK.
void Import(CMainFrame* frame, int option, const CString& path) {
    RunWithWindow(L"Tarvelo->Import", [&] { frame->SendMessage(WM_COMMAND, ID_FILE_IMPORT); },
                  [&](HWND dialog) {
                      Click(dialog, option);
                      SetTextOf(dialog, IDC_EXCHANGE_SOURCE, path);
                      PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                  });
}

int CountChildren(CXTreeCtrl& tree, HTREEITEM parent, const CString& label) {
    int count = 0;
    for (HTREEITEM child = tree.GetChildItem(parent); child; child = tree.GetNextSiblingItem(child))
        if (tree.GetItemText(child) == label) ++count;
    return count;
}

const char kBookmarkFile[] =
    "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
    "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n"
    "    <DT><H3>Tools</H3>\n    <DL><p>\n"
    "        <DT><A HREF=\"https://example.org/a\">Alpha</A>\n"
    "        <DT><A HREF=\"https://example.org/b\">Alpha</A>\n"
    "    </DL><p>\n    <DT><A HREF=\"https://example.org/top\">Top</A>\n</DL><p>\n";

}  // namespace

TEST_F(TreeWindow, ImportFileKeepsPagesWrapsBodiesAndRefusesWhatItCannotRead) {
    TempDir outside;
    MessageBoxRecorder boxes;
    // A page of another store comes over byte for byte.
    std::string page = Utf16Bytes(L"<html id=tq1>\n<body>\nkept as it is\n</body>\n</html>\n");
    WriteFileBytes(outside / L"Kept.htm", page);
    EXPECT_EQ(ImportFile(outside / L"Kept.htm", m_allpages), 1);
    EXPECT_EQ(ReadFileBytes(Full(L"Kept.htm")), page);
    // The same page again is the page already there; a changed one takes a
    // free name beside it and the page of that name stays.
    CString written;
    EXPECT_EQ(ImportFile(outside / L"Kept.htm", m_allpages, &written), 1);
    EXPECT_EQ(written, Full(L"Kept.htm"));
    std::string changed = Utf16Bytes(L"<html id=tq1>\n<body>\nchanged elsewhere\n</body>\n</html>\n");
    WriteFileBytes(outside / L"Kept.htm", changed);
    EXPECT_EQ(ImportFile(outside / L"Kept.htm", m_allpages, &written), 1);
    EXPECT_EQ(written, Full(L"Kept2.htm"));
    EXPECT_EQ(ReadFileBytes(Full(L"Kept2.htm")), changed);
    EXPECT_EQ(ReadFileBytes(Full(L"Kept.htm")), page);
    WriteFileBytes(outside / L"Kept.htm", page);

    // One line holding the whole document: the start tag alone is replaced,
    // and the page is indexed as a new page is: its sections are offered at once.
    WriteFileBytes(outside / L"One.html",
                   Utf16Bytes(L"<html><body bgcolor=\"red\"><p>&gt;&gt;&gt;Sec&lt;&lt;&lt;Hello</p></body></html>"));
    EXPECT_EQ(ImportFile(outside / L"One.html", m_allpages), 1);
    CString one = TextOfUtf16Bytes(ReadFileBytes(Full(L"One.htm")));
    EXPECT_NE(one.Find(L"<html id=tq1><BODY><DIV><p>&gt;&gt;&gt;Sec&lt;&lt;&lt;Hello</p></DIV></BODY></html>"), -1);
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"One"), L"Sec,1");

    // UTF-8 with its mark, and a line far longer than any buffer.
    std::string longLine(300000, 'x');
    WriteFileBytes(outside / L"Long.htm", Utf8WithMark(("<html><body>" + longLine + "</body></html>\n").c_str()));
    EXPECT_EQ(ImportFile(outside / L"Long.htm", m_allpages), 1);
    EXPECT_NE(TextOfUtf16Bytes(ReadFileBytes(Full(L"Long.htm"))).Find(CString(std::wstring(300000, L'x').c_str()) + L"</DIV>"), -1);

    // Refused: no byte-order mark, and the page itself as its own source.
    WriteFileBytes(outside / L"Ansi.htm", "<html><body>plain</body></html>");
    EXPECT_EQ(ImportFile(outside / L"Ansi.htm", m_allpages), 0);
    EXPECT_TRUE(boxes.Saw(kUnknownFormat));
    EXPECT_FALSE(PathExists(Full(L"Ansi.htm")));
    EXPECT_EQ(ImportFile(Full(L"KEPT.htm"), m_allpages), 0);
    EXPECT_TRUE(boxes.Saw(kImportSameFile));
    EXPECT_EQ(ReadFileBytes(Full(L"Kept.htm")), page);
}

TEST_F(TreeWindow, ImportCommandKeepsPagesOfTheSameNameAndAddsEachItemOnce) {
    TempDir outside;
    Page(L"Notes.htm", L"mine");
    std::string mine = ReadFileBytes(Full(L"Notes.htm"));
    WriteFileBytes(outside / L"Notes.htm", Utf8WithMark("<html><body>theirs</body></html>"));
    OpenWindow();
    {
        // Nothing is replaced, so nothing is asked: the import lands beside the page.
        MessageBoxRecorder boxes(IDCANCEL);
        Import(m_frame, IDC_OPTION_FILE, outside / L"Notes.htm");
        EXPECT_TRUE(boxes.Boxes().empty());
        EXPECT_EQ(ReadFileBytes(Full(L"Notes.htm")), mine);
        EXPECT_NE(TextOfUtf16Bytes(ReadFileBytes(Full(L"Notes2.htm"))).Find(L"theirs"), -1);
        EXPECT_EQ(CountChildren(Tree(), Tree().GetRootItem(), L"Notes"), 1);
        EXPECT_EQ(CountChildren(Tree(), Tree().GetRootItem(), L"Notes2"), 1);
        EXPECT_EQ(Tree().GetItemText(Tree().GetSelectedItem()), L"Notes2");
    }

    // A folder with a sub-folder, imported twice: one folder item.
    CreateDirectoryW(outside / L"Trip", nullptr);
    CreateDirectoryW(outside / L"Trip\\Day", nullptr);
    WriteFileBytes(outside / L"Trip\\Plan.HTML", Utf8WithMark("<html><body>plan</body></html>"));
    WriteFileBytes(outside / L"Trip\\Day\\One.htm", Utf8WithMark("<html><body>one</body></html>"));
    WriteFileBytes(outside / L"Trip\\notes.txt", "not a page");
    MessageBoxRecorder boxes(IDOK);
    Import(m_frame, IDC_OPTION_THIRD, outside / L"Trip");
    Import(m_frame, IDC_OPTION_THIRD, outside / L"Trip\\");
    EXPECT_TRUE(PathExists(Full(L"Trip\\Plan.htm")));
    EXPECT_TRUE(PathExists(Full(L"Trip\\Day\\One.htm")));
    EXPECT_FALSE(PathExists(Full(L"Trip\\notes.txt")));
    EXPECT_EQ(CountChildren(Tree(), Tree().GetRootItem(), L"Trip"), 1);
    // The second import kept the first one's pages and put its own beside them.
    EXPECT_TRUE(PathExists(Full(L"Trip\\Plan2.htm")));
    EXPECT_TRUE(PathExists(Full(L"Trip\\Day\\One2.htm")));
    UserExpand(Item(L"Trip"), true);
    EXPECT_NE(Item(L"Trip\\Plan2.htm"), nullptr);

    // The store's own folder, or one holding it, is never walked into itself.
    size_t before = DiskEntries().size();
    Import(m_frame, IDC_OPTION_THIRD, m_install.Path());
    Import(m_frame, IDC_OPTION_THIRD, Full(L"Trip"));
    EXPECT_TRUE(boxes.Saw(kImportInsideStore));
    EXPECT_EQ(DiskEntries().size(), before);
}

TEST_F(TreeWindow, BookmarkFileImportUsesTheTemporaryFolderAndStopsOnAnUnreadableFile) {
    TempDir outside;
    // A user's own page named like the old temporary page stays untouched.
    Page(L"tp.htm", L"user's page");
    Page(L"Marks.htm", L"older marks");
    std::string tp = ReadFileBytes(Full(L"tp.htm"));
    std::string marks = ReadFileBytes(Full(L"Marks.htm"));
    OpenWindow();
    MessageBoxRecorder boxes(IDOK);
    Import(m_frame, IDC_IMPORT_FIREFOX_FILE, outside / L"Marks.html");  // no such file
    EXPECT_TRUE(boxes.Saw(L"File not openned."));
    EXPECT_EQ(ReadFileBytes(Full(L"Marks.htm")), marks);

    WriteFileBytes(outside / L"Marks.html", kBookmarkFile);
    Import(m_frame, IDC_IMPORT_FIREFOX_FILE, outside / L"Marks.html");
    CString text = TextOfUtf16Bytes(ReadFileBytes(Full(L"Marks.htm")));
    // The page of that name keeps its text and gains the links, each in the
    // section of its folder; both links of the same title in one folder
    // survive, each with its address.
    EXPECT_NE(text.Find(L"older marks"), -1) << text.str();
    for (const wchar_t* address : {L"https://example.org/a", L"https://example.org/b", L"https://example.org/top"})
        EXPECT_NE(text.Find(address), -1);
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Marks"), L"Tools,1;Default,1");
    // Again: the links the page holds are not added twice.
    Import(m_frame, IDC_IMPORT_FIREFOX_FILE, outside / L"Marks.html");
    EXPECT_EQ(TextOfUtf16Bytes(ReadFileBytes(Full(L"Marks.htm"))), text);
    EXPECT_EQ(ReadFileBytes(Full(L"tp.htm")), tp);
    EXPECT_EQ(CountChildren(Tree(), Tree().GetRootItem(), L"Marks"), 1);

    WriteFileBytes(outside / L"Other.htm", kBookmarkFile);
    Import(m_frame, IDC_IMPORT_IE_FILE, outside / L"Other.htm");
    EXPECT_NE(TextOfUtf16Bytes(ReadFileBytes(Full(L"Other.htm"))).Find(L"https://example.org/b"), -1);
}

// Bookmark files as some services write them: HREF values in single quotes
// or none at all arrive by either import route.
TEST_F(TreeWindow, BookmarkFileImportReadsSingleQuotedAndUnquotedAddresses) {
    TempDir outside;
    const char file[] = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n<DL><p>\n"
                        "<DT><H3>Read</H3>\n<DL><p>\n"
                        "<DT><A HREF='https://single.example/a' ADD_DATE='1'>Single</A>\n"
                        "<DT><A HREF=https://bare.example/b ADD_DATE=2>Bare</A>\n"
                        "<DT><A HREF=https://end.example/c>End</A>\n"
                        "</DL><p>\n</DL><p>\n";
    OpenWindow();
    MessageBoxRecorder boxes(IDOK);
    for (int kind : {IDC_IMPORT_FIREFOX_FILE, IDC_IMPORT_IE_FILE}) {
        CString name = kind == IDC_IMPORT_FIREFOX_FILE ? L"Service.html" : L"Other.htm";
        WriteFileBytes(outside / name, file);
        Import(m_frame, kind, outside / name);
        CString text = TextOfUtf16Bytes(ReadFileBytes(Full(kind == IDC_IMPORT_FIREFOX_FILE ? L"Service.htm" : L"Other.htm")));
        for (const wchar_t* address : {L"https://single.example/a", L"https://bare.example/b", L"https://end.example/c"})
            EXPECT_NE(text.Find(address), -1) << address << "\n" << text.str();
        EXPECT_EQ(text.Find(L"ADD_DATE"), -1) << text.str();
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(TreeWindow, WholeStoreImportOffersToSaveFirstAndCancelKeepsEverything) {
    TempDir saved;
    CreateDirectoryW(saved / L"AllPages", nullptr);
    CreateDirectoryW(saved / L"AllPages\\Sub", nullptr);
    CreateDirectoryW(saved / L"Forms", nullptr);
    WriteFileBytes(saved / L"AllPages\\Open.htm", Utf16Bytes(L"<html id=tq1>\n<body>\nsaved copy\n</body>\n</html>\n"));
    WriteFileBytes(saved / L"AllPages\\Sub\\Deep.Html", Utf8WithMark("<html><body>deep</body></html>"));
    WriteFileBytes(saved / L"Forms\\1.tq", "form");
    // Saved pages whose words the current ones still hold: only their links are news.
    const CString kEnd = L"<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>\n</body>\n</html>\n";
    WriteFileBytes(saved / L"AllPages\\Links.htm",
                   Utf16Bytes(L"<html id=tq1>\n<body>\n&gt;&gt;&gt;News&lt;&lt;&lt;\n<A href=\"http://kept.example/\">&nbsp;Kept&nbsp;</A>\n"
                              L"<A href=\"http://old.example/?a=1&amp;b=2\">&nbsp;Old&nbsp;</A>\n"
                              L"&gt;&gt;&gt;Gone&lt;&lt;&lt;\n<A href=\"http://gone.example/\">&nbsp;Gone&nbsp;</A>\n" + kEnd));
    WriteFileBytes(saved / L"AllPages\\Sub\\Same.htm",
                   Utf16Bytes(L"<html id=tq1>\n<body>\n&gt;&gt;&gt;S&lt;&lt;&lt;\n<A href=\"http://sub.example/\">&nbsp;Sub&nbsp;</A>\n" + kEnd));
    Folder(L"Sub");
    Page(L"Sub\\Same.htm", L"&gt;&gt;&gt;S&lt;&lt;&lt;\nmy words");
    Page(L"Links.htm", L"my words\n&gt;&gt;&gt;News&lt;&lt;&lt;\n<A href=\"http://kept.example/\">&nbsp;Kept&nbsp;</A>\n"
                       L"<A href=\"http://mine.example/\">&nbsp;Mine&nbsp;</A>\n&gt;&gt;&gt;Work&lt;&lt;&lt;\n");
    CString open = Page(L"Open.htm", L"mine");
    std::string mine = ReadFileBytes(open);
    OpenWindow();
    Tree().OpenPage(Item(L"Open.htm"));
    CDocument* document = OpenDocument(L"Open.htm");
    ASSERT_NE(document, nullptr);
    document->SetModifiedFlag(TRUE);

    // OK to the warning, Cancel to the save question: nothing happens.
    std::vector<CString> asked;
    MessageBoxHook previous = SetMessageBoxHook([&](HWND, const CString& text, const CString&, UINT) {
        asked.push_back(text);
        return asked.size() == 1 ? IDOK : IDCANCEL;
    });
    Import(m_frame, IDC_IMPORT_WHOLE_STORE, saved.Path());
    SetMessageBoxHook(previous);
    ASSERT_GE(asked.size(), 2u);
    EXPECT_EQ(asked.back(), L"Tarvelo BookMarks NOT imported, job cancelled by user.");
    EXPECT_EQ(OpenDocument(L"Open.htm"), document);
    EXPECT_EQ(ReadFileBytes(open), mine);

    document->SetModifiedFlag(FALSE);
    MessageBoxRecorder boxes(IDOK);
    Import(m_frame, IDC_IMPORT_WHOLE_STORE, saved.Path());
    EXPECT_TRUE(boxes.Saw(L"Successfully imported Tarvelo BookMarks!"));
    // The page of that name stays; the saved one comes in beside it.
    EXPECT_EQ(ReadFileBytes(open), mine);
    EXPECT_NE(TextOfUtf16Bytes(ReadFileBytes(Full(L"Open2.htm"))).Find(L"saved copy"), -1);
    EXPECT_TRUE(PathExists(Full(L"Sub\\Deep.htm")));
    // The same-named pages gained the saved links they lacked and kept all
    // they held; no copies beside them.
    CString links = TextOfUtf16Bytes(ReadFileBytes(Full(L"Links.htm")));
    for (const wchar_t* held : {L"my words", L"http://mine.example/", L"&gt;&gt;&gt;Work", L"http://gone.example/"})
        EXPECT_NE(links.Find(held), -1) << held << "\n" << links.str();
    EXPECT_EQ(links.Find(L"http://kept.example/", links.Find(L"http://kept.example/") + 1), -1);
    EXPECT_LT(links.Find(L"http://old.example/?a=1&amp;b=2"), links.Find(L"&gt;&gt;&gt;Work"));
    EXPECT_FALSE(PathExists(Full(L"Links2.htm")));
    EXPECT_NE(ProgramRegistryGuard::ReadString(L"AllPages", L"Links").Find(L"Gone,1"), -1);
    CString same = TextOfUtf16Bytes(ReadFileBytes(Full(L"Sub\\Same.htm")));
    EXPECT_NE(same.Find(L"my words"), -1);
    EXPECT_NE(same.Find(L"http://sub.example/"), -1);
    EXPECT_FALSE(PathExists(Full(L"Sub\\Same2.htm")));
    EXPECT_EQ(ReadFileBytes(m_install / L"Bookmark\\Forms\\1.tq"), "form");
    EXPECT_EQ(OpenDocument(L"Open.htm"), nullptr);

    // The store's own folder is no saved store to bring in.
    size_t before = boxes.Boxes().size();
    Import(m_frame, IDC_IMPORT_WHOLE_STORE, m_install / L"Bookmark");
    ASSERT_EQ(boxes.Boxes().size(), before + 1);
    EXPECT_TRUE(boxes.Saw(L"The directory seems not right, failed to import!"));
}

// A saved form record that cannot be copied is named instead of a success,
// and the imported link that named it names no record: the current store's
// record of that name is another account's.
TEST_F(TreeWindow, WholeStoreImportNamesARecordItCouldNotCopyAndItsLinkNamesNone) {
    TempDir saved;
    CreateDirectoryW(saved / L"AllPages", nullptr);
    CreateDirectoryW(saved / L"Forms", nullptr);
    WriteFileBytes(saved / L"Forms\\mail.example#1.tq", "bob");
    WriteFileBytes(saved / L"Forms\\shop.example#1.tq", "carol");
    WriteFileBytes(saved / L"AllPages\\Mail.htm",
                   Utf16Bytes(L"<html id=tq1>\n<body>\n&gt;&gt;&gt;In&lt;&lt;&lt;\n"
                              L"<A href=\"http://mail.example/in#1\">&nbsp;Bob&nbsp;</A>\n"
                              L"<A href=\"http://shop.example/cart#1\">&nbsp;Cart&nbsp;</A>\n</body>\n</html>\n"));
    CreateDirectoryW(m_install / L"Bookmark\\Forms", nullptr);
    WriteFileBytes(m_install / L"Bookmark\\Forms\\mail.example#1.tq", "alice");
    OpenWindow();
    HANDLE held = CreateFileW(saved / L"Forms\\mail.example#1.tq", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    MessageBoxRecorder boxes(IDOK);
    Import(m_frame, IDC_IMPORT_WHOLE_STORE, saved.Path());
    CloseHandle(held);

    EXPECT_FALSE(boxes.Saw(L"Successfully imported Tarvelo BookMarks!"));
    EXPECT_TRUE(boxes.Saw(CString(kFormRecordsNotImported) + L"\n" + (saved / L"Forms\\mail.example#1.tq")));
    EXPECT_EQ(ReadFileBytes(m_install / L"Bookmark\\Forms\\mail.example#1.tq"), "alice");
    EXPECT_EQ(ReadFileBytes(m_install / L"Bookmark\\Forms\\shop.example#1.tq"), "carol");
    CString page = TextOfUtf16Bytes(ReadFileBytes(Full(L"Mail.htm")));
    EXPECT_NE(page.Find(L"\"http://mail.example/in\""), -1) << page.str();
    EXPECT_NE(page.Find(L"\"http://shop.example/cart#1\""), -1) << page.str();
}

TEST(PageExport, RangeTestIsLiteralDestinationsInsideTheStoreAreRefusedAndSourcesStayAsTheyWere) {
    TempDir root, out;
    ProgramRegistryGuard registry;
    CString install = root / L"Program Files (x86)";
    CString allpages = install + L"\\Bookmark\\Allpages";
    for (const wchar_t* folder : {L"", L"\\Bookmark", L"\\Bookmark\\Allpages", L"\\Bookmark\\Allpages\\A",
                                  L"\\Bookmark\\Allpages\\A\\B", L"\\Bookmark\\Forms"})
        CreateDirectoryW(install + folder, nullptr);
    ProgramRegistryGuard::WriteString(L"Settings", L"InstallPath", install);
    std::string page = Utf16Bytes(L"<html id=tq1>\n<body>\n&gt;&gt;&gt;Tools&lt;&lt;&lt;<br>\n"
                                  L"<a href=\"https://example.org/\">Example</a><br>\n</body>\n</html>\n");
    WriteFileBytes(allpages + L"\\A\\B\\Links.htm", page);
    WriteFileBytes(allpages + L"\\A\\Raw.html", "raw");
    SetFileAttributesW(allpages + L"\\A\\B\\Links.htm", FILE_ATTRIBUTE_READONLY);
    MessageBoxRecorder boxes;

    ExportRequest request{install, L"A\\B\\Links.htm", out.Path(), kExportPage, kExportAsIs};
    EXPECT_TRUE(RunExport(request));
    EXPECT_EQ(ReadFileBytes(out / L"Links.htm"), page);
    request.fileType = kExportBookmarkFile;
    request.destination = out / L"marks";
    CreateDirectoryW(request.destination, nullptr);
    EXPECT_TRUE(RunExport(request));
    EXPECT_EQ(ReadFileBytes(out / L"marks\\Links.htm").find("<!DOCTYPE NETSCAPE-Bookmark-file-1>"), 0u);  // UTF-8
    request.source = L"A\\Raw.html";
    request.fileType = kExportAnsi;
    EXPECT_TRUE(RunExport(request));  // not a ".htm" page: copied as it is
    EXPECT_EQ(ReadFileBytes(out / L"marks\\Raw.html"), "raw");

    // A folder with its pages in ANSI; the source keeps its bytes and attributes.
    request = {install, L"A\\B", out.Path(), kExportFolder, kExportAnsi};
    EXPECT_TRUE(RunExport(request));
    // The copy of a read-only page is converted too, and keeps the flag.
    EXPECT_EQ(ReadFileBytes(out / L"B\\Links.htm").substr(0, 13), "<html id=tq1>");
    EXPECT_NE(GetFileAttributesW(out / L"B\\Links.htm") & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(ReadFileBytes(allpages + L"\\A\\B\\Links.htm"), page);
    EXPECT_EQ(GetFileAttributesW(allpages + L"\\A\\B\\Links.htm") & FILE_ATTRIBUTE_READONLY,
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));

    // Everything, twice to the same place: the second time only after a Yes
    // to replacing the first one's files.
    request = {install, L"", out.Path(), kExportEverything, kExportAsIs};
    EXPECT_TRUE(RunExport(request));
    EXPECT_TRUE(boxes.Boxes().empty());
    boxes.SetAnswer(IDYES);
    EXPECT_TRUE(RunExport(request));
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, L"Warning");
    EXPECT_NE(boxes.Boxes()[0].text.Find(L"Replace them?"), -1) << boxes.Boxes()[0].text.str();
    boxes.SetAnswer(IDOK);
    EXPECT_EQ(ReadFileBytes(out / L"TQ Bookmarks\\AllPages\\A\\B\\Links.htm"), page);

    // Refusals.
    EXPECT_FALSE(RunExport({install, L"..\\..\\..\\elsewhere.htm", out.Path(), kExportPage, kExportAsIs}));
    EXPECT_TRUE(boxes.Saw(L"Selected file was out of range!"));
    EXPECT_FALSE(RunExport({install, L"A", allpages + L"\\A\\B", kExportFolder, kExportAsIs}));
    EXPECT_FALSE(RunExport({install, L"", install + L"\\Bookmark", kExportEverything, kExportAsIs}));
    EXPECT_TRUE(boxes.Saw(kExportIntoStore));
    EXPECT_FALSE(PathExists(allpages + L"\\A\\B\\A"));
    EXPECT_FALSE(PathExists(install + L"\\Bookmark\\TQ Bookmarks"));
    EXPECT_FALSE(RunExport({install, L"A\\Missing", out.Path(), kExportFolder, kExportAsIs}));
    EXPECT_TRUE(boxes.Saw(L"Selected directory was not exist!"));
    EXPECT_FALSE(RunExport({install, L"", L"", kExportPage, kExportAsIs}));
    EXPECT_TRUE(boxes.Saw(L"Export failed, no destination folder selected!"));
    SetFileAttributesW(allpages + L"\\A\\B\\Links.htm", FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW(out / L"Links.htm", FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW(out / L"B\\Links.htm", FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW(out / L"TQ Bookmarks\\AllPages\\A\\B\\Links.htm", FILE_ATTRIBUTE_NORMAL);
}

TEST(PageExport, ATakenNameIsReplacedOnlyAfterOneYesAndANoWritesNothing) {
    TempDir root, out;
    ProgramRegistryGuard registry;
    CString install = root / L"Install";
    CString allpages = install + L"\\Bookmark\\Allpages";
    for (const wchar_t* folder : {L"", L"\\Bookmark", L"\\Bookmark\\Allpages", L"\\Bookmark\\Allpages\\Recipes",
                                  L"\\Bookmark\\Forms"})
        CreateDirectoryW(install + folder, nullptr);
    ProgramRegistryGuard::WriteString(L"Settings", L"InstallPath", install);
    const std::string page = Utf16Bytes(L"<html id=tq1>\n<body>\n&gt;&gt;&gt;Film&lt;&lt;&lt;<br>\n"
                                        L"<a href=\"https://example.org/\">Rashomon (\x673D\x6728)</a><br>\n</body>\n</html>\n");
    const std::string own = Utf16Bytes(L"<html id=tq1>\n<body>\nMine: \x4E2D\x6587\n</body>\n</html>\n");
    WriteFileBytes(allpages + L"\\Plain.htm", page);
    WriteFileBytes(allpages + L"\\Recipes\\Bread.htm", page);
    WriteFileBytes(allpages + L"\\Recipes\\Soup.htm", page);
    WriteFileBytes(install + L"\\Bookmark\\Forms\\mail.example#1.tq", "form");
    // The user's own files where the exports write.
    CreateDirectoryW(out / L"Recipes", nullptr);
    CreateDirectoryW(out / L"TQ Bookmarks", nullptr);
    CreateDirectoryW(out / L"TQ Bookmarks\\Forms", nullptr);
    WriteFileBytes(out / L"Plain.htm", "mine");
    WriteFileBytes(out / L"Recipes\\Bread.htm", "mine");
    WriteFileBytes(out / L"Recipes\\Own.htm", own);
    WriteFileBytes(out / L"TQ Bookmarks\\Forms\\mail.example#1.tq", "mine");

    // No: nothing of the export is written, whatever its kind.
    MessageBoxRecorder boxes(IDNO);
    for (int type : {kExportAsIs, kExportAnsi, kExportBookmarkFile})
        EXPECT_FALSE(RunExport({install, L"Plain.htm", out.Path(), kExportPage, type}));
    EXPECT_FALSE(RunExport({install, L"Recipes", out.Path(), kExportFolder, kExportAnsi}));
    EXPECT_FALSE(RunExport({install, L"", out.Path(), kExportEverything, kExportAsIs}));
    ASSERT_EQ(boxes.Boxes().size(), 5u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(boxes.Boxes()[i].text, L"The destination folder already holds \"Plain.htm\". Replace it?");
        EXPECT_EQ(boxes.Boxes()[i].caption, L"Warning");
        EXPECT_EQ(boxes.Boxes()[i].type & 0xF, static_cast<UINT>(MB_YESNO));
    }
    EXPECT_EQ(boxes.Boxes()[3].text, L"The destination folder already holds \"Recipes\\Bread.htm\". Replace it?");
    EXPECT_EQ(boxes.Boxes()[4].text, L"The destination folder already holds \"TQ Bookmarks\\Forms\\mail.example#1.tq\". "
                                     L"Replace it?");
    EXPECT_EQ(ReadFileBytes(out / L"Plain.htm"), "mine");
    EXPECT_EQ(ReadFileBytes(out / L"Recipes\\Bread.htm"), "mine");
    EXPECT_FALSE(PathExists(out / L"Recipes\\Soup.htm"));
    EXPECT_FALSE(PathExists(out / L"TQ Bookmarks\\AllPages"));
    EXPECT_EQ(ReadFileBytes(out / L"TQ Bookmarks\\Forms\\mail.example#1.tq"), "mine");

    // Several taken: one question names the first and counts the others.
    WriteFileBytes(out / L"Recipes\\Soup.htm", "mine");
    EXPECT_FALSE(RunExport({install, L"Recipes", out.Path(), kExportFolder, kExportAsIs}));
    ASSERT_EQ(boxes.Boxes().size(), 6u);
    EXPECT_NE(boxes.Boxes()[5].text.Find(L" and 1 more of the names this export writes. Replace them?"), -1)
        << boxes.Boxes()[5].text.str();
    DeleteFileW(out / L"Recipes\\Soup.htm");

    // Yes: the folder's pages replaced and converted, the user's other page
    // in that folder left as it was; what the copies lost is told.
    boxes.SetAnswer(IDYES);
    EXPECT_TRUE(RunExport({install, L"Recipes", out.Path(), kExportFolder, kExportAnsi}));
    ASSERT_EQ(boxes.Boxes().size(), 8u);
    EXPECT_EQ(boxes.Boxes()[7].text,
              L"2 link titles lost characters that the ANSI code page does not hold; they were written as \"#\".");
    EXPECT_NE(ReadFileBytes(out / L"Recipes\\Bread.htm").find("Rashomon (##)"), std::string::npos);
    EXPECT_NE(ReadFileBytes(out / L"Recipes\\Soup.htm").find("Rashomon (##)"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(out / L"Recipes\\Own.htm"), own);
    EXPECT_EQ(ReadFileBytes(allpages + L"\\Recipes\\Bread.htm"), page);

    // A free destination: no question, and a plain copy says nothing.
    TempDir fresh;
    EXPECT_TRUE(RunExport({install, L"", fresh.Path(), kExportEverything, kExportAsIs}));
    EXPECT_TRUE(RunExport({install, L"Plain.htm", fresh.Path(), kExportPage, kExportAsIs}));
    EXPECT_EQ(boxes.Boxes().size(), 8u);
    EXPECT_EQ(ReadFileBytes(fresh / L"TQ Bookmarks\\Forms\\mail.example#1.tq"), "form");
    EXPECT_EQ(ReadFileBytes(fresh / L"Plain.htm"), page);
}

TEST_F(TreeWindow, ExportDialogStartsFromTheSelectionAndExportsThroughTheCommand) {
    Folder(L"Trips");
    Page(L"Trips\\Rome.htm", L"rome");
    OpenWindow();
    TempDir out;
    Tree().ExpandFolder(Item(L"Trips"));
    Tree().SelectItem(Item(L"Trips\\Rome.htm"));
    RunWithWindow(L"Tarvelo->Export", [&] { m_frame->SendMessage(WM_COMMAND, ID_FILE_EXPORT); },
                  [&](HWND dialog) {
                      EXPECT_EQ(TextOf(dialog, IDC_EXCHANGE_SOURCE), L"Trips\\Rome.htm");
                      EXPECT_TRUE(IsChecked(dialog, IDC_OPTION_FILE));
                      EXPECT_FALSE(IsEnabled(dialog, IDC_OPTION_SECOND));
                      SetTextOf(dialog, IDC_EXPORT_DESTINATION, out.Path());
                      PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                  });
    EXPECT_TRUE(PathExists(out / L"Rome.htm"));

    Tree().SelectItem(Tree().GetRootItem());
    CDialogExport everything(&Tree(), m_frame);
    // Found by its caption: the main window is a visible window of this thread too.
    RunWithWindow(L"Tarvelo->Export", [&] { everything.DoModal(); }, [&](HWND dialog) {
        EXPECT_TRUE(IsChecked(dialog, IDC_OPTION_THIRD));
        EXPECT_FALSE(IsEnabled(dialog, IDC_EXCHANGE_SOURCE));
        EXPECT_EQ(TextOf(dialog, IDC_EXCHANGE_SOURCE), L"");
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
}

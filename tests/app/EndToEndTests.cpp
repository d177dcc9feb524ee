// Tarvelo.exe as the user has it: a page opened from the folder tree, typed
// into, formatted and saved by real key and mouse input; clicks below and
// beside the text, typing runs undone at once, Ctrl+S and Ctrl+N; the save question
// at every way of closing a page; seeded random edit sessions whose saved
// pages must read back through the store; and search, import and export
// with their dialogs filled in.
#include "EndToEndFixture.h"
#include "AppTestSupport.h"
#include "ClipProcess.h"
#include "ProgramDriver.h"
#include "ScreenShot.h"
#include "Random.h"
#include "ScreenShot.h"
#include "TempDir.h"
#include "Utf16Bytes.h"
#include "exchange/ExchangeIds.h"
#include "favorites/PageLinkWalker.h"
#include "links/LinkInsertion.h"
#include "page/PageChangedIds.h"
#include "pages/PageClean.h"
#include "pages/PageFile.h"
#include "pages/PageMarkers.h"
#include "resource.h"
#include "util/Strings.h"

#include <gtest/gtest.h>
#include <richedit.h>

#include <algorithm>
#include <string>
#include <vector>


TEST_F(EndToEnd, TypedAndFormattedPageIsSavedInThePageFormatAndTakesAClip) {
    StartProgram();
    OpenPage();
    // Words selected by Shift+Right from the start, then formatted from the toolbar.
    ProgramDriver::Type(L"Hello bold slanted");
    auto format = [&](int from, int length, UINT command) {
        ProgramDriver::Key(VK_HOME, true);
        for (int i = 0; i < from; ++i) ProgramDriver::Key(VK_RIGHT);
        for (int i = 0; i < length; ++i) ProgramDriver::Key(VK_RIGHT, false, true);
        ASSERT_TRUE(m_program.ClickToolbarButton(command));
    };
    format(6, 4, ID_FORMAT_BOLD);
    format(11, 7, ID_FORMAT_ITALIC);
    // Enter at the line's start moves the line down with the caret; End
    // goes to that line's end: both typed words land where they were typed.
    ProgramDriver::Key(VK_HOME, true);
    ProgramDriver::Key(VK_RETURN);
    ProgramDriver::Type(L"next");
    ProgramDriver::Key(VK_END);
    ProgramDriver::Type(L" end");
    m_program.Settle();
    // Ctrl+S in edit mode is kept from the engine, and the main window's
    // accelerator saves, as the File menu says.
    ProgramRegistryGuard::WriteString(L"AllPages", L"Notes", L"stale");
    SaveWrites(CtrlS);

    // Byte for byte: the mark, line feeds only, the engine's paragraphs made
    // blocks beside each other, a tag's closer ending its line, the footer as
    // the cleaning writes it.
    std::string bytes = ReadFileBytes(m_path);
    ASSERT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(PageText(), L"<HTML id=tq1>\n<HEAD>\n<TITLE>Notes</TITLE>\n<STYLE></STYLE></HEAD>\n<BODY>\n"
                          L"<DIV>&nbsp;</DIV>\n"
                          L"<DIV>nextHello <STRONG>bold</STRONG> <EM>slanted</EM>&gt;&gt;&gt;News&LT;&LT;&LT;\n end</DIV>\n"
                          L"<A href=\"http://example.com/a\">&nbsp;Alpha&nbsp;</A><BR>\n"
                          L"<DIV>&gt;&gt;&gt;Work&LT;&LT;&LT;\n</DIV>\n"
                          L"<A href=\"http://example.com/b\">&nbsp;Beta&nbsp;</A><BR>\n\n" +
                          kFooter);
    EXPECT_EQ(ReadBack(m_path).tags, (std::vector<CString>{L"News", L"Work"}));
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Notes"), L"News,1;Work,1");
    EXPECT_EQ(m_program.Exit(), 0u);

    // A link clip into the saved page lands in its section.
    LinkPlacement placement = LinkPlacement::None;
    ASSERT_EQ(AddLinkToPage(L"Notes", L"News", L"Gamma", L"http://example.com/c", L"", &placement), 1);
    EXPECT_EQ(placement, LinkPlacement::InSection);
    StoreView view = ReadBack(m_path);
    EXPECT_EQ(view.marker, 1);
    EXPECT_EQ(view.tags, (std::vector<CString>{L"News", L"Work"}));
    EXPECT_EQ(view.addresses, (std::vector<CString>{L"http://example.com/a", L"http://example.com/c", L"http://example.com/b"}));
}

// Where clicks put the caret, what the end line keeps, how far Undo goes
// back, and Ctrl+N: all as a user meets them, checked on disk.
TEST_F(EndToEnd, ClicksBelowAndBesideTheTextTypeIntoTheContentAndUndoTakesRuns) {
    StartProgram();
    ProgramDriver::MouseClick(TreeItemPoint(), false, 2);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return Engine() != nullptr; })) << "the page did not open";
    m_program.Settle();
    RECT engine{};
    GetWindowRect(Engine(), &engine);
    auto saveWithKeys = [&] { SaveWrites(CtrlS); };
    // A click below all text (the footer's line included) and Ctrl+End put
    // the caret at the end of the last line above the end line.
    ProgramDriver::MouseClick(POINT{engine.left + 60, engine.bottom - 24});
    ProgramDriver::Type(L"tail");
    ProgramDriver::Key(VK_END, true);
    ProgramDriver::Type(L"more");
    m_program.Settle();
    saveWithKeys();
    CString text = PageText();
    ASSERT_NE(text.Find(L"tailmore"), -1) << text.str();
    EXPECT_LT(text.Find(L"Beta"), text.Find(L"tailmore"));
    EXPECT_LT(text.Find(L"tailmore"), text.Find(L"bodyend"));
    EXPECT_EQ(text.Right(kFooter.GetLength()), kFooter);
    EXPECT_EQ(ReadBack(m_path).tags, (std::vector<CString>{L"News", L"Work"}));

    // A click in the margin beside the first line puts the caret at its end.
    // A run of typing is one undo step; a pause of a second ends a run.
    ProgramDriver::MouseClick(POINT{engine.right - 22, engine.top + 16});
    m_program.Settle();
    auto caret = [&] {
        GUITHREADINFO info{sizeof(info)};
        GetGUIThreadInfo(GetWindowThreadProcessId(m_program.Frame(), nullptr), &info);
        return info.rcCaret;
    };
    RECT before = caret();
    ProgramDriver::Type(L"run of words");
    ProgramDriver::Key('Z', true);
    m_program.Settle();
    // Undone by the main window's accelerator: the caret is drawn where the words began.
    EXPECT_EQ(caret().left, before.left);
    EXPECT_EQ(caret().top, before.top);
    ProgramDriver::Type(L"R1");
    m_program.Settle();
    Sleep(1500);
    ProgramDriver::Type(L"R2");
    ProgramDriver::Key('Z', true);
    m_program.Settle();
    saveWithKeys();
    text = PageText();
    EXPECT_EQ(text.Find(L"run of"), -1);
    EXPECT_EQ(text.Find(L"R2"), -1);
    int r1 = text.Find(L"R1");
    EXPECT_GT(r1, text.Find(L"News"));
    EXPECT_LT(r1, text.Find(L"Alpha"));
    EXPECT_NE(text.Find(L"tailmore"), -1);

    // Enter at a line's end, then typing: the new line's placeholder space gives way.
    ProgramDriver::Key(VK_END);
    ProgramDriver::Key(VK_RETURN);
    ProgramDriver::Type(L"fresh");
    m_program.Settle();
    saveWithKeys();
    EXPECT_NE(PageText().Find(L"<DIV>fresh</DIV>"), -1) << PageText().str();

    // Ctrl+N in the page asks for a new page's name and makes it.
    ProgramDriver::Key('N', true);
    HWND dialog = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (dialog = m_program.TopWindow(L"#32770")) != nullptr; }));
    ProgramDriver::Type(L"Fresh");
    ProgramDriver::Key(VK_RETURN);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return GetFileAttributesW(m_allpages + L"\\Fresh.htm") != INVALID_FILE_ATTRIBUTES; }));
    m_program.Settle();
    EXPECT_EQ(m_program.Exit(), 0u);
}

TEST_F(EndToEnd, SaveQuestionAtCloseRefreshAndTreeCloseRunsTheWholeSaveOrNothing) {
    enum class Way { kClose, kRefresh, kTreeClose };
    struct Case {
        Way way;
        int answer;
    };
    const Case cases[] = {{Way::kClose, IDCANCEL},   {Way::kClose, IDNO},       {Way::kClose, IDYES},
                          {Way::kRefresh, IDCANCEL}, {Way::kRefresh, IDNO},     {Way::kRefresh, IDYES},
                          {Way::kTreeClose, IDCANCEL}, {Way::kTreeClose, IDNO}, {Way::kTreeClose, IDYES}};
    StartProgram();
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "way " << static_cast<int>(c.way) << " answer " << c.answer);
        OpenPage();
        CString word;
        word.Format(L"word%d", ++round);
        ProgramDriver::Type(word + L" ");
        m_program.Settle();
        CString before = PageText();
        ProgramRegistryGuard::WriteString(L"AllPages", L"Notes", L"stale");
        ProgramRegistryGuard::WriteString(L"Settings", L"FileHot", L"before");
        switch (c.way) {
        case Way::kClose: ProgramDriver::Key('Q', true); break;
        case Way::kRefresh: ProgramDriver::Key(VK_F5); break;
        case Way::kTreeClose:
            ProgramDriver::MouseClick(TreeItemPoint(), true);
            ASSERT_TRUE(ProgramDriver::WaitFor([&] { return m_program.TopWindow(L"#32768") != nullptr; }));
            ProgramDriver::Key(VK_DOWN);  // "Close", the menu's first item
            ProgramDriver::Key(VK_RETURN);
            break;
        }
        ASSERT_TRUE(Answer(c.answer));
        bool stays = c.answer == IDCANCEL || c.way == Way::kRefresh;
        if (stays) ProgramDriver::WaitFor([&] { return Engine() != nullptr; });  // a refresh opens the page anew
        EXPECT_EQ(Engine() != nullptr, stays);
        if (c.answer == IDYES) {
            EXPECT_NE(PageText().Find(word), -1) << PageText().str();
            EXPECT_EQ(PageText().Right(kFooter.GetLength()), kFooter);
            EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Notes"), L"News,1;Work,1");
        } else {
            EXPECT_EQ(PageText(), before);
            EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Notes"), L"stale");
        }
        EXPECT_EQ(ProgramRegistryGuard::ReadString(L"Settings", L"FileHot"), c.answer == IDCANCEL ? CString(L"before") : m_path);
        if (c.answer == IDCANCEL) {
            // Still changed: its close asks again, and No drops the change.
            ProgramDriver::Key('Q', true);
            ASSERT_TRUE(Answer(IDNO));
        }
    }
    EXPECT_EQ(m_program.Exit(), 0u);
}

TEST_F(EndToEnd, ClipsIntoAnOpenPageSurviveItsSavesAndOtherChangesAreAsked) {
    StartProgram();
    OpenPage();
    ProgramDriver::Type(L"typed first ");
    m_program.Settle();
    // Edited and unsaved; a clip lands in the file; Save keeps both without a question.
    ClipInto(L"http://example.com/z", L"Work");
    Save();
    ExpectClipAndWordsKept(L"typed first");
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Notes"), L"News,1;Work,1");

    // The view shows the merged page: the next edit's save keeps the clip, once.
    OpenPage();
    ProgramDriver::Type(L"typed second ");
    Save();
    StoreView view = ReadBack(m_path);
    EXPECT_EQ(view.addresses,
              (std::vector<CString>{L"http://example.com/a", L"http://example.com/b", L"http://example.com/z"}));
    EXPECT_NE(PlainText(m_path).Find(L"typed second"), -1);

    // Unmodified: Save after a clip writes no old text back.
    ClipInto(L"http://example.com/y", L"News");
    CString clipped = PageText();
    Save();
    EXPECT_EQ(PageText(), clipped);

    // Words changed by another program: asked; Reload shows the file and writes nothing.
    CString other = clipped;
    other.Replace(L"typed second", L"theirs");
    WriteFileBytes(m_path, Utf16Bytes(other));
    OpenPage();
    ProgramDriver::Type(L"mine ");
    m_program.ClickToolbarButton(ID_FILE_SAVE);
    HWND question = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (question = m_program.TopWindow(L"#32770", L"Tarvelo")) != nullptr; }));
    EXPECT_EQ(ProgramDriver::TextOf(question).Find(L"Notes was changed by another program since you opened it."), 0)
        << ProgramDriver::TextOf(question).str();
    ProgramDriver::Press(question, IDC_RELOAD);
    m_program.Settle();
    EXPECT_EQ(PageText(), other);
    // Again after a change: Keep both writes the edit with the other's links
    // and keeps the other version as a copy, indexed and in the tree.
    CString third = other;
    third.Replace(L"theirs", L"third");
    WriteFileBytes(m_path, Utf16Bytes(third));
    ASSERT_EQ(AddLinkToPage(L"Notes", L"News", L"Late", L"http://example.com/x", L""), 1);
    CString theirs = PageText();
    OpenPage();
    ProgramDriver::Type(L"mine ");
    m_program.ClickToolbarButton(ID_FILE_SAVE);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (question = m_program.TopWindow(L"#32770", L"Tarvelo")) != nullptr; }));
    ProgramDriver::Press(question, IDC_KEEP_BOTH);
    m_program.Settle();
    CString copy = m_allpages + L"\\copy of_Notes.htm";
    EXPECT_EQ(TextOfUtf16Bytes(ReadFileBytes(copy)), theirs);
    EXPECT_NE(PlainText(m_path).Find(L"mine"), -1);
    EXPECT_EQ(PlainText(m_path).Find(L"third"), -1);
    view = ReadBack(m_path);
    EXPECT_EQ(view.addresses, (std::vector<CString>{L"http://example.com/a", L"http://example.com/y", L"http://example.com/x",
                                                    L"http://example.com/b", L"http://example.com/z"}));
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"copy of_Notes"), L"News,1;Work,1");
    EXPECT_NE(m_program.TreeItem(m_tree, L"copy of_Notes"), nullptr);
    EXPECT_EQ(m_program.Exit(), 0u);
}

// The source view's save takes the same care as the page view's.
TEST_F(EndToEnd, SourceEditedWhileAClipLandsKeepsBothAtItsSave) {
    StartProgram();
    OpenPage();
    HWND source = OpenSource();
    ASSERT_NE(source, nullptr);
    ProgramDriver::Key(VK_HOME, true);
    for (int line = 0; line < 6; ++line) ProgramDriver::Key(VK_DOWN);
    ProgramDriver::Type(L"typed in source ");
    m_program.Settle();
    // Edited and unsaved; a clip lands in the file; Ctrl+S keeps both, and
    // the view shows the page as it now stands.
    ClipInto(L"http://example.com/z", L"Work");
    SaveWrites(CtrlS);
    ExpectClipAndWordsKept(L"typed in source");
    EXPECT_NE(WindowText(source).Find(L"http://example.com/z"), -1);
    // Unmodified now: a further clip is not written over by the next save.
    ClipInto(L"http://example.com/y", L"News");
    CString clipped = PageText();
    ProgramDriver::Key('S', true);
    m_program.Settle();
    EXPECT_EQ(PageText(), clipped);
    EXPECT_EQ(m_program.Exit(), 0u);
}

TEST_F(EndToEnd, RandomEditSessionsSaveReadablePagesThatKeepEveryTypedWord) {
    for (uint32_t seed : {11u, 12u}) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        // The hand-made page, or one the store makes from its template for two clips.
        WriteFileBytes(m_path, Utf16Bytes(kPage));
        if (seed == 12) {
            DeleteFileW(m_path);
            ASSERT_EQ(AddLinkToPage(L"Notes", L"News", L"Alpha", L"http://example.com/a", L""), 1);
            ASSERT_EQ(AddLinkToPage(L"Notes", L"Work", L"Beta", L"http://example.com/b", L""), 1);
        }
        StartProgram();
        OpenPage();
        Random random(seed);
        std::vector<CString> typed;
        auto check = [&] {
            Save();
            // The save comes after the keys typed before it: once the program
            // has caught up with them, every typed word is on disk.
            ProgramDriver::WaitFor([&] {
                CString plain = PlainText(m_path);
                return std::all_of(typed.begin(), typed.end(), [&](const CString& word) { return plain.Find(word) != -1; });
            }, ProgramDriver::kAppearMs, 50);
            StoreView view = ReadBack(m_path);
            EXPECT_EQ(view.marker, 1);
            EXPECT_EQ(view.tags, (std::vector<CString>{L"News", L"Work"}));
            EXPECT_EQ(view.addresses, (std::vector<CString>{L"http://example.com/a", L"http://example.com/b"}));
            EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Notes"), L"News,1;Work,1");
            // In the page format already: cleaning it again changes nothing.
            EXPECT_EQ(CleanPageText(PageText()), PageText());
            CString plain = PlainText(m_path);
            for (const CString& word : typed) EXPECT_NE(plain.Find(word), -1) << word.str() << "\n" << PageText().str();
            return !testing::Test::HasFailure();
        };
        for (int op = 0; op < 300; ++op) {
            switch (random.Int(0, 9)) {
            case 0:
            case 1:
            case 2: {
                CString word;
                word.Format(L"w%uq%d", seed, op);
                ProgramDriver::Type(word + L" ");
                typed.push_back(word);
                break;
            }
            case 3: ProgramDriver::Key(VK_RETURN); break;
            case 4: ProgramDriver::Key(random.Chance(50) ? VK_HOME : VK_END); break;
            case 5:
                ProgramDriver::Key(VK_UP);
                ProgramDriver::Key(VK_END);
                break;
            case 6:
                ProgramDriver::Key(VK_DOWN);
                ProgramDriver::Key(VK_HOME);
                break;
            case 7: ProgramDriver::Key(VK_HOME, true); break;
            case 8:
                m_program.ClickToolbarButton(random.Pick(std::vector<UINT>{ID_FORMAT_BOLD, ID_FORMAT_ITALIC, ID_FORMAT_UNDERLINE}));
                break;
            case 9:
                m_program.Settle(60);
                if (random.Chance(30) && !check()) return;
                break;
            }
        }
        m_program.Settle();
        if (!check()) return;
        EXPECT_EQ(m_program.Exit(), 0u);
    }
}

TEST_F(EndToEnd, SearchImportAndExportThroughTheirDialogs) {
    WriteFileBytes(m_allpages + L"\\Apple.htm", Utf16Bytes(L"<html id=tq1>\n<body>\nthe needle is here\n</body>\n</html>\n"));
    WriteFileBytes(m_allpages + L"\\Pear.htm", Utf16Bytes(L"<html id=tq1>\n<body>\nonly hay\n</body>\n</html>\n"));
    WriteFileBytes(m_allpages + L"\\Plum.htm", Utf16Bytes(L"<html id=tq1>\n<body>\nNeedle again\n</body>\n</html>\n"));
    TempDir outside;
    WriteFileBytes(outside / L"Marks.html",
                   "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
                   "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n    <DT><H3>Tools</H3>\n    <DL><p>\n"
                   "        <DT><A HREF=\"https://example.org/t\">Tool</A>\n    </DL><p>\n"
                   "    <DT><A HREF=\"https://example.org/top\">Top \xC3\xA9t\xC3\xA9</A>\n</DL><p>\n");
    StartProgram();
    auto page = [&](const wchar_t* title) { return ProgramDriver::Child(m_program.Frame(), nullptr, title) != nullptr; };

    // All pages for a word: each Find Next opens the next page that holds it.
    HWND find = OpenDialog(L"Find", ID_EDIT_SEARCH);
    ASSERT_NE(find, nullptr);
    SetDlgItemTextW(find, IDC_FIND_KEYWORDS, L"needle");
    SetDlgItemTextW(find, IDC_FIND_SCOPE, L"All pages");
    ProgramDriver::Press(find, IDOK);
    EXPECT_TRUE(ProgramDriver::WaitFor([&] { return page(L"Apple.htm"); }));
    ProgramDriver::Press(find, IDOK);
    EXPECT_TRUE(ProgramDriver::WaitFor([&] { return page(L"Plum.htm"); }));
    ProgramDriver::Press(find, IDOK);
    HWND over = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (over = m_program.TopWindow(L"#32770", L"Tarvelo")) != nullptr; }));
    EXPECT_EQ(ProgramDriver::TextOf(over), L"Search over, no further match was found.");
    ProgramDriver::Press(over, IDOK);
    m_program.Settle();
    EXPECT_FALSE(page(L"Pear.htm"));
    EXPECT_FALSE(page(L"Notes.htm"));
    ProgramDriver::Press(find, IDCANCEL);
    ProgramDriver::WaitFor([&] { return !IsWindow(find); });

    // A bookmark file as Chromium and Firefox write it becomes a page of links.
    HWND import = OpenDialog(L"Tarvelo->Import", ID_FILE_IMPORT);
    ASSERT_NE(import, nullptr);
    SendMessageW(GetDlgItem(import, IDC_IMPORT_FIREFOX_FILE), BM_CLICK, 0, 0);
    SetDlgItemTextW(import, IDC_EXCHANGE_SOURCE, outside / L"Marks.html");
    ProgramDriver::Press(import, IDOK);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return PathExists(m_allpages + L"\\Marks.htm") && !IsWindow(import); }));
    m_program.Settle();
    StoreView marks = ReadBack(m_allpages + L"\\Marks.htm");
    EXPECT_EQ(marks.addresses, (std::vector<CString>{L"https://example.org/t", L"https://example.org/top"}));
    EXPECT_NE(PlainText(m_allpages + L"\\Marks.htm").Find(L"Top \x00E9t\x00E9"), -1);
    EXPECT_NE(m_program.TreeItem(m_tree, L"Marks"), nullptr);

    // The page chosen in the tree, exported as a bookmark file.
    SelectPage();
    HWND exporter = OpenDialog(L"Tarvelo->Export", ID_FILE_EXPORT);
    ASSERT_NE(exporter, nullptr);
    wchar_t source[MAX_PATH] = {};
    GetDlgItemTextW(exporter, IDC_EXCHANGE_SOURCE, source, MAX_PATH);
    EXPECT_STREQ(source, L"Notes.htm");
    SendMessageW(GetDlgItem(exporter, IDC_EXPORT_TYPE_BOOKMARKS), BM_CLICK, 0, 0);
    SetDlgItemTextW(exporter, IDC_EXPORT_DESTINATION, outside.Path());
    ProgramDriver::Press(exporter, IDOK);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(exporter); }));
    m_program.Settle();
    std::vector<CString> written = ListFolder(outside.Path());
    ASSERT_EQ(written.size(), 2u);
    CString exported = written[0] == L"Marks.html" ? written[1] : written[0];
    // UTF-8 under the "Unicode" header, each section a folder of its links.
    std::string bytes = ReadFileBytes(outside / exported);
    CString text = CodePageToWide(bytes.data(), bytes.size(), CP_UTF8);
    EXPECT_EQ(text.Find(L"<!DOCTYPE NETSCAPE-Bookmark-file-1>"), 0) << text.str();
    EXPECT_NE(text.Find(L"charset=Unicode"), -1);
    int news = text.Find(L"<H3>News</H3>"), a = text.Find(L"<A HREF=\"http://example.com/a\">Alpha</A>");
    int work = text.Find(L"<H3>Work</H3>"), b = text.Find(L"<A HREF=\"http://example.com/b\">Beta</A>");
    EXPECT_TRUE(news != -1 && news < a && a < work && work < b) << text.str();
    EXPECT_EQ(ReadFileBytes(m_path), Utf16Bytes(kPage));
    EXPECT_EQ(m_program.Exit(), 0u);
}

TEST_F(EndToEnd, FindFromTheRootWalksAllPagesAndBringsEachHitForward) {
    const CString apple = L"<html id=tq1>\n<body>\nthe needle is here\n</body>\n</html>\n";
    const CString plum = L"<html id=tq1>\n<body>\nNeedle again\n</body>\n</html>\n";
    WriteFileBytes(m_allpages + L"\\Apple.htm", Utf16Bytes(apple));
    WriteFileBytes(m_allpages + L"\\Plum.htm", Utf16Bytes(plum));
    StartProgram();
    HWND client = ProgramDriver::Child(m_program.Frame(), L"MDIClient");
    auto active = [&] {
        wchar_t title[MAX_PATH] = {};
        GetWindowTextW(reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, 0)), title, MAX_PATH);
        return CString(title);
    };
    auto clickItem = [&](const wchar_t* labels, int clicks) {
        RECT rect{};
        HTREEITEM item = labels ? m_program.TreeItem(m_tree, labels) : TreeView_GetRoot(m_tree);
        ASSERT_TRUE(item && m_program.TreeItemRect(m_tree, item, rect));
        ProgramDriver::MouseClick(Middle(rect), false, clicks);
        m_program.Settle();
    };
    // Plum opened first, then Notes in front of it; the root chosen in the tree.
    clickItem(L"Plum", 2);
    OpenPage();
    ASSERT_EQ(active(), L"Notes.htm");
    clickItem(nullptr, 1);

    PostMessageW(m_program.Frame(), WM_COMMAND, ID_EDIT_SEARCH, 0);
    HWND find = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (find = m_program.TopWindow(L"#32770", L"Find")) != nullptr; }));
    m_program.Settle();
    EXPECT_EQ(GetWindow(find, GW_OWNER), m_program.Frame());
    RECT box{};
    GetWindowRect(GetDlgItem(find, IDC_FIND_KEYWORDS), &box);
    ProgramDriver::MouseClick(Middle(box));
    ProgramDriver::Type(L"needle");
    auto findNext = [&] {
        RECT button{};
        GetWindowRect(GetDlgItem(find, IDOK), &button);
        ProgramDriver::MouseClick(Middle(button));
        m_program.Settle();
    };
    auto message = [&] {
        HWND shown = m_program.TopWindow(L"#32770", L"Tarvelo");
        CString text = shown ? ProgramDriver::TextOf(shown) : CString();
        if (shown) {
            ProgramDriver::Press(shown, IDOK);
            ProgramDriver::WaitFor([&] { return !IsWindow(shown); });
            m_program.Settle();
        }
        return text;
    };
    // The default scope with the root: all pages. The hit in Plum, behind
    // Notes, comes to the front.
    wchar_t scope[64] = {};
    GetDlgItemTextW(find, IDC_FIND_SCOPE, scope, 64);
    EXPECT_STREQ(scope, L"Selected Directory");
    findNext();
    EXPECT_EQ(message(), L"");
    EXPECT_EQ(active(), L"Plum.htm");

    // A click into the page (and one into the tree) activates the main
    // window; the dialog stays above it, where the next press clicks it.
    auto aboveFrame = [&] {
        for (HWND below = GetWindow(find, GW_HWNDNEXT); below; below = GetWindow(below, GW_HWNDNEXT))
            if (below == m_program.Frame()) return true;
        return false;
    };
    RECT engine{};
    GetWindowRect(ProgramDriver::Child(ProgramDriver::Child(m_program.Frame(), nullptr, L"Plum.htm"),
                                       L"Internet Explorer_Server"), &engine);
    ProgramDriver::MouseClick(POINT{engine.left + 40, engine.bottom - 20});
    m_program.Settle();
    EXPECT_EQ(GetForegroundWindow(), m_program.Frame());
    EXPECT_TRUE(ProgramDriver::WaitFor(aboveFrame));  // the X server restacks some time after a click
    RECT tree{};
    GetWindowRect(m_tree, &tree);
    ProgramDriver::MouseClick(POINT{tree.left + 20, tree.bottom - 20});
    m_program.Settle();
    EXPECT_TRUE(ProgramDriver::WaitFor(aboveFrame));

    // The second press goes on over all pages, though the search selected a page.
    findNext();
    EXPECT_EQ(message(), L"");
    EXPECT_EQ(active(), L"Apple.htm");
    // Past the last hit the run says so; the pages stay as they were on disk.
    findNext();
    EXPECT_EQ(message(), L"Search over, no further match was found.");
    EXPECT_EQ(active(), L"Apple.htm");
    EXPECT_EQ(ReadFileBytes(m_allpages + L"\\Apple.htm"), Utf16Bytes(apple));
    EXPECT_EQ(ReadFileBytes(m_allpages + L"\\Plum.htm"), Utf16Bytes(plum));
    EXPECT_EQ(ReadFileBytes(m_path), Utf16Bytes(kPage));
    ProgramDriver::Press(find, IDCANCEL);
    ProgramDriver::WaitFor([&] { return !IsWindow(find); });
    EXPECT_EQ(m_program.Exit(), 0u);
}

// A page exported as a bookmark file and as itself, then imported back under
// its own name by each kind of import that writes a page, while it is open
// and edited: it keeps every word and gains the new links, once.
TEST_F(EndToEnd, PagesExportedAndImportedBackUnderTheirNameKeepEveryWordAndGainTheLinks) {
    TempDir marks, copies;
    StartProgram();
    // The export or import dialog with its option and path, left by OK.
    auto exchange = [&](const wchar_t* caption, UINT command, int option, int edit, const CString& path) {
        HWND window = OpenDialog(caption, command);
        ASSERT_NE(window, nullptr);
        SendMessageW(GetDlgItem(window, option), BM_CLICK, 0, 0);
        SetDlgItemTextW(window, edit, path);
        ProgramDriver::Press(window, IDOK);
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(window); }));
    };
    auto exportNotes = [&](int type, const CString& destination) {
        SelectPage();
        exchange(L"Tarvelo->Export", ID_FILE_EXPORT, type, IDC_EXPORT_DESTINATION, destination);
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return PathExists(destination + L"\\Notes.htm"); })) << "nothing exported; up: " << m_program.TopWindows().str();
        m_program.Settle();
    };
    // The import; `warned`: the page exists and the user is asked (and says
    // OK); else the import is over once the page it writes is there.
    auto import = [&](int kind, const CString& file, bool warned, const CString& writes = CString()) {
        exchange(L"Tarvelo->Import", ID_FILE_IMPORT, kind, IDC_EXCHANGE_SOURCE, file);
        HWND warning = nullptr;
        auto asked = [&] { return (warning = m_program.TopWindow(L"#32770", L"Warning")) != nullptr; };
        if (warned) {
            ASSERT_TRUE(ProgramDriver::WaitFor(asked)) << "not asked before the page was updated; up: " << m_program.TopWindows().str();
            EXPECT_NE(ProgramDriver::TextOf(warning).Find(L"Notes.htm\" already exists."), -1);
            ProgramDriver::Press(warning, IDOK);
            ProgramDriver::WaitFor([&] { return !IsWindow(warning); });
        } else {
            ASSERT_TRUE(ProgramDriver::WaitFor([&] { return asked() || PathExists(writes); })) << "nothing imported; up: " << m_program.TopWindows().str();
            EXPECT_FALSE(asked()) << ProgramDriver::TextOf(warning).str();
        }
        m_program.Settle();
    };
    exportNotes(IDC_EXPORT_TYPE_BOOKMARKS, marks.Path());
    exportNotes(IDC_EXPORT_TYPE_PLAIN, copies.Path());
    // The browser has a new bookmark in the Work folder since.
    std::string file = ReadFileBytes(marks / L"Notes.htm");
    size_t beta = file.find("Beta</A>\n");
    ASSERT_NE(beta, std::string::npos) << file;
    file.insert(beta + 9, "\t\t<DT><A HREF=\"http://example.com/new\">Fresh</A>\n");
    WriteFileBytes(marks / L"Notes.htm", file);

    // Open and edited: the links join the file, the save keeps both.
    OpenPage();
    ProgramDriver::Type(L"typed before import ");
    m_program.Settle();
    import(IDC_IMPORT_FIREFOX_FILE, marks / L"Notes.htm", true);
    Save();
    const std::vector<CString> links{L"http://example.com/a", L"http://example.com/b", L"http://example.com/new"};
    StoreView view = ReadBack(m_path);
    EXPECT_EQ(view.tags, (std::vector<CString>{L"News", L"Work"}));
    EXPECT_EQ(view.addresses, links);
    for (const wchar_t* word : {L"typed before import", L"Alpha", L"Beta", L"Fresh"})
        EXPECT_NE(PlainText(m_path).Find(word), -1) << word << "\n" << PageText().str();
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Notes"), L"News,1;Work,1");
    // The same file as an IE bookmark file: nothing new, nothing doubled.
    CString before = PageText();
    import(IDC_IMPORT_IE_FILE, marks / L"Notes.htm", true);
    EXPECT_EQ(PageText(), before);

    // The page itself, exported before the edit: it comes in beside the page.
    import(IDC_OPTION_FILE, copies / L"Notes.htm", false, m_allpages + L"\\Notes2.htm");
    EXPECT_EQ(PageText(), before);
    EXPECT_EQ(ReadFileBytes(m_allpages + L"\\Notes2.htm"), Utf16Bytes(kPage));
    EXPECT_NE(m_program.TreeItem(m_tree, L"Notes2"), nullptr);
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Notes2"), L"News,1;Work,1");
    EXPECT_EQ(m_program.Exit(), 0u);
}

// File > Exit with a page open and edited asks about it and ends the
// program in one go; the page left in front (open before, brought to the
// front from the tree), not the one closed by Ctrl+Q before, is the one the
// next start reopens.
TEST_F(EndToEnd, ExitWithAPageOpenEndsTheProgramAndTheNextStartReopensThatPage) {
    CString other = m_allpages + L"\\Apple.htm";
    WriteFileBytes(other, Utf16Bytes(L"<html id=tq1>\n<body>\nan apple page\n</body>\n</html>\n"));
    ProgramRegistryGuard::WriteString(L"Settings", L"FileHot", L"");
    StartProgram();
    RECT appleItem{};
    ASSERT_TRUE(m_program.TreeItemRect(m_tree, m_program.TreeItem(m_tree, L"Apple"), appleItem));
    ProgramDriver::MouseClick(Middle(appleItem), false, 2);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return ProgramDriver::Child(m_program.Frame(), nullptr, L"Apple.htm") != nullptr; }));
    OpenPage();
    ProgramDriver::Key('Q', true);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return Engine() == nullptr; })) << "Ctrl+Q left the page open";
    m_program.Settle();
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"Settings", L"FileHot"), m_path);
    RECT rect{};
    ASSERT_TRUE(m_program.TreeItemRect(m_tree, m_program.TreeItem(m_tree, L"Apple"), rect));
    ProgramDriver::MouseClick(Middle(rect), false, 2);
    HWND apple = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] {
        HWND page = ProgramDriver::Child(m_program.Frame(), nullptr, L"Apple.htm");
        return page && (apple = ProgramDriver::Child(page, L"Internet Explorer_Server")) != nullptr;
    }));
    m_program.Settle();
    RECT engine{};
    GetWindowRect(apple, &engine);
    ProgramDriver::MouseClick(POINT{engine.left + 40, engine.top + 12});
    ProgramDriver::Type(L"left here ");
    m_program.Settle();

    // Alt+F, then "E&xit": the save question, Yes, and the process is gone.
    ProgramDriver::Key('F', false, false, true);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return m_program.TopWindow(L"#32768") != nullptr; }));
    ProgramDriver::Key('X');
    HWND box = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (box = m_program.TopWindow(L"#32770")) != nullptr; }));
    EXPECT_EQ(ProgramDriver::TextOf(box), L"Save changes to " + other + L"?");
    ProgramDriver::Press(box, IDYES);
    EXPECT_EQ(WaitForSingleObject(m_program.Process(), ProgramDriver::kAppearMs), WAIT_OBJECT_0) << "Exit left the program running";
    EXPECT_NE(TextOfUtf16Bytes(ReadFileBytes(other)).Find(L"left here"), -1);
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"Settings", L"FileHot"), other);

    // The next start opens that page again.
    ProgramDriver next;
    ASSERT_TRUE(next.Start(TarveloExePath()));
    EXPECT_TRUE(ProgramDriver::WaitFor([&] { return ProgramDriver::Child(next.Frame(), nullptr, L"Apple.htm") != nullptr; }));
    EXPECT_EQ(ProgramDriver::Child(next.Frame(), nullptr, L"Notes.htm"), nullptr);
    EXPECT_EQ(next.Exit(), 0u);
}

// Typing and the main window's keys answer in the page, without a click into
// it, after whatever took the keyboard in between: a clip process's dialog
// (and the save that showed its link), the help window, a modal dialog.
TEST_F(EndToEnd, FrameKeysAnswerAfterAClipTheHelpWindowAndADialog) {
    StartProgram();
    OpenPage();
    int round = 0;
    auto keysAnswer = [&](const char* after) {
        SCOPED_TRACE(after);
        CString word;
        word.Format(L"keys%d", ++round);
        ProgramDriver::Type(word + L" ");
        m_program.Settle();
        SaveWrites(CtrlS);
        // Typed into the page and saved by the key: the page had the keyboard.
        EXPECT_NE(PlainText(m_path).Find(word), -1) << "the word was not typed into the page, or Ctrl+S did not save";
        bool shown = IsWindowVisible(m_tree) != FALSE;
        ProgramDriver::Key('W', true);
        m_program.Settle();
        EXPECT_NE(IsWindowVisible(m_tree) != FALSE, shown) << "Ctrl+W did not toggle the tree bar";
        ProgramDriver::Key('W', true);
        m_program.Settle();
        ProgramDriver::Key('I', true);
        HWND count = nullptr;
        EXPECT_TRUE(ProgramDriver::WaitFor([&] { return (count = m_program.TopWindow(L"#32770")) != nullptr; }))
            << "Ctrl+I showed no count";
        if (count) {
            ProgramDriver::Press(count, IDOK);
            ProgramDriver::WaitFor([&] { return !IsWindow(count); });
        }
        m_program.Settle();
    };
    keysAnswer("the start");

    ProgramDriver::Type(L"before the clip ");
    m_program.Settle();
    ClipInto(L"http://example.com/z", L"Work");
    Save();  // joins the clip and shows the page as the file now holds it
    keysAnswer("a clip and the save that showed it");

    std::vector<HWND> before;
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) before.push_back(window);
    ProgramDriver::Key(VK_F1);
    HWND help = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] {
        DWORD process = GetProcessId(m_program.Process());
        for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == process && IsWindowVisible(window) && window != m_program.Frame() &&
                std::find(before.begin(), before.end(), window) == before.end())
                return (help = window) != nullptr;
        }
        return false;
    })) << "no help window";
    m_program.Settle();
    PostMessageW(help, WM_CLOSE, 0, 0);
    ProgramDriver::WaitFor([&] { return !IsWindowVisible(help); });
    m_program.Settle();
    keysAnswer("the help window");

    HWND import = OpenDialog(L"Tarvelo->Import", ID_FILE_IMPORT);
    ASSERT_NE(import, nullptr);
    ProgramDriver::Press(import, IDCANCEL);
    ProgramDriver::WaitFor([&] { return !IsWindow(import); });
    m_program.Settle();
    keysAnswer("a dialog");
    EXPECT_EQ(m_program.Exit(), 0u);
}

// A page made from the tree's menu is listed and shown at once, and a click
// below its last line types at the end of its content, not into its heading.
TEST_F(EndToEnd, NewPageFromTheTreeMenuIsListedShownAndTypedBelowItsRule) {
    const CString folder = m_allpages + L"\\Recipes";
    CreateDirectoryW(folder, nullptr);
    WriteFileBytes(folder + L"\\Bread.htm", Utf16Bytes(kPage));
    StartProgram();
    RECT folderRect{};
    HTREEITEM folderItem = m_program.TreeItem(m_tree, L"Recipes");
    ASSERT_TRUE(folderItem && m_program.TreeItemRect(m_tree, folderItem, folderRect));
    ProgramDriver::MouseClick(Middle(folderRect), true);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return m_program.TopWindow(L"#32768") != nullptr; }));
    ProgramDriver::Key(VK_UP);  // "New Directory", the menu's last item
    ProgramDriver::Key(VK_UP);  // "New File"
    ProgramDriver::Key(VK_RETURN);
    HWND dialog = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (dialog = m_program.TopWindow(L"#32770")) != nullptr; }));
    ProgramDriver::Type(L"Soup");
    ProgramDriver::Key(VK_RETURN);
    HWND engine = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] {
        HWND page = ProgramDriver::Child(m_program.Frame(), nullptr, L"Soup.htm");
        return page && (engine = ProgramDriver::Child(page, L"Internet Explorer_Server")) != nullptr;
    }));
    m_program.Settle();
    EXPECT_NE(m_program.TreeItem(m_tree, L"Recipes\\Soup"), nullptr);
    // The page as the screen shows it (another process's window is read
    // through the screen): the grey title, then the blue rule below it.
    RECT screen{};
    GetWindowRect(engine, &screen);
    const int width = screen.right - screen.left;
    HDC dc = GetDC(nullptr);
    int titleRow = -1, ruleRow = -1;
    for (int y = 0; y < screen.bottom - screen.top && ruleRow < 0; ++y) {
        int title = 0, rule = 0;
        for (int x = 0; x < width; ++x) {
            COLORREF c = GetPixel(dc, screen.left + x, screen.top + y);
            if (c == RGB(0x60, 0x66, 0x66)) ++title;
            else if (c == RGB(0, 0, 0xFF)) ++rule;
        }
        if (title > 0 && titleRow < 0) titleRow = y;
        if (rule > width / 2) ruleRow = y;
    }
    ReleaseDC(nullptr, dc);
    EXPECT_GE(titleRow, 0) << "the title is not shown";
    ASSERT_GT(ruleRow, titleRow) << "the rule is not shown below the title";
    ProgramDriver::MouseClick(POINT{screen.left + 60, screen.top + ruleRow + 25});
    ProgramDriver::Type(L"Two cups of flour.");
    m_program.Settle();
    SaveWrites(CtrlS, folder + L"\\Soup.htm");
    CString text = TextOfUtf16Bytes(ReadFileBytes(folder + L"\\Soup.htm"));
    int typed = text.Find(L"Two cups of flour.");
    ASSERT_NE(typed, -1) << text.str();
    EXPECT_GT(typed, text.Find(L"<HR")) << text.str();
    EXPECT_LT(typed, text.Find(L"bodyend")) << text.str();
    EXPECT_EQ(m_program.Exit(), 0u);
}

// The tree bar dragged by its caption to the right edge of the main window:
// the page takes the place it left, painted; floated low on the screen, its
// frame stays on the work area, its corners and edges size it, and the size
// is kept at the exit.
TEST_F(EndToEnd, TreeBarDockedRightAndFloatedAsTheUserMovesIt) {
    StartProgram();
    OpenPage();
    HWND frame = m_program.Frame();
    HWND bar = ProgramDriver::Child(frame, nullptr, L"Bookmark");
    ASSERT_NE(bar, nullptr);
    HWND client = ProgramDriver::Child(frame, L"MDIClient");
    RECT before{}, frameClient{};
    GetWindowRect(bar, &before);
    GetClientRect(frame, &frameClient);
    MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&frameClient), 2);
    ScreenShot start(frameClient, "1-start");
    ProgramDriver::MouseDrag(POINT{before.left + 40, before.top + 12}, POINT{frameClient.right - 20, before.top + 60});
    m_program.Settle(300);
    RECT after{}, pages{};
    GetWindowRect(bar, &after);
    GetWindowRect(client, &pages);
    EXPECT_GE(after.left, pages.right) << "the bar is not docked at the right";
    EXPECT_EQ(after.right, frameClient.right);
    EXPECT_LE(pages.left, before.left + 4);
    // Where the tree stood, over the start of the lines, the page shows as a full repaint draws it
    // (give or take the caret).
    ScreenShot docked(frameClient, "2-docked-right");
    RedrawWindow(frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    m_program.Settle(300);
    ScreenShot repainted(frameClient, "3-repainted");
    RECT left{before.left, pages.top, before.right, pages.bottom};
    IntersectRect(&left, &left, &pages);
    EXPECT_LT(docked.Differs(repainted, left), 0.002) << "the place the tree left is not painted";

    // Floated low on the screen, the frame stays on the work area.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(frame, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT work = monitor.rcWork;
    ProgramDriver::MouseDrag(POINT{after.left + 40, after.top + 12}, POINT{(work.left + work.right) / 2, work.bottom - 40});
    m_program.Settle(300);
    HWND floating = GetAncestor(bar, GA_ROOT);
    ASSERT_NE(floating, frame) << "the bar did not float";
    RECT placed{};
    GetWindowRect(floating, &placed);
    EXPECT_GE(placed.top, work.top);
    EXPECT_LE(placed.bottom, work.bottom) << "the floating bar runs off the screen";
    ScreenShot floated(work, "4-floating");

    // Its frame's corner sizes it both ways; the opposite corner stays.
    auto sizeBy = [&](POINT grab, int dx, int dy, LRESULT code) {
        EXPECT_EQ(SendMessageW(floating, WM_NCHITTEST, 0, MAKELPARAM(grab.x, grab.y)), code);
        ProgramDriver::MouseDrag(grab, POINT{grab.x + dx, grab.y + dy});
        m_program.Settle(300);
        RECT now{};
        GetWindowRect(floating, &now);
        return now;
    };
    RECT sized = sizeBy(POINT{placed.right - 2, placed.bottom - 2}, -60, -80, HTBOTTOMRIGHT);
    EXPECT_EQ(sized.left, placed.left);
    EXPECT_EQ(sized.top, placed.top);
    EXPECT_NEAR(sized.right, placed.right - 60, 2);
    EXPECT_NEAR(sized.bottom, placed.bottom - 80, 2);
    ScreenShot corner(work, "5-sized-by-corner");
    // Its left edge narrows it from the left.
    placed = sized;
    sized = sizeBy(POINT{placed.left + 1, (placed.top + placed.bottom) / 2}, 40, 0, HTLEFT);
    EXPECT_NEAR(sized.left, placed.left + 40, 2);
    EXPECT_EQ(sized.right, placed.right);
    EXPECT_EQ(sized.bottom, placed.bottom);
    ScreenShot edge(work, "6-sized-by-edge");
    RECT inside{};
    GetClientRect(floating, &inside);
    EXPECT_EQ(m_program.Exit(), 0u);
    DWORD width = 0, height = 0;
    EXPECT_TRUE(ProgramRegistryGuard::ReadInt(L"Init", L"TreeFX", width) && ProgramRegistryGuard::ReadInt(L"Init", L"TreeFY", height));
    EXPECT_EQ(width, static_cast<DWORD>(inside.right));
    EXPECT_EQ(height, static_cast<DWORD>(inside.bottom));
}

// Tools and exports that would replace what the user has, through the real
// Tarvelo.exe: the address bar history stays when the page holds no link
// (started from the tree and from the open page), and File > Export asks
// once before it replaces a file of the destination, writing nothing on No.
#include "EndToEndFixture.h"
#include "TypedUrlsAside.h"

namespace {

// A page of links in a section: "Rashomon (朽木)" has characters the ANSI code page lacks.
const CString kFilmPage = L"<html id=tq1>\n<HEAD>\n<TITLE>Plain</TITLE>\n</HEAD>\n<BODY>\n"
                          L"<DIV>&gt;&gt;&gt;Film&lt;&lt;&lt;</DIV>\n"
                          L"<A href=\"http://film.example/rashomon\">Rashomon (\x673D\x6728)</A><BR>\n"
                          L"<A href=\"http://film.example/ikiru\">Ikiru</A><BR>\n" +
                          kFooter;

class EndToEndAskFirst : public EndToEnd {
protected:
    // Nothing more is said.
    void ExpectQuiet() {
        m_program.Settle(300);
        EXPECT_EQ(m_program.TopWindow(L"#32770"), nullptr) << "up: " << m_program.TopWindows().str();
    }
    // File > Export as the user gives it: the item selected in the tree (a
    // page starts the dialog on File, a folder on Directory), the file type
    // (File), "All Tarvelo BookMarks" when `everything`, the destination, OK.
    void Export(const CString& item, int type, const CString& destination, bool everything = false) {
        SelectItem(item);
        HWND window = OpenDialog(L"Tarvelo->Export", ID_FILE_EXPORT);
        ASSERT_NE(window, nullptr);
        m_program.Settle();
        if (everything) SendMessageW(GetDlgItem(window, IDC_OPTION_THIRD), BM_CLICK, 0, 0);
        else if (type) SendMessageW(GetDlgItem(window, type), BM_CLICK, 0, 0);
        SetDlgItemTextW(window, IDC_EXPORT_DESTINATION, destination);
        ProgramDriver::Press(window, IDOK);
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(window); }));
    }
};

}  // namespace

TEST_F(EndToEndAskFirst, TheAddressBarHistoryStaysWhenThePageHoldsNoLinkFromTheTreeAndFromTheOpenPage) {
    TypedUrlsAside aside;
    TypedUrlsAside::Write(L"url1", L"http://typed.example/one");
    TypedUrlsAside::Write(L"url2", L"http://typed.example/two");
    // Words and a section, but no link (the footer's stands after the body's end).
    WriteFileBytes(m_allpages + L"\\Bare.htm",
                   Utf16Bytes(L"<html id=tq1>\n<HEAD>\n<TITLE>Bare</TITLE>\n</HEAD>\n<BODY>\n"
                              L"<DIV>&gt;&gt;&gt;Ideas&lt;&lt;&lt;</DIV>\nJust words, no link.<BR>\n" + kFooter));
    const CString said = L"This page holds no link, so it gives no address: the IE address bar history was left as it is.";
    StartProgram();

    SelectItem(L"Bare");
    PostMessageW(m_program.Frame(), WM_COMMAND, ID_TOOLS_RESTORE_ADDRESS_HISTORY, 0);
    EXPECT_EQ(AnswerBox(L"Tarvelo", IDOK), said);
    ExpectQuiet();
    EXPECT_EQ(TypedUrlsAside::Read(L"url1"), L"http://typed.example/one");
    EXPECT_EQ(TypedUrlsAside::Read(L"url2"), L"http://typed.example/two");

    // A page with links still replaces the list, and says so from the tree.
    SelectItem(L"Notes");
    PostMessageW(m_program.Frame(), WM_COMMAND, ID_TOOLS_RESTORE_ADDRESS_HISTORY, 0);
    EXPECT_EQ(AnswerBox(L"Tarvelo", IDOK), L"Your IE history file has been updated.");
    EXPECT_EQ(TypedUrlsAside::Read(L"url1"), L"http://example.com/a");
    EXPECT_EQ(TypedUrlsAside::Read(L"url2"), L"http://example.com/b");

    // The page without a link open and active: the tool says the same and
    // changes nothing.
    HTREEITEM bare = m_program.TreeItem(m_tree, L"Bare");
    RECT rect{};
    ASSERT_TRUE(bare && m_program.TreeItemRect(m_tree, bare, rect));
    ProgramDriver::MouseClick(Middle(rect), false, 2);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] {
        HWND page = ProgramDriver::Child(m_program.Frame(), nullptr, L"Bare.htm");
        return page && ProgramDriver::Child(page, L"Internet Explorer_Server");
    })) << "the page did not open; up: " << m_program.TopWindows().str();
    m_program.Settle();
    SelectItem(L"Notes");  // the open page counts, whatever the tree selects
    PostMessageW(m_program.Frame(), WM_COMMAND, ID_TOOLS_RESTORE_ADDRESS_HISTORY, 0);
    EXPECT_EQ(AnswerBox(L"Tarvelo", IDOK), said);
    ExpectQuiet();
    EXPECT_EQ(TypedUrlsAside::Read(L"url1"), L"http://example.com/a");
    EXPECT_EQ(TypedUrlsAside::Read(L"url2"), L"http://example.com/b");
    EXPECT_EQ(m_program.Exit(), 0u);
}

TEST_F(EndToEndAskFirst, ExportAsksOnceBeforeItReplacesTheUsersFilesAndNoWritesNothing) {
    CreateDirectoryW(m_allpages + L"\\Recipes", nullptr);
    CreateDirectoryW(m_install.Path() + L"\\Bookmark\\Forms", nullptr);
    const std::string film = Utf16Bytes(kFilmPage), welcome = Utf16Bytes(kPage);
    WriteFileBytes(m_allpages + L"\\Plain.htm", film);
    WriteFileBytes(m_allpages + L"\\Welcome.htm", welcome);
    WriteFileBytes(m_allpages + L"\\Recipes\\Bread.htm", welcome);
    WriteFileBytes(m_install.Path() + L"\\Bookmark\\Forms\\mail.example#1.tq", Utf16Bytes(L"Email sample\n"));
    // The user's own files, of the names the exports write.
    TempDir out;
    for (const wchar_t* folder : {L"Recipes", L"TQ Bookmarks", L"TQ Bookmarks\\AllPages", L"TQ Bookmarks\\Forms"})
        CreateDirectoryW(out / folder, nullptr);
    const wchar_t* const mine[] = {L"Plain.htm", L"Recipes\\Bread.htm", L"TQ Bookmarks\\AllPages\\Welcome.htm",
                                   L"TQ Bookmarks\\Forms\\mail.example#1.tq"};
    for (const wchar_t* name : mine) WriteFileBytes(out / name, "the user's own");
    auto expectMine = [&] {
        for (const wchar_t* name : mine) EXPECT_EQ(ReadFileBytes(out / name), "the user's own") << CString(name).str();
    };
    StartProgram();

    // No, for every kind: nothing of that export is written.
    for (int type : {IDC_EXPORT_TYPE_PLAIN, IDC_EXPORT_TYPE_ANSI, IDC_EXPORT_TYPE_BOOKMARKS}) {
        SCOPED_TRACE(testing::Message() << "file type button " << type);
        Export(L"Plain", type, out.Path());
        EXPECT_EQ(AnswerBox(L"Warning", IDNO), L"The destination folder already holds \"Plain.htm\". Replace it?");
        ExpectQuiet();
    }
    Export(L"Recipes", 0, out.Path());
    EXPECT_EQ(AnswerBox(L"Warning", IDNO), L"The destination folder already holds \"Recipes\\Bread.htm\". Replace it?");
    ExpectQuiet();
    Export(L"Notes", 0, out.Path(), true);
    EXPECT_EQ(AnswerBox(L"Warning", IDNO), L"The destination folder already holds \"TQ Bookmarks\\AllPages\\Welcome.htm\" "
                                        L"and 1 more of the names this export writes. Replace them?");
    ExpectQuiet();
    expectMine();
    EXPECT_FALSE(PathExists(out / L"TQ Bookmarks\\AllPages\\Notes.htm"));
    EXPECT_FALSE(PathExists(out / L"TQ Bookmarks\\AllPages\\Recipes"));

    // Yes: replaced. The ANSI copy tells what its titles lost; the other
    // exports succeed without a word.
    Export(L"Plain", IDC_EXPORT_TYPE_ANSI, out.Path());
    EXPECT_EQ(AnswerBox(L"Warning", IDYES), L"The destination folder already holds \"Plain.htm\". Replace it?");
    EXPECT_EQ(AnswerBox(L"Tarvelo", IDOK),
              L"1 link title lost characters that the ANSI code page does not hold; they were written as \"#\".");
    ExpectQuiet();
    EXPECT_NE(ReadFileBytes(out / L"Plain.htm").find("Rashomon (##)</A>"), std::string::npos);
    Export(L"Recipes", 0, out.Path());
    EXPECT_NE(AnswerBox(L"Warning", IDYES).Find(L"Recipes\\Bread.htm"), -1);
    ExpectQuiet();
    EXPECT_EQ(ReadFileBytes(out / L"Recipes\\Bread.htm"), welcome);
    Export(L"Notes", 0, out.Path(), true);
    EXPECT_NE(AnswerBox(L"Warning", IDYES).Find(L"Replace them?"), -1);
    ExpectQuiet();
    EXPECT_EQ(ReadFileBytes(out / L"TQ Bookmarks\\AllPages\\Welcome.htm"), welcome);
    EXPECT_EQ(ReadFileBytes(out / L"TQ Bookmarks\\AllPages\\Recipes\\Bread.htm"), welcome);
    EXPECT_EQ(ReadFileBytes(out / L"TQ Bookmarks\\Forms\\mail.example#1.tq"), Utf16Bytes(L"Email sample\n"));

    // A destination where nothing is taken: no question, no word.
    TempDir fresh;
    Export(L"Plain", IDC_EXPORT_TYPE_PLAIN, fresh.Path());
    ExpectQuiet();
    EXPECT_TRUE(ProgramDriver::WaitFor([&] { return ReadFileBytes(fresh / L"Plain.htm") == film; }));
    EXPECT_EQ(ReadFileBytes(m_allpages + L"\\Plain.htm"), film);
    EXPECT_EQ(m_program.Exit(), 0u);
}

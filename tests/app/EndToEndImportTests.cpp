// A saved store brought back in through File > Import while the store has
// grown records of its own: nothing the user has is replaced.
#include "EndToEndFixture.h"

#include "forms/FormRecordName.h"

namespace {

const CString kMail = L"http://mail.example/login#1";

CString PageWithMailLink(const CString& title, const CString& address) {
    return L"<html id=tq1>\n<HEAD>\n<TITLE>" + title + L"</TITLE>\n</HEAD>\n<BODY>\n"
           L"<DIV>&gt;&gt;&gt;News&lt;&lt;&lt;</DIV>\n"
           L"<A href=\"http://example.com/a\">&nbsp;Alpha&nbsp;</A><BR>\n"
           L"<DIV>&gt;&gt;&gt;Work&lt;&lt;&lt;</DIV>\n"
           L"<A href=\"" + address + L"\">&nbsp;Mail&nbsp;</A><BR>\n" + kFooter;
}

std::string Record(const wchar_t* account) {
    return Utf16Bytes(CString(L"Email ") + account + L"\nPasswd secret\n$$$$$\n");
}

} // namespace

// Both stores hold "mail.example#1.tq", for two accounts. After the import
// each page's link still names the record of its own account: the current
// one keeps #1, the saved one moved to a free number with its links (the
// saved page of its own and the link merged into the page of the same name).
TEST_F(EndToEnd, WholeStoreImportKeepsBothStoresRecordsAndEachPageFillsItsOwnValues) {
    const CString forms = m_install.Path() + L"\\Bookmark\\Forms";
    CreateDirectoryW(forms, nullptr);
    WriteFileBytes(forms + L"\\mail.example#1.tq", Record(L"alice@example.com"));
    WriteFileBytes(forms + L"\\shared.example#1.tq", Record(L"both@example.com"));
    WriteFileBytes(m_path, Utf16Bytes(PageWithMailLink(L"Notes", kMail)));

    TempDir saved;
    CreateDirectoryW(saved / L"AllPages", nullptr);
    CreateDirectoryW(saved / L"Forms", nullptr);
    WriteFileBytes(saved / L"Forms\\mail.example#1.tq", Record(L"bob@example.com"));
    WriteFileBytes(saved / L"Forms\\shared.example#1.tq", Record(L"both@example.com"));
    WriteFileBytes(saved / L"AllPages\\Notes.htm", Utf16Bytes(PageWithMailLink(L"Notes", kMail)));
    WriteFileBytes(saved / L"AllPages\\Bob.htm", Utf16Bytes(PageWithMailLink(L"Bob", kMail)));

    StartProgram();
    HWND dialog = OpenDialog(L"Tarvelo->Import", ID_FILE_IMPORT);
    ASSERT_NE(dialog, nullptr);
    SendMessageW(GetDlgItem(dialog, IDC_IMPORT_WHOLE_STORE), BM_CLICK, 0, 0);
    SetDlgItemTextW(dialog, IDC_EXCHANGE_SOURCE, saved.Path());
    ProgramDriver::Press(dialog, IDOK);
    HWND box = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (box = m_program.TopWindow(L"#32770", L"Warning")) != nullptr; }))
        << "no question before the import; up: " << m_program.TopWindows().str();
    ProgramDriver::Press(box, IDOK);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] {
        box = m_program.TopWindow(L"#32770", L"Tarvelo");
        return box && ProgramDriver::TextOf(box) == L"Successfully imported Tarvelo BookMarks!";
    })) << "the import did not end; up: " << m_program.TopWindows().str();
    ProgramDriver::Press(box, IDOK);
    m_program.Settle();

    // The records: the current ones as they were, the saved one beside them,
    // the identical one once.
    EXPECT_EQ(ReadFileBytes(forms + L"\\mail.example#1.tq"), Record(L"alice@example.com"));
    EXPECT_EQ(ReadFileBytes(forms + L"\\mail.example#2.tq"), Record(L"bob@example.com"));
    EXPECT_FALSE(PathExists(forms + L"\\shared.example#2.tq"));

    // Each link leads to the record of its own account.
    auto accountOf = [&](const CString& address) {
        return TextOfUtf16Bytes(ReadFileBytes(forms + L"\\" + FormRecordFileName(address)));
    };
    StoreView bob = ReadBack(m_allpages + L"\\Bob.htm");
    ASSERT_EQ(bob.addresses, (std::vector<CString>{L"http://example.com/a", L"http://mail.example/login#2"}));
    EXPECT_NE(accountOf(bob.addresses[1]).Find(L"bob@example.com"), -1);
    StoreView notes = ReadBack(m_path);
    ASSERT_EQ(notes.addresses,
              (std::vector<CString>{L"http://example.com/a", kMail, L"http://mail.example/login#2"}));
    EXPECT_NE(accountOf(notes.addresses[1]).Find(L"alice@example.com"), -1);
    EXPECT_NE(accountOf(notes.addresses[2]).Find(L"bob@example.com"), -1);
    EXPECT_FALSE(PathExists(m_allpages + L"\\Notes2.htm"));
    EXPECT_NE(m_program.TreeItem(m_tree, L"Bob"), nullptr);
    EXPECT_EQ(m_program.Exit(), 0u);
}

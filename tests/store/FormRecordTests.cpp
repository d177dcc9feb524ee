#include "StoreFixture.h"

#include "forms/FormRecordImport.h"
#include "forms/FormRecordName.h"
#include "forms/FormRecordReader.h"
#include "forms/FormRecords.h"

#include <windows.h>

#include <algorithm>

TEST(FormRecordName, HostPartIsAlwaysAValidFileName) {
    struct Case { const wchar_t* address; const wchar_t* file; };
    const Case cases[] = {
        {L"http://www.example.com/login/page.htm#3", L"www.example.com#3.tq"},
        {L"http://www.example.com/login", L"www.example.com#.tq"},
        {L"https://mail.example.com:8443/inbox#12", L"mail.example.com#12.tq"},
        {L"http://user:pw@host.example/x#1", L"host.example#1.tq"},
        {L"http://example.com?a=b|c#2", L"example.com#2.tq"},
        {L"http://example.com#3", L"example.com#3.tq"},
        {L"http://[::1]:80/x#4", L"[__1]#4.tq"},
        {L"http://a\"b<c>d*e/x#5", L"a_b_c_d_e#5.tq"},
        {L"about:blank", L"about_blank#.tq"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormRecordFileName(c.address), c.file) << c.address;
    CString longHost = L"http://" + CString(L'h', 500) + L"/x#1";
    EXPECT_EQ(FormRecordHostPart(longHost).GetLength(), 120);
}

class FormRecords : public StoreTest {
protected:
    CString Forms() const { return Install() + L"\\Bookmark\\Forms"; }
    void Touch(const CString& name) const { WriteFileBytes(Forms() + L"\\" + name, "x"); }
};

TEST_F(FormRecords, NumbersCountUpPerHostWhateverTheAddressCarried) {
    CString address = L"http://www.example.com/login/page.htm", path;
    ASSERT_EQ(NewFormRecordPathForUrl(address, path), 1);
    EXPECT_EQ(path, Forms() + L"\\www.example.com#1.tq");
    EXPECT_EQ(address, L"http://www.example.com/login/page.htm#1");
    Touch(L"www.example.com#1.tq");
    address = L"http://www.example.com/other#7";
    ASSERT_EQ(NewFormRecordPathForUrl(address, path), 1);
    EXPECT_EQ(path, Forms() + L"\\www.example.com#2.tq");
    EXPECT_EQ(address, L"http://www.example.com/other#2");
    // The form-filling library derives the same file from the changed address.
    EXPECT_EQ(Forms() + L"\\" + FormRecordFileName(address), path);
}

TEST_F(FormRecords, AddressWithoutPathKeepsAFreeNumber) {
    CString address = L"http://host.example#3", path;
    ASSERT_EQ(NewFormRecordPathForUrl(address, path), 1);
    EXPECT_EQ(path, Forms() + L"\\host.example#3.tq");
    EXPECT_EQ(address, L"http://host.example#3");
    Touch(L"host.example#3.tq");
    ASSERT_EQ(NewFormRecordPathForUrl(address, path), 1);
    EXPECT_EQ(path, Forms() + L"\\host.example#4.tq");
    EXPECT_EQ(address, L"http://host.example#4");
    EXPECT_EQ(Forms() + L"\\" + FormRecordFileName(address), path);
}

TEST_F(FormRecords, PortGivesAWritableRecord) {
    CString address = L"http://localhost:8080/form", path;
    ASSERT_EQ(NewFormRecordPathForUrl(address, path), 1);
    EXPECT_EQ(path, Forms() + L"\\localhost#1.tq");
    EXPECT_TRUE(WriteFormRecordFile(path, L"q>>>x|||"));
    EXPECT_TRUE(PathExists(path));
}

TEST_F(FormRecords, SampleRecordTakesTheSmallestFreeNumber) {
    CString path;
    ASSERT_EQ(NewFormRecordPath(path), 1);
    EXPECT_EQ(path, Forms() + L"\\1.tq");
    for (const wchar_t* name : {L"1.tq", L"2.tq", L"4.tq", L"host#1.tq"}) Touch(name);
    NewFormRecordPath(path);
    EXPECT_EQ(path, Forms() + L"\\3.tq");
    Touch(L"3.tq");
    NewFormRecordPath(path);
    EXPECT_EQ(path, Forms() + L"\\5.tq");
    for (const wchar_t* name : {L"1.tq", L"2.tq", L"3.tq", L"4.tq"}) DeleteFileW(Forms() + L"\\" + name);
    NewFormRecordPath(path); // only 5.tq and host#1.tq are left
    EXPECT_EQ(path, Forms() + L"\\1.tq");
}

TEST_F(FormRecords, MultiLineValuesAreClosedSoLaterRecordsStayReadable) {
    const CString capture = L"user>>>ann|||note>>>line one\r\nline two|||"
                            L"pick>>>2<<<|||many>>>red<<<|||green<<<|||blue<<<|||pass>>>brindle|||";
    EXPECT_EQ(FormCaptureToRecordText(capture), L"user ann\n$$$$$\nnote line one\nline two\n$$$$$\npick 2\n$$$$$\n"
                                                L"many red\ngreen\nblue\n$$$$$\npass brindle\n$$$$$\n");
    CString path = Install() + L"\\rec.tq";
    ASSERT_TRUE(WriteFormRecordFile(path, capture));
    EXPECT_EQ(ReadFileBytes(path).substr(0, 2), "\xFF\xFE");

    // Read as the form-filling library reads: a text area and a multiple
    // selection take further lines up to the closing line.
    std::vector<CString> lines;
    ASSERT_TRUE(ReadFormRecordLines(path, lines));
    std::vector<std::pair<CString, CString>> fields;
    for (size_t next = 0; next < lines.size();) {
        CString name, value;
        SplitFormRecordLine(lines[next++], name, value);
        if (name == L"note" || name == L"many") {
            std::vector<CString> values = CollectFormRecordValueLines(lines, next, value, 1000);
            value.Empty();
            for (const CString& v : values) value += v + L"/";
        }
        if (!name.IsEmpty()) fields.emplace_back(name, value);
    }
    const std::vector<std::pair<CString, CString>> expected = {
        {L"user", L"ann"}, {L"note", L"line one/line two/"}, {L"pick", L"2"}, {L"many", L"red/green/blue/"},
        {L"pass", L"brindle"}};
    EXPECT_EQ(fields, expected);
}

TEST(FormRecordReader, SplitsNamesAndCollapsesBlanks) {
    CString name, value;
    SplitFormRecordLine(L"city New   York ", name, value);
    EXPECT_EQ(name, L"city");
    EXPECT_EQ(value, L"New York");
    SplitFormRecordLine(L"$$$$$", name, value);
    EXPECT_EQ(name, L"");
    std::vector<CString> lines = {L"a", L"b"};
    size_t next = 0;
    EXPECT_EQ(CollectFormRecordValueLines(lines, next, L"first", 2), (std::vector<CString>{L"first", L"a"}));
}

class FormRecordImport : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        CreateDirectoryW(m_saved.Path() + L"\\Forms", nullptr);
        CreateDirectoryW(Current(), nullptr);
    }
    CString Saved() const { return m_saved.Path() + L"\\Forms"; }
    CString Current() const { return Install() + L"\\Bookmark\\Forms"; }
    static void Write(const CString& folder, const wchar_t* name, const std::string& bytes) {
        WriteFileBytes(folder + L"\\" + name, bytes);
    }
    std::string Held(const wchar_t* name) const { return ReadFileBytes(Current() + L"\\" + name); }

    TempDir m_saved;
};

TEST_F(FormRecordImport, NoRecordReplacesACurrentOneAndTheLinksOfARenumberedOneFollowIt) {
    Write(Current(), L"mail.example#1.tq", "alice");
    Write(Current(), L"shared.example#1.tq", "same");
    Write(Current(), L"2.tq", "sample here");
    Write(Saved(), L"mail.example#1.tq", "bob");
    Write(Saved(), L"mail.example#2.tq", "carol");
    Write(Saved(), L"shared.example#1.tq", "same");
    Write(Saved(), L"new.example#1.tq", "new");
    Write(Saved(), L"2.tq", "sample there");
    Write(Saved(), L"odd.tq", "odd there");
    Write(Current(), L"odd.tq", "odd here");
    CreateDirectoryW(Saved() + L"\\Old", nullptr);
    Write(Saved() + L"\\Old", L"kept.example#1.tq", "old");

    FormRecordRenames renames = ImportFormRecords(Saved(), Current());
    // The current records as they were; the saved ones beside them.
    EXPECT_EQ(Held(L"mail.example#1.tq"), "alice");
    EXPECT_EQ(Held(L"mail.example#2.tq"), "carol");
    EXPECT_EQ(Held(L"mail.example#3.tq"), "bob");  // #2 is the saved store's own
    EXPECT_EQ(Held(L"shared.example#1.tq"), "same");
    EXPECT_FALSE(PathExists(Current() + L"\\shared.example#2.tq"));
    EXPECT_EQ(Held(L"new.example#1.tq"), "new");
    EXPECT_EQ(Held(L"2.tq"), "sample here");
    EXPECT_EQ(Held(L"1.tq"), "sample there");
    EXPECT_EQ(Held(L"odd.tq"), "odd here");
    EXPECT_EQ(Held(L"odd2.tq"), "odd there");
    EXPECT_EQ(ReadFileBytes(Current() + L"\\Old\\kept.example#1.tq"), "old");
    // A second import of the same store adds nothing more, and its links
    // follow the copy the first one made.
    FormRecordRenames again = ImportFormRecords(Saved(), Current());
    EXPECT_FALSE(PathExists(Current() + L"\\mail.example#4.tq"));
    EXPECT_FALSE(PathExists(Current() + L"\\3.tq"));
    EXPECT_FALSE(PathExists(Current() + L"\\odd3.tq"));
    EXPECT_EQ(again.RenamedRecord(L"mail.example#1.tq"), L"mail.example#3.tq");

    EXPECT_EQ(renames.RenamedRecord(L"MAIL.example#1.tq"), L"mail.example#3.tq");
    EXPECT_EQ(renames.RenamedAddress(L"https://mail.example/login?x=1#1"), L"https://mail.example/login?x=1#3");
    for (const wchar_t* kept : {L"https://mail.example/login#2", L"https://mail.example/login", L"http://shared.example/#1",
                                L"http://other.example/#1"})
        EXPECT_EQ(renames.RenamedAddress(kept), kept);
    const CString page = L"<A href=\"http://mail.example/in#1\">&nbsp;Mail&nbsp;</A><BR>\n"
                         L"<a title=x HREF = 'http://mail.example/box#1'>Box</a> see mail.example/in#1\n"
                         L"<A href=http://mail.example/#1>bare</A><A href=\"http://mail.example/in#2\">two</A>";
    EXPECT_EQ(renames.RenameLinks(page),
              L"<A href=\"http://mail.example/in#3\">&nbsp;Mail&nbsp;</A><BR>\n"
              L"<a title=x HREF = 'http://mail.example/box#3'>Box</a> see mail.example/in#1\n"
              L"<A href=http://mail.example/#3>bare</A><A href=\"http://mail.example/in#2\">two</A>");
}

// A saved record that cannot be brought in is named, and the links that name
// it lose their number instead of naming the current store's record of
// another account: one that cannot be read, and one that finds no free
// number (the numbers it may take, up to 3 here, are all taken).
TEST_F(FormRecordImport, ARecordLeftOutIsNamedAndItsLinksNameNoRecord) {
    Write(Current(), L"mail.example#1.tq", "alice");
    Write(Saved(), L"mail.example#1.tq", "bob");
    for (const wchar_t* name : {L"full.example#1.tq", L"full.example#2.tq", L"full.example#3.tq"})
        Write(Current(), name, "someone else's");
    Write(Saved(), L"full.example#2.tq", "carol");
    Write(Saved(), L"ok.example#1.tq", "erin");
    Write(Saved(), L"shared.example#1.tq", "same");
    Write(Current(), L"shared.example#1.tq", "same");
    HANDLE held = CreateFileW(Saved() + L"\\mail.example#1.tq", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::vector<CString> failed;
    FormRecordRenames renames = ImportFormRecords(Saved(), Current(), &failed, 3);
    CloseHandle(held);

    std::sort(failed.begin(), failed.end());
    EXPECT_EQ(failed, (std::vector<CString>{Saved() + L"\\full.example#2.tq", Saved() + L"\\mail.example#1.tq"}));
    EXPECT_EQ(Held(L"mail.example#1.tq"), "alice");
    EXPECT_FALSE(PathExists(Current() + L"\\mail.example#2.tq"));
    EXPECT_EQ(Held(L"full.example#2.tq"), "someone else's");
    EXPECT_FALSE(PathExists(Current() + L"\\full.example#4.tq"));
    EXPECT_EQ(Held(L"ok.example#1.tq"), "erin");

    EXPECT_EQ(renames.RenamedAddress(L"https://mail.example/login?x=1#1"), L"https://mail.example/login?x=1");
    EXPECT_EQ(renames.RenamedAddress(L"http://full.example/in#2"), L"http://full.example/in");
    for (const wchar_t* kept : {L"https://mail.example/login#2", L"http://full.example/in#3", L"http://ok.example/#1",
                                L"http://shared.example/#1", L"https://mail.example/login"})
        EXPECT_EQ(renames.RenamedAddress(kept), kept);
    EXPECT_EQ(renames.RenameLinks(L"<A href=\"http://mail.example/in#1\">Mail</A> <a href=http://ok.example/#1>Ok</a>"),
              L"<A href=\"http://mail.example/in\">Mail</A> <a href=http://ok.example/#1>Ok</a>");

    // The saved folder unreadable: it is named itself.
    failed.clear();
    ImportFormRecords(Saved() + L"\\Missing", Current(), &failed);
    EXPECT_EQ(failed, (std::vector<CString>{Saved() + L"\\Missing"}));
}

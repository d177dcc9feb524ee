#include "StoreFixture.h"

#include "forms/FormRecordName.h"
#include "forms/FormRecordReader.h"
#include "forms/FormRecords.h"

#include <windows.h>

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

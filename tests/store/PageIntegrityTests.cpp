// Text that comes from web pages (titles, addresses) and names typed by the
// user must never turn into page structure: the body-end marker, sections or
// live markup; not when written, and not after the editor has saved the page.
#include "StoreFixture.h"

#include "index/AllPagesIndex.h"
#include "links/LinkInsertion.h"
#include "links/LinkLine.h"
#include "pages/PageFile.h"
#include "pages/PageLineScan.h"
#include "pages/PageTemplate.h"

#include "dom/Document.h"
#include "html/Parser.h"
#include "html/Serializer.h"

namespace {

int Count(const CString& text, const CString& what) {
    int count = 0;
    for (int at = text.Find(what); at >= 0; at = text.Find(what, at + 1)) ++count;
    return count;
}

// What an editor save does to a page: parse, serialize, and (as the store
// reads it) CR LF folded into LF.
CString SavedByEditor(const CString& page) {
    CString saved = html::SerializeDocument(*html::ParseDocument(page));
    saved.Replace(L"\r\n", L"\n");
    return saved;
}

CString BodyText(const CString& page) {
    auto document = html::ParseDocument(page);
    CString text;
    std::vector<const dom::Node*> pending{document->Body()};
    while (!pending.empty()) {
        const dom::Node* node = pending.back();
        pending.pop_back();
        if (node->IsText()) text += node->Data();
        for (auto child = node->Children().rbegin(); child != node->Children().rend(); ++child)
            pending.push_back(child->get());
    }
    return text;
}

} // namespace

TEST(PageLineScan, BodyEndIsTheMarkerTagOnlyNeverTheWord) {
    for (const wchar_t* line : {L"<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>",
                                L"<HR id=bodyend width=\"50%\" color=black SIZE=1>", L" &nbsp;<BR><hr ID=\"BodyEnd\">"})
        EXPECT_TRUE(IsBodyEndLine(line)) << line;
    for (const wchar_t* line :
         {L"<A href=\"http://www.example.com/nobodyEND/x\">&nbsp;Somebodyend story&nbsp;</A>",
          L"<title>Nobodyend</title>", L"<B>Nobodyend</B>", L"<A href=\"x<HR id=bodyend>\">t</A>",
          L"text <HR id=bodyend>", L"<HR id=bodyends>", L"<HR class=bodyend>", L"&lt;HR id=bodyend&gt;"})
        EXPECT_FALSE(IsBodyEndLine(line)) << line;
}

class PageIntegrity : public StoreTest {};

TEST_F(PageIntegrity, TheWordBodyendInTitlesAddressesOrNamesCutsNoLink) {
    const CString page = L"Nobodyend";
    std::vector<CString> addresses;
    const wchar_t* sections[] = {L"A", L"C", L"D", L"A", L"C", L"D", L"D", L"A"};
    for (int i = 0; i < 8; ++i) {
        CString address;
        address.Format(L"http://www.example.com/nobodyEND/%d", i);
        ASSERT_EQ(AddLinkToPage(page, sections[i], L"Somebodyend story", address, L""), 1);
        addresses.push_back(address);
    }
    ASSERT_EQ(AddLinkToPage(page, L"C", L"Last BODYEND", L"http://www.example.com/last", L""), 1);
    ASSERT_EQ(AppendEventToPage(page, L"Party", L"1-2-2026", L"bodyend"), 1);
    CString text = ReadPage(PagePath(page));
    for (const CString& address : addresses) EXPECT_EQ(Count(text, L"\"" + address + L"\""), 1) << address.GetString();
    EXPECT_EQ(Count(text, L"http://www.example.com/last"), 1);
    EXPECT_EQ(Count(text, L"<HR id=bodyend"), 1);
    EXPECT_EQ(Count(text, L"</html>"), 1);
    EXPECT_LT(text.Find(L"Party"), text.Find(L"&gt;&gt;&gt;A"));
    EXPECT_EQ(IndexValue(page), L"A,1;C,1;D,1");
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(PageIntegrity, HostileTitlesAndAddressesNeverBecomeSectionsThroughEditorSaves) {
    CString page = BuildPageTemplate(L"Work");
    LinkPlacement where;
    const wchar_t* titles[] = {L">>>Evil<<<", L"&gt;&gt;&gt;Evil&lt;&lt;&lt;", L"a <<<b>>> c", L"News"};
    for (const wchar_t* title : titles) {
        CString link;
        FormatLinkLine(link, title, L"http://x.example/>>>Bad<<</&gt;&gt;&gt;Worse&lt;&lt;&lt;", L"");
        page = InsertLinkIntoPageText(page, L"News", link, where);
    }
    EXPECT_EQ(BuildAllPagesValue(page), L"News,1");
    for (int save = 1; save <= 3; ++save) {
        page = SavedByEditor(page);
        EXPECT_EQ(BuildAllPagesValue(page), L"News,1") << "save " << save;
        EXPECT_EQ(Count(BodyText(page), L">>>Evil<<<"), 2) << "save " << save;
        // A clip into the section "Evil" makes a section of its own, and one
        // into "News" goes into News.
        InsertLinkIntoPageText(page, L"Evil", L"\n<A href=\"e\">e</A>\n", where);
        EXPECT_EQ(where, LinkPlacement::NewSection);
        page = InsertLinkIntoPageText(page, L"News", L"\n<A href=\"n\">n</A>\n", where);
        EXPECT_EQ(where, LinkPlacement::InSection);
    }
    EXPECT_EQ(BuildAllPagesValue(SavedByEditor(page)), L"News,1");
}

TEST_F(PageIntegrity, TypedSectionNamesAreWrittenAsTextAndFoundAgain) {
    const CString section = L"<i>x</i> >>>y<<<";
    LinkPlacement where;
    ASSERT_EQ(AddLinkToPage(L"S", section, L"one", L"http://1/", L"", &where), 1);
    EXPECT_EQ(where, LinkPlacement::NewSection);
    CString text = ReadPage(PagePath(L"S"));
    EXPECT_EQ(text.Find(L"<i>"), -1) << text.GetString();
    CString value = IndexValue(L"S");
    EXPECT_EQ(RegUpdateFile(PagePath(L"S")), 1);
    EXPECT_EQ(IndexValue(L"S"), value); // what the page holds is what the index said
    ASSERT_EQ(AddLinkToPage(L"S", section, L"two", L"http://2/", L"", &where), 1);
    EXPECT_EQ(where, LinkPlacement::InSection);
    // The index value, as the dialog hands it back, names the same section.
    CString handed = value.Left(value.GetLength() - 2);
    handed.Replace(L"|||", L";");
    ASSERT_EQ(AddLinkToPage(L"S", handed, L"three", L"http://3/", L"", &where), 1);
    EXPECT_EQ(where, LinkPlacement::InSection);
    EXPECT_EQ(Count(BodyText(ReadPage(PagePath(L"S"))), section), 1);

    // A typed name still finds its section after the editor saved the page.
    ASSERT_EQ(AddLinkToPage(L"R", L"<b>R&D</b>", L"one", L"http://1/", L""), 1);
    WritePage(PagePath(L"R"), SavedByEditor(ReadPage(PagePath(L"R"))));
    ASSERT_EQ(AddLinkToPage(L"R", L"<b>R&D</b>", L"two", L"http://2/", L"", &where), 1);
    EXPECT_EQ(where, LinkPlacement::InSection);
    text = ReadPage(PagePath(L"R"));
    EXPECT_EQ(Count(text, L"<b>"), 0);
    EXPECT_EQ(Count(BodyText(text), L"<b>R&D</b>"), 1);
}

TEST_F(PageIntegrity, EventEntriesSurviveTheEditorAndOldEntriesStillRead) {
    ASSERT_EQ(AddNewPage(L"Ev"), 1);
    ASSERT_EQ(AppendEventToPage(L"Ev", L"Meeting", L"1-2-2024", L"<<<call the printer & co"), 1);
    CString text = ReadPage(PagePath(L"Ev"));
    EXPECT_EQ(RegUpdateFile(PagePath(L"Ev")), 1);
    EXPECT_EQ(IndexValue(L"Ev"), L"Meeting(1-2-2024),1");
    CString saved = SavedByEditor(text);
    EXPECT_GE(BodyText(saved).Find(L"<<<call the printer & co"), 0) << saved.GetString();
    EXPECT_EQ(BuildAllPagesValue(saved), L"Meeting(1-2-2024),1");

    // An entry as earlier versions wrote it still names its section.
    WritePage(PagePath(L"Old"), L"<html id=tq1>\n<body>\n>>>Trip(3-4-2025)<<<Bring maps<BR>\n</body>\n");
    EXPECT_EQ(RegUpdateFile(PagePath(L"Old")), 1);
    EXPECT_EQ(IndexValue(L"Old"), L"Trip(3-4-2025),1");
}

TEST_F(PageIntegrity, ReservedDeviceNamesAreRefusedAsPageNames) {
    for (const wchar_t* name : {L"CON", L"nul", L"COM1", L"AUX", L"LPT1", L"CONOUT$", L"con.htm", L"Work\\prn",
                                L"Nul .txt"}) {
        EXPECT_FALSE(IsValidPageName(name)) << name;
        size_t shown = m_boxes.Boxes().size();
        EXPECT_EQ(AddLinkToPage(name, L"News", L"t", L"http://t/", L""), 0) << name;
        ASSERT_EQ(m_boxes.Boxes().size(), shown + 1) << name;
        EXPECT_EQ(m_boxes.Boxes().back().text, L"File not Open, A Error Happened While Openning the File.");
        EXPECT_EQ(AddNewPage(name), 0) << name;
    }
    for (const wchar_t* name : {L"CONSOLE", L"COM0", L"Contacts", L"LPT10", L"Work\\Nullable"})
        EXPECT_TRUE(IsValidPageName(name)) << name;
}

TEST_F(PageIntegrity, LeftoversOfInterruptedWritesAreClearedButNeverOneInUse) {
    // A process that has ended stands for a writer killed in the middle of a
    // write; its handle stays open so that its id is not given out again.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    CString command = L"\"" + CString(self) + L"\" --gtest_filter=None";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION ended = {};
    ASSERT_TRUE(CreateProcessW(nullptr, command.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &ended));
    ASSERT_EQ(WaitForSingleObject(ended.hProcess, 60000), WAIT_OBJECT_0);
    auto leftover = [](const CString& folder, unsigned long processId, int n) {
        CString path;
        path.Format(L"%ls\\~tq%lx-%x-%lx.tmp", folder.GetString(), processId, n, 1234ul);
        WriteFileBytes(path, std::string(1000, 'x'));
        return path;
    };
    CreateDirectoryW(Allpages() + L"\\Sub", nullptr);
    CString stale = leftover(Allpages(), ended.dwProcessId, 1);
    CString held = leftover(Allpages(), ended.dwProcessId, 2);
    CString live = leftover(Allpages(), GetCurrentProcessId(), 3);
    CString staleBelow = leftover(Allpages() + L"\\Sub", ended.dwProcessId, 4);
    CString foreign = Allpages() + L"\\~tqnotes.tmp";
    WriteFileBytes(foreign, "mine");
    HANDLE writing = CreateFileW(held, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                 nullptr);
    ASSERT_NE(writing, INVALID_HANDLE_VALUE);

    ASSERT_EQ(AddLinkToPage(L"Work", L"News", L"t", L"http://t/", L""), 1); // writes Allpages
    EXPECT_FALSE(PathExists(stale));
    EXPECT_TRUE(PathExists(held));
    EXPECT_TRUE(PathExists(live));
    EXPECT_TRUE(PathExists(foreign));
    EXPECT_TRUE(PathExists(staleBelow)); // nothing written there yet

    EXPECT_EQ(RebuildAllPagesIndex(), 1); // as at start
    EXPECT_FALSE(PathExists(staleBelow));
    EXPECT_TRUE(PathExists(held));
    CloseHandle(writing);
    EXPECT_EQ(RebuildAllPagesIndex(), 1);
    EXPECT_FALSE(PathExists(held));
    EXPECT_TRUE(PathExists(live));
    EXPECT_TRUE(PathExists(foreign));
    CloseHandle(ended.hThread);
    CloseHandle(ended.hProcess);
}

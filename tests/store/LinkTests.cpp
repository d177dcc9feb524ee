#include "StoreFixture.h"

#include "links/LinkInsertion.h"
#include "links/LinkLine.h"
#include "links/LinkMerge.h"
#include "favorites/PageLinkWalker.h"
#include "pages/PageTemplate.h"
#include "index/AllPagesIndex.h"
#include "util/Registry.h"

#include "Random.h"

#include <windows.h>

#include <thread>
#include <vector>

namespace {

const CString kFooter = L"<center><font size=2><a href= \"http://www.tarvelo.com\">Tarvelo</a></font></center>\n";
const CString kMarker = L"<HR id=bodyend width=\"50%\" color=black size=1>\n";
const CString kFive = L"&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";

int Count(const CString& text, const CString& what) {
    int count = 0;
    for (int at = text.Find(what); at >= 0; at = text.Find(what, at + 1)) ++count;
    return count;
}

} // namespace

TEST(LinkLine, HasItsThreeForms) {
    CString out;
    FormatLinkLine(out, L"Paper", L"http://a/", L"");
    EXPECT_EQ(out, L"\n<A href=\"http://a/\">&nbsp;Paper&nbsp;</A>\n");
    out.Empty();
    FormatLinkLine(out, L"Shot", L"", L"C:\\T\\Pic\\12.jpg");
    EXPECT_EQ(out, L"\n<A href=\"C:\\T\\Pic\\12.jpg\"><img  width=60 height=60 src=\"C:\\T\\Pic\\12.jpg\"></img>"
                   L"&nbsp;Shot&nbsp;</A>\n");
    out.Empty();
    FormatLinkLine(out, L"News (3-4-2021) |site| (5-6-2022)", L"http://a/", L"C:\\T\\Pic\\12.jpg");
    EXPECT_EQ(out, L"\n<A href=\"http://a/\"><img width=100 height=60 src=\"C:\\T\\Pic\\12.jpg\"></img>"
                   L"&nbsp;News (3-4-2021)|12 |site| (3-4-2021)|12&nbsp;</A>\n");
    out.Empty();
    FormatLinkLine(out, L"x", L"", L"");
    EXPECT_EQ(out, L"");
}

TEST(LinkLine, EscapesMarkupFromWebPagesOnce) {
    CString out;
    FormatLinkLine(out, L"<script>a&b &amp; &#39; &#x27; &bogus</script>\r\nx", L"http://a/?q=\"<y>\"&r=1", L"");
    EXPECT_EQ(out, L"\n<A href=\"http://a/?q=&quot;&#60;y&#62;&quot;&r=1\">&nbsp;&#60;script&#62;a&amp;b &amp; &#39; "
                   L"&#x27; &amp;bogus&#60;/script&#62;  x&nbsp;</A>\n");
}

TEST(LinkLine, ClipTextNeverWritesASectionMarker) {
    for (const wchar_t* text : {L"a >>> b <<< c", L"&gt;&gt;&gt;x&LT;&lt;&lt;", L">>&gt;"}) {
        CString escaped = EscapeLinkText(text) + EscapeLinkAddress(text);
        EXPECT_EQ(escaped.Find(L">>>"), -1) << text;
        EXPECT_EQ(escaped.Find(L"<<<"), -1) << text;
        CString upper = escaped;
        upper.MakeUpper();
        EXPECT_EQ(upper.Find(L"&GT;"), -1) << text;
        EXPECT_EQ(upper.Find(L"&LT;"), -1) << text;
    }
}

TEST(LinkLine, TrailingMarkupMovesBehindTheLastLink) {
    CString text = L"head\n<A href=\"1\">&nbsp;one&nbsp;</A>&nbsp;tail text<BR 2>\n";
    CString trailing;
    EXPECT_EQ(FindLastPageMarkers(text, trailing, 100), 1);
    EXPECT_EQ(text, L"head\n<A href=\"1\">&nbsp;one&nbsp;</A><br>\n");
    EXPECT_EQ(trailing, L"tail text<BR 2>\n");

    text = L"x<A href=\"1\">one</A> &lt;&lt;&lt; rest\n";
    trailing = L"unchanged";
    EXPECT_EQ(FindLastPageMarkers(text, trailing, 100), 1);
    EXPECT_EQ(text, L"x<A href=\"1\">one</A> &LT;&LT;&LT;<br>\n");
    EXPECT_EQ(trailing, L" rest\n");

    text = L"ab";
    trailing = L"unchanged";
    EXPECT_EQ(FindLastPageMarkers(text, trailing, 100), 0);
    EXPECT_EQ(trailing, L"unchanged");
}

class LinkInsertion : public StoreTest {};

TEST_F(LinkInsertion, NewSectionGoesAfterTheHeadLineOfANewPage) {
    LinkPlacement where;
    ASSERT_EQ(AddLinkToPage(L"Work", L"News", L"Paper", L"http://a.example/x", L"", &where), 1);
    EXPECT_EQ(where, LinkPlacement::NewSection);
    const CString expected =
        L"<html id=tq1>\n<head>\n<title>Work</title>\n</head>\n"
        L"<body background=\"#606666\" color =\"#606666\">\n"
        L"<center><font color=\"#606666\" size=5 face=\"Verdana, Arial, Helvetica, sans-serif\"><B>Work</B></font>"
        L"</center>\n"
        L"<hr color=blue size=1>&gt;&gt;&gt;News&lt;&lt;&lt;\n<br>\n" + kFive +
        L"\n<A href=\"http://a.example/x\">&nbsp;Paper&nbsp;</A>\n"
        L"<BR 2><BR 2><BR 2>" + kMarker + kFooter + L"</body>\n</html>\n";
    EXPECT_EQ(ReadFileBytes(PagePath(L"Work")), Utf16Bytes(expected));
    EXPECT_EQ(IndexValue(L"Work"), L"News,1");
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(LinkInsertion, LaterLinksOfASectionFollowTheLastOne) {
    ASSERT_EQ(AddLinkToPage(L"Work", L"News", L"First", L"http://1/", L""), 1);
    ASSERT_EQ(AddLinkToPage(L"Work", L"Other", L"Else", L"http://9/", L""), 1);
    LinkPlacement where;
    ASSERT_EQ(AddLinkToPage(L"Work", L"News", L"Second", L"http://2/", L"", &where), 1);
    EXPECT_EQ(where, LinkPlacement::InSection);
    ASSERT_EQ(AddLinkToPage(L"Work", L"News", L"Third", L"http://3/", L""), 1);
    CString page = ReadPage(PagePath(L"Work"));
    int first = page.Find(L"First"), second = page.Find(L"Second"), third = page.Find(L"Third");
    int other = page.Find(L"&gt;&gt;&gt;Other"), marker = page.Find(L"bodyend");
    EXPECT_TRUE(first < second && second < third && third < other && other < marker) << page.GetString();
    EXPECT_EQ(Count(page, L"bodyend"), 1);
    EXPECT_EQ(Count(page, L"Tarvelo</a>"), 1);
    EXPECT_EQ(Count(page, L"</html>"), 1);
    EXPECT_EQ(page.Left(14), L"<html id=tq1>\n");
    EXPECT_EQ(IndexValue(L"Work"), L"News,1;Other,1");
}

TEST_F(LinkInsertion, FullTableGetsANewRow) {
    const CString page =
        L"<html id=tq1>\n<body>\n<TABLE col=\"3\">\n<TBODY>\n"
        L"<TR><TD colspan=3>&gt;&gt;&gt;Tab&lt;&lt;&lt;</TD></TR>\n"
        L"<TR><TD width=40></TD>\n"
        L"<TD pos=\"0\">\n<A href=\"a\">&nbsp;A&nbsp;</A></TD>\n"
        L"<TD pos=\"1\">\n<A href=\"b\">&nbsp;B&nbsp;</A></TD>\n"
        L"<TD pos=\"2\">\n<A href=\"c\">&nbsp;C&nbsp;</A></TD>\n"
        L"<TD width=40></TD></TR></TBODY></TABLE>\n" + kMarker + L"</body></html>\n";
    WritePage(PagePath(L"T"), page);
    LinkPlacement where;
    ASSERT_EQ(AddLinkToPage(L"T", L"Tab", L"New", L"http://n/", L"", &where), 1);
    EXPECT_EQ(where, LinkPlacement::InSection);
    CString text = ReadPage(PagePath(L"T"));
    EXPECT_NE(text.Find(L"<A href=\"c\">&nbsp;C&nbsp;</A></TD>\n<TD width=40></TD></TR>\n"
                        L"<TR><TD width=40></TD>\n"
                        L"<TD pos=\"0\">\n<A href=\"http://n/\">&nbsp;New&nbsp;</A>\n</TD>\n"
                        L"<TD pos=\"1\">\n<DIV>&nbsp;</DIV></TD>\n"
                        L"<TD pos=\"2\">\n<DIV>&nbsp;</DIV></TD>\n"
                        L"<TD width=40></TD></TR></TBODY></TABLE>\n"),
              -1)
        << text.GetString();

    // The next link takes the first empty cell.
    ASSERT_EQ(AddLinkToPage(L"T", L"Tab", L"Next", L"http://m/", L""), 1);
    text = ReadPage(PagePath(L"T"));
    EXPECT_NE(text.Find(L"<TD pos=\"1\">\n<A href=\"http://m/\">&nbsp;Next&nbsp;</A>\n</TD>\n<TD pos=\"2\">\n"
                        L"<DIV>&nbsp;</DIV></TD>"),
              -1)
        << text.GetString();
    EXPECT_EQ(Count(text, L"<TR><TD width=40></TD>"), 2);
}

TEST_F(LinkInsertion, EveryTagOfTheSameTextReceivesTheLink) {
    WritePage(PagePath(L"D"), L"<html id=tq1>\n&gt;&gt;&gt;Dup&lt;&lt;&lt;\n<A href=\"1\">&nbsp;one&nbsp;</A>\n"
                              L"&gt;&gt;&gt;Other&lt;&lt;&lt;\n&gt;&gt;&gt;Dup&lt;&lt;&lt;\n"
                              L"<A href=\"2\">&nbsp;two&nbsp;</A>\n&gt;&gt;&gt;End&lt;&lt;&lt;\n" + kMarker +
                              L"</body></html>\n");
    ASSERT_EQ(AddLinkToPage(L"D", L"Dup", L"New", L"http://n/", L""), 1);
    CString text = ReadPage(PagePath(L"D"));
    EXPECT_EQ(Count(text, L"http://n/"), 2);
    EXPECT_LT(text.Find(L"http://n/"), text.Find(L"Other"));
}

TEST_F(LinkInsertion, EmptySectionGoesToTheEndOfTheContentAndLeavesTheIndex) {
    ASSERT_EQ(AddNewPage(L"E"), 1);
    WriteSettingString(L"AllPages", L"E", L"Kept,1");
    LinkPlacement where;
    ASSERT_EQ(AddLinkToPage(L"E", L"", L"Plain", L"http://p/", L"", &where), 1);
    EXPECT_EQ(where, LinkPlacement::ContentEnd);
    CString text = ReadPage(PagePath(L"E"));
    EXPECT_LT(text.Find(L"http://p/"), text.Find(L"bodyend"));
    EXPECT_EQ(text.Find(L"&gt;&gt;&gt;"), -1);
    EXPECT_EQ(IndexValue(L"E"), L"Kept,1");
}

TEST_F(LinkInsertion, PageWithoutEndOfContentStillGetsTheLink) {
    WritePage(PagePath(L"Odd"), L"<html id=tq1>\n<p>text</p>\n</html>\n");
    LinkPlacement where;
    ASSERT_EQ(AddLinkToPage(L"Odd", L"News", L"Kept", L"http://k/", L"", &where), 1);
    EXPECT_EQ(where, LinkPlacement::NewSection);
    EXPECT_EQ(ReadPage(PagePath(L"Odd")), L"<html id=tq1>\n<p>text</p>\n&gt;&gt;&gt;News&lt;&lt;&lt;\n<br>\n" + kFive +
                                              L"\n<A href=\"http://k/\">&nbsp;Kept&nbsp;</A>\n</html>\n");
    EXPECT_EQ(IndexValue(L"Odd"), L"News,1");

    WritePage(PagePath(L"Bare"), L"just text");
    ASSERT_EQ(AddLinkToPage(L"Bare", L"", L"End", L"http://e/", L"", &where), 1);
    EXPECT_EQ(where, LinkPlacement::PageEnd);
    EXPECT_EQ(ReadPage(PagePath(L"Bare")), L"just text\n" + kFive + L"\n<A href=\"http://e/\">&nbsp;End&nbsp;</A>\n");
}

TEST_F(LinkInsertion, ContentEndWithoutMarkerClosesWithTheBodyOnly) {
    WritePage(PagePath(L"NoMarker"), L"<html id=tq1>\n<body>\n<p>x</p></body>\n</html>\n");
    ASSERT_EQ(AddLinkToPage(L"NoMarker", L"", L"L", L"http://l/", L""), 1);
    CString text = ReadPage(PagePath(L"NoMarker"));
    EXPECT_EQ(text.Right(16), L"</body>\n</html>\n");
    EXPECT_EQ(text.Find(L"bodyend"), -1);
    EXPECT_LT(text.Find(L"<p>x</p>"), text.Find(L"http://l/"));
}

TEST_F(LinkInsertion, UnreadablePageIsLeftAsItWasAndTheCallerTold) {
    ASSERT_EQ(AddNewPage(L"Busy"), 1);
    std::string before = ReadFileBytes(PagePath(L"Busy"));
    HANDLE held = CreateFileW(PagePath(L"Busy"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(AddLinkToPage(L"Busy", L"News", L"t", L"http://t/", L""), 0);
    CloseHandle(held);
    EXPECT_TRUE(m_boxes.Saw(L"File not Open, A Error Happened While Openning the File."));
    EXPECT_EQ(ReadFileBytes(PagePath(L"Busy")), before);
    EXPECT_EQ(IndexValue(L"Busy"), L"<missing>");
}

TEST_F(LinkInsertion, LinkWithNothingToLeadToChangesNoPage) {
    // Without an address or a picture the page would only gain an empty line.
    ASSERT_EQ(AddNewPage(L"Kept"), 1);
    std::string before = ReadFileBytes(PagePath(L"Kept"));
    EXPECT_EQ(AddLinkToPage(L"Kept", L"News", L"A name", L"", L""), 0);
    EXPECT_EQ(AddLinkToPage(L"Missing", L"News", L"", L"", L""), 0);
    EXPECT_TRUE(m_boxes.Saw(L"The link has neither an address nor a picture, so it was not added."));
    EXPECT_EQ(ReadFileBytes(PagePath(L"Kept")), before);
    EXPECT_FALSE(PathExists(PagePath(L"Missing")));
    EXPECT_EQ(IndexValue(L"Kept"), L"<missing>");
    // A picture alone leads somewhere.
    EXPECT_EQ(AddLinkToPage(L"Kept", L"", L"Shot", L"", L"C:\\Pic\\1.jpg"), 1);
}

TEST_F(LinkInsertion, HtmlPageReceivesTheLinkInPlace) {
    WritePage(Allpages() + L"\\Old.html", L"<html id=tq1>\n<body>\n" + kMarker + L"</body>\n</html>\n");
    ASSERT_EQ(AddLinkToPage(L"Old", L"", L"t", L"http://t/", L""), 1);
    EXPECT_FALSE(PathExists(PagePath(L"Old")));
    EXPECT_NE(ReadPage(Allpages() + L"\\Old.html").Find(L"http://t/"), -1);
    // A new section is indexed under the name the index gives the page, by its file.
    ASSERT_EQ(AddLinkToPage(L"Old", L"Fresh", L"u", L"http://u/", L""), 1);
    EXPECT_EQ(IndexValue(L"Old.html"), L"Fresh,1");
    EXPECT_EQ(IndexValue(L"Old"), L"<missing>");
}

TEST_F(LinkInsertion, ConcurrentWritersLoseNoLink) {
    ASSERT_EQ(AddNewPage(L"Busy"), 1);
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w)
        writers.emplace_back([w] {
            for (int i = 0; i < 10; ++i) {
                CString address;
                address.Format(L"http://w%d/%d", w, i);
                AddLinkToPage(L"Busy", L"News", L"t", address, L"");
            }
        });
    for (auto& writer : writers) writer.join();
    CString text = ReadPage(PagePath(L"Busy"));
    for (int w = 0; w < 4; ++w)
        for (int i = 0; i < 10; ++i) {
            CString address;
            address.Format(L"\"http://w%d/%d\"", w, i);
            EXPECT_EQ(Count(text, address), 1) << address.GetString();
        }
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(LinkInsertion, EventGoesBeforeTheFirstSection) {
    WritePage(PagePath(L"Ev"), L"<html id=tq1>\n<body>\n<P> >>>Old<<<</P>\n" + kMarker + L"</body>\n");
    ASSERT_EQ(AppendEventToPage(L"Ev", L"Meeting", L"1-2-2024", L"Room 4"), 1);
    EXPECT_EQ(ReadPage(PagePath(L"Ev")), L"<html id=tq1>\n<body>\n&gt;&gt;&gt;Meeting(1-2-2024)&lt;&lt;&lt;Room 4<BR>\n"
                                           L"<P> &GT;&GT;&GT;Old&LT;&LT;&LT;</P>\n" + kMarker + L"</body>\n");

    ASSERT_EQ(AddNewPage(L"NoTags"), 1);
    ASSERT_EQ(AppendEventToPage(L"NoTags", L"E", L"d", L"t"), 1);
    CString text = ReadPage(PagePath(L"NoTags"));
    EXPECT_NE(text.Find(L"<BR 2><BR 2><BR 2>&gt;&gt;&gt;E(d)&lt;&lt;&lt;t<BR>\n<HR id=bodyend"), -1) << text.GetString();
}

TEST_F(LinkInsertion, HostileClipsLoseNoLinkAndKeepThePageWhole) {
    ASSERT_EQ(AddNewPage(L"Wild"), 1);
    Random random(4242);
    std::vector<CString> addresses;
    for (int i = 0; i < 60; ++i) {
        CString address;
        address.Format(L"http://h%d/", i);
        address += random.HostileText(40);
        CString section = random.Chance(30) ? CString() : random.FromAlphabet(L"abcXYZ ,;", 1, 6);
        ASSERT_EQ(AddLinkToPage(L"Wild", section, random.HostileText(80), address, L""), 1) << "link " << i;
        addresses.push_back(address);
    }
    CString text = ReadPage(PagePath(L"Wild"));
    for (size_t i = 0; i < addresses.size(); ++i) {
        CString href;
        href.Format(L"\"http://h%zu/", i);
        int at = text.Find(href);
        ASSERT_GE(at, 0) << "link " << i << " lost";
        EXPECT_EQ(text.Mid(at + 1, EscapeLinkAddress(addresses[i]).GetLength()), EscapeLinkAddress(addresses[i]));
    }
    EXPECT_EQ(Count(text, L"bodyend"), 1);
    EXPECT_EQ(Count(text, L"</html>"), 1);
    EXPECT_EQ(RegUpdateFile(PagePath(L"Wild")), 1);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(LinkInsertion, LinkInTheLastSectionFollowsItsLastLinkByteForByte) {
    WritePage(PagePath(L"Last"), L"<html id=tq1>\n<body>\n&gt;&gt;&gt;A&lt;&lt;&lt;\n"
                                 L"<A href=\"1\">&nbsp;one&nbsp;</A>\n<A href=\"2\">&nbsp;two&nbsp;</A>&nbsp;note\n" +
                                 kMarker + L"</body>\n</html>\n");
    ASSERT_EQ(AddLinkToPage(L"Last", L"A", L"three", L"http://3/", L""), 1);
    const CString expected = L"<html id=tq1>\n<body>\n&gt;&gt;&gt;A&lt;&lt;&lt;\n"
                             L"<A href=\"1\">&nbsp;one&nbsp;</A>\n<A href=\"2\">&nbsp;two&nbsp;</A><br>\n" + kFive +
                             L"\n<A href=\"http://3/\">&nbsp;three&nbsp;</A>\nnote\n\n"
                             L"<BR 2><BR 2><BR 2>" + kMarker + kFooter + L"</body>\n</html>\n";
    EXPECT_EQ(ReadFileBytes(PagePath(L"Last")), Utf16Bytes(expected));
}

// Run only as a child of ClipProcessesWritingAtOnceLoseNoLink: one clip
// process adding its links to the shared page.
TEST_F(LinkInsertion, LinksAnotherProgramAddedJoinTheEditorsTextAndOtherChangesAreTold) {
    auto links = [](const CString& text) {
        std::vector<CString> found;
        CString section;
        PageLinkWalk walk;
        walk.onTag = [&](const CString& tag) { section = tag; };
        walk.onLink = [&](const CString& title, const CString& address) { found.push_back(section + L"|" + title + L"|" + address); };
        WalkPageLinks(text, walk);
        return found;
    };
    ASSERT_EQ(AddLinkToPage(L"Merge", L"News", L"Old", L"http://old.example/", L""), 1);
    ASSERT_EQ(AddLinkToPage(L"Merge", L"Work", L"Dropped", L"http://dropped.example/", L""), 1);
    CString loaded = ReadPage(PagePath(L"Merge"));
    // The editor: a typed word, a link taken out, and one typed in the
    // engine's spelling that a clip then brings as well.
    CString edited = loaded;
    edited.Replace(L"<A href=\"http://dropped.example/\">&nbsp;Dropped&nbsp;</A>", L"");
    edited.Replace(L"<hr color=blue size=1>", L"<hr color=blue size=1>typed word"
                                              L"<A href=\"http://twice.example/?a=1&amp;b=2\">&nbsp;Twice &lt;b&gt;&nbsp;</A>");
    ASSERT_EQ(AddLinkToPage(L"Merge", L"News", L"Clipped", L"http://clip.example/", L""), 1);
    ASSERT_EQ(AddLinkToPage(L"Merge", L"Fresh", L"New section", L"http://fresh.example/", L""), 1);
    ASSERT_EQ(AddLinkToPage(L"Merge", L"", L"Twice <b>", L"http://twice.example/?a=1&b=2", L""), 1);
    CString onDisk = ReadPage(PagePath(L"Merge"));

    OtherWriterMerge merge = MergeOtherWriterLinks(loaded, onDisk, edited);
    EXPECT_TRUE(merge.linksOnly);
    EXPECT_EQ(merge.linksAdded, 2);
    EXPECT_NE(merge.merged.Find(L"typed word"), -1);
    EXPECT_EQ(links(merge.merged),
              (std::vector<CString>{L"|Twice &lt;b&gt;|http://twice.example/?a=1&amp;b=2", L"News|Old|http://old.example/",
                                    L"News|Clipped|http://clip.example/", L"Fresh|New section|http://fresh.example/"}));

    // Words of its own, or a link taken away, are more than a clip does.
    CString words = onDisk;
    words.Replace(L"<title>Merge</title>", L"<title>Renamed</title>");
    EXPECT_FALSE(MergeOtherWriterLinks(loaded, words, edited).linksOnly);
    CString fewer = onDisk;
    fewer.Replace(L"http://old.example/", L"http://other.example/");
    OtherWriterMerge changed = MergeOtherWriterLinks(loaded, fewer, edited);
    EXPECT_FALSE(changed.linksOnly);
    EXPECT_EQ(changed.linksAdded, 3);  // what it added still joins in when the user keeps both
    OtherWriterMerge none = MergeOtherWriterLinks(loaded, loaded, edited);
    EXPECT_TRUE(none.linksOnly);
    EXPECT_EQ(none.merged, edited);
}

TEST(LinkInsertionChild, DISABLED_AddLinksAsAClipProcess) {
    MessageBoxRecorder boxes;
    wchar_t id[16] = {};
    GetEnvironmentVariableW(L"TARVELO_CLIP_CHILD", id, 16);
    // All clip processes start writing at the same moment.
    HANDLE go = OpenEventW(SYNCHRONIZE, FALSE, L"Local\\TarveloStoreTestClipsGo");
    ASSERT_NE(go, nullptr);
    WaitForSingleObject(go, 60000);
    CloseHandle(go);
    for (int i = 0; i < 20; ++i) {
        CString address;
        address.Format(L"http://p%ls/%d", id, i);
        EXPECT_EQ(AddLinkToPage(L"Shared", L"News", L"t", address, L""), 1);
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(LinkInsertion, ClipProcessesWritingAtOnceLoseNoLink) {
    ASSERT_EQ(AddNewPage(L"Shared"), 1);
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, L"Local\\TarveloStoreTestClipsGo");
    ASSERT_NE(go, nullptr);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::vector<PROCESS_INFORMATION> children;
    for (int child = 0; child < 3; ++child) {
        CString id;
        id.Format(L"%d", child);
        SetEnvironmentVariableW(L"TARVELO_CLIP_CHILD", id);
        CString command = L"\"" + CString(self) +
                          L"\" --gtest_also_run_disabled_tests --gtest_filter=LinkInsertionChild.* --gtest_brief=1";
        STARTUPINFOW startup = {sizeof(startup)};
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcessW(nullptr, command.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &process));
        children.push_back(process);
    }
    SetEnvironmentVariableW(L"TARVELO_CLIP_CHILD", nullptr);
    Sleep(500); // let every child reach its wait
    SetEvent(go);
    for (PROCESS_INFORMATION& process : children) {
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 120000), WAIT_OBJECT_0);
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        EXPECT_EQ(code, 0u);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(go);
    CString text = ReadPage(PagePath(L"Shared"));
    for (int child = 0; child < 3; ++child)
        for (int i = 0; i < 20; ++i) {
            CString address;
            address.Format(L"\"http://p%d/%d\"", child, i);
            EXPECT_EQ(Count(text, address), 1) << address.GetString();
        }
}

TEST(LinkMerge, ASavedPageKeepsItsCopyWhenItHoldsAPictureOrATableTheCurrentOneLacks) {
    const CString head = L"<html id=tq1>\n<body>\nmy notes\n&gt;&gt;&gt;News&lt;&lt;&lt;\n";
    const CString link = L"<A href=\"http://a.example/\">&nbsp;A&nbsp;</A>\n";
    const CString thumb = L"<A href=\"http://b.example/\"><img width=100 height=60 src=\"Pic/b.jpg\"></img>&nbsp;B&nbsp;</A>\n";
    const CString picture = L"<IMG src=\"Pic/map.png\">\n";
    const CString table = L"<TABLE border=1><TR><TD>my</TD><TD>notes</TD></TR></TABLE>\n";
    const CString end = L"<BR 2><BR 2><BR 2>" + kMarker + L"</body>\n</html>\n";
    struct Case { CString current, saved; bool keepsBoth; const char* what; };
    const Case cases[] = {
        {head + link + end, head + link + thumb + end, true, "a link's thumbnail travels with its link"},
        {head + link + end, head + picture + link + end, false, "a picture outside the links"},
        {head + picture + link + end, head + L"<img  SRC='Pic/map.png' >\n" + link + end, true, "the same picture"},
        {head + picture + end, head + picture + picture + end, false, "a second copy of the picture"},
        {head + L"my notes\n" + link + end, head + table + link + end, false, "a table whose words the page holds as text"},
        {head + table + link + end, head + table + end, true, "the same table"},
        {head + table + end, head + L"<TABLE border=1><TR><TD>my notes</TD></TR></TABLE>\n" + end, false,
         "a table of other cells"},
    };
    for (const Case& c : cases) {
        ImportedPageMerge merge = MergeImportedPageLinks(c.current, c.saved);
        EXPECT_EQ(merge.keepsBoth, c.keepsBoth) << c.what;
        if (c.keepsBoth) {
            EXPECT_EQ(merge.merged.Find(L"Pic/b.jpg") >= 0, c.saved.Find(L"Pic/b.jpg") >= 0) << c.what;
        }
    }
}

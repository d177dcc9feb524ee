// A page written by the store's template, loaded and saved by the engine,
// must still read as a page: marker, index tags, table columns, empty cells
// on their own line, the body-end marker line.
#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The page template with every setting on, as the store writes it.
CString TemplatePage(const CString& name) {
    return L"<html id=tq1>\n<head>\n<title>" + name + L"</title>\n</head>\n"
           L"<body background=\"#606666\" color =\"#606666\">\n"
           L"<center><font color=\"#606666\" size=5 face=\"Verdana, Arial, Helvetica, sans-serif\"><B>" + name + L"</B></font></center>\n"
           L"<hr color=blue size=1>\n"
           L"<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>\n"
           L"<center><font size=2><a href= \"http://www.tarvelo.example/\">Tarvelo</a></font></center>\n"
           L"</body>\n</html>\n";
}

// The engine's text as the store reads it: lines without their line ends.
std::vector<CString> Lines(const CString& saved) {
    std::vector<CString> lines;
    CString text = saved;
    text.Remove(L'\r');
    int start = 0;
    for (int at; (at = text.Find(L'\n', start)) >= 0; start = at + 1) lines.push_back(text.Mid(start, at - start));
    lines.push_back(text.Mid(start));
    return lines;
}

bool HasLine(const std::vector<CString>& lines, const CString& wanted) {
    for (const auto& line : lines)
        if (line == wanted) return true;
    return false;
}

TEST(PageFormat, TemplatePageKeepsMarkerAndBodyEndLine) {
    CString saved = Reserialize(TemplatePage(L"Work"));
    auto lines = Lines(saved);
    EXPECT_EQ(lines[0], CString(L"<HTML id=tq1>"));
    EXPECT_TRUE(HasLine(lines, L"<HR id=bodyend width=\"50%\" color=black size=1>")) << Show(saved);
    EXPECT_TRUE(HasLine(lines, L"<HR color=blue size=1>")) << Show(saved);
    EXPECT_TRUE(HasLine(lines, L"<BR 2><BR 2><BR 2>")) << Show(saved);
    EXPECT_EQ(Reserialize(saved), saved);
}

TEST(PageFormat, IndexTagsAndSpacesAreWrittenAsEntities) {
    CString page = TemplatePage(L"Work");
    page.Replace(L"<hr color=blue size=1>\n", L"<hr color=blue size=1>\n>>>News\x00A0Tag<<<\n<br>\n");
    CString saved = Reserialize(page);
    EXPECT_GE(saved.Find(L"&gt;&gt;&gt;News&nbsp;Tag&lt;&lt;&lt;"), 0) << Show(saved);
    EXPECT_EQ(Reserialize(saved), saved);
}

TEST(PageFormat, GridTableSavesQuotedColumnsAndEmptyCellsOnTheirOwnLine) {
    CString page = TemplatePage(L"Links");
    page.Replace(L"<hr color=blue size=1>\n",
                 L"<hr color=blue size=1>\n&gt;&gt;&gt;Sites&lt;&lt;&lt;\n"
                 L"<TABLE ID = \"links\" col=2 border=0 width=630 cellpadding=3 bgColor=#6CADD8>"
                 L"<TR><TD bgColor=#FFFFFF width=30 height =20></TD><TD bgColor=#FFFFFF pos=0 width=285\"><DIV>&nbsp</DIV></TD>"
                 L"<TD bgColor=#FFFFFF pos=1 width=285\"><DIV>&nbsp</DIV></TD><TD bgColor=#FFFFFF width=30></TD>\n</TR>\n</TABLE>");
    CString saved = Reserialize(page);
    auto lines = Lines(saved);
    bool tableLine = false, cellLine = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].Find(L"<TABLE") == 0 && lines[i].Find(L"col=\"2\"") > 0) tableLine = true;
        if (lines[i].Find(L"<TD") == 0 && lines[i].Find(L"pos=\"0\">") > 0) {
            cellLine = i + 1 < lines.size() && lines[i + 1] == L"<DIV>&nbsp;</DIV></TD>";
        }
    }
    EXPECT_TRUE(tableLine) << Show(saved);
    EXPECT_TRUE(cellLine) << Show(saved);
    EXPECT_EQ(Reserialize(saved), saved);
}

TEST(PageFormat, LinkLinesSurviveSaving) {
    CString page = TemplatePage(L"Work");
    page.Replace(L"<BR 2>", L"\n<A href=\"http://a.example/?q=1&amp;r=2\">&nbsp;Title (12-8-2026)&nbsp;</A>\n<BR 2>");
    CString saved = Reserialize(page);
    EXPECT_GE(saved.Find(L"<A href=\"http://a.example/?q=1&amp;r=2\">&nbsp;Title (12-8-2026)&nbsp;</A>"), 0) << Show(saved);
    EXPECT_EQ(Reserialize(saved), saved);
}

}  // namespace

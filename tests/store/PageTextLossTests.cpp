// A save that would drop text the page file held but the editor never showed
// (markup cut by a quote that is not closed) is found; ordinary pages, and
// broken markup whose text the editor keeps, are not taken for it.
#include "pages/PageTextLoss.h"

#include <gtest/gtest.h>

namespace {

const CString kHead = L"<html id=tq1>\n<HEAD>\n<TITLE>Notes</TITLE>\n</HEAD>\n<BODY>\n";
const CString kFooter = L"<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>\n"
                        L"<center><font size=2><a href= \"http://www.tarvelo.com\">Tarvelo</a></font></center>\n"
                        L"</body>\n</html>\n";

} // namespace

TEST(PageTextLoss, OnlyTextHiddenByACutQuoteCountsAsDropped) {
    // Read the same by the editor and by the eye: saved as they are (or as
    // the engine writes them again) nothing is dropped.
    const CString kept[] = {
        kHead + L"<DIV>&gt;&gt;&gt;News&lt;&lt;&lt;</DIV>\n<A href=\"http://example.com/a\">&nbsp;Alpha&nbsp;</A><BR>\n" +
            kFooter,
        kHead + L"<b>bold <i>both</b> italic</i> <p>open <div>a < b and c > d & e AT&T</div>\n",
        kHead + L"<a title=\"x > y\" href='http://e.com/?a=1&b=2'>Link text</a> <img src=p.png alt=\"pic\">\n"
                L"<font face=Arial size=2>unquoted</font><table><tr><td>cell</table> tail\n",
        kHead + L"<script>var s = \"<b>\";</script><style>p{}</style><!-- a \"comment --> after\n</body>",
        kHead + L"<a href=\"a\"b\"c\">odd quotes</a> text <br/> </ body> end",
        kHead + L"<img alt=\"a<b>c\" src=\"p.png\"> picture <a title='1 < 2 > 0'>compare</a>\n",
        L"text before any <html> tag <html id=tq0> and after </html> trailing",
    };
    for (const CString& page : kept) {
        EXPECT_FALSE(WouldSaveDropHiddenText(page, page)) << page.GetString();
        // The user deleted words the editor showed: a choice of the user's.
        EXPECT_FALSE(WouldSaveDropHiddenText(page, kHead + kFooter)) << page.GetString();
    }

    // A link's address whose quote never closes: the rest of the page is
    // the address as the editor reads it.
    const CString cut = kHead + L"<DIV>&gt;&gt;&gt;News&lt;&lt;&lt;</DIV>\n<A href=\"http://example.com/a>Alpha</A><BR>\n"
                                L"<DIV>&gt;&gt;&gt;Work&lt;&lt;&lt;</DIV>\nBeta words\n</BODY></HTML>\n";
    const CString shown = kHead + L"<DIV>&gt;&gt;&gt;News&lt;&lt;&lt;</DIV>\n" + kFooter;
    EXPECT_TRUE(WouldSaveDropHiddenText(cut, shown));
    EXPECT_TRUE(WouldSaveDropHiddenText(cut, shown + L"Beta"));
    // The engine writes the runaway value back: still hidden, still dropped.
    EXPECT_TRUE(WouldSaveDropHiddenText(cut, kHead + L"<A href=\"http://example.com/a>Alpha</A>&lt;Work Beta words\">"
                                                     L"</A>\n" + kFooter));
    // A quote closed only by a later tag's attribute hides the text between.
    const CString late = kHead + L"<A href=\"http://example.com/a>Alpha</A> middle words\n"
                                 L"<A href=\"http://example.com/b\">Beta</A>\n" + kFooter;
    EXPECT_TRUE(WouldSaveDropHiddenText(late, kHead + L"<A href=\"x\" b>Beta</A>\n" + kFooter));
    // Typed in again, or the file as it is: nothing is lost.
    EXPECT_FALSE(WouldSaveDropHiddenText(cut, shown + L"Alpha Work Beta words"));
    EXPECT_FALSE(WouldSaveDropHiddenText(cut, L"<p>Alpha Work Beta words News Notes Tarvelo</p>"));
}

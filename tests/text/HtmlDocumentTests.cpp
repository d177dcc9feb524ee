#include "HtmlTestPage.h"
#include "html/StreamReader.h"

#include <gtest/gtest.h>
#include <mshtmcid.h>

#include <string>

namespace {

std::string Escape(const CString& text) {
    std::string buffer(static_cast<size_t>(text.GetLength()) * 8 + 1, '\0');
    int used = 0, written = 0;
    HtmlEscapeNonAscii(text.GetString(), text.GetLength(), buffer.data(), static_cast<int>(buffer.size()), used, written);
    EXPECT_EQ(used, text.GetLength());
    return buffer.substr(0, static_cast<size_t>(written));
}

TEST(HtmlEscape, TurnsNonAsciiIntoHexReferences) {
    EXPECT_EQ(Escape(L"a\x00E9\x20AC"), "a&#x00E9;&#x20AC;");
    EXPECT_EQ(Escape(L"\t\n~\x7F"), "\t\n~&#x007F;");
    EXPECT_EQ(Escape(L"\xD83D\xDE00!\xDBFF\xDFFF"), "&#x1F600;!&#x10FFFF;");  // a pair is one character
    EXPECT_EQ(Escape(L"\xDE00\xD83D"), "&#xDE00;&#xD83D;");
    EXPECT_EQ(Escape(L"\x4E2D"), "&#x4E2D;");
}

TEST(HtmlEscape, NeverWritesPastTheBuffer) {
    char buffer[12];
    int used = 0, written = 0;
    HtmlEscapeNonAscii(L"ab\x00E9\x00E9", 4, buffer, sizeof buffer, used, written);
    EXPECT_EQ(used, 3);
    EXPECT_EQ(written, 10);
    EXPECT_EQ(std::string(buffer), "ab&#x00E9;");
    HtmlEscapeNonAscii(L"abc\xD83D\xDE00", 5, buffer, sizeof buffer, used, written);  // a pair is never cut in two
    EXPECT_EQ(used, 3);
    EXPECT_EQ(std::string(buffer), "abc");
}

TEST(StreamReader, ReadsTheTextThenReportsTheEnd) {
    bcStreamReader stream;
    stream.SetHtml(L"<b>x\x00E9</b>");
    char target[4096];
    ULONG read = 99;
    EXPECT_EQ(stream.Read(target, sizeof target, &read), S_OK);
    EXPECT_EQ(std::string(target, read), "<b>x&#x00E9;</b>");
    EXPECT_EQ(stream.Read(target, sizeof target, &read), S_FALSE);
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(stream.Read(nullptr, 10, &read), E_POINTER);
    void* other = nullptr;
    EXPECT_EQ(stream.QueryInterface(IID_IUnknown, &other), E_NOINTERFACE);
}

TEST(CssLength, ConvertsUnitsToPixels) {
    const std::pair<const wchar_t*, int> cases[] = {{L"12pt", 16}, {L"10mm", 38}, {L"2cm", 76}, {L"1pc", 16},
                                                    {L"1in", 96},  {L"13px", 13}, {L"small", 0}, {L"16", 16}};
    for (const auto& [text, pixels] : cases) EXPECT_EQ(CssLengthToPixels(text), pixels) << testing::PrintToString(CString(text));
}

TEST(HtmlDocument, LoadsTextWithNonAsciiCharacters) {
    HtmlTestPage page(L"<html><head><title>T</title></head><body><p>Caf\x00E9 \x20AC</p></body></html>");
    EXPECT_EQ(page.Element(L"P").GetInnerText(), CString(L"Caf\x00E9 \x20AC"));
    EXPECT_EQ(page.Element(L"P").GetTagName(), CString(L"P"));
    EXPECT_TRUE(page.document.SetDesignMode(true));
    EXPECT_TRUE(page.document.IsDesignMode());
}

TEST(HtmlDocument, LoadKeepsEveryCharacterWhereverItStands) {
    const CString text = L"<html><head><style>p { content: '\x00E9' }</style></head><body><p title=\"\xD83D\xDE00\">"
                         L"\xD83D\xDE00 caf\x00E9</p><!-- r\x00E9sum\x00E9 --><script>var s = '\x20AC\xD83D\xDE00';</script></body></html>";
    HtmlTestPage page(text);
    EXPECT_EQ(page.Element(L"P").GetInnerText(), CString(L"\xD83D\xDE00 caf\x00E9"));
    EXPECT_EQ(page.Element(L"P").GetAttribute(L"title"), CString(L"\xD83D\xDE00"));
    EXPECT_EQ(page.Element(L"SCRIPT").GetInnerHtml(), CString(L"var s = '\x20AC\xD83D\xDE00';"));
    EXPECT_EQ(page.Element(L"STYLE").GetInnerHtml(), CString(L"p { content: '\x00E9' }"));
    EXPECT_GE(page.BodyHtml().Find(L"<!-- r\x00E9sum\x00E9 -->"), 0) << testing::PrintToString(page.BodyHtml());
}

TEST(HtmlDocument, InvalidWrappersAreHarmless) {
    bcHtmlDocument document;
    EXPECT_FALSE(document.IsValid());
    EXPECT_FALSE(document.LoadHtml(L"<p>x"));
    EXPECT_FALSE(document.PasteHtml(L"x"));
    EXPECT_FALSE(document.GetSelectedCell().IsValid());
    bcHtmlElement element;
    EXPECT_EQ(element.GetTagName(), CString());
    EXPECT_FALSE(element.GetParentTable().IsValid());
    EXPECT_FALSE(element.AppendChild(element).IsValid());
    EXPECT_EQ(document.GetBaseFontSize(), 16);
}

TEST(HtmlElement, SkipsInlineElementsUpToTheBlock) {
    HtmlTestPage page(L"<body><p id=p><a href=x><b>bold</b></a></p></body>");
    bcHtmlElement bold = page.Element(L"B");
    EXPECT_EQ(bold.SkipInlineElements(kInlineTagList).GetAttribute(L"id"), CString(L"p"));
    EXPECT_EQ(bold.FindAncestorByTag(L"A").GetAttribute(L"href"), CString(L"x"));
    EXPECT_FALSE(bold.FindAncestorByTag(L"TD").IsValid());
    EXPECT_EQ(page.Element(L"P").GetChildCount(), 1);
}

TEST(HtmlElement, ContentEditsAndEmptiness) {
    HtmlTestPage page(L"<body><div id=a>\r\n \t</div><div id=b>x</div></body>");
    EXPECT_TRUE(page.Element(L"DIV", 0).IsContentEmpty());
    EXPECT_FALSE(page.Element(L"DIV", 1).IsContentEmpty());
    bcHtmlElement second = page.Element(L"DIV", 1);
    EXPECT_EQ(second.GetPreviousSiblingElement().GetAttribute(L"id"), CString(L"a"));
    EXPECT_TRUE(second.InsertAdjacentHtml(L"<I>1</I>", true, true));
    EXPECT_TRUE(second.InsertAdjacentHtml(L"<I>2</I>", false, true));
    EXPECT_TRUE(second.InsertAdjacentHtml(L"<U>3</U>", false, false));
    EXPECT_EQ(second.GetOuterHtml(), CString(L"<DIV id=b><I>1</I>x<I>2</I></DIV>"));
    EXPECT_TRUE(page.Element(L"DIV", 0).SetDivContent(L"&nbsp;"));
    EXPECT_TRUE(page.Element(L"DIV", 0).RemoveAttribute(L"id"));
    EXPECT_EQ(page.BodyHtml(), CString(L"<DIV>\r\n<DIV>&nbsp;</DIV></DIV>\r\n<DIV id=b><I>1</I>x<I>2</I></DIV><U>3</U>"));
}

TEST(HtmlDocument, PasteReplacesSelectedText) {
    HtmlTestPage page(L"<body><p>one two three</p></body>");
    page.SelectText(L"two");
    EXPECT_EQ(page.document.GetSelectedElement(false).GetTagName(), CString(L"P"));
    EXPECT_TRUE(page.document.PasteHtml(L"<B>2</B>"));
    EXPECT_EQ(page.BodyHtml(), CString(L"<P>one <B>2</B> three</P>"));
}

TEST(HtmlDocument, PasteReplacesASelectedImage) {
    HtmlTestPage page(L"<body><p>a<img src=x.png>b</p></body>");
    page.SelectObject(L"IMG");
    EXPECT_EQ(page.document.GetSelectedElement(false).GetTagName(), CString(L"IMG"));
    EXPECT_TRUE(page.document.PasteHtml(L"<I>new</I>"));
    EXPECT_EQ(page.BodyHtml(), CString(L"<P>a<I>new</I>b</P>"));
}

TEST(HtmlDocument, BareCaretHasNoSelectedElementUnlessAsked) {
    HtmlTestPage page(L"<body><p>text</p></body>");
    page.PutCaretIn(L"P");
    EXPECT_FALSE(page.document.GetSelectedElement(false).IsValid());
    EXPECT_EQ(page.document.GetSelectedElement(true).GetTagName(), CString(L"P"));
}

TEST(HtmlDocument, CaretFontSizeFollowsFontsAndBase) {
    HtmlTestPage page(L"<body><font size=2><b>small</b></font><p>plain</p><font style=\"font-size: 12pt\">pt</font></body>");
    page.PutCaretIn(L"B");
    EXPECT_EQ(page.document.GetCaretFontSize(), 14);
    page.PutCaretIn(L"P");
    EXPECT_EQ(page.document.GetCaretFontSize(), 16);
    page.PutCaretIn(L"FONT", 1);
    EXPECT_EQ(page.document.GetCaretFontSize(), 16);
    VARIANT value;
    VariantInit(&value);
    page.PutCaretIn(L"B");
    EXPECT_TRUE(page.document.QueryCommandValue(kCommandPixelFontSize, &value));
    EXPECT_EQ(value.vt, VT_I4);
    EXPECT_EQ(value.lVal, 14);
}

TEST(HtmlDocument, BaseFontSizeComesFromTheBodyRule) {
    HtmlTestPage page(L"<html><head><style>P { color: red } body { font-size: 10pt }</style></head><body>x</body></html>");
    EXPECT_EQ(page.document.GetBaseFontSize(), 13);
    HtmlTestPage plain(L"<body>x</body>");
    EXPECT_EQ(plain.document.GetBaseFontSize(), 16);
    EXPECT_TRUE(plain.document.GetStyleSheet().IsValid());  // an embedded sheet was made in HEAD
    EXPECT_EQ(plain.Element(L"HEAD").GetInnerHtml(), CString(L"<STYLE></STYLE>"));
}

TEST(HtmlDocument, PixelFontSizeBecomesInlineStyle) {
    HtmlTestPage page(L"<body><div>Hello world</div></body>");
    page.SelectText(L"world");
    VARIANT size;
    size.vt = VT_I4;
    size.lVal = 12;
    EXPECT_TRUE(page.document.ExecCommand(kCommandPixelFontSize, size, true));
    EXPECT_EQ(page.BodyHtml(), CString(L"<DIV>Hello <FONT style=\"FONT-SIZE: 12px\">world</FONT></DIV>"));
    EXPECT_EQ(page.document.GetCaretFontSize(), 12);
    VARIANT text;
    text.vt = VT_BSTR;
    ScopedBstr twelve(L"12");
    text.bstrVal = twelve;
    EXPECT_FALSE(page.document.ExecCommand(kCommandPixelFontSize, text, true));
}

// Also on a page that is not in design mode: a caller's command runs.
TEST(HtmlDocument, EngineCommandsChangeTheSelection) {
    HtmlTestPage page(L"<body><div>Hello world</div></body>");
    ASSERT_TRUE(page.document.SetDesignMode(false));
    page.SelectText(L"Hello");
    ScopedBstr red(L"#ff0000");
    VARIANT colour;
    colour.vt = VT_BSTR;
    colour.bstrVal = red;
    EXPECT_TRUE(page.document.ExecCommand(IDM_FORECOLOR, colour, true));
    VARIANT none;
    VariantInit(&none);
    EXPECT_TRUE(page.document.ExecCommand(IDM_BOLD, none, true));
    EXPECT_EQ(page.BodyHtml(), CString(L"<DIV><FONT color=#ff0000><STRONG>Hello</STRONG></FONT> world</DIV>"));
}

TEST(HtmlStyle, ReadsAndWritesPropertiesByCode) {
    HtmlTestPage page(L"<body><td>x</td><span>y</span></body>");
    bcHtmlStyle style = page.Element(L"SPAN").GetStyle();
    EXPECT_TRUE(style.SetProperty(bcStyleBackgroundColor, L"#ffffff"));
    EXPECT_TRUE(style.SetProperty(bcStyleBorder, L"1px solid"));
    EXPECT_FALSE(style.SetProperty(42, L"x"));
    EXPECT_EQ(style.GetProperty(bcStyleBackgroundColor), CString(L"#ffffff"));
    EXPECT_EQ(style.GetProperty(bcStyleBorder), CString(L"1px solid"));
    EXPECT_EQ(style.GetProperty(42), CString());
}

}  // namespace

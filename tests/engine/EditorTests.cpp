// The editor on a document without a window: typing, Enter, line breaks,
// Backspace and Delete across element borders, formats and lists, checked
// by the document's serialization byte for byte; undo and redo back to the
// exact bytes after long seeded sequences; the clipboard's formats and what
// a paste lets in; the engine's dialogs driven through their controls.
#include "EditorFixture.h"
#include "EngineTestSupport.h"
#include "SharedDisplay.h"
#include "Random.h"
#include "com/ComPtr.h"
#include "com/DocumentFactory.h"
#include "com/DocumentState.h"
#include "com/HtmlDocument.h"
#include "dialogs/EditDialogs.h"
#include "editing/Clipboard.h"
#include "dom/TreeWalk.h"
#include "html/HtmlDocument.h"
#include "links/LinkInsertion.h"
#include "links/LinkLine.h"
#include "pages/PageTemplate.h"
#include "MessageBoxRecorder.h"

#include <docobj.h>
#include <mshtmcid.h>
#include <mshtml.h>

#include <atomic>
#include <thread>

namespace {

using editing::Boundary;

TEST_F(EditorFixture, TypingEnterAndLineBreaksBuildParagraphs) {
    Load(L"<BODY><P>Hello world</P></BODY>");
    CaretAt(L"world");
    Type(L"big ");
    EXPECT_EQ(Body(), L"<P>Hello big world</P>");
    Editor().InsertParagraph();
    EXPECT_EQ(Body(), L"<P>Hello big </P>\r\n<P>world</P>");
    Type(L"X");
    Editor().InsertLineBreak();
    Type(L"Y");
    EXPECT_EQ(Body(), L"<P>Hello big </P>\r\n<P>X<BR>Yworld</P>");

    // At a heading's end Enter starts a paragraph; inside it, it splits the heading.
    Load(L"<BODY><H2>Head line</H2></BODY>");
    CaretAt(L"line", 4);
    Editor().InsertParagraph();
    Type(L"p");
    CaretAt(L"line");
    Editor().InsertParagraph();
    EXPECT_EQ(Body(), L"<H2>Head </H2>\r\n<H2>line</H2>\r\n<P>p</P>");

    // In a cell or the body the line around the caret becomes a paragraph; formatting carries on.
    Load(L"<BODY><TABLE><TR><TD>one <B>two</B></TD></TR></TABLE></BODY>");
    CaretAt(L"two", 3);
    Editor().InsertParagraph();
    Type(L"3");
    EXPECT_EQ(Body(), L"<TABLE>\r\n<TBODY>\r\n<TR>\r\n<TD>\r\n<P>one <B>two</B></P>\r\n<P><B>3</B></P></TD></TR></TBODY></TABLE>");

    // A doubled blank stays visible; surrogate pairs go in and out whole.
    Load(L"<BODY><P>a</P></BODY>");
    CaretAt(L"a", 1);
    Type(L"  ");
    Editor().TypeText(L"\U0001F600");
    EXPECT_EQ(Body(), L"<P>a &nbsp;\U0001F600</P>");
    Editor().DeleteBackward();
    EXPECT_EQ(Body(), L"<P>a &nbsp;</P>");

    // Typed addresses become links when the blank after them is typed.
    Load(L"<BODY><P>see </P></BODY>");
    CaretAt(L"see ", 4);
    Type(L"www.example.com");
    state->history.BreakRun();
    Type(L" ok");
    EXPECT_EQ(Body(), L"<P>see <A href=\"http://www.example.com\">www.example.com</A> ok</P>");
    // Undo takes the link back with the blank that made it, to the exact bytes.
    ASSERT_TRUE(state->history.Undo(state->selection));
    EXPECT_EQ(Body(), L"<P>see www.example.com</P>");
    ASSERT_TRUE(state->history.Redo(state->selection));
    state->autoUrlDetect = false;
    Type(L" http://x.org ");
    EXPECT_EQ(Body(), L"<P>see <A href=\"http://www.example.com\">www.example.com</A> ok http://x.org&nbsp;</P>");  // a blank at the line's end stays visible

    // A ruby's annotation never comes to stand directly in a paragraph or list item
    // below the RUBY: read again, its start tag would close them.
    Load(L"<BODY><RUBY><DIV><RT>xx</RT></DIV></RUBY></BODY>");
    CaretAt(L"xx", 1);
    Editor().InsertParagraph();  // a line break instead
    Editor().ToggleList(false);  // nothing
    EXPECT_EQ(Body().Find(L"<RT>x<BR>x</RT></DIV></RUBY>"), Body().GetLength() - 28) << Show(Body());
    EXPECT_EQ(Body().Find(L"<P"), -1);
    Load(L"<BODY><RUBY>a<P>b<RT>c</RUBY></BODY>");  // the RT closed the paragraph
    const CString apart = Body();
    CaretAt(L"b", 1);
    Editor().DeleteForward();
    CaretAt(L"c");
    Editor().DeleteBackward();
    EXPECT_EQ(Body(), apart);
}

// The host's fix-up after each Enter, on the tree: every P becomes a DIV
// with its attributes and content (a no-break space for an empty one); the
// caret moves along with the content.
void ParagraphsToDivs(com::DocumentState& state) {
    dom::Document& document = *state.document;
    std::vector<dom::NodePtr> paragraphs;
    dom::WalkTree(document, [&](const dom::NodePtr& node) {
        if (node->Is(dom::Tag::P)) paragraphs.push_back(node);
        return true;
    });
    for (const dom::NodePtr& paragraph : paragraphs) {
        dom::NodePtr block = document.CreateElement(L"DIV");
        for (const auto& attribute : paragraph->Attributes()) block->SetAttribute(attribute.name, attribute.value);
        if (!paragraph->FirstChild()) paragraph->AppendChild(document.CreateText(CString(wchar_t(0xA0))));
        paragraph->Parent()->InsertBefore(block, paragraph.get());
        while (dom::Node* child = paragraph->FirstChild()) block->AppendChild(child->Self());
        paragraph->Remove();
        for (editing::Boundary* at : {&state.selection.start, &state.selection.end})
            if (at->node == paragraph) *at = editing::NormalizeCaret({block, at->offset});
    }
}

// The deepest nesting of DIV elements below the body.
int DivDepth(const dom::Node& node) {
    int deepest = 0;
    for (const auto& child : node.Children()) deepest = std::max(deepest, DivDepth(*child));
    return deepest + (node.Is(dom::Tag::Div) ? 1 : 0);
}

// Enter in a line of its own (a DIV) splits it into lines beside each other,
// however many lines are typed; a page nested already keeps its nesting.
// Content typed or inserted where a link ends stands after the link, and
// the new line of an Enter never carries the link on.
TEST_F(EditorFixture, EnterSplitsLinesBesideEachOtherAndLinksEndWhereTheyEnd) {
    Load(L"<BODY><DIV id=first align=center>abcd</DIV></BODY>");
    CaretAt(L"abcd", 2);
    Editor().InsertParagraph();
    EXPECT_EQ(Body(), L"<P id=first align=center>ab</P>\r\n<P align=center>cd</P>");
    ParagraphsToDivs(*state);
    Type(L"x");
    EXPECT_EQ(Body(), L"<DIV id=first align=center>ab</DIV>\r\n<DIV align=center>xcd</DIV>");

    Load(L"<BODY><DIV></DIV><HR id=bodyend></BODY>");
    Editor().SetCaret({state->document->Body()->FirstChild()->Self(), 0}, false);
    CString expected;
    for (int line = 0; line < 300; ++line) {
        CString word;
        word.Format(L"line%d", line);
        Type(word);
        Editor().InsertParagraph();
        ParagraphsToDivs(*state);
        expected += L"<DIV>" + word + L"</DIV>\r\n";
    }
    EXPECT_LE(DivDepth(*state->document->Body()), 2);
    EXPECT_EQ(Body(), expected + L"<DIV>&nbsp;</DIV>\r\n<HR id=bodyend>");

    Load(L"<BODY><DIV><DIV><DIV>deep</DIV></DIV></DIV></BODY>");
    CaretAt(L"deep", 4);
    Editor().InsertParagraph();
    ParagraphsToDivs(*state);
    Type(L"er");
    EXPECT_EQ(Body(), L"<DIV>\r\n<DIV>\r\n<DIV>deep</DIV>\r\n<DIV>er</DIV></DIV></DIV>");

    // Typed after the link's last character: beside it, formats kept.
    Load(L"<BODY><P><A href=\"http://a/\"><B>&nbsp;Alpha&nbsp;</B></A>\n</P></BODY>");
    CaretAt(L"Alpha", 6);
    Type(L"s");
    EXPECT_EQ(Body(), L"<P><A href=\"http://a/\"><B>&nbsp;Alpha </B></A><B>s</B>\r\n</P>");
    // Enter at its end, typing and a picture on the new line: no link there.
    Load(L"<BODY><DIV><A href=\"http://a/\">&nbsp;Alpha&nbsp;</A>\n</DIV></BODY>");
    CaretAt(L"Alpha", 6);
    Editor().InsertParagraph();
    ParagraphsToDivs(*state);
    Type(L"next");
    Editor().SetPicture({{L"src", L"p.gif"}});
    EXPECT_EQ(Body(), L"<DIV><A href=\"http://a/\">&nbsp;Alpha&nbsp;</A></DIV>\r\n<DIV>next<IMG src=p.gif></DIV>");
    // The new line holds only the line end that followed the caret: it is an
    // empty line (which shows a line once the view gives it its placeholder),
    // and the letter typed there stands alone in it.
    Load(L"<BODY><DIV>second line<A href=\"http://e.com/\">&nbsp;L2&nbsp;</A>z\n</DIV>\n<DIV>third line</DIV></BODY>");
    CaretAt(L"z", 1);
    Editor().InsertParagraph();
    EXPECT_EQ(html::SerializeInner(*state->document->Body()->Child(1)), L"");
    ParagraphsToDivs(*state);
    Type(L"q");
    EXPECT_EQ(Body(), L"<DIV>second line<A href=\"http://e.com/\">&nbsp;L2&nbsp;</A>z</DIV>\r\n<DIV>q</DIV>\r\n<DIV>third line</DIV>");
    // White space that shows stays.
    Load(L"<BODY><PRE>ab\n  </PRE></BODY>");
    CaretAt(L"ab", 2);
    Editor().InsertParagraph();
    ASSERT_NE(state->document->Body()->LastChild()->FirstChild(), nullptr) << Show(Body());
    EXPECT_EQ(state->document->Body()->LastChild()->FirstChild()->Data(), L"\n  ");
    // A picture, a line break and a paste at a link's end go after it too.
    Load(L"<BODY><P>see <A href=\"http://a/\">here</A></P></BODY>");
    CaretAt(L"here", 4);
    Editor().SetPicture({{L"src", L"p.gif"}});
    CaretAt(L"here", 4);
    Editor().InsertLineBreak();
    Editor().PasteHtml(L"<I>q</I>");
    EXPECT_EQ(Body(), L"<P>see <A href=\"http://a/\">here</A><BR><I>q</I><IMG src=p.gif></P>");
    // Enter inside the link: each line keeps its part of the link.
    CaretAt(L"here", 2);
    Editor().InsertParagraph();
    EXPECT_EQ(Body(), L"<P>see <A href=\"http://a/\">he</A></P>\r\n<P><A href=\"http://a/\">re</A><BR><I>q</I><IMG src=p.gif></P>");
    // After the picture of a picture link: the same.
    Load(L"<BODY><P><A href=\"http://a/\"><IMG src=t.gif></A></P></BODY>");
    const dom::NodePtr link = state->document->Body()->FirstChild()->FirstChild()->Self();
    Editor().SetCaret({link, 1}, false);
    Type(L"u");
    Editor().SetCaret({link, 1}, false);
    Editor().InsertParagraph();
    Type(L"v");
    EXPECT_EQ(Body(), L"<P><A href=\"http://a/\"><IMG src=t.gif></A></P>\r\n<P>vu</P>");
}

// A size in pixels picked at a caret goes to the text typed next there, in
// pixels at once; the FONTs of the text typed before keep their sizes, an
// HTML size chosen there before gives way, and a selection still gets it.
TEST_F(EditorFixture, PixelFontSizeAtACaretGoesToTheTextTypedNext) {
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(com::CreateDocumentObject(state, IID_IDispatch, dispatch.ReceiveVoid()), S_OK);
    bcHtmlDocument document;
    document.Attach(dispatch.Get());
    Load(L"<BODY><P><FONT size=7>big</FONT> abc</P></BODY>");
    CaretAt(L"abc", 3);
    Editor().FormatSelection(L"FONT", L"size", L"2");
    ASSERT_TRUE(document.ApplyPixelFontSize(24));
    EXPECT_EQ(Body(), L"<P><FONT size=7>big</FONT> abc</P>");  // nothing typed yet
    Type(L"def");
    EXPECT_EQ(Body(), CString(L"<P><FONT size=7>big</FONT> abc<FONT style=\"FONT-SIZE: 24px\">def</FONT></P>")) << Show(Body());
    EXPECT_EQ(document.GetCaretFontSize(), 24);
    ASSERT_TRUE(document.ApplyPixelFontSize(18));
    Type(L"g");
    EXPECT_EQ(Body(), CString(L"<P><FONT size=7>big</FONT> abc<FONT style=\"FONT-SIZE: 24px\">def<FONT style=\"FONT-SIZE: 18px\">g</FONT></FONT></P>"))
        << Show(Body());
    EXPECT_EQ(document.GetCaretFontSize(), 18);

    Select(L"abc");
    ASSERT_TRUE(document.ApplyPixelFontSize(12));
    EXPECT_NE(Body().Find(L" <FONT style=\"FONT-SIZE: 12px\">abc</FONT>"), -1) << Show(Body());
}

// What a host pastes through the selection's own range (a link, a rule, a
// table from its commands) replaces the selection, and the caret stands
// right after it, outside a link it ends with: typing and Enter go on there.
// A range the selection did not make, or one it has moved away from since,
// pastes where it lies and leaves the caret alone. A new picture leaves the
// caret after it as well, so typing does not replace it.
TEST_F(EditorFixture, InsertionsLeaveTheCaretRightAfterWhatTheyInserted) {
    ComPtr<IHTMLDocument2> document;
    ASSERT_EQ(com::CreateDocumentObject(state, IID_IHTMLDocument2, reinterpret_cast<void**>(document.Receive())), S_OK);
    auto selectionRange = [&] {
        ComPtr<IHTMLSelectionObject> selection;
        EXPECT_EQ(document->get_selection(selection.Receive()), S_OK);
        ComPtr<IDispatch> made;
        if (selection) selection->createRange(made.Receive());
        return made.As<IHTMLTxtRange>();
    };
    auto paste = [&](IHTMLTxtRange* range, const wchar_t* html) {
        ASSERT_NE(range, nullptr);
        BSTR text = SysAllocString(html);
        EXPECT_EQ(range->pasteHTML(text), S_OK);
        SysFreeString(text);
    };
    Load(L"<BODY><DIV>See</DIV></BODY>");
    CaretAt(L"See", 3);
    paste(selectionRange().Get(), L"<A href=\"https://example.org/two\">&nbspSecond link&nbsp</A>\n");
    Type(L" for more");
    Editor().InsertParagraph();
    ParagraphsToDivs(*state);
    Type(L"Nextline");
    EXPECT_EQ(Body(), L"<DIV>See<A href=\"https://example.org/two\">&nbsp;Second link&nbsp;</A>\r\n&nbsp;for more</DIV>\r\n"
                      L"<DIV>Nextline</DIV>");

    // A rule: the text typed next stands below it, not above.
    Load(L"<BODY><DIV>See</DIV></BODY>");
    CaretAt(L"See", 3);
    paste(selectionRange().Get(), L"<hr color= \"black\" size=1>");
    Type(L"after");
    EXPECT_EQ(Body(), L"<DIV>See\r\n<HR color=black size=1>after</DIV>");

    // Over a selected word: the pasted text takes its place, the caret after it.
    Load(L"<BODY><DIV>one two three</DIV></BODY>");
    Select(L"two");
    paste(selectionRange().Get(), L"<B>2</B>");
    Type(L"x");
    EXPECT_EQ(Body(), L"<DIV>one <B>2</B>x three</DIV>");

    // A range of the body, and a range the selection left behind.
    Load(L"<BODY><DIV>one two</DIV></BODY>");
    CaretAt(L"one");
    ComPtr<IHTMLElement> body;
    document->get_body(body.Receive());
    ComPtr<IHTMLTxtRange> found;
    body.As<IHTMLBodyElement>()->createTextRange(found.Receive());
    VARIANT_BOOL hit = VARIANT_FALSE;
    BSTR two = SysAllocString(L"two");
    found->findText(two, 0, 0, &hit);
    SysFreeString(two);
    ASSERT_TRUE(hit);
    paste(found.Get(), L"<I>2</I>");
    ComPtr<IHTMLTxtRange> left = selectionRange();
    CaretAt(L"one", 3);
    paste(left.Get(), L"0");
    Type(L"y");
    EXPECT_EQ(Body(), L"<DIV>0oney <I>2</I></DIV>");

    // A new picture: typing goes after it and keeps it; a picture selected
    // to be changed stays selected.
    Load(L"<BODY><DIV>See</DIV></BODY>");
    CaretAt(L"See", 3);
    Editor().SetPicture({{L"src", L"p.gif"}});
    EXPECT_EQ(state->selection.kind, editing::SelectionKind::None);
    Type(L"z");
    EXPECT_EQ(Body(), L"<DIV>See<IMG src=p.gif>z</DIV>");
    dom::Node* picture = state->document->Body()->FirstChild()->Child(1);
    ASSERT_TRUE(picture && picture->Is(dom::Tag::Img));
    Editor().SelectControl(*picture);
    Editor().SetPicture({{L"alt", L"a"}});
    EXPECT_EQ(state->selection.kind, editing::SelectionKind::Control);
    EXPECT_EQ(Body(), L"<DIV>See<IMG src=p.gif alt=a>z</DIV>");
}

TEST_F(EditorFixture, BackspaceAndDeleteJoinBlocksAndDropEmptiedElements) {
    Load(L"<BODY><P>ab</P><P>cd</P></BODY>");
    CaretAt(L"cd");
    Editor().DeleteBackward();
    EXPECT_EQ(Body(), L"<P>abcd</P>");
    Editor().DeleteBackward();
    EXPECT_EQ(Body(), L"<P>acd</P>");

    Load(L"<BODY><P>ab</P><UL><LI>cd</LI></UL></BODY>");
    CaretAt(L"ab", 2);
    Editor().DeleteForward();
    EXPECT_EQ(Body(), L"<P>abcd</P>");

    // An inline element emptied by Backspace goes; the caret stays where it was.
    Load(L"<BODY><P>x<B>y</B>z</P></BODY>");
    CaretAt(L"z");
    Editor().DeleteBackward();
    Type(L"Q");
    EXPECT_EQ(Body(), L"<P>xQz</P>");

    // A picture and a line break go as one character each; nothing happens at the body's edges.
    Load(L"<BODY><P>a<IMG src=p.gif>b<BR>c</P></BODY>");
    CaretAt(L"b");
    Editor().DeleteBackward();
    CaretAt(L"b", 1);
    Editor().DeleteForward();
    EXPECT_EQ(Body(), L"<P>abc</P>");
    Editor().MoveToEdge(false, false);
    Editor().DeleteBackward();
    Editor().MoveToEdge(true, false);
    Editor().DeleteForward();
    EXPECT_EQ(Body(), L"<P>abc</P>");

    // A selection across paragraphs leaves one.
    Load(L"<BODY><P>one two</P><P>three four</P></BODY>");
    SelectBetween(L"two", L"three");
    Editor().TypeText(L"-");
    EXPECT_EQ(Body(), L"<P>one - four</P>");
}

TEST_F(EditorFixture, FormatsToggleListsAndLinksAnswerTheirState) {
    Load(L"<BODY><P>plain bold text</P></BODY>");
    Select(L"bold");
    auto editor = Editor();
    editor.ToggleInline(L"STRONG", {dom::Tag::Strong, dom::Tag::B});
    EXPECT_EQ(Body(), L"<P>plain <STRONG>bold</STRONG> text</P>");
    EXPECT_TRUE(Editor().HasInline({dom::Tag::Strong, dom::Tag::B}));
    Select(L"ol");
    Editor().ToggleInline(L"STRONG", {dom::Tag::Strong, dom::Tag::B});
    EXPECT_EQ(Body(), L"<P>plain <STRONG>b</STRONG>ol<STRONG>d</STRONG> text</P>");

    // At a caret a format goes to the text typed next there, and the state says so at once.
    const std::vector<dom::Tag> bold{dom::Tag::Strong, dom::Tag::B}, italic{dom::Tag::Em, dom::Tag::I};
    Load(L"<BODY><P>ab <B>cd</B></P></BODY>");
    CaretAt(L"ab", 1);
    Editor().ToggleInline(L"STRONG", bold);
    Editor().ToggleInline(L"EM", italic);
    Editor().FormatSelection(L"FONT", L"face", L"Arial");
    EXPECT_TRUE(Editor().HasInline(bold));
    EXPECT_EQ(Body(), L"<P>ab <B>cd</B></P>");  // nothing typed yet
    Type(L"XY");
    EXPECT_EQ(Body(), L"<P>a<STRONG><EM><FONT face=Arial>XY</FONT></EM></STRONG>b <B>cd</B></P>");
    Editor().ToggleInline(L"STRONG", bold);  // switched off inside bold: the text goes out of it
    EXPECT_FALSE(Editor().HasInline(bold));
    Type(L"z");
    EXPECT_EQ(Body(), L"<P>a<STRONG><EM><FONT face=Arial>XY</FONT></EM></STRONG><EM><FONT face=Arial>z</FONT></EM>b <B>cd</B></P>");
    CaretAt(L"cd", 1);
    Editor().ToggleInline(L"STRONG", bold);
    Editor().ToggleInline(L"STRONG", bold);  // on and off again: as the caret's text
    CaretAt(L"cd", 1);  // and a move forgets what was chosen
    Editor().ToggleInline(L"EM", italic);
    Editor().SetCaret(Editor().Focus(), false);
    Type(L"q");
    EXPECT_NE(Body().Find(L"<B>cqd</B></P>"), -1) << Show(Body());

    Load(L"<BODY><P>item</P></BODY>");
    CaretAt(L"item");
    Editor().ToggleList(false);
    EXPECT_EQ(Body(), L"<UL>\r\n<LI>item</LI></UL>");
    EXPECT_TRUE(Editor().IsInList(false));
    Editor().ToggleList(true);
    EXPECT_EQ(Body(), L"<OL>\r\n<LI>item</LI></OL>");
    Editor().ToggleList(true);
    EXPECT_EQ(Body(), L"<P>item</P>");

    // What the user types as an address stays an attribute value and text.
    Load(L"<BODY><P>go</P></BODY>");
    CaretAt(L"go", 2);
    Editor().SetLink(L"x\"><SCRIPT>alert(1)</SCRIPT>");
    EXPECT_EQ(Body(), L"<P>go<A href=\"x&quot;><SCRIPT>alert(1)</SCRIPT>\">x\"&gt;&lt;SCRIPT&gt;alert(1)&lt;/SCRIPT&gt;</A></P>");
    Select(L"go");
    Editor().SetLink(L"http://a/");
    EXPECT_EQ(Editor().LinkAddress(), L"http://a/");  // the selected text became the link
    EXPECT_EQ(Body().Find(L"<P><A href=\"http://a/\">go</A>"), 0);
}

TEST_F(EditorFixture, UndoAndRedoRestoreExactBytesAfterSeededEdits) {
    const uint32_t seed = 20261209;
    Random random(seed);
    const std::vector<CString> pages = {BuildPageTemplate(L"Notes"), BuildDivPageTemplate(L"Clip"),
                                        L"<HTML><BODY><TABLE><TR><TD>a<TD>b</TR></TABLE><P>x <B>y</B> z</P><UL><LI>1<LI>2</UL></BODY></HTML>"};
    for (const CString& page : pages) {
        Load(page);
        state->history.Clear();
        std::vector<CString> versions{html::SerializeDocument(*state->document)};
        for (int i = 0; i < 700; ++i) {
            auto editor = Editor();
            switch (random.Int(0, 11)) {
            case 0: case 1: case 2: editor.TypeText(CString(static_cast<wchar_t>(random.Pick(std::vector<int>{'a', ' ', 0xE9, 'w', '.'})))); break;
            case 3: editor.InsertParagraph(); break;
            case 4: editor.InsertLineBreak(); break;
            case 5: editor.DeleteBackward(); break;
            case 6: editor.DeleteForward(); break;
            case 7: editor.MoveCharacter(random.Chance(50), random.Chance(30)); break;
            case 8: editor.ToggleInline(L"EM", {dom::Tag::Em, dom::Tag::I}); break;
            case 9: editor.ToggleList(random.Chance(50)); break;
            case 10: editor.PasteHtml(random.Chance(50) ? CString(L"<B>p</B>q") : CString(L"<P>r</P>")); break;
            default: editor.MoveToEdge(random.Chance(50), false); break;
            }
            CString now = html::SerializeDocument(*state->document);
            // A key of a typing or deleting run joins the run's step.
            if (state->history.UndoCount() + 1 != versions.size()) versions.push_back(now);
            else versions.back() = now;
            // The page still parses back to what it is.
            if (i % 100 == 0) {
                ASSERT_EQ(Reserialize(now), Reserialize(Reserialize(now))) << "seed " << seed;
            }
        }
        ASSERT_EQ(state->history.UndoCount() + 1, versions.size()) << "seed " << seed;
        // The store still reads the edited page: a clip's link goes in before its end.
        CString edited = versions.back();
        edited.Replace(L"\r\n", L"\n");
        CString line;
        FormatLinkLine(line, L"Clip", L"http://clip.example/", CString());
        LinkPlacement placement = LinkPlacement::None;
        CString withLink = InsertLinkIntoPageText(edited, CString(), line, placement);
        EXPECT_NE(placement, LinkPlacement::None);
        auto reread = html::ParseDocument(withLink);
        bool linked = false;
        dom::WalkTree(*reread, [&](const dom::NodePtr& node) {
            if (node->Is(dom::Tag::A) && node->GetAttribute(L"href") == L"http://clip.example/") linked = true;
            return true;
        });
        EXPECT_TRUE(linked) << "seed " << seed;
        for (size_t i = versions.size() - 1; i > 0; --i) {
            ASSERT_TRUE(state->history.Undo(state->selection));
            ASSERT_EQ(html::SerializeDocument(*state->document), versions[i - 1]) << "seed " << seed << " step " << i;
        }
        EXPECT_FALSE(state->history.Undo(state->selection));
        for (size_t i = 1; i < versions.size(); ++i) {
            ASSERT_TRUE(state->history.Redo(state->selection));
            ASSERT_EQ(html::SerializeDocument(*state->document), versions[i]) << "seed " << seed << " step " << i;
        }
    }
}

// Typing and deleting undo a run at a time; a move, a command, Enter or a
// pause ends the run. An empty line's placeholder gives way to typing.
TEST_F(EditorFixture, TypingAndDeletingRunsAreOneUndoStepEach) {
    Load(L"<BODY><P>ab</P></BODY>");
    state->history.Clear();
    CaretAt(L"ab", 2);
    Type(L"cd ef");                         // 1: one run, blanks and all
    Editor().DeleteBackward();
    Editor().DeleteBackward();              // 2: a run of Backspace
    Type(L"g");                             // 3
    Editor().MoveCharacter(false, false);
    Type(L"h");                             // 4: typed after a move
    Editor().InsertParagraph();             // 5
    Type(L"i");                             // 6
    Editor().ToggleInline(L"B", {dom::Tag::B, dom::Tag::Strong});
    Type(L"j");                             // 7: after a command
    Sleep(static_cast<DWORD>(editing::UndoHistory::kRunPause.count()) + 100);
    Type(L"k");                             // 8: after a pause
    EXPECT_EQ(state->history.UndoCount(), 8u);
    const wchar_t* expected[] = {L"<P>abcd h</P>\r\n<P>i<B>j</B>g</P>", L"<P>abcd h</P>\r\n<P>ig</P>",
                                 L"<P>abcd h</P>\r\n<P>g</P>", L"<P>abcd hg</P>", L"<P>abcd g</P>", L"<P>abcd </P>",
                                 L"<P>abcd ef</P>", L"<P>ab</P>"};
    for (const wchar_t* body : expected) {
        ASSERT_TRUE(state->history.Undo(state->selection));
        EXPECT_EQ(Body(), body);
    }

    // The no-break space that holds an empty line goes when typing starts
    // there; a blank the user typed stays.
    Load(L"<BODY><DIV>a</DIV><DIV>&nbsp;</DIV></BODY>");
    Editor().SetCaret({state->document->Body()->Child(1)->FirstChild()->Self(), 0}, false);
    Type(L"xy");
    EXPECT_EQ(Body(), L"<DIV>a</DIV>\r\n<DIV>xy</DIV>");
    Load(L"<BODY><DIV>a</DIV><DIV></DIV></BODY>");
    Editor().SetCaret({state->document->Body()->Child(1)->Self(), 0}, false);
    Type(L" z");
    EXPECT_EQ(Body(), L"<DIV>a</DIV>\r\n<DIV>&nbsp;z</DIV>");
}

// The document layer's own edits through the interfaces are undone as well.
TEST_F(EditorFixture, EditsThroughTheInterfacesUndoAndADetachedNodeRemovesHarmlessly) {
    ComPtr<IHTMLDocument2> document;
    ASSERT_EQ(CreateHtmlDocument(IID_IHTMLDocument2, reinterpret_cast<void**>(document.Receive())), S_OK);
    ComPtr<IHTMLElement> body;
    document->get_body(body.Receive());
    BSTR first = SysAllocString(L"<TABLE id=t><TR><TD>cell</TD></TR></TABLE><P>keep</P>");
    body->put_innerHTML(first);
    SysFreeString(first);
    auto serialize = [&] {
        BSTR text = nullptr;
        body->get_innerHTML(&text);
        CString result(text);
        SysFreeString(text);
        return result;
    };
    BSTR on = SysAllocString(L"On");
    document->put_designMode(on);
    SysFreeString(on);
    CString before = serialize();
    BSTR after = SysAllocString(L"<P onclick=x()>new</P>");
    body->insertAdjacentHTML(SysAllocString(L"beforeEnd"), after);
    SysFreeString(after);
    ComPtr<IHTMLDocument3> document3 = document.As<IHTMLDocument3>();
    ComPtr<IHTMLElement> table;
    document3->getElementById(SysAllocString(L"t"), table.Receive());
    ASSERT_TRUE(table);
    auto node = table.As<IHTMLDOMNode>();
    ComPtr<IHTMLDOMNode> removed;
    EXPECT_EQ(node->removeNode(VARIANT_TRUE, removed.Receive()), S_OK);
    ComPtr<IHTMLDOMNode> again;
    EXPECT_EQ(node->removeNode(VARIANT_TRUE, again.Receive()), S_OK);  // already out: nothing happens
    EXPECT_EQ(serialize(), L"<P>keep</P>\r\n<P onclick=\"x()\">new</P>");
    auto commands = document.As<IOleCommandTarget>();
    static const GUID kGroup = {0xde4ba900, 0x59ca, 0x11cf, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
    OLECMD undo{IDM_UNDO, 0};
    commands->QueryStatus(&kGroup, 1, &undo, nullptr);
    EXPECT_EQ(undo.cmdf, static_cast<DWORD>(OLECMDF_SUPPORTED | OLECMDF_ENABLED));
    EXPECT_EQ(commands->Exec(&kGroup, IDM_UNDO, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr), S_OK);
    EXPECT_EQ(serialize(), before);
    EXPECT_EQ(commands->Exec(&kGroup, IDM_REDO, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr), S_OK);
    EXPECT_EQ(serialize(), L"<P>keep</P>\r\n<P onclick=\"x()\">new</P>");
}

// The view's buttons and menu items follow QueryStatus: latched for the format
// at the caret, enabled only in edit mode, undo only when there is something to undo.
TEST(EditorCommands, QueryStatusAnswersAtTheCaretAndFollowsTheMode) {
    ClipboardTurn clipboard;
    ComPtr<IHTMLDocument2> document;
    ASSERT_EQ(CreateHtmlDocument(IID_IHTMLDocument2, reinterpret_cast<void**>(document.Receive())), S_OK);
    ComPtr<IHTMLElement> body;
    document->get_body(body.Receive());
    BSTR html = SysAllocString(L"<P align=center><B>bold</B> plain</P><UL><LI>item</LI></UL>");
    body->put_innerHTML(html);
    SysFreeString(html);
    static const GUID kGroup = {0xde4ba900, 0x59ca, 0x11cf, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
    auto commands = document.As<IOleCommandTarget>();
    auto caretAt = [&](const wchar_t* text) {
        ComPtr<IHTMLTxtRange> range;
        body.As<IHTMLBodyElement>()->createTextRange(range.Receive());
        VARIANT_BOOL hit = VARIANT_FALSE;
        range->findText(SysAllocString(text), 0, 0, &hit);
        range->collapse(VARIANT_TRUE);
        range->select();
    };
    auto status = [&](std::vector<DWORD> ids) {
        std::vector<OLECMD> query;
        for (DWORD id : ids) query.push_back({id, 0});
        commands->QueryStatus(&kGroup, static_cast<ULONG>(query.size()), query.data(), nullptr);
        std::vector<DWORD> flags;
        for (const auto& command : query) flags.push_back(command.cmdf);
        return flags;
    };
    const DWORD supported = OLECMDF_SUPPORTED, enabled = supported | OLECMDF_ENABLED, latched = enabled | OLECMDF_LATCHED;
    caretAt(L"old");
    EXPECT_EQ(status({IDM_BOLD, IDM_UNDO}), (std::vector<DWORD>{supported, supported}));  // browse mode
    BSTR on = SysAllocString(L"On");
    document->put_designMode(on);
    SysFreeString(on);
    EXPECT_EQ(status({IDM_BOLD, IDM_ITALIC, IDM_JUSTIFYCENTER, IDM_JUSTIFYLEFT, IDM_UNORDERLIST, IDM_UNDO, IDM_COPY, 0x7fff}),
              (std::vector<DWORD>{latched, enabled, latched, enabled, enabled, supported, supported, 0}));
    caretAt(L"item");
    EXPECT_EQ(status({IDM_BOLD, IDM_UNORDERLIST, IDM_ORDERLIST, IDM_JUSTIFYLEFT}), (std::vector<DWORD>{enabled, latched, enabled, latched}));
    EXPECT_EQ(commands->Exec(&kGroup, IDM_UNORDERLIST, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr), S_OK);
    EXPECT_EQ(status({IDM_UNORDERLIST, IDM_UNDO}), (std::vector<DWORD>{enabled, enabled}));
}

TEST(EditorClipboard, HtmlFormatCarriesTheFragmentAndPasteDropsScript) {
    ClipboardTurn clipboard;
    CString fragment = L"<B>caf\u00E9</B> \U0001F600";
    std::string bytes = editing::MakeHtmlFormat(fragment);
    EXPECT_EQ(bytes.substr(0, 12), "Version:0.9\r");
    size_t start = bytes.find("StartFragment:");
    size_t offset = std::stoul(bytes.substr(start + 14, 10));
    EXPECT_EQ(bytes.substr(offset, 3), "<B>");
    EXPECT_EQ(editing::FragmentOfHtmlFormat(bytes), fragment);
    // Offsets that lie about the bytes: the markers are used; no markers: the markup.
    std::string lying = bytes;
    lying.replace(lying.find("EndFragment:") + 12, 10, "9999999999");
    EXPECT_EQ(editing::FragmentOfHtmlFormat(lying), fragment);
    EXPECT_EQ(editing::FragmentOfHtmlFormat("Version:0.9\r\n<i>x</i>"), L"<i>x</i>");
    EXPECT_EQ(editing::FragmentOfHtmlFormat("StartFragment:-5"), CString());

    EXPECT_EQ(editing::SanitizeHtml(L"<P onclick=\"a()\" class=c>t<SCRIPT>x()</SCRIPT><A href=\" JaVa\tscript:y()\">l</A>"
                                    L"<IMG src=p.gif onerror=z()><IFRAME src=q></IFRAME></P>"),
              L"<P class=c>t<A>l</A><IMG src=p.gif></P>");
    EXPECT_EQ(editing::TextAsHtml(L"a<b\r\nc"), L"a&lt;b<BR>c");
}

TEST(EditorClipboard, CopyAndPasteRoundTripThroughTheSystemClipboard) {
    ClipboardTurn clipboard;
    OleInitialize(nullptr);
    ComPtr<IHTMLDocument2> document;
    ASSERT_EQ(CreateHtmlDocument(IID_IHTMLDocument2, reinterpret_cast<void**>(document.Receive())), S_OK);
    ComPtr<IHTMLElement> body;
    document->get_body(body.Receive());
    BSTR html = SysAllocString(L"<P>one <B>two</B> three</P>");
    body->put_innerHTML(html);
    SysFreeString(html);
    ComPtr<IHTMLTxtRange> range;
    body.As<IHTMLBodyElement>()->createTextRange(range.Receive());
    VARIANT_BOOL hit = VARIANT_FALSE;
    range->findText(SysAllocString(L"ne two"), 0, 0, &hit);
    ASSERT_TRUE(hit);
    range->select();
    static const GUID kGroup = {0xde4ba900, 0x59ca, 0x11cf, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
    auto commands = document.As<IOleCommandTarget>();
    auto bodyHtml = [&] {
        BSTR text = nullptr;
        body->get_innerHTML(&text);
        CString result(text);
        SysFreeString(text);
        return result;
    };
    // Browsing: Copy works; Cut, Paste, Delete, Undo and Bold show greyed,
    // yet run when called (Bold, then its Undo).
    CString pastedHtml, pastedText;
    ASSERT_EQ(commands->Exec(&kGroup, IDM_COPY, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr), S_OK);
    ASSERT_TRUE(editing::ReadClipboard(nullptr, pastedHtml, pastedText));
    EXPECT_EQ(pastedText, L"ne two");
    for (DWORD command : {IDM_CUT, IDM_PASTE, IDM_DELETE, IDM_UNDO, IDM_BOLD}) {
        OLECMD status{command, 0};
        ASSERT_EQ(commands->QueryStatus(&kGroup, 1, &status, nullptr), S_OK);
        EXPECT_EQ(status.cmdf, static_cast<DWORD>(OLECMDF_SUPPORTED)) << command;
    }
    EXPECT_EQ(commands->Exec(&kGroup, IDM_BOLD, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr), S_OK);
    EXPECT_NE(bodyHtml(), L"<P>one <B>two</B> three</P>");
    EXPECT_EQ(commands->Exec(&kGroup, IDM_UNDO, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr), S_OK);
    EXPECT_EQ(bodyHtml(), L"<P>one <B>two</B> three</P>");
    BSTR on = SysAllocString(L"On");
    document->put_designMode(on);
    SysFreeString(on);
    ASSERT_EQ(commands->Exec(&kGroup, IDM_CUT, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr), S_OK);
    ASSERT_TRUE(editing::ReadClipboard(nullptr, pastedHtml, pastedText));
    EXPECT_EQ(pastedText, L"ne two");
    EXPECT_EQ(pastedHtml, L"ne <B>two</B>");
    ASSERT_EQ(commands->Exec(&kGroup, IDM_PASTE, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr), S_OK);
    BSTR text = nullptr;
    body->get_innerHTML(&text);
    EXPECT_EQ(CString(text), L"<P>one <B>two</B> three</P>");
    SysFreeString(text);
    // Plain text from elsewhere is pasted as text, never as markup.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const wchar_t plain[] = L"<I>not markup</I>";
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof plain);
    memcpy(GlobalLock(memory), plain, sizeof plain);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    ASSERT_EQ(commands->Exec(&kGroup, IDM_PASTE, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr), S_OK);
    body->get_innerHTML(&text);
    EXPECT_EQ(CString(text), L"<P>one <B>two</B>&lt;I&gt;not markup&lt;/I&gt; three</P>");
    SysFreeString(text);
    OleUninitialize();
}

// Finds the dialog with the caption that the creating thread shows (other
// test processes show theirs on the same display) from another thread, and
// drives it like a user.
class DialogDriver {
public:
    DialogDriver(const wchar_t* caption, std::function<void(HWND)> steps)
        : m_thread([caption, steps = std::move(steps), owner = GetCurrentThreadId()] {
              HWND dialog = nullptr;
              for (int i = 0; i < 500 && !dialog; ++i) {
                  dialog = FindThreadDialog(owner, caption);
                  if (!dialog) Sleep(10);
              }
              if (dialog) steps(dialog);
          }) {}
    ~DialogDriver() { m_thread.join(); }

private:
    std::thread m_thread;
};

void Click(HWND dialog, int id) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id))); }

TEST(EditorDialogs, HyperlinkAndPictureDialogsReturnWhatWasTypedAndCancelChangesNothing) {
    CString address = L"http://old.example/";
    {
        DialogDriver driver(L"Hyperlink", [](HWND dialog) {
            SendDlgItemMessageW(dialog, dialogs::kIdLinkType, CB_SETCURSEL, 6, 0);  // mailto:
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(dialogs::kIdLinkType, CBN_SELCHANGE), 0);
            Click(dialog, IDOK);
        });
        ASSERT_TRUE(dialogs::ShowHyperlinkDialog(nullptr, address));
    }
    EXPECT_EQ(address, L"mailto:old.example/");
    {
        DialogDriver driver(L"Hyperlink", [](HWND dialog) {
            SetDlgItemTextW(dialog, dialogs::kIdLinkAddress, L"typed");
            Click(dialog, IDCANCEL);
        });
        EXPECT_FALSE(dialogs::ShowHyperlinkDialog(nullptr, address));
    }
    EXPECT_EQ(address, L"mailto:old.example/");

    dialogs::PictureChoice choice;
    choice.source = L"a.gif";
    {
        DialogDriver driver(L"Picture", [](HWND dialog) {
            SetDlgItemTextW(dialog, dialogs::kIdPictureAlt, L"\"<alt>");
            SendDlgItemMessageW(dialog, dialogs::kIdPictureAlign, CB_SETCURSEL, 2, 0);
            SetDlgItemTextW(dialog, dialogs::kIdPictureBorder, L"2");
            SetDlgItemTextW(dialog, dialogs::kIdPictureHSpace, L"x9");
            Click(dialog, IDOK);
        });
        ASSERT_TRUE(dialogs::ShowPictureDialog(nullptr, choice));
    }
    EXPECT_EQ(choice.source, L"a.gif");
    EXPECT_EQ(choice.alt, L"\"<alt>");
    EXPECT_EQ(choice.align, L"right");
    EXPECT_EQ(choice.border, L"2");
    EXPECT_EQ(choice.hspace, CString());  // not a number: not set
}

// The link and picture commands ask their dialogs; what the user types lands
// in attributes, and pasteHTML takes markup exactly as given.
TEST(EditorDialogs, LinkAndPictureCommandsApplyTheDialogsAnswersAndCancelChangesNothing) {
    ComPtr<IHTMLDocument2> document;
    ASSERT_EQ(CreateHtmlDocument(IID_IHTMLDocument2, reinterpret_cast<void**>(document.Receive())), S_OK);
    BSTR on = SysAllocString(L"On");
    document->put_designMode(on);
    SysFreeString(on);
    ComPtr<IHTMLElement> body;
    document->get_body(body.Receive());
    BSTR html = SysAllocString(L"<P>go</P>");
    body->put_innerHTML(html);
    SysFreeString(html);
    auto serialize = [&] {
        BSTR text = nullptr;
        body->get_innerHTML(&text);
        CString result(text);
        SysFreeString(text);
        return result;
    };
    ComPtr<IHTMLTxtRange> range;
    body.As<IHTMLBodyElement>()->createTextRange(range.Receive());
    VARIANT_BOOL hit = VARIANT_FALSE;
    range->findText(SysAllocString(L"go"), 0, 0, &hit);
    range->select();
    static const GUID kGroup = {0xde4ba900, 0x59ca, 0x11cf, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
    auto commands = document.As<IOleCommandTarget>();
    {
        DialogDriver driver(L"Hyperlink", [](HWND dialog) {
            SetDlgItemTextW(dialog, dialogs::kIdLinkAddress, L"http://a/?q=\"><B>x</B>");
            Click(dialog, IDOK);
        });
        EXPECT_EQ(commands->Exec(&kGroup, IDM_HYPERLINK, OLECMDEXECOPT_PROMPTUSER, nullptr, nullptr), S_OK);
    }
    EXPECT_EQ(serialize(), L"<P><A href=\"http://a/?q=&quot;><B>x</B>\">go</A></P>");
    CString linked = serialize();
    {
        DialogDriver driver(L"Picture", [](HWND dialog) {
            SetDlgItemTextW(dialog, dialogs::kIdPictureSource, L"pic.gif");
            Click(dialog, IDCANCEL);
        });
        EXPECT_EQ(commands->Exec(&kGroup, IDM_IMAGE, OLECMDEXECOPT_PROMPTUSER, nullptr, nullptr), S_OK);
    }
    EXPECT_EQ(serialize(), linked);
    {
        DialogDriver driver(L"Picture", [](HWND dialog) {
            SetDlgItemTextW(dialog, dialogs::kIdPictureSource, L"pic.gif");
            SetDlgItemTextW(dialog, dialogs::kIdPictureAlt, L"a \"b\" <c>");
            SetDlgItemTextW(dialog, dialogs::kIdPictureVSpace, L"4");
            Click(dialog, IDOK);
        });
        EXPECT_EQ(commands->Exec(&kGroup, IDM_IMAGE, OLECMDEXECOPT_PROMPTUSER, nullptr, nullptr), S_OK);
    }
    // The picture replaces the selected text, inside the link it had become.
    EXPECT_EQ(serialize(), L"<P><A href=\"http://a/?q=&quot;><B>x</B>\"><IMG src=pic.gif alt=\"a &quot;b&quot; <c>\" vspace=4></A></P>");
    // The manual link of the view, pasted as it is given: the name stays text.
    body.As<IHTMLBodyElement>()->createTextRange(range.Receive());
    range->collapse(VARIANT_FALSE);
    BSTR link = SysAllocString(L"<A href=\"x.htm\">&nbspname &lt;i&gt;&nbsp</A>\n");
    EXPECT_EQ(range->pasteHTML(link), S_OK);
    SysFreeString(link);
    EXPECT_NE(serialize().Find(L"<A href=x.htm>&nbsp;name &lt;i&gt;&nbsp;</A>"), -1) << Show(serialize());
}

TEST(EditorDialogs, FindSearchesOnAndTellsAtTheEndThenWraps) {
    auto state = std::make_shared<com::DocumentState>();
    html::ParseDocument(*state->document, L"<BODY><P>cat Cat cat</P></BODY>");
    MessageBoxRecorder recorder;
    std::vector<int> found;
    {
        DialogDriver driver(L"Find", [](HWND dialog) {
            SetDlgItemTextW(dialog, dialogs::kIdFindText, L"cat");
            SendDlgItemMessageW(dialog, dialogs::kIdFindMatchCase, BM_SETCHECK, BST_CHECKED, 0);
            for (int i = 0; i < 4; ++i) SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            Click(dialog, IDCANCEL);
        });
        dialogs::ShowFindDialog(nullptr, [&](const dialogs::FindRequest& request, bool wrapped) {
            auto editor = state->Editor();
            bool hit = editor.Find(request.text, request.up, request.matchCase, request.wholeWord, wrapped);
            editing::TextRange range(state->document);
            range.SetStart(state->selection.start);
            found.push_back(hit ? range.StartOffset() : -1);
            return hit;
        });
    }
    EXPECT_EQ(found, (std::vector<int>{0, 8, -1, 0}));
    ASSERT_EQ(recorder.Boxes().size(), 1u);
    EXPECT_EQ(recorder.Boxes()[0].text, CString(dialogs::kFindFinishedText));
}

}  // namespace

// The layout that follows a document's edits: after typing, deleting and
// Enter at seeded random places it is, box for box, the layout a fresh build
// gives, typing lays out only the blocks it changed, and painting only what
// it reports changed leaves the pixels a full paint gives.
#include "EngineTestSupport.h"
#include "Random.h"
#include "com/DocumentState.h"
#include "dom/TreeWalk.h"
#include "layout/LiveLayout.h"
#include "paint/BitmapCanvas.h"

#include <cstring>
#include <sstream>

namespace {

// Every box's geometry and lines, in tree order, as text (the first difference reads well).
void Describe(const layout::Box& box, std::ostringstream& out, int depth = 0) {
    out << std::string(static_cast<size_t>(depth), ' ') << static_cast<int>(box.kind) << " " << box.node << " " << box.x << "," << box.y << " "
        << box.width << "x" << box.height << " m" << box.margin[0] << "/" << box.margin[2] << " c" << box.collapsedTop << "/"
        << box.collapsedBottom << (box.selfCollapsing ? " self" : "") << "\n";
    for (const auto& line : box.lines) {
        out << std::string(static_cast<size_t>(depth), ' ') << " line " << line.top << " " << line.height << " " << line.baseline << ":";
        for (const auto& f : line.fragments)
            out << " [" << f.node << " " << f.start << "+" << f.length << " " << f.x << " " << f.width << " " << f.top << " " << f.height << "]";
        for (const auto& span : line.spans) out << " {" << span.left << " " << span.right << " " << span.top << " " << span.bottom << "}";
        out << "\n";
    }
    for (const auto& child : box.inlineBoxes) Describe(*child, out, depth + 1);
    for (const auto& child : box.children) Describe(*child, out, depth + 1);
}

std::string Describe(const layout::DocumentLayout& layout) {
    std::ostringstream out;
    out << layout.ContentWidth() << "x" << layout.ContentHeight() << "\n";
    if (layout.Root()) Describe(*layout.Root(), out);
    return out.str();
}

std::vector<dom::Node*> TextNodes(dom::Node& root) {
    std::vector<dom::Node*> texts;
    dom::WalkTree(root, [&](const dom::NodePtr& node) {
        if (node->IsText() && node->Data().GetLength() > 0) texts.push_back(node.get());
        return true;
    });
    return texts;
}

// The first row of pixels where two canvases of one size differ, -1 when none does.
int StaleRow(const paint::BitmapCanvas& a, const paint::BitmapCanvas& b) {
    GdiFlush();
    DIBSECTION da{}, db{};
    GetObjectW(GetCurrentObject(a.Dc(), OBJ_BITMAP), sizeof(da), &da);
    GetObjectW(GetCurrentObject(b.Dc(), OBJ_BITMAP), sizeof(db), &db);
    const auto* pa = static_cast<const uint8_t*>(da.dsBm.bmBits);
    const auto* pb = static_cast<const uint8_t*>(db.dsBm.bmBits);
    const size_t stride = static_cast<size_t>(da.dsBm.bmWidthBytes);
    for (int y = 0; y < a.Height(); ++y)
        if (memcmp(pa + y * stride, pb + y * stride, stride) != 0) return y;
    return -1;
}

TEST(LiveLayout, FollowsSeededEditsAsAFreshLayoutWould) {
    const uint32_t seed = 20261209;
    Random random(seed);
    CString page = L"<HTML><BODY>";
    for (int i = 0; i < 6; ++i)
        page += L"<P>Some words <B>in bold</B> and <A href=x>a link</A> that wrap</P>"
                L"<DIV style=\"height:30px\">fixed <I>height</I></DIV><UL><LI>first item<LI>second <IMG width=20 height=20> item</UL>"
                L"<DIV>loose text<P style=\"margin:20px 0\">inner</P>after <SPAN style=\"border:2px solid red\">framed</SPAN></DIV>"
                L"<TABLE border=1><TR><TD>cell text</TD><TD>more</TD></TR><TR><TD colspan=2>row <B>two</B></TD></TR></TABLE>"
                L"<H2>A heading</H2>";
    page += L"</BODY></HTML>";
    for (bool withFloat : {false, true}) {
        auto state = std::make_shared<com::DocumentState>();
        state->designMode = true;
        html::ParseDocument(*state->document, withFloat ? page + L"<IMG align=left width=40 height=90>" : page);
        layout::LiveLayout view(state->document);
        view.SetViewport(260, 400);
        // The page painted as the window paints it: all of it once, then what each edit reports.
        constexpr int kTall = 2400;
        paint::BitmapCanvas shown(260, kTall), full(260, kTall);
        view.Current().Paint(shown, {0, 0, 260, kTall}, 0, 0);
        paint::Rect stale;
        view.relaid = [&](const paint::Rect& area) { stale = stale.Union(area); };
        const int fullBefore = view.FullLayouts();
        paint::BitmapCanvas measure(1, 1);
        int typed = 0;
        for (int step = 0; step < 250; ++step) {
            std::vector<dom::Node*> texts = TextNodes(*state->document->Body());
            ASSERT_FALSE(texts.empty());
            dom::Node* text = random.Pick(texts);
            auto editor = state->Editor();
            editor.SetCaret({text->Self(), random.Int(0, text->Data().GetLength())}, false);
            int action = random.Int(0, 99);
            if (action < 75) {
                editor.TypeText(random.Chance(20) ? CString(L" ") : random.FromAlphabet(L"abcdefghijklmnopWXYZ", 1, 12));
                ++typed;
            } else if (action < 85) {
                editor.DeleteBackward();
            } else if (action < 95) {
                editor.DeleteForward();
            } else {
                editor.InsertParagraph();
            }
            if (random.Chance(10)) editor.TypeText(L"x");  // two changes before the next layout
            std::optional<paint::Rect> band = view.ChangedBand();
            stale = band ? *band : paint::Rect{0, 0, 260, kTall};
            std::string followed = Describe(view.Current());
            layout::DocumentLayout fresh(*state->document, measure);
            fresh.Rebuild(260);
            ASSERT_EQ(followed, Describe(fresh)) << "seed " << seed << " step " << step;
            stale = stale.Intersect({0, 0, 260, kTall});
            if (!stale.IsEmpty()) view.Current().Paint(shown, stale, 0, 0);
            fresh.Paint(full, {0, 0, 260, kTall}, 0, 0);
            const int row = StaleRow(shown, full);
            ASSERT_EQ(row, -1) << "a stale row of pixels; seed " << seed << " step " << step;
        }
        // Most keys were laid out alone; with a float about, none were.
        if (withFloat) EXPECT_GT(view.FullLayouts() - fullBefore, typed);
        else EXPECT_LT(view.FullLayouts() - fullBefore, typed / 2);
    }

    // What needs painting again: the changed text's block while its height stays, from it down
    // when that changes; after a new element, all.
    auto document = html::ParseDocument(L"<P>one</P><P>two</P><P>three</P>");
    layout::LiveLayout view(document);
    view.SetViewport(200, 300);
    std::vector<paint::Rect> relaid;
    view.relaid = [&](const paint::Rect& area) { relaid.push_back(area); };
    dom::Node* second = document->Body()->Child(1);
    const paint::Rect box = *view.Current().BorderBox(*second);
    second->FirstChild()->SetData(L"twice");
    ASSERT_TRUE(view.ChangedBand().has_value());
    EXPECT_EQ(view.ChangedBand()->top, box.top);
    EXPECT_EQ(view.ChangedBand()->bottom, box.bottom);
    view.Current();
    ASSERT_EQ(relaid.size(), 1u);
    EXPECT_EQ(relaid[0].top, box.top);
    EXPECT_EQ(relaid[0].bottom, box.bottom);
    EXPECT_FALSE(view.ChangedBand().has_value());
    second->FirstChild()->SetData(L"words enough to wrap this paragraph onto a second line and a third");
    view.Current();
    ASSERT_EQ(relaid.size(), 2u);
    EXPECT_EQ(relaid[1].top, box.top);
    EXPECT_GT(relaid[1].bottom, view.Current().ContentHeight());  // the third paragraph moved
    second->AppendChild(document->CreateElement(L"B"));
    EXPECT_FALSE(view.ChangedBand().has_value());
}

// A line typed into a block that held only white space (no line, no height:
// the new line after Enter where a line end followed a link) gives the block
// its first line and moves the blocks after it: painting what the layout
// reports leaves the pixels a full paint gives, the new line drawn where the
// layout has it.
TEST(LiveLayout, TheFirstLineOfABlockOfWhiteSpaceIsPaintedWithWhatItMoves) {
    auto document = html::ParseDocument(L"<DIV>first line</DIV><DIV>second line<A href=x>link</A>z</DIV><DIV>\n</DIV>"
                                        L"<DIV>third line</DIV><DIV>fourth line</DIV>");
    layout::LiveLayout view(document);
    view.SetViewport(300, 200);
    paint::BitmapCanvas shown(300, 200), full(300, 200);
    view.Current().Paint(shown, {0, 0, 300, 200}, 0, 0);
    dom::Node* blank = document->Body()->Child(2)->FirstChild();
    ASSERT_TRUE(blank->IsText());
    ASSERT_EQ(view.Current().BorderBox(*document->Body()->Child(2))->Height(), 0);
    paint::Rect stale;
    view.relaid = [&](const paint::Rect& area) { stale = stale.Union(area); };
    blank->SetData(L"q\n");
    std::optional<paint::Rect> band = view.ChangedBand();
    ASSERT_TRUE(band.has_value());  // still the quick path: only text changed
    stale = stale.Union(*band);
    const int fullLayouts = view.FullLayouts();
    layout::DocumentLayout& layout = view.Current();
    EXPECT_EQ(view.FullLayouts(), fullLayouts);
    const std::vector<paint::Rect> line = layout.TextRects(*blank);
    ASSERT_FALSE(line.empty());
    EXPECT_TRUE(stale.Intersect(line.front()) == line.front()) << "the new line lies outside what is painted again";
    stale = stale.Intersect({0, 0, 300, 200});
    layout.Paint(shown, stale, 0, 0);
    layout.Paint(full, {0, 0, 300, 200}, 0, 0);
    EXPECT_EQ(StaleRow(shown, full), -1);
}

}  // namespace

namespace {

// An old page's table of height 100 % fills the window: laid out again when the window's height
// changes. BODY fills it too, without a layout; a page without such a table is not laid out again.
TEST(LiveLayout, AWindowOfAnotherHeightLaysOutAPageThatFillsIt) {
    auto state = std::make_shared<com::DocumentState>();
    html::ParseDocument(*state->document, L"<body><table id=t height=100% border=0 cellspacing=0><tr><td>x</td></tr></table>"
                                          L"<p>text</p></body>");
    layout::LiveLayout view(state->document);
    view.SetViewport(500, 600);
    const dom::Node* table = state->document->Body()->Children().front().get();
    ASSERT_TRUE(table->Is(dom::Tag::Table));
    EXPECT_EQ(view.Current().Offsets(*table).height, 600 - 16);
    view.SetViewport(500, 300);
    EXPECT_EQ(view.Current().Offsets(*table).height, 300 - 16);
    EXPECT_TRUE(view.Current().UsesViewportHeight());
    html::ParseDocument(*state->document, L"<body><p>a page that does not fill the window</p></body>");
    EXPECT_FALSE(view.Current().UsesViewportHeight());
    const dom::Node* body = state->document->Body();
    EXPECT_EQ(view.Current().Offsets(*body).height, 300 - 16);
    view.SetViewport(500, 200);
    EXPECT_EQ(view.Current().Offsets(*body).height, 200 - 16);
}

}  // namespace

// Undo of a host's own edits, made through the document's interfaces and
// not as the editor's steps: the page view's fix-up after Enter joined to
// the Enter, a table it pastes, a table it removes. Each comes back on its
// own, to the exact bytes, whatever the user did in between.
#include "EditorFixture.h"
#include "dom/TreeWalk.h"

#include <vector>

namespace {

struct HostEdits : EditorFixture {
    HostEdits() { state->designMode = true; }  // a page being edited: the history records the host's edits
    CString Page() { return html::SerializeDocument(*state->document); }
    // The view's fix-up after Enter: every P becomes a DIV holding its nodes
    // (a no-break space when it had none).
    void ParagraphsToDivs() {
        std::vector<dom::NodePtr> paragraphs;
        dom::WalkTree(*state->document, [&](const dom::NodePtr& child) {
            if (child->Is(dom::Tag::P)) paragraphs.push_back(child);
            return child->IsElement() || child.get() == state->document.get();
        });
        for (auto it = paragraphs.rbegin(); it != paragraphs.rend(); ++it) {
            dom::NodePtr div = state->document->CreateElement(L"DIV");
            (*it)->Parent()->InsertChild((*it)->IndexInParent(), div);
            if ((*it)->ChildCount() == 0) div->AppendChild(state->document->CreateText(CString(L"\u00A0")));
            while ((*it)->ChildCount() > 0) div->AppendChild((*it)->FirstChild()->Self());
            (*it)->Remove();
        }
    }
    // Enter at the end of "line" and the view's fix-up, joined to it.
    void EnterAtTheFirstLinesEnd() {
        CaretAt(L"line", 4);
        Editor().InsertParagraph();
        state->history.ReopenLast();
        ParagraphsToDivs();
    }
    // A paste of the host at the selection (the document layer's PasteHtml).
    void HostPaste(const CString& html) {
        editing::TextRange range(state->document);
        range.SetStart(state->selection.start);
        range.SetEnd(state->selection.end);
        range.PasteHtml(html);
    }
    dom::Node* Table() {
        dom::Node* table = nullptr;
        dom::WalkTree(*state->document, [&](const dom::NodePtr& child) {
            if (!table && child->Is(dom::Tag::Table)) table = child.get();
            return !table && (child->IsElement() || child.get() == state->document.get());
        });
        return table;
    }
    bool Undo() { return state->history.Undo(state->selection); }
    bool Redo() { return state->history.Redo(state->selection); }
};

const wchar_t kLine[] = L"<HTML><BODY><DIV>line</DIV><DIV>after</DIV></BODY></HTML>";
const wchar_t kTable[] = L"<TABLE><TR><TD><DIV>&nbsp;</DIV></TD><TD>cell</TD></TR></TABLE>";

}  // namespace

// The steps of the page view: Enter and its fix-up (joined, then closed by
// the view), Add Table, a click into a cell, Delete Table. Undo takes them
// back one by one, each with the caret where it was before, and Redo does
// them again.
TEST_F(HostEdits, DeleteTableUndoesAloneAfterEnterAndAddTable) {
    Load(kLine);
    const CString start = Page();
    EnterAtTheFirstLinesEnd();
    state->history.Seal();
    const CString entered = Page();
    state->history.Seal();
    HostPaste(kTable);
    state->history.Seal();
    const CString added = Page();
    CaretAt(L"cell");
    state->history.Seal();
    ASSERT_NE(Table(), nullptr);
    Table()->Remove();
    state->history.Seal();
    const CString deleted = Page();
    ASSERT_EQ(Table(), nullptr);

    ASSERT_TRUE(Undo());
    EXPECT_EQ(Page(), added);
    ASSERT_NE(Table(), nullptr);
    EXPECT_TRUE(Table()->Contains(state->selection.start.node.get()));  // the caret is back in the cell
    ASSERT_TRUE(Undo());
    EXPECT_EQ(Page(), entered);
    ASSERT_TRUE(Undo());
    EXPECT_EQ(Page(), start);
    EXPECT_FALSE(Undo());
    ASSERT_TRUE(Redo());
    ASSERT_TRUE(Redo());
    ASSERT_TRUE(Redo());
    EXPECT_EQ(Page(), deleted);
}

// A host that closes none of its edits: the ones made before a click and
// the ones made after it are still undone apart, and the Enter's step
// that was opened again for the fix-up ends at the click too.
TEST_F(HostEdits, AClickClosesTheHostsOpenStep) {
    Load(kLine);
    const CString start = Page();
    EnterAtTheFirstLinesEnd();
    HostPaste(kTable);  // joins the Enter: no input came in between
    const CString added = Page();
    CaretAt(L"cell");   // the click
    Table()->Remove();
    ASSERT_TRUE(Undo());
    EXPECT_EQ(Page(), added);
    ASSERT_NE(Table(), nullptr);
    ASSERT_TRUE(Undo());
    EXPECT_EQ(Page(), start);

    // Host edits only, a click between them.
    Load(kLine);
    state->history.Clear();
    CaretAt(L"after");
    HostPaste(L"<B>one</B>");
    const CString first = Page();
    CaretAt(L"line");
    HostPaste(L"<I>two</I>");
    ASSERT_TRUE(Undo());
    EXPECT_EQ(Page(), first);

    // A picture or table clicked as an object closes the step the same way.
    Load(L"<HTML><BODY><DIV>x</DIV><IMG src=a.gif></BODY></HTML>");
    state->history.Clear();
    CaretAt(L"x", 1);
    HostPaste(L"<U>u</U>");
    const CString pasted = Page();
    dom::Node* picture = nullptr;
    dom::WalkTree(*state->document, [&](const dom::NodePtr& child) {
        if (child->Is(dom::Tag::Img)) picture = child.get();
        return child->IsElement() || child.get() == state->document.get();
    });
    ASSERT_NE(picture, nullptr);
    Editor().SelectControl(*picture);
    picture->Remove();
    ASSERT_TRUE(Undo());
    EXPECT_EQ(Page(), pasted);
}

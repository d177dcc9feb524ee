// The editor on a document without a window: a document state loaded from
// HTML, its editor, and the caret or selection placed at a text.
#pragma once
#include "EngineTestSupport.h"
#include "com/DocumentState.h"
#include "editing/TextRange.h"

struct EditorFixture : testing::Test {
    std::shared_ptr<com::DocumentState> state = std::make_shared<com::DocumentState>();

    void Load(const CString& page) {
        html::ParseDocument(*state->document, page);
        state->selection = editing::Selection();
    }
    editing::Editor Editor() { return state->Editor(); }
    CString Body() { return html::SerializeInner(*state->document->Body()); }
    // The caret after the n-th occurrence of `text` in the body's text nodes, plus `after` characters.
    void CaretAt(const CString& text, int after = 0) {
        editing::TextRange range(state->document);
        ASSERT_TRUE(range.FindText(text, true, true, false)) << Show(text);
        editing::Boundary at = range.Start();
        at.offset += after;
        Editor().SetCaret(at, false);
    }
    void Select(const CString& text) {
        editing::TextRange range(state->document);
        ASSERT_TRUE(range.FindText(text, true, true, false)) << Show(text);
        auto editor = Editor();
        editor.SetCaret(range.Start(), false);
        editor.SetCaret(range.End(), true);
    }
    void SelectBetween(const CString& first, const CString& last) {
        editing::TextRange from(state->document), to(state->document);
        ASSERT_TRUE(from.FindText(first, true, true, false));
        ASSERT_TRUE(to.FindText(last, true, true, false));
        auto editor = Editor();
        editor.SetCaret(from.Start(), false);
        editor.SetCaret(to.End(), true);
    }
    void Type(const CString& text) {
        for (wchar_t c : text.str()) Editor().TypeText(CString(c));
    }
};

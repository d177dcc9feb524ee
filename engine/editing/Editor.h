// The editor's operations on a document and its selection: typing, Enter
// (a new paragraph), Shift+Enter (a line break), Backspace and Delete across
// element borders, lists, links, pictures, and the caret's moves by
// characters, words and to the document's ends. Each change is one step of
// the undo history. Moves that need the page's geometry (lines, pages) are
// the window's; it places the caret with SetCaret.
#pragma once
#include "editing/Selection.h"
#include "editing/UndoHistory.h"

#include <vector>

namespace editing {

class Editor {
public:
    Editor(dom::Document& document, Selection& selection, UndoHistory& history)
        : m_document(document), m_selection(selection), m_history(history) {}

    bool autoUrlDetect = true;  // typed addresses become links

    // Typing ------------------------------------------------------------------
    void TypeText(const CString& text);  // over the selection
    void InsertParagraph();              // Enter
    void InsertLineBreak();              // Shift+Enter
    void InsertTab();
    void DeleteBackward();  // Backspace
    void DeleteForward();   // Delete
    void DeleteSelection();
    // Replaces the selection by parsed HTML exactly as given.
    void PasteHtml(const CString& html);

    // Commands ------------------------------------------------------------------
    void ToggleList(bool ordered);
    // Bold, italic and their kind: wraps the selected text in the tag, or,
    // when the text at the selection's start already has one of the tags,
    // takes the text out of those elements. At a caret the format is
    // switched for the text typed next there.
    void ToggleInline(const wchar_t* tag, const std::vector<dom::Tag>& kinds);
    // True when the selection's start lies inside one of the tags (at a
    // caret: when the text typed next will).
    bool HasInline(const std::vector<dom::Tag>& kinds) const;
    // Applies the format of FormatCommands to the selected text, as one
    // step; at a caret, to the text typed next there.
    void FormatSelection(const CString& tag, const CString& attribute, const CString& value);
    void Align(const CString& alignment);
    bool IsInList(bool ordered) const;
    // Searches from the selection onwards (backwards when up), or from the
    // document's start or end when fromEdge; selects what it found.
    bool Find(const CString& text, bool up, bool matchCase, bool wholeWord, bool fromEdge);
    // Makes the selection a link, edits the link at the caret, or inserts the address as a linked text.
    void SetLink(const CString& address);
    CString LinkAddress() const;  // of the link at the caret, empty when none
    // The selected picture, or null.
    dom::Node* SelectedPicture() const;
    // Inserts a picture at the selection, the caret after it, or changes the
    // selected one (name/value pairs; empty values are removed).
    void SetPicture(const std::vector<std::pair<CString, CString>>& attributes);

    // Caret and selection --------------------------------------------------------
    Boundary Focus() const;
    // Places the caret there, or moves the selection's focus there when extending.
    void SetCaret(Boundary at, bool extend);
    // Places the caret at the end of a line's text that a click landed past:
    // where a link ends there, the text typed next stands after the link.
    void SetCaretPastLineEnd(Boundary at);
    void MoveCharacter(bool forward, bool extend);
    void MoveWord(bool forward, bool extend);
    void MoveToEdge(bool end, bool extend);  // Ctrl+Home, Ctrl+End
    void SelectWordAt(Boundary at);
    void SelectAll();
    void SelectControl(dom::Node& element);

private:
    struct Scope {  // one undo step around an operation
        Editor& editor;
        explicit Scope(Editor& e, StepKind kind = StepKind::Other) : editor(e) { editor.m_history.Begin(editor.m_selection, kind); }
        ~Scope() { editor.m_history.End(editor.m_selection); }
    };
    Boundary Caret();
    // Where inserted content goes: at a caret (no selection was replaced)
    // after a link that ends there, never inside it.
    Boundary InsertionPoint(bool atCaret);
    void CollapseTo(Boundary at);
    void LinkTypedAddress(Boundary& caret);
    dom::Node* Root() const;
    TextRange SelectionRange() const;
    void DeleteCharacter(bool forward);  // Delete, Backspace
    // A list item whose parent is a list (UL or OL).
    static bool IsListItem(const dom::Node& block);
    // The item becomes a paragraph in its place after its list, which it
    // splits when items follow it; a list left without items goes. The
    // caret stays where it was in the item's content.
    void ItemLeavesList(dom::Node& item, const Boundary& at);
    // Takes the range's text out of the elements of the kinds.
    void RemoveInline(TextRange& range, const std::vector<dom::Tag>& kinds);
    // Inserts the text at the caret as a text node of its own in the formats.
    void TypeFormatted(Boundary at, const CString& text, const std::vector<TypingFormat>& formats);

    dom::Document& m_document;
    Selection& m_selection;
    UndoHistory& m_history;
};

// Helpers the window and the commands share -----------------------------------------

// Blocks as editing sees them (paragraphs, list items, cells, the body ...).
bool IsEditBlock(const dom::Node& node);
// The nearest block at or above the node (BODY at worst).
dom::Node* BlockOf(dom::Node* node);
// A boundary moved into the text at it where there is one, so typing joins that text.
Boundary NormalizeCaret(Boundary at);
bool IsInDocument(const dom::Document& document, const Boundary& at);
// Where content typed or inserted at the boundary goes: past the end of a
// link whose content ends there (nothing visible follows in it), so a link
// never grows by what comes after it; elsewhere the boundary itself.
Boundary PastLinkEnds(Boundary at);

}  // namespace editing

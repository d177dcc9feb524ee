// Builds the document tree from tokens as browsers do: a state per part of
// the page (before HEAD, in HEAD, in BODY, in a table, a row, a cell, a
// SELECT, ...), implied HTML, HEAD, BODY and table parts, misnested
// formatting elements closed and reopened, text and blocks that stray into
// a table placed before it, stray end tags ignored, and no text dropped.
//
// Where the page files the store writes differ from a browser's tree, the
// page files win: white space that only lays out the source inside HEAD and
// between table parts is not kept, a line end just before a block element is
// left to the serializer, COL needs no COLGROUP, comments after BODY stay in
// it when content follows them, and an inline element with content ends with
// the formatting element it was opened in.
#pragma once
#include "dom/Document.h"
#include "html/Tokenizer.h"

#include <vector>

namespace html {

class TreeBuilder {
public:
    // fragmentRoot: the element whose content a fragment becomes; it stands
    // for the HTML element and is never closed. Its name picks the start state.
    // form: for a fragment, the FORM its context lies in (no FORM nests in it).
    TreeBuilder(dom::Document& document, dom::Node* fragmentRoot, const dom::Node* form = nullptr);
    void Run(const CString& text);
    // True when the tree may differ from the one its own serialization gives
    // (content moved out of a table into an element that closes on a second
    // reading, misnested formatting repaired, elements refused for depth).
    bool Unsettled() const { return m_unsettled; }

private:
    enum class Mode {
        Initial, BeforeHtml, BeforeHead, InHead, InHeadNoscript, AfterHead, InBody, InTable, InCaption,
        InColumnGroup, InTableBody, InRow, InCell, InSelect, InSelectInTable, AfterBody, AfterAfterBody,
    };
    enum class Scope { Default, ListItem, Button, Table, Select };
    static constexpr int kMaxFormatting = 16;  // formatting elements kept for reopening
    struct Place {
        dom::Node* parent;
        dom::Node* before;  // null: at the end
    };

    bool BeforeBody() const {
        return m_mode == Mode::Initial || m_mode == Mode::BeforeHtml || m_mode == Mode::BeforeHead || m_mode == Mode::InHead ||
               m_mode == Mode::InHeadNoscript || m_mode == Mode::AfterHead;
    }

    // Tokens, by state.
    void Text(CString& text);
    void TextInBody(CString& text);
    void Comment(const Token& token);
    void PlaceCommentsAfterBody(bool contentFollows);
    void StartTag(Token& token);
    void EndTag(Token& token);
    bool ImplyBeforeBody();
    bool EndTagBeforeBody(Token& token);
    void StartTagInHead(Token& token);
    void StartTagInBody(Token& token);
    void EndTagInBody(Token& token);
    void AnyOtherEndTag(const Token& token);
    bool StartTagInTable(Token& token);
    bool StartTagInTableParts(Token& token);
    bool EndTagInTableParts(Token& token);
    bool StartTagInSelect(Token& token);
    bool EndTagInSelect(Token& token);

    // The stack of open elements.
    dom::Node* Current() const { return m_stack.empty() ? nullptr : m_stack.back(); }
    dom::Tag TagOf(const dom::Node* node) const;
    bool IsOpen(const dom::Node* node) const;
    int IndexOf(const dom::Node* node) const;
    static bool IsScopeEdge(dom::Tag tag, Scope scope);
    // Index in the stack of the nearest open element matching pred, not
    // looking past the scope's edges; -1 when none.
    template <typename Pred>
    int FindInScope(Pred pred, Scope scope) const {
        for (int i = static_cast<int>(m_stack.size()) - 1; i >= 0; --i) {
            const dom::Node* node = m_stack[static_cast<size_t>(i)];
            if (node != m_fragmentRoot && pred(node)) return i;
            if (IsScopeEdge(TagOf(node), scope)) return -1;
        }
        return -1;
    }
    int FindTagInScope(dom::Tag tag, Scope scope) const;
    int FindNameInScope(const Token& token, Scope scope) const;
    void Pop();
    void PopTo(int index);  // pops the element at index and all above it
    void PopUntilTag(dom::Tag tag);
    void RemoveFromStack(int index);
    void GenerateImpliedEndTags(dom::Tag except = dom::Tag::Unknown, const CString& exceptName = CString());
    void ClosePInButtonScope();
    void ClearStackBackTo(std::initializer_list<dom::Tag> tags);
    void CloseCell();
    void ResetInsertionMode();

    // Inserting.
    Place AppropriatePlace(dom::Node* target) const;
    static void PlaceNode(const Place& place, dom::NodePtr node);
    bool RoomForElement();
    dom::Node* InsertElement(Token& token);
    dom::Node* InsertImplied(const wchar_t* name);
    dom::Node* InsertNode(dom::NodePtr element);
    void InsertText(CString& text);
    void MergeAttributes(dom::Node* element, const Token& token);

    // Formatting elements.
    void PushFormatting(dom::Node* element);
    void InsertBehindMarker(Token& token, Mode mode);
    void ReconstructFormatting();
    void ClearFormattingToMarker();
    int FormattingIndex(const dom::Node* element) const;
    bool AdoptionAgency(const Token& token, bool endTag);  // false: handle as any other end tag
    dom::NodePtr Clone(const dom::Node* element);

    dom::Document& m_document;
    dom::Node* m_fragmentRoot;
    dom::Tag m_contextTag = dom::Tag::Unknown;
    dom::Node* m_html = nullptr;
    dom::Node* m_head = nullptr;
    const dom::Node* m_form = nullptr;  // the open FORM: no FORM nests in it
    dom::Node* m_raw = nullptr;  // the element whose raw text the tokenizer is reading
    Mode m_mode = Mode::Initial;
    Mode m_rawReturn = Mode::InBody;
    bool m_quirks = false;
    bool m_skipLineFeed = false;  // the start tag just read drops a line end that follows it
    bool m_fosterParenting = false;
    bool m_unsettled = false;
    std::vector<dom::Node*> m_stack;
    std::vector<dom::Node*> m_formatting;  // null: a marker (cell, caption, object)
    struct PendingComment {
        dom::NodePtr comment;
        bool afterHtml;  // came after the end of HTML, not only of BODY
    };
    std::vector<PendingComment> m_afterBody;
};

}  // namespace html

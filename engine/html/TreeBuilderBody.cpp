#include "html/TreeBuilder.h"

#include "html/ElementKinds.h"

#include <algorithm>

namespace html {

using dom::Node;
using dom::NodePtr;
using dom::Tag;
using namespace kinds;

// The states before and in BODY.

void TreeBuilder::Text(CString& text) {
    if (!m_afterBody.empty()) PlaceCommentsAfterBody(true);
    if (m_raw) {
        InsertText(text);
        return;
    }
    if (BeforeBody() || m_mode == Mode::InColumnGroup) {
        // White space here only lays out the source; the rest starts the body.
        int skip = LeadingSpace(text);
        if (skip && m_mode == Mode::InHeadNoscript) {  // kept inside NOSCRIPT, as any content of it
            CString space = text.Left(skip);
            InsertText(space);
        }
        if (skip == text.GetLength()) return;
        if (skip) text = text.Mid(skip);
        if (m_mode == Mode::InColumnGroup && !Current()->Is(Tag::Colgroup)) {
            TextInBody(text);
            return;
        }
        if (!ImplyBeforeBody()) return;
        Text(text);
        return;
    }
    switch (m_mode) {
    case Mode::InTable:
    case Mode::InTableBody:
    case Mode::InRow:
        if (IsTableContext(TagOf(Current()))) {
            if (LeadingSpace(text) == text.GetLength()) return;
            m_fosterParenting = true;
            TextInBody(text);
            m_fosterParenting = false;
            return;
        }
        TextInBody(text);
        return;
    case Mode::InSelect:
    case Mode::InSelectInTable:
        InsertText(text);
        return;
    case Mode::AfterBody:
    case Mode::AfterAfterBody:
        if (LeadingSpace(text) != text.GetLength()) m_mode = Mode::InBody;
        TextInBody(text);
        return;
    default:
        TextInBody(text);
        return;
    }
}

void TreeBuilder::TextInBody(CString& text) {
    ReconstructFormatting();
    InsertText(text);
}

void TreeBuilder::Comment(const Token& token) {
    NodePtr comment = m_document.CreateComment(token.data);
    comment->ParserName() = token.name;
    if (m_mode == Mode::Initial || m_mode == Mode::BeforeHtml || m_stack.empty()) {
        m_document.ParserAppend(comment);
        return;
    }
    if (m_mode == Mode::AfterBody || m_mode == Mode::AfterAfterBody) {
        // After the end of BODY: it ends up after BODY, or after HTML, unless
        // content follows; then it stays where the page's content ends.
        m_afterBody.push_back({std::move(comment), m_mode == Mode::AfterAfterBody && !m_fragmentRoot});
        return;
    }
    PlaceNode(AppropriatePlace(Current()), comment);
}

void TreeBuilder::PlaceCommentsAfterBody(bool contentFollows) {
    for (auto& [comment, afterHtml] : m_afterBody) {
        if (contentFollows) {
            PlaceNode(AppropriatePlace(Current()), std::move(comment));
        } else if (afterHtml) {
            m_document.ParserAppend(std::move(comment));
        } else {
            m_stack.front()->ParserAppend(std::move(comment));
        }
    }
    m_afterBody.clear();
}

// What a token does before BODY starts when the state has no rule of its
// own for it: the missing HTML, HEAD or BODY is made, or HEAD is closed.
// False when the token is to be ignored.
bool TreeBuilder::ImplyBeforeBody() {
    switch (m_mode) {
    case Mode::Initial:
        m_quirks = true;
        m_mode = Mode::BeforeHtml;
        return true;
    case Mode::BeforeHtml: {
        NodePtr html = m_document.CreateElement(L"HTML");
        m_html = html.get();
        m_document.ParserAppend(html);
        m_stack.push_back(m_html);
        m_mode = Mode::BeforeHead;
        return true;
    }
    case Mode::BeforeHead:
        m_head = InsertImplied(L"HEAD");
        m_mode = Mode::InHead;
        return true;
    case Mode::InHead:
        if (Current() == m_head) Pop();
        m_mode = Mode::AfterHead;
        return true;
    case Mode::InHeadNoscript:
        Pop();
        m_mode = Mode::InHead;
        return true;
    case Mode::AfterHead:
        InsertImplied(L"BODY");
        m_mode = Mode::InBody;
        return true;
    case Mode::InColumnGroup:
        if (!Current()->Is(Tag::Colgroup)) return false;
        Pop();
        m_mode = Mode::InTable;
        return true;
    default:
        return false;
    }
}

void TreeBuilder::StartTag(Token& token) {
    if (!m_afterBody.empty()) PlaceCommentsAfterBody(true);
    Tag tag = token.tag;
    switch (m_mode) {
    case Mode::Initial:
        ImplyBeforeBody();
        return StartTag(token);
    case Mode::BeforeHtml:
        if (tag == Tag::Html) {
            NodePtr html = m_document.CreateElement(std::move(token.name), tag, token.attributes);
            m_html = html.get();
            m_document.ParserAppend(html);
            m_stack.push_back(m_html);
            m_mode = Mode::BeforeHead;
            return;
        }
        ImplyBeforeBody();
        return StartTag(token);
    case Mode::BeforeHead:
        if (tag == Tag::Html) return StartTagInBody(token);
        if (tag == Tag::Head) {
            m_head = InsertElement(token);
            m_mode = Mode::InHead;
            return;
        }
        ImplyBeforeBody();
        return StartTag(token);
    case Mode::InHead:
        return StartTagInHead(token);
    case Mode::InHeadNoscript:
        if (tag == Tag::Html) return StartTagInBody(token);
        if (IsOneOf(tag, {Tag::Basefont, Tag::Bgsound, Tag::Link, Tag::Meta, Tag::Noframes, Tag::Style}))
            return StartTagInHead(token);
        if (tag == Tag::Head || tag == Tag::Noscript) return;
        ImplyBeforeBody();
        return StartTag(token);
    case Mode::AfterHead:
        if (tag == Tag::Html) return StartTagInBody(token);
        if (tag == Tag::Body) {
            if (InsertElement(token)) m_mode = Mode::InBody;
            return;
        }
        if (IsOneOf(tag, {Tag::Base, Tag::Basefont, Tag::Bgsound, Tag::Link, Tag::Meta, Tag::Noframes, Tag::Script,
                          Tag::Style, Tag::Title}) && m_head) {
            m_stack.push_back(m_head);
            StartTagInHead(token);
            RemoveFromStack(IndexOf(m_head));
            return;
        }
        if (tag == Tag::Head) return;
        ImplyBeforeBody();
        return StartTag(token);
    case Mode::InBody:
    case Mode::InCaption:
    case Mode::InTable:
    case Mode::InTableBody:
    case Mode::InRow:
    case Mode::InCell:
        if (m_mode == Mode::InBody) return StartTagInBody(token);
        if (StartTagInTableParts(token)) return;
        if (m_mode == Mode::InCaption || m_mode == Mode::InCell) return StartTagInBody(token);
        m_fosterParenting = true;
        StartTagInBody(token);
        m_fosterParenting = false;
        return;
    case Mode::InColumnGroup:
        if (tag == Tag::Html) return StartTagInBody(token);
        if (tag == Tag::Col) {
            InsertElement(token);
            return;
        }
        if (!ImplyBeforeBody()) return;
        return StartTag(token);
    case Mode::InSelect:
    case Mode::InSelectInTable:
        StartTagInSelect(token);
        return;
    case Mode::AfterBody:
    case Mode::AfterAfterBody:
        if (tag != Tag::Html) m_mode = Mode::InBody;
        return StartTagInBody(token);
    }
}

void TreeBuilder::StartTagInHead(Token& token) {
    switch (token.tag) {
    case Tag::Html: return StartTagInBody(token);
    case Tag::Base:
    case Tag::Basefont:
    case Tag::Bgsound:
    case Tag::Link:
    case Tag::Meta:
    case Tag::Title:
    case Tag::Noframes:
    case Tag::Style:
    case Tag::Script:
        InsertElement(token);
        return;
    case Tag::Noscript:
        if (InsertElement(token)) m_mode = Mode::InHeadNoscript;
        return;
    case Tag::Head:
        return;
    default:
        ImplyBeforeBody();
        return StartTag(token);
    }
}

void TreeBuilder::StartTagInBody(Token& token) {
    Tag tag = token.tag;
    if (IsBlock(token)) {
        ClosePInButtonScope();
        InsertElement(token);
        return;
    }
    if (IsHeading(tag)) {
        ClosePInButtonScope();
        if (IsHeading(TagOf(Current()))) Pop();
        InsertElement(token);
        return;
    }
    if (IsFormatting(tag) && tag != Tag::A && tag != Tag::Nobr) {
        ReconstructFormatting();
        if (Node* element = InsertElement(token)) PushFormatting(element);
        return;
    }
    switch (tag) {
    case Tag::Html:
        if (!m_fragmentRoot) MergeAttributes(m_html, token);
        return;
    case Tag::Base:
    case Tag::Basefont:
    case Tag::Bgsound:
    case Tag::Link:
    case Tag::Meta:
    case Tag::Noframes:
    case Tag::Script:
    case Tag::Style:
    case Tag::Title:
        return StartTagInHead(token);
    case Tag::Body:
        if (m_stack.size() > 1 && m_stack[1]->Is(Tag::Body) && !m_fragmentRoot) MergeAttributes(m_stack[1], token);
        return;
    case Tag::P:
    case Tag::Pre:
    case Tag::Listing:
    case Tag::Plaintext:
        ClosePInButtonScope();
        InsertElement(token);
        return;
    case Tag::Form:
        if (m_form) return;
        ClosePInButtonScope();
        m_form = InsertElement(token);
        return;
    case Tag::Li:
    case Tag::Dd:
    case Tag::Dt:
        for (int i = static_cast<int>(m_stack.size()) - 1; i >= 0; --i) {
            auto closes = [&](const Node* node) {
                Tag open = TagOf(node);
                return tag == Tag::Li ? open == Tag::Li : (open == Tag::Dd || open == Tag::Dt);
            };
            Node* node = m_stack[static_cast<size_t>(i)];
            if (closes(node)) {
                GenerateImpliedEndTags(TagOf(node));
                PopTo(i);
                break;
            }
            Tag open = TagOf(node);
            if (IsSpecialTag(open) && open != Tag::Address && open != Tag::Div && open != Tag::P) {
                // An item further down stays open; a second reading, without
                // what stopped the search here (a NOSCRIPT in a P), closes it.
                if (std::any_of(m_stack.begin(), m_stack.begin() + i, closes)) m_unsettled = true;
                break;
            }
        }
        ClosePInButtonScope();
        InsertElement(token);
        return;
    case Tag::Button:
        if (int at = FindTagInScope(Tag::Button, Scope::Default); at >= 0) {
            GenerateImpliedEndTags();
            PopTo(at);
        }
        ReconstructFormatting();
        InsertElement(token);
        return;
    case Tag::A:
        for (int i = static_cast<int>(m_formatting.size()) - 1; i >= 0 && m_formatting[static_cast<size_t>(i)]; --i) {
            Node* open = m_formatting[static_cast<size_t>(i)];
            if (!open->Is(Tag::A)) continue;
            Token end;
            end.tag = Tag::A;
            end.name = L"A";
            AdoptionAgency(end, false);
            if (int entry = FormattingIndex(open); entry >= 0) m_formatting.erase(m_formatting.begin() + entry);
            if (int at = IndexOf(open); at >= 0) {
                RemoveFromStack(at);
                m_unsettled = true;
            }
            break;
        }
        ReconstructFormatting();
        if (Node* element = InsertElement(token)) PushFormatting(element);
        return;
    case Tag::Nobr:
        ReconstructFormatting();
        if (FindTagInScope(Tag::Nobr, Scope::Default) >= 0) {
            Token end;
            end.tag = Tag::Nobr;
            end.name = L"NOBR";
            if (!AdoptionAgency(end, false)) AnyOtherEndTag(end);
            ReconstructFormatting();
        }
        if (Node* element = InsertElement(token)) PushFormatting(element);
        return;
    case Tag::Applet:
    case Tag::Marquee:
    case Tag::Object:
        ReconstructFormatting();
        if (InsertElement(token)) m_formatting.push_back(nullptr);
        return;
    case Tag::Table:
        if (!m_quirks) ClosePInButtonScope();
        if (InsertElement(token)) m_mode = Mode::InTable;
        return;
    case Tag::Area:
    case Tag::Br:
    case Tag::Embed:
    case Tag::Img:
    case Tag::Keygen:
    case Tag::Wbr:
    case Tag::Input:
        ReconstructFormatting();
        InsertElement(token);
        return;
    case Tag::Param:
    case Tag::Source:
    case Tag::Track:
        InsertElement(token);
        return;
    case Tag::Hr:
        ClosePInButtonScope();
        InsertElement(token);
        return;
    case Tag::Textarea:
    case Tag::Iframe:
    case Tag::Noembed:
        InsertElement(token);
        return;
    case Tag::Xmp:
        ClosePInButtonScope();
        ReconstructFormatting();
        InsertElement(token);
        return;
    case Tag::Select:
        ReconstructFormatting();
        if (!InsertElement(token)) return;
        m_mode = (m_mode == Mode::InTable || m_mode == Mode::InCaption || m_mode == Mode::InTableBody ||
                  m_mode == Mode::InRow || m_mode == Mode::InCell)
                     ? Mode::InSelectInTable
                     : Mode::InSelect;
        return;
    case Tag::Optgroup:
    case Tag::Option:
        if (TagOf(Current()) == Tag::Option) Pop();
        ReconstructFormatting();
        InsertElement(token);
        return;
    case Tag::Caption:
    case Tag::Col:
    case Tag::Colgroup:
    case Tag::Frame:
    case Tag::Head:
    case Tag::Tbody:
    case Tag::Td:
    case Tag::Tfoot:
    case Tag::Th:
    case Tag::Thead:
    case Tag::Tr:
        return;  // table parts outside a table, a second HEAD
    default:
        break;
    }
    if (IsNamed(token, L"IMAGE")) {
        token.name = L"IMG";
        token.tag = Tag::Img;
        return StartTagInBody(token);
    }
    if (IsNamed(token, L"RB") || IsNamed(token, L"RTC") || IsNamed(token, L"RP") || IsNamed(token, L"RT")) {
        if (FindInScope([](const Node* node) { return IsNamed(node, L"RUBY"); }, Scope::Default) >= 0) {
            if (IsNamed(token, L"RP") || IsNamed(token, L"RT")) {
                GenerateImpliedEndTags(Tag::Unknown, L"RTC");  // annotations stay inside an RTC
            } else {
                GenerateImpliedEndTags();
            }
        }
        InsertElement(token);
        return;
    }
    ReconstructFormatting();
    InsertElement(token);
}

void TreeBuilder::EndTag(Token& token) {
    if (m_raw) {  // the end of the raw text of TITLE, STYLE, SCRIPT, TEXTAREA and their kin
        if (Current() == m_raw) Pop();
        m_raw = nullptr;
        return;
    }
    Tag tag = token.tag;
    if (BeforeBody()) {
        if (EndTagBeforeBody(token)) return;
        ImplyBeforeBody();
        return EndTag(token);
    }
    switch (m_mode) {
    case Mode::InBody:
        return EndTagInBody(token);
    case Mode::InCaption:
    case Mode::InTable:
    case Mode::InTableBody:
    case Mode::InRow:
    case Mode::InCell:
        if (EndTagInTableParts(token)) return;
        if (m_mode == Mode::InCaption || m_mode == Mode::InCell) return EndTagInBody(token);
        m_fosterParenting = true;
        EndTagInBody(token);
        m_fosterParenting = false;
        return;
    case Mode::InColumnGroup:
        if (tag == Tag::Colgroup) {
            if (Current()->Is(Tag::Colgroup)) {
                Pop();
                m_mode = Mode::InTable;
            }
            return;
        }
        if (tag == Tag::Col || !ImplyBeforeBody()) return;
        return EndTag(token);
    case Mode::InSelect:
    case Mode::InSelectInTable:
        EndTagInSelect(token);
        return;
    case Mode::AfterBody:
        if (tag == Tag::Html) {
            m_mode = Mode::AfterAfterBody;
            return;
        }
        m_mode = Mode::InBody;
        return EndTagInBody(token);
    case Mode::AfterAfterBody:
        m_mode = Mode::InBody;
        return EndTagInBody(token);
    default:  // before BODY: handled above
        return;
    }
}

// True when the end tag is handled (or ignored) before the body.
bool TreeBuilder::EndTagBeforeBody(Token& token) {
    Tag tag = token.tag;
    bool makesBody = tag == Tag::Body || tag == Tag::Html || tag == Tag::Br;
    switch (m_mode) {
    case Mode::BeforeHtml:
    case Mode::BeforeHead:
        return !(makesBody || tag == Tag::Head);
    case Mode::InHead:
        if (tag == Tag::Head) {
            if (Current() == m_head) Pop();
            m_mode = Mode::AfterHead;
            return true;
        }
        return !makesBody;
    case Mode::InHeadNoscript:
        if (tag == Tag::Noscript) {
            Pop();
            m_mode = Mode::InHead;
            return true;
        }
        return tag != Tag::Br;
    case Mode::AfterHead:
        return !makesBody;
    default:
        return false;
    }
}

void TreeBuilder::EndTagInBody(Token& token) {
    Tag tag = token.tag;
    if (IsBlock(token) || IsOneOf(tag, {Tag::Button, Tag::Listing, Tag::Pre})) {
        int at = FindNameInScope(token, Scope::Default);
        if (at < 0) return;
        GenerateImpliedEndTags();
        PopTo(at);
        return;
    }
    if (IsHeading(tag)) {
        int at = FindInScope([](const Node* node) { return IsHeading(node->TagId()); }, Scope::Default);
        if (at < 0) return;
        GenerateImpliedEndTags();
        PopTo(at);
        return;
    }
    if (IsFormatting(tag)) {
        if (!AdoptionAgency(token, true)) AnyOtherEndTag(token);
        return;
    }
    switch (tag) {
    case Tag::Body:
    case Tag::Html:
        if (FindTagInScope(Tag::Body, Scope::Default) < 0) return;
        m_mode = tag == Tag::Html ? Mode::AfterAfterBody : Mode::AfterBody;
        return;
    case Tag::Form: {
        const Node* form = m_form;
        m_form = nullptr;
        if (!form) return;
        if (FindInScope([form](const Node* node) { return node == form; }, Scope::Default) < 0) {
            if (IsOpen(form)) m_unsettled = true;  // a second reading finds it still open
            return;
        }
        GenerateImpliedEndTags();
        if (Current() != form) m_unsettled = true;  // what is open inside it stays open outside it
        RemoveFromStack(IndexOf(form));
        return;
    }
    case Tag::P:
        if (FindTagInScope(Tag::P, Scope::Button) < 0 && !InsertImplied(L"P")) return;
        ClosePInButtonScope();
        return;
    case Tag::Li:
    case Tag::Dd:
    case Tag::Dt: {
        int at = FindTagInScope(tag, tag == Tag::Li ? Scope::ListItem : Scope::Default);
        if (at < 0) return;
        GenerateImpliedEndTags(tag);
        PopTo(at);
        return;
    }
    case Tag::Applet:
    case Tag::Marquee:
    case Tag::Object: {
        int at = FindTagInScope(tag, Scope::Default);
        if (at < 0) return;
        GenerateImpliedEndTags();
        PopTo(at);
        ClearFormattingToMarker();
        return;
    }
    case Tag::Br:
        token.type = TokenType::StartTag;
        token.attributes.clear();
        return StartTagInBody(token);
    default:
        return AnyOtherEndTag(token);
    }
}

void TreeBuilder::AnyOtherEndTag(const Token& token) {
    for (int i = static_cast<int>(m_stack.size()) - 1; i >= 0; --i) {
        Node* node = m_stack[static_cast<size_t>(i)];
        if (node != m_fragmentRoot && node->TagId() == token.tag && node->TagName() == token.name) {
            GenerateImpliedEndTags(token.tag, token.name);
            PopTo(i);
            return;
        }
        if (IsSpecialTag(TagOf(node))) return;
    }
}

}  // namespace html

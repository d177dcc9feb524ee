#include "html/TreeBuilder.h"

#include "html/ElementKinds.h"

namespace html {

using dom::Node;
using dom::NodePtr;
using dom::Tag;
using namespace kinds;

// The states of tables, their parts and list boxes (SELECT).

// Start tags in a table, its caption, sections, rows and cells; false when the
// tag is handled as in the body.
bool TreeBuilder::StartTagInTableParts(Token& token) {
    Tag tag = token.tag;
    bool tablePart = IsOneOf(tag, {Tag::Caption, Tag::Col, Tag::Colgroup, Tag::Tbody, Tag::Td, Tag::Tfoot, Tag::Th,
                                   Tag::Thead, Tag::Tr});
    switch (m_mode) {
    case Mode::InCaption:
        if (!tablePart) return false;
        if (FindTagInScope(Tag::Caption, Scope::Table) < 0) return true;
        GenerateImpliedEndTags();
        PopUntilTag(Tag::Caption);
        ClearFormattingToMarker();
        m_mode = Mode::InTable;
        StartTag(token);
        return true;
    case Mode::InCell:
        if (!tablePart) return false;
        if (FindInScope([this](const Node* node) { return IsCell(TagOf(node)); }, Scope::Table) < 0) return true;
        CloseCell();
        StartTag(token);
        return true;
    case Mode::InRow:
        if (IsCell(tag)) {
            ClearStackBackTo({Tag::Tr, Tag::Html});
            InsertBehindMarker(token, Mode::InCell);
            return true;
        }
        if (tablePart) {
            if (FindTagInScope(Tag::Tr, Scope::Table) < 0) return true;
            ClearStackBackTo({Tag::Tr, Tag::Html});
            Pop();
            m_mode = Mode::InTableBody;
            StartTag(token);
            return true;
        }
        return StartTagInTable(token);
    case Mode::InTableBody:
        if (tag == Tag::Tr) {
            ClearStackBackTo({Tag::Tbody, Tag::Tfoot, Tag::Thead, Tag::Html});
            if (InsertElement(token)) m_mode = Mode::InRow;
            return true;
        }
        if (IsCell(tag)) {
            ClearStackBackTo({Tag::Tbody, Tag::Tfoot, Tag::Thead, Tag::Html});
            if (!InsertImplied(L"TR")) return true;
            m_mode = Mode::InRow;
            StartTag(token);
            return true;
        }
        if (tablePart) {
            if (FindInScope([this](const Node* node) { return IsTablePart(TagOf(node)); }, Scope::Table) < 0) return true;
            ClearStackBackTo({Tag::Tbody, Tag::Tfoot, Tag::Thead, Tag::Html});
            Pop();
            m_mode = Mode::InTable;
            StartTag(token);
            return true;
        }
        return StartTagInTable(token);
    default:
        return StartTagInTable(token);
    }
}

bool TreeBuilder::StartTagInTable(Token& token) {
    switch (token.tag) {
    case Tag::Caption:
        ClearStackBackTo({Tag::Table, Tag::Html});
        InsertBehindMarker(token, Mode::InCaption);
        return true;
    case Tag::Colgroup:
        ClearStackBackTo({Tag::Table, Tag::Html});
        if (InsertElement(token)) m_mode = Mode::InColumnGroup;
        return true;
    case Tag::Col:  // straight into the table: pages keep COL without COLGROUP
        ClearStackBackTo({Tag::Table, Tag::Html});
        InsertElement(token);
        return true;
    case Tag::Tbody:
    case Tag::Tfoot:
    case Tag::Thead:
        ClearStackBackTo({Tag::Table, Tag::Html});
        if (InsertElement(token)) m_mode = Mode::InTableBody;
        return true;
    case Tag::Td:
    case Tag::Th:
    case Tag::Tr:
        ClearStackBackTo({Tag::Table, Tag::Html});
        if (!InsertImplied(L"TBODY")) return true;
        m_mode = Mode::InTableBody;
        StartTag(token);
        return true;
    case Tag::Table:
        if (FindTagInScope(Tag::Table, Scope::Table) < 0) return true;
        PopUntilTag(Tag::Table);
        ResetInsertionMode();
        StartTag(token);
        return true;
    case Tag::Style:
    case Tag::Script:
        StartTagInHead(token);
        return true;
    case Tag::Input: {
        const dom::Attribute* type = nullptr;
        for (const auto& attribute : token.attributes)
            if (attribute.name.CompareNoCase(L"type") == 0) {
                type = &attribute;
                break;
            }
        if (!type || type->value.CompareNoCase(L"hidden") != 0) return false;
        InsertElement(token);
        return true;
    }
    case Tag::Form:
        if (m_form) return true;
        m_form = InsertElement(token);
        if (m_form) Pop();
        return true;
    default:
        return false;
    }
}

bool TreeBuilder::EndTagInTableParts(Token& token) {
    Tag tag = token.tag;
    bool ignored = IsOneOf(tag, {Tag::Body, Tag::Caption, Tag::Col, Tag::Colgroup, Tag::Html, Tag::Tbody, Tag::Td,
                                 Tag::Tfoot, Tag::Th, Tag::Thead, Tag::Tr});
    switch (m_mode) {
    case Mode::InCaption:
        if (tag == Tag::Caption || tag == Tag::Table) {
            if (FindTagInScope(Tag::Caption, Scope::Table) < 0) return true;
            GenerateImpliedEndTags();
            PopUntilTag(Tag::Caption);
            ClearFormattingToMarker();
            m_mode = Mode::InTable;
            if (tag == Tag::Table) EndTag(token);
            return true;
        }
        return ignored;
    case Mode::InCell:
        if (IsCell(tag)) {
            int at = FindNameInScope(token, Scope::Table);
            if (at < 0) return true;
            GenerateImpliedEndTags();
            PopTo(at);
            ClearFormattingToMarker();
            m_mode = Mode::InRow;
            return true;
        }
        if (tag == Tag::Table || IsTablePart(tag) || tag == Tag::Tr) {
            if (FindNameInScope(token, Scope::Table) < 0) return true;
            CloseCell();
            EndTag(token);
            return true;
        }
        return IsOneOf(tag, {Tag::Body, Tag::Caption, Tag::Col, Tag::Colgroup, Tag::Html});
    case Mode::InRow:
        if (tag == Tag::Tr || tag == Tag::Table || IsTablePart(tag)) {
            if (IsTablePart(tag) && FindNameInScope(token, Scope::Table) < 0) return true;
            if (FindTagInScope(Tag::Tr, Scope::Table) < 0) return true;
            ClearStackBackTo({Tag::Tr, Tag::Html});
            Pop();
            m_mode = Mode::InTableBody;
            if (tag != Tag::Tr) EndTag(token);
            return true;
        }
        break;
    case Mode::InTableBody:
        if (IsTablePart(tag) || tag == Tag::Table) {
            bool found = IsTablePart(tag)
                             ? FindNameInScope(token, Scope::Table) >= 0
                             : FindInScope([this](const Node* node) { return IsTablePart(TagOf(node)); }, Scope::Table) >= 0;
            if (!found) return true;
            ClearStackBackTo({Tag::Tbody, Tag::Tfoot, Tag::Thead, Tag::Html});
            Pop();
            m_mode = Mode::InTable;
            if (tag == Tag::Table) EndTag(token);
            return true;
        }
        break;
    default:
        break;
    }
    if (tag == Tag::Table) {
        if (FindTagInScope(Tag::Table, Scope::Table) < 0) return true;
        PopUntilTag(Tag::Table);
        ResetInsertionMode();
        return true;
    }
    return ignored;
}

bool TreeBuilder::StartTagInSelect(Token& token) {
    Tag tag = token.tag;
    bool tableTag = IsOneOf(tag, {Tag::Caption, Tag::Table, Tag::Tbody, Tag::Tfoot, Tag::Thead, Tag::Tr, Tag::Td, Tag::Th});
    int select = FindTagInScope(Tag::Select, Scope::Select);
    if (m_mode == Mode::InSelectInTable && tableTag) {
        PopUntilTag(Tag::Select);
        ResetInsertionMode();
        StartTag(token);
        return true;
    }
    switch (tag) {
    case Tag::Html: StartTagInBody(token); return true;
    case Tag::Option:
        if (TagOf(Current()) == Tag::Option) Pop();
        InsertElement(token);
        return true;
    case Tag::Optgroup:
        if (TagOf(Current()) == Tag::Option) Pop();
        if (TagOf(Current()) == Tag::Optgroup) Pop();
        InsertElement(token);
        return true;
    case Tag::Select:
        if (select < 0) return true;
        PopTo(select);
        ResetInsertionMode();
        return true;
    case Tag::Input:
    case Tag::Keygen:
    case Tag::Textarea:
        if (select < 0) return true;
        PopTo(select);
        ResetInsertionMode();
        StartTag(token);
        return true;
    case Tag::Script: StartTagInHead(token); return true;
    default: return true;  // nothing else belongs in a list box
    }
}

bool TreeBuilder::EndTagInSelect(Token& token) {
    Tag tag = token.tag;
    bool tableTag = IsOneOf(tag, {Tag::Caption, Tag::Table, Tag::Tbody, Tag::Tfoot, Tag::Thead, Tag::Tr, Tag::Td, Tag::Th});
    if (m_mode == Mode::InSelectInTable && tableTag) {
        if (FindNameInScope(token, Scope::Table) < 0) return true;
        PopUntilTag(Tag::Select);
        ResetInsertionMode();
        EndTag(token);
        return true;
    }
    switch (tag) {
    case Tag::Optgroup:
        if (TagOf(Current()) == Tag::Option && m_stack.size() > 1 && TagOf(m_stack[m_stack.size() - 2]) == Tag::Optgroup) Pop();
        if (TagOf(Current()) == Tag::Optgroup) Pop();
        return true;
    case Tag::Option:
        if (TagOf(Current()) == Tag::Option) Pop();
        return true;
    case Tag::Select: {
        int select = FindTagInScope(Tag::Select, Scope::Select);
        if (select < 0) return true;
        PopTo(select);
        ResetInsertionMode();
        return true;
    }
    default: return true;
    }
}

}  // namespace html

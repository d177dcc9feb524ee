// What the tree builder knows of elements: which are formatting elements,
// blocks, special (stray end tags do not close them) and scope edges.
#pragma once
#include "core/String.h"
#include "dom/Node.h"
#include "html/Tokenizer.h"

#include <algorithm>
#include <initializer_list>

namespace html::kinds {

using dom::Node;
using dom::Tag;

inline bool IsSpace(wchar_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

inline int LeadingSpace(const CString& text) {
    int count = 0;
    while (count < text.GetLength() && IsSpace(text[count])) ++count;
    return count;
}

inline bool IsHeading(Tag tag) { return tag >= Tag::H1 && tag <= Tag::H6; }
inline bool IsTablePart(Tag tag) { return tag == Tag::Tbody || tag == Tag::Thead || tag == Tag::Tfoot; }
inline bool IsTableContext(Tag tag) { return tag == Tag::Table || IsTablePart(tag) || tag == Tag::Tr; }
inline bool IsCell(Tag tag) { return tag == Tag::Td || tag == Tag::Th; }

inline bool IsOneOf(Tag tag, std::initializer_list<Tag> tags) { return std::find(tags.begin(), tags.end(), tag) != tags.end(); }

// What the builder needs to know of each known element, looked up once.
enum Kind : unsigned char {
    kFormatting = 1,  // reopened after blocks that interrupt it
    kBlock = 2,       // its start tag closes an open P, its end tag what is open inside it
    kSpecial = 4,     // end tags of other elements do not close it
    kScopeEdge = 8,   // end tags do not look past it
};
bool Has(Tag tag, unsigned char kind);

inline bool IsFormatting(Tag tag) { return Has(tag, kFormatting); }
inline bool IsSpecialTag(Tag tag) { return Has(tag, kSpecial); }

// Elements newer than the tag table, known by name.
inline bool IsNamed(const Node* node, const wchar_t* name) { return node->TagId() == Tag::Unknown && node->TagName() == name; }
inline bool IsNamed(const Token& token, const wchar_t* name) { return token.tag == Tag::Unknown && token.name == name; }

inline bool IsBlock(const Token& token) { return Has(token.tag, kBlock) || IsNamed(token, L"DIALOG") || IsNamed(token, L"SEARCH"); }

inline bool ClosesImplicitly(const Node* node, Tag tag) {
    return IsOneOf(tag, {Tag::Dd, Tag::Dt, Tag::Li, Tag::Optgroup, Tag::Option, Tag::P}) ||
           IsNamed(node, L"RB") || IsNamed(node, L"RP") || IsNamed(node, L"RT") || IsNamed(node, L"RTC");
}

}  // namespace html::kinds

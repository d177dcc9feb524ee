// The tree operations the editor's typing, commands and moves share: what
// counts as a block, an atom or a blank, the neighbours of a boundary inside
// a block, and the moves and splits of children that edits are made of.
#pragma once
#include "editing/Editor.h"

#include <initializer_list>
#include <utility>
#include <vector>

namespace editing::tree {

using dom::Node;
using dom::NodePtr;
using dom::Tag;

constexpr wchar_t kNoBreakSpace = 0x00A0;

// SCRIPT, STYLE, TITLE, HEAD: nothing of them is edited.
bool IsHidden(const Node& element);
// Things the caret goes around as a whole: empty elements, pictures, form controls.
bool IsAtom(const Node& element);
bool IsCellLike(const Node& node);  // a cell, a caption or the body
// Blocks that Enter splits in two; other blocks get a new paragraph around the line.
bool IsSplittable(const Node& node);
bool IsBlank(const Node& node);  // text of white space only
bool IsWordChar(wchar_t c);
bool IsSpaceChar(wchar_t c);
bool IsNamedOneOf(const Node& node, std::initializer_list<const wchar_t*> names);
bool KeepsBlanks(const Node* node);  // inside PRE and its kind
// Text or an atom somewhere below the node.
bool HasContent(const Node& node);

// The units of the character that ends at / starts at the offset (a surrogate pair is one character).
int UnitsBefore(const CString& data, int offset);
int UnitsAfter(const CString& data, int offset);

enum class ItemKind { Text, Atom, Block, Edge };
struct Item {
    ItemKind kind;
    Node* node;
};
// The first thing before (or after) the boundary inside the limit: text,
// an atom, a block nested in the limit, or the limit's edge.
Item Neighbour(const Boundary& at, Node* limit, bool forward);
// The place just before the character that precedes the boundary in its block (no node: none).
Boundary PositionBefore(const Boundary& at, Node* block);
wchar_t CharAt(const Boundary& at);  // 0 past a text's end
// A no-break space after other text becomes a plain blank.
void PlainBlankAt(const Boundary& at, Node* block);

// The sibling before or after the node, passing over blank text.
Node* SiblingBlockward(Node& node, bool forward);
// The innermost last (first) block of a block: a list's last item, a DIV's last paragraph.
Node* DeepBlock(Node* block, bool last);
// The nearest ancestor of one of the kinds below the node's block, or null.
Node* AncestorOfKind(Node* node, const std::vector<Tag>& kinds);
Node* AncestorLink(Node* node);
// The link (an A with an address) whose content ends at the boundary: the
// boundary is inside it, at the end of a text or between children, and
// nothing visible follows in the link. Null when the boundary is elsewhere.
Node* LinkEndingAt(const Boundary& at);
// The first place to type in a node: inside its first text or innermost first inline element.
Boundary FirstPlace(Node& node);
// The children of `block` that form the line around the child index: up to the
// nearest blocks on either side.
std::pair<int, int> LineAround(Node& block, int index);
// The index of the child of `ancestor` that holds the boundary.
int ChildIndexOf(Node& ancestor, const Boundary& at);
// The end of a block's first line: its children up to the first nested block.
int LeadingLineEnd(Node& source);
// A word that starts as an address ("http://", "www." ...).
bool IsAddressStart(const CString& word);

// Removes an emptied node and the inline elements it leaves empty, up to the
// limit; answers where it was.
Boundary RemoveEmptied(Node* node, Node* limit);
// Moves the children [from, to) of one node to another, at the index (-1: the end).
void MoveChildren(Node& from, int first, int last, Node& to, int index);
// A ruby's annotations (RB, RP, RT, RTC) cannot stand directly in a paragraph, list item or
// definition below a RUBY in scope: read again, their start tag closes the paragraph and
// they come out of it. True when the children [first, last) of `from` hold one and would
// stand so in `container` (or, when `inNew`, in a paragraph or item made inside it).
bool AnnotationWouldLeave(const Node& container, const Node& from, int first, int last, bool inNew = false);
// Moves the first line of a block to the end of another; the block goes when
// nothing is left in it. Nothing moves where the line would not read back there.
bool MoveLeadingLine(Node& source, Node& target);
// Splits the elements from the boundary up to `top`; answers the new second half of top.
NodePtr SplitUpTo(dom::Document& document, Node& top, const Boundary& at);
// Removes the inline elements left empty along the block's last children.
void DropEmptyTail(Node& block);
// Gives `to` the attributes of `from`, bare ones bare; `withId`: the id too
// (only where `to` takes the place of `from`).
void CopyAttributes(const Node& from, Node& to, bool withId);
// Takes the links (A with an address) without content along the block's
// first children out, their children staying in their place.
void UnwrapLeadingEmptyLinks(Node& block);

}  // namespace editing::tree

#include "editing/TextRange.h"

#include "dom/TreeWalk.h"
#include "html/Parser.h"
#include "html/Serializer.h"

#include <algorithm>
#include <cwctype>
#include <optional>
#include <unordered_map>

namespace editing {

using dom::Node;
using dom::NodePtr;
using dom::Tag;

namespace {

bool HidesText(const Node& element) {
    return element.Is(Tag::Script) || element.Is(Tag::Style) || element.Is(Tag::Title) || element.Is(Tag::Head) ||
           element.Is(Tag::Textarea);
}

bool KeepsWhiteSpace(const Node& element) {
    return element.Is(Tag::Pre) || element.Is(Tag::Xmp) || element.Is(Tag::Plaintext) || element.Is(Tag::Textarea);
}

struct TextPiece {
    Node* node;
    int start;
    bool keepsSpace;  // inside preformatted text
};

void CollectVisible(Node& node, std::vector<TextPiece>& pieces, int& total) {
    int keepSpace = 0;
    dom::WalkTree(
        node,
        [&](const NodePtr& child) {
            if (child->IsText()) {
                pieces.push_back({child.get(), total, keepSpace > 0});
                total += child->Data().GetLength();
                return false;
            }
            if (!child->IsElement() || HidesText(*child)) return false;
            if (KeepsWhiteSpace(*child)) ++keepSpace;
            return true;
        },
        [&](const NodePtr& child) {
            if (KeepsWhiteSpace(*child)) --keepSpace;
        });
}

// The visible text before each node and after it, for every node below the
// root: one walk instead of one per node asked about.
class TextSpans {
public:
    TextSpans() = default;
    explicit TextSpans(const Node& root) {
        int count = 0, hidden = 0;
        dom::WalkTree(
            root,
            [&](const NodePtr& child) {
                if (child->IsText()) {
                    int length = hidden ? 0 : child->Data().GetLength();
                    m_spans[child.get()] = {count, count + length};
                    count += length;
                    return false;
                }
                m_spans[child.get()] = {count, count};
                if (!child->IsElement()) return false;
                if (hidden || HidesText(*child)) ++hidden;
                return true;
            },
            [&](const NodePtr& child) {
                if (hidden) --hidden;
                m_spans[child.get()].second = count;
            });
        m_total = count;
    }
    // Nodes outside the root count as empty at its start.
    std::pair<int, int> Of(const Node& node) const {
        auto found = m_spans.find(&node);
        return found == m_spans.end() ? std::pair<int, int>(0, 0) : found->second;
    }

    // The visible text before a point below the root (0 for a point elsewhere).
    int OffsetOf(const Node& root, const Node& target, int index) const {
        auto before = [&](const Node& parent, int end) {
            return index >= 0 && index < parent.ChildCount() ? Of(*parent.Child(index)).first : end;
        };
        if (&target == &root) return before(root, m_total);
        auto found = m_spans.find(&target);
        if (found == m_spans.end()) return 0;
        auto [start, end] = found->second;
        if (target.IsText()) return start + std::clamp(index, 0, end - start);
        return target.IsElement() ? before(target, end) : 0;
    }

private:
    std::unordered_map<const Node*, std::pair<int, int>> m_spans;
    int m_total = 0;
};

// What the ranges work out from the whole tree, kept while the tree stays
// the same: a run of searches and offset look-ups over a page (the search
// marking every hit) then costs one walk, not one per call. One document at
// a time per thread; any change of the tree or another document rebuilds it.
class TextIndex {
public:
    static TextIndex& For(const std::shared_ptr<dom::Document>& document, Node& root) {
        thread_local TextIndex index;
        if (index.m_owner.expired() || index.m_document != document.get() || index.m_root != &root ||
            index.m_revision != document->Revision())
            index.Rebuild(document, root);
        return index;
    }

    const std::vector<TextPiece>& Pieces() {
        if (!m_piecesBuilt) {
            m_piecesBuilt = true;
            CollectVisible(*m_root, m_pieces, m_total);
        }
        return m_pieces;
    }
    int Total() {
        Pieces();
        return m_total;
    }

    // Offset queries walk the tree until the second one in the same state:
    // a lone query after an edit (a key typed) stays as cheap as the walk.
    const TextSpans* Spans() {
        if (m_spans) return &*m_spans;
        if (++m_offsetQueries < 2) return nullptr;
        m_spans.emplace(*m_root);
        return &*m_spans;
    }

    // The text as it renders: outside preformatted text a run of white space,
    // line ends included, shows as one blank. Character k of it stands for
    // the units [rawStart[k], rawEnd[k]) of the text nodes.
    struct Shown {
        std::wstring text;
        std::vector<int> rawStart, rawEnd;
    };
    const Shown& ShownText() {
        if (!m_shownBuilt) BuildShown();
        return m_shown;
    }

private:
    void Rebuild(const std::shared_ptr<dom::Document>& document, Node& root) {
        m_owner = document;
        m_document = document.get();
        m_root = &root;
        m_revision = document->Revision();
        m_pieces.clear();
        m_total = 0;
        m_piecesBuilt = false;
        m_spans.reset();
        m_offsetQueries = 0;
        m_shownBuilt = false;
        m_shown = Shown();
    }

    void BuildShown() {
        m_shownBuilt = true;
        auto& [shown, rawStart, rawEnd] = m_shown;
        shown.reserve(static_cast<size_t>(Total()));
        rawStart.reserve(static_cast<size_t>(m_total));
        rawEnd.reserve(static_cast<size_t>(m_total));
        bool inSpace = false;
        for (const auto& piece : Pieces()) {
            const std::wstring& data = piece.node->Data().str();
            for (size_t k = 0; k < data.size(); ++k) {
                int raw = piece.start + static_cast<int>(k);
                wchar_t c = data[k];
                bool space = !piece.keepsSpace && (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f');
                if (space && inSpace) {
                    rawEnd.back() = raw + 1;
                    continue;
                }
                inSpace = space;
                shown += space ? L' ' : c;
                rawStart.push_back(raw);
                rawEnd.push_back(raw + 1);
            }
        }
    }

    std::weak_ptr<dom::Document> m_owner;
    const dom::Document* m_document = nullptr;
    Node* m_root = nullptr;
    unsigned long long m_revision = 0;
    bool m_piecesBuilt = false;
    std::vector<TextPiece> m_pieces;
    int m_total = 0;
    std::optional<TextSpans> m_spans;
    int m_offsetQueries = 0;
    bool m_shownBuilt = false;
    Shown m_shown;
};

Node* CommonAncestor(Node* a, Node* b) {
    for (Node* x = a; x; x = x->Parent())
        if (x->Contains(b)) return x;
    return nullptr;
}

bool IsWordUnit(wchar_t c) { return std::iswalnum(c) || c == '_'; }

// A boundary as a path of child indices from the top of its tree, so that
// document order is the lexicographic order of the paths (a shorter path
// that is a prefix comes first). A point inside a text node sorts after the
// boundary just before the node and before the one just after it.
std::vector<int> BoundaryKey(const Boundary& boundary) {
    std::vector<int> key;
    if (!boundary.node) return key;
    const Node* container = boundary.node.get();
    if (container->IsText()) key.push_back(boundary.offset + 1);
    else key.push_back(boundary.offset);
    for (const Node* node = container; node->Parent(); node = node->Parent()) key.push_back(node->IndexInParent());
    std::reverse(key.begin(), key.end());
    return key;
}

}  // namespace

int CompareBoundaries(const Boundary& a, const Boundary& b) {
    auto x = BoundaryKey(a), y = BoundaryKey(b);
    return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end()) ? -1 : (x == y ? 0 : 1);
}

bool IsVisibleText(const Node& node) {
    if (!node.IsText()) return false;
    for (const Node* parent = node.Parent(); parent; parent = parent->Parent())
        if (parent->IsElement() && HidesText(*parent)) return false;
    return true;
}

TextRange::TextRange(std::shared_ptr<dom::Document> document) : m_document(std::move(document)) {
    Node* root = Root();
    m_start = {root->Self(), 0};
    m_end = m_start;
}

Node* TextRange::Root() const {
    if (Node* body = m_document->Body()) return body;
    if (Node* html = m_document->DocumentElement()) return html;
    return m_document.get();
}

void TextRange::SelectContents(Node& node) {
    NodePtr self = node.Self();
    m_start = {self, 0};
    m_end = {self, node.IsText() ? node.Data().GetLength() : node.ChildCount()};
}

void TextRange::Collapse(bool toStart) {
    if (toStart) m_end = m_start;
    else m_start = m_end;
}

bool TextRange::IsCollapsed() const {
    if (m_start.node == m_end.node && m_start.offset == m_end.offset) return true;
    if (StartOffset() != EndOffset()) return false;
    return HtmlText().IsEmpty();  // an image between the ends still counts
}

int TextRange::OffsetOf(const Boundary& boundary) const {
    // Counts the visible text before the point; 0 when it is not below the root.
    if (!boundary.node) return 0;
    if (const TextSpans* spans = TextIndex::For(m_document, *Root()).Spans())
        return spans->OffsetOf(*Root(), *boundary.node, boundary.offset);
    const Node* target = boundary.node.get();
    const int index = boundary.offset;
    struct Level {
        const Node* node;
        int next;
        bool hidden;
    };
    std::vector<Level> stack{{Root(), 0, false}};
    int count = 0;
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.node == target && level.next == index) return count;
        if (level.next >= level.node->ChildCount()) {
            if (level.node == target) return count;
            stack.pop_back();
            continue;
        }
        const Node& child = *level.node->Child(level.next++);
        bool hidden = level.hidden;
        if (child.IsText()) {
            int length = child.Data().GetLength();
            if (&child == target) return hidden ? count : count + std::clamp(index, 0, length);
            if (!hidden) count += length;
        } else if (child.IsElement()) {
            stack.push_back({&child, 0, hidden || HidesText(child)});
        }
    }
    return 0;
}

int TextRange::StartOffset() const { return OffsetOf(m_start); }
int TextRange::EndOffset() const { return OffsetOf(m_end); }

int TextRange::TextLength() const { return TextIndex::For(m_document, *Root()).Total(); }

Boundary TextRange::AtOffset(int offset, bool preferNext) const {
    TextIndex& index = TextIndex::For(m_document, *Root());
    const std::vector<TextPiece>& pieces = index.Pieces();
    offset = std::clamp(offset, 0, index.Total());
    // Pieces ending before the offset never hold it; from the first that
    // does not, the first piece that fits.
    auto first = std::lower_bound(pieces.begin(), pieces.end(), offset, [](const TextPiece& piece, int at) {
        return piece.start + piece.node->Data().GetLength() < at;
    });
    for (size_t i = static_cast<size_t>(first - pieces.begin()); i < pieces.size(); ++i) {
        int start = pieces[i].start;
        if (start > offset) break;
        int end = start + pieces[i].node->Data().GetLength();
        bool last = i + 1 == pieces.size();
        if (offset < end || (offset == end && (!preferNext || last)) || (offset == start && end == start && last))
            if (offset >= start) return {pieces[i].node->Self(), offset - start};
    }
    Node* root = Root();
    return {root->Self(), offset == 0 ? 0 : root->ChildCount()};
}

CString TextRange::Text() const {
    const std::vector<TextPiece>& pieces = TextIndex::For(m_document, *Root()).Pieces();
    int from = StartOffset(), to = EndOffset();
    CString text;
    for (const auto& piece : pieces) {
        int length = piece.node->Data().GetLength();
        int a = std::max(from, piece.start), b = std::min(to, piece.start + length);
        if (a < b) text += piece.node->Data().Mid(a - piece.start, b - a);
    }
    return text;
}

namespace {

// The HTML of the part of the node's children that lies between the offsets.
void ClipHtml(const TextSpans& spans, Node& node, int from, int to, CString& out) {
    struct Level {
        Node* node;
        int next;
    };
    std::vector<Level> stack{{&node, 0}};
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next >= level.node->ChildCount()) {
            Node* done = level.node;
            stack.pop_back();
            if (!stack.empty()) out += html::SerializeEndTag(*done);
            continue;
        }
        Node& child = *level.node->Child(level.next++);
        auto [childStart, childEnd] = spans.Of(child);
        bool inside = from <= childStart && childEnd <= to && !(childStart == childEnd && (childStart == from || childStart == to) && from != to);
        if (from < to && inside && childStart < childEnd) {
            out += html::SerializeOuter(child);
        } else if (childEnd <= from || childStart >= to) {
            continue;
        } else if (child.IsText()) {
            int a = std::max(from, childStart) - childStart, b = std::min(to, childEnd) - childStart;
            out += html::EscapeText(child.Data().Mid(a, b - a));
        } else if (child.IsElement()) {
            out += html::SerializeStartTag(child);
            stack.push_back({&child, 0});
        }
    }
}

}  // namespace

CString TextRange::HtmlText() const {
    if (!m_start.node || !m_end.node) return CString();
    if (m_start.node == m_end.node && m_start.node->IsText()) {
        int a = std::min(m_start.offset, m_end.offset), b = std::max(m_start.offset, m_end.offset);
        return html::EscapeText(m_start.node->Data().Mid(a, b - a));
    }
    if (m_start.node == m_end.node && m_start.node->IsElement() && m_start.offset == 0 &&
        m_end.offset == m_start.node->ChildCount())
        return html::SerializeInner(*m_start.node);
    // Only the element holding both ends is walked: its text counted from its
    // own start, as the whole page's would be counted from the page's start.
    Node* ancestor = CommonAncestor(m_start.node.get(), m_end.node.get());
    if (!ancestor) return CString();
    if (ancestor->IsText()) ancestor = ancestor->Parent();
    if (!ancestor) return CString();
    CString out;
    if (!Root()->Contains(ancestor) || ancestor == Root()) {  // counted from the page's start
        int from = StartOffset(), to = EndOffset();
        if (from < to) ClipHtml(TextSpans(*Root()), *ancestor, from, to, out);
        return out;
    }
    for (Node* holder = ancestor; holder; holder = holder->Parent())
        if (holder->IsElement() && HidesText(*holder)) return CString();
    TextSpans spans(*ancestor);
    int from = spans.OffsetOf(*ancestor, *m_start.node, m_start.offset);
    int to = spans.OffsetOf(*ancestor, *m_end.node, m_end.offset);
    if (from >= to) return CString();
    ClipHtml(spans, *ancestor, from, to, out);
    return out;
}

Node* TextRange::ParentElement() const {
    if (!m_start.node || !m_end.node) return nullptr;
    Node* ancestor = CommonAncestor(m_start.node.get(), m_end.node.get());
    while (ancestor && !ancestor->IsElement()) ancestor = ancestor->Parent();
    return ancestor;
}

Boundary SplitAt(const Boundary& boundary) {
    Node* text = boundary.node.get();
    if (!text || !text->IsText() || !text->Parent()) return boundary;
    Node* parent = text->Parent();
    int index = text->IndexInParent();
    int length = text->Data().GetLength();
    if (boundary.offset <= 0) return {parent->Self(), index};
    if (boundary.offset >= length) return {parent->Self(), index + 1};
    NodePtr tail = text->Owner()->CreateText(text->Data().Mid(boundary.offset));
    text->SetData(text->Data().Left(boundary.offset));
    parent->InsertChild(index + 1, tail);
    return {parent->Self(), index + 1};
}

void TextRange::DeleteContents() {
    if (!m_start.node || !m_end.node) return;
    int order = CompareBoundaries(m_start, m_end);
    if (order > 0) std::swap(m_start, m_end);
    if (order == 0) return;
    if (m_start.node == m_end.node && m_start.node->IsText()) {
        int a = std::min(m_start.offset, m_end.offset), b = std::max(m_start.offset, m_end.offset);
        CString data = m_start.node->Data();
        data.Delete(a, b - a);
        m_start.node->SetData(data);
        m_start.offset = a;
        m_end = m_start;
        return;
    }
    Boundary end = SplitAt(m_end);
    Node* endParent = end.node.get();
    NodePtr endRef = endParent->Child(end.offset) ? endParent->Child(end.offset)->Self() : NodePtr();
    Boundary start = SplitAt(m_start);
    end.offset = endRef ? endRef->IndexInParent() : endParent->ChildCount();
    Node* startParent = start.node.get();
    Node* ancestor = CommonAncestor(startParent, endParent);
    if (!ancestor || end.offset < 0) return;
    if (startParent == endParent) {
        for (int i = end.offset - 1; i >= start.offset; --i) startParent->RemoveChild(startParent->Child(i));
    } else {
        int from = start.offset;
        for (Node* n = startParent; n != ancestor; n = n->Parent()) {
            while (n->ChildCount() > from) n->RemoveChild(n->LastChild());
            from = n->IndexInParent() + 1;
        }
        int to = end.offset;
        for (Node* n = endParent; n != ancestor; n = n->Parent()) {
            for (int i = to - 1; i >= 0; --i) n->RemoveChild(n->Child(i));
            to = n->IndexInParent();
        }
        for (int i = to - 1; i >= from; --i) ancestor->RemoveChild(ancestor->Child(i));
    }
    m_start = start;
    m_end = start;
}

void TextRange::PasteHtml(const CString& html) {
    // The element that held the range's end: the new content goes outside
    // inline elements (B, FONT, A ...) that held only the range's start, or
    // their formatting would spread to text they never held.
    NodePtr endHolder;
    if (m_end.node && !(m_start.node == m_end.node && m_start.offset == m_end.offset))
        endHolder = m_end.node->IsText() && m_end.node->Parent() ? m_end.node->Parent()->Self() : m_end.node;
    DeleteContents();
    Boundary at = SplitAt(m_start);
    Node* parent = at.node.get();
    if (!parent) return;
    while (endHolder && parent->IsElement() && !parent->Contains(endHolder.get()) && parent->Parent() &&
           (parent->TagFlags() & (dom::kClosesParagraph | dom::kLineBreakBefore | dom::kScope | dom::kVoid)) == 0 &&
           at.offset >= parent->ChildCount()) {
        Node* outer = parent->Parent();
        int index = parent->IndexInParent();
        if (parent->ChildCount() == 0) {
            outer->RemoveChild(parent);  // emptied by the deletion
        } else {
            ++index;
        }
        at = {outer->Self(), index};
        parent = outer;
    }
    auto nodes = html::ParseFragment(*m_document, html, parent->IsElement() ? parent : nullptr);
    int index = at.offset;
    for (auto& node : nodes) parent->InsertChild(index++, node);
    m_start = {parent->Self(), index};
    m_end = m_start;
}

bool TextRange::FindText(const CString& text, bool forward, bool matchCase, bool wholeWord) {
    if (text.IsEmpty()) return false;
    TextIndex& index = TextIndex::For(m_document, *Root());
    const int total = index.Total();
    const auto& [shown, rawStart, rawEnd] = index.ShownText();
    int fromRaw = StartOffset(), toRaw = IsCollapsed() ? total : EndOffset();
    if (!forward && IsCollapsed()) fromRaw = 0, toRaw = StartOffset();
    // The shown characters wholly between the two offsets.
    int from = static_cast<int>(std::lower_bound(rawStart.begin(), rawStart.end(), fromRaw) - rawStart.begin());
    int to = static_cast<int>(std::upper_bound(rawEnd.begin(), rawEnd.end(), toRaw) - rawEnd.begin());
    const std::wstring& needle = text.str();
    auto fold = [&](wchar_t c) { return matchCase ? c : static_cast<wchar_t>(std::towlower(c)); };
    auto matchesAt = [&](int at) {
        for (size_t k = 0; k < needle.size(); ++k)
            if (fold(shown[static_cast<size_t>(at) + k]) != fold(needle[k])) return false;
        if (wholeWord) {
            if (at > 0 && IsWordUnit(shown[static_cast<size_t>(at) - 1])) return false;
            size_t after = static_cast<size_t>(at) + needle.size();
            if (after < shown.size() && IsWordUnit(shown[after])) return false;
        }
        return true;
    };
    int last = to - static_cast<int>(needle.size());
    int hit = -1;
    if (forward) {
        for (int at = from; at <= last && hit < 0; ++at)
            if (matchesAt(at)) hit = at;
    } else {
        for (int at = last; at >= from && hit < 0; --at)
            if (matchesAt(at)) hit = at;
    }
    if (hit < 0) return false;
    m_start = AtOffset(rawStart[static_cast<size_t>(hit)], true);
    m_end = AtOffset(rawEnd[static_cast<size_t>(hit) + needle.size() - 1], false);
    return true;
}

int TextRange::MoveStart(MoveUnit unit, int count) {
    int start = StartOffset(), end = EndOffset();
    int target = unit == MoveUnit::TextEdit ? (count < 0 ? 0 : count > 0 ? TextLength() : start)
                                            : std::clamp(start + count, 0, TextLength());
    m_start = AtOffset(target, true);
    if (target > end) m_end = m_start;
    return target - start;
}

int TextRange::MoveEnd(MoveUnit unit, int count) {
    int start = StartOffset(), end = EndOffset();
    int target = unit == MoveUnit::TextEdit ? (count < 0 ? 0 : count > 0 ? TextLength() : end)
                                            : std::clamp(end + count, 0, TextLength());
    m_end = AtOffset(target, false);
    if (target < start) m_start = m_end;
    return target - end;
}

std::vector<NodePtr> TextRange::IsolateTextNodes() {
    std::vector<NodePtr> result;
    int from = StartOffset(), to = EndOffset();
    if (from >= to) return result;
    // Split where the range ends first, so the start's node keeps its place.
    Boundary end = AtOffset(to, false);
    if (end.node && end.node->IsText()) SplitAt(end);
    Boundary start = AtOffset(from, true);
    if (start.node && start.node->IsText()) SplitAt(start);
    std::vector<TextPiece> pieces;
    int total = 0;
    CollectVisible(*Root(), pieces, total);
    for (const auto& piece : pieces) {
        int length = piece.node->Data().GetLength();
        if (length > 0 && piece.start >= from && piece.start + length <= to) result.push_back(piece.node->Self());
    }
    if (!result.empty()) {
        m_start = {result.front(), 0};
        m_end = {result.back(), result.back()->Data().GetLength()};
    }
    return result;
}

}  // namespace editing

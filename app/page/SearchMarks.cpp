#include "page/SearchMarks.h"

#include "page/PageEditing.h"

#include "com/BStr.h"

namespace {

// At most this many marks per text: the walk always moves on, this only
// bounds a page of millions of hits.
constexpr int kMaxMarks = 100000;

// Elements that hold lines of their own: a mark stays within one of them.
bool IsBlock(const CString& tag) {
    static const wchar_t* const kBlocks[] = {L"BODY", L"HTML", L"DIV", L"P", L"TD", L"TH", L"TR", L"TABLE", L"TBODY",
                                             L"THEAD", L"TFOOT", L"CAPTION", L"LI", L"UL", L"OL", L"DL", L"DT", L"DD",
                                             L"PRE", L"BLOCKQUOTE", L"CENTER", L"ADDRESS", L"FORM", L"FIELDSET", L"H1",
                                             L"H2", L"H3", L"H4", L"H5", L"H6", L"HR", L"BR"};
    for (const wchar_t* block : kBlocks)
        if (tag == block) return true;
    return false;
}

// The block that holds one end of the range.
ComPtr<IHTMLElement> BlockAt(IHTMLTxtRange* range, bool start) {
    ComPtr<IHTMLTxtRange> end;
    ComPtr<IHTMLElement> element;
    if (FAILED(range->duplicate(end.Receive())) || !end) return element;
    end->collapse(start ? VARIANT_TRUE : VARIANT_FALSE);
    end->parentElement(element.Receive());
    while (element) {
        BStr tag;
        element->get_tagName(tag.Receive());
        CString name = tag.Text();
        name.MakeUpper();
        if (IsBlock(name)) break;
        ComPtr<IHTMLElement> parent;
        element->get_parentElement(parent.Receive());
        element = parent;
    }
    return element;
}

bool WithinOneBlock(IHTMLTxtRange* range) {
    ComPtr<IHTMLElement> first = BlockAt(range, true), last = BlockAt(range, false);
    return first && last && QueryAs<IUnknown>(first.Get()).Get() == QueryAs<IUnknown>(last.Get()).Get();
}

bool SameNode(IUnknown* a, IUnknown* b) { return QueryAs<IUnknown>(a).Get() == QueryAs<IUnknown>(b).Get(); }

CString TagOf(IHTMLElement* element) {
    BStr tag;
    element->get_tagName(tag.Receive());
    CString name = tag.Text();
    name.MakeUpper();
    return name;
}

// An element's start tag as the engine writes it: its outer HTML without
// the inner HTML and the end tag.
CString StartTag(IHTMLElement* element) {
    BStr outer, inner;
    element->get_outerHTML(outer.Receive());
    element->get_innerHTML(inner.Receive());
    CString text = outer.Text();
    int length = text.GetLength() - inner.Text().GetLength() - (TagOf(element).GetLength() + 3);
    return length > 0 ? text.Left(length) : text;
}

// A mark around a hit that began (or ended) inside an inline element cut that
// element in two, alike in tag and attributes: such a pair beside a mark
// that went is one element again.
bool CutFromOne(IHTMLDOMNode* first, IHTMLDOMNode* second) {
    auto a = QueryAs<IHTMLElement>(first), b = QueryAs<IHTMLElement>(second);
    return a && b && !IsBlock(TagOf(a.Get())) && StartTag(a.Get()) == StartTag(b.Get());
}

void Join(IHTMLDOMNode* into, IHTMLDOMNode* from) {
    for (;;) {
        ComPtr<IHTMLDOMNode> child, moved;
        if (FAILED(from->get_firstChild(child.Receive())) || !child) break;
        if (FAILED(into->appendChild(child.Get(), moved.Receive()))) return;
    }
    ComPtr<IHTMLDOMNode> removed;
    from->removeNode(VARIANT_TRUE, removed.Receive());
}

// Takes a mark out, its content left in place, and joins what it had cut.
void Unwrap(IHTMLDOMNode* mark) {
    ComPtr<IHTMLDOMNode> first, last, removed;
    mark->get_firstChild(first.Receive());
    mark->get_lastChild(last.Receive());
    mark->removeNode(VARIANT_FALSE, removed.Receive());
    if (ComPtr<IHTMLDOMNode> before; first && SUCCEEDED(first->get_previousSibling(before.Receive())) && before &&
                                     CutFromOne(before.Get(), first.Get())) {
        Join(before.Get(), first.Get());
        if (SameNode(first.Get(), last.Get())) last = before;
    }
    if (ComPtr<IHTMLDOMNode> after; last && SUCCEEDED(last->get_nextSibling(after.Receive())) && after &&
                                    CutFromOne(last.Get(), after.Get()))
        Join(last.Get(), after.Get());
}

} // namespace

int ClearMarks(const bcHtmlDocument& document, const CString& id) {
    auto spans = document.GetElementsByTagName(L"SPAN");
    long count = 0;
    if (!spans || FAILED(spans->get_length(&count))) return 0;
    std::vector<bcHtmlElement> marks;
    for (long i = 0; i < count; ++i)
        if (bcHtmlElement span = GetCollectionItem(spans.Get(), i); span.IsValid() && span.GetAttribute(L"id") == id)
            marks.push_back(span);
    // Inner marks first.
    for (auto mark = marks.rbegin(); mark != marks.rend(); ++mark)
        if (mark->GetNode()) Unwrap(mark->GetNode());
    return static_cast<int>(marks.size());
}

int MarkOccurrences(const bcHtmlDocument& document, const std::vector<CString>& texts, long flags, const CString& style,
                    const CString& id) {
    int marked = 0;
    const CString open = L"<span id='" + id + L"' style='" + style + L"'>";
    for (const CString& text : texts) {
        if (text.IsEmpty()) continue;
        ComPtr<IHTMLTxtRange> range = BodyTextRange(document);
        if (!range) return marked;
        // Every occurrence first, on the page as it is: the searches then run
        // over an unchanged page, each on from the end of the one before.
        std::vector<ComPtr<IHTMLTxtRange>> hits;
        BStr wanted(text);
        for (int round = 0; round < kMaxMarks; ++round) {
            VARIANT_BOOL found = VARIANT_FALSE;
            if (FAILED(range->findText(wanted.Get(), 0, flags, &found)) || found == VARIANT_FALSE) break;
            ComPtr<IHTMLTxtRange> hit;
            if (SUCCEEDED(range->duplicate(hit.Receive())) && hit) hits.push_back(std::move(hit));
            range->collapse(VARIANT_FALSE);
        }
        // Then the marks, from the last to the first: a mark changes the page
        // only after the occurrences still to be marked, so their ranges hold.
        for (auto hit = hits.rbegin(); hit != hits.rend(); ++hit) {
            BStr html;
            (*hit)->get_htmlText(html.Receive());
            if (html.Text().IsEmpty() || !WithinOneBlock(hit->Get())) continue;
            (*hit)->pasteHTML(BStr(open + html.Text() + L"</span>").Get());
            ++marked;
        }
    }
    return marked;
}

#include "page/PageEditing.h"

#include "html/HtmlTable.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<bcHtmlElement> ElementsOf(const bcHtmlDocument& document, const wchar_t* tag) {
    std::vector<bcHtmlElement> elements;
    auto collection = document.GetElementsByTagName(tag);
    for (long i = 0;; ++i) {
        bcHtmlElement element = GetCollectionItem(collection.Get(), i);
        if (!element.IsValid()) break;
        elements.push_back(element);
    }
    return elements;
}

// Where the start tag of an element's outer HTML ends (one past its '>').
int StartTagLength(const CString& outer) {
    wchar_t quote = 0;
    for (int i = 0; i < outer.GetLength(); ++i) {
        wchar_t c = outer[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == L'"' || c == L'\'') {
            quote = c;
        } else if (c == L'>') {
            return i + 1;
        }
    }
    return -1;
}

// Typed text as HTML: '&', '<' and '>' (and '"' in an attribute value) as
// references, so the text shows as it was typed and writes no markup.
CString EscapeTyped(const CString& text, bool attribute) {
    CString out;
    for (int i = 0; i < text.GetLength(); ++i) {
        switch (text[i]) {
        case L'&': out += L"&amp;"; break;
        case L'<': out += attribute ? L"<" : L"&lt;"; break;
        case L'>': out += attribute ? L">" : L"&gt;"; break;
        case L'"': out += attribute ? L"&quot;" : L"\""; break;
        default: out += text[i]; break;
        }
    }
    return out;
}

bool SameElement(const bcHtmlElement& a, const bcHtmlElement& b) {
    ComPtr<IUnknown> first = QueryAs<IUnknown>(a.GetElement().Get());
    ComPtr<IUnknown> second = QueryAs<IUnknown>(b.GetElement().Get());
    return first && first.Get() == second.Get();
}

// The cell where a grid table's first link goes: the first of its first row
// that carries a `pos` (the side cells carry none).
bcHtmlTableCell FirstLinkCell(const bcHtmlTable& table) {
    bcHtmlTableRow row = table.GetRow(0);
    for (int i = 0; i < row.GetCellCount(); ++i)
        if (bcHtmlTableCell cell = row.GetCell(i); !cell.GetAttribute(L"pos").IsEmpty()) return cell;
    return row.GetCell(0);
}

} // namespace

ComPtr<IHTMLTxtRange> BodyTextRange(const bcHtmlDocument& document) {
    ComPtr<IHTMLTxtRange> range;
    bcHtmlElement body = GetCollectionItem(document.GetElementsByTagName(L"BODY").Get(), 0);
    if (auto element = QueryAs<IHTMLBodyElement>(body.GetElement().Get())) element->createTextRange(range.Receive());
    return range;
}

bool InsertGridTableAtCaret(bcHtmlDocument& document, unsigned leftWidth, unsigned rightWidth, unsigned totalWidth,
                            unsigned height, unsigned rows, unsigned columns, const CString& id) {
    const std::vector<bcHtmlElement> before = ElementsOf(document, L"TABLE");
    if (!document.InsertGridTable(leftWidth, rightWidth, totalWidth, height, rows, columns, id)) return false;
    // The new table is the one that was not there before (an id need not be unique).
    for (const bcHtmlElement& element : ElementsOf(document, L"TABLE")) {
        if (std::any_of(before.begin(), before.end(), [&](const bcHtmlElement& old) { return SameElement(old, element); }))
            continue;
        bcHtmlTableCell cell = FirstLinkCell(bcHtmlTable(element));
        ComPtr<IHTMLTxtRange> range = BodyTextRange(document);
        if (!cell.IsValid() || !range || FAILED(range->moveToElementText(cell.GetElement().Get()))) break;
        range->collapse(VARIANT_TRUE);
        range->select();
        break;
    }
    return true;
}

int ReplaceParagraphsWithDivs(const bcHtmlDocument& document) {
    if (!document.IsDesignMode()) return 0;  // a page being browsed is left as it is
    std::vector<bcHtmlElement> paragraphs = ElementsOf(document, L"P");
    int replaced = 0;
    for (auto it = paragraphs.rbegin(); it != paragraphs.rend(); ++it) {
        // The P's own start tag, its name changed, keeps its attributes.
        CString outer = it->GetOuterHtml();
        int startTag = StartTagLength(outer);
        CString attributes = startTag >= 3 ? outer.Mid(2, startTag - 3) : CString();
        if (!it->InsertAdjacentHtml(L"<DIV" + attributes + L"></DIV>", true, false)) continue;
        bcHtmlElement block = it->GetPreviousSiblingElement();
        if (!block.IsValid()) continue;
        // The content moves over node by node rather than as markup, so the
        // caret in it (or at its edges) stays where it was.
        if (!it->GetFirstChild().IsValid()) it->InsertAdjacentHtml(L"&nbsp;", true, true);
        for (bcHtmlDomNode child = it->GetFirstChild(); child.IsValid();) {
            block.AppendChild(child);
            bcHtmlDomNode next = it->GetFirstChild();
            if (next.GetNode() == child.GetNode()) break;  // it would not move
            child = next;
        }
        if (it->GetFirstChild().IsValid()) {  // what would not move stays in its P, not lost
            block.RemoveNode();
            continue;
        }
        it->RemoveNode();
        ++replaced;
    }
    return replaced;
}

int RemoveEmptyFonts(const bcHtmlDocument& document) {
    if (!document.IsDesignMode()) return 0;
    std::vector<bcHtmlElement> fonts = ElementsOf(document, L"FONT");
    int removed = 0;
    for (auto it = fonts.rbegin(); it != fonts.rend(); ++it) {
        if (!it->IsContentEmpty()) continue;
        it->RemoveNode();
        ++removed;
    }
    return removed;
}

CString ManualLinkHtml(const CString& address, const CString& name) {
    return L"<A href=\"" + EscapeTyped(address, true) + L"\">&nbsp" + EscapeTyped(name, false) + L"&nbsp</A>\n";
}

CString IndexTagHtml(const CString& name) {
    return L">>>&nbsp&nbsp" + EscapeTyped(name, false) + L"&nbsp&nbsp<<<\n";
}

bool DeleteRowAtCaret(const bcHtmlDocument& document) {
    bcHtmlTableCell cell = document.GetSelectedCell();
    if (!cell.IsValid() || !document.IsDesignMode()) return false;
    bcHtmlTable table = cell.GetParentTable();
    if (!table.IsValid() || !table.GetParentElement().IsValid()) return false;
    bool deleted = table.DeleteRow(cell.GetRowIndex());
    // The layer takes a table out with its last row; only a table that is
    // still in the document is removed here.
    if (table.GetRowCount() == 0 && table.GetParentElement().IsValid()) table.RemoveNode();
    return deleted;
}

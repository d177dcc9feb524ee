// The engine's interfaces as the document layer and the extensions call them.
#include "EngineTestSupport.h"
#include "com/ComQuery.h"
#include "com/DocumentState.h"
#include "com/HtmlDocument.h"

#include <gtest/gtest.h>
#include <mshtml.h>
#include <mshtmcid.h>
#include <docobj.h>
#include <shlwapi.h>

namespace {

const GUID kMshtmlGroup = {0xde4ba900, 0x59ca, 0x11cf, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

class Bstr {
public:
    explicit Bstr(const wchar_t* text) : m_text(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(m_text); }
    operator BSTR() const { return m_text; }

private:
    BSTR m_text;
};

CString Take(BSTR text) {
    CString result = text ? CString(text) : CString();
    SysFreeString(text);
    return result;
}

ComPtr<IHTMLDocument2> Load(const CString& page) {
    ComPtr<IHTMLDocument2> document;
    EXPECT_EQ(CreateHtmlDocument(IID_IHTMLDocument2, reinterpret_cast<void**>(document.Receive())), S_OK);
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : page.str()) bytes += static_cast<char>(c & 0xFF), bytes += static_cast<char>(c >> 8);
    ComPtr<IStream> stream = ComPtr<IStream>::Attach(SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
    auto persist = document.As<IPersistStreamInit>();
    EXPECT_TRUE(persist);
    EXPECT_EQ(persist->Load(stream.Get()), S_OK);
    return document;
}

ComPtr<IHTMLElement> ElementByTag(IHTMLDocument2* document, const wchar_t* tag, long index = 0) {
    auto document3 = QueryAs<IHTMLDocument3>(document);
    ComPtr<IHTMLElementCollection> collection;
    document3->getElementsByTagName(Bstr(tag), collection.Receive());
    VARIANT at;
    at.vt = VT_I4;
    at.lVal = index;
    VARIANT none;
    VariantInit(&none);
    ComPtr<IDispatch> item;
    collection->item(at, none, item.Receive());
    return item.As<IHTMLElement>();
}

CString Outer(IHTMLElement* element) {
    BSTR text = nullptr;
    element->get_outerHTML(&text);
    return Take(text);
}

TEST(ComDocument, LoadsStreamAndWalksElements) {
    auto document = Load(L"<html id=tq1><body><p id=a>One</p><p>Two &amp; <b>three</b></p></body></html>");
    auto second = ElementByTag(document.Get(), L"P", 1);
    ASSERT_TRUE(second);
    BSTR text = nullptr;
    second->get_innerText(&text);
    EXPECT_EQ(Take(text), CString(L"Two & three"));
    second->get_tagName(&text);
    EXPECT_EQ(Take(text), CString(L"P"));
    ComPtr<IHTMLElement> parent;
    second->get_parentElement(parent.Receive());
    parent->get_tagName(&text);
    EXPECT_EQ(Take(text), CString(L"BODY"));
    auto node = second.As<IHTMLDOMNode>();
    ComPtr<IHTMLDOMNode> previous;
    node->get_previousSibling(previous.Receive());
    EXPECT_EQ(Outer(previous.As<IHTMLElement>().Get()), CString(L"<P id=a>One</P>"));
}

TEST(ComDocument, EditsMarkupInPlace) {
    auto document = Load(L"<body><div id=d>x</div></body>");
    auto div = ElementByTag(document.Get(), L"DIV");
    EXPECT_EQ(div->insertAdjacentHTML(Bstr(L"beforeBegin"), Bstr(L"<p>before</p>")), S_OK);
    EXPECT_EQ(div->insertAdjacentHTML(Bstr(L"beforeEnd"), Bstr(L"<b>in</b>")), S_OK);
    EXPECT_EQ(div->put_outerHTML(Bstr(L"<SPAN>gone</SPAN>")), S_OK);
    ComPtr<IHTMLElement> body;
    document->get_body(body.Receive());
    BSTR text = nullptr;
    body->get_innerHTML(&text);
    EXPECT_EQ(Take(text), CString(L"<P>before</P><SPAN>gone</SPAN>"));
    ComPtr<IHTMLDOMNode> removed;
    auto span = ElementByTag(document.Get(), L"SPAN");
    span.As<IHTMLDOMNode>()->removeNode(VARIANT_TRUE, removed.Receive());
    body->get_innerHTML(&text);
    EXPECT_EQ(Take(text), CString(L"<P>before</P>"));
}

TEST(ComDocument, TablesInsertAndDeleteRowsAndCells) {
    auto document = Load(L"<table><tr><td colspan=2>a</td></tr><tr><td>b</td><td>c</td></tr></table>");
    auto table = ElementByTag(document.Get(), L"TABLE").As<IHTMLTable>();
    ASSERT_TRUE(table);
    EXPECT_FALSE(ElementByTag(document.Get(), L"TD").As<IHTMLTable>());
    ComPtr<IDispatch> row;
    ASSERT_EQ(table->insertRow(0, row.Receive()), S_OK);
    auto newRow = row.As<IHTMLTableRow>();
    ComPtr<IDispatch> cell;
    newRow->insertCell(0, cell.Receive());
    LONG index = -1, span = 0;
    newRow->get_rowIndex(&index);
    EXPECT_EQ(index, 0);
    ElementByTag(document.Get(), L"TD", 1).As<IHTMLTableCell>()->get_colSpan(&span);
    EXPECT_EQ(span, 2);
    ComPtr<IHTMLElementCollection> rows;
    table->get_rows(rows.Receive());
    LONG count = 0;
    rows->get_length(&count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(table->deleteRow(2), S_OK);
    EXPECT_EQ(table->deleteRow(5), E_INVALIDARG);
    EXPECT_EQ(Outer(ElementByTag(document.Get(), L"TABLE").Get()),
              CString(L"<TABLE>\r\n<TBODY>\r\n<TR>\r\n<TD></TD></TR>\r\n<TR>\r\n<TD colSpan=2>a</TD></TR></TBODY></TABLE>"));
}

TEST(ComDocument, FormControlsReadAndFill) {
    auto document = Load(L"<form><input name=city value=Paris><input type=radio name=r value=1><input type=radio name=r value=2 checked>"
                         L"<textarea name=t>old</textarea><select name=s><option>a<option>b</select></form>");
    ComPtr<IHTMLElementCollection> forms;
    document->get_forms(forms.Receive());
    VARIANT zero, none;
    zero.vt = VT_I4, zero.lVal = 0;
    VariantInit(&none);
    ComPtr<IDispatch> formItem;
    forms->item(zero, none, formItem.Receive());
    auto form = formItem.As<IHTMLFormElement>();
    ASSERT_TRUE(form);
    LONG length = 0;
    form->get_length(&length);
    EXPECT_EQ(length, 5);
    auto control = [&](long i) {
        VARIANT at;
        at.vt = VT_I4, at.lVal = i;
        ComPtr<IDispatch> item;
        form->item(at, none, item.Receive());
        return item;
    };
    auto city = control(0).As<IHTMLInputElement>();
    city->put_value(Bstr(L"New York"));
    BSTR text = nullptr;
    city->get_value(&text);
    EXPECT_EQ(Take(text), CString(L"New York"));
    EXPECT_FALSE(control(0).As<IHTMLOptionButtonElement>());
    auto first = control(1).As<IHTMLOptionButtonElement>();
    ASSERT_TRUE(first);
    first->put_checked(VARIANT_TRUE);
    VARIANT_BOOL checked = VARIANT_TRUE;
    control(2).As<IHTMLInputElement>()->get_checked(&checked);
    EXPECT_EQ(checked, VARIANT_FALSE);
    auto area = control(3).As<IHTMLTextAreaElement>();
    area->put_value(Bstr(L"line1\nline2\n"));
    area->get_value(&text);
    EXPECT_EQ(Take(text), CString(L"line1\nline2\n"));
    auto select = control(4).As<IHTMLSelectElement>();
    LONG selected = -1;
    select->get_selectedIndex(&selected);  // a drop-down shows its first option when none is selected
    EXPECT_EQ(selected, 0);
    select->get_value(&text);
    EXPECT_EQ(Take(text), CString(L"a"));
    select->put_selectedIndex(1);
    select->get_selectedIndex(&selected);
    EXPECT_EQ(selected, 1);
    select->put_length(3);
    select->get_type(&text);
    EXPECT_EQ(Take(text), CString(L"select-one"));
    select->get_length(&length);
    EXPECT_EQ(length, 3);
}

TEST(ComDocument, ListBoxesShowNoOptionUnlessOneIsSelected) {
    auto document = Load(L"<select multiple><option>a</select><select size=3><option>b</select>"
                         L"<select><option disabled>c<option value=v>d</select>");
    const std::pair<long, LONG> expected[] = {{0, -1}, {1, -1}, {2, 1}};
    for (const auto& [index, wanted] : expected) {
        LONG selected = 99;
        ElementByTag(document.Get(), L"SELECT", index).As<IHTMLSelectElement>()->get_selectedIndex(&selected);
        EXPECT_EQ(selected, wanted) << index;
    }
    VARIANT_BOOL shown = VARIANT_FALSE;
    ElementByTag(document.Get(), L"OPTION", 3).As<IHTMLOptionElement>()->get_selected(&shown);
    EXPECT_EQ(shown, VARIANT_TRUE);
}

TEST(ComDocument, TableRowsRunFromHeadThroughBodiesToFoot) {
    auto document = Load(L"<table id=t><tfoot><tr id=f><td>f</td></tr></tfoot><tbody><tr id=b><td>b</td></tr></tbody>"
                         L"<thead><tr id=h><td>h</td></tr></thead></table>");
    auto table = ElementByTag(document.Get(), L"TABLE").As<IHTMLTable>();
    ComPtr<IDispatch> added;
    ASSERT_EQ(table->insertRow(-1, added.Receive()), S_OK);  // after the last body row, not into the foot
    added.As<IHTMLElement>()->put_id(Bstr(L"n"));
    ComPtr<IHTMLElementCollection> rows;
    table->get_rows(rows.Receive());
    CString order;
    LONG count = 0;
    rows->get_length(&count);
    for (long i = 0; i < count; ++i) {
        VARIANT at, none;
        at.vt = VT_I4, at.lVal = i;
        VariantInit(&none);
        ComPtr<IDispatch> row;
        rows->item(at, none, row.Receive());
        BSTR id = nullptr;
        row.As<IHTMLElement>()->get_id(&id);
        order += Take(id);
        LONG index = -1;
        row.As<IHTMLTableRow>()->get_rowIndex(&index);
        EXPECT_EQ(index, i);
    }
    EXPECT_EQ(order, CString(L"hbnf"));
    EXPECT_EQ(table->deleteRow(0), S_OK);
    EXPECT_EQ(Outer(ElementByTag(document.Get(), L"THEAD").Get()), CString(L"<THEAD></THEAD>"));
}

TEST(ComDocument, TreeOfAHundredThousandLevelsSavesCountsAndGoes) {
    const int perPut = 250, puts = 401;  // 100,000 DIVs below the first
    CString nested;
    for (int i = 0; i < perPut; ++i) nested += L"<div>";
    for (int i = 0; i < perPut; ++i) nested += L"</div>";
    {
        auto document = Load(L"<body><div id=top></div></body>");
        auto deepest = ElementByTag(document.Get(), L"DIV").As<IHTMLDOMNode>();
        for (int put = 0; put < puts; ++put) {
            ASSERT_EQ(deepest.As<IHTMLElement>()->put_innerHTML(Bstr((put + 1 < puts ? nested : CString(L"<span>end</span>")).GetString())), S_OK);
            for (int level = 0; level < (put + 1 < puts ? perPut : 1); ++level) {
                ComPtr<IHTMLDOMNode> child;
                deepest->get_firstChild(child.Receive());
                ASSERT_TRUE(child);
                deepest = child;
            }
        }
        ComPtr<IStream> saved = ComPtr<IStream>::Attach(SHCreateMemStream(nullptr, 0));
        ASSERT_EQ(document.As<IPersistStreamInit>()->Save(saved.Get(), TRUE), S_OK);
        STATSTG stat{};
        saved->Stat(&stat, STATFLAG_NONAME);
        EXPECT_GT(stat.cbSize.QuadPart, 2u * 11 * perPut * (puts - 1));
        auto document3 = document.As<IHTMLDocument3>();
        for (const auto& [tag, wanted] : {std::pair<const wchar_t*, LONG>{L"DIV", perPut * (puts - 1) + 1}, {L"SPAN", 1}}) {
            ComPtr<IHTMLElementCollection> found;
            document3->getElementsByTagName(Bstr(tag), found.Receive());
            LONG length = 0;
            found->get_length(&length);
            EXPECT_EQ(length, wanted) << Show(tag);
        }
        ComPtr<IHTMLElement> body;
        document->get_body(body.Receive());
        BSTR text = nullptr;
        body->get_innerText(&text);
        EXPECT_EQ(Take(text), CString(L"end"));
        ComPtr<IHTMLTxtRange> range;
        body.As<IHTMLBodyElement>()->createTextRange(range.Receive());
        VARIANT_BOOL hit = VARIANT_FALSE;
        range->findText(Bstr(L"end"), 0, 0, &hit);
        EXPECT_TRUE(hit);
        range->get_htmlText(&text);
        EXPECT_EQ(Take(text), CString(L"end"));
    }  // the whole tree goes here
}

TEST(ComDocument, RepeatedEditsReuseTheDocumentsMemory) {
    auto document = Load(L"<body><div id=d>x</div><table><tr><td>a</td></tr></table></body>");
    auto div = ElementByTag(document.Get(), L"DIV");
    auto table = ElementByTag(document.Get(), L"TABLE").As<IHTMLTable>();
    dom::Document& tree = *com::NodeOf(div.Get())->Owner();
    auto edit = [&] {
        div->put_innerHTML(Bstr(L"<p class=c>Some <b>bold</b> text</p><ul><li>one<li>two</ul>"));
        div->insertAdjacentHTML(Bstr(L"afterBegin"), Bstr(L"<span id=s>new <i>words</i></span>"));
        ComPtr<IHTMLDOMNode> removed;
        ElementByTag(document.Get(), L"SPAN").As<IHTMLDOMNode>()->removeNode(VARIANT_TRUE, removed.Receive());
        ComPtr<IDispatch> row;
        table->insertRow(-1, row.Receive());
        table->deleteRow(-1);
    };
    for (int i = 0; i < 50; ++i) edit();
    size_t settled = tree.ArenaBytes();
    for (int i = 0; i < 3000; ++i) edit();
    EXPECT_LE(tree.ArenaBytes(), settled + 64 * 1024);
}

TEST(ComDocument, TextRangeFindsAndReplacesText) {
    auto document = Load(L"<body><p>Alpha beta <b>Beta</b> gamma</p></body>");
    ComPtr<IHTMLElement> body;
    document->get_body(body.Receive());
    ComPtr<IHTMLTxtRange> range;
    body.As<IHTMLBodyElement>()->createTextRange(range.Receive());
    int found = 0;
    VARIANT_BOOL hit = VARIANT_FALSE;
    while (range->findText(Bstr(L"beta"), 0, 0, &hit) == S_OK && hit) {
        BSTR html = nullptr;
        range->get_htmlText(&html);
        range->pasteHTML(Bstr((L"<SPAN id=m>" + Take(html) + L"</SPAN>").GetString()));
        LONG moved = 0;
        range->moveStart(Bstr(L"Character"), 1, &moved);
        range->moveEnd(Bstr(L"Textedit"), 1, &moved);
        ++found;
    }
    EXPECT_EQ(found, 2);
    BSTR text = nullptr;
    body->get_innerHTML(&text);
    EXPECT_EQ(Take(text), CString(L"<P>Alpha <SPAN id=m>beta</SPAN> <B><SPAN id=m>Beta</SPAN></B> gamma</P>"));
}

TEST(ComDocument, FontCommandsWrapTheSelection) {
    auto document = Load(L"<body><div>Hello world</div></body>");
    ComPtr<IHTMLElement> body;
    document->get_body(body.Receive());
    ComPtr<IHTMLTxtRange> range;
    body.As<IHTMLBodyElement>()->createTextRange(range.Receive());
    VARIANT_BOOL hit = VARIANT_FALSE;
    range->findText(Bstr(L"world"), 0, 0, &hit);
    ASSERT_TRUE(hit);
    range->select();
    auto target = document.As<IOleCommandTarget>();
    VARIANT size;
    size.vt = VT_BSTR;
    size.bstrVal = SysAllocString(L"7");
    // Called, the commands run on a page that is not in design mode as well.
    EXPECT_EQ(target->Exec(&kMshtmlGroup, IDM_FONTSIZE, OLECMDEXECOPT_DONTPROMPTUSER, &size, nullptr), S_OK);
    VariantClear(&size);
    document->put_designMode(Bstr(L"On"));
    VARIANT face;
    face.vt = VT_BSTR;
    face.bstrVal = SysAllocString(L"Arial");
    EXPECT_EQ(target->Exec(&kMshtmlGroup, IDM_FONTNAME, OLECMDEXECOPT_DONTPROMPTUSER, &face, nullptr), S_OK);
    VariantClear(&face);
    BSTR text = nullptr;
    body->get_innerHTML(&text);
    EXPECT_EQ(Take(text), CString(L"<DIV>Hello <FONT size=7 face=Arial>world</FONT></DIV>"));
    VARIANT value;
    VariantInit(&value);
    EXPECT_EQ(target->Exec(&kMshtmlGroup, IDM_FONTNAME, OLECMDEXECOPT_DODEFAULT, nullptr, &value), S_OK);
    EXPECT_EQ(CString(value.bstrVal), CString(L"Arial"));
    VariantClear(&value);
    EXPECT_EQ(target->Exec(&kMshtmlGroup, 0x7fff, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr), OLECMDERR_E_NOTSUPPORTED);
}

TEST(ComDocument, WriteAndCloseBuildAWindowlessDocument) {
    ComPtr<IHTMLDocument2> document;
    ASSERT_EQ(CreateHtmlDocument(IID_IHTMLDocument2, reinterpret_cast<void**>(document.Receive())), S_OK);
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    VARIANT* items = nullptr;
    SafeArrayAccessData(array, reinterpret_cast<void**>(&items));
    items[0].vt = VT_BSTR;
    items[0].bstrVal = SysAllocString(L"\xFEFF<html><body>Caf\x00E9 &lt;b&gt;</body></html>");
    SafeArrayUnaccessData(array);
    EXPECT_EQ(document->write(array), S_OK);
    EXPECT_EQ(document->close(), S_OK);
    SafeArrayDestroy(array);
    ComPtr<IHTMLElement> body;
    document->get_body(body.Receive());
    BSTR text = nullptr;
    body->get_innerText(&text);
    EXPECT_EQ(Take(text), CString(L"Caf\x00E9 <b>"));
    BSTR mode = nullptr;
    document->put_designMode(Bstr(L"On"));
    document->get_designMode(&mode);
    EXPECT_EQ(Take(mode), CString(L"On"));
}

}  // namespace

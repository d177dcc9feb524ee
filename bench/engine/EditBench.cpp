// An editing session on one open document, as the view's commands drive it:
// 100,000 innerHTML puts of the same content, 100,000 insertAdjacentHTML calls
// each followed by removeNode of what came in, and 100,000 insertRow calls
// each followed by deleteRow. Prints how much the process grew over each
// (private bytes; goal for the puts: under 5 MB), and the time to parse one
// tag with 100,000 distinct attributes (goal: under 0.2 s).
#include "com/DocumentState.h"
#include "com/HtmlDocument.h"
#include "dom/Document.h"
#include "html/Parser.h"

#include <windows.h>
#include <mshtml.h>
#include <psapi.h>
#include <shlwapi.h>

#include <cstdio>
#include <functional>
#include <string>

namespace {

// The private memory the process has committed (Wine reports it as the page
// file usage and leaves PrivateUsage at 0).
double PrivateMegabytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PagefileUsage) / (1024.0 * 1024.0);
}

double Seconds() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A BSTR for one call.
struct Bstr {
    explicit Bstr(const wchar_t* text) : value(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(value); }
    BSTR value;
};

template <typename I>
I* Element(IHTMLDocument2* document, const wchar_t* tag) {
    IHTMLDocument3* document3 = nullptr;
    document->QueryInterface(IID_IHTMLDocument3, reinterpret_cast<void**>(&document3));
    IHTMLElementCollection* found = nullptr;
    Bstr name(tag);
    document3->getElementsByTagName(name.value, &found);
    VARIANT index, none;
    index.vt = VT_I4, index.lVal = 0;
    VariantInit(&none);
    IDispatch* item = nullptr;
    found->item(index, none, &item);
    I* result = nullptr;
    if (item) item->QueryInterface(__uuidof(I), reinterpret_cast<void**>(&result));
    if (item) item->Release();
    found->Release();
    document3->Release();
    return result;
}

IHTMLDocument2* LoadedDocument() {
    IHTMLDocument2* document = nullptr;
    CreateHtmlDocument(IID_IHTMLDocument2, reinterpret_cast<void**>(&document));
    const char page[] = "<html id=tq1><body><div id=d>x</div><table><tr><td>a</td></tr></table></body></html>";
    IStream* stream = SHCreateMemStream(reinterpret_cast<const BYTE*>(page), sizeof page - 1);
    IPersistStreamInit* persist = nullptr;
    document->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist));
    persist->Load(stream);
    persist->Release();
    stream->Release();
    return document;
}

// The memory the document's node arena holds: the process figure alone can
// hide growth, since arenas of documents gone hand their blocks on to later ones.
double ArenaMegabytes(IHTMLDocument2* document) {
    IHTMLElement* body = nullptr;
    document->get_body(&body);
    double bytes = static_cast<double>(com::NodeOf(body)->Owner()->ArenaBytes());
    body->Release();
    return bytes / (1024.0 * 1024.0);
}

void Session(const char* name, int rounds, const std::function<void(IHTMLDocument2*)>& edit, const char* goal) {
    IHTMLDocument2* document = LoadedDocument();
    for (int i = 0; i < 100; ++i) edit(document);  // the first rounds settle the heap
    double before = PrivateMegabytes(), arenaBefore = ArenaMegabytes(document), start = Seconds();
    for (int i = 0; i < rounds; ++i) edit(document);
    double grown = PrivateMegabytes() - before, took = Seconds() - start;
    std::printf("%-36s %6d rounds: process grew %6.2f MB (%s), its node arena %6.2f MB, %.2f s\n", name, rounds, grown, goal,
                ArenaMegabytes(document) - arenaBefore, took);
    document->Release();
}

}  // namespace

int main() {
    const int rounds = 100000;
    Bstr content(L"<p class=text>A paragraph with <b>bold</b>, <i>italic</i> and a <a href=\"x.htm\">link</a>.</p>"
                 L"<ul><li>first item<li>second item</ul><table><tr><td pos=0>cell</td></tr></table>");
    Bstr afterBegin(L"afterBegin"), inserted(L"<span id=s>new <i>words</i> here</span>");
    Session("innerHTML puts of the same content", rounds, [&](IHTMLDocument2* document) {
        IHTMLElement* div = Element<IHTMLElement>(document, L"DIV");
        div->put_innerHTML(content.value);
        div->Release();
    }, "goal: under 5 MB");
    Session("insertAdjacentHTML + removeNode", rounds, [&](IHTMLDocument2* document) {
        IHTMLElement* div = Element<IHTMLElement>(document, L"DIV");
        div->insertAdjacentHTML(afterBegin.value, inserted.value);
        div->Release();
        IHTMLDOMNode* span = Element<IHTMLDOMNode>(document, L"SPAN");
        IHTMLDOMNode* removed = nullptr;
        span->removeNode(VARIANT_TRUE, &removed);
        removed->Release();
        span->Release();
    }, "no goal; bounded");
    Session("insertRow + deleteRow", rounds, [&](IHTMLDocument2* document) {
        IHTMLTable* table = Element<IHTMLTable>(document, L"TABLE");
        IDispatch* row = nullptr;
        table->insertRow(-1, &row);
        row->Release();
        table->deleteRow(-1);
        table->Release();
    }, "no goal; bounded");

    std::wstring tag = L"<p";
    for (int i = 0; i < 100000; ++i) tag += L" a" + std::to_wstring(i) + L"=" + std::to_wstring(i);
    tag += L">x</p>";
    CString page(tag.c_str());
    double start = Seconds();
    auto document = html::ParseDocument(page);
    double took = Seconds() - start;
    std::printf("one tag with 100,000 attributes: parsed in %.3f s (goal: under 0.2 s), %d attributes kept\n", took,
                static_cast<int>(document->Body()->FirstChild()->Attributes().size()));
    return 0;
}

// Test doubles of the browser and of the HTML engine's document objects, over
// a plain model of a page that the test builds and reads back: the address,
// the title, the forms and their fields. The objects answer the interfaces the
// libraries call (IWebBrowser2, IServiceProvider, the DWebBrowserEvents2
// connection point, IHTMLDocument2, IHTMLElementCollection, IHTMLFormElement,
// IHTMLInputElement, IHTMLOptionButtonElement, IHTMLTextAreaElement,
// IHTMLSelectElement, IHTMLOptionElement, the document's client site with its
// IDocHostUIHandler and IOleCommandTarget); every other method answers E_NOTIMPL.
#pragma once
#include "core/String.h"

#include <memory>
#include <vector>

struct FakeField {
    enum class Kind { Input, TextArea, Select, Button };
    Kind kind = Kind::Input;
    CString type;       // input: "text", "radio", ...; select: "select-one" or "select-multiple"
    CString name;
    bool hasName = true;
    CString value;
    bool checked = false;
    long selectedIndex = -1;
    std::vector<CString> options;  // option texts of a select
    int valueWrites = 0;           // how often the page's script-visible value was set
};

struct FakeForm {
    CString tag = L"FORM";
    std::vector<FakeField> fields;
};

struct FakePage {
    CString url;
    CString title;
    bool hasDocument = true;
    std::vector<FakeForm> forms;

    // What the libraries did to the browser.
    int advises = 0;
    int unadvises = 0;
    std::vector<unsigned long> commandsForwarded;  // Exec calls reaching the document host
};

// A browser over the page (IUnknown*, one reference).
void* CreateFakeBrowser(std::shared_ptr<FakePage> page);
// A browser whose document is a real one of the HTML engine (an IHTMLDocument2
// the caller made); the page gives only the address and the title.
void* CreateFakeBrowserOnDocument(std::shared_ptr<FakePage> page, void* document);
// The page's window as the context-menu script hands it (IDispatch*, one reference).
void* CreateFakeWindow(void* browser);
// A frame object for events (IDispatch*, one reference): a sub-frame of the page.
void* CreateFakeFrame();
// Sends an event with `frame` as its first argument to every connected sink.
void FireBrowserEvent(void* browser, long dispid, void* frame);
void ReleaseFake(void* object);

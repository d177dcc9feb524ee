// The doubles are written against the C form of the interfaces (their method
// tables as structs), so that each object fills its tables with a method that
// answers E_NOTIMPL and sets only the methods the libraries call.
#define CINTERFACE
#define COBJMACROS
#include "FakeEngine.h"

#include <windows.h>
#include <docobj.h>
#include <exdisp.h>
#include <exdispid.h>
#include <mshtmhst.h>
#include <mshtml.h>
#include <ocidl.h>
#include <servprov.h>
#include <shlguid.h>

#include <atomic>
#include <map>
#include <utility>

namespace {

HRESULT STDMETHODCALLTYPE NotImplemented() { return E_NOTIMPL; }

struct FakeObject;

// One interface of an object: its table pointer, then the owner.
struct Face {
    const void* table;
    FakeObject* owner;
};

struct FakeObject {
    std::atomic<LONG> references{1};
    std::vector<std::pair<IID, Face*>> faces;  // the first one also answers IUnknown and IDispatch
    virtual ~FakeObject() {
        for (auto& face : faces) delete face.second;
    }
    void Add(REFIID iid, const void* table) { faces.emplace_back(iid, new Face{table, this}); }
    void* First() { return faces.front().second; }
};

FakeObject* Owner(void* This) { return static_cast<Face*>(This)->owner; }
template <typename T>
T* OwnerAs(void* This) { return static_cast<T*>(Owner(This)); }

HRESULT STDMETHODCALLTYPE FaceQueryInterface(void* This, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    FakeObject* owner = Owner(This);
    if (iid == IID_IUnknown || iid == IID_IDispatch) *out = owner->First();
    for (auto& face : owner->faces)
        if (face.first == iid) *out = face.second;
    if (!*out) return E_NOINTERFACE;
    ++owner->references;
    return S_OK;
}
ULONG STDMETHODCALLTYPE FaceAddRef(void* This) { return ++Owner(This)->references; }
ULONG STDMETHODCALLTYPE FaceRelease(void* This) {
    FakeObject* owner = Owner(This);
    LONG left = --owner->references;
    if (left == 0) delete owner;
    return static_cast<ULONG>(left);
}

// A method table of type V: IUnknown's three, then E_NOTIMPL in every slot.
template <typename V>
V MakeTable() {
    V table;
    void** slots = reinterpret_cast<void**>(&table);
    for (size_t i = 0; i < sizeof(V) / sizeof(void*); ++i) slots[i] = reinterpret_cast<void*>(&NotImplemented);
    slots[0] = reinterpret_cast<void*>(&FaceQueryInterface);
    slots[1] = reinterpret_cast<void*>(&FaceAddRef);
    slots[2] = reinterpret_cast<void*>(&FaceRelease);
    return table;
}

HRESULT Text(const CString& text, BSTR* out, bool present = true) {
    if (!out) return E_POINTER;
    *out = present ? SysAllocStringLen(text.GetString(), static_cast<UINT>(text.GetLength())) : nullptr;
    return S_OK;
}
CString FromBstr(BSTR b) { return b ? CString(b, static_cast<int>(SysStringLen(b))) : CString(); }

long IndexOf(const VARIANT& v) {
    if (v.vt == VT_I4) return v.lVal;
    if (v.vt == VT_I2) return v.iVal;
    if (v.vt == VT_INT) return v.intVal;
    return -1;
}

template <typename I>
I* As(FakeObject* object, REFIID iid) {
    void* out = nullptr;
    FaceQueryInterface(object->First(), iid, &out);
    return static_cast<I*>(out);
}

// ---------------------------------------------------------------- options
struct FakeOption : FakeObject {
    std::shared_ptr<FakePage> page;
    size_t form, field, option;
    FakeOption(std::shared_ptr<FakePage> p, size_t f, size_t d, size_t o);
    CString& TextRef() { return page->forms[form].fields[field].options[option]; }
};

HRESULT STDMETHODCALLTYPE Option_get_text(IHTMLOptionElement* This, BSTR* p) {
    auto* o = OwnerAs<FakeOption>(This);
    return Text(o->TextRef(), p);
}
HRESULT STDMETHODCALLTYPE Option_put_text(IHTMLOptionElement* This, BSTR v) {
    OwnerAs<FakeOption>(This)->TextRef() = FromBstr(v);
    return S_OK;
}

const IHTMLOptionElementVtbl* OptionTable() {
    static const IHTMLOptionElementVtbl table = [] {
        auto t = MakeTable<IHTMLOptionElementVtbl>();
        t.get_text = Option_get_text;
        t.put_text = Option_put_text;
        return t;
    }();
    return &table;
}

FakeOption::FakeOption(std::shared_ptr<FakePage> p, size_t f, size_t d, size_t o)
    : page(std::move(p)), form(f), field(d), option(o) {
    Add(IID_IHTMLOptionElement, OptionTable());
}

// ---------------------------------------------------------------- fields
struct FakeFieldObject : FakeObject {
    std::shared_ptr<FakePage> page;
    size_t form, field;
    FakeFieldObject(std::shared_ptr<FakePage> p, size_t f, size_t d);
    FakeField& Model() { return page->forms[form].fields[field]; }
};
FakeField& ModelOf(void* This) { return OwnerAs<FakeFieldObject>(This)->Model(); }

HRESULT STDMETHODCALLTYPE Element_get_tagName(IHTMLElement* This, BSTR* p) {
    const FakeField& f = ModelOf(This);
    const wchar_t* tag = f.kind == FakeField::Kind::Input      ? L"INPUT"
                         : f.kind == FakeField::Kind::TextArea ? L"TEXTAREA"
                         : f.kind == FakeField::Kind::Select   ? L"SELECT"
                                                               : L"BUTTON";
    return Text(tag, p);
}

HRESULT STDMETHODCALLTYPE Input_get_type(IHTMLInputElement* This, BSTR* p) { return Text(ModelOf(This).type, p); }
HRESULT STDMETHODCALLTYPE Input_get_name(IHTMLInputElement* This, BSTR* p) {
    return Text(ModelOf(This).name, p, ModelOf(This).hasName);
}
HRESULT STDMETHODCALLTYPE Input_get_value(IHTMLInputElement* This, BSTR* p) { return Text(ModelOf(This).value, p); }
HRESULT STDMETHODCALLTYPE Input_put_value(IHTMLInputElement* This, BSTR v) {
    ModelOf(This).value = FromBstr(v);
    ++ModelOf(This).valueWrites;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE Input_get_checked(IHTMLInputElement* This, VARIANT_BOOL* p) {
    *p = ModelOf(This).checked ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE Input_put_checked(IHTMLInputElement* This, VARIANT_BOOL v) {
    ModelOf(This).checked = v != VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Button_get_name(IHTMLOptionButtonElement* This, BSTR* p) {
    return Text(ModelOf(This).name, p, ModelOf(This).hasName);
}
HRESULT STDMETHODCALLTYPE Button_get_value(IHTMLOptionButtonElement* This, BSTR* p) { return Text(ModelOf(This).value, p); }
HRESULT STDMETHODCALLTYPE Button_get_checked(IHTMLOptionButtonElement* This, VARIANT_BOOL* p) {
    *p = ModelOf(This).checked ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE Button_put_checked(IHTMLOptionButtonElement* This, VARIANT_BOOL v) {
    ModelOf(This).checked = v != VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Area_get_name(IHTMLTextAreaElement* This, BSTR* p) {
    return Text(ModelOf(This).name, p, ModelOf(This).hasName);
}
HRESULT STDMETHODCALLTYPE Area_get_value(IHTMLTextAreaElement* This, BSTR* p) { return Text(ModelOf(This).value, p); }
HRESULT STDMETHODCALLTYPE Area_put_value(IHTMLTextAreaElement* This, BSTR v) {
    ModelOf(This).value = FromBstr(v);
    ++ModelOf(This).valueWrites;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Select_get_type(IHTMLSelectElement* This, BSTR* p) { return Text(ModelOf(This).type, p); }
HRESULT STDMETHODCALLTYPE Select_get_name(IHTMLSelectElement* This, BSTR* p) {
    return Text(ModelOf(This).name, p, ModelOf(This).hasName);
}
HRESULT STDMETHODCALLTYPE Select_get_selectedIndex(IHTMLSelectElement* This, LONG* p) {
    *p = ModelOf(This).selectedIndex;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE Select_put_selectedIndex(IHTMLSelectElement* This, LONG v) {
    ModelOf(This).selectedIndex = v;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE Select_get_length(IHTMLSelectElement* This, LONG* p) {
    *p = static_cast<LONG>(ModelOf(This).options.size());
    return S_OK;
}
HRESULT STDMETHODCALLTYPE Select_put_length(IHTMLSelectElement* This, LONG v) {
    if (v < 0) return E_INVALIDARG;
    ModelOf(This).options.resize(static_cast<size_t>(v));
    return S_OK;
}
HRESULT STDMETHODCALLTYPE Select_item(IHTMLSelectElement* This, VARIANT name, VARIANT, IDispatch** out) {
    *out = nullptr;
    auto* self = OwnerAs<FakeFieldObject>(This);
    long k = IndexOf(name);
    if (k < 0 || static_cast<size_t>(k) >= self->Model().options.size()) return E_INVALIDARG;
    auto* option = new FakeOption(self->page, self->form, self->field, static_cast<size_t>(k));
    *out = static_cast<IDispatch*>(option->First());
    return S_OK;
}

FakeFieldObject::FakeFieldObject(std::shared_ptr<FakePage> p, size_t f, size_t d) : page(std::move(p)), form(f), field(d) {
    static const IHTMLElementVtbl element = [] {
        auto t = MakeTable<IHTMLElementVtbl>();
        t.get_tagName = Element_get_tagName;
        return t;
    }();
    static const IHTMLInputElementVtbl input = [] {
        auto t = MakeTable<IHTMLInputElementVtbl>();
        t.get_type = Input_get_type;
        t.get_name = Input_get_name;
        t.get_value = Input_get_value;
        t.put_value = Input_put_value;
        t.get_checked = Input_get_checked;
        t.put_checked = Input_put_checked;
        return t;
    }();
    static const IHTMLOptionButtonElementVtbl button = [] {
        auto t = MakeTable<IHTMLOptionButtonElementVtbl>();
        t.get_name = Button_get_name;
        t.get_value = Button_get_value;
        t.get_checked = Button_get_checked;
        t.put_checked = Button_put_checked;
        return t;
    }();
    static const IHTMLTextAreaElementVtbl area = [] {
        auto t = MakeTable<IHTMLTextAreaElementVtbl>();
        t.get_name = Area_get_name;
        t.get_value = Area_get_value;
        t.put_value = Area_put_value;
        return t;
    }();
    static const IHTMLSelectElementVtbl select = [] {
        auto t = MakeTable<IHTMLSelectElementVtbl>();
        t.get_type = Select_get_type;
        t.get_name = Select_get_name;
        t.get_selectedIndex = Select_get_selectedIndex;
        t.put_selectedIndex = Select_put_selectedIndex;
        t.get_length = Select_get_length;
        t.put_length = Select_put_length;
        t.item = Select_item;
        return t;
    }();
    Add(IID_IHTMLElement, &element);
    const FakeField& model = Model();
    switch (model.kind) {
    case FakeField::Kind::Input:
        Add(IID_IHTMLInputElement, &input);
        // As in the platform's engine, radio buttons and checkboxes are option buttons too.
        if (model.type == L"radio" || model.type == L"checkbox") Add(IID_IHTMLOptionButtonElement, &button);
        break;
    case FakeField::Kind::TextArea: Add(IID_IHTMLTextAreaElement, &area); break;
    case FakeField::Kind::Select: Add(IID_IHTMLSelectElement, &select); break;
    case FakeField::Kind::Button: break;
    }
}

// ---------------------------------------------------------------- forms
struct FakeFormObject : FakeObject {
    std::shared_ptr<FakePage> page;
    size_t form;
    FakeFormObject(std::shared_ptr<FakePage> p, size_t f);
};

HRESULT STDMETHODCALLTYPE Form_get_tagName(IHTMLElement* This, BSTR* p) {
    auto* self = OwnerAs<FakeFormObject>(This);
    return Text(self->page->forms[self->form].tag, p);
}
HRESULT STDMETHODCALLTYPE Form_get_length(IHTMLFormElement* This, LONG* p) {
    auto* self = OwnerAs<FakeFormObject>(This);
    *p = static_cast<LONG>(self->page->forms[self->form].fields.size());
    return S_OK;
}
HRESULT STDMETHODCALLTYPE Form_item(IHTMLFormElement* This, VARIANT name, VARIANT, IDispatch** out) {
    *out = nullptr;
    auto* self = OwnerAs<FakeFormObject>(This);
    long j = IndexOf(name);
    if (j < 0 || static_cast<size_t>(j) >= self->page->forms[self->form].fields.size()) return E_INVALIDARG;
    auto* field = new FakeFieldObject(self->page, self->form, static_cast<size_t>(j));
    *out = static_cast<IDispatch*>(field->First());
    return S_OK;
}

FakeFormObject::FakeFormObject(std::shared_ptr<FakePage> p, size_t f) : page(std::move(p)), form(f) {
    static const IHTMLElementVtbl element = [] {
        auto t = MakeTable<IHTMLElementVtbl>();
        t.get_tagName = Form_get_tagName;
        return t;
    }();
    static const IHTMLFormElementVtbl formTable = [] {
        auto t = MakeTable<IHTMLFormElementVtbl>();
        t.get_length = Form_get_length;
        t.item = Form_item;
        return t;
    }();
    Add(IID_IHTMLElement, &element);
    // An element that only calls itself a form (tag "FORM") is not one.
    Add(IID_IHTMLFormElement, &formTable);
}

struct FakeFormsCollection : FakeObject {
    std::shared_ptr<FakePage> page;
    explicit FakeFormsCollection(std::shared_ptr<FakePage> p);
};

HRESULT STDMETHODCALLTYPE Forms_get_length(IHTMLElementCollection* This, LONG* p) {
    *p = static_cast<LONG>(OwnerAs<FakeFormsCollection>(This)->page->forms.size());
    return S_OK;
}
HRESULT STDMETHODCALLTYPE Forms_item(IHTMLElementCollection* This, VARIANT name, VARIANT, IDispatch** out) {
    *out = nullptr;
    auto* self = OwnerAs<FakeFormsCollection>(This);
    long i = IndexOf(name);
    if (i < 0 || static_cast<size_t>(i) >= self->page->forms.size()) return E_INVALIDARG;
    auto* form = new FakeFormObject(self->page, static_cast<size_t>(i));
    *out = static_cast<IDispatch*>(form->First());
    return S_OK;
}

FakeFormsCollection::FakeFormsCollection(std::shared_ptr<FakePage> p) : page(std::move(p)) {
    static const IHTMLElementCollectionVtbl table = [] {
        auto t = MakeTable<IHTMLElementCollectionVtbl>();
        t.get_length = Forms_get_length;
        t.item = Forms_item;
        return t;
    }();
    Add(IID_IHTMLElementCollection, &table);
}

// ---------------------------------------------------------------- document and its host
struct FakeClientSite : FakeObject {
    std::shared_ptr<FakePage> page;
    explicit FakeClientSite(std::shared_ptr<FakePage> p);
};

HRESULT STDMETHODCALLTYPE Target_Exec(IOleCommandTarget* This, const GUID*, DWORD command, DWORD, VARIANT*, VARIANT*) {
    OwnerAs<FakeClientSite>(This)->page->commandsForwarded.push_back(command);
    return S_OK;
}

FakeClientSite::FakeClientSite(std::shared_ptr<FakePage> p) : page(std::move(p)) {
    static const IOleClientSiteVtbl site = MakeTable<IOleClientSiteVtbl>();
    static const IDocHostUIHandlerVtbl handler = MakeTable<IDocHostUIHandlerVtbl>();
    static const IOleCommandTargetVtbl target = [] {
        auto t = MakeTable<IOleCommandTargetVtbl>();
        t.Exec = Target_Exec;
        return t;
    }();
    Add(IID_IOleClientSite, &site);
    Add(IID_IDocHostUIHandler, &handler);
    Add(IID_IOleCommandTarget, &target);
}

struct FakeDocument : FakeObject {
    std::shared_ptr<FakePage> page;
    explicit FakeDocument(std::shared_ptr<FakePage> p);
};

HRESULT STDMETHODCALLTYPE Document_get_forms(IHTMLDocument2* This, IHTMLElementCollection** out) {
    auto* forms = new FakeFormsCollection(OwnerAs<FakeDocument>(This)->page);
    *out = static_cast<IHTMLElementCollection*>(forms->First());
    return S_OK;
}
HRESULT STDMETHODCALLTYPE Document_GetClientSite(IOleObject* This, IOleClientSite** out) {
    auto* site = new FakeClientSite(OwnerAs<FakeDocument>(This)->page);
    *out = static_cast<IOleClientSite*>(site->First());
    return S_OK;
}

FakeDocument::FakeDocument(std::shared_ptr<FakePage> p) : page(std::move(p)) {
    static const IHTMLDocument2Vtbl document = [] {
        auto t = MakeTable<IHTMLDocument2Vtbl>();
        t.get_forms = Document_get_forms;
        return t;
    }();
    static const IOleObjectVtbl object = [] {
        auto t = MakeTable<IOleObjectVtbl>();
        t.GetClientSite = Document_GetClientSite;
        return t;
    }();
    Add(IID_IHTMLDocument2, &document);
    Add(IID_IOleObject, &object);
}

// ---------------------------------------------------------------- browser and its events
struct FakeBrowser;

struct FakeConnectionPoint : FakeObject {
    FakeBrowser* browser;  // the browser outlives its connection points' use in tests
    explicit FakeConnectionPoint(FakeBrowser* b);
};

struct FakeBrowser : FakeObject {
    std::shared_ptr<FakePage> page;
    std::map<DWORD, IDispatch*> sinks;  // counted
    DWORD nextCookie = 1;
    IDispatch* engineDocument = nullptr;  // counted; null for the page's own double
    explicit FakeBrowser(std::shared_ptr<FakePage> p);
    ~FakeBrowser() override {
        for (auto& sink : sinks) IDispatch_Release(sink.second);
        if (engineDocument) IDispatch_Release(engineDocument);
    }
};

HRESULT STDMETHODCALLTYPE Point_Advise(IConnectionPoint* This, IUnknown* sink, DWORD* cookie) {
    FakeBrowser* browser = OwnerAs<FakeConnectionPoint>(This)->browser;
    IDispatch* dispatch = nullptr;
    if (!sink || FAILED(IUnknown_QueryInterface(sink, IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
        return CONNECT_E_CANNOTCONNECT;
    *cookie = browser->nextCookie++;
    browser->sinks[*cookie] = dispatch;
    ++browser->page->advises;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE Point_Unadvise(IConnectionPoint* This, DWORD cookie) {
    FakeBrowser* browser = OwnerAs<FakeConnectionPoint>(This)->browser;
    auto found = browser->sinks.find(cookie);
    if (found == browser->sinks.end()) return CONNECT_E_NOCONNECTION;
    IDispatch* sink = found->second;
    browser->sinks.erase(found);
    ++browser->page->unadvises;
    IDispatch_Release(sink);
    return S_OK;
}

FakeConnectionPoint::FakeConnectionPoint(FakeBrowser* b) : browser(b) {
    static const IConnectionPointVtbl table = [] {
        auto t = MakeTable<IConnectionPointVtbl>();
        t.Advise = Point_Advise;
        t.Unadvise = Point_Unadvise;
        return t;
    }();
    Add(IID_IConnectionPoint, &table);
}

HRESULT STDMETHODCALLTYPE Browser_get_LocationURL(IWebBrowser2* This, BSTR* p) {
    return Text(OwnerAs<FakeBrowser>(This)->page->url, p);
}
HRESULT STDMETHODCALLTYPE Browser_get_LocationName(IWebBrowser2* This, BSTR* p) {
    return Text(OwnerAs<FakeBrowser>(This)->page->title, p);
}
HRESULT STDMETHODCALLTYPE Browser_get_Document(IWebBrowser2* This, IDispatch** out) {
    auto* self = OwnerAs<FakeBrowser>(This);
    *out = nullptr;
    if (!self->page->hasDocument) return S_OK;
    if (self->engineDocument) {
        IDispatch_AddRef(self->engineDocument);
        *out = self->engineDocument;
        return S_OK;
    }
    auto* document = new FakeDocument(self->page);
    *out = static_cast<IDispatch*>(document->First());
    return S_OK;
}
HRESULT STDMETHODCALLTYPE Browser_QueryService(IServiceProvider* This, REFGUID service, REFIID iid, void** out) {
    *out = nullptr;
    if (service != SID_SWebBrowserApp) return E_NOINTERFACE;
    return FaceQueryInterface(Owner(This)->First(), iid, out);
}
HRESULT STDMETHODCALLTYPE Browser_FindConnectionPoint(IConnectionPointContainer* This, REFIID iid, IConnectionPoint** out) {
    *out = nullptr;
    if (iid != DIID_DWebBrowserEvents2) return CONNECT_E_NOCONNECTION;
    auto* point = new FakeConnectionPoint(OwnerAs<FakeBrowser>(This));
    *out = static_cast<IConnectionPoint*>(point->First());
    return S_OK;
}

FakeBrowser::FakeBrowser(std::shared_ptr<FakePage> p) : page(std::move(p)) {
    static const IWebBrowser2Vtbl browser = [] {
        auto t = MakeTable<IWebBrowser2Vtbl>();
        t.get_LocationURL = Browser_get_LocationURL;
        t.get_LocationName = Browser_get_LocationName;
        t.get_Document = Browser_get_Document;
        return t;
    }();
    static const IServiceProviderVtbl services = [] {
        auto t = MakeTable<IServiceProviderVtbl>();
        t.QueryService = Browser_QueryService;
        return t;
    }();
    static const IConnectionPointContainerVtbl container = [] {
        auto t = MakeTable<IConnectionPointContainerVtbl>();
        t.FindConnectionPoint = Browser_FindConnectionPoint;
        return t;
    }();
    Add(IID_IWebBrowser2, &browser);
    Add(IID_IWebBrowserApp, &browser);
    Add(IID_IWebBrowser, &browser);
    Add(IID_IServiceProvider, &services);
    Add(IID_IConnectionPointContainer, &container);
}

// ---------------------------------------------------------------- window and frames
struct FakeWindow : FakeObject {
    IServiceProvider* browser;  // counted
    explicit FakeWindow(void* b);
    ~FakeWindow() override { IServiceProvider_Release(browser); }
};

HRESULT STDMETHODCALLTYPE Window_QueryService(IServiceProvider* This, REFGUID service, REFIID iid, void** out) {
    return IServiceProvider_QueryService(OwnerAs<FakeWindow>(This)->browser, service, iid, out);
}

FakeWindow::FakeWindow(void* b) {
    static const IHTMLWindow2Vtbl window = MakeTable<IHTMLWindow2Vtbl>();
    static const IServiceProviderVtbl services = [] {
        auto t = MakeTable<IServiceProviderVtbl>();
        t.QueryService = Window_QueryService;
        return t;
    }();
    Add(IID_IHTMLWindow2, &window);
    Add(IID_IServiceProvider, &services);
    FaceQueryInterface(static_cast<FakeObject*>(static_cast<Face*>(b)->owner)->First(), IID_IServiceProvider,
                       reinterpret_cast<void**>(&browser));
}

struct FakeFrame : FakeObject {
    FakeFrame() {
        static const IWebBrowser2Vtbl table = MakeTable<IWebBrowser2Vtbl>();
        Add(IID_IWebBrowser2, &table);
    }
};

}  // namespace

void* CreateFakeBrowser(std::shared_ptr<FakePage> page) { return (new FakeBrowser(std::move(page)))->First(); }

void* CreateFakeBrowserOnDocument(std::shared_ptr<FakePage> page, void* document) {
    auto* browser = new FakeBrowser(std::move(page));
    IUnknown_QueryInterface(static_cast<IUnknown*>(document), IID_IDispatch, reinterpret_cast<void**>(&browser->engineDocument));
    return browser->First();
}

void* CreateFakeWindow(void* browser) { return (new FakeWindow(browser))->First(); }

void* CreateFakeFrame() { return (new FakeFrame())->First(); }

void FireBrowserEvent(void* browserFace, long dispid, void* frame) {
    auto* browser = static_cast<FakeBrowser*>(Owner(browserFace));
    VARIANT args[2];
    VariantInit(&args[0]);
    VariantInit(&args[1]);
    args[1].vt = VT_DISPATCH;  // the first argument comes last
    args[1].pdispVal = static_cast<IDispatch*>(frame);
    args[0].vt = VT_BSTR;
    args[0].bstrVal = SysAllocString(browser->page->url);
    DISPPARAMS params = {args, nullptr, 2, 0};
    std::vector<IDispatch*> sinks;
    for (auto& sink : browser->sinks) {
        IDispatch_AddRef(sink.second);
        sinks.push_back(sink.second);
    }
    for (IDispatch* sink : sinks) {
        IDispatch_Invoke(sink, dispid, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        IDispatch_Release(sink);
    }
    SysFreeString(args[0].bstrVal);
}

void ReleaseFake(void* object) {
    if (object) FaceRelease(object);
}

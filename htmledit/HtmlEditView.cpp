#include "HtmlEditView.h"

#include "app/AfxMessageBox.h"
#include "app/WinApp.h"
#include "browser/BrowserWindow.h"
#include "com/ComObject.h"
#include "docview/Document.h"
#include "wnd/CmdTarget.h"

#include <docobj.h>
#include <mshtml.h>
#include <mshtmhst.h>

namespace {

// The engine's command group of the editing commands (CGID_MSHTML).
constexpr GUID kMshtmlCommandGroup = {0xde4ba900, 0x59ca, 0x11cf, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// The view's host object for the engine: the view decides about context
// menus; for everything else the engine keeps its own behaviour.
class EditViewHost final : public comserver::ComObject<EditViewHost, IDocHostUIHandler> {
public:
    explicit EditViewHost(CHtmlEditView& view) : m_view(view) {}

    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD id, POINT* point, IUnknown* target, IDispatch* element) override {
        return m_view.OnShowContextMenu(id, point, target, element);
    }
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                     IOleInPlaceUIWindow*) override {
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE HideUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UpdateUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    // Keys reach the view's message loop as they are.
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD) override {
        if (key) *key = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget** target) override {
        if (target) *target = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) override {
        if (external) *external = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject** out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }

private:
    CHtmlEditView& m_view;
};

ComPtr<IOleCommandTarget> CommandTargetOf(IDispatch* document) {
    ComPtr<IOleCommandTarget> commands;
    if (document) document->QueryInterface(IID_IOleCommandTarget, commands.ReceiveVoid());
    return commands;
}

} // namespace

const DHtmlEditingCmdEntry* FindDHtmlEditingCmd(const DHtmlEditingCmdEntry* map, UINT id) {
    for (const DHtmlEditingCmdEntry* entry = map; entry && entry->nHTMLID != 0; ++entry)
        if (entry->nCmdID == id) return entry;
    return nullptr;
}

CHtmlEditView::~CHtmlEditView() = default;

const MessageMap* CHtmlEditView::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CHtmlEditView::OnCreate>(WM_CREATE),
        MapMessage<&CHtmlEditView::OnSize>(WM_SIZE),
        MapCommand<&CHtmlEditView::OnFilePrint>(ID_FILE_PRINT),
    };
    static const MessageMap map{CView::GetMessageMap(), entries};
    return &map;
}

int CHtmlEditView::OnCreate(LPCREATESTRUCT cs) {
    if (CView::OnCreate(cs) == -1) return -1;
    RECT client{0, 0, cs->cx, cs->cy};
    m_host = ComPtr<IUnknown>::Attach(static_cast<IDocHostUIHandler*>(EditViewHost::Create(*this)));
    // Without the engine the view stays empty; nothing else depends on it.
    if (FAILED(CreateBrowserWindow(m_hWnd, client, m_host.Get(), m_browser.Receive()))) m_browser.Reset();
    return 0;
}

void CHtmlEditView::OnSize(UINT type, int cx, int cy) {
    CView::OnSize(type, cx, cy);
    if (HWND embedding = FindWindowExW(m_hWnd, nullptr, L"Shell Embedding", nullptr))
        ::MoveWindow(embedding, 0, 0, cx, cy, TRUE);
}

void CHtmlEditView::OnInitialUpdate() {
    CView::OnInitialUpdate();
    if (CDocument* document = GetDocument(); document && !document->GetPathName().IsEmpty())
        Navigate2(document->GetPathName());
}

bool CHtmlEditView::Navigate2(const wchar_t* url) {
    if (!m_browser || !url) return false;
    BSTR address = SysAllocString(url);
    HRESULT loaded = m_browser->Navigate(address, nullptr, nullptr, nullptr, nullptr);
    SysFreeString(address);
    if (FAILED(loaded)) return false;
    m_document = GetHtmlDocument();
    m_commands = CommandTargetOf(m_document.Get());
    // The engine's own notices of this load come later through the message
    // loop; the document is complete now, and the view is told so at once.
    OnNavigateComplete2(url);
    OnDocumentComplete(url);
    return true;
}

void CHtmlEditView::OnNavigateComplete2(const wchar_t*) {}
void CHtmlEditView::OnDocumentComplete(const wchar_t*) {}

HRESULT CHtmlEditView::OnShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) { return S_FALSE; }

ComPtr<IDispatch> CHtmlEditView::GetHtmlDocument() const {
    ComPtr<IDispatch> document;
    if (m_browser && FAILED(m_browser->get_Document(document.Receive()))) document.Reset();
    return document;
}

bool CHtmlEditView::SetDesignMode(bool on) {
    ComPtr<IHTMLDocument2> html;
    if (!m_document || FAILED(m_document->QueryInterface(IID_IHTMLDocument2, html.ReceiveVoid()))) return false;
    BSTR mode = SysAllocString(on ? L"On" : L"Off");
    HRESULT set = html->put_designMode(mode);
    SysFreeString(mode);
    return SUCCEEDED(set);
}

HRESULT CHtmlEditView::ExecCommand(long cmdID, long execOpt, VARIANT* input, VARIANT* output) {
    if (!m_commands) return E_FAIL;
    return m_commands->Exec(&kMshtmlCommandGroup, static_cast<DWORD>(cmdID), static_cast<DWORD>(execOpt), input, output);
}

long CHtmlEditView::QueryStatus(long cmdID) const {
    OLECMD status{static_cast<ULONG>(cmdID), 0};
    if (!m_commands || FAILED(m_commands->QueryStatus(&kMshtmlCommandGroup, 1, &status, nullptr))) return 0;
    return static_cast<long>(status.cmdf);
}

bool CHtmlEditView::GetDHtmlCommandMapping(UINT, long&, long&, bool&) const { return false; }

bool CHtmlEditView::ExecHandler(UINT) { return false; }

BOOL CHtmlEditView::OnCmdMsg(CommandCall& call) {
    long engineCommand = 0, elemType = AFX_UI_ELEMTYPE_NORMAL;
    bool hasHandler = false;
    if (call.isNotify || !GetDHtmlCommandMapping(call.id, engineCommand, elemType, hasHandler))
        return CView::OnCmdMsg(call);
    if (call.code == CN_UPDATE_COMMAND_UI) {
        if (call.probeOnly) return TRUE;
        if (!call.cmdUI) return FALSE;
        long status = QueryStatus(engineCommand);
        call.cmdUI->Enable((status & OLECMDF_ENABLED) != 0);
        if (elemType == AFX_UI_ELEMTYPE_CHECKBOX) call.cmdUI->SetCheck((status & OLECMDF_LATCHED) ? 1 : 0);
        return TRUE;
    }
    if (call.code != CN_COMMAND) return CView::OnCmdMsg(call);
    if (call.probeOnly) return TRUE;
    if (hasHandler) return ExecHandler(call.id) ? TRUE : FALSE;
    VARIANT none{};
    none.vt = VT_I4;
    ExecCommand(engineCommand, OLECMDEXECOPT_DODEFAULT, &none, nullptr);
    return TRUE;
}

void CHtmlEditView::OnFilePrint() {
    if (!m_browser) return;
    HRESULT printed = m_browser->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr);
    // Cancel in the print dialog is no failure; a printer that took nothing is.
    if (FAILED(printed) && printed != OLECMDERR_E_CANCELED)
        AfxMessageBox(L"The page could not be printed.", MB_OK | MB_ICONEXCLAMATION);
}

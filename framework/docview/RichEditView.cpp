#include "docview/RichEditView.h"

#include "docview/PrintInfo.h"
#include "docview/RichEditDoc.h"
#include "gdi/DC.h"

#include <richedit.h>

#include <algorithm>
#include <string>

namespace {

const IID kIID_IRichEditOleCallback = {0x00020D03, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// The text's lines (a CR, LF or CR LF ends one), tabs as four blanks.
std::vector<CString> TextLines(const CString& text) {
    std::vector<CString> lines(1);
    for (int i = 0; i < text.GetLength(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            if (c == L'\r' && i + 1 < text.GetLength() && text[i + 1] == L'\n') ++i;
            lines.emplace_back();
        } else if (c == L'\t') {
            lines.back() += L"    ";
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

// How many characters of the line's start fit into the width: at least one,
// and up to the last blank when the line goes on past the width.
int WrapLength(HDC dc, const wchar_t* line, int length, int width) {
    int fit = 0;
    SIZE size{};
    if (!GetTextExtentExPointW(dc, line, length, width, &fit, nullptr, &size)) fit = length;
    if (fit >= length) return length;
    for (int blank = fit; blank > 0; --blank)
        if (line[blank] == L' ') return blank + 1;
    return fit > 0 ? fit : 1;
}

}  // namespace

// The control's questions about objects, answered by the view while it lives.
class CRichEditView::OleCallback : public IRichEditOleCallback {
public:
    explicit OleCallback(CRichEditView* view) : m_view(view) {}
    void Detach() { m_view = nullptr; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIID_IRichEditOleCallback)) {
            *out = static_cast<IRichEditOleCallback*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&m_refs);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    STDMETHODIMP GetNewStorage(LPSTORAGE* storage) override {
        if (!storage) return E_POINTER;
        *storage = nullptr;
        CRichEditDoc* document = m_view ? m_view->GetDocument() : nullptr;
        if (!document) return E_FAIL;
        ComPtr<ILockBytes> bytes;
        if (FAILED(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.Receive()))) return E_OUTOFMEMORY;
        ComPtr<IStorage> created;
        HRESULT hr = StgCreateDocfileOnILockBytes(bytes.Get(), STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE, 0,
                                                  created.Receive());
        if (FAILED(hr)) return hr;
        CRichEditCntrItem* item = document->AddClientItem(nullptr);
        if (!item) return E_OUTOFMEMORY;
        item->SetStorage(created.Get());
        *storage = created.Detach();
        return S_OK;
    }
    STDMETHODIMP GetInPlaceContext(LPOLEINPLACEFRAME*, LPOLEINPLACEUIWINDOW*, LPOLEINPLACEFRAMEINFO) override {
        return E_NOTIMPL;  // objects open in their own windows
    }
    STDMETHODIMP ShowContainerUI(BOOL) override { return S_OK; }
    STDMETHODIMP QueryInsertObject(LPCLSID clsid, LPSTORAGE storage, LONG position) override {
        if (!m_view || !clsid) return S_FALSE;
        return m_view->QueryInsertObject(*clsid, storage, position);
    }
    STDMETHODIMP DeleteObject(LPOLEOBJECT) override { return S_OK; }
    STDMETHODIMP QueryAcceptData(LPDATAOBJECT data, CLIPFORMAT* format, DWORD reco, BOOL really,
                                 HGLOBAL metafile) override {
        if (!m_view) return S_FALSE;
        return m_view->QueryAcceptData(data, format, reco, really, metafile);
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return S_OK; }
    STDMETHODIMP GetClipboardData(CHARRANGE*, DWORD, LPDATAOBJECT* data) override {
        if (data) *data = nullptr;
        return E_NOTIMPL;  // the control's own clipboard data
    }
    STDMETHODIMP GetDragDropEffect(BOOL, DWORD, LPDWORD) override { return S_OK; }
    STDMETHODIMP GetContextMenu(WORD, LPOLEOBJECT, CHARRANGE*, HMENU* menu) override {
        if (menu) *menu = nullptr;
        return E_NOTIMPL;
    }

private:
    virtual ~OleCallback() = default;
    LONG m_refs = 1;
    CRichEditView* m_view;
};

CRichEditView::CRichEditView() = default;

CRichEditView::~CRichEditView() {
    if (m_printFont) DeleteObject(m_printFont);
}

const MessageMap* CRichEditView::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CRichEditView::OnCreate>(WM_CREATE),
        MapMessage<&CRichEditView::OnDestroy>(WM_DESTROY),
        MapMessage<&CRichEditView::OnPaint>(WM_PAINT),
    };
    static const MessageMap map{CView::GetMessageMap(), entries};
    return &map;
}

CRichEditDoc* CRichEditView::GetDocument() const { return dynamic_cast<CRichEditDoc*>(CView::GetDocument()); }

BOOL CRichEditView::PreCreateWindow(CREATESTRUCTW& cs) {
    static HMODULE library = LoadLibraryW(L"riched20.dll");
    if (!library) return FALSE;
    cs.lpszClass = RICHEDIT_CLASSW;
    cs.style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL;
    return CView::PreCreateWindow(cs);
}

int CRichEditView::OnCreate(LPCREATESTRUCT cs) {
    if (CView::OnCreate(cs) == -1) return -1;
    SendMessage(EM_EXLIMITTEXT, 0, 0x7FFFFFF0);
    m_callback = ComPtr<IRichEditOleCallback>::Attach(new OleCallback(this));
    SendMessage(EM_SETOLECALLBACK, 0, reinterpret_cast<LPARAM>(m_callback.Get()));
    return 0;
}

void CRichEditView::OnDestroy() {
    if (m_callback) static_cast<OleCallback*>(m_callback.Get())->Detach();
    CView::OnDestroy();
}

CString CRichEditView::GetControlText() const {
    GETTEXTLENGTHEX lengthQuery{GTL_DEFAULT | GTL_NUMCHARS, 1200};
    LRESULT length = SendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery));
    if (length <= 0) return CString();
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    GETTEXTEX get{};
    get.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    get.flags = GT_DEFAULT;
    get.codepage = 1200;
    LRESULT got = SendMessage(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(buffer.data()));
    return CString(buffer.data(), static_cast<int>(got));
}

void CRichEditView::SetControlText(const CString& text) {
    SETTEXTEX set{ST_DEFAULT, 1200};
    SendMessage(EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(text.GetString()));
    SendMessage(EM_SETMODIFY, FALSE);
}

CRichEditCntrItem* CRichEditView::GetSelectedItem() const {
    CRichEditDoc* document = GetDocument();
    if (!document || !m_hWnd || SendMessage(EM_SELECTIONTYPE) != SEL_OBJECT) return nullptr;
    ComPtr<IRichEditOle> ole;
    if (!SendMessage(EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(ole.ReceiveVoid())) || !ole) return nullptr;
    REOBJECT object{};
    object.cbStruct = sizeof(object);
    if (FAILED(ole->GetObject(REO_IOB_SELECTION, &object, REO_GETOBJ_POLEOBJ | REO_GETOBJ_PSTG))) return nullptr;
    CRichEditCntrItem* found = nullptr;
    for (const auto& item : document->GetItems())
        if (object.pstg && item->GetStorage() == object.pstg) {
            item->SyncToRichEditObject(object);
            found = item.get();
        }
    if (object.poleobj) object.poleobj->Release();
    if (object.pstg) object.pstg->Release();
    return found;
}

HRESULT CRichEditView::QueryAcceptData(IDataObject*, CLIPFORMAT*, DWORD, BOOL, HGLOBAL) { return S_OK; }

HRESULT CRichEditView::QueryInsertObject(const CLSID&, IStorage*, LONG) { return S_OK; }

void CRichEditView::OnBeginPrinting(CDC* dc, CPrintInfo* info) {
    // The area inside the margins, and the control's default font at the device's resolution.
    const int dpiX = dc->GetDeviceCaps(LOGPIXELSX), dpiY = dc->GetDeviceCaps(LOGPIXELSY);
    m_printPages.clear();
    if (dpiX <= 0 || dpiY <= 0) return;
    m_printArea = info->m_rectDraw;
    m_printArea.left += MulDiv(m_rectMargin.left, dpiX, 1440);
    m_printArea.right -= MulDiv(m_rectMargin.right, dpiX, 1440);
    m_printArea.top += MulDiv(m_rectMargin.top, dpiY, 1440);
    m_printArea.bottom -= MulDiv(m_rectMargin.bottom, dpiY, 1440);
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    SendMessage(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    const LONG twips = format.yHeight > 0 ? format.yHeight : 200;
    if (m_printFont) DeleteObject(m_printFont);
    m_printFont = CreateFontW(-MulDiv(twips, dpiY, 1440), 0, 0, 0, (format.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL,
                              (format.dwEffects & CFE_ITALIC) ? TRUE : FALSE, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                              format.bPitchAndFamily, format.szFaceName[0] ? format.szFaceName : L"Arial");
    HGDIOBJ previous = dc->SelectObject(m_printFont);
    TEXTMETRICW metrics{};
    GetTextMetricsW(*dc, &metrics);
    m_printLineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    if (m_printLineHeight > 0 && m_printArea.Width() > 0 && m_printArea.Height() >= m_printLineHeight) {
        m_printText = TextLines(GetControlText());
        const int perPage = m_printArea.Height() / m_printLineHeight;
        for (int line = 0; line < static_cast<int>(m_printText.size()); ++line) {
            const CString& text = m_printText[static_cast<size_t>(line)];
            int at = 0;
            do {
                if (m_printPages.empty() || static_cast<int>(m_printPages.back().size()) >= perPage) m_printPages.emplace_back();
                const int count = WrapLength(*dc, text.GetString() + at, text.GetLength() - at, m_printArea.Width());
                m_printPages.back().push_back(PrintLine{line, at, count});
                at += count;
            } while (at < text.GetLength());
        }
    }
    dc->SelectObject(previous);
    info->SetMaxPage(std::max<UINT>(1, static_cast<UINT>(m_printPages.size())));
}

void CRichEditView::OnPrint(CDC* dc, CPrintInfo* info) {
    const size_t page = info->m_nCurPage - 1;
    if (page >= m_printPages.size() || !m_printFont) return;
    HGDIOBJ previous = dc->SelectObject(m_printFont);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(RGB(0, 0, 0));
    int y = m_printArea.top;
    for (const PrintLine& piece : m_printPages[page]) {
        const CString& text = m_printText[static_cast<size_t>(piece.line)];
        ExtTextOutW(*dc, m_printArea.left, y, 0, nullptr, text.GetString() + piece.start, static_cast<UINT>(piece.length),
                    nullptr);
        y += m_printLineHeight;
    }
    dc->SelectObject(previous);
}

void CRichEditView::OnEndPrinting(CDC*, CPrintInfo*) {
    m_printPages.clear();
    m_printText.clear();
    if (m_printFont) DeleteObject(m_printFont);
    m_printFont = nullptr;
}

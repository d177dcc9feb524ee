#include "ole/OleDragDrop.h"

#include "docview/View.h"

// COleDataObject ----------------------------------------------------------------------------

void COleDataObject::Attach(IDataObject* data, BOOL autoRelease) {
    Release();
    m_lpDataObject = data;
    m_bAutoRelease = autoRelease;
}

void COleDataObject::Release() {
    if (m_lpDataObject && m_bAutoRelease) m_lpDataObject->Release();
    m_lpDataObject = nullptr;
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT format) const {
    if (!m_lpDataObject) return FALSE;
    FORMATETC etc{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL | TYMED_ISTREAM | TYMED_ISTORAGE};
    return m_lpDataObject->QueryGetData(&etc) == S_OK;
}

// COleDropTarget -----------------------------------------------------------------------------

// The IDropTarget the system calls; its life is the target's (the system's
// references end with RevokeDragDrop).
class COleDropTarget::Interface : public IDropTarget {
public:
    explicit Interface(COleDropTarget& owner) : m_owner(owner) {}
    virtual ~Interface() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDropTarget) {
            *out = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override {
        if (!effect) return E_POINTER;
        CWnd* wnd = m_owner.m_pWnd;
        if (m_owner.m_lpDataObject) m_owner.m_lpDataObject->Release();
        m_owner.m_lpDataObject = data;
        if (data) data->AddRef();
        m_owner.m_nTimerID = 0xFFFF;
        COleDataObject object;
        object.Attach(data, FALSE);
        *effect &= m_owner.OnDragEnter(wnd, &object, keyState, ClientPoint(pt));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL pt, DWORD* effect) override {
        if (!effect) return E_POINTER;
        CWnd* wnd = m_owner.m_pWnd;
        const CPoint point = ClientPoint(pt);
        const DROPEFFECT scroll = m_owner.OnDragScroll(wnd, keyState, point);
        if (scroll & DROPEFFECT_SCROLL) {
            *effect &= scroll;
            return S_OK;
        }
        COleDataObject object;
        object.Attach(m_owner.m_lpDataObject, FALSE);
        *effect &= m_owner.OnDragOver(wnd, &object, keyState, point);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        m_owner.OnDragLeave(m_owner.m_pWnd);
        Forget();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override {
        if (!effect) return E_POINTER;
        CWnd* wnd = m_owner.m_pWnd;
        const CPoint point = ClientPoint(pt);
        COleDataObject object;
        object.Attach(data, FALSE);
        // The effect the key state asks for, among those allowed.
        DROPEFFECT chosen = (keyState & MK_CONTROL) ? ((keyState & MK_SHIFT) ? DROPEFFECT_LINK : DROPEFFECT_COPY) : DROPEFFECT_MOVE;
        if (!(chosen & *effect)) chosen = *effect & (DROPEFFECT_MOVE | DROPEFFECT_COPY | DROPEFFECT_LINK);
        DROPEFFECT result = m_owner.OnDropEx(wnd, &object, chosen, *effect, point);
        if (result == static_cast<DROPEFFECT>(-1)) result = m_owner.OnDrop(wnd, &object, chosen, point) ? chosen : DROPEFFECT_NONE;
        *effect = result;
        Forget();
        return S_OK;
    }

private:
    CPoint ClientPoint(POINTL pt) const {
        CPoint point(pt.x, pt.y);
        if (m_owner.m_pWnd) m_owner.m_pWnd->ScreenToClient(&point);
        return point;
    }
    void Forget() {
        if (m_owner.m_lpDataObject) m_owner.m_lpDataObject->Release();
        m_owner.m_lpDataObject = nullptr;
        m_owner.m_nTimerID = 0xFFFF;
    }
    COleDropTarget& m_owner;
    ULONG m_refs = 1;
};

COleDropTarget::COleDropTarget() : m_pInterface(std::make_unique<Interface>(*this)) {}

COleDropTarget::~COleDropTarget() {
    Revoke();
    if (m_lpDataObject) m_lpDataObject->Release();
}

BOOL COleDropTarget::Register(CWnd* wnd) {
    if (!wnd || !wnd->GetSafeHwnd() || m_pWnd) return FALSE;
    if (FAILED(RegisterDragDrop(wnd->GetSafeHwnd(), m_pInterface.get()))) return FALSE;
    m_pWnd = wnd;
    return TRUE;
}

void COleDropTarget::Revoke() {
    if (m_pWnd && m_pWnd->GetSafeHwnd()) RevokeDragDrop(m_pWnd->GetSafeHwnd());
    m_pWnd = nullptr;
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }
DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }
void COleDropTarget::OnDragLeave(CWnd*) {}
BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint) { return FALSE; }
DROPEFFECT COleDropTarget::OnDropEx(CWnd*, COleDataObject*, DROPEFFECT, DROPEFFECT, CPoint) {
    return static_cast<DROPEFFECT>(-1);
}

DROPEFFECT COleDropTarget::OnDragScroll(CWnd* wnd, DWORD keyState, CPoint point) {
    // Only views scroll by themselves near their edges.
    auto* view = dynamic_cast<CView*>(wnd);
    if (!view) return DROPEFFECT_NONE;
    CRect client;
    view->GetClientRect(&client);
    CRect inner = client;
    inner.DeflateRect(kDragScrollInset, kDragScrollInset);
    if (!client.PtInRect(point) || inner.PtInRect(point)) {
        m_nTimerID = 0xFFFF;
        return DROPEFFECT_NONE;
    }
    const int code = point.y < inner.top ? SB_LINEUP : (point.y >= inner.bottom ? SB_LINEDOWN : -1);
    if (code < 0) return DROPEFFECT_NONE;
    if (m_nTimerID != code) {
        m_dwLastTick = GetTickCount();
        m_nScrollDelay = kDragScrollDelay;
        m_nTimerID = code;
    }
    if (GetTickCount() - m_dwLastTick > m_nScrollDelay) {
        view->SendMessage(WM_VSCROLL, MAKEWPARAM(code, 0));
        m_dwLastTick = GetTickCount();
        m_nScrollDelay = kDragScrollInterval;
    }
    DROPEFFECT effect = DROPEFFECT_SCROLL;
    if ((keyState & MK_CONTROL) && (keyState & MK_SHIFT)) effect |= DROPEFFECT_LINK;
    else if (keyState & MK_CONTROL) effect |= DROPEFFECT_COPY;
    else if (keyState & (MK_ALT | MK_SHIFT)) effect |= DROPEFFECT_MOVE;
    return effect;
}

// COleDropSource -----------------------------------------------------------------------------

class COleDropSource::Interface : public IDropSource {
public:
    explicit Interface(COleDropSource& owner) : m_owner(owner) {}
    virtual ~Interface() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDropSource) {
            *out = static_cast<IDropSource*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keyState) override {
        return m_owner.QueryContinueDrag(escape, keyState);
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override { return m_owner.GiveFeedback(effect); }

private:
    COleDropSource& m_owner;
    ULONG m_refs = 1;
};

COleDropSource::COleDropSource() : m_pInterface(std::make_unique<Interface>(*this)) {}
COleDropSource::~COleDropSource() = default;

IDropSource* COleDropSource::GetInterface() { return m_pInterface.get(); }

SCODE COleDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    if (escapePressed) return DRAGDROP_S_CANCEL;
    if (!(keyState & (MK_LBUTTON | MK_RBUTTON))) return DRAGDROP_S_DROP;
    return S_OK;
}

SCODE COleDropSource::GiveFeedback(DROPEFFECT) { return DRAGDROP_S_USEDEFAULTCURSORS; }

BOOL COleDropSource::OnBeginDrag(CWnd*) { return TRUE; }

DROPEFFECT COleDropSource::DoDragDrop(CWnd* wnd, IDataObject* data, DROPEFFECT allowed) {
    if (!data || !OnBeginDrag(wnd)) return DROPEFFECT_NONE;
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = ::DoDragDrop(data, m_pInterface.get(), allowed, &effect);
    return result == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

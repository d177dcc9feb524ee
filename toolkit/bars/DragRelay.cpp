#include "bars/DragRelay.h"

#include "docview/View.h"

// The source --------------------------------------------------------------------------------

bool COXSHBDropSource::Relay(UINT message, OXDRAGSOURCERELAY& record) const {
    if (!m_pOwner || !m_pOwner->GetSafeHwnd()) return false;
    return m_pOwner->SendMessage(message, 0, reinterpret_cast<LPARAM>(&record)) != 0;
}

SCODE COXSHBDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    OXDRAGSOURCERELAY record;
    record.dwKeyState = keyState;
    record.bEscapePressed = escapePressed;
    if (Relay(WM_DRAGRELAY_QUERYCONTINUE, record)) return static_cast<SCODE>(record.result);
    return COleDropSource::QueryContinueDrag(escapePressed, keyState);
}

SCODE COXSHBDropSource::GiveFeedback(DROPEFFECT effect) {
    OXDRAGSOURCERELAY record;
    record.dropEffect = effect;
    if (Relay(WM_DRAGRELAY_GIVEFEEDBACK, record)) return static_cast<SCODE>(record.result);
    return COleDropSource::GiveFeedback(effect);
}

BOOL COXSHBDropSource::OnBeginDrag(CWnd* wnd) {
    OXDRAGSOURCERELAY record;
    record.pWnd = wnd;
    if (Relay(WM_DRAGRELAY_BEGINDRAG, record)) return static_cast<BOOL>(record.result);
    return COleDropSource::OnBeginDrag(wnd);
}

// The target --------------------------------------------------------------------------------

bool COXSHBDropTarget::Relay(UINT message, OXDRAGTARGETRELAY& record) {
    if (!record.pWnd || !record.pWnd->GetSafeHwnd()) return false;
    return record.pWnd->SendMessage(message, 0, reinterpret_cast<LPARAM>(&record)) != 0;
}

DROPEFFECT COXSHBDropTarget::OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) {
    OXDRAGTARGETRELAY record{wnd, data, keyState, point};
    return Relay(WM_DRAGRELAY_ENTER, record) ? static_cast<DROPEFFECT>(record.result) : DROPEFFECT_NONE;
}

DROPEFFECT COXSHBDropTarget::OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) {
    OXDRAGTARGETRELAY record{wnd, data, keyState, point};
    return Relay(WM_DRAGRELAY_OVER, record) ? static_cast<DROPEFFECT>(record.result) : DROPEFFECT_NONE;
}

void COXSHBDropTarget::OnDragLeave(CWnd* wnd) {
    OXDRAGTARGETRELAY record;
    record.pWnd = wnd;
    if (!Relay(WM_DRAGRELAY_LEAVE, record)) COleDropTarget::OnDragLeave(wnd);
}

BOOL COXSHBDropTarget::OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point) {
    OXDRAGTARGETRELAY record{wnd, data, 0, point, effect};
    return Relay(WM_DRAGRELAY_DROP, record) ? static_cast<BOOL>(record.result) : FALSE;
}

DROPEFFECT COXSHBDropTarget::OnDropEx(CWnd* wnd, COleDataObject* data, DROPEFFECT defaultEffect, DROPEFFECT list,
                                      CPoint point) {
    OXDRAGTARGETRELAY record{wnd, data, 0, point, defaultEffect, list};
    if (Relay(WM_DRAGRELAY_DROPEX, record)) return static_cast<DROPEFFECT>(record.result);
    return COleDropTarget::OnDropEx(wnd, data, defaultEffect, list, point);
}

DROPEFFECT COXSHBDropTarget::OnDragScroll(CWnd* wnd, DWORD keyState, CPoint point) {
    OXDRAGTARGETRELAY record{wnd, nullptr, keyState, point};
    Relay(WM_DRAGRELAY_SCROLL, record);
    if (static_cast<DROPEFFECT>(record.result) != DROPEFFECT_SCROLL) return static_cast<DROPEFFECT>(record.result);
    if (dynamic_cast<CView*>(wnd)) return COleDropTarget::OnDragScroll(wnd, keyState, point);

    // The window asked to be scrolled: find the edge zone the point is in.
    int code = 0xFFFF;  // high byte horizontal, low byte vertical; 0xFF: none
    CRect client;
    wnd->GetClientRect(&client);
    CRect inner = client;
    inner.DeflateRect(kDragScrollInset, kDragScrollInset);
    if (client.PtInRect(point) && !inner.PtInRect(point)) {
        const DWORD style = wnd->GetStyle();
        auto canScroll = [&](int bar, DWORD styleBit) {
            bool can = (style & styleBit) != 0;
            SCROLLINFO info{sizeof(info), SIF_ALL};
            if (GetScrollInfo(wnd->m_hWnd, bar, &info)) {
                if (!can) can = info.nMax >= 1 && info.nPage != 0 && info.nMax >= static_cast<int>(info.nPage);
                else can = info.nMax != 0 && info.nPage != 0 && info.nMax >= static_cast<int>(info.nPage);
            }
            return can;
        };
        if (canScroll(SB_HORZ, WS_HSCROLL)) {
            if (point.x < inner.left) code = (code & 0x00FF) | (SB_LINEUP << 8);
            else if (point.x >= client.right - kDragScrollInset) code = (code & 0x00FF) | (SB_LINEDOWN << 8);
        }
        if (canScroll(SB_VERT, WS_VSCROLL)) {
            if (point.y < inner.top) code = (code & 0xFF00) | SB_LINEUP;
            else if (point.y >= client.bottom - kDragScrollInset) code = (code & 0xFF00) | SB_LINEDOWN;
        }
    }
    if (code == 0xFFFF) {
        if (m_bScrolling) {
            // Back out of the edge: as if the drag came in again.
            m_bScrolling = false;
            COleDataObject again;
            again.Attach(m_lpDataObject, FALSE);
            OnDragEnter(wnd, &again, keyState, point);
        }
        m_nTimerID = 0xFFFF;
        return DROPEFFECT_NONE;
    }
    if (!m_bScrolling) OnDragLeave(wnd);  // the drag left the content
    if (code != m_nTimerID) {
        m_dwLastTick = GetTickCount();
        m_nScrollDelay = kDragScrollDelay;
    }
    if (GetTickCount() - m_dwLastTick > m_nScrollDelay) {
        if ((code & 0xFF) == 0xFF) wnd->SendMessage(WM_HSCROLL, MAKEWPARAM(code >> 8, 0));
        else wnd->SendMessage(WM_VSCROLL, MAKEWPARAM(code & 0xFF, 0));
        m_dwLastTick = GetTickCount();
        m_nScrollDelay = kDragScrollInterval;
    }
    m_bScrolling = true;
    m_nTimerID = code;
    DROPEFFECT effect = DROPEFFECT_SCROLL;
    if ((keyState & MK_CONTROL) && (keyState & MK_SHIFT)) effect |= DROPEFFECT_LINK;
    else if (keyState & MK_CONTROL) effect |= DROPEFFECT_COPY;
    else if (keyState & (MK_ALT | MK_SHIFT)) effect |= DROPEFFECT_MOVE;
    return effect;
}

// The drag relay: a drop target and a drop source that turn the OLE drag
// calls into messages, so that a toolkit window answers them in its own
// message handlers. The target sends to the window registered with it, the
// source to its owner window; the record travels by address in lParam. A
// window that answers nonzero handled the call and its record's result
// stands; a zero answer gives the framework's default.
#pragma once
#include "ole/OleDragDrop.h"

inline constexpr UINT WM_DRAGRELAY_ENTER = 0x80AD;
inline constexpr UINT WM_DRAGRELAY_LEAVE = 0x80AE;
inline constexpr UINT WM_DRAGRELAY_OVER = 0x80AF;
inline constexpr UINT WM_DRAGRELAY_SCROLL = 0x80B0;
inline constexpr UINT WM_DRAGRELAY_DROP = 0x80B1;
inline constexpr UINT WM_DRAGRELAY_DROPEX = 0x80B2;
inline constexpr UINT WM_DRAGRELAY_GIVEFEEDBACK = 0x80B3;
inline constexpr UINT WM_DRAGRELAY_BEGINDRAG = 0x80B4;
inline constexpr UINT WM_DRAGRELAY_QUERYCONTINUE = 0x80B5;

struct OXDRAGTARGETRELAY {
    CWnd* pWnd = nullptr;
    COleDataObject* pDataObject = nullptr;
    DWORD dwKeyState = 0;
    POINT point{};
    DROPEFFECT dropEffect = 0;
    DROPEFFECT dropList = 0;
    LRESULT result = 0;
};

struct OXDRAGSOURCERELAY {
    CWnd* pWnd = nullptr;
    DWORD dwKeyState = 0;
    BOOL bEscapePressed = FALSE;
    DROPEFFECT dropEffect = 0;
    LRESULT result = 0;
};

class COXSHBDropSource : public COleDropSource {
public:
    // The window that answers the source messages; returns the previous one.
    CWnd* SetOwner(CWnd* owner) {
        CWnd* previous = m_pOwner;
        m_pOwner = owner;
        return previous;
    }
    CWnd* GetOwner() const { return m_pOwner; }

    SCODE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    SCODE GiveFeedback(DROPEFFECT effect) override;
    BOOL OnBeginDrag(CWnd* wnd) override;

private:
    // Sends to the owner; true when it answered nonzero.
    bool Relay(UINT message, OXDRAGSOURCERELAY& record) const;
    CWnd* m_pOwner = nullptr;
};

class COXSHBDropTarget : public COleDropTarget {
public:
    DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) override;
    DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) override;
    void OnDragLeave(CWnd* wnd) override;
    BOOL OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point) override;
    DROPEFFECT OnDropEx(CWnd* wnd, COleDataObject* data, DROPEFFECT defaultEffect, DROPEFFECT list, CPoint point) override;
    DROPEFFECT OnDragScroll(CWnd* wnd, DWORD keyState, CPoint point) override;

private:
    static bool Relay(UINT message, OXDRAGTARGETRELAY& record);
    bool m_bScrolling = false;
};

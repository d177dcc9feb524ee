#include "gdi/DC.h"

#include "wnd/Wnd.h"

BOOL CDC::Attach(HDC dc) {
    if (m_hDC || !dc) return FALSE;
    m_hDC = dc;
    return TRUE;
}

HDC CDC::Detach() {
    HDC dc = m_hDC;
    m_hDC = nullptr;
    return dc;
}

BOOL CDC::DeleteDC() {
    if (!m_hDC) return FALSE;
    if (m_owned) ::DeleteDC(m_hDC);
    m_hDC = nullptr;
    return TRUE;
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color) {
    COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

void CDC::Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight) {
    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;
    FillSolidRect(CRect(rect->left, rect->top, rect->left + width - 1, rect->top + 1), topLeft);
    FillSolidRect(CRect(rect->left, rect->top, rect->left + 1, rect->top + height - 1), topLeft);
    FillSolidRect(CRect(rect->right - 1, rect->top, rect->right, rect->bottom), bottomRight);
    FillSolidRect(CRect(rect->left, rect->bottom - 1, rect->right, rect->bottom), bottomRight);
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd->GetSafeHwnd()) {
    m_owned = false;
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC() {
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->GetSafeHwnd() : nullptr) {
    m_owned = false;
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, Detach()); }

CWindowDC::CWindowDC(CWnd* wnd) : m_hWnd(wnd ? wnd->GetSafeHwnd() : nullptr) {
    m_owned = false;
    Attach(::GetWindowDC(m_hWnd));
}

CWindowDC::~CWindowDC() { ::ReleaseDC(m_hWnd, Detach()); }

CRect CWindowDC::ExcludeClientArea(CRect* client) {
    CRect window, inside;
    ::GetWindowRect(m_hWnd, &window);
    ::GetClientRect(m_hWnd, &inside);
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&inside), 2);
    inside.OffsetRect(-window.left, -window.top);
    window.OffsetRect(-window.left, -window.top);
    ::ExcludeClipRect(m_hDC, inside.left, inside.top, inside.right, inside.bottom);
    if (client) *client = inside;
    return window;
}

#include "WindowCensus.h"

#include <cstdio>

#include <commctrl.h>

namespace bench {

namespace {
MessageCensus* g_census = nullptr;

RECT PlaceInParent(HWND hwnd) {
    RECT r;
    ::GetWindowRect(hwnd, &r);
    ::MapWindowPoints(nullptr, ::GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void ReadChildren(HWND parent, Layout& layout) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        layout.push_back({child, parent, PlaceInParent(child)});
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) ReadChildren(child, layout);
}

const wchar_t* BareClass() {
    static const wchar_t* name = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = L"BareDockingReplica";
        ::RegisterClassW(&wc);
        return L"BareDockingReplica";
    }();
    return name;
}

void CopyListItems(HWND from, HWND to) {
    const int count = static_cast<int>(::SendMessageW(from, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[260] = L"";
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = 260;
        ::SendMessageW(from, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        LVITEMW copy{};
        copy.mask = LVIF_TEXT;
        copy.iItem = i;
        copy.pszText = text;
        ::SendMessageW(to, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&copy));
    }
}
}  // namespace

MessageCensus::MessageCensus() {
    g_census = this;
    m_sent = ::SetWindowsHookExW(WH_CALLWNDPROC, OnSent, nullptr, ::GetCurrentThreadId());
    m_posted = ::SetWindowsHookExW(WH_GETMESSAGE, OnPosted, nullptr, ::GetCurrentThreadId());
}

MessageCensus::~MessageCensus() {
    if (m_sent) ::UnhookWindowsHookEx(m_sent);
    if (m_posted) ::UnhookWindowsHookEx(m_posted);
    g_census = nullptr;
}

LRESULT CALLBACK MessageCensus::OnSent(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && g_census) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        g_census->Count(sent->hwnd, sent->message, sent->lParam);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MessageCensus::OnPosted(int code, WPARAM wParam, LPARAM lParam) {
    // Counted as it leaves the queue: a message only peeked at is not handled yet.
    if (code == HC_ACTION && g_census && wParam == PM_REMOVE) {
        const auto* posted = reinterpret_cast<const MSG*>(lParam);
        g_census->Count(posted->hwnd, posted->message, posted->lParam);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageCensus::Count(HWND hwnd, UINT message, LPARAM lParam) {
    if (m_trace && (message == WM_WINDOWPOSCHANGING || message == WM_NCPAINT || message == WM_ERASEBKGND || message == WM_PAINT || message == WM_NCCALCSIZE))
        std::printf("      %ls %p %04x\n", (*m_trace)(hwnd).c_str(), static_cast<void*>(hwnd), message);
    switch (message) {
    case WM_WINDOWPOSCHANGING: {
        WindowCounts& counts = m_counts[hwnd];
        ++counts.posChanging;
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
            RECT now;
            ::GetWindowRect(hwnd, &now);
            ::MapWindowPoints(nullptr, ::GetParent(hwnd), reinterpret_cast<POINT*>(&now), 2);
            const bool moves = !(pos->flags & SWP_NOMOVE) && (pos->x != now.left || pos->y != now.top);
            const bool sizes = !(pos->flags & SWP_NOSIZE) && (pos->cx != now.right - now.left || pos->cy != now.bottom - now.top);
            if (moves || sizes) ++counts.moved;
        }
        break;
    }
    case WM_NCCALCSIZE: ++m_counts[hwnd].ncCalcSize; break;
    case WM_NCPAINT: ++m_counts[hwnd].ncPaint; break;
    case WM_ERASEBKGND: ++m_counts[hwnd].erase; break;
    case WM_PAINT: ++m_counts[hwnd].paint; break;
    default: break;
    }
}

void MessageCensus::Print(const std::function<std::wstring(HWND)>& kindOf, int actions) const {
    struct Kind {
        int windows = 0;
        WindowCounts total;
    };
    std::map<std::wstring, Kind> kinds;
    for (const auto& [hwnd, counts] : m_counts) {
        Kind& kind = kinds[kindOf(hwnd)];
        ++kind.windows;
        kind.total.posChanging += counts.posChanging;
        kind.total.moved += counts.moved;
        kind.total.ncCalcSize += counts.ncCalcSize;
        kind.total.ncPaint += counts.ncPaint;
        kind.total.erase += counts.erase;
        kind.total.paint += counts.paint;
    }
    const double n = actions > 0 ? actions : 1;
    for (const auto& [name, kind] : kinds)
        std::printf("    %-14ls x%-2d  SetWindowPos %4.1f (moved %4.1f)  WM_NCCALCSIZE %4.1f  WM_NCPAINT %4.1f  WM_ERASEBKGND %4.1f  WM_PAINT %4.1f\n",
                    name.c_str(), kind.windows, kind.total.posChanging / n, kind.total.moved / n, kind.total.ncCalcSize / n,
                    kind.total.ncPaint / n, kind.total.erase / n, kind.total.paint / n);
}

Layout ReadLayout(HWND root) {
    Layout layout;
    ReadChildren(root, layout);
    return layout;
}

BareReplica::BareReplica(HWND original) {
    RECT window;
    ::GetWindowRect(original, &window);
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(original, GWL_STYLE));
    m_root = ::CreateWindowExW(0, BareClass(), L"bare", (style & ~WS_MINIMIZE) | WS_CLIPCHILDREN, window.left, window.top,
                               window.right - window.left, window.bottom - window.top, nullptr, nullptr, nullptr, nullptr);
    m_copies[original] = m_root;
    for (HWND child = ::GetWindow(original, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) Copy(child, m_root);
    ::ShowWindow(m_root, SW_SHOWNA);
    ::UpdateWindow(m_root);
}

BareReplica::~BareReplica() {
    if (m_root) ::DestroyWindow(m_root);
}

HWND BareReplica::Copy(HWND original, HWND parent) {
    wchar_t className[64] = L"";
    ::GetClassNameW(original, className, 64);
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(original, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(original, GWL_EXSTYLE));
    const RECT at = PlaceInParent(original);
    const bool list = lstrcmpiW(className, WC_LISTVIEWW) == 0;
    // A list view stays one, with its items; any other window becomes a plain one of the same
    // place, visibility, clipping and edge, that paints its background and nothing else.
    const DWORD plainStyle = WS_CHILD | (style & (WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_BORDER));
    HWND copy = ::CreateWindowExW(list ? exStyle : (exStyle & WS_EX_CLIENTEDGE), list ? WC_LISTVIEWW : BareClass(), L"",
                                  list ? style : plainStyle, at.left, at.top, at.right - at.left, at.bottom - at.top, parent, nullptr,
                                  nullptr, nullptr);
    if (list) CopyListItems(original, copy);
    m_copies[original] = copy;
    for (HWND child = ::GetWindow(original, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) Copy(child, copy);
    return copy;
}

void BareReplica::MoveTo(const Layout& layout, UINT flags) {
    // Parents come first in a layout: each parent's batch is made before its children's.
    std::vector<HWND> parents;
    std::map<HWND, std::vector<std::pair<HWND, RECT>>> moves;
    m_movedLast = 0;
    for (const Placement& place : layout) {
        auto copy = m_copies.find(place.hwnd);
        auto parent = m_copies.find(place.parent);
        if (copy == m_copies.end() || parent == m_copies.end()) continue;
        if (SameRect(PlaceInParent(copy->second), place.rect)) continue;
        if (!moves.count(parent->second)) parents.push_back(parent->second);
        moves[parent->second].push_back({copy->second, place.rect});
    }
    for (HWND parent : parents) {
        const auto& batch = moves[parent];
        HDWP dwp = ::BeginDeferWindowPos(static_cast<int>(batch.size()));
        for (const auto& [hwnd, r] : batch)
            if (dwp) dwp = ::DeferWindowPos(dwp, hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE | flags);
        if (dwp) ::EndDeferWindowPos(dwp);
        m_movedLast += static_cast<int>(batch.size());
    }
}

}  // namespace bench

#include "shortcutbar/SHBInfoTip.h"

#include <commctrl.h>

namespace {
TTTOOLINFOW Tool(HWND owner, UINT_PTR id, const RECT& rect) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = owner;
    tool.uId = id;
    tool.rect = rect;
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    return tool;
}
}  // namespace

void SHBInfoTip::Relay(HWND owner, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, const RECT& rect) {
    if (!m_hWnd) {
        m_hWnd = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        if (!m_hWnd) return;
        m_hOwner = owner;
        ::SendMessageW(m_hWnd, TTM_SETMAXTIPWIDTH, 0, 400);
    }
    if (id != m_id || !::EqualRect(&rect, &m_rect)) {
        Clear();
        if (id) {
            TTTOOLINFOW tool = Tool(owner, id, rect);
            if (::SendMessageW(m_hWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
                m_id = id;
                m_rect = rect;
            }
        }
    }
    MSG msg{owner, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
    const DWORD at = ::GetMessagePos();  // the message's own: asking for the cursor is far dearer
    msg.pt = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    ::SendMessageW(m_hWnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

void SHBInfoTip::Clear() {
    if (!m_hWnd || !m_id) return;
    TTTOOLINFOW tool = Tool(m_hOwner, m_id, m_rect);
    ::SendMessageW(m_hWnd, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    m_id = 0;
    m_rect = RECT{};
}

void SHBInfoTip::Destroy() {
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    m_hWnd = m_hOwner = nullptr;
    m_id = 0;
}

#include "wnd/ToolTips.h"

namespace {
// The tooltip control and the one tool it holds: the last tool found under the mouse.
struct SharedToolTip {
    HWND tip = nullptr;
    HWND window = nullptr;  // whose hit test found the tool
    INT_PTR hit = -1;
    CString text;
    HWND toolWindow = nullptr;
    UINT_PTR toolId = 0;
    bool hasTool = false;

    ~SharedToolTip() {
        if (tip && ::IsWindow(tip)) ::DestroyWindow(tip);
    }
    bool Ensure(HWND owner) {
        if (tip && ::IsWindow(tip)) return true;
        // Owned by the top-level window: it goes when that window goes, and comes again on need.
        tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0,
                                ::GetAncestor(owner, GA_ROOT), nullptr, ::GetModuleHandleW(nullptr), nullptr);
        window = nullptr;
        hit = -1;
        hasTool = false;
        return tip != nullptr;
    }
    void RemoveTool() {
        if (!hasTool) return;
        TOOLINFOW old{};
        old.cbSize = sizeof(old);
        old.hwnd = toolWindow;
        old.uId = toolId;
        ::SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&old));
        hasTool = false;
    }
};

SharedToolTip g_toolTip;
}  // namespace

HWND GetFrameworkToolTip() { return g_toolTip.tip && ::IsWindow(g_toolTip.tip) ? g_toolTip.tip : nullptr; }

INT_PTR CWnd::OnToolHitTest(CPoint point, CToolInfo* tool) const {
    HWND child = ::ChildWindowFromPointEx(m_hWnd, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    if (!child || child == m_hWnd) return -1;
    if (tool) {
        tool->hwnd = m_hWnd;
        tool->uId = reinterpret_cast<UINT_PTR>(child);
        tool->uFlags |= TTF_IDISHWND | TTF_CENTERTIP;
        tool->lpszText = LPSTR_TEXTCALLBACKW;
    }
    return ::GetDlgCtrlID(child);
}

void CWnd::FilterToolTipMessage(const MSG* msg) {
    if (!m_hWnd || msg->message < WM_MOUSEFIRST || msg->message > WM_MOUSELAST) return;
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return;
    SharedToolTip& shared = g_toolTip;
    if (!shared.Ensure(m_hWnd)) return;
    CPoint point(msg->pt);
    ::ScreenToClient(m_hWnd, &point);
    CToolInfo info;
    const INT_PTR hit = OnToolHitTest(point, &info);
    const bool callback = info.lpszText == LPSTR_TEXTCALLBACKW;
    const CString text = info.GetText();
    // A new tool, or the same one with another text, takes the old one's place.
    if (hit != shared.hit || m_hWnd != shared.window || text != shared.text) {
        shared.RemoveTool();
        if (hit >= 0 && (callback || !text.IsEmpty())) {
            if (!info.hwnd) info.hwnd = m_hWnd;
            info.uFlags |= TTF_TRANSPARENT;  // the mouse goes on to the window under the tip
            if (::SendMessageW(shared.tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(static_cast<TOOLINFOW*>(&info)))) {
                shared.toolWindow = info.hwnd;
                shared.toolId = info.uId;
                shared.hasTool = true;
            }
        }
        shared.hit = hit;
        shared.window = m_hWnd;
        shared.text = text;
    }
    MSG relayed = *msg;
    ::SendMessageW(shared.tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

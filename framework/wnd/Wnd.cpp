#include "wnd/Wnd.h"

#include "app/AfxMessageBox.h"
#include "wnd/FrameWnd.h"

#include <comdef.h>

#include <algorithm>
#include <exception>
#include <memory>
#include <unordered_map>

namespace {

// Windows are bound per thread, as Win32 binds them to their thread.
thread_local std::unordered_map<HWND, CWnd*> t_permanent;
thread_local std::unordered_map<HWND, std::unique_ptr<CWnd>> t_temporary;
thread_local CWnd* t_windowBeingCreated = nullptr;
thread_local HHOOK t_creationHook = nullptr;
thread_local MSG t_currentMsg{};

}  // namespace

LRESULT CALLBACK FrameworkWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK CreationHookProc(int code, WPARAM wParam, LPARAM lParam) {
    HHOOK hook = t_creationHook;
    if (code == HCBT_CREATEWND && t_windowBeingCreated) {
        CWnd* wnd = t_windowBeingCreated;
        t_windowBeingCreated = nullptr;
        wnd->BindToHandle(reinterpret_cast<HWND>(wParam));
        // Only the first window of a creation is ours (a dialog's controls are not).
        EndBindWindowBeingCreated();
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

void BindWindowBeingCreated(CWnd* wnd) {
    t_windowBeingCreated = wnd;
    if (!t_creationHook) t_creationHook = SetWindowsHookExW(WH_CBT, CreationHookProc, nullptr, GetCurrentThreadId());
}

void EndBindWindowBeingCreated() {
    t_windowBeingCreated = nullptr;
    if (t_creationHook) {
        UnhookWindowsHookEx(t_creationHook);
        t_creationHook = nullptr;
    }
}

// The child of `parent` with the control id of an owner-drawn item being measured. A list box
// asks once per item it adds, and GetDlgItem lists the children (under Wine a round trip to the
// server each time), so the child found last answers while it still is that child.
static HWND MeasuredChild(HWND parent, int id) {
    static thread_local HWND last = nullptr;
    if (last && ::IsWindow(last) && ::GetAncestor(last, GA_PARENT) == parent && ::GetDlgCtrlID(last) == id) return last;
    HWND found = ::GetDlgItem(parent, id);
    if (found) last = found;
    return found;
}

void ReportWindowProcException(const CString& what) { AfxMessageBox(what, MB_OK | MB_ICONEXCLAMATION); }

LRESULT CALLBACK FrameworkWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (!wnd) return DefWindowProcW(hwnd, message, wParam, lParam);
    MSG saved = t_currentMsg;
    t_currentMsg = MSG{hwnd, message, wParam, lParam, 0, {}};
    LRESULT result = 0;
    try {
        result = wnd->WindowProc(message, wParam, lParam);
    } catch (const _com_error& error) {
        CString text;
        text.Format(L"%ls (0x%08lX)", error.ErrorMessage(), static_cast<unsigned long>(error.Error()));
        ReportWindowProcException(text);
    } catch (const std::exception& error) {
        CString text;
        text.Format(L"%s", error.what());
        ReportWindowProcException(text);
    }
    if (message == WM_NCDESTROY) wnd->FinishNcDestroy();  // the object may be gone after this
    t_currentMsg = saved;
    return result;
}

// CWnd --------------------------------------------------------------------------

CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        // No message may reach a half-destroyed object: unbind first.
        HWND hwnd = UnsubclassWindow();
        ::DestroyWindow(hwnd);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    auto it = t_permanent.find(hwnd);
    return it == t_permanent.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    if (CWnd* wnd = FromHandlePermanent(hwnd)) return wnd;
    auto& temp = t_temporary[hwnd];
    if (!temp) {
        temp = std::make_unique<CWnd>();
        temp->m_hWnd = hwnd;
    }
    return temp.get();
}

void CWnd::DeleteTempMap() {
    for (auto& [hwnd, wnd] : t_temporary) wnd->m_hWnd = nullptr;
    t_temporary.clear();
}

void CWnd::BindToHandle(HWND hwnd) {
    m_hWnd = hwnd;
    t_permanent[hwnd] = this;
    auto old = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameworkWindowProc)));
    m_pfnSuper = (old && old != FrameworkWindowProc) ? old : ::DefWindowProcW;
}

BOOL CWnd::Attach(HWND hwnd) {
    if (!hwnd || m_hWnd) return FALSE;
    m_hWnd = hwnd;
    t_permanent[hwnd] = this;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    if (hwnd) {
        auto it = t_permanent.find(hwnd);
        if (it != t_permanent.end() && it->second == this) t_permanent.erase(it);
    }
    m_hWnd = nullptr;
    return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hwnd) {
    if (!hwnd || m_hWnd || FromHandlePermanent(hwnd)) return FALSE;
    BindToHandle(hwnd);
    PreSubclassWindow();
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    return parent && SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
    if (!m_hWnd) return nullptr;
    if (m_pfnSuper && reinterpret_cast<WNDPROC>(GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) == FrameworkWindowProc)
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

void CWnd::FinishNcDestroy() {
    bool failedCreation = m_creating;
    UnsubclassWindow();
    // A window whose creation failed still belongs to its creator.
    if (!failedCreation) PostNcDestroy();
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTW&) { return TRUE; }

BOOL CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId, void* param) {
    if (m_hWnd) return FALSE;
    CREATESTRUCTW cs{};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = style;
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.hwndParent = parent;
    cs.hMenu = menuOrId;
    cs.hInstance = GetModuleHandleW(nullptr);
    cs.lpCreateParams = param;
    if (!PreCreateWindow(cs)) return FALSE;
    if (!cs.lpszClass) cs.lpszClass = RegisterWndClass(CS_DBLCLKS);

    HWND hwnd = CreateBound([&] {
        return CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                               cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    });
    return hwnd != nullptr;
}

BOOL CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style, const RECT& rect,
                    CWnd* parent, UINT id, void* param) {
    return CreateEx(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), param);
}

BOOL CWnd::Create(const wchar_t* className, const wchar_t* windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id, CCreateContext* context) {
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id, context);
}

void CWnd::CalcWindowRect(LPRECT rect, UINT adjustType) {
    DWORD exStyle = GetExStyle();
    if (adjustType == adjustBorder) exStyle &= ~WS_EX_CLIENTEDGE;
    ::AdjustWindowRectEx(rect, GetStyle(), FALSE, exStyle);
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

const wchar_t* CWnd::RegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    static thread_local std::unordered_map<std::wstring, CString> names;
    CString name;
    name.Format(L"TarveloWnd:%x:%p:%p:%p", classStyle, static_cast<void*>(cursor), static_cast<void*>(background),
                static_cast<void*>(icon));
    auto& stored = names[name.str()];
    if (stored.IsEmpty()) {
        HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW wc{sizeof(wc)};
        if (!GetClassInfoExW(instance, name, &wc)) {
            wc = WNDCLASSEXW{sizeof(wc)};
            wc.style = classStyle;
            wc.lpfnWndProc = ::DefWindowProcW;
            wc.hInstance = instance;
            wc.hIcon = icon;
            wc.hCursor = cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW);
            wc.hbrBackground = background;
            wc.lpszClassName = name;
            RegisterClassExW(&wc);
        }
        stored = name;
    }
    return stored;
}

const MessageMap* CWnd::GetMessageMap() const {
    static const MessageMap map{CCmdTarget::GetMessageMap(), {}};
    return &map;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    const MSG& msg = t_currentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::HandlesMessage(UINT message) const {
    for (const MessageMap* map = GetMessageMap(); map; map = map->base)
        for (const auto& entry : map->entries)
            if (entry.kind == EntryKind::Message && entry.code == message) return TRUE;
    return FALSE;
}

BOOL CWnd::ReflectOwnerMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    HWND control = nullptr;
    switch (message) {
    case WM_DRAWITEM:
        if (auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam); draw && draw->CtlType != ODT_MENU) control = draw->hwndItem;
        break;
    case WM_MEASUREITEM:
        if (auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam); measure && measure->CtlType != ODT_MENU)
            control = MeasuredChild(m_hWnd, static_cast<int>(measure->CtlID));
        break;
    case WM_COMPAREITEM:
        if (auto* compare = reinterpret_cast<COMPAREITEMSTRUCT*>(lParam)) control = compare->hwndItem;
        break;
    case WM_DELETEITEM:
        if (auto* removed = reinterpret_cast<DELETEITEMSTRUCT*>(lParam)) control = removed->hwndItem;
        break;
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC:
        control = reinterpret_cast<HWND>(lParam);
        break;
    default:
        return FALSE;
    }
    CWnd* child = control ? FromHandlePermanent(control) : nullptr;
    if (!child || child == this || !child->HandlesMessage(WM_REFLECT_BASE + message)) return FALSE;
    const LRESULT answer = child->SendMessage(WM_REFLECT_BASE + message, wParam, lParam);
    // A control that gives no brush leaves its colours to this window.
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC && !answer) return FALSE;
    *result = answer;
    return TRUE;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC && ReflectOwnerMessage(message, wParam, lParam, result))
        return TRUE;
    if ((message == WM_DRAWITEM || message == WM_MEASUREITEM || message == WM_COMPAREITEM || message == WM_DELETEITEM) &&
        ReflectOwnerMessage(message, wParam, lParam, result))
        return TRUE;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return FALSE;
        *result = 0;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        LRESULT notifyResult = 0;
        if (!OnNotify(wParam, lParam, &notifyResult)) return FALSE;
        *result = notifyResult;
        return TRUE;
    }
    for (const MessageMap* map = GetMessageMap(); map; map = map->base) {
        for (const auto& entry : map->entries) {
            if (entry.kind != EntryKind::Message || entry.code != message) continue;
            HandlerCall call;
            call.message = message;
            call.wParam = wParam;
            call.lParam = lParam;
            *result = entry.thunk(*this, call);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CWnd::ReflectToChild(UINT message, HWND child, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    CWnd* control = FromHandlePermanent(child);
    return control && control != this && control->OnChildNotify(message, wParam, lParam, result);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const bool isNotify = message == WM_NOTIFY;
    const UINT code = isNotify ? reinterpret_cast<NMHDR*>(lParam)->code : HIWORD(wParam);
    for (const MessageMap* map = GetMessageMap(); map; map = map->base) {
        for (const auto& entry : map->entries) {
            const bool passOn = !isNotify && entry.kind == EntryKind::ReflectCommandEx;
            if ((entry.kind != (isNotify ? EntryKind::ReflectNotify : EntryKind::ReflectCommand) && !passOn) || entry.code != code)
                continue;
            HandlerCall call;
            call.message = message;
            call.wParam = wParam;
            call.lParam = lParam;
            call.id = isNotify ? static_cast<UINT>(reinterpret_cast<NMHDR*>(lParam)->idFrom) : LOWORD(wParam);
            call.nmhdr = isNotify ? reinterpret_cast<NMHDR*>(lParam) : nullptr;
            call.result = result;
            const LRESULT taken = entry.thunk(*this, call);
            return passOn ? taken != 0 : TRUE;
        }
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    int code = HIWORD(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    if (control) {
        LRESULT ignored = 0;
        if (ReflectToChild(WM_COMMAND, control, wParam, lParam, &ignored)) return TRUE;
        if (id == 0) return FALSE;
    } else {
        if (code == 1) code = CN_COMMAND;  // from an accelerator
        // A command its update handler disables is not run.
        CTestCmdUI state;
        state.m_nID = id;
        CommandCall update;
        update.id = id;
        update.code = CN_UPDATE_COMMAND_UI;
        update.cmdUI = &state;
        OnCmdMsg(update);
        if (!state.m_bEnabled) return TRUE;
    }
    CommandCall call;
    call.id = id;
    call.code = code;
    return OnCmdMsg(call);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header) return FALSE;
    if (ReflectToChild(WM_NOTIFY, header->hwndFrom, 0, lParam, result)) return TRUE;
    CommandCall call;
    call.id = static_cast<UINT>(header->idFrom);
    call.code = static_cast<int>(header->code);
    call.isNotify = true;
    call.nmhdr = header;
    call.result = result;
    return OnCmdMsg(call);
}

CFrameWnd* CWnd::GetParentFrame() const {
    for (HWND h = ::GetParent(m_hWnd); h; h = ::GetParent(h))
        if (auto* frame = dynamic_cast<CFrameWnd*>(FromHandlePermanent(h))) return frame;
    return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const {
    CFrameWnd* top = dynamic_cast<CFrameWnd*>(FromHandlePermanent(m_hWnd));
    for (CFrameWnd* frame = GetParentFrame(); frame; frame = frame->GetParentFrame()) top = frame;
    return top;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
    DWORD style = GetStyle();
    DWORD changed = (style & ~remove) | add;
    if (changed == style) return FALSE;
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(changed));
    if (swpFlags) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, swpFlags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags) {
    DWORD style = GetExStyle();
    DWORD changed = (style & ~remove) | add;
    if (changed == style) return FALSE;
    SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>(changed));
    if (swpFlags) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, swpFlags | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

void CWnd::ScreenToClient(LPRECT r) const { MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(r), 2); }
void CWnd::ClientToScreen(LPRECT r) const { MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(r), 2); }

CString CWnd::GetWindowText() const {
    CString text;
    int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) return text;
    int copied = ::GetWindowTextW(m_hWnd, text.GetBuffer(length + 1), length + 1);
    text.ReleaseBuffer(copied);
    return text;
}

CString CWnd::GetDlgItemText(int id) const {
    HWND item = ::GetDlgItem(m_hWnd, id);
    CString text;
    if (!item) return text;
    int length = ::GetWindowTextLengthW(item);
    if (length <= 0) return text;
    int copied = ::GetWindowTextW(item, text.GetBuffer(length + 1), length + 1);
    text.ReleaseBuffer(copied);
    return text;
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
    HWND centerOn = alternateOwner ? alternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    if (!centerOn && (GetStyle() & WS_CHILD)) centerOn = ::GetParent(m_hWnd);
    CRect area;
    if (centerOn && ::IsWindowVisible(centerOn) && !::IsIconic(centerOn)) {
        ::GetWindowRect(centerOn, &area);
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    CRect self;
    GetWindowRect(&self);
    int x = area.left + (area.Width() - self.Width()) / 2;
    int y = area.top + (area.Height() - self.Height()) / 2;
    if (!(GetStyle() & WS_CHILD)) {
        // A top-level window stays on the work area of its monitor.
        MONITORINFO monitor{sizeof(monitor)};
        if (GetMonitorInfoW(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), &monitor)) {
            const RECT& work = monitor.rcWork;
            x = std::max<int>(work.left, std::min<int>(x, work.right - self.Width()));
            y = std::max<int>(work.top, std::min<int>(y, work.bottom - self.Height()));
        }
    }
    if (GetStyle() & WS_CHILD) {
        POINT p{x, y};
        ::ScreenToClient(::GetParent(m_hWnd), &p);
        x = p.x;
        y = p.y;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL deep) {
    for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
        ::SendMessageW(child, message, wParam, lParam);
        if (deep && ::GetTopWindow(child)) {
            CWnd temp;
            temp.m_hWnd = child;
            temp.SendMessageToDescendants(message, wParam, lParam, TRUE);
            temp.m_hWnd = nullptr;
        }
    }
}

void CWnd::UpdateDialogControls(CCmdTarget* target, BOOL disableIfNoHandler) {
    for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetNextWindow(child, GW_HWNDNEXT)) {
        int id = ::GetDlgCtrlID(child);
        if (id <= 0 || id >= 0xF000) continue;
        CCmdUI state;
        state.m_nID = static_cast<UINT>(id);
        state.m_pOther = FromHandle(child);
        wchar_t className[16] = {};
        ::GetClassNameW(child, className, 16);
        // Only buttons follow "no handler, no use"; other controls just get their update.
        bool isButton = lstrcmpiW(className, L"Button") == 0;
        state.DoUpdate(target, disableIfNoHandler && isButton);
    }
}

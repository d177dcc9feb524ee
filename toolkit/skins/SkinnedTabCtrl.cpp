#include "skins/SkinnedTabCtrl.h"

#include "skins/SharedMouseHook.h"
#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"

namespace {
LRESULT CALLBACK SpinHookProc(int code, WPARAM message, LPARAM lParam);
SharedMouseHook g_spinHook(&SpinHookProc);

COXSkinnedSpinCtrl* SpinOf(HWND hwnd) { return hwnd ? dynamic_cast<COXSkinnedSpinCtrl*>(CWnd::FromHandlePermanent(hwnd)) : nullptr; }

// Leaving a spin control: it repaints without its hot frame.
LRESULT CALLBACK SpinHookProc(int code, WPARAM message, LPARAM lParam) {
    if (code == HC_ACTION && (message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE)) {
        const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
        COXSkinnedSpinCtrl* previous = SpinOf(g_spinHook.m_hLastWnd);
        if (previous && previous != SpinOf(info->hwnd)) previous->SendMessage(WM_MOUSEMOVE, 0, 0);
        g_spinHook.m_hLastWnd = info->hwnd;
    }
    return CallNextHookEx(g_spinHook.Handle(), code, message, lParam);
}
}  // namespace

// Spin ------------------------------------------------------------------------------------

COXSkinnedSpinCtrl::~COXSkinnedSpinCtrl() { ReleaseHook(); }

COXTabSkin* COXSkinnedSpinCtrl::GetTabSkin() {
    return LookupElementSkin<COXTabSkin, COXTabSkinClassic>(m_pFallbackSkin, &COXSkin::GetTabSkin);
}

HHOOK COXSkinnedSpinCtrl::GetHookHandle() { return g_spinHook.Handle(); }

const MessageMap* COXSkinnedSpinCtrl::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXSkinnedSpinCtrl::OnCreate>(WM_CREATE),
        MapMessage<&COXSkinnedSpinCtrl::OnPaint>(WM_PAINT),
        MapMessage<&COXSkinnedSpinCtrl::OnMouseMove>(WM_MOUSEMOVE),
        MapMessage<&COXSkinnedSpinCtrl::OnEraseBkgnd>(WM_ERASEBKGND),
        MapMessage<&COXSkinnedSpinCtrl::OnDestroy>(WM_DESTROY),
    };
    static const MessageMap map{CSpinButtonCtrl::GetMessageMap(), entries};
    return &map;
}

// The hook is wanted from the moment the object is bound to a window, subclassed or created.
void COXSkinnedSpinCtrl::PreSubclassWindow() { UseHook(); }

int COXSkinnedSpinCtrl::OnCreate(LPCREATESTRUCT cs) {
    if (CSpinButtonCtrl::OnCreate(cs) == -1) return -1;
    UseHook();
    return 0;
}

void COXSkinnedSpinCtrl::UseHook() {
    if (!m_bHookUser) g_spinHook.AddUser();
    m_bHookUser = true;
}

void COXSkinnedSpinCtrl::ReleaseHook() {
    if (m_bHookUser) g_spinHook.RemoveUser();
    m_bHookUser = false;
}

void COXSkinnedSpinCtrl::OnPaint() { GetTabSkin()->DrawSpinCtrl(this); }

void COXSkinnedSpinCtrl::OnMouseMove(UINT, CPoint) {
    Invalidate(TRUE);
    Default();
}

void COXSkinnedSpinCtrl::OnDestroy() {
    ReleaseHook();
    Default();
}

// Tab control ------------------------------------------------------------------------------

COXSkinnedTabCtrl::~COXSkinnedTabCtrl() {
    // The spin member is a child of this control: let it go before the control.
    if (m_spin.m_hWnd) m_spin.UnsubclassWindow();
}

COXTabSkin* COXSkinnedTabCtrl::GetTabSkin() {
    return LookupElementSkin<COXTabSkin, COXTabSkinClassic>(m_pFallbackSkin, &COXSkin::GetTabSkin);
}

const MessageMap* COXSkinnedTabCtrl::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXSkinnedTabCtrl::OnPaint>(WM_PAINT),
    };
    static const MessageMap map{CTabCtrl::GetMessageMap(), entries};
    return &map;
}

void COXSkinnedTabCtrl::OnPaint() { GetTabSkin()->DrawTabCtrl(this); }

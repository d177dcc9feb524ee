#include "skins/SkinnedComboBox.h"

#include "bars/CoolToolBar.h"
#include "skins/SharedMouseHook.h"
#include "skins/Skin.h"

namespace {
LRESULT CALLBACK ComboHookProc(int code, WPARAM message, LPARAM lParam);
SharedMouseHook g_comboHook(&ComboHookProc);

// The combo box of a window: itself, or the box whose edit part it is.
COXSkinnedComboBox* ComboOf(HWND hwnd) {
    if (!hwnd) return nullptr;
    if (auto* combo = dynamic_cast<COXSkinnedComboBox*>(CWnd::FromHandlePermanent(hwnd))) return combo;
    return dynamic_cast<COXSkinnedComboBox*>(CWnd::FromHandlePermanent(::GetParent(hwnd)));
}

LRESULT CALLBACK ComboHookProc(int code, WPARAM message, LPARAM lParam) {
    if (code == HC_ACTION && message == WM_MOUSEMOVE) {
        const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
        COXSkinnedComboBox* previous = ComboOf(g_comboHook.m_hLastWnd);
        COXSkinnedComboBox* current = ComboOf(info->hwnd);
        if (previous && previous != current) previous->GetToolbarSkin()->DrawComboBoxState(previous);
        else if (current && current != previous) current->GetToolbarSkin()->DrawComboBoxState(current);
        g_comboHook.m_hLastWnd = info->hwnd;
    }
    return CallNextHookEx(g_comboHook.Handle(), code, message, lParam);
}
}  // namespace

COXSkinnedComboBox::COXSkinnedComboBox() : m_bComCtl6(COXCoolToolBar::GetComCtlVersion() >= 0x60000) {}

COXSkinnedComboBox::~COXSkinnedComboBox() { ReleaseHook(); }

COXToolbarSkin* COXSkinnedComboBox::GetToolbarSkin() {
    return LookupElementSkin<COXToolbarSkin, COXToolbarSkinClassic>(m_pFallbackSkin, &COXSkin::GetToolbarSkin);
}

HHOOK COXSkinnedComboBox::GetHookHandle() { return g_comboHook.Handle(); }

const MessageMap* COXSkinnedComboBox::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXSkinnedComboBox::OnCreate>(WM_CREATE),
        MapMessage<&COXSkinnedComboBox::OnDestroy>(WM_DESTROY),
        MapMessage<&COXSkinnedComboBox::OnPaint>(WM_PAINT),
        MapMessage<&COXSkinnedComboBox::OnFocusChange>(WM_SETFOCUS),
        MapMessage<&COXSkinnedComboBox::OnFocusChange>(WM_KILLFOCUS),
    };
    static const MessageMap map{CComboBox::GetMessageMap(), entries};
    return &map;
}

// The box's state changes redraw its face; the owner still hears of them.
BOOL COXSkinnedComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        switch (HIWORD(wParam)) {
        case CBN_SELCHANGE:
        case CBN_SETFOCUS:
        case CBN_KILLFOCUS:
        case CBN_CLOSEUP: GetToolbarSkin()->DrawComboBoxState(this); return FALSE;
        default: break;
        }
    }
    return CComboBox::OnChildNotify(message, wParam, lParam, result);
}

int COXSkinnedComboBox::OnCreate(LPCREATESTRUCT cs) {
    if (CComboBox::OnCreate(cs) == -1) return -1;
    if (!m_bHookUser) g_comboHook.AddUser();
    m_bHookUser = true;
    return 0;
}

void COXSkinnedComboBox::ReleaseHook() {
    if (m_bHookUser) g_comboHook.RemoveUser();
    m_bHookUser = false;
}

void COXSkinnedComboBox::OnDestroy() {
    ReleaseHook();
    Default();
}

void COXSkinnedComboBox::OnPaint() { GetToolbarSkin()->DrawComboBox(this); }

void COXSkinnedComboBox::OnFocusChange() {
    Default();
    GetToolbarSkin()->DrawComboBoxState(this);
}

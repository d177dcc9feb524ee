#include "wnd/CmdTarget.h"

#include "wnd/Wnd.h"

const MessageMap* CCmdTarget::GetMessageMap() const {
    static const MessageMap map{nullptr, {}};
    return &map;
}

namespace {

bool Matches(const MessageMapEntry& entry, const CommandCall& call) {
    if (call.id < entry.firstId || call.id > entry.lastId) return false;
    if (call.code == CN_UPDATE_COMMAND_UI) return entry.kind == EntryKind::UpdateUI;
    if (call.isNotify) return entry.kind == EntryKind::Notify && entry.code == call.nmhdr->code;
    if (entry.kind == EntryKind::Command) return entry.code == static_cast<UINT>(call.code);
    if (entry.kind == EntryKind::CommandRange) return call.code == CN_COMMAND;
    return false;
}

}  // namespace

BOOL CCmdTarget::DispatchCommandToSelf(CommandCall& call) {
    for (const MessageMap* map = GetMessageMap(); map; map = map->base) {
        for (const auto& entry : map->entries) {
            if (!Matches(entry, call)) continue;
            if (call.probeOnly) return TRUE;
            HandlerCall handlerCall;
            handlerCall.message = call.isNotify ? WM_NOTIFY : WM_COMMAND;
            handlerCall.id = call.id;
            handlerCall.cmdUI = call.cmdUI;
            handlerCall.nmhdr = call.nmhdr;
            handlerCall.result = call.result;
            entry.thunk(*this, handlerCall);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CCmdTarget::OnCmdMsg(CommandCall& call) { return DispatchCommandToSelf(call); }

// CCmdUI ---------------------------------------------------------------------

void CCmdUI::Enable(BOOL on) {
    m_bEnableChanged = TRUE;
    if (m_hMenu) {
        EnableMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (on ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    } else if (m_pOther && m_pOther->GetSafeHwnd()) {
        // Never disable the control that has the focus without moving it on.
        if (!on && GetFocus() == m_pOther->GetSafeHwnd()) {
            HWND parent = ::GetParent(m_pOther->GetSafeHwnd());
            if (parent) SendMessageW(parent, WM_NEXTDLGCTL, 0, FALSE);
        }
        ::EnableWindow(m_pOther->GetSafeHwnd(), on);
    }
}

void CCmdUI::SetCheck(int check) {
    if (m_hMenu) {
        CheckMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther && m_pOther->GetSafeHwnd()) {
        SendMessageW(m_pOther->GetSafeHwnd(), BM_SETCHECK, static_cast<WPARAM>(check), 0);
    }
}

void CCmdUI::SetRadio(BOOL on) {
    if (m_hMenu) {
        MENUITEMINFOW info{sizeof(info)};
        info.fMask = MIIM_FTYPE | MIIM_STATE;
        GetMenuItemInfoW(m_hMenu, m_nIndex, TRUE, &info);
        info.fType = on ? (info.fType | MFT_RADIOCHECK) : (info.fType & ~MFT_RADIOCHECK);
        info.fState = on ? (info.fState | MFS_CHECKED) : (info.fState & ~MFS_CHECKED);
        SetMenuItemInfoW(m_hMenu, m_nIndex, TRUE, &info);
    } else {
        SetCheck(on ? 1 : 0);
    }
}

void CCmdUI::SetText(const wchar_t* text) {
    if (m_hMenu) {
        MENUITEMINFOW info{sizeof(info)};
        info.fMask = MIIM_STRING;
        info.dwTypeData = const_cast<wchar_t*>(text ? text : L"");
        SetMenuItemInfoW(m_hMenu, m_nIndex, TRUE, &info);
    } else if (m_pOther && m_pOther->GetSafeHwnd()) {
        SetWindowTextW(m_pOther->GetSafeHwnd(), text ? text : L"");
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler) {
    if (!target) return FALSE;
    m_bEnableChanged = FALSE;
    CommandCall update;
    update.id = m_nID;
    update.code = CN_UPDATE_COMMAND_UI;
    update.cmdUI = this;
    BOOL handled = target->OnCmdMsg(update);
    if (!handled && disableIfNoHandler && !m_bEnableChanged) {
        CommandCall probe;
        probe.id = m_nID;
        probe.probeOnly = true;
        Enable(target->OnCmdMsg(probe));
    }
    return handled;
}

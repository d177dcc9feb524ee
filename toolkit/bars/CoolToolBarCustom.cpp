// COXCoolToolBar: its custom buttons, the controls hosted in button slots.
// The registry of the process (command id -> descriptor) and this bar's slot map.
#include "bars/CoolToolBar.h"

#include "app/WinApp.h"
#include "wnd/FrameWnd.h"

namespace {

// The custom buttons of the process: command id -> descriptor, and the ids in
// the order they were registered (a descriptor's index is its id's position).
struct CustomButtonRegistry {
    std::map<UINT, OXCUSTOMBUTTONDESCRIPTOR> byId;
    std::vector<UINT> ids;
};
CustomButtonRegistry& Registry() {
    static CustomButtonRegistry registry;
    return registry;
}

}  // namespace

// Helpers the hosted-control templates call -------------------------------------------------

bool IsCoolToolBar(CWnd* wnd) { return dynamic_cast<COXCoolToolBar*>(wnd) != nullptr; }

CSize RegisteredCustomButtonSize(UINT id) {
    OXCUSTOMBUTTONDESCRIPTOR descriptor;
    if (!COXCoolToolBar::GetRegisteredDescriptor(id, descriptor)) return CSize(-1, -1);
    return CSize(descriptor.m_nWidth, descriptor.m_nHeight);
}

bool CustomButtonDragAllowed(CWnd* control) {
    auto* bar = dynamic_cast<COXCoolToolBar*>(CWnd::FromHandlePermanent(::GetParent(control->GetSafeHwnd())));
    if (!bar || !bar->IsCustomizable(TRUE)) return false;
    if (bar->GetStyle() & TBSTYLE_ALTDRAG) return GetKeyState(VK_MENU) < 0;
    return GetKeyState(VK_SHIFT) < 0;
}

void StartCustomButtonDrag(CWnd* control) {
    auto* bar = dynamic_cast<COXCoolToolBar*>(CWnd::FromHandlePermanent(::GetParent(control->GetSafeHwnd())));
    if (!bar) return;
    CFrameWnd* frame = bar->GetParentFrame();
    if (!frame) return;
    NMTOOLBARW notify{};
    notify.hdr.hwndFrom = bar->m_hWnd;
    notify.hdr.idFrom = static_cast<UINT_PTR>(control->GetDlgCtrlID());
    notify.hdr.code = TBN_BEGINDRAG;
    notify.iItem = control->GetDlgCtrlID();
    frame->SendMessage(WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify));
}

// Custom buttons ---------------------------------------------------------------------------------

int COXCoolToolBar::MakeCustomButtonDescriptor(COXCustomTBButtonTemplate* control, UINT id, int width, int height,
                                               int flags, int image) {
    return AddCustomButton(OXCUSTOMBUTTONDESCRIPTOR(control, id, width, height, flags, image));
}

int COXCoolToolBar::AddCustomButton(const OXCUSTOMBUTTONDESCRIPTOR& descriptor) {
    auto& registry = Registry();
    const int index = FindCustomButtonIndex(descriptor.m_nID);
    if (index < 0) {
        registry.byId[descriptor.m_nID] = descriptor;
        registry.ids.push_back(descriptor.m_nID);
        return static_cast<int>(registry.ids.size()) - 1;
    }
    // A control registered again for its id (a new main window's own box)
    // replaces the one before, which may be gone with its window.
    registry.byId[descriptor.m_nID].m_pCBTemplate = descriptor.m_pCBTemplate;
    return UpdateCustomButton(index, descriptor) ? index : -1;
}

BOOL COXCoolToolBar::UpdateCustomButton(int descriptorIndex, const OXCUSTOMBUTTONDESCRIPTOR& descriptor) {
    auto& registry = Registry();
    if (descriptorIndex < 0 || descriptorIndex >= static_cast<int>(registry.ids.size())) return FALSE;
    OXCUSTOMBUTTONDESCRIPTOR& registered = registry.byId[registry.ids[static_cast<size_t>(descriptorIndex)]];
    if (registered.m_nID == descriptor.m_nID) {
        registered.m_nWidth = descriptor.m_nWidth;
        registered.m_nHeight = descriptor.m_nHeight;
        registered.m_nFlags = descriptor.m_nFlags;
        registered.m_nImageIndex = descriptor.m_nImageIndex;
    }
    auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    if (!frame) return TRUE;
    for (CControlBar* control : frame->m_listControlBars) {
        auto* bar = dynamic_cast<COXCoolToolBar*>(control);
        if (!bar) continue;
        bool shows = false;
        for (auto& [index, own] : bar->m_customButtons) {
            if (own.m_nID != registered.m_nID) continue;
            own.m_nWidth = registered.m_nWidth;
            own.m_nHeight = registered.m_nHeight;
            own.m_nFlags = registered.m_nFlags;
            own.m_nImageIndex = registered.m_nImageIndex;
            shows = true;
        }
        if (shows) bar->UpdateCustomButtons(TRUE, TRUE);
    }
    return TRUE;
}

int COXCoolToolBar::FindCustomButtonIndex(UINT id) {
    const auto& ids = Registry().ids;
    auto found = std::find(ids.begin(), ids.end(), id);
    return found == ids.end() ? -1 : static_cast<int>(found - ids.begin());
}

BOOL COXCoolToolBar::GetRegisteredDescriptor(UINT id, OXCUSTOMBUTTONDESCRIPTOR& descriptor) {
    auto& byId = Registry().byId;
    auto found = byId.find(id);
    if (found == byId.end()) return FALSE;
    descriptor = found->second;
    return TRUE;
}

int COXCoolToolBar::GetRegisteredCount() { return static_cast<int>(Registry().ids.size()); }
std::vector<UINT> COXCoolToolBar::RegisteredIds() { return Registry().ids; }

BOOL COXCoolToolBar::CreateCustomControl(int descriptorIndex, OXCUSTOMBUTTONDESCRIPTOR& descriptor, DWORD style,
                                         DWORD exStyle, const wchar_t* className) {
    auto& registry = Registry();
    if (descriptorIndex < 0 || descriptorIndex >= static_cast<int>(registry.ids.size())) return FALSE;
    descriptor = registry.byId[registry.ids[static_cast<size_t>(descriptorIndex)]];
    COXCustomTBButtonTemplate* control = descriptor.m_pCBTemplate;
    if (!control || !control->GetWindow()) return FALSE;
    if (!control->GetWindow()->GetSafeHwnd()) {
        return control->CreateControl(descriptor.m_nID, this, style, exStyle, className, L"");
    }
    // The control shows in another bar already: this bar gets a copy of it.
    COXCustomTBButtonTemplate* copy = control->CreateCopy(this);
    if (!copy) return FALSE;
    descriptor.m_pCBTemplate = copy;
    return TRUE;
}

BOOL COXCoolToolBar::SetCustomButton(int index, int descriptorIndex, DWORD style, DWORD exStyle,
                                     const wchar_t* className, const wchar_t*) {
    if (index < 0 || index > GetCount() || descriptorIndex < 0 || descriptorIndex >= GetRegisteredCount()) return FALSE;
    TBBUTTON slot{};
    slot.iBitmap = -1;
    slot.fsStyle = TBSTYLE_SEP;
    slot.iString = -1;
    const BOOL loading = m_bLoading;
    m_bLoading = TRUE;
    const BOOL inserted = SendMessage(TB_INSERTBUTTONW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&slot)) != 0;
    m_bLoading = loading;
    if (!inserted) return FALSE;
    OXCUSTOMBUTTONDESCRIPTOR descriptor;
    if (!CreateCustomControl(descriptorIndex, descriptor, style, exStyle, className)) {
        // Only the slot goes again: a separator beside it at an end of the bar stays.
        const BOOL keepEnds = m_bKeepEnds;
        m_bLoading = m_bKeepEnds = TRUE;
        SendMessage(TB_DELETEBUTTON, static_cast<WPARAM>(index));
        m_bLoading = loading;
        m_bKeepEnds = keepEnds;
        return FALSE;
    }
    m_customButtons[index] = descriptor;
    UpdateCustomButtons(TRUE, TRUE);
    return TRUE;
}

BOOL COXCoolToolBar::GetCustomButton(int index, OXCUSTOMBUTTONDESCRIPTOR& descriptor) const {
    auto found = m_customButtons.find(index);
    if (found == m_customButtons.end()) return FALSE;
    descriptor = found->second;
    return TRUE;
}

BOOL COXCoolToolBar::ResizeCustomButton(int index, int width, int height) {
    auto found = m_customButtons.find(index);
    if (found == m_customButtons.end()) return FALSE;
    found->second.m_nWidth = width;
    found->second.m_nHeight = height;
    auto& registry = Registry();
    auto registered = registry.byId.find(found->second.m_nID);
    if (registered != registry.byId.end()) {
        registered->second.m_nWidth = width;
        registered->second.m_nHeight = height;
    }
    if (!PlaceCustomButton(index)) return FALSE;
    // Placing leaves a combo box's height alone once it stands in place.
    if (CWnd* control = found->second.m_pCBTemplate ? found->second.m_pCBTemplate->GetWindow() : nullptr) {
        CRect now;
        control->GetWindowRect(&now);
        control->SetWindowPos(nullptr, 0, 0, now.Width(), height > 0 ? height : now.Height(),
                              SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return TRUE;
}

CWnd* COXCoolToolBar::GetCustomButtonWindow(int index) const {
    auto found = m_customButtons.find(index);
    if (found == m_customButtons.end() || !found->second.m_pCBTemplate) return nullptr;
    return found->second.m_pCBTemplate->GetWindow();
}

int COXCoolToolBar::GetCustomControlIndex(UINT controlId) const {
    for (const auto& [index, descriptor] : m_customButtons) {
        CWnd* control = descriptor.m_pCBTemplate ? descriptor.m_pCBTemplate->GetWindow() : nullptr;
        if (control && control->GetSafeHwnd() && static_cast<UINT>(control->GetDlgCtrlID()) == controlId) return index;
    }
    return -1;
}

BOOL COXCoolToolBar::PlaceCustomButton(int index) {
    auto found = m_customButtons.find(index);
    if (found == m_customButtons.end()) return FALSE;
    const OXCUSTOMBUTTONDESCRIPTOR& descriptor = found->second;
    CWnd* control = descriptor.m_pCBTemplate ? descriptor.m_pCBTemplate->GetWindow() : nullptr;
    if (!control || !control->GetSafeHwnd()) return FALSE;
    const DWORD visibleBefore = GetStyle() & WS_VISIBLE;
    bool shown;
    if (descriptor.m_nFlags == OXCBS_ALWAYS) shown = true;
    else if (IsFloating()) shown = descriptor.m_nFlags & OXCBS_FLOATING;
    else if (m_dwStyle & CBRS_ORIENT_HORZ) shown = descriptor.m_nFlags & OXCBS_HORZDOCKED;
    else shown = descriptor.m_nFlags & OXCBS_VERTDOCKED;
    const auto controlId = static_cast<UINT>(control->GetDlgCtrlID());
    TBBUTTON b{};
    SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b));
    if (shown) {
        if (!(b.fsStyle & TBSTYLE_SEP) || b.iBitmap != descriptor.m_nWidth)
            SetButtonInfo(index, controlId, TBBS_SEPARATOR, descriptor.m_nWidth);
        CRect rect;
        GetItemRect(index, &rect);
        rect.DeflateRect(2, 0);
        if (descriptor.m_nHeight > 0) {
            if (descriptor.m_nHeight < rect.Height()) rect.top += (rect.Height() - descriptor.m_nHeight) / 2;
            rect.bottom = rect.top + descriptor.m_nHeight;
        }
        wchar_t className[32] = {};
        ::GetClassNameW(control->m_hWnd, className, 31);
        const bool combo = lstrcmpiW(className, L"ComboBox") == 0;
        if (combo) {
            CRect first;
            GetItemRect(0, &first);
            rect.OffsetRect(0, (first.bottom - 22) / 2 + 1);
        }
        // Moved only when it is not there yet (a combo box's window is as high as its closed
        // box, not the height it was given with its list).
        CRect now;
        control->GetWindowRect(&now);
        ScreenToClient(&now);
        const bool there = now.TopLeft() == rect.TopLeft() && now.Width() == rect.Width() && (combo || now.Height() == rect.Height());
        if (!there) control->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        // Shown by its own style: while the bar's frame is still hidden the control is not
        // visible on the screen either way, and showing it again would only move it.
        if (!(control->GetStyle() & WS_VISIBLE)) control->ShowWindow(SW_SHOWNA);
    } else {
        if ((b.fsStyle & TBSTYLE_SEP) || static_cast<UINT>(b.idCommand) != controlId) {
            SetButtonInfo(index, controlId, TBBS_BUTTON, descriptor.m_nImageIndex);
            TBBUTTONINFOW info{};
            info.cbSize = sizeof(info);
            info.dwMask = TBIF_BYINDEX | TBIF_STYLE;
            BYTE style = TBSTYLE_AUTOSIZE;
            if (SendMessage(TB_GETBUTTONINFOW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info)) >= 0)
                style = static_cast<BYTE>(info.fsStyle | TBSTYLE_AUTOSIZE);
            info.fsStyle = style;
            SendMessage(TB_SETBUTTONINFOW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info));
        }
        if (control->GetStyle() & WS_VISIBLE) control->ShowWindow(SW_HIDE);
    }
    if ((GetStyle() & WS_VISIBLE) != visibleBefore) ModifyStyle(visibleBefore ? 0 : WS_VISIBLE, visibleBefore);
    return TRUE;
}

void COXCoolToolBar::PlaceCustomButtons(int first, int last) {
    if (last < 0) last = GetCount() - 1;
    std::vector<int> indices;
    for (const auto& entry : m_customButtons)
        if (entry.first >= first && entry.first <= last) indices.push_back(entry.first);
    for (int index : indices) PlaceCustomButton(index);
}

void COXCoolToolBar::UpdateCustomButtons(BOOL recalc, BOOL frame) {
    if (m_bLoading) return;
    PlaceCustomButtons(0, -1);
    if (!(GetStyle() & WS_VISIBLE)) return;
    if (recalc) {
        CFrameWnd* site = m_pDockSite ? m_pDockSite : GetParentFrame();
        if (site && !m_bInRecalc) {
            m_bInRecalc = TRUE;
            site->RecalcLayout();
            m_bInRecalc = FALSE;
        }
        // A bar that is not on the screen yet (its frame is still hidden)
        // draws every button with its first paint.
        if (!IsWindowVisible()) return;
        const int count = GetCount();
        for (int i = 0; i < count; ++i) {
            RedrawButton(i);
            CRect rect;
            GetItemRect(i, &rect);
            ValidateRect(m_hWnd, &rect);
        }
    } else if (!frame) {
        RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    } else {
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }
}

#include "bars/CoolToolBar.h"

#include "app/WinApp.h"
#include "gdi/BufferedPaint.h"
#include "skins/Skin.h"
#include "wnd/MDIChildWnd.h"
#include "wnd/Resources.h"

#include <shlwapi.h>

#include <algorithm>

namespace {

DWORD g_comCtlVersion = 0;

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

// Creation -----------------------------------------------------------------------------------

BOOL CMFCToolBar::CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, CRect borders, UINT id) {
    if (style & CBRS_ALIGN_ANY) style = (style & ~CBRS_ALIGN_ANY) | CBRS_ALIGN_TOP;
    return CToolBar::CreateEx(parent, ctrlStyle, style, borders, id);
}

COXCoolToolBar::COXCoolToolBar() {
    std::fill(std::begin(m_colors), std::end(m_colors), kColorNotSet);
    if (g_comCtlVersion == 0) {
        DWORD major = 0, minor = 0;
        g_comCtlVersion = SUCCEEDED(ProbeComCtlVersion(&major, &minor)) ? ((major << 16) | minor) : 0x40000;
    }
    m_nDropDownArrowWidth = MeasureDropDownArrowWidth();
}

COXCoolToolBar::~COXCoolToolBar() {
    m_dropTarget.Revoke();
    if (m_hWnd) DestroyWindow();
}

DWORD COXCoolToolBar::GetComCtlVersion() { return g_comCtlVersion ? g_comCtlVersion : 0x40000; }

HRESULT COXCoolToolBar::ProbeComCtlVersion(DWORD* major, DWORD* minor) {
    if (!major || !minor) return E_INVALIDARG;
    HMODULE module = GetModuleHandleW(L"comctl32.dll");
    HMODULE loaded = nullptr;
    if (!module) module = loaded = LoadLibraryW(L"comctl32.dll");
    if (!module) return E_FAIL;
    HRESULT result = S_OK;
    using DllGetVersionProc = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
    auto getVersion = reinterpret_cast<DllGetVersionProc>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetVersion")));
    if (getVersion) {
        DLLVERSIONINFO info{};
        info.cbSize = sizeof(info);
        if (SUCCEEDED(getVersion(&info))) {
            *major = info.dwMajorVersion;
            *minor = info.dwMinorVersion;
        } else {
            result = E_FAIL;
        }
    } else {
        *major = 4;
        *minor = 0;
    }
    if (loaded) FreeLibrary(loaded);
    return result;
}

int COXCoolToolBar::MeasureDropDownArrowWidth() {
    LOGFONTW font{};
    font.lfHeight = GetSystemMetrics(SM_CYMENUCHECK);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = SYMBOL_CHARSET;
    lstrcpyW(font.lfFaceName, L"Marlett");
    HFONT marlett = CreateFontIndirectW(&font);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, marlett);
    SIZE size{};
    GetTextExtentPoint32W(screen, L"6", 1, &size);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    DeleteObject(marlett);
    return size.cx;
}

void COXCoolToolBar::FinishCreate() {
    m_dropTarget.Register(this);
    static const wchar_t kEmpty[2] = {0, 0};
    SendMessage(TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(kEmpty));  // gives the buttons a text row
}

BOOL COXCoolToolBar::Create(CWnd* parent, DWORD style, UINT id) {
    if (GetComCtlVersion() < kComCtl471) {
        if (!CMFCToolBar::Create(parent, style, id)) return FALSE;
        SetFlat(TRUE);
    } else {
        if (!CMFCToolBar::Create(parent, style | WS_CLIPCHILDREN, id)) return FALSE;
        ModifyStyle(0, TBSTYLE_FLAT | TBSTYLE_TRANSPARENT);
        SetBorders(0, 0, 0, 0);
        SetDropDownArrow(TRUE);
        if (dynamic_cast<CMDIChildWnd*>(parent)) ModifyStyle(TBSTYLE_TRANSPARENT, 0);
    }
    FinishCreate();
    return TRUE;
}

BOOL COXCoolToolBar::CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, CRect borders, UINT id) {
    if (!CMFCToolBar::CreateEx(parent, ctrlStyle, style, borders, id)) return FALSE;
    FinishCreate();
    return TRUE;
}

void COXCoolToolBar::EnableDocking(DWORD sides, BOOL second) {
    const bool hadOwner = m_pDockContext != nullptr;
    CControlBar::EnableDocking(sides);
    if (!hadOwner && GetParent()) SetOwner(GetParent());
    m_bSecondDocking = second;
}

// Settings ----------------------------------------------------------------------------------

void COXCoolToolBar::SetFlat(BOOL on) {
    ModifyStyle(on ? 0 : TBSTYLE_FLAT, on ? TBSTYLE_FLAT : 0);
    Invalidate();
}

void COXCoolToolBar::SetList(BOOL on) {
    ModifyStyle(on ? 0 : TBSTYLE_LIST, on ? TBSTYLE_LIST : 0);
    Invalidate();
}

void COXCoolToolBar::SetGripper(BOOL on) {
    SetBarStyle(on ? (m_dwStyle | CBRS_GRIPPER) : (m_dwStyle & ~CBRS_GRIPPER));
}

void COXCoolToolBar::SetDropDownArrow(BOOL on) {
    if (GetComCtlVersion() >= kComCtl471 && m_hWnd) {
        const auto styles = static_cast<DWORD>(SendMessage(TB_GETEXTENDEDSTYLE));
        SendMessage(TB_SETEXTENDEDSTYLE, 0, on ? (styles | TBSTYLE_EX_DRAWDDARROWS) : (styles & ~TBSTYLE_EX_DRAWDDARROWS));
    }
    m_bDropDownArrow = on;
}

BOOL COXCoolToolBar::IsDropDownArrow() const {
    if (GetComCtlVersion() >= kComCtl471 && m_hWnd) return (SendMessage(TB_GETEXTENDEDSTYLE) & TBSTYLE_EX_DRAWDDARROWS) != 0;
    return m_bDropDownArrow;
}

void COXCoolToolBar::SetIndent(int indent) {
    if (SendMessage(TB_SETINDENT, static_cast<WPARAM>(indent))) m_nIndent = indent;
}

void COXCoolToolBar::SetButtonsMinMaxWidth(int minWidth, int maxWidth) {
    if (SendMessage(TB_SETBUTTONWIDTH, 0, MAKELONG(minWidth, maxWidth))) {
        m_nMinWidth = minWidth;
        m_nMaxWidth = maxWidth;
    }
}

void COXCoolToolBar::UpdateSizes() {
    SetSizes(m_sizeButton, m_sizeImage);
    SendMessage(TB_AUTOSIZE);
}

void COXCoolToolBar::SetButtonsSize(CSize image) {
    SetSizes(CSize(image.cx + 7, image.cy + 6), image);
    SendMessage(TB_AUTOSIZE);
}

void COXCoolToolBar::SetTextType(UINT first, UINT last, int type) {
    if (type < 0 || type > 4) type = 4;
    m_nTextType = type;
    if (type == 3) return;
    HMENU menu = nullptr;
    if (CWnd* main = AfxGetMainWnd(); main && main->GetSafeHwnd()) menu = main->GetMenu();
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        TBBUTTON b{};
        SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
        const auto id = static_cast<UINT>(b.idCommand);
        if ((b.fsStyle & TBSTYLE_SEP) || id < first || id > last) continue;
        CString text;
        if (type == 0 || type == 1) {
            const CString full = LoadStringResource(id);
            const int feed = full.Find(L'\n');
            if (type == 0) text = feed < 0 ? full : full.Left(feed);
            else if (feed >= 0) text = full.Mid(feed + 1);
        } else if (type == 2 && menu) {
            wchar_t item[256] = {};
            GetMenuStringW(menu, id, item, 255, MF_BYCOMMAND);
            text = item;
            if (const int tab = text.Find(L'\t'); tab >= 0) text = text.Left(tab);
        }
        SetButtonText(i, text);
    }
}

void COXCoolToolBar::ApplyTextType() {
    if (m_nTextType != 3) SetTextType(0, 65535, m_nTextType);
}

void COXCoolToolBar::SetCustomizable(BOOL enable, BOOL advanced) {
    const bool offersList = enable && !m_customizationList.empty();
    if (offersList && !advanced) ModifyStyle(0, CCS_ADJUSTABLE);
    else ModifyStyle(CCS_ADJUSTABLE, 0);
    m_bAdvancedCustomizable = enable && advanced;
}

BOOL COXCoolToolBar::IsCustomizable(BOOL advanced) const {
    if (advanced) return m_bAdvancedCustomizable;
    return m_hWnd && (GetStyle() & CCS_ADJUSTABLE) != 0;
}

void COXCoolToolBar::SetCustomizedButton(int index) {
    const int previous = m_nCustomizedButton;
    m_nCustomizedButton = index;
    if (previous != index && previous >= 0) RedrawButton(previous);
    if (index >= 0 && index < GetCount()) RedrawButton(index);
    NotifyOwner(32892, 0);
}

CString COXCoolToolBar::GetHiddenButtonText(UINT id) const {
    auto found = m_hiddenTexts.find(id);
    return found == m_hiddenTexts.end() ? CString() : found->second;
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
        m_bLoading = TRUE;
        SendMessage(TB_DELETEBUTTON, static_cast<WPARAM>(index));
        m_bLoading = loading;
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

// Buttons and notifications ---------------------------------------------------------------------

BOOL COXCoolToolBar::RedrawButton(int index) {
    if (index < 0 || index >= GetCount()) return FALSE;
    CRect rect;
    GetItemRect(index, &rect);
    RedrawWindow(m_hWnd, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    if (CWnd* control = GetCustomButtonWindow(index); control && control->GetSafeHwnd())
        RedrawWindow(control->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return TRUE;
}

LRESULT COXCoolToolBar::NotifyOwner(UINT command, int value) {
    HWND target = m_hNotifyWnd ? m_hNotifyWnd : ::GetParent(m_hWnd);
    if (!target) return 0;
    OXTBNOTIFY notify{};
    notify.hdr.hwndFrom = m_hWnd;
    notify.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    notify.hdr.code = OXTBN_COMMAND;
    notify.nCommand = command;
    notify.nValue = value;
    return ::SendMessageW(target, WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify));
}

LRESULT COXCoolToolBar::TrackButtonMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(wParam);
    if (message == TB_DELETEBUTTON) {
        const int count = GetCount();
        auto found = m_customButtons.find(index);
        OXCUSTOMBUTTONDESCRIPTOR removed;
        const bool wasCustom = found != m_customButtons.end();
        if (wasCustom) removed = found->second;
        const LRESULT done = CMFCToolBar::WindowProc(message, wParam, lParam);
        if (!done) return done;
        if (wasCustom) {
            m_customButtons.erase(index);
            if (removed.m_pCBTemplate) removed.m_pCBTemplate->OnRemoved();
        }
        std::map<int, OXCUSTOMBUTTONDESCRIPTOR> moved;
        for (auto& [at, descriptor] : m_customButtons) moved[at > index ? at - 1 : at] = descriptor;
        m_customButtons.swap(moved);
        for (int* mark : {&m_nCustomizedButton, &m_nInsertPosition}) {
            if (*mark == index) *mark = -1;
            else if (*mark > index) --*mark;
        }
        // No separator is left at either end (a custom button's slot is not a plain separator).
        auto plainSeparator = [this](int at) {
            TBBUTTON b{};
            return SendMessage(TB_GETBUTTON, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&b)) && (b.fsStyle & TBSTYLE_SEP) &&
                   !IsCustomButton(at);
        };
        const BOOL loading = m_bLoading;
        m_bLoading = TRUE;
        if (index == count - 1 && count > 1 && plainSeparator(index - 1)) SendMessage(TB_DELETEBUTTON, static_cast<WPARAM>(index - 1));
        else if (index == 0 && GetCount() > 0 && plainSeparator(0)) SendMessage(TB_DELETEBUTTON, 0);
        m_bLoading = loading;
        UpdateCustomButtons(TRUE, TRUE);
        return done;
    }
    if (message == TB_MOVEBUTTON) {
        const int to = static_cast<int>(lParam);
        const LRESULT done = CMFCToolBar::WindowProc(message, wParam, lParam);
        if (!done || index == to) return done;
        const int lo = std::min(index, to), hi = std::max(index, to);
        std::map<int, OXCUSTOMBUTTONDESCRIPTOR> moved;
        for (auto& [at, descriptor] : m_customButtons) {
            int now = at;
            if (at == index) now = to;
            else if (index < to && at > lo && at <= hi) now = at - 1;
            else if (index > to && at >= lo && at < hi) now = at + 1;
            moved[now] = descriptor;
        }
        m_customButtons.swap(moved);
        PlaceCustomButtons(lo, hi);
        return done;
    }
    // TB_INSERTBUTTON, in either character set.
    const LRESULT done = CMFCToolBar::WindowProc(message, wParam, lParam);
    if (!done) return done;
    for (int* mark : {&m_nCustomizedButton, &m_nInsertPosition})
        if (*mark >= index) ++*mark;
    std::map<int, OXCUSTOMBUTTONDESCRIPTOR> moved;
    for (auto& [at, descriptor] : m_customButtons) moved[at >= index ? at + 1 : at] = descriptor;
    m_customButtons.swap(moved);
    UpdateCustomButtons(TRUE, TRUE);
    return done;
}

LRESULT COXCoolToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case TB_INSERTBUTTONA:
    case TB_INSERTBUTTONW:
    case TB_DELETEBUTTON:
    case TB_MOVEBUTTON:
        return TrackButtonMessage(message, wParam, lParam);
    default:
        return CMFCToolBar::WindowProc(message, wParam, lParam);
    }
}

const MessageMap* COXCoolToolBar::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXCoolToolBar::OnNcPaint>(WM_NCPAINT),
        MapMessage<&COXCoolToolBar::OnNcCalcSize>(WM_NCCALCSIZE),
        MapMessage<&COXCoolToolBar::OnEraseBkgnd>(WM_ERASEBKGND),
        MapMessage<&COXCoolToolBar::OnWindowPosChanged>(WM_WINDOWPOSCHANGED),
        MapMessage<&COXCoolToolBar::OnIdleUpdate>(WM_IDLEUPDATECMDUI),
        MapMessage<&COXCoolToolBar::OnDragEnter>(WM_DRAGRELAY_ENTER),
        MapMessage<&COXCoolToolBar::OnDragOver>(WM_DRAGRELAY_OVER),
        MapMessage<&COXCoolToolBar::OnDragLeave>(WM_DRAGRELAY_LEAVE),
        MapMessage<&COXCoolToolBar::OnDrop>(WM_DRAGRELAY_DROP),
        MapReflectNotify<&COXCoolToolBar::OnCustomDraw>(NM_CUSTOMDRAW),
    };
    static const MessageMap map{CMFCToolBar::GetMessageMap(), entries};
    return &map;
}

BOOL COXCoolToolBar::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message != WM_NOTIFY) return CMFCToolBar::OnChildNotify(message, wParam, lParam, result);
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    switch (header->code) {
    case TBN_QUERYINSERT:
    case TBN_QUERYDELETE:
        *result = 1;
        return TRUE;
    case TBN_TOOLBARCHANGE:
        ApplyTextType();
        return FALSE;
    case TBN_DROPDOWN: {
        auto* notify = reinterpret_cast<NMTOOLBARW*>(lParam);
        m_nLastDropDown = CommandToIndex(static_cast<UINT>(notify->iItem));
        return FALSE;
    }
    case TBN_GETBUTTONINFOW: {
        auto* info = reinterpret_cast<NMTOOLBARW*>(lParam);
        if (info->iItem < 0 || info->iItem >= static_cast<int>(m_customizationList.size())) {
            *result = 0;
            return TRUE;
        }
        const UINT id = m_customizationList[static_cast<size_t>(info->iItem)];
        info->tbButton.iBitmap = info->iItem;
        info->tbButton.idCommand = static_cast<int>(id);
        info->tbButton.fsState = TBSTATE_ENABLED;
        info->tbButton.fsStyle = 0;
        info->tbButton.iString = -1;
        if (info->pszText && info->cchText > 0) {
            CString text = ResourceStringPart(LoadStringResource(id), 1);
            if (text.IsEmpty()) text = L"???";
            lstrcpynW(info->pszText, text, info->cchText);
        }
        *result = 1;
        return TRUE;
    }
    default:
        return CMFCToolBar::OnChildNotify(message, wParam, lParam, result);
    }
}

void COXCoolToolBar::OnCustomDraw(NMHDR* header, LRESULT* result) {
    GetToolbarSkin()->DrawCustomDraw(header, result, this);
}

LRESULT COXCoolToolBar::OnDragEnter(WPARAM wParam, LPARAM lParam) {
    if (!IsCustomizable(TRUE)) return 0;  // the relay's defaults
    m_bDragOver = TRUE;
    return OnDragOver(wParam, lParam);
}

LRESULT COXCoolToolBar::OnDragOver(WPARAM, LPARAM lParam) {
    if (!IsCustomizable(TRUE)) return 0;
    reinterpret_cast<OXDRAGTARGETRELAY*>(lParam)->result = DROPEFFECT_NONE;
    return 1;
}

LRESULT COXCoolToolBar::OnDragLeave(WPARAM, LPARAM) {
    if (!IsCustomizable(TRUE)) return 0;
    TBINSERTMARK none{-1, 0};
    SendMessage(TB_SETINSERTMARK, 0, reinterpret_cast<LPARAM>(&none));
    m_bDragOver = FALSE;
    return 1;
}

LRESULT COXCoolToolBar::OnDrop(WPARAM, LPARAM lParam) {
    if (!IsCustomizable(TRUE)) return 0;
    reinterpret_cast<OXDRAGTARGETRELAY*>(lParam)->result = DROPEFFECT_NONE;
    m_bDragOver = FALSE;
    return 1;
}

void COXCoolToolBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) {
    COXCoolToolBarCmdUI state;
    UpdateButtons(state, target, disableIfNoHandler);
}

void COXCoolToolBarCmdUI::SetState(BYTE clear, BYTE set) {
    auto* bar = static_cast<COXCoolToolBar*>(m_pOther);
    TBBUTTON b{};
    if (!bar->SendMessage(TB_GETBUTTON, m_nIndex, reinterpret_cast<LPARAM>(&b))) return;
    const auto state = static_cast<BYTE>((b.fsState & ~clear) | set);
    if (state == b.fsState) return;
    TBBUTTONINFOW info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_STATE;
    info.fsState = state;
    bar->SendMessage(TB_SETBUTTONINFOW, m_nIndex, reinterpret_cast<LPARAM>(&info));
}

void COXCoolToolBarCmdUI::Enable(BOOL on) {
    m_bEnableChanged = TRUE;
    SetState(TBSTATE_ENABLED, on ? TBSTATE_ENABLED : 0);
}

void COXCoolToolBarCmdUI::SetCheck(int check) {
    SetState(TBSTATE_CHECKED | TBSTATE_INDETERMINATE,
             check == 1 ? TBSTATE_CHECKED : (check == 2 ? TBSTATE_INDETERMINATE : 0));
}

// Layout ------------------------------------------------------------------------------------------

void COXCoolToolBar::PrepareLayoutButtons(std::vector<TBBUTTON>& buttons, DWORD mode) {
    // A control its shape does not show is measured as an ordinary button with the descriptor's image.
    const int bit = (mode & LM_HORZDOCK) ? OXCBS_HORZDOCKED : ((mode & LM_VERTDOCK) ? OXCBS_VERTDOCKED : OXCBS_FLOATING);
    for (const auto& [index, descriptor] : m_customButtons) {
        if (index < 0 || index >= static_cast<int>(buttons.size()) || (descriptor.m_nFlags & bit)) continue;
        TBBUTTON& b = buttons[static_cast<size_t>(index)];
        b.fsStyle &= ~TBSTYLE_SEP;
        b.iBitmap = descriptor.m_nImageIndex;
    }
}

int COXCoolToolBar::ButtonWidth(const TBBUTTON& button) const {
    if (button.fsStyle & TBSTYLE_SEP) return button.iBitmap > 0 ? button.iBitmap : 8;
    const int index = CommandToIndex(static_cast<UINT>(button.idCommand));
    if (button.fsStyle & TBSTYLE_AUTOSIZE) {
        CRect rect;
        if (index >= 0 && SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect))) return rect.Width();
    }
    int width = GetButtonSize().cx;
    if ((button.fsStyle & TBSTYLE_DROPDOWN) && IsDropDownArrow() && (!IsFlat() || GetComCtlVersion() >= kComCtl471))
        width += m_nDropDownArrowWidth;
    return width;
}

CSize COXCoolToolBar::CalcSize(std::vector<TBBUTTON>& buttons) {
    CSize size = CMFCToolBar::CalcSize(buttons);
    size.cx += m_nIndent;
    return size;
}

CSize COXCoolToolBar::CalcLayout(DWORD mode, int length) {
    CSize size = CMFCToolBar::CalcLayout(mode, length);
    if ((mode & (LM_COMMIT | LM_HORZDOCK | LM_VERTDOCK)) || IsFloating()) PlaceCustomButtons(0, -1);
    return size;
}

// Drawing -------------------------------------------------------------------------------------------

COXToolbarSkin* COXCoolToolBar::GetToolbarSkin() {
    return LookupElementSkin<COXToolbarSkin, COXToolbarSkinClassic>(m_pFallbackSkin, &COXSkin::GetToolbarSkin);
}

void COXCoolToolBar::DrawBorders(CDC* dc, CRect& rect) { CMFCToolBar::DrawBorders(dc, rect); }
void COXCoolToolBar::DrawGripper(CDC* dc, const CRect& rect) { GetToolbarSkin()->DrawGripper(dc, rect, this); }
void COXCoolToolBar::DrawSeparator(CDC* dc, const CRect& rect) { GetToolbarSkin()->DrawSeparator(dc, rect, this); }
void COXCoolToolBar::DrawFrame(CDC* dc, const CRect& rect) { GetToolbarSkin()->DrawCustomizeFrame(dc, rect, this); }
void COXCoolToolBar::CalcInsideRect(CRect& rect, BOOL horz) const {
    CMFCToolBar::CalcInsideRect(rect, horz);
    const CRect margins = GetNonClientMargins(horz);
    rect.left += margins.left;
    rect.top += margins.top;
    rect.right -= margins.right;
    rect.bottom -= margins.bottom;
}

LRESULT COXCoolToolBar::OnNcCalcSize(WPARAM wParam, LPARAM lParam) {
    // The framework's calculation goes through CalcInsideRect, which takes the margins off.
    if (!m_bCool) return CMFCToolBar::OnNcCalcSize(wParam, lParam);
    const LRESULT result = Default();
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
    const CRect margins = GetNonClientMargins((m_dwStyle & CBRS_ORIENT_HORZ) != 0);
    RECT& client = params->rgrc[0];
    client.left += margins.left;
    client.top += margins.top;
    client.right = std::max(client.left, client.right - margins.right);
    client.bottom = std::max(client.top, client.bottom - margins.bottom);
    return result;
}

void COXCoolToolBar::OnNcPaint() {
    CWindowDC dc(this);
    const CRect window = NonClientRect(dc);
    GetToolbarSkin()->DrawNonClientArea(&dc, &window, this);
    if (!m_bCool && IsFlat() && IsGripper()) {
        CRect gripper = window;
        if (m_dwStyle & CBRS_BORDER_LEFT) gripper.left += 1;
        if (m_dwStyle & CBRS_BORDER_TOP) gripper.top += 1;
        if (m_dwStyle & CBRS_BORDER_RIGHT) gripper.right -= 1;
        if (m_dwStyle & CBRS_BORDER_BOTTOM) gripper.bottom -= 1;
        DrawGripper(&dc, gripper);
    }
    OnNcPaintDone(&dc);
}

LRESULT COXCoolToolBar::OnEraseBkgnd(HDC dc) {
    if (!IsPaintBuffer(dc)) return TRUE;  // the buffered paint erases
    if (GetToolbarSkin()->IsDefaultEraseBkgnd()) return Default();
    return 0;
}

LRESULT COXCoolToolBar::OnWindowPosChanged(WPARAM, LPARAM) {
    const LRESULT result = Default();
    const int floating = IsFloating() ? 1 : 0;
    const DWORD side = m_dwStyle & CBRS_ALIGN_ANY;
    if (floating != m_nLastFloatState) {
        m_nLastFloatState = floating;
        OnFloatingChanged(floating);
        if (!m_customButtons.empty()) m_nPending |= 1;
    } else if (side != m_dwLastDockSide) {
        m_dwLastDockSide = side;
        OnDockSideChanged(side);
        if (!m_customButtons.empty()) m_nPending |= 1;
    }
    m_nPending |= 2;
    // A bar whose frame is still hidden gets its borders painted when it shows.
    if (IsWindowVisible()) SendMessage(WM_NCPAINT, 1);
    return result;
}

LRESULT COXCoolToolBar::OnIdleUpdate(WPARAM wParam, LPARAM lParam) {
    if (GetStyle() & WS_VISIBLE) {
        const UINT pending = m_nPending;
        m_nPending = 0;
        if (pending & 1) UpdateCustomButtons(TRUE, TRUE);
        if (pending & 2) PlaceCustomButtons(0, -1);
    }
    return CMFCToolBar::OnIdleUpdateCmdUI(wParam, lParam);
}

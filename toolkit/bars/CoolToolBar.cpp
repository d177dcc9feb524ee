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

}  // namespace

// Creation -----------------------------------------------------------------------------------

BOOL CMFCToolBar::CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, CRect borders, UINT id) {
    if (style & CBRS_ALIGN_ANY) style = (style & ~CBRS_ALIGN_ANY) | CBRS_ALIGN_TOP;
    return CToolBar::CreateEx(parent, ctrlStyle, style, borders, id);
}

COXCoolToolBar::COXCoolToolBar() {
    std::fill(std::begin(m_colors), std::end(m_colors), kColorNotSet);
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (GetVersionExW(&version)) m_bWindowsNT = version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 4;
#pragma GCC diagnostic pop
    GetComCtlVersion();
    m_nDropDownArrowWidth = MeasureDropDownArrowWidth();
}

COXCoolToolBar::~COXCoolToolBar() {
    m_dropTarget.Revoke();
    if (m_hWnd) DestroyWindow();
    for (auto& [id, bitmap] : m_bitmaps) DeleteObject(bitmap);
    for (auto& [id, images] : m_imageLists) ImageList_Destroy(images);
}

void COXCoolToolBar::SetCommandBitmap(UINT id, HBITMAP bitmap) {
    auto& slot = m_bitmaps[id];
    if (slot && slot != bitmap) DeleteObject(slot);
    slot = bitmap;
}

HBITMAP COXCoolToolBar::GetCommandBitmap(UINT id) const {
    auto found = m_bitmaps.find(id);
    return found == m_bitmaps.end() ? nullptr : found->second;
}

void COXCoolToolBar::SetCommandImageList(UINT id, HIMAGELIST images) {
    auto& slot = m_imageLists[id];
    if (slot && slot != images) ImageList_Destroy(slot);
    slot = images;
}

HIMAGELIST COXCoolToolBar::GetCommandImageList(UINT id) const {
    auto found = m_imageLists.find(id);
    return found == m_imageLists.end() ? nullptr : found->second;
}

void COXCoolToolBar::SetIcon(HICON icon) {
    m_hIcon = icon;
    m_rectIcon.SetRectEmpty();
    if (m_hWnd) SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

DWORD COXCoolToolBar::GetComCtlVersion() {
    // Probed by whoever asks first: a hosted combo box may be built before any tool bar.
    if (g_comCtlVersion == 0) {
        DWORD major = 0, minor = 0;
        g_comCtlVersion = SUCCEEDED(ProbeComCtlVersion(&major, &minor)) ? ((major << 16) | minor) : 0x40000;
    }
    return g_comCtlVersion;
}

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
    // The bar hosts controls in its slots: its paint (a blit of its buffer) must not cover
    // them, or a box that drew itself before the bar is blank after each move of the bar.
    if (!CMFCToolBar::CreateEx(parent, ctrlStyle, style | WS_CLIPCHILDREN, borders, id)) return FALSE;
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
            if (type == 0 && feed >= 0) text = full.Left(feed);
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
    if (index >= 0 && index < GetCount()) {
        // A selected button is not a pressed one; releasing it redraws it.
        const UINT id = GetItemID(index);
        if (SendMessage(TB_GETSTATE, id) & TBSTATE_PRESSED) SendMessage(TB_PRESSBUTTON, id, FALSE);
        else RedrawButton(index);
    }
    NotifyOwner(32892, 0);
}

void COXCoolToolBar::FollowMovedCustomButtons() {
    // The control moves and deletes buttons the user drags by itself, without the messages
    // the slot map follows: each hosted control is found again by the id of its slot.
    std::map<int, OXCUSTOMBUTTONDESCRIPTOR> found;
    std::vector<OXCUSTOMBUTTONDESCRIPTOR> removed;
    bool changed = false;
    for (const auto& [index, descriptor] : m_customButtons) {
        CWnd* control = descriptor.m_pCBTemplate ? descriptor.m_pCBTemplate->GetWindow() : nullptr;
        if (!control || !control->GetSafeHwnd()) {
            found[index] = descriptor;
            continue;
        }
        const auto id = static_cast<UINT>(control->GetDlgCtrlID());
        if (index < GetCount() && GetItemID(index) == id) {
            found[index] = descriptor;
            continue;
        }
        changed = true;
        const int now = CommandToIndex(id);
        if (now >= 0 && !found.count(now)) found[now] = descriptor;
        else removed.push_back(descriptor);  // dragged off the bar
    }
    if (!changed) return;
    m_customButtons.swap(found);
    for (const OXCUSTOMBUTTONDESCRIPTOR& descriptor : removed)
        if (descriptor.m_pCBTemplate) descriptor.m_pCBTemplate->OnRemoved();
    UpdateCustomButtons(TRUE, TRUE);
}

CString COXCoolToolBar::GetHiddenButtonText(UINT id) const {
    auto found = m_hiddenTexts.find(id);
    return found == m_hiddenTexts.end() ? CString() : found->second;
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
        // No plain separator is left at either end; a custom button's slot is no plain separator.
        // A menu bar's buttons stand for its menu's items one to one: it keeps every other button.
        // A slot taken back at once (its control could not be made) leaves the bar as it was.
        if (!IsMenuBar() && !m_bKeepEnds) {
            auto plainSeparator = [this](int at) {
                TBBUTTON b{};
                return SendMessage(TB_GETBUTTON, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&b)) &&
                       (b.fsStyle & TBSTYLE_SEP) && !IsCustomButton(at);
            };
            const BOOL loading = m_bLoading;
            m_bLoading = TRUE;
            if (index == count - 1 && index > 0 && plainSeparator(index - 1))
                SendMessage(TB_DELETEBUTTON, static_cast<WPARAM>(index - 1));
            else if (index == 0 && GetCount() > 0 && plainSeparator(0))
                SendMessage(TB_DELETEBUTTON, 0);
            m_bLoading = loading;
        }
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
    // TB_INSERTBUTTON, in either character set. The control appends a button asked for at -1 or
    // past the end: its place is then the end, and nothing behind it moves.
    const int count = GetCount();
    const int at = (index < 0 || index > count) ? count : index;
    const LRESULT done = CMFCToolBar::WindowProc(message, wParam, lParam);
    if (!done) return done;
    for (int* mark : {&m_nCustomizedButton, &m_nInsertPosition})
        if (*mark >= at) ++*mark;
    std::map<int, OXCUSTOMBUTTONDESCRIPTOR> moved;
    for (auto& [slot, descriptor] : m_customButtons) moved[slot >= at ? slot + 1 : slot] = descriptor;
    m_customButtons.swap(moved);
    UpdateCustomButtons(TRUE, TRUE);
    return done;
}

LRESULT COXCoolToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnCustomizeMouse(message, wParam, lParam, result)) return result;
    if (OnOwnDragMouse(message, wParam, lParam, result)) return result;
    switch (message) {
    case WM_COMMAND:
        // The customisation menu's commands are the bar's own, not its owner's.
        if (lParam == 0 && LOWORD(wParam) >= OXTB_CMD_DELETE && LOWORD(wParam) <= OXTB_CMD_SEPAFTER) {
            OnCustomizeCommand(LOWORD(wParam));
            return 0;
        }
        return CMFCToolBar::WindowProc(message, wParam, lParam);
    case TB_INSERTBUTTONA:
    case TB_INSERTBUTTONW:
    case TB_DELETEBUTTON:
    case TB_MOVEBUTTON:
        return TrackButtonMessage(message, wParam, lParam);
    default:
        return CMFCToolBar::WindowProc(message, wParam, lParam);
    }
}

// No WM_PAINT of its own: from comctl32 4.71 on (every control this program
// meets) the bar paints as the framework toolbar does.
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
        FollowMovedCustomButtons();
        ApplyTextType();
        return FALSE;
    case TBN_DROPDOWN: {
        auto* notify = reinterpret_cast<NMTOOLBARW*>(lParam);
        m_nLastDropDown = m_nOpenDropDown = CommandToIndex(static_cast<UINT>(notify->iItem));
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
    if (!m_bDragOverKept) m_bDragOver = FALSE;
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

#include "tabs/TabWorkspace.h"

#include "tabs/TabGeometry.h"

#include <algorithm>

namespace {
CString DoubleAmpersands(const CString& text) {
    CString doubled = text;
    doubled.Replace(L"&", L"&&");
    return doubled;
}

CString ClassNameOf(HWND hwnd) {
    wchar_t name[513] = {};
    ::GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
    return CString(name);
}

// A child shown by itself: hiding the whole frame takes no child's tab away.
bool ShownItself(HWND child) { return (::GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE) != 0; }

HWND ActiveChild(HWND client) { return reinterpret_cast<HWND>(::SendMessageW(client, WM_MDIGETACTIVE, 0, 0)); }
}  // namespace

// Drop target ----------------------------------------------------------------------------

BOOL COXTabWorkspaceDropTarget::IsDragActivation(CWnd* wnd) const {
    auto* workspace = dynamic_cast<COXTabWorkspace*>(wnd);
    return workspace && workspace->GetDragActivation();
}

BOOL COXTabWorkspaceDropTarget::ActivateTab(CWnd* wnd, int index) {
    auto* workspace = static_cast<COXTabWorkspace*>(wnd);
    HWND child = workspace->GetTabWindow(index);
    CMDIFrameWnd* frame = workspace->GetMDIFrame();
    if (!child || !::IsWindow(child) || !frame) return FALSE;
    ::SendMessageW(frame->m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
    return TRUE;
}

// Workspace ------------------------------------------------------------------------------

COXTabWorkspace::COXTabWorkspace() = default;
COXTabWorkspace::~COXTabWorkspace() = default;

const MessageMap* COXTabWorkspace::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXTabWorkspace::OnCreate>(WM_CREATE),
        MapMessage<&COXTabWorkspace::OnTimer>(WM_TIMER),
        MapReflectNotify<&COXTabWorkspace::OnSelChange>(TCN_SELCHANGE),
        MapMessage<&COXTabWorkspace::OnLButtonDblClk>(WM_LBUTTONDBLCLK),
        MapMessage<&COXTabWorkspace::OnNcCalcSize>(WM_NCCALCSIZE),
        MapMessage<&COXTabWorkspace::OnNcPaint>(WM_NCPAINT),
        MapMessage<&COXTabWorkspace::OnEraseBkgnd>(WM_ERASEBKGND),
        MapMessage<&COXTabWorkspace::OnDestroy>(WM_DESTROY),
    };
    static const MessageMap map{COXSkinnedTabCtrl::GetMessageMap(), entries};
    return &map;
}

CMDIFrameWnd* COXTabWorkspace::GetMDIFrame() const { return m_pTabClientWnd ? m_pTabClientWnd->GetMDIFrame() : nullptr; }

HWND COXTabWorkspace::GetTabWindow(int index) const {
    return index >= 0 && index < GetTabCount() ? m_arrTab[static_cast<size_t>(index)].hWnd : nullptr;
}

CString COXTabWorkspace::GetTabText(CWnd* child) {
    const auto* answer = reinterpret_cast<const wchar_t*>(child->SendMessage(WM_OX_TABTITLE));
    if (answer && *answer) return CString(answer);
    return child->GetWindowText();
}

int COXTabWorkspace::FindTab(HWND child) const {
    if (!child) return -1;
    CString className;
    for (int i = 0; i < GetTabCount(); ++i) {
        if (m_arrTab[static_cast<size_t>(i)].hWnd != child) continue;
        if (className.IsEmpty()) className = ClassNameOf(child);
        if (m_arrTab[static_cast<size_t>(i)].szWndClass == className) return i;
    }
    return -1;
}

HICON COXTabWorkspace::GetChildIcon(HWND child) {
    if (auto icon = reinterpret_cast<HICON>(::SendMessageW(child, WM_GETICON, ICON_SMALL, 0))) return icon;
    if (auto icon = reinterpret_cast<HICON>(::GetClassLongPtrW(child, GCLP_HICONSM))) return icon;
    if (auto icon = reinterpret_cast<HICON>(::SendMessageW(child, WM_GETICON, ICON_BIG, 0))) return icon;
    return reinterpret_cast<HICON>(::GetClassLongPtrW(child, GCLP_HICON));
}

int COXTabWorkspace::AddIcon(HICON icon) {
    if (!icon) return -1;
    const auto found = std::find(m_arrImage.begin(), m_arrImage.end(), icon);
    if (found != m_arrImage.end()) return static_cast<int>(found - m_arrImage.begin());
    if (!m_imageList.GetSafeHandle() || m_imageList.Add(icon) < 0) return -1;
    m_arrImage.push_back(icon);
    return static_cast<int>(m_arrImage.size()) - 1;
}

void COXTabWorkspace::PruneImage(int image) {
    if (image < 0 || image >= GetImageCount()) return;
    for (int i = 0; i < GetItemCount(); ++i) {
        int used = -1;
        TCITEMW item{};
        item.mask = TCIF_IMAGE;
        if (GetItem(i, &item)) used = item.iImage;
        if (used == image) return;
    }
    // The control takes the image out of its list and renumbers the tabs' images after it.
    SendMessage(TCM_REMOVEIMAGE, static_cast<WPARAM>(image));
    m_arrImage.erase(m_arrImage.begin() + image);
}

BOOL COXTabWorkspace::FollowTitle(int index, CWnd* child) {
    TAB_ITEM_ENTRY& entry = m_arrTab[static_cast<size_t>(index)];
    const CString title = GetTabText(child);
    if (title == entry.szTabTitle) return FALSE;
    entry.szTabTitle = title;
    SetTabTitle(index, title);
    return TRUE;
}

void COXTabWorkspace::SetTabTitle(int index, const CString& title) {
    const CString shown = DoubleAmpersands(title);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(static_cast<const wchar_t*>(shown));
    SetItem(index, &item);
}

BOOL COXTabWorkspace::AddTab(int index, HWND child, BOOL redraw, BOOL onlyVisible) {
    if (!m_hWnd || !child || !(::GetWindowLongPtrW(child, GWL_EXSTYLE) & WS_EX_MDICHILD)) return FALSE;
    if (onlyVisible && !ShownItself(child)) return FALSE;
    if (m_pTabClientWnd) m_pTabClientWnd->RemovePlaceholder();  // the entries are the tabs, in order
    index = std::clamp(index, 0, GetTabCount());
    TAB_ITEM_ENTRY entry;
    entry.szWndClass = ClassNameOf(child);
    entry.szTabTitle = GetTabText(CWnd::FromHandle(child));
    entry.hWnd = child;
    const CString shown = DoubleAmpersands(entry.szTabTitle);
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = const_cast<wchar_t*>(static_cast<const wchar_t*>(shown));
    item.iImage = AddIcon(GetChildIcon(child));
    const bool wasEmpty = m_arrTab.empty();
    m_bWalkNeeded = TRUE;
    const int landed = InsertItem(index, &item);
    if (landed < 0) {
        PruneImage(item.iImage);
        return FALSE;
    }
    if (wasEmpty && redraw) Invalidate();
    m_arrTab.insert(m_arrTab.begin() + std::min(landed, GetTabCount()), entry);
    if (redraw) {
        if (CMDIFrameWnd* frame = GetMDIFrame()) frame->RecalcLayout(TRUE);
    }
    return TRUE;
}

BOOL COXTabWorkspace::RemoveTab(HWND child, BOOL recalc) {
    const int index = FindTab(child);
    if (index < 0) return FALSE;
    m_bWalkNeeded = TRUE;
    DeleteTab(index);
    if (recalc) {
        if (CMDIFrameWnd* frame = GetMDIFrame(); frame && frame->m_hWnd) frame->RecalcLayout(TRUE);
    }
    return TRUE;
}

void COXTabWorkspace::DeleteTab(int index) {
    TCITEMW item{};
    item.mask = TCIF_IMAGE;
    item.iImage = -1;
    GetItem(index, &item);
    DeleteItem(index);
    m_arrTab.erase(m_arrTab.begin() + index);
    PruneImage(item.iImage);
}

void COXTabWorkspace::UpdateContents(BOOL addNew, BOOL updateIcons) {
    CMDIFrameWnd* frame = GetMDIFrame();
    if (!frame || !m_hWnd) return;
    BOOL changed = m_pTabClientWnd->m_bForceToRecalc;
    // Tabs of windows that are gone (destroyed without passing the MDI client).
    for (int i = GetTabCount() - 1; i >= 0; --i) {
        if (::IsWindow(m_arrTab[static_cast<size_t>(i)].hWnd)) continue;
        DeleteTab(i);
        changed = TRUE;
    }
    int activeIndex = -1;
    std::vector<WalkedChild> walked;
    HWND active = ActiveChild(frame->m_hWndMDIClient);
    if (active) {
        int position = GetTabCount();
        for (HWND child = ::GetWindow(active, GW_HWNDFIRST); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            const int index = FindTab(child);
            if (index < 0) {
                if (addNew && AddTab(position, child, FALSE, TRUE)) {
                    if (activeIndex >= position) ++activeIndex;
                    changed = TRUE;
                }
            } else if (!ShownItself(child)) {
                RemoveTab(child, FALSE);
                --position;
                if (activeIndex > index) --activeIndex;
                changed = TRUE;
            } else {
                if (child == active) activeIndex = index;
                if (FollowTitle(index, CWnd::FromHandle(child))) changed = TRUE;
                if (updateIcons) {
                    TCITEMW item{};
                    item.mask = TCIF_IMAGE;
                    item.iImage = -1;
                    GetItem(index, &item);
                    const int image = AddIcon(GetChildIcon(child));
                    if (image != item.iImage) {
                        const int old = item.iImage;
                        item.iImage = image;
                        SetItem(index, &item);
                        PruneImage(old);
                    }
                }
            }
            walked.push_back({child, ShownItself(child), FindTab(child) >= 0});
        }
    }
    // Without an active child nothing was walked: the next refresh walks.
    m_arrWalked = std::move(walked);
    m_bWalkNeeded = active == nullptr || !addNew;
    FinishUpdate(activeIndex, changed);
}

bool COXTabWorkspace::ChildrenAsWalked(HWND client, HWND active) const {
    if (m_bWalkNeeded || !active) return false;
    auto walked = [this](HWND hwnd) {
        return std::any_of(m_arrWalked.begin(), m_arrWalked.end(), [hwnd](const WalkedChild& c) { return c.hWnd == hwnd; });
    };
    // A window made without telling the client lies on top of the others (one server round trip).
    if (!walked(active) || !walked(::GetWindow(client, GW_CHILD))) return false;
    for (const WalkedChild& child : m_arrWalked) {
        if (!::IsWindow(child.hWnd) || ShownItself(child.hWnd) != child.visible || (FindTab(child.hWnd) >= 0) != child.tabbed)
            return false;
    }
    return true;
}

void COXTabWorkspace::RefreshContents() {
    CMDIFrameWnd* frame = GetMDIFrame();
    if (!frame || !m_hWnd) return;
    HWND active = ActiveChild(frame->m_hWndMDIClient);
    if (!ChildrenAsWalked(frame->m_hWndMDIClient, active)) {
        UpdateContents(TRUE, FALSE);
        return;
    }
    // What a walk would do now: follow the titles of the visible children with tabs.
    BOOL changed = m_pTabClientWnd->m_bForceToRecalc;
    for (const WalkedChild& child : m_arrWalked) {
        if (!child.visible || !child.tabbed) continue;
        if (FollowTitle(FindTab(child.hWnd), CWnd::FromHandle(child.hWnd))) changed = TRUE;
    }
    FinishUpdate(FindTab(active), changed);
}

void COXTabWorkspace::FinishUpdate(int activeIndex, BOOL changed) {
    if (activeIndex >= 0 && activeIndex != GetCurSel()) {
        SetCurSel(activeIndex);
        changed = TRUE;
    }
    if (changed && m_pTabClientWnd->m_hWnd) {
        if (CMDIFrameWnd* frame = GetMDIFrame()) frame->RecalcLayout(TRUE);
        m_pTabClientWnd->m_bForceToRecalc = FALSE;
    }
}

int COXTabWorkspace::OnCreate(LPCREATESTRUCT cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    if (!SetTimer(IDT_OX_TABUPDATE, kTabUpdateInterval)) return -1;
    if (!m_imageList.Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), ILC_COLOR8 | ILC_MASK, 4, 4))
        return -1;
    SetFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    SetImageList(m_imageList);
    if (!m_dropTarget.Register(this)) return -1;
    return 0;
}

void COXTabWorkspace::OnTimer(UINT_PTR id) {
    if (id == IDT_OX_TABUPDATE) RefreshContents();
    else Default();
}

void COXTabWorkspace::OnSelChange(NMHDR*, LRESULT* result) {
    *result = 0;
    CMDIFrameWnd* frame = GetMDIFrame();
    HWND child = GetTabWindow(GetCurSel());
    if (!frame || !child || !::IsWindow(child)) return;
    ::SendMessageW(frame->m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
    frame->RecalcLayout(TRUE);
}

void COXTabWorkspace::OnLButtonDblClk(UINT, CPoint) {
    CMDIFrameWnd* frame = GetMDIFrame();
    HWND child = GetTabWindow(GetCurSel());
    if (!frame || !child || !::IsWindow(child)) return;
    BOOL maximized = FALSE;
    HWND active = reinterpret_cast<HWND>(::SendMessageW(frame->m_hWndMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
    if (active == child && maximized) ::SendMessageW(frame->m_hWndMDIClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
    else ::SendMessageW(frame->m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
}

LRESULT COXTabWorkspace::OnNcCalcSize(WPARAM, LPARAM lParam) {
    const LRESULT result = Default();
    ShrinkByOffset(*reinterpret_cast<RECT*>(lParam), m_nOffset);
    return result;
}

void COXTabWorkspace::OnNcPaint() {
    CWindowDC dc(this);
    CRect client;
    const CRect window = dc.ExcludeClientArea(&client);
    if (client.IsRectEmpty()) ::SelectClipRgn(dc, nullptr);
    SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC));
    GetTabSkin()->DrawWorkspaceBorder(&dc, window, this);
}

LRESULT COXTabWorkspace::OnEraseBkgnd(HDC hdc) {
    CRect r;
    GetWindowRect(&r);
    ScreenToClient(&r);
    r.right += m_nOffset;
    r.bottom += m_nOffset;
    CDC dc;
    dc.Attach(hdc);
    dc.FillSolidRect(r, GetSysColor(COLOR_BTNFACE));
    dc.Detach();
    return 1;
}

void COXTabWorkspace::OnDestroy() {
    Default();
    m_dropTarget.Revoke();
    SetImageList(nullptr);
    m_imageList.DeleteImageList();
    KillTimer(IDT_OX_TABUPDATE);
    m_arrImage.clear();
    m_arrTab.clear();
    m_arrWalked.clear();
    m_bWalkNeeded = TRUE;
}

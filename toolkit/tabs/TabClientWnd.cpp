#include "skins/Skin.h"
#include "tabs/TabGeometry.h"
#include "tabs/TabWorkspace.h"

COXTabClientWnd::COXTabClientWnd() = default;

COXTabClientWnd::~COXTabClientWnd() {
    if (m_hWnd) UnsubclassWindow();
}

COXTabSkin* COXTabClientWnd::GetTabSkin() {
    return LookupElementSkin<COXTabSkin, COXTabSkinClassic>(m_pFallbackSkin, &COXSkin::GetTabSkin);
}

const MessageMap* COXTabClientWnd::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXTabClientWnd::OnMDICreate>(WM_MDICREATE),
        MapMessage<&COXTabClientWnd::OnMDIDestroy>(WM_MDIDESTROY),
        MapMessage<&COXTabClientWnd::OnMDIActivate>(WM_MDIACTIVATE),
        MapMessage<&COXTabClientWnd::OnParentNotify>(WM_PARENTNOTIFY),
        MapMessage<&COXTabClientWnd::OnSize>(WM_SIZE),
        MapMessage<&COXTabClientWnd::OnShowWindow>(WM_SHOWWINDOW),
        MapMessage<&COXTabClientWnd::OnNcPaint>(WM_NCPAINT),
    };
    static const MessageMap map{CWnd::GetMessageMap(), entries};
    return &map;
}

BOOL COXTabClientWnd::Attach(CMDIFrameWnd* frame, DWORD tabStyle, int offset, BOOL dragActivation) {
    if (m_hWnd || !frame || !frame->m_hWndMDIClient || !SubclassWindow(frame->m_hWndMDIClient)) return FALSE;
    m_pParentFrame = frame;
    m_tab.m_pTabClientWnd = this;
    m_tab.m_nOffset = offset < 0 ? 0 : offset;
    m_tab.m_bDragActivation = dragActivation;
    if (!m_tab.Create(tabStyle | WS_CHILD, CRect(0, 0, 0, 0), frame, AFX_IDW_PANE_FIRST + 1)) {
        UnsubclassWindow();
        m_pParentFrame = nullptr;
        return FALSE;
    }
    // Below the MDI client: the strip shows only where the client leaves room.
    m_tab.SetWindowPos(HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_bForceToRecalc = TRUE;
    m_tab.UpdateContents(TRUE, TRUE);
    frame->RecalcLayout(TRUE);
    return TRUE;
}

void COXTabClientWnd::Detach() {
    if (!m_hWnd) return;
    if (m_tab.m_hWnd) m_tab.DestroyWindow();
    UnsubclassWindow();
    m_bPlaceholder = FALSE;
    if (m_pParentFrame && m_pParentFrame->m_hWnd) m_pParentFrame->RecalcLayout(TRUE);
    m_pParentFrame = nullptr;
}

void COXTabClientWnd::RemovePlaceholder() {
    if (!m_bPlaceholder) return;
    m_bPlaceholder = FALSE;
    if (m_tab.m_hWnd && m_tab.GetItemCount() > m_tab.GetTabCount()) m_tab.DeleteItem(m_tab.GetItemCount() - 1);
}

// The room the MDI client gets inside the workspace (`rect` is the workspace's rectangle less the offset).
void COXTabClientWnd::PlaceDisplayArea(CRect& rect) {
    const DWORD style = m_tab.GetStyle();
    const bool bottomButtons = (style & TCS_BUTTONS) && !(style & TCS_VERTICAL) && (style & TCS_BOTTOM);
    if (bottomButtons) {
        // Computed as top buttons, then moved so the strip's room lies below the client.
        CRect area = rect;
        m_tab.ModifyStyle(TCS_BOTTOM, 0);
        m_tab.AdjustRect(FALSE, &area);
        m_tab.ModifyStyle(0, TCS_BOTTOM);
        area.OffsetRect(0, rect.top - area.top);
        rect = area;
        return;
    }
    if (m_tab.GetTabCount() == 1) {
        CRect tab;
        m_tab.GetItemRect(0, &tab);
        if (tab.Width() + 50 <= rect.Width()) {
            RemovePlaceholder();
            m_tab.AdjustRect(FALSE, &rect);
        } else if (!m_bPlaceholder) {
            // A lone tab too wide for the strip: an empty tab beside it keeps the strip in its shape.
            TCITEMW item{};
            item.mask = TCIF_TEXT;
            item.pszText = const_cast<wchar_t*>(L"");
            m_bPlaceholder = m_tab.InsertItem(1, &item) >= 0;
        }
        return;
    }
    RemovePlaceholder();
    m_tab.AdjustRect(FALSE, &rect);
}

void COXTabClientWnd::CalcWindowRect(LPRECT rect, UINT adjustType) {
    HDWP dwp = ::BeginDeferWindowPos(2);
    CRect r(*rect);
    if (m_tab.m_hWnd && (m_tab.GetStyle() & WS_VISIBLE)) {
        const DWORD style = m_tab.GetStyle();
        const int offset = m_tab.GetOffset();
        if (!((style & TCS_BUTTONS) && (style & TCS_VERTICAL))) {
            if (dwp) dwp = ::DeferWindowPos(dwp, m_tab.m_hWnd, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
            ShrinkByOffset(r, offset);
            PlaceDisplayArea(r);
        } else {
            // Vertical buttons: the strip is measured as a horizontal one on the turned rectangle.
            const CRect whole = r;
            m_tab.SetWindowPos(nullptr, 0, 0, whole.Height(), whole.Width(), SWP_NOZORDER | SWP_NOREDRAW | SWP_NOMOVE | SWP_NOACTIVATE);
            ShrinkByOffset(r, offset);
            CRect turned(0, 0, r.Height(), r.Width());
            const DWORD sideBits = style & (TCS_VERTICAL | TCS_RIGHT);
            m_tab.ModifyStyle(sideBits, 0);
            m_tab.AdjustRect(FALSE, &turned);
            m_tab.ModifyStyle(0, sideBits);
            const int band = turned.top;
            if (style & TCS_RIGHT) r.right -= band;
            else r.left += band;
            m_tab.SetWindowPos(nullptr, whole.left, whole.top, whole.Width(), whole.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (r.right < r.left || r.bottom < r.top) r.SetRectEmpty();
        m_tab.ShowWindow(SW_SHOWNA);
        GetTabSkin()->AdjustTabRect(r, 5, &m_tab);
    }
    if (dwp) dwp = ::DeferWindowPos(dwp, m_hWnd, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    if (dwp) ::EndDeferWindowPos(dwp);
    *rect = r;
    CWnd::CalcWindowRect(rect, adjustType);
}

LRESULT COXTabClientWnd::OnMDICreate(WPARAM, LPARAM) {
    const LRESULT child = Default();
    m_tab.ChildrenChanged();
    if (child && m_tab.m_hWnd) {
        m_tab.SetCurSel(-1);
        m_tab.PostMessage(WM_TIMER, IDT_OX_TABUPDATE);
    }
    return child;
}

LRESULT COXTabClientWnd::OnMDIDestroy(WPARAM wParam, LPARAM) {
    if (m_tab.m_hWnd) m_tab.RemoveTab(reinterpret_cast<HWND>(wParam), TRUE);
    const LRESULT result = Default();
    if (m_tab.m_hWnd) m_tab.PostMessage(WM_TIMER, IDT_OX_TABUPDATE);
    return result;
}

LRESULT COXTabClientWnd::OnMDIActivate(WPARAM wParam, LPARAM) {
    const LRESULT result = Default();
    if (m_tab.m_hWnd) {
        const int index = m_tab.FindTab(reinterpret_cast<HWND>(wParam));
        if (index >= 0) m_tab.SetCurSel(index);
        if (m_tab.GetStyle() & TCS_SCROLLOPPOSITE) m_bForceToRecalc = TRUE;
        m_tab.PostMessage(WM_TIMER, IDT_OX_TABUPDATE);
    }
    return result;
}

// A window made or destroyed under the client (the MDI messages do not see every one).
LRESULT COXTabClientWnd::OnParentNotify(WPARAM wParam, LPARAM) {
    const UINT event = LOWORD(wParam);
    if (event == WM_CREATE || event == WM_DESTROY) m_tab.ChildrenChanged();
    return Default();
}

void COXTabClientWnd::OnSize(UINT, int, int) {
    Default();
    m_bForceToRecalc = TRUE;
    if (m_tab.m_hWnd) m_tab.PostMessage(WM_TIMER, IDT_OX_TABUPDATE);
}

void COXTabClientWnd::OnShowWindow(BOOL show, UINT status) {
    Default();
    if (status != 0 || !m_tab.m_hWnd) return;
    if (show) m_tab.ModifyStyle(0, WS_VISIBLE);
    else m_tab.ModifyStyle(WS_VISIBLE, 0);
}

void COXTabClientWnd::OnNcPaint() {
    GetTabSkin()->DrawClientBorder(this);
}

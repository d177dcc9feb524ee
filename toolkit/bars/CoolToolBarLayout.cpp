// COXCoolToolBar: layout (wrapping, measuring, the shapes of hosted controls)
// and painting of the non-client area through the toolbar skin.
#include "bars/CoolToolBar.h"

#include "gdi/BufferedPaint.h"
#include "skins/Skin.h"

#include <algorithm>

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
    // The arrow's width from construction: a control older than 4.71, for
    // which it was measured again here, is never under this program.
    if ((button.fsStyle & TBSTYLE_DROPDOWN) && IsDropDownArrow() && (!IsFlat() || GetComCtlVersion() >= kComCtl471))
        width += m_nDropDownArrowWidth;
    return width;
}

// The control lays a separator that ends a row out two thirds of its width
// high; only the 4.71 control of a flat bar gave it its whole width (the bar's
// height must be the control's).
int COXCoolToolBar::WrappedSeparatorHeight(const TBBUTTON& separator) const {
    const int band = separator.iBitmap > 0 ? separator.iBitmap : 8;
    return !IsFlat() || GetComCtlVersion() != kComCtl471 ? band * 2 / 3 : band;
}

CSize COXCoolToolBar::CalcSize(std::vector<TBBUTTON>& buttons) {
    CSize size = CMFCToolBar::CalcSize(buttons);
    size.cx += m_nIndent;
    return size;
}

int COXCoolToolBar::WrapToolBar(std::vector<TBBUTTON>& buttons, int width) {
    const auto hidden = [&](size_t j) { return (buttons[j].fsState & TBSTATE_HIDDEN) != 0; };
    const auto sep = [&](size_t j) { return (buttons[j].fsStyle & TBSTYLE_SEP) != 0; };
    int rows = 1, x = 0;
    size_t rowStart = 0;
    for (auto& b : buttons) b.fsState &= ~TBSTATE_WRAP;
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (hidden(i)) continue;
        const int w = MeasuredWidth(buttons[i]);
        if (x + w <= width || i == rowStart) {
            x += w;
            continue;
        }
        // Going back from the button that does not fit: the nearest plain
        // separator of the row (the button itself too), else the nearest
        // entry before it that is no control's slot.
        size_t at = buttons.size();
        for (size_t j = i + 1; j-- > rowStart;)
            if (sep(j) && buttons[j].idCommand == 0 && !hidden(j)) {
                at = j;
                break;
            }
        if (at == buttons.size())
            for (size_t j = i; j-- > rowStart;)
                if (!hidden(j) && !(sep(j) && buttons[j].idCommand != 0)) {
                    at = j;
                    break;
                }
        if (at == buttons.size()) {
            x += w;
            continue;
        }
        buttons[at].fsState |= TBSTATE_WRAP;
        ++rows;
        rowStart = at + 1;
        x = 0;
        i = at;  // the row starts afresh after the break
    }
    return rows;
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
CRect COXCoolToolBar::IconMargins(BOOL horz) const {
    if (!m_hIcon) return CRect(0, 0, 0, 0);
    if (horz) return CRect(GetSystemMetrics(SM_CXSMICON) + 2, 0, 0, 0);
    return CRect(0, GetSystemMetrics(SM_CYSMICON) + 2, 0, 0);
}

void COXCoolToolBar::CalcInsideRect(CRect& rect, BOOL horz) const {
    CMFCToolBar::CalcInsideRect(rect, horz);
    CRect margins = GetNonClientMargins(horz);
    const CRect icon = IconMargins(horz);
    margins.left += icon.left;
    margins.top += icon.top;
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
    const BOOL horz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    RECT& client = params->rgrc[0];
    if (IsFlat()) {
        // A flat bar in a rebar sits 2 pixels in from its band's edge.
        if (horz) OffsetRect(&client, 0, 2);
        else OffsetRect(&client, 2, 0);
    }
    const CRect icon = IconMargins(horz);
    client.left += icon.left;
    client.top += icon.top;
    const CRect margins = GetNonClientMargins(horz);
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
    if (m_hIcon) {
        CRect rest = window;
        DrawIcon(&dc, rest);
    }
    OnNcPaintDone(&dc);
}

void COXCoolToolBar::DrawIcon(CDC* dc, CRect& window) {
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    const bool atStart = !IsFloating() && (m_dwStyle & CBRS_ORIENT_HORZ ? window.left == 0 : window.top == 0);
    CRect icon;
    if (m_dwStyle & CBRS_ORIENT_HORZ) {
        if (atStart) icon = CRect(CPoint(window.left + 10, window.top + (window.Height() - cy) / 2), CSize(cx, cy));
        else icon = CRect(CPoint(window.left + 3, window.top + 3), CSize(cx, cy));
        window.left = icon.right + 1;
    } else {
        const int left = window.left + (window.Width() - cx) / 2;
        icon = CRect(CPoint(left, window.top + (atStart ? 10 : 3)), CSize(cx, cy));
        window.top = icon.bottom + 1;
    }
    m_rectIcon = icon;
    DrawIconEx(*dc, icon.left, icon.top, m_hIcon, cx, cy, 0, nullptr, DI_NORMAL);
}

void COXCoolToolBar::EraseNonClient() {
    CWindowDC dc(this);
    CRect window = NonClientRect(dc);
    if (!m_bCool) DrawBorders(&dc, window);
    if (!(m_dwStyle & CBRS_BORDER_3D)) window.InflateRect(1, 1);
    IntersectClipRect(dc, window.left, window.top, window.right, window.bottom);
    m_hNonClientEraseDC = dc.GetSafeHdc();
    SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(m_hNonClientEraseDC));
    m_hNonClientEraseDC = nullptr;
}

LRESULT COXCoolToolBar::OnEraseBkgnd(HDC dc) {
    if (!IsPaintBuffer(dc) && dc != m_hNonClientEraseDC) return TRUE;  // the buffered paint erases
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
        // The controls take the shape of the new state at once (a control
        // a floating bar does not show gives way to its button).
        if (!m_customButtons.empty()) UpdateCustomButtons(TRUE, TRUE);
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

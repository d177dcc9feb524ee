#include "bars/SkinnedStatusBar.h"

#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"

#include <algorithm>

namespace {
constexpr int kPaneGap = 6;  // the control's own margin around a pane's text
const wchar_t kWidestPercent[] = L"999%";
}  // namespace

COXStatusBar::COXStatusBar() = default;

COXStatusBar::~COXStatusBar() = default;

const MessageMap* COXStatusBar::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXStatusBar::OnSetMinHeight>(SB_SETMINHEIGHT),
        MapMessage<&COXStatusBar::OnCreate>(WM_CREATE),
        MapMessage<&COXStatusBar::OnPaint>(WM_PAINT),
        MapMessage<&COXStatusBar::OnSize>(WM_SIZE),
        MapMessage<&COXStatusBar::OnSetCursor>(WM_SETCURSOR),
        MapMessage<&COXStatusBar::OnLButtonDblClk>(WM_LBUTTONDBLCLK),
        MapMessage<&COXStatusBar::OnReflectDrawItem>(WM_REFLECT_BASE + WM_DRAWITEM),
    };
    static const MessageMap map{CStatusBar::GetMessageMap(), entries};
    return &map;
}

COXStatusBar::PaneExtras* COXStatusBar::Extras(int index) {
    if (index < 0 || index >= GetCount()) return nullptr;
    if (m_extras.size() < static_cast<size_t>(GetCount())) m_extras.resize(static_cast<size_t>(GetCount()));
    return &m_extras[static_cast<size_t>(index)];
}

const COXStatusBar::PaneExtras* COXStatusBar::Extras(int index) const {
    if (index < 0 || index >= GetCount() || static_cast<size_t>(index) >= m_extras.size()) return nullptr;
    return &m_extras[static_cast<size_t>(index)];
}

HFONT COXStatusBar::PaneFont(int index) const {
    const PaneExtras* extras = Extras(index);
    return (extras && extras->font) ? static_cast<HFONT>(*extras->font) : GetFont();
}

int COXStatusBar::WidthOf(const wchar_t* text, HFONT font) const {
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    RECT r{};
    ::DrawTextW(dc, text, -1, &r, DT_SINGLELINE | DT_CALCRECT);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    return r.right - r.left;
}

COXStatusbarSkin* COXStatusBar::GetStatusbarSkin() {
    return LookupElementSkin<COXStatusbarSkin, COXStatusbarSkinClassic>(m_pFallbackSkin, &COXSkin::GetStatusbarSkin);
}

BOOL COXStatusBar::GetPaneControlRect(int index, CRect& rect, BOOL forProgress) const {
    GetItemRect(index, &rect);
    if (rect.IsRectEmpty()) return FALSE;
    int borders[3] = {};
    SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    rect.left += borders[2];
    rect.top += borders[0] + 1;
    rect.right -= borders[2];
    rect.bottom -= borders[0] + 1;
    if (forProgress) rect.bottom -= 1;
    return TRUE;
}

// Layout -----------------------------------------------------------------------------------

void COXStatusBar::CalcInsideRect(CRect& rect, BOOL horz) const {
    CStatusBar::CalcInsideRect(rect, horz);
    if (GetParentFrame() && WantsSizeGripper()) rect.right -= std::min<LONG>(rect.Width(), rect.Height());
}

BOOL COXStatusBar::WantsSizeGripper() const {
    // The frame the bar sits in, not its parent window: a bar floating in a mini frame has a dock
    // bar between them.
    const CFrameWnd* frame = GetParentFrame();
    if (!frame) return TRUE;
    const DWORD style = frame->GetStyle();
    return (style & WS_THICKFRAME) && !(style & WS_MAXIMIZE);
}

BOOL COXStatusBar::SetIndicators(const UINT* ids, int count) {
    // The extras belong to the panes they were set on: none may pass to a new pane of the same index.
    std::vector<PaneExtras> old;
    old.swap(m_extras);
    m_percentRoom.reset();
    if (!CStatusBar::SetIndicators(ids, count)) {
        m_extras.swap(old);  // refused: the panes are as they were
        return FALSE;
    }
    return TRUE;  // the old progress controls are destroyed with their records
}

void COXStatusBar::UpdatePanes() {
    if (!m_hWnd || m_panes.empty()) return;
    UpdateAllPanes(TRUE, FALSE);
    // Every pane is owner-drawn: the control frames it and DrawItem draws its contents.
    for (size_t i = 0; i < m_panes.size(); ++i)
        SendMessage(SB_SETTEXTW, i | SBT_OWNERDRAW | (m_panes[i].style & (SBT_NOBORDERS | SBT_POPOUT)), static_cast<LPARAM>(i));
}

void COXStatusBar::UpdateAllPanes(BOOL sizes, BOOL texts) {
    if (!m_hWnd) return;
    const int count = GetCount();
    if (sizes && count > 0) {
        m_percentRoom.reset();
        CRect inside;
        GetClientRect(&inside);
        CalcInsideRect(inside, TRUE);
        int borders[3] = {};
        SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
        const int between = borders[2];
        int free = inside.Width() + between;
        int stretching = 0;
        for (const Pane& pane : m_panes) {
            if (pane.style & SBPS_STRETCH) ++stretching;
            free -= pane.width + kPaneGap + between;
        }
        std::vector<int> edges;
        int x = inside.left;
        for (const Pane& pane : m_panes) {
            x += kPaneGap + pane.width;
            if ((pane.style & SBPS_STRETCH) && free > 0 && stretching > 0) {
                const int share = free / stretching;
                x += share;
                free -= share;
                --stretching;
            }
            edges.push_back(x);
            x += between;
        }
        SendMessage(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
        for (int i = 0; i < count; ++i) {
            PaneExtras* extras = Extras(i);
            if (!extras->progress || !(m_panes[static_cast<size_t>(i)].style & SBPS_PROGRESS)) continue;
            ProgressRecord& record = *extras->progress;
            const int percentWidth = record.showPercent ? WidthOf(kWidestPercent, PaneFont(i)) : 0;
            if (!record.created) CreatePaneProgress(i, record);
            CRect r;
            if (record.created && GetPaneControlRect(i, r, TRUE)) {
                r.left += percentWidth;
                record.rect = r;
                record.control.SetWindowPos(nullptr, r.left, r.top, r.Width(), r.Height(),
                                            SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
            }
        }
    }
    if (texts) {
        for (int i = 0; i < count; ++i) {
            Pane& pane = m_panes[static_cast<size_t>(i)];
            if (pane.flags & SBPF_UPDATE) SetPaneText(i, CString(pane.text), TRUE);
        }
    }
}

BOOL COXStatusBar::CreatePaneProgress(int index, ProgressRecord& record) {
    if (record.created) return TRUE;
    CRect r;
    if (!GetPaneControlRect(index, r, TRUE)) return FALSE;
    if (record.showPercent) r.left += WidthOf(kWidestPercent, PaneFont(index));
    m_panes[static_cast<size_t>(index)].text.Empty();
    if (!record.control.CreateEx(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, r, this, static_cast<UINT>(index)))
        return FALSE;
    record.control.ModifyStyleEx(WS_EX_STATICEDGE, 0, SWP_FRAMECHANGED);
    record.control.SendMessage(PBM_SETRANGE32, 0, 100);
    record.control.SendMessage(PBM_SETPOS, static_cast<WPARAM>(record.percent));
    record.rect = r;
    record.created = TRUE;
    return TRUE;
}

// Messages ---------------------------------------------------------------------------------

LRESULT COXStatusBar::OnSetMinHeight(WPARAM wParam, LPARAM) {
    const LRESULT result = Default();
    m_nMinHeight = static_cast<int>(wParam);
    return result;
}

int COXStatusBar::OnCreate(LPCREATESTRUCT) {
    if (Default() == -1) return -1;
    if (!m_memDC.CreateCompatibleDC(nullptr)) return -1;
    return 0;
}

void COXStatusBar::OnPaint() {
    m_percentRoom.reset();
    GetStatusbarSkin()->DrawStatusBar(this);
}

void COXStatusBar::OnSize(UINT, int, int) {
    Default();
    if (GetCount() > 0) UpdateAllPanes(TRUE, TRUE);
    for (int i = 0; i < GetCount(); ++i) {
        CRect r;
        GetItemRect(i, &r);
        InvalidateRect(&r, FALSE);
    }
}

int COXStatusBar::PaneAt(CPoint point) const {
    for (int i = 0; i < GetCount(); ++i) {
        CRect r;
        GetItemRect(i, &r);
        if (r.PtInRect(point)) return i;
    }
    return -1;
}

LRESULT COXStatusBar::OnSetCursor(WPARAM, LPARAM lParam) {
    if (LOWORD(lParam) == HTCLIENT) {
        // Where the pointer is now: the cursor is asked for before the move that brought it here is read.
        CPoint point;
        ::GetCursorPos(&point);
        ScreenToClient(&point);
        const PaneExtras* extras = Extras(PaneAt(point));
        if (extras && extras->cursor) {
            ::SetCursor(extras->cursor);
            return TRUE;
        }
    }
    return Default();
}

void COXStatusBar::OnLButtonDblClk(UINT, CPoint point) {
    const int pane = PaneAt(point);
    if (pane < 0) return;
    if (CWnd* parent = GetParent()) parent->SendMessage(WM_OX_STATUSBAR_DBLCLK, GetItemID(pane), 0);
}

LRESULT COXStatusBar::OnReflectDrawItem(WPARAM, LPARAM lParam) {
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    return TRUE;
}

// Drawing ----------------------------------------------------------------------------------

void COXStatusBar::DrawItem(LPDRAWITEMSTRUCT item) {
    const int index = static_cast<int>(item->itemID);
    if (index < 0 || index >= GetCount()) return;
    if (m_buildingPercentRoom && m_buildingPercentRoom->pane == index) {
        // The room's background is being kept: the text is drawn over it at each step.
        m_buildingPercentRoom->item = item->rcItem;
        m_buildingPercentRoom->itemSeen = true;
        return;
    }
    DrawPaneText(item->hDC, index, item->rcItem);
}

void COXStatusBar::DrawPaneText(HDC dc, int index, const CRect& item) {
    const Pane& pane = m_panes[static_cast<size_t>(index)];
    if (pane.style & SBPS_DISABLED) return;
    CString text = pane.text;
    CRect r(item);
    const PaneExtras* extras = Extras(index);
    UINT format = DT_SINGLELINE | DT_NOPREFIX;
    if (extras && extras->progress && (pane.style & SBPS_PROGRESS)) {
        // A progress pane shows its percentage in the room left of the bar.
        if (!extras->progress->showPercent || !extras->progress->created) return;
        text.Format(L"%d%%", extras->progress->percent);
        r.right = extras->progress->rect.left - 2;
        format |= DT_RIGHT;
    }
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = ::SelectObject(dc, PaneFont(index));
    const COLORREF color = (extras && extras->textColor != CLR_DEFAULT) ? extras->textColor : ::GetSysColor(COLOR_BTNTEXT);
    const COLORREF oldColor = ::SetTextColor(dc, color);
    RECT measure{};
    ::DrawTextW(dc, text, text.GetLength(), &measure, format | DT_CALCRECT);
    r.top += (r.Height() - (measure.bottom - measure.top)) / 2;
    if (!(format & DT_RIGHT)) r.left += 2;
    ::DrawTextW(dc, text, text.GetLength(), &r, format);
    ::SetTextColor(dc, oldColor);
    ::SelectObject(dc, oldFont);
    ::SetBkMode(dc, oldMode);
}

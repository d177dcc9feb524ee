#include "bars/DockBar.h"

#include "bars/DockContext.h"

#include <algorithm>

CDockBar::CDockBar(BOOL floating) : m_bFloating(floating) {
    m_arrBars.push_back(nullptr);
    m_cxLeftBorder = m_cxRightBorder = m_cyTopBorder = m_cyBottomBorder = 0;
}

const MessageMap* CDockBar::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CDockBar::OnSizeParent>(WM_SIZEPARENT),
        MapMessage<&CDockBar::OnNcCalcSize>(WM_NCCALCSIZE),
    };
    static const MessageMap map{CControlBar::GetMessageMap(), entries};
    return &map;
}

BOOL CDockBar::Create(CWnd* parent, DWORD style, UINT id) {
    m_dwStyle = style & CBRS_ALL;
    return CreateEx(0, RegisterWndClass(CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW)), L"", style | WS_CLIPCHILDREN,
                    CRect(0, 0, 0, 0), parent, id);
}

LRESULT CDockBar::OnNcCalcSize(WPARAM, LPARAM) { return 0; }  // no border: the bars draw their own

void CDockBar::DoPaint(CDC* dc) {
    CRect client;
    GetClientRect(&client);
    dc->FillSolidRect(client, GetSysColor(COLOR_BTNFACE));
}

int CDockBar::FindBar(const CControlBar* bar) const {
    for (size_t i = 0; i < m_arrBars.size(); ++i)
        if (m_arrBars[i] == bar) return static_cast<int>(i);
    return -1;
}

int CDockBar::GetDockedCount() const {
    return static_cast<int>(std::count_if(m_arrBars.begin(), m_arrBars.end(), [](CControlBar* b) { return IsBarPointer(b); }));
}

int CDockBar::GetDockedVisibleCount() const {
    return static_cast<int>(std::count_if(m_arrBars.begin(), m_arrBars.end(), [](CControlBar* b) { return IsBarPointer(b) && b->IsVisible(); }));
}

CControlBar* CDockBar::GetDockedControlBar(int index) const {
    if (index < 0 || index >= static_cast<int>(m_arrBars.size())) return nullptr;
    return m_arrBars[static_cast<size_t>(index)];
}

BOOL CDockBar::RemoveControlBar(CControlBar* bar) {
    int index = FindBar(bar);
    if (index < 0) return FALSE;
    m_arrBars.erase(m_arrBars.begin() + index);
    // A row left empty loses its row end.
    if (index < static_cast<int>(m_arrBars.size()) && !m_arrBars[static_cast<size_t>(index)] && index > 0 &&
        !m_arrBars[static_cast<size_t>(index - 1)])
        m_arrBars.erase(m_arrBars.begin() + index);
    if (bar->m_pDockBar == this) bar->m_pDockBar = nullptr;
    // A floating frame that holds nothing more goes away.
    if (m_bFloating && GetDockedCount() == 0 && m_hWnd) {
        if (CWnd* frame = GetParent(); frame && frame->m_hWnd) frame->PostMessage(WM_CLOSE, 0, 0);
    }
    return TRUE;
}

int CDockBar::InsertIndexFor(const CRect& rect) {
    // Rows as they stand now: the first bar's window gives each row's position across the bar.
    const bool horz = IsHorizontal() || m_bFloating;
    const int cross = horz ? rect.top + rect.Height() / 2 : rect.left + rect.Width() / 2;
    const int along = horz ? rect.left : rect.top;
    int rowStart = 1;
    for (size_t i = 1; i <= m_arrBars.size(); ++i) {
        if (i < m_arrBars.size() && m_arrBars[i]) continue;
        // Row [rowStart, i): find its extent across the bar.
        int lo = INT_MAX, hi = INT_MIN;
        for (size_t j = static_cast<size_t>(rowStart); j < i; ++j) {
            CControlBar* bar = m_arrBars[j];
            if (!IsBarPointer(bar) || !bar->m_hWnd) continue;
            CRect w;
            bar->GetWindowRect(&w);
            ScreenToClient(&w);
            lo = std::min<int>(lo, horz ? w.top : w.left);
            hi = std::max<int>(hi, horz ? w.bottom : w.right);
        }
        if (lo != INT_MAX && cross < lo) {
            // Before this row: a row of its own.
            m_arrBars.insert(m_arrBars.begin() + rowStart, nullptr);
            return rowStart;
        }
        if (lo != INT_MAX && cross >= lo && cross < hi) {
            size_t at = static_cast<size_t>(rowStart);
            while (at < i) {
                CRect w;
                if (!IsBarPointer(m_arrBars[at]) || !m_arrBars[at]->m_hWnd) {
                    ++at;
                    continue;
                }
                m_arrBars[at]->GetWindowRect(&w);
                ScreenToClient(&w);
                if ((horz ? w.left : w.top) > along) break;
                ++at;
            }
            return static_cast<int>(at);
        }
        rowStart = static_cast<int>(i) + 1;
    }
    // After every row: a new row at the end.
    if (m_arrBars.back() != nullptr) m_arrBars.push_back(nullptr);
    return static_cast<int>(m_arrBars.size());
}

void CDockBar::DockControlBar(CControlBar* bar, LPCRECT rect) {
    if (!bar || !bar->m_hWnd) return;
    CDockBar* old = bar->m_pDockBar;
    if (old && old != this) old->RemoveControlBar(bar);
    else if (old == this) RemoveControlBar(bar);

    DWORD style = bar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_BORDER_ANY | CBRS_FLOATING);
    style |= (m_dwStyle & CBRS_ALIGN_ANY) | CBRS_BORDER_ANY;
    if (m_bFloating) style |= CBRS_FLOATING;
    bar->m_dwStyle = style;
    if (m_bFloating && (bar->m_dwDockStyle & CBRS_FLOAT_MULTI)) m_dwStyle |= CBRS_FLOAT_MULTI;
    if (m_bFloating && !(m_dwStyle & CBRS_FLOAT_MULTI)) SetWindowText(bar->GetWindowText());

    if (::GetParent(bar->m_hWnd) != m_hWnd) {
        // Hidden while it moves to another parent, so that nothing flickers at the old place.
        const BOOL visible = bar->GetStyle() & WS_VISIBLE;
        if (visible) bar->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
        ::SetParent(bar->m_hWnd, m_hWnd);
        if (visible) bar->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    bar->m_pDockBar = this;
    if (rect) {
        CRect place(*rect);
        ScreenToClient(&place);
        int index = InsertIndexFor(place);
        m_arrBars.insert(m_arrBars.begin() + index, bar);
        if (index + 1 >= static_cast<int>(m_arrBars.size())) m_arrBars.push_back(nullptr);
        place.left = std::max<LONG>(place.left, 0);
        place.top = std::max<LONG>(place.top, 0);
        bar->SetWindowPos(nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (bar->m_pDockContext && !m_bFloating) {
            bar->m_pDockContext->m_uMRUDockID = GetDlgCtrlID();
            bar->m_pDockContext->m_rectMRUDockPos = *rect;
        }
    } else {
        if (m_arrBars.back() != nullptr) m_arrBars.push_back(nullptr);
        m_arrBars.push_back(bar);
        m_arrBars.push_back(nullptr);
        bar->SetWindowPos(nullptr, -2, -2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (bar->m_pDockContext && !m_bFloating) bar->m_pDockContext->m_uMRUDockID = GetDlgCtrlID();
    }
    bar->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

LRESULT CDockBar::OnSizeParent(WPARAM wParam, LPARAM lParam) {
    auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    m_rectLayout = layout->rect;
    m_bLayoutQuery = AfxIsLayoutQuery(layout);
    return CControlBar::OnSizeParent(wParam, lParam);
}

CSize CDockBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
    CSize fixed = CControlBar::CalcFixedLayout(stretch, horz);
    CSize available = m_rectLayout.Size();
    if (m_rectLayout.IsRectEmpty()) {
        CRect frame;
        if (CWnd* parent = GetParent()) parent->GetClientRect(&frame);
        available = frame.Size();
    }
    AFX_SIZEPARENTPARAMS moves;
    // The batch is begun by the first bar that moves (making one costs round trips to the server).
    moves.bBatchOnDemand = !m_bLayoutQuery;
    // Running position along the row and across the rows; rows overlap by the bars' doubled borders.
    int along = 0, across = 0, thickness = 0;
    const int alongMax = horz ? available.cx : available.cy;
    for (size_t i = 0; i < m_arrBars.size(); ++i) {
        CControlBar* bar = m_arrBars[i];
        if (IsBarPointer(bar) && bar->m_hWnd) {
            if (bar->IsVisible()) {
                DWORD mode = 0;
                if ((bar->m_dwStyle & CBRS_SIZE_DYNAMIC) && (bar->m_dwStyle & CBRS_FLOATING)) mode = LM_HORZ | LM_MRUWIDTH;
                else if (bar->m_dwStyle & CBRS_ORIENT_HORZ) mode = LM_HORZ | LM_HORZDOCK;
                else mode = LM_VERTDOCK;
                CSize size = bar->CalcDynamicLayout(-1, mode);
                CRect current;
                bar->GetWindowRect(&current);
                ScreenToClient(&current);
                int start = along;
                // A bar moved further along its row keeps its place while it fits.
                const int was = horz ? current.left : current.top;
                if (!m_bFloating && was > start) start = was;
                const int length = horz ? size.cx : size.cy;
                if (!m_bFloating && start + length > alongMax) start = std::max(along, alongMax - length);
                // A bar that would start past the end (and is not first in its row) opens a row of its own.
                if (!m_bFloating && start >= alongMax && i > 0 && m_arrBars[i - 1]) {
                    m_arrBars.insert(m_arrBars.begin() + static_cast<long>(i), nullptr);
                    --i;
                    continue;
                }
                CRect place = horz ? CRect(start, across, start + size.cx, across + size.cy)
                                   : CRect(across, start, across + size.cx, start + size.cy);
                AfxRepositionWindow(&moves, bar->m_hWnd, &place);
                along = start + length;
                thickness = std::max<int>(thickness, horz ? size.cy : size.cx);
            }
            bar->RecalcDelayShow(&moves);
        }
        const bool rowEnd = !bar && (i + 1 == m_arrBars.size() || i > 0);
        if (rowEnd && thickness) {
            across += thickness;
            if (horz) {
                fixed.cx = std::max<LONG>(fixed.cx, along);
                fixed.cy = std::max<LONG>(fixed.cy, across);
            } else {
                fixed.cx = std::max<LONG>(fixed.cx, across);
                fixed.cy = std::max<LONG>(fixed.cy, along);
            }
            along = 0;
            thickness = 0;
        }
    }
    if (moves.hDWP) ::EndDeferWindowPos(moves.hDWP);
    return fixed;
}

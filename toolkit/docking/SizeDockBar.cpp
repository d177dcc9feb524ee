#include "docking/SizeDockBar.h"

#include "bars/CoolToolBar.h"
#include "bars/MenuBar.h"
#include "docking/SizeDockFrames.h"
#include "docking/SizeToolBar.h"
#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"

#include <algorithm>

bool IsSizeBar(const CControlBar* bar, bool plain) {
    if (!IsBarPointer(bar)) return false;
    if (!dynamic_cast<const COXSizeControlBar*>(bar)) return false;
    return !plain || !dynamic_cast<const COXSizeToolBar*>(bar);
}

namespace {
bool Exists(const CControlBar* bar) { return IsBarPointer(bar) && bar->m_hWnd && ::IsWindow(bar->m_hWnd); }
bool Shown(const CControlBar* bar) { return Exists(bar) && bar->IsVisible(); }
}  // namespace

COXSizeDockBar::COXSizeDockBar() : CDockBar(FALSE), m_TabCtrl(this) {}
COXSizeDockBar::~COXSizeDockBar() = default;

const MessageMap* COXSizeDockBar::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXSizeDockBar::OnCreate>(WM_CREATE),
        MapMessage<&COXSizeDockBar::OnSize>(WM_SIZE),
        MapMessage<&COXSizeDockBar::OnSizeParent>(WM_SIZEPARENT),
        MapMessage<&COXSizeDockBar::OnPaint>(WM_PAINT),
        MapMessage<&COXSizeDockBar::OnEraseBkgnd>(WM_ERASEBKGND),
        MapMessage<&COXSizeDockBar::OnNcPaint>(WM_NCPAINT),
        MapMessage<&COXSizeDockBar::OnMouseMove>(WM_MOUSEMOVE),
        MapMessage<&COXSizeDockBar::OnSetCursor>(WM_SETCURSOR),
        MapMessage<&COXSizeDockBar::OnLButtonDown>(WM_LBUTTONDOWN),
    };
    static const MessageMap map{CDockBar::GetMessageMap(), entries};
    return &map;
}

int COXSizeDockBar::OnCreate(LPCREATESTRUCT cs) {
    if (CControlBar::OnCreate(cs) == -1) return -1;
    if (!m_TabCtrl.Create(WS_CHILD | WS_VISIBLE | TCS_FOCUSNEVER | TCS_BOTTOM, CRect(0, 0, 0, 0), this, COXDockTabCtrl::kId))
        return -1;
    return 0;
}

COXDockbarSkin* COXSizeDockBar::GetDockbarSkin() {
    return LookupElementSkin<COXDockbarSkin, COXDockbarSkinClassic>(m_pFallbackSkin, &COXSkin::GetDockbarSkin);
}

int COXSizeDockBar::GetTabStripHeight() const {
    return (m_TabCtrl.m_hWnd && m_TabCtrl.GetItemCount() > 0) ? 28 : 0;
}

void COXSizeDockBar::PlaceTabStrip() {
    if (!m_TabCtrl.m_hWnd) return;
    CRect client;
    GetClientRect(&client);
    const int h = GetTabStripHeight();
    m_TabCtrl.SetWindowPos(nullptr, 0, client.bottom - h, client.Width(), h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void COXSizeDockBar::OnSize(UINT, int, int) {
    Default();
    PlaceTabStrip();
}

// Rows ---------------------------------------------------------------------------------------

std::vector<std::pair<int, int>> COXSizeDockBar::Rows() const {
    std::vector<std::pair<int, int>> rows;
    const int n = static_cast<int>(m_arrBars.size());
    int start = -1;
    for (int i = 0; i <= n; ++i) {
        const bool end = i == n || !m_arrBars[static_cast<size_t>(i)];
        if (end) {
            if (start >= 0 && i > start) rows.emplace_back(start, i);
            start = -1;
        } else if (start < 0) {
            start = i;
        }
    }
    return rows;
}

int COXSizeDockBar::RowStartOf(int index) const {
    while (index > 0 && m_arrBars[static_cast<size_t>(index - 1)]) --index;
    return index;
}

int COXSizeDockBar::RowEndOf(int index) const {
    const int n = static_cast<int>(m_arrBars.size());
    while (index < n && m_arrBars[static_cast<size_t>(index)]) ++index;
    return index;
}

int COXSizeDockBar::BarLength(CControlBar* bar) const {
    if (!Exists(bar)) return 0;
    CRect window;
    bar->GetWindowRect(&window);
    return std::max(0, IsHorz() ? window.Width() : window.Height());
}

LONG& COXSizeDockBar::DockedLength(COXSizeControlBar* bar) const {
    return IsHorz() ? bar->m_HorzDockSize.cx : bar->m_VertDockSize.cy;
}

// Counting and finding --------------------------------------------------------------------

int COXSizeDockBar::CountBarsInRow(COXSizeControlBar* bar) {
    CRect mine;
    bar->GetWindowRect(&mine);
    int count = 1;
    for (CControlBar* entry : m_arrBars) {
        if (entry == bar || !IsSizeBar(entry) || !Shown(entry)) continue;
        CRect other;
        entry->GetWindowRect(&other);
        if (IsHorz() ? other.top == mine.top : std::abs(other.left - mine.left) < 5) ++count;
    }
    return count;
}

int COXSizeDockBar::RowIndexOfRect(const CRect& rect) const {
    // The row whose bars span the rectangle's centre across the rows; -1 for none.
    CRect client = rect;
    ScreenToClient(&client);
    const int cross = IsHorz() ? client.CenterPoint().y : client.CenterPoint().x;
    for (const auto& [start, end] : Rows()) {
        for (int i = start; i < end; ++i) {
            CControlBar* entry = m_arrBars[static_cast<size_t>(i)];
            if (!Shown(entry)) continue;
            CRect w;
            entry->GetWindowRect(&w);
            ScreenToClient(&w);
            if (IsHorz() ? (cross >= w.top && cross < w.bottom) : (cross >= w.left && cross < w.right)) return start;
        }
    }
    return -1;
}

int COXSizeDockBar::FindRowInsertIndex(CControlBar* bar, const CRect& rect) {
    const int start = RowIndexOfRect(rect);
    if (start < 0) return static_cast<int>(m_arrBars.size());
    CRect client = rect;
    ScreenToClient(&client);
    const int along = IsHorz() ? client.left : client.top;
    int i = start;
    for (; i < RowEndOf(start); ++i) {
        CControlBar* entry = m_arrBars[static_cast<size_t>(i)];
        if (entry == bar || !Exists(entry)) continue;
        CRect w;
        entry->GetWindowRect(&w);
        ScreenToClient(&w);
        if ((IsHorz() ? w.left : w.top) > along) break;
    }
    return i;
}

int COXSizeDockBar::CountOtherBarsInRow(CControlBar* bar, const CRect& rect) {
    const int index = FindRowInsertIndex(bar, rect);
    if (index <= 0 || index > static_cast<int>(m_arrBars.size())) return 0;
    int count = 0;
    for (int i = index - 1; i > 0 && m_arrBars[static_cast<size_t>(i)]; --i)
        if (m_arrBars[static_cast<size_t>(i)] != bar && Exists(m_arrBars[static_cast<size_t>(i)])) ++count;
    for (int i = index; i < RowEndOf(index); ++i)
        if (m_arrBars[static_cast<size_t>(i)] != bar && Exists(m_arrBars[static_cast<size_t>(i)])) ++count;
    return count;
}

COXSizeControlBar* COXSizeDockBar::FindSizeControlBar(CControlBar* except) const {
    for (CControlBar* entry : m_arrBars)
        if (entry != except && IsSizeBar(entry) && Exists(entry)) return static_cast<COXSizeControlBar*>(entry);
    return nullptr;
}

CControlBar* COXSizeDockBar::FindCoolToolBar(CControlBar* except) const {
    for (CControlBar* entry : m_arrBars)
        if (entry != except && IsBarPointer(entry) && dynamic_cast<COXCoolToolBar*>(entry)) return entry;
    return nullptr;
}

int COXSizeDockBar::CountSizeControlBars(CControlBar* except) const {
    return static_cast<int>(std::count_if(m_arrBars.begin(), m_arrBars.end(),
                                          [&](CControlBar* e) { return e != except && IsSizeBar(e) && Exists(e); }));
}

COXSizeDockBar* COXSizeDockBar::FindDockBarAt(CControlBar* bar, CPoint screen) {
    CFrameWnd* frame = bar ? bar->GetDockingFrame() : nullptr;
    if (!frame) frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    if (!frame || !bar) return nullptr;
    struct Side {
        UINT id;
        DWORD align;
    };
    static constexpr Side kSides[] = {{AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT},
                                      {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT},
                                      {AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP},
                                      {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM}};
    const bool isSizeBar = dynamic_cast<COXSizeControlBar*>(bar) != nullptr;
    const bool isCoolBar = dynamic_cast<COXCoolToolBar*>(bar) != nullptr;
    for (int pass = 0; pass < 2; ++pass) {
        for (const Side& side : kSides) {
            auto* dock = dynamic_cast<COXSizeDockBar*>(frame->GetControlBar(side.id));
            if (!dock || !(bar->m_dwDockStyle & side.align)) continue;
            CRect zone;
            dock->GetWindowRect(&zone);
            if (pass == 1) {
                zone.InflateRect(20, 20);
                if (side.align & CBRS_ORIENT_VERT) zone.bottom -= 28;
            }
            if (!zone.PtInRect(screen)) continue;
            if (isSizeBar && dock->FindCoolToolBar(bar)) continue;
            if (isCoolBar && dock->FindSizeControlBar(bar)) continue;
            if (dock->GetTabStripHeight() > 0 && dock->m_TabCtrl.HitTestTabArea(screen) == -1) continue;
            return dock;
        }
    }
    return nullptr;
}

// Docking ---------------------------------------------------------------------------------

void COXSizeDockBar::DockControlBar(CControlBar* bar, LPCRECT rect) {
    if (!bar || !bar->m_hWnd) return;
    auto* sizeBar = dynamic_cast<COXSizeControlBar*>(bar);
    if (auto* from = dynamic_cast<COXSizeDockBar*>(bar->m_pDockBar); from && from != this && from->m_TabCtrl.FindBar(sizeBar) >= 0)
        from->m_TabCtrl.RemoveTab(sizeBar);
    CRect adjusted;
    if (rect) {
        adjusted = AdjustInsertRect(bar, *rect);
        rect = &adjusted;
    }
    int tabAt = -1;
    // Whether the bar stood in a row with another size bar where it was before this move: only
    // then does a drop on the strip start a tab group.
    const bool rowShared = sizeBar && CountBarsInRow(sizeBar) > 1;
    if (sizeBar && rect) {
        tabAt = m_TabCtrl.HitTestTabArea(CRect(*rect).TopLeft());
        const int own = m_TabCtrl.FindBar(sizeBar);
        if (tabAt == -1 && own >= 0) m_TabCtrl.RemoveTab(sizeBar);
    }
    {
        // Moved within this dock bar onto the strip, a bar keeps its tab (it may move below).
        const BOOL redocking = m_bRedocking;
        m_bRedocking = bar->m_pDockBar == this && tabAt >= 0;
        CDockBar::DockControlBar(bar, rect);
        m_bRedocking = redocking;
    }
    // The dock bar takes the bar's sizing bits and, unless it holds several floating bars, its title.
    m_dwStyle |= bar->m_dwStyle & (CBRS_SIZE_FIXED | CBRS_SIZE_DYNAMIC);
    if (!(m_dwStyle & CBRS_FLOAT_MULTI)) SetWindowText(bar->GetWindowText());
    // A size bar takes its docked shape for this side at once, so that the row it joins is
    // measured with its own thickness, not with the shape it had elsewhere.
    if (sizeBar) {
        const CSize shape = IsHorz() ? sizeBar->m_HorzDockSize : sizeBar->m_VertDockSize;
        if (shape.cx > 0 && shape.cy > 0)
            sizeBar->SetWindowPos(nullptr, 0, 0, shape.cx, shape.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!m_bFloating && rect) {
        // Its place along the row: after the bars before it (a splitter's width after a size bar).
        const int index = FindBar(bar);
        CRect window;
        bar->GetWindowRect(&window);
        ScreenToClient(&window);
        CRect self;
        GetWindowRect(&self);
        ScreenToClient(&self);
        int position = IsHorz() ? self.left - 2 : self.top;
        for (int i = RowStartOf(index); i < index; ++i) {
            CControlBar* other = m_arrBars[static_cast<size_t>(i)];
            if (!Shown(other)) continue;
            CRect w;
            other->GetWindowRect(&w);
            ScreenToClient(&w);
            const int edge = (IsHorz() ? w.right : w.bottom) + ((IsSizeBar(other) && sizeBar) ? kSplitter : 0);
            if (edge > position) position = edge - (IsHorz() ? 2 : 0);
        }
        // A size bar goes to the insert position; any other bar to where it was dropped, but not
        // before the insert position nor, while that leaves room, past the dock bar's far edge.
        int at = position;
        if (!sizeBar) {
            const int dropped = IsHorz() ? static_cast<int>(window.left) : static_cast<int>(window.top);
            const int farEdge = IsHorz() ? static_cast<int>(self.right) : static_cast<int>(self.bottom) - GetTabStripHeight();
            const int length = IsHorz() ? window.Width() : window.Height();
            at = std::max(position, std::min(dropped, farEdge - length));
        }
        if (IsHorz()) bar->SetWindowPos(nullptr, at, window.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
        else bar->SetWindowPos(nullptr, window.left, at, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
    }
    if (sizeBar && tabAt >= 0) {
        const int own = m_TabCtrl.FindBar(sizeBar);
        if (own >= 0 && own != tabAt) {
            CRect r(*rect);
            m_TabCtrl.MoveTab(sizeBar, r.TopLeft());
        } else if (own < 0 && (m_TabCtrl.GetItemCount() > 0 || rowShared)) {
            m_TabCtrl.InsertTab(sizeBar, tabAt, TRUE);
        }
    }
}

CRect COXSizeDockBar::AdjustInsertRect(CControlBar* bar, const CRect& screen) const {
    CRect place = screen;
    ScreenToClient(&place);
    CPoint point = place.TopLeft();
    const bool h = IsHorz();
    // A menu bar keeps its row to itself up to its far edge: a bar dropped onto a menu bar, or a
    // menu bar dropped onto another bar, goes in behind it.
    const bool menuBar = dynamic_cast<COXMenuBar*>(bar) != nullptr;
    for (CControlBar* entry : m_arrBars) {
        if (entry == bar || !Shown(entry) || !(menuBar || dynamic_cast<COXMenuBar*>(entry))) continue;
        CRect w;
        entry->GetWindowRect(&w);
        ScreenToClient(&w);
        const int cross = h ? point.y : point.x, along = h ? point.x : point.y;
        const bool sameRow = h ? (cross >= w.top && cross < w.bottom) : (cross >= w.left && cross < w.right);
        const int nearEdge = h ? w.left : w.top, farEdge = h ? w.right : w.bottom;
        if (!sameRow || along < nearEdge || along >= farEdge) continue;
        (h ? point.x : point.y) = farEdge + 2;
    }
    // A point just before the dock bar's edges goes onto its doubled border.
    CRect self;
    GetWindowRect(&self);
    ScreenToClient(&self);
    if (point.x >= self.left - 11 && point.x <= self.left - 3) point.x = self.left - 2;
    if (point.y >= self.top - 11 && point.y <= self.top - 3) point.y = self.top - 2;
    place.OffsetRect(point.x - place.left, point.y - place.top);
    ClientToScreen(&place);
    return place;
}

BOOL COXSizeDockBar::RemoveControlBar(CControlBar* bar) {
    // A bar that leaves the dock bar takes its tab with it, whatever bar it is.
    if (!m_bRedocking && m_TabCtrl.m_hWnd && m_TabCtrl.FindBar(bar) >= 0) m_TabCtrl.RemoveTab(bar);
    std::erase(m_arrHiddenBars, bar);
    return CDockBar::RemoveControlBar(bar);
}

// Layout ----------------------------------------------------------------------------------

LRESULT COXSizeDockBar::OnSizeParent(WPARAM wParam, LPARAM lParam) {
    auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    m_bLayoutQuery = AfxIsLayoutQuery(layout);
    const CRect free(layout->rect);
    const CSize avail(std::max(0, free.Width()), std::max(0, free.Height() - GetTabStripHeight()));
    const int length = IsHorz() ? avail.cx : avail.cy;
    const bool changed = !(avail == m_sizeAvail);
    m_sizeAvail = avail;
    // Bars shown again since the last pass take their room from the rest of their row.
    for (const auto& [start, end] : Rows()) {
        int sum = 0;
        std::vector<CControlBar*> others;
        for (int i = start; i < end; ++i) {
            CControlBar* entry = m_arrBars[static_cast<size_t>(i)];
            if (!Shown(entry)) continue;
            if (std::find(m_arrHiddenBars.begin(), m_arrHiddenBars.end(), entry) != m_arrHiddenBars.end()) {
                auto* sizeBar = dynamic_cast<COXSizeControlBar*>(entry);
                sum += sizeBar ? DockedLength(sizeBar) : BarLength(entry);
            } else {
                others.push_back(entry);
            }
        }
        if (!others.empty() && sum != 0) {
            others.push_back(nullptr);
            const OXROWMEASURE m = MeasureRow(0, others);
            FitRow(0, std::max(0, m.totalLength - sum), others);
        }
    }
    m_arrHiddenBars.clear();
    for (CControlBar* entry : m_arrBars)
        if (Exists(entry) && !entry->IsVisible()) m_arrHiddenBars.push_back(entry);
    const UINT key = LayoutKey();
    if (changed || key != m_nLayoutKey) {
        FitAllRows(length);
        m_nLayoutKey = key;
        InvalidateSplitters();
    }
    return CDockBar::OnSizeParent(wParam, lParam);
}

CSize COXSizeDockBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
    if (m_arrBars.size() < 2) return CDockBar::CalcFixedLayout(stretch, horz);
    m_arrSplitters.clear();
    const bool h = IsHorz();
    const bool farSide = (m_dwStyle & (CBRS_ALIGN_BOTTOM | CBRS_ALIGN_RIGHT)) != 0;
    int availLength = h ? m_sizeAvail.cx : m_sizeAvail.cy;
    if (availLength <= 0) {
        CRect frame;
        if (CWnd* parent = GetParent()) parent->GetClientRect(&frame);
        availLength = h ? frame.Width() : frame.Height();
    }
    // Rows that overflow the length are split at the bar that does not fit.
    for (bool split = true; split;) {
        split = false;
        for (const auto& [start, end] : Rows()) {
            int along = 0, shownBefore = 0;
            bool previousPlain = false;
            for (int i = start; i < end; ++i) {
                CControlBar* entry = m_arrBars[static_cast<size_t>(i)];
                if (!Shown(entry)) continue;
                const bool plain = IsSizeBar(entry, true);
                if (plain && previousPlain) along += kSplitter;
                previousPlain = plain;
                const CSize size = entry->CalcDynamicLayout(-1, h ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK);
                along += h ? size.cx : size.cy;
                if (along > availLength && shownBefore > 0 && !IsSizeBar(entry)) {
                    m_arrBars.insert(m_arrBars.begin() + i, nullptr);
                    FitRow(start, availLength, m_arrBars);
                    FitRow(i + 1, availLength, m_arrBars);
                    split = true;
                    break;
                }
                ++shownBefore;
            }
            if (split) break;
        }
    }
    // A batch only when a window changes (making one costs round trips to the server): begun
    // by the first bar to show, hide or move.
    AFX_SIZEPARENTPARAMS moves;
    moves.bBatchOnDemand = !m_bLayoutQuery;
    std::vector<std::pair<CControlBar*, CRect>> places;
    const auto rows = Rows();
    int lastSizeRow = -1;
    for (size_t r = 0; r < rows.size(); ++r)
        for (int i = rows[r].first; i < rows[r].second; ++i)
            if (IsSizeBar(m_arrBars[static_cast<size_t>(i)], true) && Shown(m_arrBars[static_cast<size_t>(i)])) lastSizeRow = static_cast<int>(r);
    int across = 0;
    for (size_t r = 0; r < rows.size(); ++r) {
        const auto [start, end] = rows[r];
        bool rowHasSize = false;
        for (int i = start; i < end; ++i) {
            CControlBar* entry = m_arrBars[static_cast<size_t>(i)];
            if (Exists(entry)) entry->RecalcDelayShow(&moves);
            if (IsSizeBar(entry, true) && Shown(entry)) rowHasSize = true;
        }
        if (farSide && rowHasSize) {
            m_arrSplitters.push_back(std::make_unique<COXSplitterRect>(
                COXSplitterRect::BetweenRows, h ? CRect(0, across, 0, across + kSplitter) : CRect(across, 0, across + kSplitter, 0), start));
            across += kSplitter;
        }
        int along = 0, thickness = 0;
        bool previousPlain = false;
        const size_t firstSplitterOfRow = m_arrSplitters.size();
        for (int i = start; i < end; ++i) {
            CControlBar* entry = m_arrBars[static_cast<size_t>(i)];
            if (!Shown(entry)) continue;
            const bool plain = IsSizeBar(entry, true);
            if (plain && previousPlain) {
                m_arrSplitters.push_back(std::make_unique<COXSplitterRect>(
                    COXSplitterRect::BetweenBars, h ? CRect(along, across, along + kSplitter, across) : CRect(across, along, across, along + kSplitter), i));
                along += kSplitter;
            }
            previousPlain = plain;
            const CSize size = entry->CalcDynamicLayout(-1, h ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK);
            int start = along;
            if (!IsSizeBar(entry)) {
                // Any other bar keeps a place further along its row while it fits.
                CRect current;
                entry->GetWindowRect(&current);
                ScreenToClient(&current);
                const int was = h ? current.left : current.top;
                const int length = h ? size.cx : size.cy;
                if (was > start && was + length <= availLength) start = was;
            }
            places.emplace_back(entry, h ? CRect(start, across, start + size.cx, across + size.cy) : CRect(across, start, across + size.cx, start + size.cy));
            along = start + (h ? size.cx : size.cy);
            thickness = std::max<int>(thickness, h ? size.cy : size.cx);
        }
        for (size_t s = firstSplitterOfRow; s < m_arrSplitters.size(); ++s) {
            CRect& rect = m_arrSplitters[s]->m_rect;
            if (m_arrSplitters[s]->m_type != COXSplitterRect::BetweenBars) continue;
            if (h) rect.bottom = across + thickness;
            else rect.right = across + thickness;
        }
        across += thickness;
        if (!farSide && static_cast<int>(r) == lastSizeRow) {
            const int grow = h ? kSplitter : kSplitter - 1;
            m_arrSplitters.push_back(std::make_unique<COXSplitterRect>(
                COXSplitterRect::BetweenRows, h ? CRect(0, across, 0, across + grow) : CRect(across, 0, across + grow, 0), end));
            across += grow;
        }
    }
    // The bars that shrink move first and those that grow last, each into room already left:
    // a bar grown over a neighbour still at its old place is uncovered, so painted, once more.
    auto growth = [](const std::pair<CControlBar*, CRect>& place) {
        CRect now;
        place.first->GetWindowRect(&now);
        return static_cast<long long>(place.second.Width()) * place.second.Height() - static_cast<long long>(now.Width()) * now.Height();
    };
    std::stable_sort(places.begin(), places.end(), [&](const auto& a, const auto& b) { return growth(a) < growth(b); });
    for (const auto& [entry, place] : places) AfxRepositionWindow(&moves, entry->m_hWnd, &place);
    if (moves.hDWP) ::EndDeferWindowPos(moves.hDWP);
    for (const auto& splitter : m_arrSplitters) {
        if (splitter->m_type != COXSplitterRect::BetweenRows) continue;
        if (h) splitter->m_rect.right = availLength;
        else splitter->m_rect.bottom = availLength;
    }
    CSize fixed = h ? CSize(availLength, across) : CSize(across, availLength);
    if (across == 0) fixed = h ? CSize(availLength, 0) : CSize(0, availLength);
    fixed.cy += GetTabStripHeight();
    if (!h && across == 0 && GetTabStripHeight() == 0) fixed.cy = 0;
    return fixed;
}

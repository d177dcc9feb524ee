// The size dock bar's rows: measuring a row, fitting its size bars into a
// length, the room its bars can give up on either side of a splitter, making
// room for a bar that joins it, maximising and restoring one of its bars, and
// the key of the whole arrangement.
#include "docking/SizeDockBar.h"

#include <algorithm>

namespace {
bool Exists(const CControlBar* bar) { return IsBarPointer(bar) && bar->m_hWnd && ::IsWindow(bar->m_hWnd); }
bool Shown(const CControlBar* bar) { return Exists(bar) && bar->IsVisible(); }
}  // namespace

OXROWMEASURE COXSizeDockBar::MeasureRow(int start, const std::vector<CControlBar*>& bars) const {
    OXROWMEASURE m;
    bool previousPlainSizeBar = false;
    for (size_t i = static_cast<size_t>(std::max(0, start)); i < bars.size() && bars[i]; ++i) {
        CControlBar* bar = bars[i];
        if (!Shown(bar)) continue;
        CRect window;
        bar->GetWindowRect(&window);
        const int length = std::max<int>(0, IsHorz() ? window.Width() : window.Height());
        const int thickness = std::max<int>(0, IsHorz() ? window.Height() : window.Width());
        const bool plain = IsSizeBar(bar, true);
        if (IsSizeBar(bar)) {
            m.sizeLength += length;
            ++m.sizeBars;
        } else {
            m.fixedLength += length;
            m.fixedThickness = std::max(m.fixedThickness, thickness);
        }
        if (plain && previousPlainSizeBar) m.fixedLength += kSplitter;
        previousPlainSizeBar = plain;
        m.thickness = std::max(m.thickness, thickness);
        ++m.bars;
        MINMAXINFO info{};
        bar->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        m.minTrackHeight = std::max<int>(m.minTrackHeight, info.ptMinTrackSize.y);
        m.minTrackWidth = std::max<int>(m.minTrackWidth, info.ptMinTrackSize.x);
    }
    m.totalLength = m.sizeLength + m.fixedLength;
    return m;
}

BOOL COXSizeDockBar::FitRow(int start, int length, std::vector<CControlBar*>& bars) {
    const OXROWMEASURE m = MeasureRow(start, bars);
    if (m.sizeBars == 0) return FALSE;
    // A row shorter than its fixed bars leaves the size bars no room at all, never less.
    int room = std::max(0, length - m.fixedLength + 2 * m.bars);
    const int total = room;
    for (size_t i = static_cast<size_t>(std::max(0, start)); i < bars.size() && bars[i]; ++i) {
        auto* bar = dynamic_cast<COXSizeControlBar*>(bars[i]);
        if (!IsSizeBar(bars[i]) || !Shown(bar)) continue;
        int share = m.sizeLength > 0 ? static_cast<int>(static_cast<long long>(BarLength(bar)) * total / m.sizeLength) : room;
        share = std::clamp(share, 0, room);
        room -= share;
        if (IsHorz()) bar->m_HorzDockSize = CSize(share, m.thickness);
        else bar->m_VertDockSize = CSize(m.thickness, share);
        if (!m_bLayoutQuery) {
            // Sized now, so that the rows fitted next measure it; placed (and painted) by the pass.
            const CSize size = IsHorz() ? bar->m_HorzDockSize : bar->m_VertDockSize;
            bar->SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
        }
    }
    return TRUE;
}

BOOL COXSizeDockBar::FitAllRows(int length) {
    BOOL any = FALSE;
    for (const auto& [start, end] : Rows())
        if (FitRow(start, length, m_arrBars)) any = TRUE;
    return any;
}

int COXSizeDockBar::ShrinkWalk(int index, int step, int amount, BOOL apply, int* count, int* end) {
    int remaining = amount, visited = 0, i = index;
    const int n = static_cast<int>(m_arrBars.size());
    for (; i > 0 && i < n && m_arrBars[static_cast<size_t>(i)]; i += step) {
        CControlBar* entry = m_arrBars[static_cast<size_t>(i)];
        if (!IsSizeBar(entry) || !Shown(entry)) continue;
        auto* bar = static_cast<COXSizeControlBar*>(entry);
        ++visited;
        LONG& length = DockedLength(bar);
        if (length >= remaining) {
            if (apply) length -= remaining;
            remaining = 0;
            break;
        }
        remaining -= length;
        if (apply) length = 0;
    }
    if (count) *count = visited;
    if (end) *end = i;
    return remaining;
}

int COXSizeDockBar::ShrinkBarsAfter(int index, int amount, BOOL apply, int* count) {
    int end = index;
    int remaining = ShrinkWalk(index, 1, amount, apply, count, &end);
    const int n = static_cast<int>(m_arrBars.size());
    if (remaining > 0 && (end >= n || !m_arrBars[static_cast<size_t>(end)])) {
        // The free space behind the row's last bar gives too.
        int last = end - 1;
        while (last > 0 && m_arrBars[static_cast<size_t>(last)] && !Exists(m_arrBars[static_cast<size_t>(last)])) --last;
        if (last > 0 && Exists(m_arrBars[static_cast<size_t>(last)])) {
            CRect window;
            m_arrBars[static_cast<size_t>(last)]->GetWindowRect(&window);
            ScreenToClient(&window);
            const int free = std::max(0, IsHorz() ? static_cast<int>(m_sizeAvail.cx - window.right) : static_cast<int>(m_sizeAvail.cy - window.bottom));
            remaining -= std::min(free, remaining);
        }
    }
    return amount - remaining;
}

int COXSizeDockBar::ShrinkBarsBefore(int index, int amount, BOOL apply, int* count) {
    return amount - ShrinkWalk(index, -1, amount, apply, count, nullptr);
}

void COXSizeDockBar::MakeRoomInRow(COXSizeControlBar* bar) {
    const int index = FindBar(bar);
    if (index < 0) return;
    std::vector<CControlBar*> others;
    for (int i = RowStartOf(index); i < RowEndOf(index); ++i)
        if (m_arrBars[static_cast<size_t>(i)] != bar) others.push_back(m_arrBars[static_cast<size_t>(i)]);
    others.push_back(nullptr);
    const OXROWMEASURE m = MeasureRow(0, others);
    const int splitter = (IsSizeBar(bar, true) && m.sizeBars > 0) ? kSplitter : 0;
    FitRow(0, std::max(0, m.totalLength - BarLength(bar) - splitter), others);
}

void COXSizeDockBar::MaximizeBar(COXSizeControlBar* bar, BOOL maximize) {
    const int index = FindBar(bar);
    if (index < 0) return;
    const int start = RowStartOf(index), end = RowEndOf(index);
    std::vector<COXSizeControlBar*> row;
    bool anyMaximized = false;
    for (int i = start; i < end; ++i) {
        CControlBar* entry = m_arrBars[static_cast<size_t>(i)];
        if (!IsSizeBar(entry) || !Shown(entry)) continue;
        auto* sizeBar = static_cast<COXSizeControlBar*>(entry);
        row.push_back(sizeBar);
        if (sizeBar != bar && sizeBar->m_bMaximized) anyMaximized = true;
    }
    if (maximize) {
        // The first maximising of the row keeps the sizes that restoring gives back.
        if (!anyMaximized)
            for (COXSizeControlBar* b : row) b->m_RestoreSize = IsHorz() ? b->m_HorzDockSize : b->m_VertDockSize;
        for (COXSizeControlBar* b : row) {
            if (b == bar) continue;
            LONG& length = DockedLength(b);
            const int gain = std::max<int>(0, length - 21);
            length = 21;
            DockedLength(bar) += gain;
        }
    } else {
        for (COXSizeControlBar* b : row) {
            if (b->m_RestoreSize.cx <= 0 && b->m_RestoreSize.cy <= 0) continue;
            if (IsHorz()) b->m_HorzDockSize = b->m_RestoreSize;
            else b->m_VertDockSize = b->m_RestoreSize;
        }
    }
    // A bar the next layout resizes has its caption painted by that; any other at once.
    auto keepsItsSize = [&](COXSizeControlBar* b) {
        CRect window;
        b->GetWindowRect(&window);
        return window.Size() == (IsHorz() ? b->m_HorzDockSize : b->m_VertDockSize);
    };
    for (COXSizeControlBar* b : row)
        if (b != bar) b->SetMaximized(FALSE, keepsItsSize(b));
    bar->SetMaximized(maximize, keepsItsSize(bar));
    // The sizes set here are the row's: the next layout pass places them as they stand.
    m_nLayoutKey = LayoutKey();
}

UINT COXSizeDockBar::LayoutKey() const {
    // Unsigned: the key doubles at every row end and wraps instead of overflowing.
    UINT key = 0, visible = 0;
    for (size_t i = 0; i < m_arrBars.size(); ++i) {
        CControlBar* entry = m_arrBars[i];
        if (!entry) {
            key *= 2;
            continue;
        }
        if (!Shown(entry)) continue;
        ++key;
        ++visible;
        if (IsSizeBar(entry, true)) key += static_cast<UINT>(i);
    }
    return (key << 8) | (visible & 0xFF);
}

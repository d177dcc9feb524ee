#include "docking/SizeDockLayout.h"

#include "app/WinApp.h"
#include "bars/BarArchive.h"
#include "docking/DragDockContext.h"
#include "docking/MDIChildWndSizeDock.h"
#include "docking/SizeDockBar.h"

#include <algorithm>
#include <map>
#include <set>

namespace {
constexpr int32_t kMagic = 0x4C44584F;  // "OXDL"
constexpr int32_t kVersion = 1;
constexpr int kMaxBars = 256;
constexpr int kMaxRow = 256;
constexpr int kMinSize = 8;
constexpr int kMaxSize = 16384;
constexpr int kMaxCoordinate = 32000;

struct BarRecord {
    int32_t id = 0, dockId = 0, row = 0, order = 0, visible = 1, tab = -1;
    CSize horz, vert, floating;
    CPoint floatAt;
};

bool IsSide(int32_t id) { return id >= static_cast<int32_t>(AFX_IDW_DOCKBAR_TOP) && id <= static_cast<int32_t>(AFX_IDW_DOCKBAR_BOTTOM); }
bool SaneSize(const CSize& s) { return s.cx >= kMinSize && s.cy >= kMinSize && s.cx <= kMaxSize && s.cy <= kMaxSize; }

std::vector<COXSizeControlBar*> SizeBarsOf(CFrameWnd* frame) {
    std::vector<COXSizeControlBar*> bars;
    // View bars come and go with their MDI children's documents: they are no part of the frame's layout.
    for (CControlBar* bar : frame->m_listControlBars)
        if (auto* sizeBar = dynamic_cast<COXSizeControlBar*>(bar);
            sizeBar && sizeBar->m_hWnd && sizeBar->GetDlgCtrlID() != 0 && !dynamic_cast<COXSizeViewBar*>(sizeBar))
            bars.push_back(sizeBar);
    return bars;
}

void WriteSize(CBarArchiveWriter& out, const CSize& s) {
    // A bar squeezed to nothing in a row it left is stored at the smallest size a layout takes back.
    out.WriteInt(std::clamp<int32_t>(s.cx, kMinSize, kMaxSize));
    out.WriteInt(std::clamp<int32_t>(s.cy, kMinSize, kMaxSize));
}

bool ReadSize(CBarArchiveReader& in, CSize& s) {
    int32_t cx = 0, cy = 0;
    if (!in.ReadInt(cx) || !in.ReadInt(cy)) return false;
    s = CSize(cx, cy);
    return true;
}
}  // namespace

BOOL SaveSizeDockLayout(CFrameWnd* frame, const wchar_t* section, const wchar_t* entry) {
    CWinApp* app = AfxGetApp();
    if (!app || !frame) return FALSE;
    const std::vector<COXSizeControlBar*> bars = SizeBarsOf(frame);
    CBarArchiveWriter out;
    out.WriteInt(kMagic);
    out.WriteInt(kVersion);
    out.WriteInt(static_cast<int32_t>(bars.size()));
    for (COXSizeControlBar* bar : bars) {
        BarRecord record;
        record.id = bar->GetDlgCtrlID();
        auto* dock = bar->GetSizeDockBar();
        if (dock && !bar->IsFloating()) {
            record.dockId = dock->GetDlgCtrlID();
            // Row and place in the row, counted over the dock bar's rows.
            const int index = dock->FindBar(bar);
            int row = 0;
            for (const auto& [start, end] : dock->Rows()) {
                if (index >= start && index < end) {
                    record.row = row;
                    record.order = index - start;
                    break;
                }
                ++row;
            }
            record.tab = dock->m_TabCtrl.FindBar(bar);
        }
        record.visible = bar->IsVisible() ? 1 : 0;  // of a tab group, the bar of the selected tab
        record.horz = bar->m_HorzDockSize;
        record.vert = bar->m_VertDockSize;
        record.floating = bar->m_FloatSize;
        if (bar->IsFloating() && bar->m_pDockBar && bar->m_pDockBar->GetParent()) {
            CRect window;
            bar->m_pDockBar->GetParent()->GetWindowRect(&window);
            record.floatAt = window.TopLeft();
        }
        out.WriteInt(record.id);
        out.WriteInt(record.dockId);
        out.WriteInt(record.row);
        out.WriteInt(record.order);
        out.WriteInt(record.visible);
        out.WriteInt(record.tab);
        WriteSize(out, record.horz);
        WriteSize(out, record.vert);
        WriteSize(out, record.floating);
        out.WriteInt(record.floatAt.x);
        out.WriteInt(record.floatAt.y);
    }
    const std::vector<BYTE>& bytes = out.Bytes();
    CString sizeEntry;
    sizeEntry.Format(L"%ls_Size", entry);
    return app->WriteProfileBinary(section, entry, bytes.data(), static_cast<UINT>(bytes.size())) &&
           app->WriteProfileInt(section, sizeEntry, static_cast<int>(bytes.size()));
}

BOOL LoadSizeDockLayout(CFrameWnd* frame, const wchar_t* section, const wchar_t* entry) {
    CWinApp* app = AfxGetApp();
    if (!app || !frame) return FALSE;
    std::vector<BYTE> bytes;
    if (!app->GetProfileBinary(section, entry, bytes) || bytes.empty()) return FALSE;
    CString sizeEntry;
    sizeEntry.Format(L"%ls_Size", entry);
    if (app->GetProfileInt(section, sizeEntry, -1) != bytes.size()) return FALSE;

    // Read and check everything before anything changes.
    CBarArchiveReader in(bytes);
    int32_t magic = 0, version = 0, count = 0;
    if (!in.ReadInt(magic) || magic != kMagic || !in.ReadInt(version) || version != kVersion) return FALSE;
    if (!in.ReadCount(count, 14 * sizeof(int32_t)) || count < 0 || count > kMaxBars) return FALSE;
    const std::vector<COXSizeControlBar*> bars = SizeBarsOf(frame);
    std::map<int, COXSizeControlBar*> byId;
    for (COXSizeControlBar* bar : bars) byId[bar->GetDlgCtrlID()] = bar;
    std::vector<BarRecord> records;
    std::set<int32_t> seen;
    std::set<std::pair<int32_t, std::pair<int32_t, int32_t>>> places;
    for (int i = 0; i < count; ++i) {
        BarRecord r;
        if (!in.ReadInt(r.id) || !in.ReadInt(r.dockId) || !in.ReadInt(r.row) || !in.ReadInt(r.order) || !in.ReadInt(r.visible) ||
            !in.ReadInt(r.tab) || !ReadSize(in, r.horz) || !ReadSize(in, r.vert) || !ReadSize(in, r.floating))
            return FALSE;
        int32_t x = 0, y = 0;
        if (!in.ReadInt(x) || !in.ReadInt(y)) return FALSE;
        r.floatAt = CPoint(x, y);
        auto found = byId.find(r.id);
        if (found == byId.end() || !seen.insert(r.id).second) return FALSE;  // a bar that does not exist, or twice
        COXSizeControlBar* bar = found->second;
        if (r.dockId != 0) {
            if (!IsSide(r.dockId) || !dynamic_cast<COXSizeDockBar*>(frame->GetControlBar(static_cast<UINT>(r.dockId)))) return FALSE;
            const DWORD side = r.dockId == static_cast<int32_t>(AFX_IDW_DOCKBAR_TOP)      ? CBRS_ALIGN_TOP
                               : r.dockId == static_cast<int32_t>(AFX_IDW_DOCKBAR_BOTTOM) ? CBRS_ALIGN_BOTTOM
                               : r.dockId == static_cast<int32_t>(AFX_IDW_DOCKBAR_LEFT)   ? CBRS_ALIGN_LEFT
                                                                                          : CBRS_ALIGN_RIGHT;
            if (!(bar->m_dwDockStyle & side)) return FALSE;
            if (r.row < 0 || r.row >= kMaxRow || r.order < 0 || r.order >= kMaxBars) return FALSE;
            if (!places.insert({r.dockId, {r.row, r.order}}).second) return FALSE;
        }
        if (r.visible != 0 && r.visible != 1) return FALSE;
        if (r.tab < -1 || r.tab >= kMaxBars) return FALSE;
        if (!SaneSize(r.horz) || !SaneSize(r.vert) || !SaneSize(r.floating)) return FALSE;
        if (std::abs(r.floatAt.x) > kMaxCoordinate || std::abs(r.floatAt.y) > kMaxCoordinate) return FALSE;
        records.push_back(r);
    }
    if (in.Remaining() != 0) return FALSE;

    // Sound: apply. Each side's rows are made again in the stored order.
    std::map<int32_t, std::map<int32_t, std::map<int32_t, COXSizeControlBar*>>> sides;
    for (const BarRecord& r : records) {
        COXSizeControlBar* bar = byId[r.id];
        bar->m_HorzDockSize = r.horz;
        bar->m_VertDockSize = r.vert;
        bar->m_FloatSize = r.floating;
        if (r.dockId != 0) sides[r.dockId][r.row][r.order] = bar;
    }
    for (auto& [dockId, rows] : sides) {
        auto* dock = dynamic_cast<COXSizeDockBar*>(frame->GetControlBar(static_cast<UINT>(dockId)));
        for (auto& [row, inRow] : rows)
            for (auto& [order, bar] : inRow) {
                if (auto* own = bar->GetSizeDockBar(); own && own->m_TabCtrl.FindBar(bar) >= 0) own->m_TabCtrl.RemoveTab(bar);
                frame->DockControlBar(bar, dock, nullptr);
            }
        // The bars came in one row each: join them into the stored rows.
        std::vector<CControlBar*> arranged{nullptr};
        for (auto& [row, inRow] : rows) {
            for (auto& [order, bar] : inRow) arranged.push_back(bar);
            arranged.push_back(nullptr);
        }
        for (CControlBar* other : dock->m_arrBars)
            if (IsBarPointer(other) && std::find(arranged.begin(), arranged.end(), other) == arranged.end()) {
                arranged.push_back(other);
                arranged.push_back(nullptr);
            }
        dock->m_arrBars = arranged;
        // Each bar takes its stored length again (docking it row by row stretched it over the row).
        for (auto& [row, inRow] : rows)
            for (auto& [order, bar] : inRow) {
                const BarRecord& r = *std::find_if(records.begin(), records.end(), [&](const BarRecord& x) { return byId[x.id] == bar; });
                bar->m_HorzDockSize = r.horz;
                bar->m_VertDockSize = r.vert;
                const CSize shape = dock->IsHorz() ? r.horz : r.vert;
                bar->SetWindowPos(nullptr, 0, 0, shape.cx, shape.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
    }
    for (const BarRecord& r : records) {
        COXSizeControlBar* bar = byId[r.id];
        if (r.dockId == 0) {
            frame->FloatControlBar(bar, r.floatAt, CBRS_ALIGN_TOP);
            bar->SendMessage(WM_SIZEBAR_FLOATSYNC);
            if (auto* context = dynamic_cast<COXDragDockContext*>(bar->m_pDockContext.get())) context->m_ptLastFloat = r.floatAt;
        }
    }
    // Tabs by their stored order, then what shows.
    std::vector<const BarRecord*> tabbed;
    for (const BarRecord& r : records)
        if (r.dockId != 0 && r.tab >= 0) tabbed.push_back(&r);
    std::sort(tabbed.begin(), tabbed.end(), [](const BarRecord* a, const BarRecord* b) { return a->tab < b->tab; });
    std::map<int32_t, int> tabsPerSide;
    for (const BarRecord* r : tabbed) ++tabsPerSide[r->dockId];
    for (const BarRecord* r : tabbed) {
        if (tabsPerSide[r->dockId] < 2) continue;  // a tab group has two tabs at least
        auto* dock = dynamic_cast<COXSizeDockBar*>(frame->GetControlBar(static_cast<UINT>(r->dockId)));
        if (dock->m_TabCtrl.FindBar(byId[r->id]) < 0) dock->m_TabCtrl.InsertTab(byId[r->id], r->tab, FALSE);
    }
    for (const BarRecord* r : tabbed) {
        auto* dock = dynamic_cast<COXSizeDockBar*>(frame->GetControlBar(static_cast<UINT>(r->dockId)));
        if (r->visible && dock->m_TabCtrl.FindBar(byId[r->id]) >= 0) dock->m_TabCtrl.SelectTab(dock->m_TabCtrl.FindBar(byId[r->id]));
    }
    for (const BarRecord& r : records) {
        COXSizeControlBar* bar = byId[r.id];
        auto* dock = bar->GetSizeDockBar();
        if (dock && dock->m_TabCtrl.FindBar(bar) >= 0) {
            // Shown for a moment while the tabs were selected, a hidden tab's bar was fitted to
            // its row: it takes its stored sizes back.
            if (!r.visible) {
                bar->m_HorzDockSize = r.horz;
                bar->m_VertDockSize = r.vert;
            }
            continue;
        }
        frame->ShowControlBar(bar, r.visible != 0, FALSE);
    }
    frame->RecalcLayout();
    return TRUE;
}


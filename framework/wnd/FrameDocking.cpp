// The frame's side of control bars: its dock bars, docking and floating,
// showing and hiding, the layout pass and the saved bar state.
#include "app/WinApp.h"
#include "bars/DockBar.h"
#include "bars/DockContext.h"
#include "bars/MiniDockFrameWnd.h"
#include "wnd/FrameWnd.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {
struct DockSide {
    DWORD align;
    UINT id;
};
// The order in which dock bars are made and take their room: top and bottom span the frame.
constexpr DockSide kDockSides[] = {
    {CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_TOP},
    {CBRS_ALIGN_BOTTOM, AFX_IDW_DOCKBAR_BOTTOM},
    {CBRS_ALIGN_LEFT, AFX_IDW_DOCKBAR_LEFT},
    {CBRS_ALIGN_RIGHT, AFX_IDW_DOCKBAR_RIGHT},
};
}  // namespace

void CFrameWnd::AddControlBar(CControlBar* bar) {
    if (std::find(m_listControlBars.begin(), m_listControlBars.end(), bar) == m_listControlBars.end())
        m_listControlBars.push_back(bar);
}

void CFrameWnd::RemoveControlBar(CControlBar* bar) {
    std::erase(m_listControlBars, bar);
}

CControlBar* CFrameWnd::GetControlBar(UINT id) const {
    for (CControlBar* bar : m_listControlBars)
        if (bar->m_hWnd && static_cast<UINT>(::GetDlgCtrlID(bar->m_hWnd)) == id) return bar;
    return nullptr;
}

void CFrameWnd::EnableDocking(DWORD dockStyle) {
    for (const DockSide& side : kDockSides) {
        if (!(dockStyle & side.align) || GetControlBar(side.id)) continue;
        auto dockBar = std::make_unique<CDockBar>();
        if (!dockBar->Create(this, WS_CHILD | WS_VISIBLE | side.align, side.id)) continue;
        dockBar->m_bAutoDelete = TRUE;  // goes with its window
        dockBar.release();
    }
}

void CFrameWnd::DockControlBar(CControlBar* bar, UINT dockBarId, LPCRECT rect) {
    CDockBar* dockBar = nullptr;
    if (dockBarId) {
        dockBar = dynamic_cast<CDockBar*>(GetControlBar(dockBarId));
    } else {
        for (const DockSide& side : kDockSides) {
            if (!(bar->m_dwDockStyle & side.align)) continue;
            dockBar = dynamic_cast<CDockBar*>(GetControlBar(side.id));
            if (dockBar) break;
        }
    }
    DockControlBar(bar, dockBar, rect);
}

void CFrameWnd::DockControlBar(CControlBar* bar, CDockBar* dockBar, LPCRECT rect) {
    if (!bar || !dockBar || !bar->m_hWnd) return;
    dockBar->DockControlBar(bar, rect);  // an emptied floating frame closes itself
    bar->m_pDockSite = this;
    AddControlBar(bar);
    RecalcLayout();
}

CMiniDockFrameWnd* CFrameWnd::CreateFloatingFrame(DWORD style) {
    auto frame = std::make_unique<CMiniDockFrameWnd>();
    if (!frame->Create(this, style)) return nullptr;
    return frame.release();  // deletes itself when its window goes
}

void CFrameWnd::FloatControlBar(CControlBar* bar, CPoint point, DWORD style) {
    if (!bar || !bar->m_hWnd) return;
    CMiniDockFrameWnd* frame = nullptr;
    // A bar alone in its floating frame only moves.
    if (bar->m_pDockBar && bar->m_pDockBar->m_bFloating && bar->m_pDockBar->GetDockedCount() == 1)
        frame = dynamic_cast<CMiniDockFrameWnd*>(bar->m_pDockBar->GetParent());
    if (!frame) {
        frame = CreateFloatingFrame(style | (bar->m_dwStyle & CBRS_SIZE_DYNAMIC));
        if (!frame) return;
        frame->m_wndDockBar.DockControlBar(bar, nullptr);
        bar->m_pDockSite = this;
        AddControlBar(bar);
    }
    if (bar->m_pDockContext) bar->m_pDockContext->m_ptMRUFloatPos = point;
    frame->RecalcLayout();
    frame->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    frame->KeepInWorkArea();
    if (bar->GetStyle() & WS_VISIBLE) frame->ShowWindow(SW_SHOWNA);
    RecalcLayout();
}

void CFrameWnd::ShowControlBar(CControlBar* bar, BOOL show, BOOL delay) {
    if (!bar || !bar->m_hWnd) return;
    CWnd* floatingFrame = (bar->m_pDockBar && bar->m_pDockBar->m_bFloating) ? bar->m_pDockBar->GetParent() : nullptr;
    if (delay) {
        bar->DelayShow(show);
        DelayRecalcLayout();
    } else {
        bar->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                                                   (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        bar->DelayShow(show);  // clears anything pending
        if (floatingFrame) {
            const BOOL anyVisible = bar->m_pDockBar->GetDockedVisibleCount() > 0;
            floatingFrame->ShowWindow(anyVisible ? SW_SHOWNA : SW_HIDE);
            if (auto* mini = dynamic_cast<CMiniDockFrameWnd*>(floatingFrame)) mini->RecalcLayout();
        } else {
            RecalcLayout();
        }
    }
}

std::vector<HWND> CFrameWnd::ListChildren() const {
    std::vector<HWND> children;
    if (m_hWnd)
        for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) children.push_back(child);
    return children;
}

void CFrameWnd::RepositionBars(HWND pane, CRect* freeRect, bool query) {
    if (m_hWnd) LayOutBars(ListChildren(), pane, freeRect, query);
}

void CFrameWnd::RepositionBars(UINT paneId, CRect* freeRect, bool query) {
    if (!m_hWnd) return;
    const std::vector<HWND> children = ListChildren();
    auto pane = std::find_if(children.begin(), children.end(), [&](HWND child) { return static_cast<UINT>(::GetDlgCtrlID(child)) == paneId; });
    LayOutBars(children, pane != children.end() ? *pane : nullptr, freeRect, query);
}

void CFrameWnd::LayOutBars(const std::vector<HWND>& children, HWND pane, CRect* freeRect, bool query) {
    AFX_SIZEPARENTPARAMS layout;
    CRect client;
    GetClientRect(&client);
    layout.rect = client;
    layout.bStretch = TRUE;
    // The batch is begun by the first window that moves.
    layout.bBatchOnDemand = !query;
    // The dock bars first, top and bottom before the sides, then any other bar.
    for (const DockSide& side : kDockSides) {
        auto dock = std::find_if(children.begin(), children.end(), [&](HWND child) { return static_cast<UINT>(::GetDlgCtrlID(child)) == side.id; });
        if (dock != children.end()) ::SendMessageW(*dock, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }
    for (HWND child : children) {
        const UINT id = static_cast<UINT>(::GetDlgCtrlID(child));
        if (child == pane || (id >= AFX_IDW_DOCKBAR_TOP && id <= AFX_IDW_DOCKBAR_BOTTOM)) continue;
        ::SendMessageW(child, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }
    if (freeRect) *freeRect = layout.rect;
    if (pane && !query) {
        CRect rest(layout.rect);
        if (rest.right < rest.left) rest.right = rest.left;
        if (rest.bottom < rest.top) rest.bottom = rest.top;
        // A pane bound to an object of its own may take part of the room (the tab workspace's MDI client).
        if (CWnd* object = CWnd::FromHandlePermanent(pane)) object->CalcWindowRect(&rest);
        AfxRepositionWindow(&layout, pane, &rest);
    }
    if (layout.hDWP) ::EndDeferWindowPos(layout.hDWP);
}

// Saved bar state -----------------------------------------------------------------------

namespace {
CString BarSection(const wchar_t* profileName, int index) {
    CString section;
    section.Format(L"%ls-Bar%d", profileName, index);
    return section;
}

bool IsDockBarId(UINT id) { return id >= AFX_IDW_DOCKBAR_TOP && id <= AFX_IDW_DOCKBAR_BOTTOM; }

// A screen coordinate read back from the profile: far-off values are not believed.
int SaneCoordinate(int value) { return std::clamp(value, -32000, 32000); }
}  // namespace

void CFrameWnd::SaveBarState(const wchar_t* profileName) const {
    CWinApp* app = AfxGetApp();
    if (!app || !profileName) return;
    int index = 0;
    for (CControlBar* bar : m_listControlBars) {
        const UINT id = bar->m_hWnd ? static_cast<UINT>(::GetDlgCtrlID(bar->m_hWnd)) : 0;
        if (!id || bar->IsDockBar()) continue;
        const CString section = BarSection(profileName, index++);
        CRect window;
        bar->GetWindowRect(&window);
        const UINT dockId = (bar->m_pDockBar && !bar->m_pDockBar->m_bFloating) ? static_cast<UINT>(bar->m_pDockBar->GetDlgCtrlID()) : 0;
        if (bar->IsFloating() && bar->m_pDockBar) {
            if (CWnd* frame = bar->m_pDockBar->GetParent()) frame->GetWindowRect(&window);
        }
        app->WriteProfileInt(section, L"BarID", static_cast<int>(id));
        app->WriteProfileInt(section, L"Visible", bar->IsVisible() ? 1 : 0);
        app->WriteProfileInt(section, L"DockBarID", static_cast<int>(dockId));
        app->WriteProfileInt(section, L"Floating", bar->IsFloating() ? 1 : 0);
        app->WriteProfileInt(section, L"XPos", window.left);
        app->WriteProfileInt(section, L"YPos", window.top);
    }
    CString summary;
    summary.Format(L"%ls-Summary", profileName);
    app->WriteProfileInt(summary, L"Bars", index);
}

void CFrameWnd::LoadBarState(const wchar_t* profileName) {
    CWinApp* app = AfxGetApp();
    if (!app || !profileName) return;
    CString summary;
    summary.Format(L"%ls-Summary", profileName);
    const int count = std::clamp(static_cast<int>(app->GetProfileInt(summary, L"Bars", 0)), 0, 256);
    for (int index = 0; index < count; ++index) {
        const CString section = BarSection(profileName, index);
        const UINT id = app->GetProfileInt(section, L"BarID", 0);
        CControlBar* bar = id ? GetControlBar(id) : nullptr;
        if (!bar || bar->IsDockBar()) continue;
        const CPoint point(SaneCoordinate(static_cast<int>(app->GetProfileInt(section, L"XPos", 0))),
                           SaneCoordinate(static_cast<int>(app->GetProfileInt(section, L"YPos", 0))));
        const BOOL floating = app->GetProfileInt(section, L"Floating", 0) == 1;
        const UINT dockId = app->GetProfileInt(section, L"DockBarID", 0);
        if (floating && bar->m_dwDockStyle) {
            FloatControlBar(bar, point, CBRS_ALIGN_TOP | (bar->m_dwDockStyle & CBRS_FLOAT_MULTI));
        } else if (IsDockBarId(dockId)) {
            auto* dockBar = dynamic_cast<CDockBar*>(GetControlBar(dockId));
            if (dockBar && (bar->m_dwDockStyle & (dockBar->m_dwStyle & CBRS_ALIGN_ANY))) {
                CRect window;
                bar->GetWindowRect(&window);
                CRect place(point, window.Size());
                DockControlBar(bar, dockBar, &place);
            }
        }
        ShowControlBar(bar, app->GetProfileInt(section, L"Visible", 1) != 0, FALSE);
    }
    RecalcLayout();
}

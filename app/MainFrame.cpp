#include "MainFrame.h"

#include "app/WinApp.h"
#include "docview/Document.h"
#include "install/InstallPath.h"
#include "page/TarveloDoc.h"
#include "resource.h"
#include "util/Registry.h"
#include "wnd/MDIChildWnd.h"

#include <commctrl.h>

CString QuietAllpagesPath() {
    CString install = GetSettingString(L"Settings", L"InstallPath", L"");
    return install.IsEmpty() ? CString() : install + kAllpagesFolder;
}

void NotifyPageClosed(const CString& path) {
    if (auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd()); frame && frame->m_wndTree.GetSafeHwnd())
        frame->m_wndTree.MarkPageClosed(path);
}

const MessageMap* CMainFrame::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CMainFrame::OnCreate>(WM_CREATE),
        MapMessage<&CMainFrame::OnClose>(WM_CLOSE),
        MapCommand<&CMainFrame::OnLeftBar>(ID_VIEW_LEFT_BAR),
        MapCommand<&CMainFrame::OnDockTreeBar>(ID_DOCK_TREE_BAR),
        MapCommand<&CMainFrame::OnMaximize>(ID_WINDOW_MAXIMIZE),
        MapCommand<&CMainFrame::OnMinimize>(ID_WINDOW_MINIMIZE),
        MapCommand<&CMainFrame::OnViewStatusBar>(ID_VIEW_STATUS_BAR),
        MapUpdateUI<&CMainFrame::OnUpdateLeftBar>(ID_VIEW_LEFT_BAR),
        MapUpdateUI<&CMainFrame::OnUpdateStatusBar>(ID_VIEW_STATUS_BAR),
        MapUpdateUIRange<&CMainFrame::OnUpdateToolbarControl>(ID_FORMAT_FONT_NAME, ID_FORMAT_HIGHLIGHT),
        MapNotify<&CMainFrame::OnToolbarCustomDraw>(kToolbarCustomDrawRelay, ID_FORMAT_TOOLBAR),
        MapCommand<&CMainFrame::OnNewPage>(ID_FILE_NEW_PAGE),
        MapCommand<&CMainFrame::OnNewFolder>(ID_FILE_NEW_FOLDER),
        MapCommand<&CMainFrame::OnDelete>(ID_FILE_DELETE),
        MapCommand<&CMainFrame::OnRename>(ID_FILE_RENAME),
        MapCommand<&CMainFrame::OnRefreshTree>(ID_FILE_REFRESH_TREE),
        MapCommand<&CMainFrame::OnCloseAllAndReload>(ID_CLOSE_ALL_AND_RELOAD),
        MapCommand<&CMainFrame::OnViewSource>(ID_VIEW_SOURCE),
        MapCommand<&CMainFrame::OnShowOpenCount>(ID_SHOW_OPEN_COUNT),
        MapCommand<&CMainFrame::OnExportSelected>(ID_EXPORT_SELECTED),
    };
    static const MessageMap map{CMDIFrameWnd::GetMessageMap(), entries};
    return &map;
}

int CMainFrame::OnCreate(LPCREATESTRUCT cs) {
    if (CMDIFrameWnd::OnCreate(cs) == -1) return -1;

    // Status bar: separator and the caps, num and scroll lock panes; hidden at start.
    if (!m_wndStatusBar.CreateEx(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | SBARS_SIZEGRIP, CRect(0, 0, 0, 0), this,
                                 kStatusBarId))
        return -1;
    int parts[] = {-1};
    m_wndStatusBar.SendMessage(SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));

    if (!m_wndTreeBar.Create(L"Bookmark Explorer:", this, kTreeBarId, WS_CHILD | WS_VISIBLE)) return -1;
    m_wndTreeBar.LoadState(L"Tarvelo");
    if (!m_wndTree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS |
                              TVS_SHOWSELALWAYS,
                          CRect(0, 0, 0, 0), &m_wndTreeBar, kTreeControlId))
        return -1;
    m_wndTree.ModifyStyleEx(0, WS_EX_CLIENTEDGE, SWP_FRAMECHANGED);
    if (HWND tips = m_wndTree.GetToolTips())
        ::SetWindowPos(tips, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_imageList.Create(IDB_TREE_IMAGES, 16, 4, RGB(255, 0, 0));
    m_treeFiller.SetUp(&m_wndTree, m_imageList, QuietAllpagesPath());
    m_treeFiller.FillTree();
    m_wndTreeBar.m_nDockBarID = kDockBarLeft;
    RecalcLayout();
    return 0;
}

void CMainFrame::RecalcLayout(BOOL) {
    CRect free;
    GetClientRect(&free);
    if (m_wndStatusBar.GetSafeHwnd() && m_wndStatusBar.IsWindowVisible()) {
        m_wndStatusBar.SendMessage(WM_SIZE);
        CRect bar;
        m_wndStatusBar.GetWindowRect(&bar);
        free.bottom -= bar.Height();
    }
    if (m_wndTreeBar.GetSafeHwnd() && m_wndTreeBar.IsWindowVisible()) {
        int width = std::min<int>(m_wndTreeBar.m_szVert.cx, std::max<int>(0, free.Width()));
        if (m_wndTreeBar.m_nDockBarID == kDockBarRight) {
            m_wndTreeBar.MoveWindow(free.right - width, free.top, width, free.Height());
            free.right -= width;
        } else {
            m_wndTreeBar.MoveWindow(free.left, free.top, width, free.Height());
            free.left += width;
        }
    }
    if (m_hWndMDIClient) ::MoveWindow(m_hWndMDIClient, free.left, free.top, free.Width(), free.Height(), TRUE);
}

void CMainFrame::OnClose() {
    // Modified pages are asked about first; Cancel keeps everything open.
    CWinApp* app = AfxGetApp();
    if (app && !app->SaveAllModified()) return;
    WINDOWPLACEMENT placement{};
    GetWindowPlacement(&placement);
    if (placement.showCmd != SW_SHOWMINIMIZED && !IsIconic() && app) {
        m_wndTreeBar.SaveState(L"Tarvelo");
        CRect rect;
        GetWindowRect(&rect);
        app->WriteProfileInt(L"Init", L"Left", rect.left);
        app->WriteProfileInt(L"Init", L"right", rect.right);
        app->WriteProfileInt(L"Init", L"top", rect.top);
        app->WriteProfileInt(L"Init", L"bottom", rect.bottom);
    }
    if (app) app->CloseAllDocuments(FALSE);
    DestroyWindow();
}

void CMainFrame::ShowTreeBar(bool show) {
    m_wndTreeBar.ShowWindow(show ? SW_SHOW : SW_HIDE);
    RecalcLayout();
}

void CMainFrame::OnLeftBar() {
    ShowTreeBar(!m_wndTreeBar.IsWindowVisible());
    m_wndTreeBar.m_nDockBarID = kDockBarLeft;
    RecalcLayout();
}

void CMainFrame::OnDockTreeBar() {
    m_wndTreeBar.m_nDockBarID = kDockBarLeft;
    ShowTreeBar(true);
}

void CMainFrame::OnUpdateLeftBar(CCmdUI* cmdUI) { cmdUI->SetCheck(m_wndTreeBar.IsWindowVisible() ? 1 : 0); }

void CMainFrame::OnViewStatusBar() {
    m_wndStatusBar.ShowWindow(m_wndStatusBar.IsWindowVisible() ? SW_HIDE : SW_SHOW);
    RecalcLayout();
}

void CMainFrame::OnUpdateStatusBar(CCmdUI* cmdUI) { cmdUI->SetCheck(m_wndStatusBar.IsWindowVisible() ? 1 : 0); }

void CMainFrame::OnMaximize() {
    WINDOWPLACEMENT placement{};
    GetWindowPlacement(&placement);
    if (placement.showCmd == SW_SHOWNORMAL || placement.showCmd == SW_SHOWMINIMIZED) {
        placement.showCmd = SW_SHOWMAXIMIZED;
    } else if (placement.showCmd == SW_SHOWMAXIMIZED) {
        placement.showCmd = SW_SHOWNORMAL;
    }
    SetWindowPlacement(&placement);
}

void CMainFrame::OnMinimize() {
    WINDOWPLACEMENT placement{};
    GetWindowPlacement(&placement);
    placement.showCmd = SW_MINIMIZE;
    SetWindowPlacement(&placement);
}

void CMainFrame::OnUpdateToolbarControl(CCmdUI* cmdUI) {
    CFrameWnd* active = GetActiveFrame();
    cmdUI->Enable(active && active != this && active->GetActiveDocument() != nullptr);
}

CRect CMainFrame::ColorStripRect(const RECT& button) {
    CRect strip(button.left + 5, button.top + 2, button.right - 5, button.bottom - 2);
    strip.top = strip.bottom - 5;
    // The arrow part of a drop-down button: Marlett's down arrow in a font as
    // high as the menu check mark.
    int arrow = GetSystemMetrics(SM_CYMENUCHECK);
    if (HDC dc = GetDC(nullptr)) {
        HFONT font = CreateFontW(GetSystemMetrics(SM_CYMENUCHECK), 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0,
                                 0, 0, L"Marlett");
        HGDIOBJ old = SelectObject(dc, font);
        SIZE size{};
        if (GetTextExtentPoint32W(dc, L"6", 1, &size)) arrow = size.cx;
        SelectObject(dc, old);
        DeleteObject(font);
        ReleaseDC(nullptr, dc);
    }
    strip.right -= arrow - 2;
    strip.bottom -= 2;
    return strip;
}

void CMainFrame::OnToolbarCustomDraw(NMHDR* header, LRESULT* result) {
    *result = 0;
    auto* relay = reinterpret_cast<ToolbarCustomDrawRelay*>(header);
    relay->result = 0;
    NMTBCUSTOMDRAW* draw = relay->customDraw;
    if (!draw || draw->nmcd.dwDrawStage != CDDS_ITEMPOSTPAINT) return;
    UINT id = static_cast<UINT>(draw->nmcd.dwItemSpec);
    if (id != ID_FORMAT_COLOR && id != ID_FORMAT_HIGHLIGHT) return;
    COLORREF color = GetSysColor(COLOR_BTNSHADOW);
    CFrameWnd* active = GetActiveFrame();
    auto* page = active && active != this ? dynamic_cast<CTarveloDoc*>(active->GetActiveDocument()) : nullptr;
    if (page && !(draw->nmcd.uItemState & (CDIS_DISABLED | CDIS_GRAYED)))
        color = id == ID_FORMAT_COLOR ? page->m_textColor : page->m_highlightColor;
    CRect strip = ColorStripRect(draw->nmcd.rc);
    HBRUSH frame = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
    FrameRect(draw->nmcd.hdc, &strip, frame);
    DeleteObject(frame);
    if (color != 0xFFFFFFFF) {
        HBRUSH fill = CreateSolidBrush(color);
        FillRect(draw->nmcd.hdc, &strip, fill);
        DeleteObject(fill);
    }
    relay->doDefault = FALSE;
}

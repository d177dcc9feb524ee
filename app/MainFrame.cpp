#include "MainFrame.h"
#include "page/FontComboBox.h"

#include "app/WinApp.h"
#include "bars/DockBar.h"
#include "docview/Document.h"
#include "install/InstallPath.h"
#include "page/TarveloDoc.h"
#include "resource.h"
#include "util/PathParts.h"
#include "util/Registry.h"
#include "wnd/MDIChildWnd.h"

#include <commctrl.h>

#include <algorithm>

CString QuietAllpagesPath() {
    CString install = GetSettingString(L"Settings", L"InstallPath", L"");
    return install.IsEmpty() ? CString() : install + kAllpagesFolder;
}

void NotifyPageClosed(const CString& path) {
    if (auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd()); frame && frame->m_wndTree.GetSafeHwnd())
        frame->m_wndTree.MarkPageClosed(path);
}

bool PageHasOpenMark(const CString& path) {
    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    if (!frame || !frame->m_wndTree.GetSafeHwnd()) return false;
    auto count = frame->m_wndTree.m_openCounts.find(path);
    return count != frame->m_wndTree.m_openCounts.end() && count->second > 0;
}

void NotifyPageReopened(const CString& path) {
    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    if (!frame || !frame->m_wndTree.GetSafeHwnd()) return;
    if (auto item = frame->m_wndTree.m_itemsByPath.find(path); item != frame->m_wndTree.m_itemsByPath.end())
        frame->m_wndTree.MarkPageOpen(item->second);
}

void NotifyPageAdded(const CString& path) {
    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    if (!frame || !frame->m_wndTree.GetSafeHwnd()) return;
    CXTreeCtrl& tree = frame->m_wndTree;
    CString folder = GetParentPath(path);
    HTREEITEM parent = nullptr;
    if (IsSamePath(folder, tree.m_allpagesPath)) {
        parent = tree.GetRootItem();
    } else if (auto found = tree.m_itemsByPath.find(folder); found != tree.m_itemsByPath.end()) {
        parent = found->second;
    }
    if (!parent || tree.m_itemsByPath.count(path)) return;
    // A folder never filled shows the page when it fills.
    if (parent == tree.GetRootItem() || tree.GetChildItem(parent))
        tree.InsertEntry(parent, folder, GetPathLastPart(path), false, true);
    else
        tree.SetItemHasChildren(parent, true);
}

const MessageMap* CMainFrame::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CMainFrame::OnCreate>(WM_CREATE),
        MapMessage<&CMainFrame::OnClose>(WM_CLOSE),
        MapMessage<&CMainFrame::OnSize>(WM_SIZE),
        MapCommand<&CMainFrame::OnLeftBar>(ID_VIEW_LEFT_BAR),
        MapCommand<&CMainFrame::OnDockTreeBar>(ID_DOCK_TREE_BAR),
        MapCommand<&CMainFrame::OnMaximize>(ID_WINDOW_MAXIMIZE),
        MapCommand<&CMainFrame::OnMinimize>(ID_WINDOW_MINIMIZE),
        MapCommand<&CMainFrame::OnViewStatusBar>(ID_VIEW_STATUS_BAR),
        MapUpdateUI<&CMainFrame::OnUpdateLeftBar>(ID_VIEW_LEFT_BAR),
        MapUpdateUI<&CMainFrame::OnUpdateStatusBar>(ID_VIEW_STATUS_BAR),
        MapUpdateUI<&CMainFrame::OnUpdateToolbarControl>(ID_FORMAT_FONT_NAME),
        MapUpdateUI<&CMainFrame::OnUpdateToolbarControl>(ID_FORMAT_FONT_SIZE),
        MapUpdateUI<&CMainFrame::OnUpdateToolbarControl>(ID_FORMAT_COLOR),
        MapUpdateUI<&CMainFrame::OnUpdateToolbarControl>(ID_FORMAT_SPARE),
        MapUpdateUI<&CMainFrame::OnUpdateToolbarControl>(ID_FORMAT_HIGHLIGHT),
        MapNotify<&CMainFrame::OnToolbarCustomDraw>(OXTBN_CUSTOMDRAWRELAY, ID_FORMAT_TOOLBAR),
        MapNotify<&CMainFrame::OnToolbarDropDown>(TBN_DROPDOWN, ID_FORMAT_TOOLBAR),
        MapCommand<&CMainFrame::OnColor>(ID_FORMAT_COLOR),
        MapCommand<&CMainFrame::OnHighLight>(ID_FORMAT_HIGHLIGHT),
        MapCommand<&CMainFrame::OnNewPage>(ID_FILE_NEW_PAGE),
        MapCommand<&CMainFrame::OnNewFolder>(ID_FILE_NEW_FOLDER),
        MapCommand<&CMainFrame::OnDelete>(ID_FILE_DELETE),
        MapCommand<&CMainFrame::OnRename>(ID_FILE_RENAME),
        MapCommand<&CMainFrame::OnRefreshTree>(ID_FILE_REFRESH_TREE),
        MapCommand<&CMainFrame::OnCloseAllAndReload>(ID_CLOSE_ALL_AND_RELOAD),
        MapCommand<&CMainFrame::OnViewSource>(ID_VIEW_SOURCE),
        MapCommand<&CMainFrame::OnShowOpenCount>(ID_SHOW_OPEN_COUNT),
        MapCommand<&CMainFrame::OnExportSelected>(ID_EXPORT_SELECTED),
        MapCommandRange<&CMainFrame::OnBarCheckRange>(ID_FORMAT_TOOLBAR, ID_FORMAT_TOOLBAR + 10),
        MapCommand<&CMainFrame::OnImport>(ID_FILE_IMPORT),
        MapCommand<&CMainFrame::OnExport>(ID_FILE_EXPORT),
        MapCommand<&CMainFrame::OnSearch>(ID_EDIT_SEARCH),
        MapCommand<&CMainFrame::OnRestoreBackup>(ID_TOOLS_RESTORE_BACKUP),
        MapCommand<&CMainFrame::OnRenewBackup>(ID_TOOLS_RENEW_BACKUP),
        MapCommand<&CMainFrame::OnClearWordRecentFiles>(ID_TOOLS_CLEAR_WORD_RECENT),
        MapCommand<&CMainFrame::OnClearExcelRecentFiles>(ID_TOOLS_CLEAR_EXCEL_RECENT),
        MapCommand<&CMainFrame::OnRestoreFavorites>(ID_TOOLS_RESTORE_FAVORITES),
        MapCommand<&CMainFrame::OnRestoreTypedUrls>(ID_TOOLS_RESTORE_ADDRESS_HISTORY),
        MapCommand<&CMainFrame::OnEmptyFavorites>(ID_TOOLS_EMPTY_FAVORITES),
        MapCommand<&CMainFrame::OnHideDrive>(ID_TOOLS_HIDE_DRIVE),
        MapCommand<&CMainFrame::OnSampleFormRecord>(ID_TOOLS_SAMPLE_FORM_RECORD),
    };
    static const MessageMap map{CMDIFrameWnd::GetMessageMap(), entries};
    return &map;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!m_rectCreate.IsRectEmpty()) {
        cs.x = m_rectCreate.left;
        cs.y = m_rectCreate.top;
        cs.cx = m_rectCreate.Width();
        cs.cy = m_rectCreate.Height();
    }
    // The frame's white background is never drawn over its children: where a bar
    // leaves a place that the pages then take, the page's own paint shows there.
    cs.style |= WS_CLIPCHILDREN;
    return CMDIFrameWnd::PreCreateWindow(cs);
}

int CMainFrame::OnCreate(LPCREATESTRUCT cs) {
    if (CMDIFrameWnd::OnCreate(cs) == -1) return -1;
    if (!CreateToolBar()) return -1;
    // The program starts without a status bar: made hidden, shown by its View item.
    if (!CreateStatusBar()) return -1;

    EnableDocking(CBRS_ALIGN_ANY);
    m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY, TRUE);
    DockControlBar(&m_wndToolBar);

    if (!m_wndTreeBar.Create(L"Bookmark Explorer:", this, kTreeBarId, WS_CHILD | WS_VISIBLE | CBRS_TOP)) return -1;
    m_wndTreeBar.LoadState(L"Tarvelo");
    m_wndTreeBar.SetSizeBarStyle(m_wndTreeBar.GetSizeBarStyle() | SZBARF_SIZECHILD);
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

    m_wndTreeBar.SetBarStyle(m_wndTreeBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
    m_wndTreeBar.EnableDocking(CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndTreeBar, AFX_IDW_DOCKBAR_LEFT);

    m_menuOrganizer.AttachFrameWnd(this);
    m_menuOrganizer.AutoSetMenuImages();
    return 0;
}

namespace {

// Widens a toolbar's combo box (never below its width) until its longest
// item shows whole in the box's own font, and makes its list tall enough for
// its items, up to 30 rows as the system's combo boxes show.
void FitComboBoxToItems(COXCoolToolBar& bar, int index, int width) {
    CWnd* box = bar.GetCustomButtonWindow(index);
    if (!box || !box->GetSafeHwnd()) return;
    const int count = static_cast<int>(box->SendMessage(CB_GETCOUNT));
    HDC dc = ::GetDC(box->m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(box->SendMessage(WM_GETFONT)));
    int widest = 0;
    for (int i = 0; i < count; ++i) {
        CString text;
        const int length = static_cast<int>(box->SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(i)));
        if (length <= 0) continue;
        box->SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.GetBuffer(length + 1)));
        text.ReleaseBuffer(length);
        SIZE size{};
        ::GetTextExtentPoint32W(dc, text, text.GetLength(), &size);
        widest = std::max<int>(widest, size.cx);
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(box->m_hWnd, dc);
    // Beside its text the box has its edges, the button and the edit field's margins.
    CRect closed, field;
    box->GetWindowRect(&closed);
    HWND edit = ::GetWindow(box->m_hWnd, GW_CHILD);
    int beside = ::GetSystemMetrics(SM_CXVSCROLL) + 4 * ::GetSystemMetrics(SM_CXEDGE);
    if (edit) {
        ::GetClientRect(edit, &field);
        const DWORD margins = static_cast<DWORD>(::SendMessageW(edit, EM_GETMARGINS, 0, 0));
        beside = closed.Width() - field.Width() + LOWORD(margins) + HIWORD(margins);
    }
    // The bar places the box 2 pixels in from each side of its button.
    width = std::max(width, widest + beside + 2 + 4);
    const int rows = std::min(count, 30);
    const int list = rows * std::max(static_cast<int>(box->SendMessage(CB_GETITEMHEIGHT, 0)), 1) + 2;
    bar.ResizeCustomButton(index, width, closed.Height() + list);
    // The list's own frame comes off what the box is given: what it lacks is added once.
    CRect dropped;
    box->SendMessage(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    const int shown = dropped.Height() - closed.Height();
    if (shown < list) bar.ResizeCustomButton(index, width, closed.Height() + 2 * list - shown);
}

}  // namespace

bool CMainFrame::CreateToolBar() {
    if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT,
                               WS_CHILD | WS_VISIBLE | CBRS_GRIPPER | CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY |
                                   CBRS_SIZE_DYNAMIC,
                               CRect(3, 1, 0, 1), ID_FORMAT_TOOLBAR) ||
        !m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
        return false;
    for (UINT id : {ID_FORMAT_COLOR, ID_FORMAT_HIGHLIGHT}) {
        int index = m_wndToolBar.CommandToIndex(id);
        if (index >= 0) m_wndToolBar.SetButtonStyle(index, m_wndToolBar.GetButtonStyle(index) | TBSTYLE_DROPDOWN);
    }
    m_wndToolBar.SetDropDownArrow(TRUE);
    // One font for the toolbar's boxes, made once per process.
    static HFONT boxFont = [] {
        HDC screen = GetDC(nullptr);
        HFONT font = CreateFontW(-MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                 DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
        ReleaseDC(nullptr, screen);
        return font;
    }();
    int fontBox = COXCoolToolBar::MakeCustomButtonDescriptor(&m_fontNameBox, ID_FORMAT_FONT_NAME, 118, 100, 7, -1);
    if (m_wndToolBar.InsertComboBox(16, fontBox, WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN)) {
        if (auto* box = dynamic_cast<CFontComboBox*>(m_wndToolBar.GetCustomButtonWindow(16))) {
            box->SetFont(boxFont, TRUE);
            if (CWinApp* app = AfxGetApp()) app->CreatePrinterDC(m_printerDC);
            box->FillFonts(m_printerDC.GetSafeHdc(), DEFAULT_CHARSET);
            FitComboBoxToItems(m_wndToolBar, 16, 118);
        }
    }
    int sizeBox = COXCoolToolBar::MakeCustomButtonDescriptor(&m_fontSizeBox, ID_FORMAT_FONT_SIZE, 45, 100, 7, -1);
    if (m_wndToolBar.InsertComboBox(17, sizeBox, WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN)) {
        if (CWnd* box = m_wndToolBar.GetCustomButtonWindow(17)) {
            box->SetFont(boxFont, TRUE);
            box->SetRedraw(FALSE);
            for (const wchar_t* size : {L"5", L"6", L"7", L"8", L"9", L"10", L"11", L"12", L"13", L"14", L"15", L"16",
                                        L"17", L"18", L"20", L"22", L"24", L"26", L"28", L"30", L"32", L"34", L"36"})
                box->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(size));
            box->SetRedraw(TRUE);
            FitComboBoxToItems(m_wndToolBar, 17, 45);
        }
    }
    m_wndToolBar.UpdateSizes();
    m_wndToolBar.SetFlat(TRUE);
    m_wndToolBar.SetGripper(TRUE);
    return true;
}

void CMainFrame::OnClose() {
    if (m_lpfnCloseProc) {  // a print preview is up: closing ends it
        m_lpfnCloseProc(this);
        return;
    }
    // Modified pages are asked about first; Cancel keeps everything open.
    CWinApp* app = AfxGetApp();
    if (app && !app->SaveAllModified()) return;
    // The page the user leaves open in front is the one the next start reopens.
    if (CMDIChildWnd* active = MDIGetActive(); active && app)
        if (CDocument* document = active->GetActiveDocument(); document && !document->GetPathName().IsEmpty())
            app->WriteProfileString(L"Settings", L"FileHot", document->GetPathName());
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

void CMainFrame::OnSize(UINT type, int cx, int cy) {
    if (type == SIZE_MINIMIZED) return;
    if (HWND first = ::GetWindow(m_hWnd, GW_CHILD)) ::MoveWindow(first, 0, 0, cx, cy, TRUE);
    if (m_wndToolBar.GetSafeHwnd()) {
        ShowControlBar(&m_wndToolBar, TRUE, TRUE);
        DockAgain(m_wndToolBar, AFX_IDW_DOCKBAR_TOP);
    }
    if (m_wndTreeBar.GetSafeHwnd()) DockAgain(m_wndTreeBar, AFX_IDW_DOCKBAR_LEFT);
    RecalcLayout();
}

void CMainFrame::DockAgain(CControlBar& bar, UINT dockBarId) {
    // A bar docked there keeps its place and row; a floating one comes back.
    if (bar.m_pDockBar && !bar.m_pDockBar->m_bFloating && bar.m_pDockBar->GetDlgCtrlID() == static_cast<int>(dockBarId))
        return;
    DockControlBar(&bar, dockBarId);
}

void CMainFrame::OnLeftBar() {
    // A floating bar, too, comes back docked at the left.
    ShowControlBar(&m_wndTreeBar, !m_wndTreeBar.IsVisible(), FALSE);
    DockControlBar(&m_wndTreeBar, AFX_IDW_DOCKBAR_LEFT);
}

void CMainFrame::OnDockTreeBar() {
    ShowControlBar(&m_wndTreeBar, TRUE, FALSE);
    DockControlBar(&m_wndTreeBar, AFX_IDW_DOCKBAR_LEFT);
}

void CMainFrame::OnUpdateLeftBar(CCmdUI* cmdUI) { cmdUI->SetCheck(m_wndTreeBar.IsVisible() ? 1 : 0); }

void CMainFrame::OnViewStatusBar() { ShowControlBar(&m_wndStatusBar, !m_wndStatusBar.IsVisible(), FALSE); }

// Status bar: the message pane and the caps, num and scroll lock panes.
bool CMainFrame::CreateStatusBar() {
    static const UINT indicators[] = {0, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
    if (m_wndStatusBar.Create(this, WS_CHILD | CBRS_BOTTOM, kStatusBarId) &&
        m_wndStatusBar.SetIndicators(indicators, 4))
        return true;
    if (m_wndStatusBar.GetSafeHwnd()) m_wndStatusBar.DestroyWindow();
    return false;
}

void CMainFrame::OnUpdateStatusBar(CCmdUI* cmdUI) { cmdUI->SetCheck(m_wndStatusBar.IsVisible() ? 1 : 0); }

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

void CMainFrame::OnBarCheckRange(UINT id) {
    if (CControlBar* bar = GetControlBar(id)) ShowControlBar(bar, !bar->IsVisible(), FALSE);
}

CRect CMainFrame::ColorStripRect(const RECT& button, int arrowWidth) {
    CRect strip(button.left + 5, button.top + 2, button.right - 5, button.bottom - 2);
    strip.top = strip.bottom - 5;
    strip.right -= arrowWidth - 2;  // ends left of the drop-down arrow
    strip.bottom -= 2;
    return strip;
}

void CMainFrame::OnToolbarCustomDraw(NMHDR* header, LRESULT* result) {
    *result = 0;
    auto* relay = reinterpret_cast<OXTBCUSTOMDRAWRELAY*>(header);
    relay->result = 0;
    NMTBCUSTOMDRAW* draw = relay->pCustomDraw;
    if (!draw || draw->nmcd.dwDrawStage != CDDS_ITEMPOSTPAINT) return;
    UINT id = static_cast<UINT>(draw->nmcd.dwItemSpec);
    if (id != ID_FORMAT_COLOR && id != ID_FORMAT_HIGHLIGHT) return;
    COLORREF color = GetSysColor(COLOR_BTNSHADOW);
    CTarveloDoc* page = ActivePageDocument();
    if (page && !(draw->nmcd.uItemState & (CDIS_DISABLED | CDIS_GRAYED)))
        color = id == ID_FORMAT_COLOR ? page->m_textColor : page->m_highlightColor;
    CRect button = draw->nmcd.rc;
    if (int index = m_wndToolBar.GetSafeHwnd() ? m_wndToolBar.CommandToIndex(id) : -1; index >= 0)
        m_wndToolBar.GetItemRect(index, &button);
    CRect strip = ColorStripRect(button, m_wndToolBar.GetDropDownArrowWidth());
    HBRUSH frame = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
    FrameRect(draw->nmcd.hdc, &strip, frame);
    DeleteObject(frame);
    if (color != 0xFFFFFFFF) {
        HBRUSH fill = CreateSolidBrush(color);
        FillRect(draw->nmcd.hdc, &strip, fill);
        DeleteObject(fill);
    }
    // The do-default flag stays set: the skin goes on with its own drawing of the stage (the
    // drop-down arrow's border, the customise frame), which leaves the strip alone.
}

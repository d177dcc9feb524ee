#include "docking/SizeDockFrames.h"

#include "app/AfxMessageBox.h"
#include "app/WinApp.h"
#include "docking/MDIChildWndSizeDock.h"
#include "docking/SizableMiniDockFrameWnd.h"
#include "docking/SizeDockBar.h"
#include "docview/DocManager.h"
#include "docview/DocTemplate.h"
#include "docview/Document.h"
#include "wnd/Resources.h"

#include <memory>

namespace {
struct Side {
    DWORD align;
    UINT id;
};
constexpr Side kSides[] = {{CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_TOP},
                           {CBRS_ALIGN_BOTTOM, AFX_IDW_DOCKBAR_BOTTOM},
                           {CBRS_ALIGN_LEFT, AFX_IDW_DOCKBAR_LEFT},
                           {CBRS_ALIGN_RIGHT, AFX_IDW_DOCKBAR_RIGHT}};

CMiniDockFrameWnd* MakeSizableFrame(CFrameWnd* owner, DWORD style) {
    auto frame = std::make_unique<COXSizableMiniDockFrameWnd>();
    if (!frame->Create(owner, style)) return nullptr;
    return frame.release();  // deletes itself with its window
}
}  // namespace

void EnableSizeDocking(CFrameWnd* frame, DWORD dockStyle) {
    for (const Side& side : kSides) {
        if (!(dockStyle & side.align) || frame->GetControlBar(side.id)) continue;
        auto dock = std::make_unique<COXSizeDockBar>();
        if (!dock->Create(frame, WS_CHILD | WS_VISIBLE | side.align, side.id)) continue;
        dock->m_bAutoDelete = TRUE;
        dock.release();
    }
}

namespace {
// The application's windows go out of sight while its documents close.
void HideApplication(CWinApp& app) {
    CWnd* main = app.m_pMainWnd;
    if (!main || !main->m_hWnd) return;
    ::ShowOwnedPopups(main->m_hWnd, FALSE);
    main->ShowWindow(SW_HIDE);
}
}  // namespace

BOOL ToolkitDragWanted() {
    CWnd* main = AfxGetMainWnd();
    return main && main->m_hWnd && main->SendMessage(WM_QUERYSIZEDOCK) != 0;
}

// The MDI frame ---------------------------------------------------------------------------

const MessageMap* COXMDIFrameWndSizeDock::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXMDIFrameWndSizeDock::OnQuerySizeDock>(WM_QUERYSIZEDOCK),
        MapMessage<&COXMDIFrameWndSizeDock::OnClose>(WM_CLOSE),
        MapMessage<&COXMDIFrameWndSizeDock::OnDestroy>(WM_DESTROY),
        MapMessage<&COXMDIFrameWndSizeDock::OnActivate>(WM_ACTIVATE),
        MapCommand<&COXMDIFrameWndSizeDock::OnWindowNew>(ID_WINDOW_NEW),
    };
    static const MessageMap map{CMDIFrameWnd::GetMessageMap(), entries};
    return &map;
}

void COXMDIFrameWndSizeDock::EnableDocking(DWORD dockStyle) { EnableSizeDocking(this, dockStyle); }

void COXMDIFrameWndSizeDock::OnWindowNew() {
    CMDIChildWnd* active = MDIGetActive();
    CDocument* document = active ? active->GetActiveDocument() : nullptr;
    CDocTemplate* docTemplate = document ? document->GetDocTemplate() : nullptr;
    CFrameWnd* frame = docTemplate ? docTemplate->CreateNewFrame(document, active) : nullptr;
    if (!frame) {
        CString failed = LoadStringResource(AFX_IDP_COMMAND_FAILURE);
        AfxMessageBox(failed.IsEmpty() ? L"Command failed." : failed.GetString());
        return;
    }
    docTemplate->InitialUpdateFrame(frame, document);
}

CMiniDockFrameWnd* COXMDIFrameWndSizeDock::CreateFloatingFrame(DWORD style) { return MakeSizableFrame(this, style); }

CMDIChildWnd* COXMDIFrameWndSizeDock::MDIGetActive(BOOL* maximized) const {
    if (m_pActiveFloatChild && ::IsWindow(m_pActiveFloatChild->m_hWnd)) {
        if (maximized) *maximized = FALSE;
        return dynamic_cast<CMDIChildWnd*>(m_pActiveFloatChild);
    }
    return CMDIFrameWnd::MDIGetActive(maximized);
}

void COXMDIFrameWndSizeDock::SetActiveFloatChild(CWnd* child) {
    m_pActiveFloatChild = (child && child->m_hWnd && ::IsWindow(child->m_hWnd)) ? child : nullptr;
}

void COXMDIFrameWndSizeDock::OnChildActivated(CMDIChildWnd* child) {
    auto* sizeChild = dynamic_cast<COXMDIChildWndSizeDock*>(child);
    if (sizeChild && sizeChild->m_bViewDocked) {
        m_pActiveFloatChild = sizeChild;
    } else {
        m_pActiveFloatChild = nullptr;
        if (child) MDIActivate(child);
    }
    CMDIChildWnd* active = MDIGetActive();
    for (HWND h = ::GetWindow(m_hWndMDIClient, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
        if (auto* other = dynamic_cast<COXMDIChildWndSizeDock*>(CWnd::FromHandlePermanent(h)))
            other->SendMessage(WM_NCACTIVATE, other == active);
}

BOOL COXMDIFrameWndSizeDock::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (CMDIChildWnd* child = MDIGetActive(); child && child->m_hWnd && m_pActiveFloatChild == child) {
        if (child->SendMessage(WM_COMMAND, wParam, lParam)) return TRUE;
    }
    if (CMDIFrameWnd::OnCommand(wParam, lParam)) return TRUE;
    if (lParam == 0 && (LOWORD(wParam) & 0xF000) == 0xF000) {
        DefWindowProc(WM_COMMAND, wParam, lParam);
        return TRUE;
    }
    return FALSE;
}

void COXMDIFrameWndSizeDock::OnClose() {
    if (m_lpfnCloseProc) {  // a print preview ends instead
        m_lpfnCloseProc(this);
        return;
    }
    if (m_bClosing) return;
    m_bClosing = TRUE;
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        if (app->m_pDocManager && !app->m_pDocManager->SaveAllModified()) {
            m_bClosing = FALSE;
            return;
        }
        // Every document was saved or let go: nothing asks again while they close.
        if (app->m_pDocManager)
            for (const auto& docTemplate : app->m_pDocManager->GetTemplates())
                for (CDocument* document : docTemplate->GetDocuments()) document->SetModifiedFlag(FALSE);
        HideApplication(*app);
        // Docked views go back into their children before the documents close.
        for (HWND h = ::GetWindow(m_hWndMDIClient, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
            if (auto* child = dynamic_cast<COXMDIChildWndSizeDock*>(CWnd::FromHandlePermanent(h));
                child && child->m_bViewDocked && child->m_wndViewBar.m_hWnd)
                child->SetViewDocked(FALSE, 0);
        if (app->m_pDocManager) app->m_pDocManager->CloseAllDocuments(FALSE);
        if (!app->m_pMainWnd) {  // the documents took the main window with them
            ::PostQuitMessage(0);
            return;
        }
    } else {
        // A frame that is not the main window asks each child's document before it goes:
        // unsaved pages are never lost.
        for (HWND h = ::GetWindow(m_hWndMDIClient, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
            auto* child = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(h));
            CDocument* document = child ? child->GetActiveDocument() : nullptr;
            if (document && !document->CanCloseFrame(child)) {
                m_bClosing = FALSE;
                return;
            }
        }
    }
    m_bClosing = FALSE;
    DestroyWindow();
}

void COXMDIFrameWndSizeDock::OnDestroy() {
    if (!(GetStyle() & WS_CHILD)) COXSizeControlBar::DestroyFrameBars(this);
    CFrameWnd::OnDestroy();
}

LRESULT COXMDIFrameWndSizeDock::OnActivate(WPARAM wParam, LPARAM) {
    const LRESULT result = Default();
    if (m_pActiveSizeBar && m_pActiveSizeBar->m_hWnd) {
        if (LOWORD(wParam) == WA_INACTIVE) m_pActiveSizeBar->SetActive(FALSE, FALSE);
        else if (LOWORD(wParam) == WA_ACTIVE) m_pActiveSizeBar->SetActive(TRUE, TRUE);
    }
    return result;
}

void COXMDIFrameWndSizeDock::FloatControlBarInMDIChild(CControlBar* bar, CPoint point, DWORD dockStyle, BOOL show) {
    if (!bar || !bar->m_hWnd || !m_hWndMDIClient) return;
    CRect client;
    ::GetClientRect(m_hWndMDIClient, &client);
    ::ScreenToClient(m_hWndMDIClient, &point);
    CRect window;
    bar->GetWindowRect(&window);
    point.x = std::clamp<LONG>(point.x, 0, std::max<LONG>(0, client.right - window.Width()));
    point.y = std::clamp<LONG>(point.y, 0, std::max<LONG>(0, client.bottom - window.Height()));
    auto floatWnd = std::make_unique<COXMDIFloatWnd>();
    if (!floatWnd->Create(this, dockStyle)) return;
    COXMDIFloatWnd* made = floatWnd.release();  // the window owns it from here
    made->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    made->m_wndDockBar.DockControlBar(bar, nullptr);
    bar->m_pDockSite = this;
    AddControlBar(bar);
    made->RecalcLayout();
    if (show) {
        made->ShowWindow(SW_SHOW);
        made->UpdateWindow();
    }
    ::SendMessageW(m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
    RecalcLayout();
}

void COXMDIFrameWndSizeDock::FloatControlBarFromMDIChild(CControlBar* bar, CPoint, DWORD dockStyle) {
    if (!bar || !bar->m_hWnd || !bar->m_pDockBar) return;
    CWnd* oldParent = bar->m_pDockBar->GetParent();
    CRect at;
    oldParent->GetWindowRect(&at);
    CMiniDockFrameWnd* frame = CreateFloatingFrame(dockStyle);
    if (!frame) return;
    frame->SetWindowPos(nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    frame->m_wndDockBar.DockControlBar(bar, nullptr);
    frame->RecalcLayout();
    frame->ShowWindow(SW_SHOWNA);
    frame->UpdateWindow();
    ::SendMessageW(m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
}

// The single-document frame -------------------------------------------------------------------

const MessageMap* COXFrameWndSizeDock::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXFrameWndSizeDock::OnQuerySizeDock>(WM_QUERYSIZEDOCK),
        MapMessage<&COXFrameWndSizeDock::OnDestroy>(WM_DESTROY),
    };
    static const MessageMap map{CFrameWnd::GetMessageMap(), entries};
    return &map;
}

void COXFrameWndSizeDock::EnableDocking(DWORD dockStyle) { EnableSizeDocking(this, dockStyle); }
CMiniDockFrameWnd* COXFrameWndSizeDock::CreateFloatingFrame(DWORD style) { return MakeSizableFrame(this, style); }

void COXFrameWndSizeDock::OnDestroy() {
    if (!(GetStyle() & WS_CHILD)) COXSizeControlBar::DestroyFrameBars(this);
    CFrameWnd::OnDestroy();
}

#include "wnd/FrameWnd.h"

#include "app/WinApp.h"
#include "docview/Document.h"
#include "docview/PreviewView.h"
#include "docview/RuntimeClass.h"
#include "docview/View.h"
#include "wnd/AcceleratorKeys.h"
#include "wnd/FloatStatus.h"
#include "wnd/Resources.h"

#include <memory>
#include <vector>

const MessageMap* CFrameWnd::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CFrameWnd::OnCreate>(WM_CREATE),
        MapMessage<&CFrameWnd::OnClose>(WM_CLOSE),
        MapMessage<&CFrameWnd::OnDestroy>(WM_DESTROY),
        MapMessage<&CFrameWnd::OnSize>(WM_SIZE),
        MapMessage<&CFrameWnd::OnInitMenuPopup>(WM_INITMENUPOPUP),
        MapMessage<&CFrameWnd::OnIdleUpdateCmdUI>(WM_IDLEUPDATECMDUI),
        MapMessage<&CFrameWnd::OnSetFocus>(WM_SETFOCUS),
        MapMessage<&CFrameWnd::OnNcActivate>(WM_NCACTIVATE),
        MapMessage<&CFrameWnd::OnWindowPosChanged>(WM_WINDOWPOSCHANGED),
        MapMessage<&CFrameWnd::OnTimer>(WM_TIMER),
        MapMessage<&CFrameWnd::OnMouseActivate>(WM_MOUSEACTIVATE),
        MapMessage<&CFrameWnd::OnActivate>(WM_ACTIVATE),
    };
    static const MessageMap map{CWnd::GetMessageMap(), entries};
    return &map;
}

namespace {
// Checks after an activation or a click that the frame's owned windows are
// still above it: half a second, as the X server may be slow to restack.
constexpr UINT_PTR kOwnedWindowsTimer = 0xE0F1;
constexpr UINT kOwnedWindowsChecks = 10;
constexpr UINT kOwnedWindowsCheckMs = 50;
// Gives the display's keyboard to the frame's focus window again, once the
// window that went away has surely left the display.
constexpr UINT_PTR kKeyboardAgainTimer = 0xE0F2;
constexpr UINT kKeyboardAgainMs = 100;
}  // namespace

LRESULT CFrameWnd::OnNcActivate(WPARAM wParam, LPARAM lParam) {
    // A floating window of this frame that keeps in step with it (a floating bar whose box
    // took the keyboard) is part of it: its activation leaves the frame's caption active.
    // The window system names the window that takes the activation in lParam.
    if (!wParam && !(GetStyle() & WS_CHILD) &&
        (AfxIsSyncActiveWindowOf(reinterpret_cast<HWND>(lParam), m_hWnd) || AfxIsSyncActiveWindowOf(::GetForegroundWindow(), m_hWnd)))
        wParam = TRUE;
    const LRESULT result = DefWindowProc(WM_NCACTIVATE, wParam, lParam);
    // Under Wine the X server restacks a window raised by a click some time
    // after its activation, without any message: the frame looks again
    // a few times while it settles.
    if (wParam) CheckOwnedWindowsForAWhile();
    // The floating windows kept in step with this frame show its state.
    AfxNotifyFloatingWindows(m_hWnd, wParam ? FS_ACTIVATE : FS_DEACTIVATE);
    return result;
}

LRESULT CFrameWnd::OnMouseActivate(WPARAM, LPARAM) {
    // Every click in the frame's windows comes up to here (the default
    // handling asks each parent), also while the frame is already active.
    const LRESULT result = Default();
    CheckOwnedWindowsForAWhile();
    return result;
}

void CFrameWnd::CheckOwnedWindowsForAWhile() {
    if (GetStyle() & WS_CHILD) return;
    m_ownedWindowChecks = kOwnedWindowsChecks;
    ::SetTimer(m_hWnd, kOwnedWindowsTimer, kOwnedWindowsCheckMs, nullptr);
}

LRESULT CFrameWnd::OnWindowPosChanged(WPARAM, LPARAM lParam) {
    const LRESULT result = Default();
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
    if (pos && !(pos->flags & SWP_NOZORDER) && !(GetStyle() & WS_CHILD)) RaiseOwnedWindows();
    return result;
}

LRESULT CFrameWnd::OnActivate(WPARAM wParam, LPARAM) {
    const LRESULT result = Default();
    // Under Wine the display (X) gives the keyboard back to the desktop when
    // the window that had it vanishes, even after the system has activated
    // this frame: a dialog of another program that closes over it (the clip
    // dialog) leaves the frame active with its focus window set while the
    // keys reach no program. A click (WA_CLICKACTIVE) brings the display's
    // keyboard along; an activation without one claims it again shortly.
    if (LOWORD(wParam) == WA_ACTIVE && !HIWORD(wParam) && !(GetStyle() & WS_CHILD)) {
        m_hWndFocusAtActivation = ::GetFocus();
        ::SetTimer(m_hWnd, kKeyboardAgainTimer, kKeyboardAgainMs, nullptr);
    }
    return result;
}

void CFrameWnd::ClaimKeyboardAgain() {
    HWND focus = ::GetFocus();
    // Only while nothing has moved the focus since (the user's click or key
    // decides then) and the frame still has the keyboard of the system.
    if (!focus || focus != m_hWndFocusAtActivation || ::GetForegroundWindow() != m_hWnd ||
        (focus != m_hWnd && !::IsChild(m_hWnd, focus)))
        return;
    // The same window again: the focus goes through no other window.
    ::SetFocus(nullptr);
    ::SetFocus(focus);
}

LRESULT CFrameWnd::OnTimer(WPARAM id, LPARAM) {
    if (id == kKeyboardAgainTimer) {
        ::KillTimer(m_hWnd, kKeyboardAgainTimer);
        ClaimKeyboardAgain();
        m_hWndFocusAtActivation = nullptr;
        return 0;
    }
    if (id != kOwnedWindowsTimer) return Default();
    RaiseOwnedWindows();
    if (m_ownedWindowChecks == 0 || --m_ownedWindowChecks == 0) ::KillTimer(m_hWnd, kOwnedWindowsTimer);
    return 0;
}

void CFrameWnd::RaiseOwnedWindows() {
    // Owned windows (a modeless dialog, a floating bar) belong above their
    // owner. Wine keeps them there only for an owner that is a popup itself:
    // when a click activates this frame they end up behind it.
    auto ownedByThis = [this](HWND window) {
        for (HWND owner = ::GetWindow(window, GW_OWNER); owner; owner = ::GetWindow(owner, GW_OWNER))
            if (owner == m_hWnd) return true;
        return false;
    };
    std::vector<HWND> below;
    for (HWND window = ::GetWindow(m_hWnd, GW_HWNDNEXT); window; window = ::GetWindow(window, GW_HWNDNEXT))
        if (::IsWindowVisible(window) && ownedByThis(window)) below.push_back(window);
    if (below.empty()) return;
    HWND above = ::GetWindow(m_hWnd, GW_HWNDPREV);
    HWND insertAfter = above && !(::GetWindowLongW(above, GWL_EXSTYLE) & WS_EX_TOPMOST) ? above : HWND_TOP;
    for (HWND window : below) {
        ::SetWindowPos(window, insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        insertAfter = window;
    }
}

const wchar_t* CFrameWnd::FrameClassFor(UINT resourceId, HBRUSH background) {
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId));
    if (!icon) icon = LoadIconW(nullptr, IDI_APPLICATION);
    return RegisterWndClass(CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW), background, icon);
}

BOOL CFrameWnd::LoadAccelTable(UINT resourceId) {
    if (!m_hAccelTable) m_hAccelTable = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId));
    return m_hAccelTable != nullptr;
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
    m_nIDHelp = resourceId;
    m_strTitle = ResourceStringPart(LoadStringResource(resourceId), 0);
    const wchar_t* windowClass = FrameClassFor(resourceId, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId));
    if (!CreateEx(0, windowClass, m_strTitle, style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  parent ? parent->m_hWnd : nullptr, menu, context)) {
        if (menu) DestroyMenu(menu);
        return FALSE;
    }
    m_hMenuDefault = ::GetMenu(m_hWnd);
    LoadAccelTable(resourceId);
    if (!context) SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE);
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT cs) {
    return OnCreateHelper(cs, static_cast<CCreateContext*>(cs->lpCreateParams));
}

int CFrameWnd::OnCreateHelper(LPCREATESTRUCT cs, CCreateContext* context) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    if (!OnCreateClient(cs, context)) return -1;
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* context) {
    if (context && context->m_pNewViewClass) return CreateView(context, AFX_IDW_PANE_FIRST) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* context, UINT id) {
    if (!context || !context->m_pNewViewClass) return nullptr;
    std::unique_ptr<CCmdTarget> object(context->m_pNewViewClass->CreateObject());
    auto* view = dynamic_cast<CWnd*>(object.get());
    if (!view) return nullptr;
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this, id, context))
        return nullptr;  // the object is deleted with `object`
    object.release();  // the window owns it now (deleted when it is destroyed)
    return view;
}

void CFrameWnd::SetActiveView(CView* view, BOOL notify) {
    CView* old = m_pViewActive;
    if (view == old) return;
    m_pViewActive = view;
    if (notify && old) old->OnActivateView(FALSE, view, old);
    if (notify && view) view->OnActivateView(TRUE, view, old);
    // A frame that holds the focus itself (it got it before it had a view:
    // a page window made while the keyboard was in the one it replaces)
    // hands it to the view, where the keys are meant to go.
    if (view && view->GetSafeHwnd() && ::GetFocus() == m_hWnd) view->SetFocus();
}

CDocument* CFrameWnd::GetActiveDocument() {
    CView* view = GetActiveView();
    return view ? view->GetDocument() : nullptr;
}

void CFrameWnd::ActivateFrame(int cmdShow) {
    if (cmdShow == -1) {
        if (!IsWindowVisible()) cmdShow = SW_SHOWNORMAL;
        else if (IsIconic()) cmdShow = SW_RESTORE;
    }
    if (cmdShow != -1) ShowWindow(cmdShow);
    if (!(GetStyle() & WS_CHILD)) ::BringWindowToTop(m_hWnd);
}

void CFrameWnd::InitialUpdateFrame(CDocument* document, BOOL makeVisible) {
    CView* view = nullptr;
    if (!GetActiveView()) {
        view = dynamic_cast<CView*>(FromHandlePermanent(::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST)));
        if (view) SetActiveView(view, FALSE);
    }
    SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE);
    if (makeVisible) {
        ActivateFrame();
        if (view) view->OnActivateView(TRUE, view, view);
    }
    // Shown now, the frame counts among its document's frames (which may already have been visible).
    if (document) document->UpdateFrameCounts();
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL addToTitle) {
    if (!(GetStyle() & FWS_ADDTOTITLE)) return;
    CDocument* document = GetActiveDocument();
    if (addToTitle && document) {
        UpdateFrameTitleForDocument(document->GetTitle());
    } else {
        UpdateFrameTitleForDocument(nullptr);
    }
}

void CFrameWnd::UpdateFrameTitleForDocument(const wchar_t* documentName) {
    if (!(GetStyle() & FWS_ADDTOTITLE)) return;
    CString text;
    if (!documentName || !*documentName) {
        text = m_strTitle;
    } else if (GetStyle() & FWS_PREFIXTITLE) {
        text = CString(documentName) + L" - " + m_strTitle;
    } else {
        text = m_strTitle + L" - " + documentName;
    }
    // Compared with what was set last, not with the window's text: the MDI
    // client decorates a frame's text with the maximised child's title.
    if (text == m_strTitleShown && !m_strTitleShown.IsEmpty()) return;
    m_strTitleShown = text;
    SetWindowText(text);
}

BOOL CFrameWnd::PlacePreview() {
    if (!m_pPreview || !m_pPreview->GetSafeHwnd()) return FALSE;
    CRect client;
    GetClientRect(&client);
    ::SetWindowPos(m_pPreview->m_hWnd, HWND_TOP, 0, 0, client.Width(), client.Height(),
                   SWP_NOACTIVATE);
    return TRUE;
}

void CFrameWnd::RecalcLayout(BOOL) {
    m_bLayoutPending = FALSE;
    if (PlacePreview()) return;
    RepositionBars(static_cast<UINT>(AFX_IDW_PANE_FIRST));
}

BOOL CFrameWnd::OnCmdMsg(CommandCall& call) {
    if (m_pPreview && m_pPreview->OnCmdMsg(call)) return TRUE;
    // The active view (which asks its document) first, then the frame, then the application.
    if (CView* view = GetActiveView(); view && view->OnCmdMsg(call)) return TRUE;
    if (CWnd::OnCmdMsg(call)) return TRUE;
    if (CWinApp* app = AfxGetApp(); app && app->OnCmdMsg(call)) return TRUE;
    return FALSE;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg) {
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
    return TranslateAcceleratorKeys(m_hWnd, GetDefaultAccelerator(), msg);
}

void CFrameWnd::OnClose() {
    if (m_lpfnCloseProc) {  // the print preview ends instead
        m_lpfnCloseProc(this);
        return;
    }
    // Only the active document is asked here; the main window asks all of them.
    CDocument* document = GetActiveDocument();
    if (document && !document->CanCloseFrame(this)) return;
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        if (!document && !app->SaveAllModified()) return;
        app->CloseAllDocuments(FALSE);
    }
    DestroyWindow();
}

void CFrameWnd::OnDestroy() {
    // The shared menus of document templates are not the frame's to destroy.
    if (m_hMenuDefault && ::GetMenu(m_hWnd) != m_hMenuDefault) ::SetMenu(m_hWnd, m_hMenuDefault);
    Default();
}

void CFrameWnd::OnSize(UINT type, int, int) {
    Default();
    if (type != SIZE_MINIMIZED) RecalcLayout();
}

void CFrameWnd::OnSetFocus() {
    if (m_pViewActive && m_pViewActive->GetSafeHwnd()) {
        m_pViewActive->SetFocus();
    } else {
        Default();
    }
}

void CFrameWnd::OnInitMenuPopup(HMENU menu, UINT, BOOL sysMenu) {
    if (sysMenu) {
        Default();
        return;
    }
    CCmdUI state;
    state.m_hMenu = menu;
    state.m_nIndexMax = static_cast<UINT>(GetMenuItemCount(menu));
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = GetMenuItemID(menu, static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0 || state.m_nID == static_cast<UINT>(-1)) continue;  // separator or popup
        state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
        // An update handler may have added or removed items (the recent-file list).
        UINT count = static_cast<UINT>(GetMenuItemCount(menu));
        if (count < state.m_nIndexMax) {
            state.m_nIndex -= (state.m_nIndexMax - count);
            while (state.m_nIndex < count && GetMenuItemID(menu, static_cast<int>(state.m_nIndex)) == state.m_nID)
                ++state.m_nIndex;
        }
        state.m_nIndexMax = count;
    }
}

void CFrameWnd::PostNcDestroy() {
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        PostQuitMessage(0);
    }
    delete this;
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM) {
    if (m_bLayoutPending) RecalcLayout();
    OnUpdateFrameTitle(TRUE);
    return 0;
}

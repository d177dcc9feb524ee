#include "wnd/MDIFrameWnd.h"

#include "docview/Document.h"
#include "docview/PreviewView.h"
#include "docview/View.h"
#include "wnd/MDIChildWnd.h"

const MessageMap* CMDIFrameWnd::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapCommandRange<&CMDIFrameWnd::OnWindowCommand>(ID_WINDOW_ARRANGE, ID_WINDOW_TILE_VERT),
        MapMessage<&CMDIFrameWnd::OnInitMenuPopup>(WM_INITMENUPOPUP),
    };
    static const MessageMap map{CFrameWnd::GetMessageMap(), entries};
    return &map;
}

CString WindowListEntryText(int number, const CString& title) {
    CString text;
    text.Format(L"&%d ", number);
    CString shown = title;
    shown.Replace(L"&", L"&&");
    return text + shown;
}

void CMDIFrameWnd::OnInitMenuPopup(HMENU menu, UINT index, BOOL sysMenu) {
    // The MDI client lists its children with their titles as menu texts, in
    // which an "&" would mark the next letter as a key. Each entry it made
    // (the child of the same id) is written again with the title escaped.
    if (!sysMenu && m_hWndMDIClient) {
        const int count = GetMenuItemCount(menu);
        for (int position = 0; position < count; ++position) {
            const UINT id = GetMenuItemID(menu, position);
            if (id < AFX_IDM_FIRST_MDICHILD || id >= AFX_IDM_FIRST_MDICHILD + 9) continue;
            HWND child = nullptr;
            for (HWND at = ::GetWindow(m_hWndMDIClient, GW_CHILD); at && !child; at = ::GetWindow(at, GW_HWNDNEXT))
                if (static_cast<UINT>(::GetDlgCtrlID(at)) == id) child = at;
            if (!child) continue;
            wchar_t title[512] = {};
            ::GetWindowTextW(child, title, 512);
            if (!wcschr(title, L'&')) continue;
            CString text = WindowListEntryText(static_cast<int>(id - AFX_IDM_FIRST_MDICHILD) + 1, title);
            MENUITEMINFOW item{};
            item.cbSize = sizeof(item);
            item.fMask = MIIM_STRING;
            item.dwTypeData = const_cast<wchar_t*>(text.GetString());
            ::SetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item);
        }
    }
    CFrameWnd::OnInitMenuPopup(menu, index, sysMenu);
}

HMENU CMDIFrameWnd::FindWindowMenu(HMENU menu) {
    if (!menu) return nullptr;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        if (lstrcmpiW(text, L"&Window") == 0) return GetSubMenu(menu, i);
    }
    // Otherwise the popup before the last one, as most programs place it.
    return count >= 2 ? GetSubMenu(menu, count - 2) : nullptr;
}

BOOL CMDIFrameWnd::OnCreateClient(LPCREATESTRUCT cs, CCreateContext*) {
    return CreateClient(cs, FindWindowMenu(::GetMenu(m_hWnd)));
}

BOOL CMDIFrameWnd::CreateClient(LPCREATESTRUCT, HMENU windowMenu) {
    CLIENTCREATESTRUCT ccs{};
    ccs.hWindowMenu = windowMenu;
    ccs.idFirstChild = AFX_IDM_FIRST_MDICHILD;
    m_hWndMDIClient = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                                      WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL, 0, 0, 0, 0,
                                      m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_PANE_FIRST)),
                                      GetModuleHandleW(nullptr), &ccs);
    // The client shows its scroll bars only while a child lies outside it. It
    // works that out from a message it posts itself, after the frame's first
    // paint: without a child there is nothing to scroll, so the bars are
    // hidden now, before anything paints them.
    if (m_hWndMDIClient) ::ShowScrollBar(m_hWndMDIClient, SB_BOTH, FALSE);
    return m_hWndMDIClient != nullptr;
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefFrameProcW(m_hWnd, m_hWndMDIClient, message, wParam, lParam);
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* maximized) const {
    if (!m_hWndMDIClient) return nullptr;
    BOOL max = FALSE;
    HWND active = reinterpret_cast<HWND>(::SendMessageW(m_hWndMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&max)));
    if (maximized) *maximized = active && max;
    return dynamic_cast<CMDIChildWnd*>(FromHandlePermanent(active));
}

void CMDIFrameWnd::MDIActivate(CWnd* child) {
    if (child && child->GetSafeHwnd()) ::SendMessageW(m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child->GetSafeHwnd()), 0);
}

void CMDIFrameWnd::MDISetMenu(HMENU frameMenu) {
    if (!m_hWndMDIClient || !frameMenu) return;
    ::SendMessageW(m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(frameMenu),
                   reinterpret_cast<LPARAM>(FindWindowMenu(frameMenu)));
    ::DrawMenuBar(m_hWnd);
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame() {
    if (CMDIChildWnd* child = MDIGetActive()) return child;
    return this;
}

BOOL CMDIFrameWnd::OnCmdMsg(CommandCall& call) {
    // The active child frame (its view, document, itself, the application), then the main window;
    // a print preview first.
    if (m_pPreview && m_pPreview->OnCmdMsg(call)) return TRUE;
    if (CMDIChildWnd* child = MDIGetActive(); child && child->OnCmdMsg(call)) return TRUE;
    return CFrameWnd::OnCmdMsg(call);
}

HACCEL CMDIFrameWnd::GetDefaultAccelerator() {
    if (CMDIChildWnd* child = MDIGetActive(); child && child->m_hAccelTable) return child->m_hAccelTable;
    return m_hAccelTable;
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* msg) {
    if (CFrameWnd::PreTranslateMessage(msg)) return TRUE;
    if ((msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) && m_hWndMDIClient &&
        ::TranslateMDISysAccel(m_hWndMDIClient, msg))
        return TRUE;
    return FALSE;
}

void CMDIFrameWnd::OnUpdateFrameTitle(BOOL addToTitle) {
    if (!(GetStyle() & FWS_ADDTOTITLE)) return;
    CMDIChildWnd* child = MDIGetActive();
    // A maximised child's title is shown by the MDI client beside the frame's own.
    if (addToTitle && child && !(child->GetStyle() & WS_MAXIMIZE)) {
        if (CDocument* document = child->GetActiveDocument()) {
            UpdateFrameTitleForDocument(document->GetTitle());
            return;
        }
    }
    UpdateFrameTitleForDocument(nullptr);
}

void CMDIFrameWnd::RecalcLayout(BOOL) {
    m_bLayoutPending = FALSE;
    if (PlacePreview()) return;
    RepositionBars(m_hWndMDIClient);
}

void CMDIFrameWnd::OnWindowCommand(UINT id) {
    switch (id) {
    case ID_WINDOW_ARRANGE: MDIIconArrange(); break;
    case ID_WINDOW_CASCADE: MDICascade(); break;
    case ID_WINDOW_TILE_HORZ: MDITile(MDITILE_HORIZONTAL); break;
    case ID_WINDOW_TILE_VERT: MDITile(MDITILE_VERTICAL); break;
    default: break;
    }
}

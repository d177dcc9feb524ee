#include "docking/SizeToolBar.h"

#include "app/WinApp.h"
#include "wnd/Resources.h"

#include <algorithm>

// The toolbar control ------------------------------------------------------------------------

const MessageMap* COXToolBarCtrl::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXToolBarCtrl::OnLButtonDown>(WM_LBUTTONDOWN),
    };
    static const MessageMap map{CWnd::GetMessageMap(), entries};
    return &map;
}

BOOL COXToolBarCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    if (!CWnd::Create(TOOLBARCLASSNAMEW, nullptr, style, rect, parent, id)) return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return TRUE;
}

int COXToolBarCtrl::ButtonAt(CPoint point) const {
    const int count = static_cast<int>(SendMessage(TB_BUTTONCOUNT));
    for (int i = count; i-- > 0;) {
        CRect item;
        if (!SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item))) continue;
        if (item.PtInRect(point)) {
            TBBUTTON button{};
            SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
            return (button.fsStyle & TBSTYLE_SEP) ? -1 : i;
        }
        if (point.y >= item.bottom) break;  // below this button: none further back holds it
    }
    return -1;
}

void COXToolBarCtrl::OnLButtonDown(UINT flags, CPoint point) {
    if (ButtonAt(point) >= 0) {
        Default();
        return;
    }
    // Empty space: the bar takes the press, so that it can be dragged from here.
    CWnd* owner = GetParent();
    if (!owner) return;
    ::MapWindowPoints(m_hWnd, owner->m_hWnd, &point, 1);
    owner->SendMessage(WM_LBUTTONDOWN, flags, MAKELPARAM(point.x, point.y));
}

// Command updates of one button ----------------------------------------------------------------

void COXToolCmdUI::Enable(BOOL on) {
    m_bEnableChanged = TRUE;
    TBBUTTON button{};
    if (!m_pToolBar->SendMessage(TB_GETBUTTON, m_nIndex, reinterpret_cast<LPARAM>(&button))) return;
    const BYTE state = on ? (button.fsState | TBSTATE_ENABLED) : (button.fsState & ~TBSTATE_ENABLED);
    if (state != button.fsState) m_pToolBar->SendMessage(TB_SETSTATE, static_cast<WPARAM>(button.idCommand), MAKELPARAM(state, 0));
}

void COXToolCmdUI::SetCheck(int check) {
    TBBUTTON button{};
    if (!m_pToolBar->SendMessage(TB_GETBUTTON, m_nIndex, reinterpret_cast<LPARAM>(&button))) return;
    BYTE state = button.fsState & 0xEE;
    if (check == 1) state |= TBSTATE_CHECKED;
    else if (check == 2) state |= TBSTATE_INDETERMINATE;
    if (state != button.fsState) m_pToolBar->SendMessage(TB_SETSTATE, static_cast<WPARAM>(button.idCommand), MAKELPARAM(state, 0));
}

// The bar ------------------------------------------------------------------------------------

const MessageMap* COXSizeToolBar::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXSizeToolBar::OnCreate>(WM_CREATE),
    };
    static const MessageMap map{COXSizeControlBar::GetMessageMap(), entries};
    return &map;
}

int COXSizeToolBar::OnCreate(LPCREATESTRUCT cs) {
    if (COXSizeControlBar::OnCreate(cs) == -1) return -1;
    CRect client;
    GetClientRect(&client);
    DWORD style = WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | TBSTYLE_WRAPABLE | CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE;
    if (m_pButtonIDs) style |= CCS_ADJUSTABLE;
    if (!m_ToolBarCtrl.Create(style, client, this, kToolBarId)) return -1;
    return 0;
}

void COXSizeToolBar::OnBarResized(int cx, int cy, int floatState, int flags) {
    COXSizeControlBar::OnBarResized(cx, cy, floatState, flags);
    if (!m_ToolBarCtrl.m_hWnd) return;
    CRect client;
    GetClientRect(&client);
    CRect place(1, 1, client.Width(), client.Height());
    place.DeflateRect(4, 2);
    m_ToolBarCtrl.SetWindowPos(nullptr, place.left, place.top, std::max(0, place.Width()), std::max(0, place.Height()), SWP_NOZORDER | SWP_NOACTIVATE);
    m_ToolBarCtrl.SendMessage(TB_AUTOSIZE);
}

void COXSizeToolBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) {
    COXSizeControlBar::OnUpdateCmdUI(target, disableIfNoHandler);
    if (!m_ToolBarCtrl.m_hWnd) return;
    const int count = static_cast<int>(m_ToolBarCtrl.SendMessage(TB_BUTTONCOUNT));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button{};
        if (!m_ToolBarCtrl.SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button))) continue;
        if (button.fsStyle & TBSTYLE_SEP) continue;
        COXToolCmdUI ui;
        ui.m_pToolBar = &m_ToolBarCtrl;
        ui.m_nID = static_cast<UINT>(button.idCommand);
        ui.m_nIndex = static_cast<UINT>(i);
        ui.m_nIndexMax = static_cast<UINT>(count);
        ui.DoUpdate(target, disableIfNoHandler);
    }
    UpdateDialogControls(target, disableIfNoHandler);
}

BOOL COXSizeToolBar::OnToolBarNotify(NMHDR* header, LRESULT* result) {
    switch (header->code) {
    case TBN_QUERYINSERT:
    case TBN_QUERYDELETE:
        *result = 1;
        return TRUE;
    case TBN_BEGINADJUST:
    case TBN_TOOLBARCHANGE:
        *result = 0;
        return TRUE;
    case TBN_GETBUTTONINFOW: {
        if (header->idFrom != kToolBarId) return FALSE;
        auto* info = reinterpret_cast<NMTOOLBARW*>(header);
        if (info->iItem < 0 || info->iItem >= m_nButtonCount || !m_pButtonIDs) {
            *result = 0;
            return TRUE;
        }
        info->tbButton.iBitmap = info->iItem;
        info->tbButton.idCommand = static_cast<int>(m_pButtonIDs[info->iItem]);
        info->tbButton.fsState = TBSTATE_ENABLED;
        info->tbButton.fsStyle = 0;
        info->tbButton.dwData = 0;
        if (info->pszText && info->cchText > 0) {
            const CString text = ResourceStringPart(LoadStringResource(m_pButtonIDs[info->iItem]), 1);
            lstrcpynW(info->pszText, text, info->cchText);
        }
        *result = 1;
        return TRUE;
    }
    case TTN_NEEDTEXTW: {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        const UINT id = static_cast<UINT>(header->idFrom);
        const CString text = LoadStringResource(id);
        if (text.Find(L'\n') >= 0) {
            lstrcpynW(info->szText, ResourceStringPart(text, 1), static_cast<int>(std::size(info->szText)));
            info->lpszText = info->szText;
            ::SetWindowPos(header->hwndFrom, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd) main->SendMessage(WM_SETMESSAGESTRING, id);
        *result = 0;
        return TRUE;
    }
    default:
        return FALSE;
    }
}

LRESULT COXSizeToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        LRESULT result = 0;
        if (OnToolBarNotify(reinterpret_cast<NMHDR*>(lParam), &result)) return result;
    }
    return COXSizeControlBar::WindowProc(message, wParam, lParam);
}

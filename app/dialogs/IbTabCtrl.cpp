#include "dialogs/IbTabCtrl.h"

#include "skins/ThemeTest.h"

const MessageMap* CIbTabCtrl::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapReflectNotify<&CIbTabCtrl::OnSelChange>(TCN_SELCHANGE),
    };
    static const MessageMap map{CTabCtrl::GetMessageMap(), entries};
    return &map;
}

void CIbTabCtrl::AddTab(const wchar_t* caption, CWnd* page) {
    InsertItem(GetItemCount(), caption);
    page->ShowWindow(SW_HIDE);
    ::SetParent(page->GetSafeHwnd(), ::GetParent(m_hWnd));
    m_pages.push_back(page);
}

void CIbTabCtrl::SetActiveTab(int index) {
    if (index < 0 || index >= static_cast<int>(m_pages.size())) return;
    m_current = index;
    SetCurSel(index);
    ShowPage(m_pages[static_cast<size_t>(index)]);
}

void CIbTabCtrl::ShowPage(CWnd* page) {
    if (m_current >= 0 && m_current < static_cast<int>(m_pages.size()))
        m_pages[static_cast<size_t>(m_current)]->ShowWindow(SW_HIDE);
    // The page covers the display area below the tabs, in the parent's
    // client coordinates. The themed tab pane draws a thinner frame, so
    // there the page reaches one pixel further to each side.
    CRect display;
    GetClientRect(&display);
    AdjustRect(FALSE, &display);
    if (IsThemeActiveXP()) {
        display.left -= 1;
        display.right += 1;
    }
    ::MapWindowPoints(m_hWnd, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&display), 2);
    page->SetWindowPos(m_hWnd, display.left, display.top, display.right - display.left, display.bottom - display.top,
                       SWP_SHOWWINDOW);
    page->ShowWindow(SW_SHOW);
}

void CIbTabCtrl::OnSelChange(NMHDR*, LRESULT* result) {
    int selected = GetCurSel();
    if (selected >= 0 && selected < static_cast<int>(m_pages.size())) {
        ShowPage(m_pages[static_cast<size_t>(selected)]);
        m_current = selected;
    }
    if (result) *result = 0;
}

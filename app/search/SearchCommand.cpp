// The main window's Search command: opens the "Find" dialog, or brings the
// open one to the front; either way the next "Find Next" starts a new run.
#include "MainFrame.h"

#include "exchange/ExchangeIds.h"
#include "search/DlgSearch.h"

#include <memory>

void CMainFrame::OnSearch() {
    if (!m_search.m_dialog) {
        auto dialog = std::make_unique<CDlgSearch>(this);
        if (!dialog->Create(IDD_FIND, this)) return;
        // The window owns the dialog object from here on (PostNcDestroy deletes it).
        // It opens centred on the main window, which owns it: it stays above
        // the main window while the user works in the pages.
        m_search.m_dialog = dialog.release();
        m_search.m_dialog->ShowWindow(SW_SHOW);
    } else {
        ::SetActiveWindow(m_search.m_dialog->m_hWnd);
    }
    ::SetFocus(::GetDlgItem(m_search.m_dialog->m_hWnd, IDC_FIND_KEYWORDS));
    m_search.StartNewRun();
}

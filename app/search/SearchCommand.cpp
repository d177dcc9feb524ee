// The main window's Search command: opens the "Find" dialog, or brings the
// open one to the front; either way the next "Find Next" starts a new run.
// The dialog's presses run the search, and a page view that has loaded the
// page a run found hands itself back for marking.
#include "MainFrame.h"

#include "exchange/ExchangeIds.h"
#include "page/TarveloView.h"
#include "search/DlgSearch.h"

#include "app/WinApp.h"
#include "docview/DocManager.h"
#include "docview/DocTemplate.h"
#include "docview/Document.h"

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

void CMainFrame::RunSearch(const CString& keywords, const CString& scope, int regularExpression, int matchCase) {
    m_search.Run(keywords, scope, regularExpression, matchCase);
}

int CMainFrame::MarkFoundPage(CTarveloView* view) {
    if (!view) return 0;
    m_search.MarkFoundPage(view);
    return 1;
}

CTarveloView* CMainFrame::FindFirstPageView() const {
    CWinApp* app = AfxGetApp();
    if (!app || !app->m_pDocManager) return nullptr;
    for (const auto& docTemplate : app->m_pDocManager->GetTemplates())
        for (CDocument* document : docTemplate->GetDocuments())
            for (CView* view : document->GetViews())
                if (auto* page = dynamic_cast<CTarveloView*>(view)) return page;
    return nullptr;
}

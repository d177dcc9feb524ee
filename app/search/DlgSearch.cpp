#include "search/DlgSearch.h"

#include "MainFrame.h"
#include "exchange/ExchangeIds.h"

#include "core/MessageBox.h"
#include "dialog/DataExchange.h"

CDlgSearch::CDlgSearch(CMainFrame* frame) : CDialog(IDD_FIND, frame), m_pFrame(frame) {}

BOOL CDlgSearch::OnInitDialog() {
    HWND scope = ::GetDlgItem(m_hWnd, IDC_FIND_SCOPE);
    for (const wchar_t* text : {L"All pages", L"All open pages", L"Selected Directory"})
        ::SendMessageW(scope, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    ::SetWindowTextW(scope, L"Selected Directory");
    return CDialog::OnInitDialog();
}

void CDlgSearch::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_FIND_PATTERN, m_checkPattern);
    DDX_Control(dx, IDC_FIND_CASE, m_checkCase);
}

void CDlgSearch::OnOK() {
    m_nRegularExpression = m_checkPattern.GetCheck() == BST_CHECKED ? 1 : 0;
    m_nMatchCase = m_checkCase.GetCheck() == BST_CHECKED ? 1 : 0;
    m_strScope = GetDlgItemText(IDC_FIND_SCOPE);
    m_strKeywords = GetDlgItemText(IDC_FIND_KEYWORDS);
    if (m_strKeywords.IsEmpty()) {
        ShowMessageBox(m_hWnd, L"Please input the search keywords.", L"Tarvelo", MB_OK);
        return;
    }
    m_pFrame->RunSearch(m_strKeywords, m_strScope, m_nRegularExpression, m_nMatchCase);
}

void CDlgSearch::OnCancel() {
    m_pFrame->m_search.ClearMarkedView();
    m_pFrame->m_search.m_dialog = nullptr;
    DestroyWindow();
}

void CDlgSearch::PostNcDestroy() {
    if (m_pFrame->m_search.m_dialog == this) m_pFrame->m_search.m_dialog = nullptr;
    delete this;
}

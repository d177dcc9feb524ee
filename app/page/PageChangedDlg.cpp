#include "page/PageChangedDlg.h"

#include "page/PageChangedIds.h"

CPageChangedDlg::CPageChangedDlg(const CString& page, const CString& copyName, CWnd* parent)
    : CDialog(IDD_PAGE_CHANGED, parent) {
    m_text = page + L" was changed by another program since you opened it.\n\n"
             L"Keep both: save your changes, with the links the other program added, and keep its version as \"" +
             copyName + L"\".\nReload: drop your changes and show the page as the other program left it.";
}

const MessageMap* CPageChangedDlg::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapControl<&CPageChangedDlg::OnKeepBoth>(BN_CLICKED, IDC_KEEP_BOTH),
        MapControl<&CPageChangedDlg::OnReload>(BN_CLICKED, IDC_RELOAD),
    };
    static const MessageMap map{CDialog::GetMessageMap(), entries};
    return &map;
}

BOOL CPageChangedDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SetDlgItemTextW(m_hWnd, IDC_PAGE_CHANGED_TEXT, m_text);
    return TRUE;
}

void CPageChangedDlg::OnKeepBoth() { EndDialog(IDC_KEEP_BOTH); }
void CPageChangedDlg::OnReload() { EndDialog(IDC_RELOAD); }

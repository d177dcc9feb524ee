#include "dialogs/DialogAddPage.h"

#include "dialog/DataExchange.h"
#include "resource.h"

CDialogAddPage::CDialogAddPage(CWnd* parent) : CDialog(IDD_ADD_PAGE, parent) {}

void CDialogAddPage::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_NAME, m_editName);
    DDX_Text(dx, IDC_NAME, m_strName);
}

BOOL CDialogAddPage::OnInitDialog() {
    CDialog::OnInitDialog();
    m_editName.SetFocus();
    return FALSE;  // the focus is set
}

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
    // A name given back (one the command refused) is selected: typing
    // replaces it, an arrow key mends it.
    m_editName.SetFocus();
    m_editName.SetSel(0, -1);
    return FALSE;  // the focus is set
}

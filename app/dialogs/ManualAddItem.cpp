#include "dialogs/ManualAddItem.h"

#include "dialogs/DialogIds.h"

#include "dialog/DataExchange.h"

namespace {
constexpr int kProgramIcon = 128;
}

CManualAddItem::CManualAddItem(CWnd* parent) : CDialog(IDD_MANUAL_ADD_ITEM, parent) {}

void CManualAddItem::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_NAME, m_strName);
    DDX_Text(dx, IDC_ITEM_ADDRESS, m_strAddress);
}

BOOL CManualAddItem::OnInitDialog() {
    SetIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIcon)), TRUE);
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_NAME, m_strInitialName);
    return TRUE;
}

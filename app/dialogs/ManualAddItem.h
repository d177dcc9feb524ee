// CManualAddItem: the link name and address dialog "Add Item" (template
// 109). The caller may set the initial name; it reads the name and address
// after OK.
#pragma once
#include "dialog/Dialog.h"

class CManualAddItem : public CDialog {
public:
    explicit CManualAddItem(CWnd* parent = nullptr);

    CString m_strName;         // 1001
    CString m_strAddress;      // 1006
    CString m_strInitialName;  // shown in 1001 when the dialog opens

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
};

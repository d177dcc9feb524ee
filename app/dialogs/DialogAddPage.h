// CDialogAddPage: the one-line name input ("Tarvelo->Input Name", dialog
// 104). Callers read m_strName after OK: a new page or folder name, an index
// tag, or the install path.
#pragma once
#include "controls/Edit.h"
#include "dialog/Dialog.h"

class CDialogAddPage : public CDialog {
public:
    explicit CDialogAddPage(CWnd* parent = nullptr);

    CEdit m_editName;
    CString m_strName;

    BOOL OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
};

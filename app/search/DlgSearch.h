// CDlgSearch: the modeless "Find" dialog (template 113). "Find Next" hands
// the keywords, the scope and the two options to the main window's search
// run; the dialog stays open until Cancel or its close box.
#pragma once
#include "controls/Button.h"
#include "dialog/Dialog.h"

class CMainFrame;

class CDlgSearch : public CDialog {
public:
    explicit CDlgSearch(CMainFrame* frame);

    CString m_strKeywords;
    CString m_strScope;
    CButton m_checkPattern;  // 1037
    CButton m_checkCase;     // 1039
    int m_nRegularExpression = 0;
    int m_nMatchCase = 0;
    CMainFrame* m_pFrame;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void PostNcDestroy() override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
};

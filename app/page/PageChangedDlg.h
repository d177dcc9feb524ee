// CPageChangedDlg: asked before a save when another program changed the
// page's file in a way that cannot be joined with the editor's text. Its
// result is IDC_KEEP_BOTH, IDC_RELOAD or IDCANCEL.
#pragma once
#include "dialog/Dialog.h"

class CPageChangedDlg : public CDialog {
public:
    // `page`: the page's name; `copyName`: where the other version is kept
    // when the user keeps both.
    CPageChangedDlg(const CString& page, const CString& copyName, CWnd* parent = nullptr);

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL OnInitDialog() override;
    void OnKeepBoth();
    void OnReload();

private:
    CString m_text;
};

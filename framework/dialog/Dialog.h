// CDialog: a dialog box from a dialog template of the program's resources.
// DoModal runs it modally (the system's dialog loop) and returns the id it
// ended with; Create makes it modeless. OnInitDialog moves the members into
// the controls (DoDataExchange), OK moves them back and ends the dialog.
#pragma once
#include "wnd/Wnd.h"

class CDataExchange;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId = 0, CWnd* parent = nullptr) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

    virtual INT_PTR DoModal();
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Controls to members (save) or members to controls; false when a value was rejected.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    const MessageMap* GetMessageMap() const override;
    virtual void DoDataExchange(CDataExchange*) {}
    HWND OwnerWindow() const;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    bool m_modal = false;
    bool m_centreAtInit = false;  // the template gives no position

private:
    void HandleOK() { OnOK(); }
    void HandleCancel() { OnCancel(); }
};

// CDialogAddItem: the "Add to Tarvelo" dialog (template 108). It shows a
// clipped link's title, address and picture address for editing and lets the
// user pick or type the page and section that receive the link; the Date and
// Show Picture boxes write their settings at once. The caller reads the
// members after OK and writes the link itself.
#pragma once
#include "controls/Button.h"
#include "controls/ComboBox.h"
#include "dialog/Dialog.h"

struct IndexSnapshot;

class CDialogAddItem : public CDialog {
public:
    CDialogAddItem(const CString& title, const CString& address, const CString& formFlag, const CString& picture,
                   CWnd* parent = nullptr);

    // Starts with this page and section in the boxes instead of the choice
    // made last (a choice the store could not write, offered again).
    void StartWith(const CString& page, const CString& section);

    CString m_strSavedPage;     // Settings "addpage": the page chosen last
    CString m_strSavedSection;  // Settings "addsect", "###" turned into ","
    CString m_strFocus;         // the listed page's remembered section (Focus)
    CButton m_btnSaveForms;     // 1038
    int m_bKeepForms = 0;       // 1 when "Save Forms for AutoFill" was ticked at OK
    CButton m_btnShowPicture;   // 1053
    int m_bShowPicture = 0;     // 1 when "Show Picture" was ticked at OK
    CString m_strFormFlag;      // "1" when form blocks were sent
    CString m_strName;          // 1006
    CString m_strPicture;       // 1054
    CString m_strAddress;       // 1007
    CString m_strPage;          // text of 1008
    CString m_strSection;       // text of 1009

protected:
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    void OnSelChangePage();
    void OnSelChangeSection() {}
    void OnChangeAddress() {}
    void OnTrimHead();
    void OnTrimEnd();
    void OnDate();
    void OnShowPicture();

    // The index snapshot read in the background is ready.
    LRESULT OnIndexReady(WPARAM, LPARAM);

private:
    // Lists the snapshot's pages; then, unless the user has typed a page
    // already, selects the page and section chosen last.
    void FillPageList(const IndexSnapshot& index);
    void SelectSavedChoice();
    CComboBox& Pages();
    CComboBox& Sections();

    CComboBox m_pageList;
    CComboBox m_sectionList;
    // The lists are still being read; what the boxes were given meanwhile.
    bool m_indexPending = false;
    CString m_prefilledPage, m_prefilledSection;
    // OK was pressed without a page while the lists were read.
    bool m_okWaiting = false;
};

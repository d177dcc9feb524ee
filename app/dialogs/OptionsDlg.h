// COptionsDlg: the "Options" dialog (template 110): a tab control with the
// "New Page" and "Settings" pages. The caller writes the options after OK
// (SaveOptions); Cancel leaves the settings as they were.
#pragma once
#include "dialogs/IbTabCtrl.h"
#include "dialogs/OptionPages.h"

#include "dialog/Dialog.h"

class COptionsDlg : public CDialog {
public:
    explicit COptionsDlg(CWnd* parent = nullptr);

    HICON m_hIcon = nullptr;
    CPropPage m_pageNewPage;
    CPropSetting m_pageSettings;
    CIbTabCtrl m_tab;  // 1031

protected:
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnPaint();
    LRESULT OnQueryDragIcon();
    void OnSelChangeTab(NMHDR* header, LRESULT* result);
};

// Writes the eight options of the two pages to the Settings section, in the
// order HeadTitle, HeadLine, Foot, FootLine, StartBackUp, OpenRecentFile,
// AddTime, AddSource: 1 when the page's flag is exactly 1, else 0.
void SaveOptions(const CPropPage& newPage, const CPropSetting& settings);

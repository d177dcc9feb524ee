// The two pages of the options dialog. Each reads its options from the
// Settings section when it starts (0, also when missing, means on) and ticks
// the box of every option that is on; each click flips the option's flag.
#pragma once
#include "controls/Button.h"
#include "dialog/PropertyPage.h"

// "New Page": the parts of the page template that a new page gets.
class CPropPage : public CPropertyPage {
public:
    CPropPage();
    int m_bHeadTitle = 0;
    int m_bHeadLine = 0;
    int m_bFoot = 0;
    int m_bFootLine = 0;
    CButton m_btnHeadTitle;  // 1032

protected:
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnHeadTitle();
    void OnHeadLine();
    void OnFoot();
    void OnFootLine();
};

// "Settings": the start-up and clip options.
class CPropSetting : public CPropertyPage {
public:
    CPropSetting();
    int m_bStartBackUp = 0;  // not shown; always written as 0
    int m_bOpenRecentFile = 0;
    int m_bAddTime = 0;
    int m_bAddSource = 0;

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL OnInitDialog() override;
    void OnOpenRecentFile();
    void OnAddTime();
    void OnAddSource();
};

// A flag that is not 0 becomes 0, 0 becomes 1.
inline void FlipOptionFlag(int& flag) { flag = flag != 0 ? 0 : 1; }

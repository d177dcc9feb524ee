#include "dialogs/OptionPages.h"

#include "dialogs/DialogIds.h"

#include "dialog/DataExchange.h"
#include "util/Registry.h"

namespace {

int ReadOption(const wchar_t* name) { return GetSettingInt(L"Settings", name, 0); }

void ShowOption(HWND page, int id, int flag) { ::CheckDlgButton(page, id, flag == 0 ? BST_CHECKED : BST_UNCHECKED); }

}  // namespace

CPropPage::CPropPage() : CPropertyPage(IDD_OPTIONS_NEW_PAGE) {}

const MessageMap* CPropPage::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapControl<&CPropPage::OnHeadTitle>(BN_CLICKED, IDC_HEAD_TITLE),
        MapControl<&CPropPage::OnHeadLine>(BN_CLICKED, IDC_HEAD_LINE),
        MapControl<&CPropPage::OnFoot>(BN_CLICKED, IDC_FOOT),
        MapControl<&CPropPage::OnFootLine>(BN_CLICKED, IDC_FOOT_LINE),
    };
    static const MessageMap map{CPropertyPage::GetMessageMap(), entries};
    return &map;
}

void CPropPage::DoDataExchange(CDataExchange* dx) {
    CPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_HEAD_TITLE, m_btnHeadTitle);
}

BOOL CPropPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    m_bHeadTitle = ReadOption(L"HeadTitle");
    m_bHeadLine = ReadOption(L"HeadLine");
    m_bFoot = ReadOption(L"Foot");
    m_bFootLine = ReadOption(L"FootLine");
    ShowOption(m_hWnd, IDC_HEAD_TITLE, m_bHeadTitle);
    ShowOption(m_hWnd, IDC_HEAD_LINE, m_bHeadLine);
    ShowOption(m_hWnd, IDC_FOOT, m_bFoot);
    ShowOption(m_hWnd, IDC_FOOT_LINE, m_bFootLine);
    return TRUE;
}

void CPropPage::OnHeadTitle() { FlipOptionFlag(m_bHeadTitle); }
void CPropPage::OnHeadLine() { FlipOptionFlag(m_bHeadLine); }
void CPropPage::OnFoot() { FlipOptionFlag(m_bFoot); }
void CPropPage::OnFootLine() { FlipOptionFlag(m_bFootLine); }

CPropSetting::CPropSetting() : CPropertyPage(IDD_OPTIONS_SETTINGS) {}

const MessageMap* CPropSetting::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapControl<&CPropSetting::OnOpenRecentFile>(BN_CLICKED, IDC_OPEN_RECENT_FILE),
        MapControl<&CPropSetting::OnAddTime>(BN_CLICKED, IDC_ADD_TIME),
        MapControl<&CPropSetting::OnAddSource>(BN_CLICKED, IDC_ADD_SOURCE),
    };
    static const MessageMap map{CPropertyPage::GetMessageMap(), entries};
    return &map;
}

BOOL CPropSetting::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    m_bOpenRecentFile = ReadOption(L"OpenRecentFile");
    m_bAddTime = ReadOption(L"AddTime");
    m_bAddSource = ReadOption(L"AddSource");
    ShowOption(m_hWnd, IDC_OPEN_RECENT_FILE, m_bOpenRecentFile);
    ShowOption(m_hWnd, IDC_ADD_TIME, m_bAddTime);
    ShowOption(m_hWnd, IDC_ADD_SOURCE, m_bAddSource);
    return TRUE;
}

void CPropSetting::OnOpenRecentFile() { FlipOptionFlag(m_bOpenRecentFile); }
void CPropSetting::OnAddTime() { FlipOptionFlag(m_bAddTime); }
void CPropSetting::OnAddSource() { FlipOptionFlag(m_bAddSource); }

#include "dialogs/OptionsDlg.h"

#include "dialogs/DialogIds.h"

#include "dialog/DataExchange.h"
#include "util/Registry.h"

namespace {
constexpr int kProgramIcon = 128;
}

COptionsDlg::COptionsDlg(CWnd* parent) : CDialog(IDD_OPTIONS, parent) {
    m_hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kProgramIcon));
}

const MessageMap* COptionsDlg::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COptionsDlg::OnPaint>(WM_PAINT),
        MapMessage<&COptionsDlg::OnQueryDragIcon>(WM_QUERYDRAGICON),
        MapNotify<&COptionsDlg::OnSelChangeTab>(TCN_SELCHANGE, IDC_OPTIONS_TAB),
    };
    static const MessageMap map{CDialog::GetMessageMap(), entries};
    return &map;
}

void COptionsDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_OPTIONS_TAB, m_tab);
}

BOOL COptionsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The pages are made as children of the dialog; AddTab keeps them there.
    m_pageNewPage.Create(IDD_OPTIONS_NEW_PAGE, this);
    m_pageSettings.Create(IDD_OPTIONS_SETTINGS, this);
    m_tab.AddTab(L"New Page", &m_pageNewPage);
    m_tab.AddTab(L"Settings", &m_pageSettings);
    m_tab.SetActiveTab(0);
    return TRUE;
}

void COptionsDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    CRect client;
    GetClientRect(&client);
    int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    if (m_hIcon) DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &paint);
}

LRESULT COptionsDlg::OnQueryDragIcon() { return reinterpret_cast<LRESULT>(m_hIcon); }

void COptionsDlg::OnSelChangeTab(NMHDR*, LRESULT* result) {
    if (result) *result = 0;
}

void SaveOptions(const CPropPage& newPage, const CPropSetting& settings) {
    const struct {
        const wchar_t* name;
        int flag;
    } options[] = {
        {L"HeadTitle", newPage.m_bHeadTitle},         {L"HeadLine", newPage.m_bHeadLine},
        {L"Foot", newPage.m_bFoot},                   {L"FootLine", newPage.m_bFootLine},
        {L"StartBackUp", settings.m_bStartBackUp},    {L"OpenRecentFile", settings.m_bOpenRecentFile},
        {L"AddTime", settings.m_bAddTime},            {L"AddSource", settings.m_bAddSource},
    };
    for (const auto& option : options) WriteSettingInt(L"Settings", option.name, option.flag == 1 ? 1 : 0);
}

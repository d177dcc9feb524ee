#include "exchange/DialogImport.h"

#include "dialogs/DirDialog.h"
#include "exchange/ExchangeIds.h"

#include "dialog/DataExchange.h"

#include <commdlg.h>

namespace {

struct ImportOption {
    UINT id;
    ImportKind kind;
    // -1 leaves the path box as it is; otherwise it is emptied and enabled (1) or disabled (0).
    int enablePath;
};

constexpr ImportOption kOptions[] = {
    {IDC_OPTION_FILE, kImportFile, 1},           {IDC_OPTION_SECOND, kImportFavorites, 0},
    {IDC_OPTION_THIRD, kImportFolder, 1},        {IDC_IMPORT_WHOLE_STORE, kImportWholeStore, 1},
    {IDC_IMPORT_FIREFOX_FILE, kImportFirefoxFile, -1}, {IDC_IMPORT_IE_FILE, kImportIeFile, -1},
};

} // namespace

CDialogImport::CDialogImport(CWnd* parent) : CDialog(IDD_IMPORT, parent) {}

const MessageMap* CDialogImport::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapCommandRange<&CDialogImport::OnOptionClicked>(IDC_OPTION_FILE, IDC_IMPORT_WHOLE_STORE),
        MapCommandRange<&CDialogImport::OnOptionClicked>(IDC_IMPORT_FIREFOX_FILE, IDC_IMPORT_IE_FILE),
        MapControl<&CDialogImport::OnBrowse>(BN_CLICKED, IDC_IMPORT_BROWSE),
    };
    static const MessageMap map{CDialog::GetMessageMap(), entries};
    return &map;
}

void CDialogImport::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_EXCHANGE_SOURCE, m_strPath);
    DDX_Radio(dx, IDC_OPTION_FILE, m_nOption);
}

void CDialogImport::OnOptionClicked(UINT id) {
    for (const ImportOption& option : kOptions) {
        if (option.id != id) continue;
        m_nSourceKind = option.kind;
        if (option.enablePath >= 0) {
            ::SetDlgItemTextW(m_hWnd, IDC_EXCHANGE_SOURCE, L"");
            ::EnableWindow(::GetDlgItem(m_hWnd, IDC_EXCHANGE_SOURCE), option.enablePath);
        }
    }
}

void CDialogImport::OnBrowse() {
    CString chosen;
    switch (m_nSourceKind) {
    case kImportFile:
    case kImportFirefoxFile:
    case kImportIeFile: {
        wchar_t file[MAX_PATH * 4] = {};
        OPENFILENAMEW ofn = {};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = m_hWnd;
        ofn.lpstrFilter = L"HTML(*.htm,*.html)\0*.htm;*.html\0";
        ofn.lpstrFile = file;
        ofn.nMaxFile = static_cast<DWORD>(std::size(file));
        ofn.lpstrDefExt = L"htm";
        ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER;
        if (GetOpenFileNameW(&ofn)) chosen = file;
        break;
    }
    case kImportFolder:
    case kImportWholeStore: {
        CDirDialog browser;
        if (!browser.DoBrowse()) return;
        chosen = browser.m_strPath;
        break;
    }
    default:
        return;
    }
    ::SetDlgItemTextW(m_hWnd, IDC_EXCHANGE_SOURCE, chosen);
}

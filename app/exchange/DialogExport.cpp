#include "exchange/DialogExport.h"

#include "dialogs/DirDialog.h"
#include "exchange/ExchangeIds.h"
#include "tree/XTreeCtrl.h"

#include "dialog/DataExchange.h"

#include <shlobj.h>

namespace {

CString DesktopFolder() {
    wchar_t path[MAX_PATH] = {};
    LPITEMIDLIST list = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &list)) && list) {
        SHGetPathFromIDListW(list, path);
        CoTaskMemFree(list);
    }
    return path;
}

} // namespace

CDialogExport::CDialogExport(CXTreeCtrl* tree, CWnd* parent) : CDialog(IDD_EXPORT, parent), m_pTree(tree) {
    HTREEITEM item = tree ? tree->GetSelectedItem() : nullptr;
    if (item && item != tree->GetRootItem()) {
        // The labels from below the root down to the item.
        for (HTREEITEM at = item; at && at != tree->GetRootItem(); at = tree->GetParentItem(at))
            m_strSource = m_strSource.IsEmpty() ? tree->GetItemText(at) : tree->GetItemText(at) + L"\\" + m_strSource;
        if (tree->IsPage(item)) m_strSource += L".htm";
        m_nOption = tree->IsPage(item) ? 0 : 1;
    } else {
        m_nOption = 2;
    }
    m_strSavedSource = m_strSource;
    m_strDestination = DesktopFolder();
}

CDialogExport::CDialogExport(CWnd* parent) : CDialog(IDD_EXPORT, parent) {}

const MessageMap* CDialogExport::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapControl<&CDialogExport::OnFile>(BN_CLICKED, IDC_OPTION_FILE),
        MapControl<&CDialogExport::OnDirectory>(BN_CLICKED, IDC_OPTION_SECOND),
        MapControl<&CDialogExport::OnEverything>(BN_CLICKED, IDC_OPTION_THIRD),
        MapControl<&CDialogExport::OnBrowse>(BN_CLICKED, IDC_EXPORT_BROWSE),
    };
    static const MessageMap map{CDialog::GetMessageMap(), entries};
    return &map;
}

void CDialogExport::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_EXCHANGE_SOURCE, m_strSource);
    DDX_Text(dx, IDC_EXPORT_DESTINATION, m_strDestination);
    DDX_Radio(dx, IDC_OPTION_FILE, m_nOption);
    DDX_Radio(dx, IDC_EXPORT_TYPE_PLAIN, m_nFileType);
}

void CDialogExport::EnableControls(bool source, bool file, bool directory, bool types) {
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_EXCHANGE_SOURCE), source);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_OPTION_FILE), file);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_OPTION_SECOND), directory);
    for (int id : {IDC_EXPORT_TYPE_PLAIN, IDC_EXPORT_TYPE_ANSI, IDC_EXPORT_TYPE_BOOKMARKS})
        ::EnableWindow(::GetDlgItem(m_hWnd, id), types);
}

BOOL CDialogExport::OnInitDialog() {
    CDialog::OnInitDialog();
    if (HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128)))
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    switch (m_nOption) {
    case 0:
        m_nWhat = kExportPage;
        EnableControls(true, true, false, true);
        break;
    case 1:
        m_nWhat = kExportFolder;
        EnableControls(true, false, true, false);
        break;
    default:
        m_nWhat = kExportEverything;
        EnableControls(false, false, false, false);
        break;
    }
    return TRUE;
}

void CDialogExport::OnFile() {
    m_nWhat = kExportPage;
    ::SetDlgItemTextW(m_hWnd, IDC_EXCHANGE_SOURCE, m_strSavedSource);
    EnableControls(true, ::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_OPTION_FILE)),
                   ::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_OPTION_SECOND)), true);
}

void CDialogExport::OnDirectory() {
    m_nWhat = kExportFolder;
    ::SetDlgItemTextW(m_hWnd, IDC_EXCHANGE_SOURCE, m_strSavedSource);
    EnableControls(true, ::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_OPTION_FILE)),
                   ::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_OPTION_SECOND)), false);
}

void CDialogExport::OnEverything() {
    m_nWhat = kExportEverything;
    m_strSavedSource = GetDlgItemText(IDC_EXCHANGE_SOURCE);
    ::SetDlgItemTextW(m_hWnd, IDC_EXCHANGE_SOURCE, L"");
    EnableControls(false, ::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_OPTION_FILE)),
                   ::IsWindowEnabled(::GetDlgItem(m_hWnd, IDC_OPTION_SECOND)), false);
}

void CDialogExport::OnBrowse() {
    CDirDialog browser;
    if (browser.DoBrowse()) ::SetDlgItemTextW(m_hWnd, IDC_EXPORT_DESTINATION, browser.m_strPath);
}

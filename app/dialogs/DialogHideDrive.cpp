#include "dialogs/DialogHideDrive.h"

#include "dialogs/DialogIds.h"

#include "dialog/DataExchange.h"

namespace {

constexpr wchar_t kPolicyKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

// Opens or creates the policy key; null when neither works.
HKEY OpenPolicyKey() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kPolicyKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return nullptr;
    return key;
}

}  // namespace

const std::array<DriveBox, 10> kDriveBoxes = {{
    {IDC_DRIVE_C, 0x4}, {IDC_DRIVE_D, 0x8}, {IDC_DRIVE_E, 0x10}, {IDC_DRIVE_F, 0x20}, {IDC_DRIVE_G, 0x40},
    {IDC_DRIVE_H, 0x80}, {IDC_DRIVE_I, 0x100}, {IDC_DRIVE_J, 0x200}, {IDC_DRIVE_K, 0x400}, {IDC_DRIVE_L, 0x800},
}};

DWORD DriveMaskAfterOk(bool hide, DWORD mask, DWORD checkedBits) {
    return hide ? (mask | checkedBits) : (mask ^ checkedBits);
}

CDialogHideDrive::CDialogHideDrive(CWnd* parent) : CDialog(IDD_HIDE_DRIVE, parent) {}

const MessageMap* CDialogHideDrive::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapControl<&CDialogHideDrive::OnHide>(BN_CLICKED, IDC_DRIVE_HIDE),
        MapControl<&CDialogHideDrive::OnUnhide>(BN_CLICKED, IDC_DRIVE_UNHIDE),
    };
    static const MessageMap map{CDialog::GetMessageMap(), entries};
    return &map;
}

void CDialogHideDrive::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Radio(dx, IDC_DRIVE_HIDE, m_nRadio);
    for (size_t i = 0; i < kDriveBoxes.size(); ++i) DDX_Control(dx, kDriveBoxes[i].id, m_driveButtons[i]);
}

BOOL CDialogHideDrive::OnInitDialog() {
    for (const DriveBox& box : kDriveBoxes) ::EnableWindow(::GetDlgItem(m_hWnd, box.id), FALSE);
    DWORD present = GetLogicalDrives();
    for (const DriveBox& box : kDriveBoxes) {
        if (present & box.bit) {
            ::EnableWindow(::GetDlgItem(m_hWnd, box.id), TRUE);
            m_drives[box.id] = box.bit;
        }
    }
    HKEY key = OpenPolicyKey();
    if (!key) return FALSE;
    DWORD value = 0, size = sizeof(value), type = 0;
    if (RegQueryValueExW(key, L"NoDrives", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
        type == REG_DWORD)
        m_dwMask = value;
    else
        m_dwMask = 0;
    RegCloseKey(key);
    m_maskRead = true;
    // A hidden drive cannot be hidden again.
    for (const auto& [id, bit] : m_drives)
        if (m_dwMask & bit) ::EnableWindow(::GetDlgItem(m_hWnd, id), FALSE);
    CDialog::OnInitDialog();
    return TRUE;
}

void CDialogHideDrive::EnableDrivesWhoseHiddenStateIs(bool hidden) {
    for (const auto& [id, bit] : m_drives) ::EnableWindow(::GetDlgItem(m_hWnd, id), ((m_dwMask & bit) != 0) == hidden);
}

void CDialogHideDrive::OnHide() {
    m_nMode = 0;
    m_strMode = L"hide";
    EnableDrivesWhoseHiddenStateIs(false);
}

void CDialogHideDrive::OnUnhide() {
    m_nMode = 1;
    m_strMode = L"unhide";
    EnableDrivesWhoseHiddenStateIs(true);
}

void CDialogHideDrive::OnOK() {
    DWORD checked = 0;
    for (const DriveBox& box : kDriveBoxes)
        if (::IsDlgButtonChecked(m_hWnd, box.id) == BST_CHECKED) checked |= box.bit;
    if (m_maskRead) {
        DWORD mask = DriveMaskAfterOk(m_strMode == L"hide", m_dwMask, checked);
        if (HKEY key = OpenPolicyKey()) {
            RegSetValueExW(key, L"NoDrives", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&mask), sizeof(mask));
            RegCloseKey(key);
        }
    }
    CDialog::OnOK();
}

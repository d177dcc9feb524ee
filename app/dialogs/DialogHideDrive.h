// CDialogHideDrive: "Tarvelo->Drive Hide" (template 141). Hides drives C: to
// L: from Explorer, or shows hidden ones again, through the Explorer policy
// value NoDrives (HKCU ...\Policies\Explorer, a set bit hides a drive).
#pragma once
#include "controls/Button.h"
#include "dialog/Dialog.h"

#include <array>
#include <map>

// The drive check boxes: id and bit (1 shifted by the letter's distance from A).
struct DriveBox {
    int id;
    DWORD bit;
};
extern const std::array<DriveBox, 10> kDriveBoxes;

// The mask that OK writes: "hide" sets the bit of every checked box; "unhide"
// flips it (only the boxes of hidden drives can be checked then).
DWORD DriveMaskAfterOk(bool hide, DWORD mask, DWORD checkedBits);

class CDialogHideDrive : public CDialog {
public:
    explicit CDialogHideDrive(CWnd* parent = nullptr);

    int m_nRadio = 0;         // 0 = "Hide"
    int m_nMode = 0;          // 0 hide, 1 unhide
    CString m_strMode = L"hide";
    DWORD m_dwMask = 0;       // NoDrives as read
    std::map<int, DWORD> m_drives;  // box id -> bit of each drive present
    std::array<CButton, 10> m_driveButtons;

protected:
    const MessageMap* GetMessageMap() const override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnHide();
    void OnUnhide();

private:
    // Enables the boxes of the present drives whose hidden state is `hidden`.
    void EnableDrivesWhoseHiddenStateIs(bool hidden);
    bool m_maskRead = false;  // only a mask that was read is ever written back
};

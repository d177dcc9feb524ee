// Dialog data exchange: moves values between a dialog's members and its
// controls in both directions. A value the user must correct is reported
// in a message box, the control gets the focus and the exchange stops
// (CDataExchangeFailure), which keeps the dialog open.
#pragma once
#include "core/String.h"

#include <windows.h>

class CWnd;

struct CDataExchangeFailure {};

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
    HWND m_hWndLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;

    // The control of the id (a missing control is a fault of the template).
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    [[noreturn]] void Fail();
};

void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, UINT& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
// The index of the checked radio button of the group that starts at id.
void DDX_Radio(CDataExchange* dx, int id, int& value);
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
void DDX_CBString(CDataExchange* dx, int id, CString& value);
void DDX_LBIndex(CDataExchange* dx, int id, int& index);
// Binds a member control object to the dialog's control (once).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars);
void DDV_MinMaxInt(CDataExchange* dx, int value, int minimum, int maximum);

#include "dialog/DataExchange.h"

#include "app/AfxMessageBox.h"
#include "wnd/Wnd.h"

#include <cwchar>

HWND CDataExchange::PrepareCtrl(int id) {
    HWND control = ::GetDlgItem(m_pDlgWnd->GetSafeHwnd(), id);
    if (!control) {
        CString text;
        text.Format(L"Dialog control %d is missing.", id);
        AfxMessageBox(text, MB_OK | MB_ICONSTOP);
        throw CDataExchangeFailure{};
    }
    m_hWndLastControl = control;
    m_bEditLastControl = FALSE;
    return control;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
    HWND control = PrepareCtrl(id);
    m_bEditLastControl = TRUE;
    return control;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_hWndLastControl) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl) ::SendMessageW(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    throw CDataExchangeFailure{};
}

namespace {

CString ControlText(HWND control) {
    CString text;
    int length = ::GetWindowTextLengthW(control);
    if (length > 0) text.ReleaseBuffer(::GetWindowTextW(control, text.GetBuffer(length + 1), length + 1));
    return text;
}

// A whole decimal number with optional blanks around and a sign; nothing else.
bool ParseInteger(const CString& text, long long& value) {
    CString trimmed(text);
    trimmed.Trim();
    if (trimmed.IsEmpty()) return false;
    wchar_t* end = nullptr;
    errno = 0;
    value = std::wcstoll(trimmed, &end, 10);
    return errno == 0 && end && *end == L'\0';
}

}  // namespace

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    HWND control = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) {
        value = ControlText(control);
    } else {
        ::SetWindowTextW(control, value);
    }
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
    HWND control = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) {
        long long parsed = 0;
        if (!ParseInteger(ControlText(control), parsed) || parsed < INT_MIN || parsed > INT_MAX) {
            AfxMessageBox(L"Please enter an integer.", MB_OK | MB_ICONEXCLAMATION);
            dx->Fail();
        }
        value = static_cast<int>(parsed);
    } else {
        CString text;
        text.Format(L"%d", value);
        ::SetWindowTextW(control, text);
    }
}

void DDX_Text(CDataExchange* dx, int id, UINT& value) {
    HWND control = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) {
        long long parsed = 0;
        if (!ParseInteger(ControlText(control), parsed) || parsed < 0 || parsed > UINT_MAX) {
            AfxMessageBox(L"Please enter a positive integer.", MB_OK | MB_ICONEXCLAMATION);
            dx->Fail();
        }
        value = static_cast<UINT>(parsed);
    } else {
        CString text;
        text.Format(L"%u", value);
        ::SetWindowTextW(control, text);
    }
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0));
    } else {
        ::SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value < 0 || value > 2 ? 0 : value), 0);
    }
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) value = -1;
    int index = 0;
    // The group runs from the first button to the next control with WS_GROUP.
    for (HWND button = control; button; button = ::GetWindow(button, GW_HWNDNEXT), ++index) {
        if (button != control && (::GetWindowLongW(button, GWL_STYLE) & WS_GROUP)) break;
        if (dx->m_bSaveAndValidate) {
            if (::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
        } else {
            ::SendMessageW(button, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        index = static_cast<int>(::SendMessageW(control, CB_GETCURSEL, 0, 0));
    } else {
        ::SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

void DDX_CBString(CDataExchange* dx, int id, CString& value) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        value = ControlText(control);
        return;
    }
    // Select the first item that starts with the text; else just show the text.
    if (::SendMessageW(control, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.GetString())) == CB_ERR)
        ::SetWindowTextW(control, value);
}

void DDX_LBIndex(CDataExchange* dx, int id, int& index) {
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        index = static_cast<int>(::SendMessageW(control, LB_GETCURSEL, 0, 0));
    } else {
        ::SendMessageW(control, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.GetSafeHwnd()) return;
    HWND item = dx->PrepareCtrl(id);
    if (!control.SubclassWindow(item)) dx->Fail();
}

void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars) {
    if (dx->m_bSaveAndValidate) {
        if (value.GetLength() > maxChars) {
            CString text;
            text.Format(L"Enter no more than %d characters.", maxChars);
            AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
            dx->Fail();
        }
    } else if (dx->m_hWndLastControl && dx->m_bEditLastControl) {
        ::SendMessageW(dx->m_hWndLastControl, EM_SETLIMITTEXT, static_cast<WPARAM>(maxChars), 0);
    }
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int minimum, int maximum) {
    if (!dx->m_bSaveAndValidate || (value >= minimum && value <= maximum)) return;
    CString text;
    text.Format(L"Please enter an integer between %d and %d.", minimum, maximum);
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    dx->Fail();
}

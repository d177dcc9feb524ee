#include "dialogs/DialogTemplate.h"
#include "dialogs/EditDialogs.h"

namespace dialogs {

namespace {

const wchar_t* const kLinkTypes[] = {L"(other)", L"file:", L"ftp:", L"gopher:", L"http:", L"https:", L"mailto:", L"news:", L"telnet:", L"wais:"};

// "http:" gets "//" after it, "mailto:" does not.
CString TypePrefix(const CString& type) {
    if (type == L"mailto:" || type == L"news:" || type == L"(other)") return type == L"(other)" ? CString() : type;
    return type + L"//";
}

// The type an address starts with, 0 ("(other)") when none.
int TypeOf(const CString& address) {
    for (int i = 1; i < static_cast<int>(std::size(kLinkTypes)); ++i)
        if (address.Left(static_cast<int>(wcslen(kLinkTypes[i]))).CompareNoCase(kLinkTypes[i]) == 0) return i;
    return 0;
}

// The address without its scheme and the slashes after it.
CString WithoutScheme(const CString& address) {
    int colon = address.Find(L':');
    if (colon < 0 || TypeOf(address) == 0) return address;
    CString rest = address.Mid(colon + 1);
    while (rest.Left(1) == L"/") rest = rest.Mid(1);
    return rest;
}

INT_PTR CALLBACK HyperlinkProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* address = reinterpret_cast<CString*>(lParam);
        HWND types = GetDlgItem(dialog, kIdLinkType);
        for (const wchar_t* type : kLinkTypes) SendMessageW(types, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(type));
        CString initial = address->IsEmpty() ? CString(L"http://") : *address;
        SendMessageW(types, CB_SETCURSEL, static_cast<WPARAM>(TypeOf(initial)), 0);
        SetDlgItemTextW(dialog, kIdLinkAddress, initial);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == kIdLinkType && HIWORD(wParam) == CBN_SELCHANGE) {  // the address takes the chosen type
            int index = static_cast<int>(SendDlgItemMessageW(dialog, kIdLinkType, CB_GETCURSEL, 0, 0));
            if (index > 0 && index < static_cast<int>(std::size(kLinkTypes)))
                SetDlgItemTextW(dialog, kIdLinkAddress, TypePrefix(kLinkTypes[index]) + WithoutScheme(ControlText(dialog, kIdLinkAddress)));
            return TRUE;
        }
        if (LOWORD(wParam) == IDOK) {
            CString typed = ControlText(dialog, kIdLinkAddress);
            typed.Trim();
            if (typed.IsEmpty()) return TRUE;  // nothing to link to: the dialog stays
            *reinterpret_cast<CString*>(GetWindowLongPtrW(dialog, DWLP_USER)) = typed;
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    default: break;
    }
    return FALSE;
}

}  // namespace

bool ShowHyperlinkDialog(HWND owner, CString& address) {
    DialogTemplate dialog(L"Hyperlink", 260, 72);
    dialog.Group(L"Hyperlink Information", 6, 4, 190, 62);
    dialog.Static(L"&Type:", -1, 12, 20, 30, 10);
    dialog.DropList(kIdLinkType, 48, 18, 70, 120);
    dialog.Static(L"&URL:", -1, 12, 42, 30, 10);
    dialog.Edit(kIdLinkAddress, 48, 40, 140, 13);
    dialog.Button(L"OK", IDOK, 204, 8, 50, 14, BS_DEFPUSHBUTTON);
    dialog.Button(L"Cancel", IDCANCEL, 204, 26, 50, 14);
    CString result = address;
    if (dialog.Run(owner, HyperlinkProc, reinterpret_cast<LPARAM>(&result)) != IDOK) return false;
    address = result;
    return true;
}

}  // namespace dialogs

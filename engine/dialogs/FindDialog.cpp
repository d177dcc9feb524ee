#include "core/MessageBox.h"
#include "dialogs/DialogTemplate.h"
#include "dialogs/EditDialogs.h"

namespace dialogs {

const wchar_t* const kFindFinishedText = L"Finished searching the document.";

namespace {

struct FindSession {
    const std::function<bool(const FindRequest&, bool)>* find;
    bool wrapNext = false;  // the last search ran off the end: the next starts over
};

INT_PTR CALLBACK FindProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        CheckRadioButton(dialog, kIdFindUp, kIdFindDown, kIdFindDown);
        EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
        return TRUE;
    case WM_COMMAND: {
        auto* session = reinterpret_cast<FindSession*>(GetWindowLongPtrW(dialog, DWLP_USER));
        switch (LOWORD(wParam)) {
        case kIdFindText:
            if (HIWORD(wParam) == EN_CHANGE) EnableWindow(GetDlgItem(dialog, IDOK), GetWindowTextLengthW(GetDlgItem(dialog, kIdFindText)) > 0);
            return TRUE;
        case IDOK: {
            FindRequest request;
            request.text = ControlText(dialog, kIdFindText);
            if (request.text.IsEmpty()) return TRUE;
            request.matchCase = IsDlgButtonChecked(dialog, kIdFindMatchCase) == BST_CHECKED;
            request.wholeWord = IsDlgButtonChecked(dialog, kIdFindWholeWord) == BST_CHECKED;
            request.up = IsDlgButtonChecked(dialog, kIdFindUp) == BST_CHECKED;
            bool wrapped = session->wrapNext;
            session->wrapNext = false;
            if (!(*session->find)(request, wrapped)) {
                ShowMessageBox(dialog, kFindFinishedText, L"Find", MB_OK | MB_ICONINFORMATION);
                session->wrapNext = true;
            }
            return TRUE;
        }
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        default: break;
        }
        break;
    }
    default: break;
    }
    return FALSE;
}

}  // namespace

void ShowFindDialog(HWND owner, const std::function<bool(const FindRequest&, bool)>& find) {
    DialogTemplate dialog(L"Find", 250, 70);
    dialog.Static(L"Fi&nd what:", -1, 6, 9, 40, 10);
    dialog.Edit(kIdFindText, 48, 7, 136, 13);
    dialog.Button(L"Match &whole word only", kIdFindWholeWord, 6, 28, 100, 10, BS_AUTOCHECKBOX);
    dialog.Button(L"Match &case", kIdFindMatchCase, 6, 44, 100, 10, BS_AUTOCHECKBOX);
    dialog.Group(L"Direction", 110, 24, 74, 32);
    dialog.Button(L"&Up", kIdFindUp, 116, 38, 30, 10, BS_AUTORADIOBUTTON | WS_GROUP);
    dialog.Button(L"&Down", kIdFindDown, 148, 38, 34, 10, BS_AUTORADIOBUTTON);
    dialog.Button(L"&Find Next", IDOK, 192, 6, 52, 14, BS_DEFPUSHBUTTON);
    dialog.Button(L"Cancel", IDCANCEL, 192, 24, 52, 14);
    FindSession session{&find};
    dialog.Run(owner, FindProc, reinterpret_cast<LPARAM>(&session));
}

}  // namespace dialogs

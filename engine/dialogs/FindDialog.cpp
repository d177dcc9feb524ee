#include "core/MessageBox.h"
#include "dialogs/DialogTemplate.h"
#include "dialogs/EditDialogs.h"

namespace dialogs {

const wchar_t* const kFindFinishedText = L"Finished searching the document.";

namespace {

class FindHandler : public DialogHandler {
public:
    explicit FindHandler(const std::function<bool(const FindRequest&, bool)>& find) : m_find(find) {}

    void OnInit(HWND dialog) override {
        CheckRadioButton(dialog, kIdFindUp, kIdFindDown, kIdFindDown);
        EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    }
    // Find Next searches and keeps the dialog.
    bool OnOk(HWND dialog) override {
        FindRequest request;
        request.text = ControlText(dialog, kIdFindText);
        if (request.text.IsEmpty()) return false;
        request.matchCase = IsDlgButtonChecked(dialog, kIdFindMatchCase) == BST_CHECKED;
        request.wholeWord = IsDlgButtonChecked(dialog, kIdFindWholeWord) == BST_CHECKED;
        request.up = IsDlgButtonChecked(dialog, kIdFindUp) == BST_CHECKED;
        bool wrapped = m_wrapNext;
        m_wrapNext = false;
        if (!m_find(request, wrapped)) {
            ShowMessageBox(dialog, kFindFinishedText, L"Find", MB_OK | MB_ICONINFORMATION);
            m_wrapNext = true;
        }
        return false;
    }
    bool OnCommand(HWND dialog, int id, int code) override {
        if (id != kIdFindText) return false;
        if (code == EN_CHANGE) EnableWindow(GetDlgItem(dialog, IDOK), GetWindowTextLengthW(GetDlgItem(dialog, kIdFindText)) > 0);
        return true;
    }

private:
    const std::function<bool(const FindRequest&, bool)>& m_find;
    bool m_wrapNext = false;  // the last search ran off the end: the next starts over
};

}  // namespace

void ShowFindDialog(HWND owner, const std::function<bool(const FindRequest&, bool)>& find) {
    DialogTemplate dialog(L"Find", 250, 70);
    dialog.LabelledEdit(L"Fi&nd what:", kIdFindText, 6, 7, 40, 48, 136);
    dialog.Button(L"Match &whole word only", kIdFindWholeWord, 6, 28, 100, 10, BS_AUTOCHECKBOX);
    dialog.Button(L"Match &case", kIdFindMatchCase, 6, 44, 100, 10, BS_AUTOCHECKBOX);
    dialog.Group(L"Direction", 110, 24, 74, 32);
    dialog.Button(L"&Up", kIdFindUp, 116, 38, 30, 10, BS_AUTORADIOBUTTON | WS_GROUP);
    dialog.Button(L"&Down", kIdFindDown, 148, 38, 34, 10, BS_AUTORADIOBUTTON);
    dialog.OkCancel(192, 6, true, L"&Find Next");
    FindHandler handler(find);
    RunDialog(dialog, owner, handler);
}

}  // namespace dialogs

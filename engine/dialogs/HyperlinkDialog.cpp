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

class HyperlinkHandler : public ValueDialogHandler<CString> {
public:
    using ValueDialogHandler::ValueDialogHandler;

    void OnInit(HWND dialog) override {
        HWND types = GetDlgItem(dialog, kIdLinkType);
        for (const wchar_t* type : kLinkTypes) SendMessageW(types, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(type));
        CString initial = m_value.IsEmpty() ? CString(L"http://") : m_value;
        SendMessageW(types, CB_SETCURSEL, static_cast<WPARAM>(TypeOf(initial)), 0);
        SetDlgItemTextW(dialog, kIdLinkAddress, initial);
    }
    bool OnOk(HWND dialog) override {
        CString typed = ControlText(dialog, kIdLinkAddress);
        typed.Trim();
        if (typed.IsEmpty()) return false;  // nothing to link to: the dialog stays
        m_value = typed;
        return true;
    }
    bool OnCommand(HWND dialog, int id, int code) override {
        if (id != kIdLinkType || code != CBN_SELCHANGE) return false;
        // The address takes the chosen type.
        int index = static_cast<int>(SendDlgItemMessageW(dialog, kIdLinkType, CB_GETCURSEL, 0, 0));
        if (index > 0 && index < static_cast<int>(std::size(kLinkTypes)))
            SetDlgItemTextW(dialog, kIdLinkAddress, TypePrefix(kLinkTypes[index]) + WithoutScheme(ControlText(dialog, kIdLinkAddress)));
        return true;
    }
};

}  // namespace

bool ShowHyperlinkDialog(HWND owner, CString& address) {
    DialogTemplate dialog(L"Hyperlink", 260, 72);
    dialog.Group(L"Hyperlink Information", 6, 4, 190, 62);
    dialog.LabelledList(L"&Type:", kIdLinkType, 12, 18, 30, 48, 70);
    dialog.LabelledEdit(L"&URL:", kIdLinkAddress, 12, 40, 30, 48, 140);
    dialog.OkCancel(204, 8, true);
    return EditValue<HyperlinkHandler>(dialog, owner, address);
}

}  // namespace dialogs

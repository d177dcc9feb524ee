#include "dialogs/DialogTemplate.h"
#include "dialogs/EditDialogs.h"

#include <commdlg.h>

namespace dialogs {

namespace {

const wchar_t* const kAlignments[] = {L"Not Set", L"Left", L"Right", L"Texttop", L"Absmiddle", L"Baseline", L"Absbottom", L"Bottom", L"Middle", L"Top"};

// Spacing and border take digits only; anything else is not set.
CString Digits(const CString& text) {
    CString trimmed = text;
    trimmed.Trim();
    if (trimmed.IsEmpty() || trimmed.GetLength() > 5) return CString();
    for (wchar_t c : trimmed.str())
        if (c < '0' || c > '9') return CString();
    return trimmed;
}

void Browse(HWND dialog) {
    wchar_t path[MAX_PATH] = L"";
    OPENFILENAMEW open{};
    open.lStructSize = sizeof(open);
    open.hwndOwner = dialog;
    open.lpstrFilter = L"Pictures (*.gif;*.jpg;*.jpeg;*.png;*.bmp)\0*.gif;*.jpg;*.jpeg;*.png;*.bmp\0All files (*.*)\0*.*\0";
    open.lpstrFile = path;
    open.nMaxFile = MAX_PATH;
    open.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (GetOpenFileNameW(&open)) SetDlgItemTextW(dialog, kIdPictureSource, path);
}

class PictureHandler : public ValueDialogHandler<PictureChoice> {
public:
    using ValueDialogHandler::ValueDialogHandler;

    void OnInit(HWND dialog) override {
        HWND align = GetDlgItem(dialog, kIdPictureAlign);
        int selected = 0;
        for (int i = 0; i < static_cast<int>(std::size(kAlignments)); ++i) {
            SendMessageW(align, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kAlignments[i]));
            if (i > 0 && m_value.align.CompareNoCase(kAlignments[i]) == 0) selected = i;
        }
        SendMessageW(align, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
        SetDlgItemTextW(dialog, kIdPictureSource, m_value.source);
        SetDlgItemTextW(dialog, kIdPictureAlt, m_value.alt);
        SetDlgItemTextW(dialog, kIdPictureBorder, m_value.border);
        SetDlgItemTextW(dialog, kIdPictureHSpace, m_value.hspace);
        SetDlgItemTextW(dialog, kIdPictureVSpace, m_value.vspace);
    }
    bool OnOk(HWND dialog) override {
        PictureChoice result;
        result.source = ControlText(dialog, kIdPictureSource);
        result.source.Trim();
        if (result.source.IsEmpty()) return false;  // a picture needs a source: the dialog stays
        result.alt = ControlText(dialog, kIdPictureAlt);
        int align = static_cast<int>(SendDlgItemMessageW(dialog, kIdPictureAlign, CB_GETCURSEL, 0, 0));
        if (align > 0 && align < static_cast<int>(std::size(kAlignments))) {
            result.align = kAlignments[align];
            result.align.MakeLower();
        }
        result.border = Digits(ControlText(dialog, kIdPictureBorder));
        result.hspace = Digits(ControlText(dialog, kIdPictureHSpace));
        result.vspace = Digits(ControlText(dialog, kIdPictureVSpace));
        m_value = result;
        return true;
    }
    bool OnCommand(HWND dialog, int id, int) override {
        if (id != kIdPictureBrowse) return false;
        Browse(dialog);
        return true;
    }
};

}  // namespace

bool ShowPictureDialog(HWND owner, PictureChoice& choice) {
    DialogTemplate dialog(L"Picture", 280, 134);
    dialog.LabelledEdit(L"Picture &Source:", kIdPictureSource, 8, 8, 60, 70, 146);
    dialog.Button(L"&Browse...", kIdPictureBrowse, 222, 8, 50, 14);
    dialog.LabelledEdit(L"&Alternate Text:", kIdPictureAlt, 8, 26, 60, 70, 146);
    dialog.Group(L"Layout", 8, 46, 128, 60);
    dialog.LabelledList(L"A&lignment:", kIdPictureAlign, 14, 58, 50, 66, 64);
    dialog.LabelledEdit(L"B&order Thickness:", kIdPictureBorder, 14, 80, 80, 96, 30);
    dialog.Group(L"Spacing", 144, 46, 128, 60);
    dialog.LabelledEdit(L"&Horizontal:", kIdPictureHSpace, 150, 58, 50, 204, 30);
    dialog.LabelledEdit(L"&Vertical:", kIdPictureVSpace, 150, 80, 50, 204, 30);
    dialog.OkCancel(166, 114, false);
    return EditValue<PictureHandler>(dialog, owner, choice);
}

}  // namespace dialogs

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

INT_PTR CALLBACK PictureProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* choice = reinterpret_cast<PictureChoice*>(lParam);
        HWND align = GetDlgItem(dialog, kIdPictureAlign);
        int selected = 0;
        for (int i = 0; i < static_cast<int>(std::size(kAlignments)); ++i) {
            SendMessageW(align, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kAlignments[i]));
            if (i > 0 && choice->align.CompareNoCase(kAlignments[i]) == 0) selected = i;
        }
        SendMessageW(align, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
        SetDlgItemTextW(dialog, kIdPictureSource, choice->source);
        SetDlgItemTextW(dialog, kIdPictureAlt, choice->alt);
        SetDlgItemTextW(dialog, kIdPictureBorder, choice->border);
        SetDlgItemTextW(dialog, kIdPictureHSpace, choice->hspace);
        SetDlgItemTextW(dialog, kIdPictureVSpace, choice->vspace);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kIdPictureBrowse: Browse(dialog); return TRUE;
        case IDOK: {
            PictureChoice result;
            result.source = ControlText(dialog, kIdPictureSource);
            result.source.Trim();
            if (result.source.IsEmpty()) return TRUE;  // a picture needs a source: the dialog stays
            result.alt = ControlText(dialog, kIdPictureAlt);
            int align = static_cast<int>(SendDlgItemMessageW(dialog, kIdPictureAlign, CB_GETCURSEL, 0, 0));
            if (align > 0 && align < static_cast<int>(std::size(kAlignments))) {
                result.align = kAlignments[align];
                result.align.MakeLower();
            }
            result.border = Digits(ControlText(dialog, kIdPictureBorder));
            result.hspace = Digits(ControlText(dialog, kIdPictureHSpace));
            result.vspace = Digits(ControlText(dialog, kIdPictureVSpace));
            *reinterpret_cast<PictureChoice*>(GetWindowLongPtrW(dialog, DWLP_USER)) = result;
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        default: break;
        }
        break;
    default: break;
    }
    return FALSE;
}

}  // namespace

bool ShowPictureDialog(HWND owner, PictureChoice& choice) {
    DialogTemplate dialog(L"Picture", 280, 134);
    dialog.Static(L"Picture &Source:", -1, 8, 10, 60, 10);
    dialog.Edit(kIdPictureSource, 70, 8, 146, 13);
    dialog.Button(L"&Browse...", kIdPictureBrowse, 222, 8, 50, 14);
    dialog.Static(L"&Alternate Text:", -1, 8, 28, 60, 10);
    dialog.Edit(kIdPictureAlt, 70, 26, 146, 13);
    dialog.Group(L"Layout", 8, 46, 128, 60);
    dialog.Static(L"A&lignment:", -1, 14, 60, 50, 10);
    dialog.DropList(kIdPictureAlign, 66, 58, 64, 120);
    dialog.Static(L"B&order Thickness:", -1, 14, 82, 60, 10);
    dialog.Edit(kIdPictureBorder, 80, 80, 30, 13);
    dialog.Group(L"Spacing", 144, 46, 128, 60);
    dialog.Static(L"&Horizontal:", -1, 150, 60, 50, 10);
    dialog.Edit(kIdPictureHSpace, 204, 58, 30, 13);
    dialog.Static(L"&Vertical:", -1, 150, 82, 50, 10);
    dialog.Edit(kIdPictureVSpace, 204, 80, 30, 13);
    dialog.Button(L"OK", IDOK, 166, 114, 50, 14, BS_DEFPUSHBUTTON);
    dialog.Button(L"Cancel", IDCANCEL, 222, 114, 50, 14);
    PictureChoice result = choice;
    if (dialog.Run(owner, PictureProc, reinterpret_cast<LPARAM>(&result)) != IDOK) return false;
    choice = result;
    return true;
}

}  // namespace dialogs

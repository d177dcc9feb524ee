// The "Add to Tarvelo" dialog of the program's own resources, shown by a
// program of no code of ours: the dialog template, its controls and its font
// are the window work a link clip cannot leave out. The fairer floor of the
// clip start, beside the bare window's.
#include "clip/ClipDialogIds.h"

#include <windows.h>

namespace {

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ADD_ITEM), nullptr, DialogProc, 0);
    return 0;
}

#include "controls/EditSelectAll.h"

namespace {

// The window procedure the box had before, kept in a property of the box.
const wchar_t kPreviousProcedure[] = L"Tarvelo.EditSelectAll";

LRESULT CALLBACK SelectAllProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    auto previous = reinterpret_cast<WNDPROC>(GetPropW(edit, kPreviousProcedure));
    if (!previous) return DefWindowProcW(edit, message, wParam, lParam);
    // Ctrl+A arrives as its control character, 1; every other character is the box's.
    if (message == WM_CHAR && wParam == 1) {
        SendMessageW(edit, EM_SETSEL, 0, -1);
        return 0;
    }
    if (message == WM_NCDESTROY) RemovePropW(edit, kPreviousProcedure);
    return CallWindowProcW(previous, edit, message, wParam, lParam);
}

bool IsEditBox(HWND window) {
    wchar_t name[16] = {};
    return GetClassNameW(window, name, static_cast<int>(sizeof(name) / sizeof(name[0]))) > 0 &&
           lstrcmpiW(name, L"Edit") == 0;
}

BOOL CALLBACK SelectAllInChild(HWND child, LPARAM) {
    if (IsEditBox(child)) SelectAllOnCtrlA(child);
    return TRUE;
}

}  // namespace

void SelectAllOnCtrlA(HWND edit) {
    if (!edit || GetPropW(edit, kPreviousProcedure)) return;
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_WNDPROC));
    if (!previous || !SetPropW(edit, kPreviousProcedure, reinterpret_cast<HANDLE>(previous))) return;
    SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SelectAllProc));
}

void SelectAllOnCtrlAInChildren(HWND window) {
    if (window) EnumChildWindows(window, SelectAllInChild, 0);  // every descendant, not only the direct children
}

#include "HelpFile.h"

#include "core/MessageBox.h"

#include <htmlhelp.h>

CString HelpFileBeside(const CString& modulePath) {
    CString folder = modulePath.Left(modulePath.ReverseFind(L'\\'));
    return folder + (folder.Right(1) == L"\\" ? L"TQHelp.chm" : L"\\TQHelp.chm");
}

void ShowHelpFile(HWND owner, const CString& helpFile) {
    DWORD attributes = GetFileAttributesW(helpFile);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ShowMessageBox(owner, L"The help file " + helpFile + L" is missing.", L"Tarvelo", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // HTML Help is loaded when it is asked for, as the system provides it.
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    HMODULE library = LoadLibraryW(L"hhctrl.ocx");
    auto htmlHelp = library ? reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(GetProcAddress(library, "HtmlHelpW")))
                            : nullptr;
    if (!htmlHelp) {
        ShowMessageBox(owner, L"The help file " + helpFile + L" cannot be shown: HTML Help is not available.", L"Tarvelo",
                       MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    htmlHelp(nullptr, helpFile, HH_DISPLAY_TOPIC, 0);
}

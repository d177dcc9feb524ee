#include "page/ReadOnlyClose.h"

#include "core/MessageBox.h"
#include "pages/PageFile.h"
#include "util/PathParts.h"

#include <windows.h>

bool IsPageFileReadOnly(const CString& path) {
    DWORD attributes = GetFileAttributesW(ResolveExistingPagePath(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool AskCloseReadOnlyPage(const CString& path) {
    const CString name = GetNameWithoutExt(GetPathLastPart(ResolveExistingPagePath(path)));
    return ShowMessageBox(nullptr,
                          L"The page \"" + name +
                              L"\" is read-only, so your changes cannot be saved there.\n\n"
                              L"OK: close it without saving them. Cancel: keep it open with your changes.",
                          L"Tarvelo", MB_OKCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDOK;
}

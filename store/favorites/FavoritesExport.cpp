#include "favorites/FavoritesExport.h"

#include "core/MessageBox.h"
#include "favorites/LinkNames.h"
#include "favorites/PageLinkWalker.h"
#include "install/InstallPath.h"
#include "pages/PageFile.h"
#include "util/Files.h"
#include "util/Folders.h"

#include <windows.h>

namespace {

// The message of a Favorites value that cannot be used, as the empty-Favorites tool says it.
constexpr wchar_t kNoFavoritesFolder[] = L"Error, cannot QUERY Favorites!";

CString WithoutTrailingBackslashes(CString folder) {
    folder.TrimRight(L'\\');
    return folder;
}

// Creates the folder and every missing folder above it.
bool MakeFolders(const CString& folder) {
    if (FolderExists(folder)) return true;
    int slash = folder.ReverseFind(L'\\');
    if (slash > 2 && !MakeFolders(folder.Left(slash))) return false;  // "X:" itself is never made
    return CreateDirectoryW(folder, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// Writes one link's shortcut file into the section folder (an existing file
// of that name is overwritten).
void WriteShortcut(const CString& sectionFolder, const CString& title, const CString& address) {
    CString name = SafeNameComponent(title);
    if (name.IsEmpty()) return;
    if (!MakeFolders(sectionFolder) ||
        !WritePageText(sectionFolder + L"\\" + name + L".url", InternetShortcutText(address)))
        ShowMessageBox(nullptr, L"Error! linkFile not openned in Function LastMatchFav.", L"Tarvelo", MB_OK);
}

int ExportText(const CString& text, const CString& folder) {
    CString section;  // empty before the first tag: those links are not exported
    PageLinkWalk walk;
    walk.onTag = [&](const CString& tag) {
        section = folder;
        if (tag == L"Default") return;
        for (const CString& name : SectionFolderNames(tag)) section += L"\\" + name;
        MakeFolders(section);
    };
    walk.onLink = [&](const CString& title, const CString& address) {
        if (!section.IsEmpty() && !title.IsEmpty()) WriteShortcut(section, title, address);
    };
    WalkPageLinks(text, walk);
    return 1;
}

} // namespace

CString InternetShortcutText(const CString& address) {
    CString url = SingleLineAddress(address);
    return L"[DEFAULT]\nBASEURL=" + url + L"\n[InternetShortcut]\nURL=" + url + L"\nModified=\n";
}

int ExportPageToFavorites(const CString& page, CString& folder) {
    folder = WithoutTrailingBackslashes(folder);
    if (!IsSafeStorePath(folder) || !MakeFolders(folder)) return 0;
    CString text;
    if (!ReadPageForLinks(page, text)) return 0;
    return ExportText(text, folder);
}

int RestoreFavorites(const CString& page) {
    if (ShowMessageBox(nullptr, L"All items in My Favorites will be deleted! Continue?", L"Warning", MB_OKCANCEL) !=
        IDOK)
        return 0;
    return RestoreFavoritesTo(page, GetFavoritesPath());
}

int RestoreFavoritesTo(const CString& page, const CString& favoritesFolder) {
    // An empty or relative value would make the current drive's root the
    // folder to empty: only an existing folder below a drive or share is used.
    CString folder = WithoutTrailingBackslashes(favoritesFolder);
    if (!IsSafeStorePath(folder) || !FolderExists(folder)) {
        ShowMessageBox(nullptr, kNoFavoritesFolder, L"Tarvelo", MB_OK);
        return 0;
    }
    CString text;
    if (!ReadPageForLinks(page, text)) return 0;
    EmptyFolder(folder);
    return ExportText(text, folder);
}

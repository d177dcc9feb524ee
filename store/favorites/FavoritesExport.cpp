#include "favorites/FavoritesExport.h"

#include "core/MessageBox.h"
#include "favorites/LinkNames.h"
#include "favorites/PageLinkWalker.h"
#include "install/InstallPath.h"
#include "pages/PageFile.h"
#include "util/Files.h"
#include "util/Folders.h"
#include "util/Strings.h"
#include "wnd/WaitCursor.h"

#include <windows.h>

#include <string>

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

// A shortcut file's text, UTF-16 with its byte-order mark, written straight
// over any file of that name: a shortcut is a copy of a page's link, not the
// user's own text, so it needs none of the page's safe replacement (a
// sibling file flushed to disk and moved over), which costs a thousand
// shortcuts seconds.
bool WriteShortcutFile(const CString& path, const CString& text) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const std::string bytes = PageFileBytes(text);
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    return CloseHandle(file) && ok;
}

int ExportText(const CString& text, const CString& folder) {
    SectionFolder section;  // no folder before the first tag: those links are not exported
    PageLinkWalk walk;
    walk.onTag = [&](const CString& tag) { ExportSectionsToFolders(folder, tag, section); };
    walk.onLink = [&](const CString& title, const CString& address) { LastMatchFav(section, title, address); };
    WalkPageLinks(text, walk);
    return 1;
}

} // namespace

CString InternetShortcutText(const CString& address) {
    CString url = SingleLineAddress(address);
    return L"[DEFAULT]\nBASEURL=" + url + L"\n[InternetShortcut]\nURL=" + url + L"\nModified=\n";
}

void ExportSectionsToFolders(const CString& folder, const CString& tag, SectionFolder& section) {
    section.path = folder;
    // Folder names are plain text: the page's character references are read.
    if (tag != L"Default")
        for (const CString& name : SectionFolderNames(DecodeCharacterReferences(tag))) section.path += L"\\" + name;
    section.made = MakeFolders(section.path);
}

void LastMatchFav(const SectionFolder& section, const CString& title, const CString& address) {
    // A shortcut holds plain text, not HTML: "&amp;" in the page's address
    // is the "&" the address holds, and "&lt;" in a title the "<" it shows
    // (which the safe name then replaces).
    CString name = SafeNameComponent(DecodeCharacterReferences(title));
    if (section.path.IsEmpty() || name.IsEmpty()) return;
    // A folder that could not be made fails each of its links alike.
    if (!section.made ||
        !WriteShortcutFile(section.path + L"\\" + name + L".url", InternetShortcutText(DecodeCharacterReferences(address))))
        ShowMessageBox(nullptr, L"Error! linkFile not openned in Function LastMatchFav.", L"Tarvelo", MB_OK);
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
    CWaitCursor wait;
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

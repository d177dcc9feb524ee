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
#include <vector>

namespace {

// The message of a Favorites value that cannot be used, as the empty-Favorites tool says it.
constexpr wchar_t kNoFavoritesFolder[] = L"Error, cannot QUERY Favorites!";
// A page none of whose links stands below a section gives no shortcut.
constexpr wchar_t kNoShortcuts[] =
    L"No link of this page stands in a section, so it gives no shortcut: My Favorites was left as it is.";

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

// The shortcut name a link of the page gets ("OzTeX"), empty when the link
// gets none (an empty title).
CString ShortcutName(const CString& title) { return SafeNameComponent(DecodeCharacterReferences(title)); }

// The number of shortcut files the page would give: its links below a tag
// that have a name.
int CountShortcuts(const CString& text) {
    bool inSection = false;
    int count = 0;
    PageLinkWalk walk;
    walk.onTag = [&](const CString&) { inSection = true; };
    walk.onLink = [&](const CString& title, const CString&) {
        if (inSection && !ShortcutName(title).IsEmpty()) ++count;
    };
    WalkPageLinks(text, walk);
    return count;
}

// The number of shortcut files written.
int ExportText(const CString& text, const CString& folder) {
    SectionFolder section;  // no folder before the first tag: those links are not exported
    PageLinkWalk walk;
    walk.onTag = [&](const CString& tag) { ExportSectionsToFolders(folder, tag, section); };
    walk.onLink = [&](const CString& title, const CString& address) { LastMatchFav(section, title, address); };
    WalkPageLinks(text, walk);
    return section.written;
}

void TellFavorites(const CString& text) { ShowMessageBox(nullptr, text, L"Tarvelo", MB_OK); }

// What a refill of the Favorites folder did, as the tool tells it.
CString ShortcutsWrittenText(int written) {
    CString text;
    text.Format(written == 1 ? L"%d shortcut was written to My Favorites." : L"%d shortcuts were written to My Favorites.",
                written);
    return text;
}

// A path beside the folder where nothing is yet: the folder's own path and
// the suffix, with a number from 2 on when that is taken.
CString FreePathBeside(const CString& folder, const wchar_t* suffix) {
    CString path = folder + suffix;
    for (int number = 2; GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; ++number) {
        CString numbered;
        numbered.Format(L"%d", number);
        path = folder + suffix + numbered;
    }
    return path;
}

// Moves every entry of one folder into another, adding the names moved.
// False at the first entry that does not move.
bool MoveEntries(const CString& from, const CString& to, std::vector<CString>& moved) {
    std::vector<FolderEntry> entries;
    if (!ListFolderEntries(from, entries)) return false;
    for (const FolderEntry& entry : entries) {
        if (!MoveFileW(from + L"\\" + entry.name, to + L"\\" + entry.name)) return false;
        moved.push_back(entry.name);
    }
    return true;
}

void MoveBack(const std::vector<CString>& names, const CString& from, const CString& to) {
    for (const CString& name : names) MoveFileW(from + L"\\" + name, to + L"\\" + name);
}

// The entries of `fresh` in the place of the folder's own: the old ones are
// moved aside (beside the folder, so each move is a rename), the new ones in,
// and only then do the old ones go. When a move fails, every entry goes back
// where it was and the folder holds what it held.
bool ReplaceFolderContents(const CString& folder, const CString& fresh) {
    CString aside = FreePathBeside(folder, L".old");
    if (!CreateDirectoryW(aside, nullptr)) return false;
    std::vector<CString> movedAside, movedIn;
    if (MoveEntries(folder, aside, movedAside) && MoveEntries(fresh, folder, movedIn)) {
        DeleteFolder(aside);
        return true;
    }
    MoveBack(movedIn, folder, fresh);
    MoveBack(movedAside, aside, folder);
    RemoveDirectoryW(aside);  // only when every old entry is back
    return false;
}

// Writes the page's shortcuts beside the folder first; only when every one is
// written do they take the place of the folder's contents. A page that gives
// none, a shortcut or section folder that cannot be made, or a move that
// fails leaves the folder as it is, and the user hears which.
int RefillFavorites(const CString& text, const CString& folder) {
    int planned = CountShortcuts(text);
    if (planned == 0) {
        TellFavorites(kNoShortcuts);
        return 0;
    }
    CString fresh = FreePathBeside(folder, L".new");
    int written = CreateDirectoryW(fresh, nullptr) ? ExportText(text, fresh) : 0;
    if (written < planned) {
        DeleteFolder(fresh);
        CString said;
        said.Format(L"Only %d of %d shortcuts could be written, so My Favorites was left as it is.", written, planned);
        TellFavorites(said);
        return 0;
    }
    if (!ReplaceFolderContents(folder, fresh)) {
        DeleteFolder(fresh);
        TellFavorites(L"The old items of My Favorites could not be replaced, so My Favorites was left as it is.");
        return 0;
    }
    RemoveDirectoryW(fresh);
    TellFavorites(ShortcutsWrittenText(written));
    return 1;
}

// An empty or relative value would make the current drive's root the
// folder to empty: only an existing folder below a drive or share is used.
bool IsUsableFavoritesFolder(const CString& folder) {
    if (IsSafeStorePath(folder) && FolderExists(folder)) return true;
    TellFavorites(kNoFavoritesFolder);
    return false;
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

void LastMatchFav(SectionFolder& section, const CString& title, const CString& address) {
    // A shortcut holds plain text, not HTML: "&amp;" in the page's address
    // is the "&" the address holds, and "&lt;" in a title the "<" it shows
    // (which the safe name then replaces).
    CString name = ShortcutName(title);
    if (section.path.IsEmpty() || name.IsEmpty()) return;
    // Each link its own file: a name this export has written already gets a
    // number ("OzTeX (2)"), as a second file of one name would replace the first.
    CString path = section.path + L"\\" + name + L".url";
    for (int number = 2; !section.TakeName(path); ++number) {
        CString numbered;
        numbered.Format(L" (%d).url", number);
        path = section.path + L"\\" + name + numbered;
    }
    // A folder that could not be made fails each of its links alike.
    if (section.made && WriteShortcutFile(path, InternetShortcutText(DecodeCharacterReferences(address))))
        ++section.written;
    else
        ShowMessageBox(nullptr, L"Error! linkFile not openned in Function LastMatchFav.", L"Tarvelo", MB_OK);
}

bool SectionFolder::TakeName(const CString& shortcutPath) {
    // Names differing in case name one file (the file system folds all letters).
    std::wstring key = shortcutPath.str();
    CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return taken.insert(std::move(key)).second;
}

int ExportPageToFavorites(const CString& page, CString& folder) {
    folder = WithoutTrailingBackslashes(folder);
    if (!IsSafeStorePath(folder) || !MakeFolders(folder)) return 0;
    CString text;
    if (!ReadPageForLinks(page, text)) return 0;
    ExportText(text, folder);
    return 1;
}

int RestoreFavorites(const CString& page) {
    CString text;
    if (!ReadPageForLinks(page, text)) return 0;
    // Nothing to write: nothing is deleted, and the question is not asked.
    if (CountShortcuts(text) == 0) {
        TellFavorites(kNoShortcuts);
        return 0;
    }
    if (ShowMessageBox(nullptr, L"All items in My Favorites will be deleted! Continue?", L"Warning", MB_OKCANCEL) !=
        IDOK)
        return 0;
    CWaitCursor wait;
    CString folder = WithoutTrailingBackslashes(GetFavoritesPath());
    return IsUsableFavoritesFolder(folder) ? RefillFavorites(text, folder) : 0;
}

int RestoreFavoritesTo(const CString& page, const CString& favoritesFolder) {
    CString folder = WithoutTrailingBackslashes(favoritesFolder);
    if (!IsUsableFavoritesFolder(folder)) return 0;
    CString text;
    if (!ReadPageForLinks(page, text)) return 0;
    return RefillFavorites(text, folder);
}

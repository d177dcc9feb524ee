// A page's links written out as a folder tree of Internet shortcut files: one
// folder per section (nested where the tag holds "\"), one ".url" file per
// link; the section "Default" is the target folder itself, and links before
// the page's first tag are left out. Every name comes from page text and is
// made safe first (SafeNameComponent), so nothing is written outside the
// target folder.
#pragma once
#include "core/String.h"

#include <set>
#include <string>

// The text of the shortcut file written for one link.
CString InternetShortcutText(const CString& address);
// The section folder the export writes into: empty before the page's first
// tag; `made` tells whether it exists. It also keeps, for the whole export,
// the shortcut files written so far (`taken`, `written`).
struct SectionFolder {
    CString path;
    bool made = false;
    std::set<std::wstring> taken;
    int written = 0;
    // False when this export has written a shortcut of that path (any case) already.
    bool TakeName(const CString& shortcutPath);
};
// A tag of the page: the section folder becomes the target folder, or below
// it the folder (level by level where the tag holds "\") the tag names, made
// when missing.
void ExportSectionsToFolders(const CString& folder, const CString& tag, SectionFolder& section);
// A link of the page, written as a shortcut file into the section folder;
// nothing before the first tag or for an empty title. A file of that name
// from before the export is overwritten; one this export wrote stays, and
// the link takes the next free numbered name ("OzTeX (2).url"). A file that
// cannot be written shows "Error! linkFile not openned in Function
// LastMatchFav.".
void LastMatchFav(SectionFolder& section, const CString& title, const CString& address);
// Writes the page's sections and links below the folder (trailing
// backslashes removed; created when missing). 0 when the page cannot be read
// ("Cannot open " + page) or the folder is not an absolute folder path below
// a drive or share; a shortcut that cannot be written shows "Error! linkFile
// not openned in Function LastMatchFav." and the export goes on.
int ExportPageToFavorites(const CString& page, CString& folder);
// Refills the browser's Favorites folder with the page's links: asks "All
// items in My Favorites will be deleted! Continue?", exports the page into a
// new folder beside the Favorites folder and, once every shortcut is
// written, puts them in the place of the folder's old items, then tells how
// many shortcuts were written. A page that gives no shortcut (no link below
// a section) is said to, and nothing is asked or deleted. 1 when the folder
// was refilled; 0, nothing deleted, on Cancel, for such a page, when the
// Favorites folder is not an existing absolute folder below a drive root
// ("Error, cannot QUERY Favorites!"), when the page cannot be read, and when
// a shortcut or section folder cannot be written ("Only 3 of 5 shortcuts
// could be written, so My Favorites was left as it is.") or the old items
// cannot be moved away.
int RestoreFavorites(const CString& page);
// The same without the question, into the given Favorites folder.
int RestoreFavoritesTo(const CString& page, const CString& favoritesFolder);

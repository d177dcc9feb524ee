// The backup copy of the page tree (install path + "\Bookmark\TQ Bookmark").
#pragma once
#include "core/String.h"

#include <vector>

// Replaces the backup by a fresh copy of the Allpages folder. The copy is
// made beside the backup first; the old backup goes only once the copy is
// complete, so a failed copy leaves the old one as it was. True on success.
bool RenewBackup(const CString& installPath);
// Copies the backup over the Allpages folder (pages the backup lacks stay).
// False, with nothing changed, when there is no backup. A copy that fails on
// the way goes on with the other files; `failed` gains the path below the
// Allpages folder of each file or folder that was not restored.
bool RestoreFromBackup(const CString& installPath, std::vector<CString>& failed);
// Deletes everything inside the Favorites folder, only when it is an
// existing absolute folder below a drive or share root. False otherwise.
bool EmptyFavoritesFolder(const CString& favorites);

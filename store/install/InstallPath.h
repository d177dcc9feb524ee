// The install path and the folders of the bookmark folder below it. Nothing is
// cached: every call reads the registry afresh, so a new InstallPath takes
// effect on the next call.
#pragma once
#include "core/String.h"

// Folders below the install path.
inline constexpr wchar_t kAllpagesFolder[] = L"\\Bookmark\\Allpages";
inline constexpr wchar_t kFormsFolder[] = L"\\Bookmark\\Forms";
inline constexpr wchar_t kPictureFolder[] = L"\\BookMark\\Pic";
inline constexpr wchar_t kFormBlockFolder[] = L"\\BookMark\\TQ_TP_FORM\\";
inline constexpr wchar_t kFavoritesStagingFolder[] = L"\\Bookmark\\fav\\";
inline constexpr wchar_t kBackupFolder[] = L"\\Bookmark\\TQ Bookmark";

// InstallPath of HKCU\Software\Tarvelo\Tarvelo\Settings; empty (after
// "Error, cannot open hKEY!" or "Error, cannot QUERY InstallPath! ...",
// caption "Error") when it cannot be read.
CString GetInstallPath();
// GetInstallPath() + "\Bookmark\Allpages": the root of the page tree.
CString GetAllpagesPath();
// The same in the ANSI code page.
CStringA GetAllpagesPathA();
// Favorites of the user's Explorer Shell Folders; empty when unreadable.
CString GetFavoritesPath();
// True when the install path can carry the store: an absolute folder path
// below a drive or share. Operations that write stop when it cannot.
bool IsUsableInstallPath(const CString& installPath);

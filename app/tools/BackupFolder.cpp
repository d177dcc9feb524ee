#include "tools/BackupFolder.h"

#include "install/InstallPath.h"
#include "util/Files.h"
#include "util/Folders.h"

#include <windows.h>

bool RenewBackup(const CString& installPath) {
    if (!IsUsableInstallPath(installPath)) return false;
    CString backup = installPath + kBackupFolder;
    CString fresh = backup + L".new";
    CString old = backup + L".old";
    // Leftovers of an earlier run that stopped half-way.
    if (FolderExists(fresh)) DeleteFolder(fresh);
    if (FolderExists(old)) DeleteFolder(old);
    if (!CopyFolder(fresh, installPath + kAllpagesFolder)) {
        DeleteFolder(fresh);
        return false;
    }
    bool hadBackup = FolderExists(backup);
    if (hadBackup && !MoveFileW(backup, old)) {
        DeleteFolder(fresh);
        return false;
    }
    if (!MoveFileW(fresh, backup)) {
        if (hadBackup) MoveFileW(old, backup);
        DeleteFolder(fresh);
        return false;
    }
    if (hadBackup) DeleteFolder(old);
    return true;
}

bool RestoreFromBackup(const CString& installPath, std::vector<CString>& failed) {
    if (!IsUsableInstallPath(installPath) || !FolderExists(installPath + kBackupFolder)) return false;
    CString allpages = installPath + kAllpagesFolder;
    std::vector<CString> paths;
    CopyFolder(allpages, installPath + kBackupFolder, &paths);
    for (CString& path : paths) {
        // Shown below the Allpages folder, as the tree names pages.
        if (path.GetLength() > allpages.GetLength() && path.Left(allpages.GetLength()).CompareNoCase(allpages) == 0)
            path = path.Mid(allpages.GetLength() + 1);
        failed.push_back(path);
    }
    return true;
}

bool EmptyFavoritesFolder(const CString& favorites) {
    CString folder = favorites;
    folder.TrimRight(L'\\');
    if (!IsSafeStorePath(folder) || !FolderExists(folder)) return false;
    EmptyFolder(folder);
    return true;
}

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

bool RestoreFromBackup(const CString& installPath) {
    if (!IsUsableInstallPath(installPath) || !FolderExists(installPath + kBackupFolder)) return false;
    return CopyFolder(installPath + kAllpagesFolder, installPath + kBackupFolder) != 0;
}

bool EmptyFavoritesFolder(const CString& favorites) {
    CString folder = favorites;
    folder.TrimRight(L'\\');
    if (!IsSafeStorePath(folder) || !FolderExists(folder)) return false;
    EmptyFolder(folder);
    return true;
}

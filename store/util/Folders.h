// Folder copy and delete. Every operation refuses a path that is not an
// absolute path below a drive or share (an empty install path would otherwise
// turn "\Bookmark\..." into a folder at the drive's root) and a drive or share
// root itself.
#pragma once
#include "core/String.h"

#include <vector>

// True for "X:\folder..." or "\\server\share\folder..." with at least one
// folder below the root, without "." or ".." parts.
bool IsSafeStorePath(const CString& path);
// Copies a file or folder (with its contents) into the destination folder
// through the shell's file operation. 1 on success, 0 otherwise.
int ShellCopy(const CString& destination, const CString& source);
// Copies every entry of the source folder into the destination folder,
// creating it when missing ("Not Exported! Cannot create destination
// directory!"). The source is never changed. 1 when everything was copied;
// otherwise `failed`, when given, gains the destination path of every file
// or folder that was not copied.
int CopyFolder(const CString& destination, const CString& source, std::vector<CString>* failed = nullptr);
// The entries of a folder but "." and "..", in the order the file system
// lists them. False when the folder cannot be listed.
struct FolderEntry {
    CString name;
    unsigned long attributes = 0;
};
bool ListFolderEntries(const CString& folder, std::vector<FolderEntry>& entries);
// Creates the folder and every missing folder above it. True when the
// folder is there afterwards; false for a path that is not safe.
bool CreateFolderPath(const CString& folder);
// Deletes the folder with everything inside it, read-only entries included;
// links to other folders are removed, never followed. True when it is gone.
bool DeleteFolder(const CString& folder);
// Deletes everything inside the folder and keeps the folder.
void EmptyFolder(const CString& folder);

// File helpers shared by the store and the application: existence checks,
// free names, the encoding probe, the line reader and the recursive listing.
#pragma once
#include "core/String.h"

#include <cstdio>
#include <string>
#include <vector>

// 1 when a directory search finds the path (file, folder or wildcard).
int PathExistsByFind(const CString& path);
// 1 when the narrow path can be opened for reading.
int FileExistsA(const CStringA& path);
// True when a file (not a folder) exists at the path.
bool FileExists(const CString& path);
// True when a folder exists at the path.
bool FolderExists(const CString& path);
// The path itself when free, else folder + title + n + "." + extension for the
// first free n from 2.
CString MakeUniquePath(const CString& path);
// Byte-order mark of a file: 1 UTF-16 LE, 2 UTF-8, 3 UTF-16 BE, 4 UTF-32 BE,
// 5 none; 0 (after "Cannot open " + path) when it cannot be opened.
int DetectTextEncoding(const CString& path);
// One line of an open wide text stream, without its line feed; empty at the end.
CString ReadLine(FILE* stream);
// Appends every file below the folder (hidden folders as entries, other
// folders searched) as folder + "\" + name. 1, or 0 when the folder cannot be
// searched. Works on full paths; the current directory is left alone.
int FindFilesRecursive(const CString& folder, std::vector<CString>& files);
// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const CString& path, std::string& bytes);

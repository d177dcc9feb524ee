// Small splitters of paths and file names, shared by the store and the
// application. None of them touches the disk.
#pragma once
#include "core/String.h"

// Text before the path's last "\" (the whole path when it holds none).
CString GetParentPath(const CString& path);
// Text after the path's last "\" (the whole path when it holds none).
CString GetPathLastPart(const CString& path);
// From the last "\" (separator included) when it is not the first character,
// else from the last "/" under the same condition, else the whole path.
CString GetPathTail(const CString& path);
// Up to and including the last "/" when it is not the last character, else the
// last "\" under the same condition, else empty.
CString GetPathDir(const CString& path);
// Text between the separator chosen as in GetPathDir and the last ".";
// empty without separator, without "." or when the "." lies before it.
CString GetFileTitle(const CString& path);
// Text after the last "."; empty without "." or when it ends the path.
CString GetFileExt(const CString& path);
// The name up to its last "." (a final "." is not considered).
CString GetNameWithoutExt(const CString& name);
// Text after the name's last "."; the whole name when it holds none.
CString GetNameExt(const CString& name);

// The same file or folder: both made absolute, letter case and trailing "\"
// ignored. Literal text, never a pattern.
bool IsSamePath(const CString& a, const CString& b);
// True when the path is the folder itself or lies below it (a literal,
// case-insensitive prefix test with the folder + "\", so "C:\a b" is not
// inside "C:\a"). Both are made absolute first.
bool IsPathWithin(const CString& path, const CString& folder);

// Names and paths of the folder tree's disk operations: which names a page
// or folder may take, where a copy goes, and whether one path lies inside
// another. None of them touches the tree; only FreeCopyPath looks at the disk.
#pragma once
#include "core/String.h"

// True for a name a page or folder may carry: not empty, none of
// \ / : * ? " < > | or control characters, no "..", no leading dot (the tree
// hides such folders), and no trailing dot or blank (the file system would drop
// them and hit another name).
bool IsAcceptableItemName(const CString& name);

// The longest full paths the store can use: a page's file (MAX_PATH less its
// terminator) and a folder (CreateDirectoryW's limit, room left for 8.3 names).
inline constexpr int kLongestPagePath = 259;
inline constexpr int kLongestFolderPath = 247;

// Why a page (`folder` false) or folder cannot stand at the full path `path`
// for its length, as the end of a sentence ("its path would be 412
// characters long, and at most 259 fit"); empty when it fits.
CString PathLengthProblem(const CString& path, bool folder);

// The same for a folder that moves from `oldPath` to `newPath` with all it
// holds: also no page or folder inside may grow past its limit. A folder link
// inside counts as one folder; what it leads to is not looked at.
CString FolderMoveLengthProblem(const CString& oldPath, const CString& newPath);

// True when `path` is `folder` itself or lies below it (letter case ignored).
bool IsSameOrBelow(const CString& path, const CString& folder);

// The first free name for a copy of `name` in `folder`: folder\name, with the
// prefix "copy of_" first when `prefixFirst`; while it is taken, the prefix
// grows by one more "copy of_" (so the second candidate is "copy of_copy of_"
// + name, with or without the prefix first).
CString FreeCopyPath(const CString& folder, const CString& name, bool prefixFirst);

// Swaps the leading `oldPrefix` of a path for `newPrefix` (exact match, on a
// path-part boundary); other paths come back unchanged.
CString ReplacePathPrefix(const CString& path, const CString& oldPrefix, const CString& newPrefix);

// Byte-level views of UTF-16 files for checking what the code under test wrote.
#pragma once
#include "core/String.h"

#include <string>
#include <vector>

// The text as UTF-16 little-endian bytes, with the byte-order mark first unless told otherwise.
std::string Utf16Bytes(const CString& text, bool withMark = true);
// The text of UTF-16 little-endian bytes; a leading byte-order mark is dropped, a lone odd byte ignored.
CString TextOfUtf16Bytes(const std::string& bytes);
// The text of UTF-8 bytes.
CString FromUtf8(const std::string& bytes);
// The names in a folder ("." and ".." left out), in the order the file system lists them.
std::vector<CString> ListFolder(const CString& folder);
// Removes a folder with everything in it, one entry at a time, as a shell's
// recursive delete does.
void RemoveFolderTree(const CString& folder);
// `count` names made by a format with one number: "Gone%02d.htm" gives
// "Gone00.htm", "Gone01.htm", ...
std::vector<CString> NumberedNames(const wchar_t* format, int count);

// Reading and writing page files as whole texts. Pages are read by their
// byte-order mark (UTF-16 LE, UTF-8, UTF-16 BE; none: the ANSI code page) with
// CR LF folded into LF, and written as UTF-16 LE with the mark and line-feed
// line ends. A write never tears a page: the text goes into a sibling file that
// replaces the page only when it is complete.
#pragma once
#include "core/String.h"

#include <string>
#include <vector>

// The file's text; false when it cannot be opened or read. A file without a
// byte-order mark is read in the given code page.
bool ReadPageText(const CString& path, CString& text, unsigned codePageWithoutMark = 0 /* CP_ACP */);
// UTF-16 bytes from `offset` on as text (an odd last byte is dropped).
CString DecodeUtf16(const std::string& bytes, size_t offset, bool bigEndian);
// CR LF read as LF.
void FoldLineEnds(CString& text);
// Splits a text into lines without their line feeds (a final line feed does
// not start another line).
std::vector<CString> SplitPageLines(const CString& text);
// Reads a page's lines; false when it cannot be read.
bool ReadPageLines(const CString& path, std::vector<CString>& lines);

// Writes the byte-order mark FF FE and the text as UTF-16 LE in place of the
// file (created when missing). False, with the old file untouched, on failure
// and for a path that is not absolute (IsSafeStorePath).
// The first write into a folder clears the leftovers of writes that were cut
// off there (CFileReplacer::RemoveStaleSiblings).
bool WritePageText(const CString& path, const CString& text);
// Writes bytes in place of the file, with the same guarantee.
bool WriteFileBytesReplacing(const CString& path, const std::string& bytes);
// The bytes of a page file: the UTF-16 byte-order mark, then the text.
std::string PageFileBytes(const CString& text);

// True for a page path relative to the Allpages folder that stays below it:
// not empty, no "." or ".." part, no empty part, no character that a file
// name cannot hold, no reserved device name ("CON", "NUL", "COM1", "CONOUT$",
// also with an extension).
bool IsValidPageName(const CString& page);
// A page path relative to the Allpages folder (no extension) as a file: the
// ".htm" file, else an existing ".html" one, else (a page name that carries
// its extension) the name itself; the ".htm" path when none exists.
CString ResolvePageFile(const CString& allpagesFolder, const CString& page);
// A full page path ending in ".htm" that does not exist, but whose ".html"
// sibling does, becomes that sibling; other paths are returned unchanged.
CString ResolveExistingPagePath(const CString& path);

// Reading HTML files that come from outside the store (bookmark files of
// browsers and services, pages to import) in the character set they are
// written in. One reader, so every import of one file reads the same text.
#pragma once
#include "core/String.h"

#include <string>

// The Windows code page of a character-set name as HTML files declare it
// ("utf-8", "windows-1251", "koi8-r", "x-mac-roman", "shift_jis", ...; any
// case); 0 for a name it does not know. A declared UTF-16 set names UTF-8,
// as browsers read it: a file without a byte-order mark cannot be UTF-16.
unsigned CodePageOfCharset(const CString& name);
// The character set that a META element near the top of the file declares
// ("<meta http-equiv=... content=\"text/html; charset=NAME\">" or
// "<meta charset=NAME>"), or empty.
CString DeclaredCharset(const std::string& bytes);
// The file's text: by its byte-order mark (UTF-16 LE or BE, UTF-8); without
// one, in the character set it declares when this system has that code page;
// else UTF-8 when the bytes are valid UTF-8; else the ANSI code page. CR LF
// is read as LF.
CString DecodeHtmlFileBytes(const std::string& bytes);
// Reads a file so; false when it cannot be read.
bool ReadHtmlFileText(const CString& path, CString& text);

// Reading form record files, for the form-filling library and the tests.
// Depends only on CString and Win32, so TQIEMenuExt can compile it as well.
//
// A record file is UTF-16 text with a byte-order mark and line-feed line
// ends. Each record is one line, the field name, a blank and the value; the
// values of text areas and multiple selections continue on the lines after
// it. The writer closes every record with a line that is exactly "$$$$$", so
// a reader that takes further lines up to that line never reads past its own
// record; a reader that treats the closing line as a record finds no field
// (its name is empty).
#pragma once
#include "core/String.h"

#include <vector>

inline constexpr wchar_t kFormRecordCloser[] = L"$$$$$";

// The file's lines without line ends (CR LF folded); false when it cannot be read.
bool ReadFormRecordLines(const CString& path, std::vector<CString>& lines);
// Splits a record line: the name is the text before the first blank (empty
// without a blank); the value is the blank-separated words after it joined by
// one blank each.
void SplitFormRecordLine(const CString& line, CString& name, CString& value);
// The value lines of a multi-line record: the record's own value, then the
// following lines up to the closing line (consumed) or the end, at most
// maxLines lines. `next` is the index of the line after the record line and is
// moved past what was taken.
std::vector<CString> CollectFormRecordValueLines(const std::vector<CString>& lines, size_t& next,
                                                 const CString& firstValue, size_t maxLines);

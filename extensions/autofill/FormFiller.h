// Filling a page's web forms from a form record file. Each record line is
// "name value"; the fields of every form whose name equals the record's name
// (case-sensitive) take the value. A textarea or multiple select takes the
// following lines of the file as well, up to a line "$$$$$" or the file's end.
#pragma once
#include "FormRecordFile.h"

#include <mshtml.h>

constexpr int kMaxSelectLines = 1000;

struct FormRecordLine {
    CString name;   // the text before the first blank
    CString value;  // the words after it, joined by one blank each
};
FormRecordLine SplitRecordLine(const CString& line);

// Reads every record of the file at `path` into the forms of `document`.
// A file that cannot be read changes nothing.
void LoadFormRecords(IHTMLDocument2* document, const CString& path);

// Fills the fields named `name`; may read further lines of `file`.
void FillForms(FormRecordFile& file, IHTMLElementCollection* forms, const CString& name, const CString& value);

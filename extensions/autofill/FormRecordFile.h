// A form record file opened for reading line by line: UTF-16 text with a
// byte-order mark (UTF-8 with a mark is read too), CR LF taken as LF. Lines
// may be of any length.
#pragma once
#include "core/String.h"

class FormRecordFile {
public:
    // False when the file cannot be read.
    bool Open(const CString& path);
    bool AtEnd() const { return m_pos >= m_text.GetLength(); }
    // The next line without its line end; empty at the end of the file.
    CString ReadLine();

private:
    CString m_text;
    int m_pos = 0;
};

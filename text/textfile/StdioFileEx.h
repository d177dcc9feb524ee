// The system's line-oriented text file. It reads a file line by line whether
// it is UTF-16 little-endian with a byte-order mark or multibyte text in a code
// page, and writes lines either as UTF-16 little-endian (the mark at the start
// of the file) or converted into a code page (the system ANSI code page unless
// SetCodePage chose another, such as UTF-8, 65001).
//
// Use: construct, SetCodePage when not ANSI, Open (or the opening constructor,
// which throws CFileException), ReadString or WriteString per line, Close or
// let the destructor close. Callers add their own "\n" to written lines.
//
// Choices of this class:
// - modeWriteUtf16 always writes the UTF-16 units unchanged, as binary mode
//   does, also when the flags ask for text mode (0x21001, 0x21002): a text-mode
//   translation would turn the 0x0A byte of a unit into 0x0D 0x0A and break
//   the units.
// - A line is read whole, however long: a line is never split in two (which
//   would also split a multibyte character and, when the line is written back,
//   add a line break that was never there).
// - A multibyte line that converts to nothing (only when the code page cannot
//   be used) comes back as the empty string with the answer true, never as the
//   previous line's text again.
// - Bytes that are not valid in the code page come back as the code page's
//   replacement character; zero bytes come back as U+0000 units.
#pragma once
#include "files/StdioFile.h"

#include <string>

class CStdioFileEx : public CStdioFile {
public:
    // Lines are written as UTF-16 little-endian, the mark first in an empty file.
    static constexpr UINT modeWriteUtf16 = 0x20000;

    CStdioFileEx() = default;
    // Opens at once; throws CFileException when the file cannot be opened.
    CStdioFileEx(const wchar_t* path, UINT openFlags);

    bool Open(const wchar_t* path, UINT openFlags, CFileException* error = nullptr) override;
    ULONGLONG Seek(LONGLONG offset, UINT from) override;
    // One line without its "\r\n" or "\n"; false at the end of the file.
    bool ReadString(CString& line) override;
    // Writes the zero-terminated text; a write failure throws CFileException.
    void WriteString(const wchar_t* text) override;

    // The code page of multibyte text; -1 (the default) follows the system
    // ANSI code page at each conversion.
    void SetCodePage(int codePage) { m_nFileCodePage = codePage; }
    int GetCodePage() const { return m_nFileCodePage; }
    // True when the file opened for reading began with FF FE.
    bool IsUnicodeText() const { return m_bIsUnicodeText; }
    // The open flags as ProcessFlags adjusted them.
    UINT GetOpenFlags() const { return m_nFlags; }

    // Decides the unicode flag and adjusts the flags before opening: a file
    // opened for reading with typeText is probed, and a UTF-16 file (or a file
    // written with modeWriteUtf16) is switched to binary mode.
    void ProcessFlags(const wchar_t* path, UINT& openFlags);

    // True when the file's first two bytes are FF FE; false when it cannot be read.
    static bool IsFileUnicode(const wchar_t* path);
    // Bytes the text needs in the code page, terminator included; 0 on failure.
    static int GetRequiredMultiByteLength(const wchar_t* text, int codePage);
    // Bytes written, terminator not counted; 0 on failure (also a buffer too small).
    static int WideToMultiByte(const wchar_t* text, char* buffer, int bufferSize, int codePage);
    // Units written, terminator not counted; 0 when a pointer is null or on failure.
    static int MultiByteToWide(const char* text, wchar_t* buffer, int bufferSize, int codePage);

private:
    bool ReadUtf16Line(CString& line);
    bool ReadMultiByteLine(CString& line);
    // Whether the stream stands at position 0, asking the stream only while it may.
    bool AtStart();

    bool m_bIsUnicodeText = false;
    UINT m_nFlags = 0;
    int m_nFileCodePage = -1;
    // False once a read or write of this class has moved past the start; Open and Seek set it again.
    bool m_mayBeAtStart = true;
};

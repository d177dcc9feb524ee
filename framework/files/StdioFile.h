// The framework's buffered file: a C runtime stream (FILE*) over the handle
// that CFile opens, read and written byte-wise or line by line.
//
// The stream itself is always binary. In text mode (the default; typeBinary
// switches it off) this class translates line ends on its own: reading turns
// CR LF into LF, writing turns every LF into CR LF. Unlike the runtime's text
// mode it gives no other byte a meaning: a Ctrl-Z (0x1A) is data, not the end
// of the file, so text holding one is never cut short.
//
// ReadString and WriteString handle text in the system ANSI code page;
// CStdioFileEx adds UTF-16 and other code pages.
#pragma once
#include "files/File.h"

#include <cstdio>
#include <string>

class CStdioFile : public CFile {
public:
    CStdioFile() = default;
    // Opens at once; throws CFileException when the file cannot be opened.
    CStdioFile(const wchar_t* path, UINT openFlags);
    ~CStdioFile() override;

    bool Open(const wchar_t* path, UINT openFlags, CFileException* error = nullptr) override;
    void Close() override;
    void Abort() override;

    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;
    ULONGLONG Seek(LONGLONG offset, UINT from) override;
    ULONGLONG GetPosition() const override;
    ULONGLONG GetLength() const override;
    void SetLength(ULONGLONG length) override;
    void Flush() override;

    // Reads one line of ANSI text without its line feed; false at the end of the file.
    virtual bool ReadString(CString& line);
    // Writes the text in the ANSI code page; adds no line end.
    virtual void WriteString(const wchar_t* text);

    FILE* GetStream() const { return m_pStream; }
    bool IsTextMode() const { return m_textMode; }

protected:
    // Next byte (line ends translated in text mode), or EOF at the end of the file.
    int ReadByte();
    // The bytes of one line up to and including its line feed (the whole line,
    // however long); false when the file was already at its end.
    bool ReadLineBytes(std::string& bytes);
    // Writes bytes, translating line feeds in text mode.
    void WriteBytes(const char* bytes, size_t count);
    // Writes bytes exactly as given, whatever the mode.
    void WriteRawBytes(const void* bytes, size_t count);
    [[noreturn]] void ThrowStreamError() const;

private:
    enum class LastOperation { none, reading, writing };
    // Throws (invalidFile) when the file is not open.
    void RequireStream() const;
    void PrepareFor(LastOperation next);

    FILE* m_pStream = nullptr;
    bool m_textMode = true;
    LastOperation m_lastOperation = LastOperation::none;
};

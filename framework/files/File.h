// The framework's binary file: a thin owner of one Win32 file handle.
//
// Open flags combine one access mode, one share mode, the creation flags and
// (for CStdioFile and its kin) a text/binary type:
//   modeRead 0, modeWrite 0x0001, modeReadWrite 0x0002;
//   shareCompat 0 and shareDenyNone 0x40 share reading and writing with others,
//   as the C runtime's own fopen does (a file opened only for reading this way
//   may also be replaced or removed under its reader, which keeps reading the
//   old content); shareExclusive 0x10, shareDenyWrite 0x20, shareDenyRead 0x30;
//   modeCreate 0x1000 creates the file or empties an existing one, unless
//   modeNoTruncate 0x2000 is added (then an existing file is kept as it is);
//   typeText 0x4000, typeBinary 0x8000 (ignored by CFile itself).
// Handles are never inherited by child processes (modeNoInherit 0x80 is the default).
//
// Errors: Open reports failure as false and fills the caller's error record;
// everything else throws CFileException by value. The destructor closes the
// file quietly (it never throws); call Close() to learn about a failed close.
#pragma once
#include "core/String.h"
#include "files/FileException.h"
#include "files/FileStatus.h"

#include <windows.h>

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    CFile() = default;
    // Opens at once; throws CFileException when the file cannot be opened.
    CFile(const wchar_t* path, UINT openFlags);
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // True on success; on failure false, and the error record (when given) says why.
    virtual bool Open(const wchar_t* path, UINT openFlags, CFileException* error = nullptr);
    // Closes the file; a closed file stays closed. Throws when the close fails.
    virtual void Close();
    // Closes without reporting anything (what the destructor does).
    virtual void Abort();

    virtual UINT Read(void* buffer, UINT count);
    virtual void Write(const void* buffer, UINT count);
    virtual ULONGLONG Seek(LONGLONG offset, UINT from);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    virtual void SetLength(ULONGLONG length);
    virtual void Flush();

    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }
    HANDLE GetHandle() const { return m_hFile; }
    // The full path of the open (or last opened) file.
    const CString& GetFilePath() const { return m_strFileName; }
    // The name part of that path.
    CString GetFileName() const;

    // Status of the open file.
    bool GetStatus(CFileStatus& status) const;
    // The file-status lookup: a directory search for the path (files, folders,
    // and the first match of a wildcard), with the attributes as fallback for
    // paths a search cannot take (drive roots, a trailing backslash).
    static bool GetStatus(const wchar_t* path, CFileStatus& status);
    static void Remove(const wchar_t* path);
    static void Rename(const wchar_t* oldPath, const wchar_t* newPath);

protected:
    [[noreturn]] void ThrowLastError() const;
    // Forgets the handle without closing it (its new owner closes it).
    void ReleaseHandle() { m_hFile = INVALID_HANDLE_VALUE; }

    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    UINT m_openFlags = 0;
    CString m_strFileName;
};

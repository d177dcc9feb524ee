// The framework's file error: what went wrong (a cause code), the Win32 error
// behind it and the file it concerns.
//
// Thrown and caught by value: `throw CFileException(...)`, caught as
// `catch (const CFileException& e)`. Nothing is allocated with new, nothing
// needs deleting. Operations that report through a result instead (CFile::Open)
// fill a caller's CFileException record without throwing.
#pragma once
#include "core/String.h"

#include <windows.h>

class CFileException {
public:
    enum Cause {
        none = 0,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    CFileException() = default;
    CFileException(Cause cause, DWORD osError, const CString& fileName)
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}

    // A record for a failed Win32 call: the cause follows from the error code.
    static CFileException FromOsError(DWORD osError, const CString& fileName);
    static Cause OsErrorToCause(DWORD osError);

    // Throws the record for the calling thread's last Win32 error.
    [[noreturn]] static void ThrowLastError(const CString& fileName);
    [[noreturn]] static void ThrowOsError(DWORD osError, const CString& fileName);

    // One English sentence naming the file, e.g. "Access to C:\a.htm was denied."
    CString GetErrorMessage() const;

    Cause m_cause = none;
    DWORD m_lOsError = 0;
    CString m_strFileName;
};

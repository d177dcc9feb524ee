#include "files/FileException.h"

CFileException CFileException::FromOsError(DWORD osError, const CString& fileName) {
    return CFileException(OsErrorToCause(osError), osError, fileName);
}

CFileException::Cause CFileException::OsErrorToCause(DWORD osError) {
    switch (osError) {
    case NO_ERROR:
        return none;
    case ERROR_FILE_NOT_FOUND:
        return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY:
        return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return accessDenied;
    case ERROR_INVALID_HANDLE:
        return invalidFile;
    case ERROR_CURRENT_DIRECTORY:
        return removeCurrentDir;
    case ERROR_CANNOT_MAKE:
        return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
        return badSeek;
    case ERROR_CRC:
    case ERROR_GEN_FAILURE:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_NOT_READY:
    case ERROR_IO_DEVICE:
        return hardIO;
    case ERROR_SHARING_VIOLATION:
        return sharingViolation;
    case ERROR_LOCK_VIOLATION:
        return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return diskFull;
    case ERROR_HANDLE_EOF:
        return endOfFile;
    default:
        return genericException;
    }
}

void CFileException::ThrowLastError(const CString& fileName) {
    ThrowOsError(::GetLastError(), fileName);
}

void CFileException::ThrowOsError(DWORD osError, const CString& fileName) {
    throw FromOsError(osError, fileName);
}

CString CFileException::GetErrorMessage() const {
    const wchar_t* name = m_strFileName.IsEmpty() ? L"an unnamed file" : m_strFileName.GetString();
    const wchar_t* format = L"An unexpected error occurred while accessing %ls.";
    switch (m_cause) {
    case none: format = L"No error occurred while accessing %ls."; break;
    case genericException: break;
    case fileNotFound: format = L"%ls was not found."; break;
    case badPath: format = L"%ls contains an invalid path."; break;
    case tooManyOpenFiles: format = L"%ls could not be opened because there are too many open files."; break;
    case accessDenied: format = L"Access to %ls was denied."; break;
    case invalidFile: format = L"An invalid file handle was associated with %ls."; break;
    case removeCurrentDir: format = L"%ls could not be removed because it is the current directory."; break;
    case directoryFull: format = L"%ls could not be created because the directory is full."; break;
    case badSeek: format = L"Seek failed on %ls."; break;
    case hardIO: format = L"A hardware I/O error was reported while accessing %ls."; break;
    case sharingViolation: format = L"A sharing violation occurred while accessing %ls."; break;
    case lockViolation: format = L"A locking violation occurred while accessing %ls."; break;
    case diskFull: format = L"There was not enough space on the disk for %ls."; break;
    case endOfFile: format = L"An attempt was made to access %ls past its end."; break;
    }
    CString message;
    message.Format(format, name);
    return message;
}

// What the framework's file-status lookup (CFile::GetStatus) tells about a
// file or folder: its times, size, attributes and full path.
#pragma once
#include "core/String.h"

#include <windows.h>

struct CFileStatus {
    FILETIME m_ctime{};          // creation time (UTC)
    FILETIME m_mtime{};          // last write time (UTC)
    FILETIME m_atime{};          // last access time (UTC)
    ULONGLONG m_size = 0;        // bytes; 0 for a folder
    DWORD m_attribute = 0;       // FILE_ATTRIBUTE_* flags
    CString m_szFullName;        // absolute path of the file

    bool IsDirectory() const { return (m_attribute & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};

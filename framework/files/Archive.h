// CArchive: a document's bytes going to (storing) or coming from (loading)
// a file, for the documents' Serialize. It reads and writes through the
// file at once; errors are the file's CFileException.
#pragma once
#include "files/File.h"

class CArchive {
public:
    enum Mode : UINT { store = 0, load = 1 };

    CArchive(CFile* file, UINT mode) : m_pFile(file), m_nMode(mode) {}
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsStoring() const { return m_nMode == store; }
    BOOL IsLoading() const { return m_nMode == load; }
    CFile* GetFile() const { return m_pFile; }

    // Up to `count` bytes; fewer only at the end of the file.
    UINT Read(void* buffer, UINT count) { return m_pFile->Read(buffer, count); }
    void Write(const void* buffer, UINT count) { m_pFile->Write(buffer, count); }

private:
    CFile* m_pFile;
    UINT m_nMode;
};

// A fresh folder below the test prefix's temporary folder, removed with all
// its contents when the object goes out of scope.
#pragma once
#include "core/String.h"

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const CString& Path() const { return m_path; }
    // Path of a name inside the folder ("a\\b.htm" joins with a backslash).
    CString operator/(const CString& name) const { return m_path + L"\\" + name; }

private:
    CString m_path;
};

// Whole-file helpers for checking what the code under test wrote.
std::string ReadFileBytes(const CString& path);
void WriteFileBytes(const CString& path, const std::string& bytes);
bool PathExists(const CString& path);

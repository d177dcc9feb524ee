#include "TempDir.h"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {
std::atomic<unsigned> g_counter{0};
}

TempDir::TempDir() {
    wchar_t base[MAX_PATH + 1] = {};
    DWORD n = GetTempPathW(MAX_PATH, base);
    CString root = n ? CString(base) : CString(L".\\");
    for (;;) {
        CString name;
        name.Format(L"tarvelo-test-%lu-%u-%lu", GetCurrentProcessId(), g_counter++, GetTickCount());
        CString candidate = root + name;
        if (CreateDirectoryW(candidate, nullptr)) {
            m_path = candidate;
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(m_path.str()), ignored);
}

std::string ReadFileBytes(const CString& path) {
    std::ifstream in(std::filesystem::path(path.str()), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const CString& path, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(path.str()), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool PathExists(const CString& path) {
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

#include "FormRecordFile.h"

#include <windows.h>

#include <string>

namespace {

bool ReadAllBytes(const CString& path, std::string& bytes) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x40000000;
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = bytes.empty() || (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                               read == bytes.size());
    }
    CloseHandle(file);
    return ok;
}

CString Decode(const std::string& bytes) {
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        int length = static_cast<int>(bytes.size() - 3);
        int wide = MultiByteToWideChar(CP_UTF8, 0, bytes.data() + 3, length, nullptr, 0);
        CString text;
        if (wide > 0) MultiByteToWideChar(CP_UTF8, 0, bytes.data() + 3, length, text.GetBufferSetLength(wide), wide);
        return text;
    }
    size_t skip = (bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0) ? 2 : 0;
    CString text;
    wchar_t* out = text.GetBufferSetLength(static_cast<int>((bytes.size() - skip) / 2));
    for (size_t i = skip; i + 1 < bytes.size(); i += 2)
        *out++ = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

}  // namespace

bool FormRecordFile::Open(const CString& path) {
    std::string bytes;
    m_text.Empty();
    m_pos = 0;
    if (!ReadAllBytes(path, bytes)) return false;
    m_text = Decode(bytes);
    m_text.Replace(L"\r\n", L"\n");
    return true;
}

CString FormRecordFile::ReadLine() {
    if (AtEnd()) return CString();
    int end = m_text.Find(L'\n', m_pos);
    if (end < 0) end = m_text.GetLength();
    CString line = m_text.Mid(m_pos, end - m_pos);
    m_pos = end + 1;
    return line;
}

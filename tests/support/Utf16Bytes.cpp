#include "Utf16Bytes.h"

#include <windows.h>

std::string Utf16Bytes(const CString& text, bool withMark) {
    std::string bytes = withMark ? std::string("\xFF\xFE") : std::string();
    for (wchar_t unit : text.str()) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

CString TextOfUtf16Bytes(const std::string& bytes) {
    size_t start = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE' ? 2 : 0;
    CString text;
    for (size_t i = start; i + 1 < bytes.size(); i += 2)
        text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

CString FromUtf8(const std::string& bytes) {
    if (bytes.empty()) return CString();
    int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return CString(text.c_str(), length);
}

std::vector<CString> ListFolder(const CString& folder) {
    std::vector<CString> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(folder + L"\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        CString name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

void RemoveFolderTree(const CString& folder) {
    for (const CString& name : ListFolder(folder)) {
        CString path = folder + L"\\" + name;
        if (GetFileAttributesW(path) & FILE_ATTRIBUTE_DIRECTORY) RemoveFolderTree(path);
        else DeleteFileW(path);
    }
    RemoveDirectoryW(folder);
}

std::vector<CString> NumberedNames(const wchar_t* format, int count) {
    std::vector<CString> names;
    for (int i = 0; i < count; ++i) {
        CString name;
        name.Format(format, i);
        names.push_back(name);
    }
    return names;
}

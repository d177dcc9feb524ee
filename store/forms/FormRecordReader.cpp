#include "forms/FormRecordReader.h"

#include <windows.h>

#include <string>

namespace {

bool ReadBytes(const CString& path, std::string& bytes) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    char block[16384];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, block, sizeof(block), &read, nullptr)) { ok = false; break; }
        if (read == 0) break;
        bytes.append(block, read);
    }
    CloseHandle(file);
    return ok;
}

} // namespace

bool ReadFormRecordLines(const CString& path, std::vector<CString>& lines) {
    std::string bytes;
    if (!ReadBytes(path, bytes)) return false;
    std::wstring text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        text.resize((bytes.size() - 2) / 2);
        for (size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                           (static_cast<unsigned char>(bytes[3 + 2 * i]) << 8));
    } else if (!bytes.empty()) {
        int units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        text.resize(static_cast<size_t>(units > 0 ? units : 0));
        if (units > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), units);
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        size_t stop = end == std::wstring::npos ? text.size() : end;
        size_t length = stop - start;
        if (length > 0 && text[stop - 1] == L'\r') --length;
        lines.emplace_back(text.data() + start, static_cast<int>(length));
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return true;
}

void SplitFormRecordLine(const CString& line, CString& name, CString& value) {
    name.Empty();
    value.Empty();
    int blank = line.Find(L' ');
    if (blank < 0) return;
    name = line.Left(blank);
    int i = blank + 1, length = line.GetLength();
    while (i < length) {
        while (i < length && line[i] == L' ') ++i;
        int start = i;
        while (i < length && line[i] != L' ') ++i;
        if (i > start) {
            if (!value.IsEmpty()) value += L' ';
            value += line.Mid(start, i - start);
        }
    }
}

std::vector<CString> CollectFormRecordValueLines(const std::vector<CString>& lines, size_t& next,
                                                 const CString& firstValue, size_t maxLines) {
    std::vector<CString> values;
    CString current = firstValue;
    bool exhausted = false;
    while (current != kFormRecordCloser && !exhausted && values.size() < maxLines) {
        values.push_back(current);
        if (next < lines.size())
            current = lines[next++];
        else
            exhausted = true;
    }
    return values;
}

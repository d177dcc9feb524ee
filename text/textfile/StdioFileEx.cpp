#include "textfile/StdioFileEx.h"

#include "textfile/CodePageConversion.h"

#include <cwchar>

namespace {

constexpr unsigned char kByteOrderMark[2] = {0xFF, 0xFE};

// Drops the line end: "\r\n" from a line longer than one unit, else one last '\r' or '\n'.
void StripLineEnd(CString& line) {
    int length = line.GetLength();
    if (length > 1 && line[length - 2] == L'\r' && line[length - 1] == L'\n') {
        line.Truncate(length - 2);
    } else if (length > 0 && (line[length - 1] == L'\r' || line[length - 1] == L'\n')) {
        line.Truncate(length - 1);
    }
}

}  // namespace

CStdioFileEx::CStdioFileEx(const wchar_t* path, UINT openFlags) {
    CFileException error;
    if (!Open(path, openFlags, &error)) throw error;
}

void CStdioFileEx::ProcessFlags(const wchar_t* path, UINT& openFlags) {
    m_bIsUnicodeText = false;
    if ((openFlags & typeText) && !(openFlags & (modeCreate | modeWrite)) && IsFileUnicode(path)) {
        m_bIsUnicodeText = true;
        openFlags = (openFlags & ~typeText) | typeBinary;
    }
    if (openFlags & modeWriteUtf16) openFlags = (openFlags & ~typeText) | typeBinary;
    m_nFlags = openFlags;
}

bool CStdioFileEx::Open(const wchar_t* path, UINT openFlags, CFileException* error) {
    ProcessFlags(path, openFlags);
    m_mayBeAtStart = true;
    return CStdioFile::Open(path, openFlags, error);
}

ULONGLONG CStdioFileEx::Seek(LONGLONG offset, UINT from) {
    m_mayBeAtStart = true;
    return CStdioFile::Seek(offset, from);
}

bool CStdioFileEx::AtStart() {
    return m_mayBeAtStart && GetPosition() == 0;
}

bool CStdioFileEx::IsFileUnicode(const wchar_t* path) {
    CFile file;
    if (!path || !file.Open(path, modeRead | shareDenyNone | typeBinary)) return false;
    unsigned char start[2] = {};
    try {
        return file.Read(start, 2) == 2 && start[0] == kByteOrderMark[0] && start[1] == kByteOrderMark[1];
    } catch (const CFileException&) {
        return false;
    }
}

bool CStdioFileEx::ReadString(CString& line) {
    bool read = m_bIsUnicodeText ? ReadUtf16Line(line) : ReadMultiByteLine(line);
    if (read) {
        StripLineEnd(line);
        m_mayBeAtStart = false;
    }
    return read;
}

bool CStdioFileEx::ReadUtf16Line(CString& line) {
    if (AtStart()) {
        ReadByte();
        ReadByte();
    }
    std::wstring units;
    bool anything = false;
    for (;;) {
        int low = ReadByte();
        if (low == EOF) break;
        anything = true;
        int high = ReadByte();
        if (high == EOF) {  // an odd last byte is kept as a unit of its own
            units.push_back(static_cast<wchar_t>(low));
            break;
        }
        wchar_t unit = static_cast<wchar_t>(low | (high << 8));
        if (unit == L'\n') break;
        units.push_back(unit);
    }
    if (!anything) return false;
    line = CString(std::move(units));
    return true;
}

bool CStdioFileEx::ReadMultiByteLine(CString& line) {
    std::string bytes;
    if (!ReadLineBytes(bytes)) return false;
    if (!codepage::ToWide(bytes.data(), static_cast<int>(bytes.size()), m_nFileCodePage, line)) line.Empty();
    return true;
}

void CStdioFileEx::WriteString(const wchar_t* text) {
    if (!text) return;
    size_t length = wcslen(text);
    if (m_nFlags & modeWriteUtf16) {
        if (AtStart()) WriteRawBytes(kByteOrderMark, sizeof kByteOrderMark);
        // Units go out little-endian, as they lie in memory on this machine.
        WriteRawBytes(text, length * sizeof(wchar_t));
        m_mayBeAtStart = false;
        return;
    }
    std::string bytes = codepage::ToMultiByte(text, static_cast<int>(length), m_nFileCodePage);
    if (!bytes.empty()) {
        WriteBytes(bytes.data(), bytes.size());
        m_mayBeAtStart = false;
    }
}

int CStdioFileEx::GetRequiredMultiByteLength(const wchar_t* text, int codePage) {
    if (!text) return 0;
    UINT page = codepage::Resolve(codePage);
    int needed = ::WideCharToMultiByte(page, codepage::WideToMultiByteFlags(page), text, -1, nullptr, 0,
                                       codepage::DefaultCharFor(page), nullptr);
    return needed > 0 ? needed : 0;
}

int CStdioFileEx::WideToMultiByte(const wchar_t* text, char* buffer, int bufferSize, int codePage) {
    if (!text || !buffer || bufferSize <= 0) return 0;
    UINT page = codepage::Resolve(codePage);
    int written = ::WideCharToMultiByte(page, codepage::WideToMultiByteFlags(page), text, -1, buffer, bufferSize,
                                        codepage::DefaultCharFor(page), nullptr);
    return written > 0 ? written - 1 : 0;
}

int CStdioFileEx::MultiByteToWide(const char* text, wchar_t* buffer, int bufferSize, int codePage) {
    if (!text || !buffer || bufferSize <= 0) return 0;
    UINT page = codepage::Resolve(codePage);
    int written = ::MultiByteToWideChar(page, codepage::MultiByteToWideFlags(page), text, -1, buffer, bufferSize);
    return written > 0 ? written - 1 : 0;
}

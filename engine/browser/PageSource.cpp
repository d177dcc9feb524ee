#include "browser/PageSource.h"

#include "com/PageBytes.h"

#include <string>

namespace browser {

namespace {
int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}
}  // namespace

CString PathOfAddress(const CString& address) {
    if (address.Left(5).CompareNoCase(L"file:") != 0) return address;
    CString rest = address.Mid(5);
    while (rest.Left(1) == L"/") rest = rest.Mid(1);
    // "file://server/share" keeps its two leading backslashes.
    bool unc = address.Left(7) == L"file://" && address.Mid(7, 1) != L"/" && !(rest.GetLength() > 1 && rest[1] == L':');
    std::string utf8;
    for (int i = 0; i < rest.GetLength(); ++i) {
        wchar_t c = rest[i];
        if (c == L'%' && i + 2 < rest.GetLength() && HexValue(rest[i + 1]) >= 0 && HexValue(rest[i + 2]) >= 0) {
            utf8 += static_cast<char>(HexValue(rest[i + 1]) * 16 + HexValue(rest[i + 2]));
            i += 2;
            continue;
        }
        if (c == L'/') c = L'\\';
        wchar_t one[2] = {c, 0};
        char bytes[8];
        int n = WideCharToMultiByte(CP_UTF8, 0, one, 1, bytes, sizeof bytes, nullptr, nullptr);
        utf8.append(bytes, static_cast<size_t>(std::max(n, 0)));
    }
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    CString path;
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), path.GetBufferSetLength(length), length);
    return unc ? L"\\\\" + path : path;
}

HRESULT ReadPage(const CString& address, CString& text) {
    if (address.IsEmpty() || address.CompareNoCase(L"about:blank") == 0) {
        text = L"<HTML><HEAD></HEAD><BODY></BODY></HTML>";
        return S_OK;
    }
    CString path = PathOfAddress(address);
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(GetLastError());
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || static_cast<unsigned long long>(size.QuadPart) > kMaxPageBytes) {
        CloseHandle(file);
        return E_OUTOFMEMORY;
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(file, bytes.data() + done, chunk, &read, nullptr) || read == 0) break;
        done += read;
    }
    CloseHandle(file);
    bytes.resize(done);
    text = com::DecodePageBytes(bytes);
    return S_OK;
}

CString PageFolder(const CString& address) {
    if (address.IsEmpty() || address.CompareNoCase(L"about:blank") == 0) return CString();
    CString path = PathOfAddress(address);
    int slash = std::max(path.ReverseFind(L'\\'), path.ReverseFind(L'/'));
    return slash < 0 ? CString() : path.Left(slash);
}

CString LocalFilePath(const CString& pageFolder, const CString& raw) {
    CString source = raw;
    source.Trim();
    // A reference within the page (a colour such as "#606666" in a background attribute
    // reads as one) names no file.
    if (source.IsEmpty() || source[0] == L'#') return CString();
    if (source.Left(5).CompareNoCase(L"file:") == 0) return PathOfAddress(source);
    int colon = source.Find(L':');
    bool drive = colon == 1;
    if (colon > 1) return CString();  // http:, data: and the like: no local file
    source.Replace(L'/', L'\\');
    if (drive || source.Left(2) == L"\\\\") return source;
    if (pageFolder.IsEmpty()) return CString();
    if (source.Left(1) == L"\\") return pageFolder.Left(2) + source;  // the page's drive
    return pageFolder + L"\\" + source;
}

}  // namespace browser

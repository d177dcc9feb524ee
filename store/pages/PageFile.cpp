#include "pages/PageFile.h"

#include "util/Files.h"
#include "util/Folders.h"
#include "util/Strings.h"

#include "files/File.h"
#include "files/FileReplacer.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string>

static_assert(sizeof(wchar_t) == 2, "page text is UTF-16");

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// Leftovers of writes that were cut off (a process killed in the middle) are
// cleared from a folder the first time this process writes a page into it.
void RemoveStaleSiblingsOnce(const CString& path) {
    static std::mutex lock;
    static std::set<std::wstring> swept;
    int slash = path.ReverseFind(L'\\');
    if (slash < 0) return;
    CString folder = path.Left(slash), key = folder;
    key.MakeUpper();
    {
        std::lock_guard<std::mutex> hold(lock);
        if (!swept.insert(key.str()).second) return;
    }
    CFileReplacer::RemoveStaleSiblings(folder);
}

} // namespace

CString DecodeUtf16(const std::string& bytes, size_t offset, bool bigEndian) {
    size_t units = (bytes.size() - offset) / 2;
    std::wstring text(units, L'\0');
    if (!bigEndian) {
        std::memcpy(text.data(), bytes.data() + offset, units * 2);
        return CString(std::move(text));
    }
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.data()) + offset;
    for (size_t i = 0; i < units; ++i) text[i] = static_cast<wchar_t>((data[2 * i] << 8) | data[2 * i + 1]);
    return CString(std::move(text));
}

void FoldLineEnds(CString& text) {
    std::wstring& s = text.str();
    if (s.find(L'\r') == std::wstring::npos) return;
    size_t out = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == L'\r' && i + 1 < s.size() && s[i + 1] == L'\n') continue;
        s[out++] = s[i];
    }
    s.resize(out);
}

bool ReadPageText(const CString& path, CString& text, unsigned codePageWithoutMark) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return false;
    auto byte = [&](size_t i) { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0; };
    if (byte(0) == 0xFF && byte(1) == 0xFE)
        text = DecodeUtf16(bytes, 2, false);
    else if (byte(0) == 0xFE && byte(1) == 0xFF)
        text = DecodeUtf16(bytes, 2, true);
    else if (byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF)
        text = CodePageToWide(bytes.data() + 3, bytes.size() - 3, CP_UTF8);
    else
        text = CodePageToWide(bytes.data(), bytes.size(), codePageWithoutMark);
    FoldLineEnds(text);
    return true;
}

std::vector<CString> SplitPageLines(const CString& text) {
    std::vector<CString> lines;
    const std::wstring& s = text.str();
    size_t start = 0;
    while (start < s.size()) {
        size_t end = s.find(L'\n', start);
        if (end == std::wstring::npos) end = s.size();
        lines.emplace_back(s.data() + start, static_cast<int>(end - start));
        start = end + 1;
    }
    return lines;
}

bool ReadPageLines(const CString& path, std::vector<CString>& lines) {
    CString text;
    if (!ReadPageText(path, text)) return false;
    lines = SplitPageLines(text);
    return true;
}

std::string PageFileBytes(const CString& text) {
    // wchar_t is a UTF-16 LE unit on this platform: the bytes go as they are.
    std::string bytes(2 + static_cast<size_t>(text.GetLength()) * 2, '\0');
    bytes[0] = static_cast<char>(0xFF);
    bytes[1] = static_cast<char>(0xFE);
    std::memcpy(bytes.data() + 2, text.GetString(), static_cast<size_t>(text.GetLength()) * 2);
    return bytes;
}

bool WritePageText(const CString& path, const CString& text) { return WriteFileBytesReplacing(path, PageFileBytes(text)); }

bool WriteFileBytesReplacing(const CString& path, const std::string& bytes) {
    // A path built from an empty install path ("\Bookmark\...") would land at
    // the drive's root: only absolute paths below a drive or share are written.
    if (!IsSafeStorePath(path)) return false;
    RemoveStaleSiblingsOnce(path);
    try {
        CFileReplacer replacer(path);
        {
            CFile out;
            if (!out.Open(replacer.SiblingPath(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive))
                return false;
            size_t done = 0;
            while (done < bytes.size()) {
                UINT chunk = static_cast<UINT>(std::min<size_t>(bytes.size() - done, 1u << 24));
                out.Write(bytes.data() + done, chunk);
                done += chunk;
            }
            out.Close();
        }
        return replacer.Commit();
    } catch (const CFileException&) {
        return false;
    }
}

CString ResolvePageFile(const CString& allpagesFolder, const CString& page) {
    CString base = allpagesFolder + L"\\" + page;
    CString htm = base + L".htm";
    if (FileExists(htm)) return htm;
    if (FileExists(base + L".html")) return base + L".html";
    CString upper = page;
    upper.MakeUpper();
    if ((upper.Right(4) == L".HTM" || upper.Right(5) == L".HTML") && FileExists(base)) return base;
    return htm;
}

CString ResolveExistingPagePath(const CString& path) {
    CString upper = path;
    upper.MakeUpper();
    if (upper.Right(4) == L".HTM" && !FileExists(path) && FileExists(path + L"l")) return path + L"l";
    return path;
}

namespace {

// A name that Windows takes for a device in every folder ("CON", "NUL",
// "COM1", ...), also with an extension ("con.htm") or trailing blanks and dots.
bool IsReservedDeviceName(const CString& part) {
    int end = part.Find(L'.');
    CString base = end < 0 ? part : part.Left(end);
    while (!base.IsEmpty() && (base[base.GetLength() - 1] == L' ' || base[base.GetLength() - 1] == L'.'))
        base.Truncate(base.GetLength() - 1);
    base.MakeUpper();
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$"})
        if (base == device) return true;
    if (base.GetLength() == 4 && (base.Left(3) == L"COM" || base.Left(3) == L"LPT"))
        return base[3] >= L'1' && base[3] <= L'9';
    return false;
}

} // namespace

bool IsValidPageName(const CString& page) {
    if (page.IsEmpty()) return false;
    int start = 0;
    for (;;) {
        int end = page.Find(L'\\', start);
        CString part = page.Mid(start, end < 0 ? page.GetLength() - start : end - start);
        if (part.IsEmpty() || part == L"." || part == L".." || IsReservedDeviceName(part)) return false;
        for (int i = 0; i < part.GetLength(); ++i) {
            wchar_t c = part[i];
            if (c < 32 || c == L'/' || c == L':' || c == L'*' || c == L'?' || c == L'"' || c == L'<' || c == L'>' ||
                c == L'|')
                return false;
        }
        if (end < 0) return true;
        start = end + 1;
    }
}

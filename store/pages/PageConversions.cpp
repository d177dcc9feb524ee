#include "pages/PageConversions.h"

#include "pages/HtmlFileText.h"
#include "pages/PageFile.h"
#include "pages/PageRewriteLock.h"
#include "util/PathParts.h"
#include "util/Strings.h"

#include "core/MessageBox.h"
#include "regex/Regex.h"

#include <windows.h>

#include <vector>

namespace {

// The page's lines, each followed by "\n", in a code page.
std::string LinesInCodePage(const std::vector<CString>& lines, unsigned codePage) {
    std::string bytes;
    for (const CString& line : lines) {
        CStringA converted = WideToCodePage(line, codePage);
        bytes.append(converted.GetString(), static_cast<size_t>(converted.GetLength()));
        bytes.push_back('\n');
    }
    return bytes;
}

bool IsPageFile(const CString& name) {
    CString ext = GetNameExt(name);
    ext.MakeUpper();
    return name.Find(L'.') >= 0 && (ext == L"HTM" || ext == L"HTML");
}

} // namespace

bool WrapBodyInDiv(const CString& source, const CString& destination) {
    CString text;
    if (!ReadHtmlFileText(source, text)) {
        ShowMessageBox(nullptr, L"Create " + destination + L" failed.", L"Tarvelo", MB_OK);
        return false;
    }
    CString out;
    for (CString line : SplitPageLines(text)) {
        CString upper = line;
        upper.MakeUpper();
        int body = upper.Find(L"<BODY");
        if (body >= 0) {
            int close = line.Find(L'>', body);
            if (close > body + 4) { // the whole start tag, attributes and all
                line = line.Left(body) + L"<BODY><DIV>" + line.Mid(close + 1);
                upper = line;
                upper.MakeUpper();
            }
        }
        int end = upper.Find(L"</BODY>");
        if (end >= 0) line = line.Left(end) + L"</DIV></BODY>" + line.Mid(end + 7);
        out += line + L"\n";
    }
    PageRewriteLock lock;
    if (!WritePageText(destination, out)) {
        ShowMessageBox(nullptr, L"Create " + destination + L" failed.", L"Tarvelo", MB_OK);
        return false;
    }
    return true;
}

bool ConvertFileToAnsi(const CString& source, const CString& destination) {
    std::vector<CString> lines;
    if (!ReadPageLines(source, lines)) return false;
    PageRewriteLock lock;
    return WriteFileBytesReplacing(destination, LinesInCodePage(lines, CP_ACP));
}

int ConvertFolderPages(const CString& path, bool isFolder) {
    if (!isFolder) {
        ConvertFileToAnsi(path, path);
        return 1;
    }
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(path + L"\\*.*", &data);
    if (find == INVALID_HANDLE_VALUE) return 1;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) continue;
        CString name(data.cFileName), full = path + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name[0] != L'.') ConvertFolderPages(full, true);
        } else if (IsPageFile(name)) {
            ConvertFileToAnsi(full, full);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return 1;
}

bool ConvertFileToUtf8(const CString& path) {
    std::vector<CString> lines;
    if (!ReadPageLines(path, lines)) return false;
    PageRewriteLock lock;
    return WriteFileBytesReplacing(path, LinesInCodePage(lines, CP_UTF8));
}

#include "pages/PageMarkers.h"

#include "pages/PageFile.h"
#include "pages/PageLineScan.h"
#include "util/Files.h"
#include "util/Strings.h"

#include "regex/Regex.h"

int GetPageIndexFlagOfText(const CString& text) {
    std::wstring_view rest = text.view();
    int total = 0;
    while (!rest.empty()) {
        size_t end = rest.find(L'\n');
        std::wstring_view view = rest.substr(0, end);
        rest = end == std::wstring_view::npos ? std::wstring_view() : rest.substr(end + 1);
        CString line(view);
        CString digit;
        if (ContainsNoCase(line, L"<html") && RegexGetGroup(line, L"<[Hh][Tt][Mm][Ll][/s]+[Ii][Dd]=[tT][qQ](/d)>", digit)) {
            if (digit == L"1") return 1;
            if (digit == L"0") return 2;
        }
        total += line.GetLength();
        if (total > 500) return 0;
    }
    return 0;
}

bool SetPageIndexFlagOfText(CString& text, int flag) {
    if (flag != 1 && flag != 2) return false;
    std::wstring_view all = text.view();
    size_t start = 0;
    int total = 0;
    while (start < all.size()) {
        size_t end = all.find(L'\n', start);
        size_t stop = end == std::wstring_view::npos ? all.size() : end;
        CString line(all.substr(start, stop - start));
        RegexMatchMap matches;
        if (ContainsNoCase(line, L"<html") &&
            RegexFindAll(line, L"<[Hh][Tt][Mm][Ll][/s]+[Ii][Dd]=[tT][qQ]/d>", matches, RegexCase::Exact)) {
            const auto& [at, found] = *matches.begin();
            int digit = static_cast<int>(start) + at + found.GetLength() - 2;
            if (text[digit] == L'1' || text[digit] == L'0') {
                text.SetAt(digit, flag == 1 ? L'1' : L'0');
                return true;
            }
        }
        total += line.GetLength();
        if (total > 500 || end == std::wstring_view::npos) return false;
        start = end + 1;
    }
    return false;
}

CString RewriteIndexMarkerOfText(const CString& text, int flag) {
    const wchar_t* marker = flag == 1 ? L"<html id=tq1>" : L"<html id=tq0>";
    CString rewritten;
    for (CString& line : SplitPageLines(text)) {
        if (ContainsNoCase(line, L"<html")) {
            RegexReplaceAll(line, L"<[Hh][Tt][Mm][Ll][/s]+[Ii][Dd]=[tT][qQ]/d>", marker);
            RegexReplaceAll(line, L"<[Hh][Tt][Mm][Ll]>", marker);
            RegexReplaceAll(line, L"<[Hh][Tt][Mm][Ll][/s]+[Ii][Dd]=[tT][qQ]>", marker);
        }
        rewritten += line;
        rewritten += L"\n";
    }
    return rewritten;
}

int GetPageIndexFlag(const CString& path) {
    if (DetectTextEncoding(path) == 0) return 0;
    CString text;
    if (!ReadPageText(path, text)) return 0;
    return GetPageIndexFlagOfText(text);
}

void EncodeRawTagMarkers(CString& line) {
    if (line.Find(L">>>") >= 0) line.Replace(L">>>", L"&gt;&gt;&gt;");
    if (line.Find(L"<<<") >= 0) line.Replace(L"<<<", L"&lt;&lt;&lt;");
}

bool HoldsTagOpener(const CString& line) { return ContainsNoCase(line, L"&gt;&gt;&gt;"); }

bool HoldsTagCloser(const CString& line) { return ContainsNoCase(line, L"&lt;&lt;&lt;"); }

namespace {

bool IsPatternBlank(wchar_t c) { return c >= 1 && c <= 32; } // the pattern class "/s"

} // namespace

void ExtractIndexTagText(CString& tag) {
    // Each replacement runs only where it can change something: the index
    // rebuild reduces every tag of every page.
    if (ContainsNoCase(tag, L"&nbsp;")) RegexReplaceAll(tag, L"&[nN][bB][sS][pP];", L" ");
    EncodeRawTagMarkers(tag);
    // Everything up to the first opener that does not begin the text ("^.+"
    // takes at least its "&"), then the first closer with everything after
    // it, when something follows it: the patterns "^.+gt;&gt;&gt;" and
    // "&lt;&lt;&lt.+$" (any case), as literal searches.
    int opener = FindNoCase(tag, L"gt;&gt;&gt;", 1);
    if (opener >= 1) tag.Delete(0, opener + 11);
    int closer = FindNoCase(tag, L"&lt;&lt;&lt");
    if (closer >= 0 && closer + 11 < tag.GetLength()) tag.Truncate(closer);
    if (!tag.IsEmpty() && IsPatternBlank(tag[0])) RegexReplaceAll(tag, L"^[/s]+", L"");
    if (!tag.IsEmpty() && IsPatternBlank(tag[tag.GetLength() - 1])) RegexReplaceAll(tag, L"[/s]+$", L"");
    UnmaskScannedText(tag);
}

void ReadIndexTagLines(PageLines& page, CString& tag) {
    CString text, scan;
    std::wstring_view line;
    while (page.NextView(line)) {
        ScanPageLine(line, false, text, scan);
        if (HoldsTagOpener(scan))
            tag = scan;
        else
            tag += scan;
        if (HoldsTagCloser(scan)) break;
    }
    if (tag.GetLength() > kMaxIndexTagLength) tag.Empty();
}

#include "pages/PageMarkers.h"

#include "pages/PageFile.h"
#include "util/Files.h"
#include "util/Strings.h"

#include "regex/Regex.h"

int GetPageIndexFlagOfLines(const std::vector<CString>& lines) {
    int total = 0;
    for (const CString& line : lines) {
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

int GetPageIndexFlag(const CString& path) {
    if (DetectTextEncoding(path) == 0) return 0;
    std::vector<CString> lines;
    if (!ReadPageLines(path, lines)) return 0;
    return GetPageIndexFlagOfLines(lines);
}

void EncodeRawTagMarkers(CString& line) {
    if (line.Find(L">>>") >= 0) line.Replace(L">>>", L"&gt;&gt;&gt;");
    if (line.Find(L"<<<") >= 0) line.Replace(L"<<<", L"&lt;&lt;&lt;");
}

bool HoldsTagOpener(const CString& line) { return ContainsNoCase(line, L"&gt;&gt;&gt;"); }

bool HoldsTagCloser(const CString& line) { return ContainsNoCase(line, L"&lt;&lt;&lt;"); }

void ExtractIndexTagText(CString& tag) {
    RegexReplaceAll(tag, L"&[nN][bB][sS][pP];", L" ");
    EncodeRawTagMarkers(tag);
    RegexReplaceAll(tag, L"^.+[Gg][tT];&[Gg][tT];&[Gg][tT];", L"");
    RegexReplaceAll(tag, L"&[lL][tT];&[lL][tT];&[lL][tT].+$", L"");
    RegexReplaceAll(tag, L"^[/s]+", L"");
    RegexReplaceAll(tag, L"[/s]+$", L"");
}

void ReadIndexTagLines(PageLines& page, CString& tag) {
    CString line;
    while (page.Next(line)) {
        EncodeRawTagMarkers(line);
        if (HoldsTagOpener(line))
            tag = line;
        else
            tag += line;
        if (HoldsTagCloser(line)) break;
    }
    if (tag.GetLength() > kMaxIndexTagLength) tag.Empty();
}

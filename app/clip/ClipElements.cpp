#include "clip/ClipElements.h"

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The text between the first opening tag at or after `from` and the last
// closing tag before `limit` (the whole line when limit is -1). Empty when
// either tag is missing or nothing stands between them.
CString ElementValue(const CString& line, const wchar_t* open, const wchar_t* close, int from = 0, int limit = -1) {
    CString scope = limit < 0 ? line : line.Left(limit);
    int start = scope.Find(open, from);
    if (start < 0) return CString();
    start += static_cast<int>(std::wcslen(open));
    int end = -1;
    for (int hit = scope.Find(close, start); hit >= 0; hit = scope.Find(close, hit + 1)) end = hit;
    if (end <= start) return CString();
    return scope.Mid(start, end - start);
}

// Index of the last occurrence of `text`, or -1.
int FindLast(const CString& line, const wchar_t* text) {
    int last = -1;
    for (int hit = line.Find(text); hit >= 0; hit = line.Find(text, hit + 1)) last = hit;
    return last;
}

// A picture element standing in for the title:
// <img><src>ADDRESS</src><desc>DESCRIPTION</desc></img>
void TakePictureElement(LinkClip& clip) {
    const CString& title = clip.title;
    int img = title.Find(L"<img><src>");
    if (img < 0) return;
    int srcStart = img + 10;
    int srcEnd = title.Find(L"</src>", srcStart + 1);
    if (srcEnd < 0) return;
    int descOpen = title.Find(L"<desc", srcEnd);
    int imgClose = FindLast(title, L"</desc></img>");
    if (descOpen != srcEnd + 6 || imgClose < descOpen) return;
    int descStart = title.Find(L'>', descOpen);
    if (descStart < 0 || descStart > imgClose) return;
    clip.pictureAddress = title.Mid(srcStart, srcEnd - srcStart);
    clip.title = title.Mid(descStart + 1, imgClose - descStart - 1);
}

}  // namespace

LinkClip ParseLinkClip(const CString& commandLine) {
    LinkClip clip;
    // The parameters end at the last "</param>"; the form element follows it.
    int paramEnd = FindLast(commandLine, L"</param>");
    int paramStart = commandLine.Find(L"<param>");
    int scopeEnd = paramEnd > paramStart ? paramEnd : commandLine.GetLength();
    int from = paramStart < 0 ? 0 : paramStart;

    // The address comes first and ends at its first closing tag: a web page
    // controls the title, not the address's markup characters.
    int urlStart = commandLine.Find(L"<url>", from);
    int nameFrom = from;
    if (urlStart >= 0 && urlStart < scopeEnd) {
        int valueStart = urlStart + 5;
        int urlEnd = commandLine.Find(L"</url>", valueStart);
        if (urlEnd > valueStart && urlEnd < scopeEnd) {
            clip.address = EscapeMarkupInAddress(commandLine.Mid(valueStart, urlEnd - valueStart));
            nameFrom = urlEnd + 6;
        }
    }
    clip.title = ElementValue(commandLine, L"<name>", L"</name>", nameFrom, scopeEnd);
    clip.title.Replace(L'\'', L' ');
    TakePictureElement(clip);

    int formFrom = paramEnd >= 0 ? paramEnd : 0;
    clip.formFlag = ElementValue(commandLine, L"<form>", L"</form>", formFrom);
    return clip;
}

CString EscapeMarkupInAddress(const CString& address) {
    CString escaped = address;
    escaped.Replace(L"<", L"%3C");
    escaped.Replace(L">", L"%3E");
    return escaped;
}

bool ParseFormBlockClip(const CString& commandLine, FormBlockClip& block) {
    for (int at = commandLine.Find(L"<AA"); at >= 0; at = commandLine.Find(L"<AA", at + 1)) {
        int digits = at + 3;
        int end = digits;
        while (end < commandLine.GetLength() && IsDigit(commandLine[end])) ++end;
        if (end == digits || end >= commandLine.GetLength() || commandLine[end] != L'>') continue;
        int textStart = end + 1;
        int close = FindLast(commandLine, L"</AA>");
        if (close <= textStart) return false;
        block.number = commandLine.Mid(digits, end - digits);
        block.text = commandLine.Mid(textStart, close - textStart);
        return true;
    }
    return false;
}

EventClip ParseEventClip(const CString& commandLine) {
    EventClip clip;
    int start = commandLine.Find(L"<evt>");
    int end = FindLast(commandLine, L"</evt>");
    CString scope = (start >= 0 && end > start) ? commandLine.Mid(start, end - start) : commandLine;
    clip.name = ElementValue(scope, L"<name>", L"</name>");
    clip.file = ElementValue(scope, L"<file>", L"</file>");
    clip.date = ElementValue(scope, L"<edate>", L"</edate>");
    clip.text = ElementValue(scope, L"<eip>", L"</eip>");
    return clip;
}

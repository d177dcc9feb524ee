#include "clip/ClipTitle.h"

#include "clip/NewsSites.h"

CString HostOfAddress(const CString& address) {
    CString host = address;
    // Everything up to and including the first "//" that has text before it.
    int scheme = host.Find(L"//", 1);
    if (scheme >= 1) host = host.Mid(scheme + 2);
    // Everything from the first "/" that has text after it.
    int slash = host.Find(L'/');
    if (slash >= 0 && slash + 1 < host.GetLength()) host = host.Left(slash);
    return host;
}

CString SiteWordOfHost(const CString& host) {
    // The first "." with at least one character on each side.
    int dot = -1;
    for (int i = 1; i + 1 < host.GetLength(); ++i) {
        if (host[i] == L'.') { dot = i; break; }
    }
    if (dot < 0) return CString();
    CString rest = host.Mid(dot + 1);
    int further = rest.Find(L'.', 1);
    if (further >= 1) return rest.Left(further);
    return host.Left(dot);
}

CString SourceNameOfAddress(const CString& address) {
    CString siteWord = SiteWordOfHost(HostOfAddress(address));
    CString known = NewsSourceName(siteWord);
    if (!known.IsEmpty()) return known;
    if (siteWord.IsEmpty()) return siteWord;
    wchar_t first = siteWord[0];
    CharUpperBuffW(&first, 1);
    siteWord.SetAt(0, first);
    return siteWord;
}

CString DateText(const SYSTEMTIME& localTime) {
    CString text;
    text.Format(L"(%u-%u-%u)", localTime.wMonth, localTime.wDay, localTime.wYear);
    return text;
}

CString DateTextNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return DateText(now);
}

CString CutAddedTail(const CString& title) {
    int bar = title.Find(L'|');
    if (bar >= 0 && bar + 1 < title.GetLength()) return title.Left(bar);
    return title;
}

CString DecorateClipTitle(const CString& title, const CString& address, bool addTime, bool addSource,
                          const SYSTEMTIME& localTime) {
    CString result = (addTime || addSource) ? CutAddedTail(title) : title;
    if (addSource) result += L"|" + SourceNameOfAddress(address) + L"|";
    if (addTime) result += DateText(localTime);
    return result;
}

CString ToggleDateTail(const CString& title, const CString& address, bool dateWasOn, const SYSTEMTIME& localTime) {
    if (dateWasOn) return CutAddedTail(title);
    return title + L"|" + SourceNameOfAddress(address) + L"|" + DateText(localTime);
}

namespace {

// Splits a title into the text before its added tail and the tail itself. The
// tail begins at the first "|" that is followed by text, a second "|" and more
// text; without such a tail the head is the whole title.
void SplitAddedTail(const CString& title, CString& head, CString& tail) {
    const int length = title.GetLength();
    for (int bar = 1; bar < length; ++bar) {
        if (title[bar] != L'|') continue;
        // A second "|" with at least one character before it (after this bar)
        // and at least one character after it.
        int second = title.Find(L'|', bar + 2);
        while (second >= 0 && second + 1 >= length) second = -1;
        if (second < 0) continue;
        head = title.Left(bar);
        tail = title.Mid(bar);
        return;
    }
    head = title;
    tail.Empty();
}

// Position of the last `separator` with at least one character after it that
// is not itself a separator run's continuation; -1 when none.
int LastSeparatorBeforeText(const CString& head, wchar_t separator) {
    int last = head.ReverseFind(separator);
    if (last < 0 || last + 1 >= head.GetLength()) return -1;
    return last;
}

// Position of the first `separator` with at least one character before it.
int FirstSeparatorAfterText(const CString& head, wchar_t separator) {
    int first = head.Find(separator);
    return first >= 1 ? first : -1;
}

}  // namespace

CString TrimTitleEnd(const CString& title) {
    CString head, tail;
    SplitAddedTail(title, head, tail);
    int cut = LastSeparatorBeforeText(head, L'-');
    if (cut < 0) cut = LastSeparatorBeforeText(head, L':');
    if (cut < 0) return title;
    return head.Left(cut) + tail;
}

CString TrimTitleHead(const CString& title) {
    CString head, tail;
    SplitAddedTail(title, head, tail);
    int cut = FirstSeparatorAfterText(head, L'-');
    if (cut < 0) cut = FirstSeparatorAfterText(head, L':');
    if (cut < 0) return title;
    return head.Mid(cut + 1) + tail;
}

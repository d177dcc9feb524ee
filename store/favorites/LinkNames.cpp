#include "favorites/LinkNames.h"

#include "util/Strings.h"

#include <cwchar>
#include <cwctype>

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == 0xA0; }

// Markup removed: every "<...>", and a "<" that is never closed with what follows it.
CString WithoutMarkup(const CString& text) {
    CString out;
    int i = 0, n = text.GetLength();
    while (i < n) {
        if (text[i] != L'<') {
            out.AppendChar(text[i++]);
            continue;
        }
        int close = text.Find(L'>', i + 1);
        if (close < 0) break;
        i = close + 1;
    }
    return out;
}

} // namespace

namespace {

// The levels of a section tag ("Work\\Tools": Work, then Tools), each made a
// name by `name`; a level that gives an empty name is left out.
std::vector<CString> TagLevels(const CString& tag, CString (*name)(const CString&)) {
    std::vector<CString> names;
    int start = 0;
    for (;;) {
        int end = tag.Find(L'\\', start);
        CString level = name(tag.Mid(start, (end < 0 ? tag.GetLength() : end) - start));
        if (!level.IsEmpty()) names.push_back(level);
        if (end < 0) break;
        start = end + 1;
    }
    return names;
}

// Markup dropped, "&nbsp;" as a blank, outer white space gone.
CString PlainLinkText(CString title) {
    title = WithoutMarkup(title);
    if (title.IsEmpty()) return title;
    for (int at = FindNoCase(title, L"&nbsp;"); at >= 0; at = FindNoCase(title, L"&nbsp;", at + 1)) {
        title.Delete(at, 6);
        title.Insert(at, L' ');
    }
    int first = 0, last = title.GetLength();
    while (first < last && IsBlank(title[first])) ++first;
    while (last > first && IsBlank(title[last - 1])) --last;
    return title.Mid(first, last - first);
}

} // namespace

CString CleanLinkTitle(CString title) {
    title = PlainLinkText(title);
    if (!title.IsEmpty() && title[title.GetLength() - 1] == L'/') title.Truncate(title.GetLength() - 1);
    for (const wchar_t* c = L"\\/:*?|"; *c; ++c) title.Replace(*c, L'#');
    return title;
}

CString WholeLinkTitle(const CString& title) {
    CString whole = PlainLinkText(title);
    // One line of the bookmark file: a line break inside would end the entry.
    for (int i = 0; i < whole.GetLength(); ++i)
        if (whole[i] < 32) whole.SetAt(i, L' ');
    return whole;
}

std::vector<CString> SectionNames(const CString& tag) { return TagLevels(tag, WholeLinkTitle); }

int FindAnchorStart(const CString& text, int start) {
    for (int at = FindNoCase(text, L"<a", start); at >= 0; at = FindNoCase(text, L"<a", at + 1)) {
        wchar_t next = at + 2 < text.GetLength() ? text[at + 2] : L'\0';
        if (IsBlank(next)) return at;
    }
    return -1;
}

namespace {

// Reads the attributes of a start tag from `from` (just after its name) as a
// browser does: a name, then optionally "=" and a value, quoted with " or '
// (a ">" inside counts for nothing) or unquoted up to a blank or ">". Where
// the first attribute named `wanted` (any case; an empty one names none) has
// its value; `tagEnd` is -1, and no value is given, when the tag never ends.
AnchorAddress ReadStartTag(const CString& text, int from, const wchar_t* wanted) {
    AnchorAddress found;
    const int n = text.GetLength(), wantedLength = static_cast<int>(wcslen(wanted));
    int i = from;
    for (;;) {
        while (i < n && (IsBlank(text[i]) || text[i] == L'/')) ++i;
        if (i >= n) return AnchorAddress{};
        if (text[i] == L'>') break;
        const int nameStart = i;
        ++i;  // a name's first character may be "=" (it names nothing then)
        while (i < n && !IsBlank(text[i]) && text[i] != L'/' && text[i] != L'>' && text[i] != L'=') ++i;
        const bool isWanted = i - nameStart == wantedLength && text.Mid(nameStart, wantedLength).CompareNoCase(wanted) == 0;
        int at = i;
        while (at < n && IsBlank(text[at])) ++at;
        if (at >= n || text[at] != L'=') continue;  // an attribute without value
        i = at + 1;
        while (i < n && IsBlank(text[i])) ++i;
        int valueStart = i, valueEnd = i;
        if (i < n && (text[i] == L'"' || text[i] == L'\'')) {
            int close = text.Find(text[i], i + 1);
            if (close < 0) return AnchorAddress{};  // the value, and with it the tag, never ends
            valueStart = i + 1;
            valueEnd = close;
            i = close + 1;
        } else {
            while (i < n && !IsBlank(text[i]) && text[i] != L'>') ++i;
            valueEnd = i;
        }
        if (isWanted && found.start < 0) {
            found.start = valueStart;
            found.length = valueEnd - valueStart;
        }
    }
    found.tagEnd = i;
    return found;
}

} // namespace

AnchorAddress FindAnchorAddress(const CString& text, int start) { return ReadStartTag(text, start + 2, L"href"); }

int FindStartTagEnd(const CString& text, int afterName) { return ReadStartTag(text, afterName, L"").tagEnd; }

AnchorParts ReadAnchor(const CString& text, int start) {
    AnchorParts parts;
    parts.end = text.GetLength();
    AnchorAddress where = FindAnchorAddress(text, start);
    int tagEnd = where.tagEnd;
    if (tagEnd < 0) return parts;
    if (where.start >= 0) parts.address = text.Mid(where.start, where.length);
    int close = FindNoCase(text, L"</a", tagEnd + 1);
    parts.text = text.Mid(tagEnd + 1, (close < 0 ? text.GetLength() : close) - tagEnd - 1);
    parts.title = CleanLinkTitle(parts.text);
    if (close >= 0) {
        int after = text.Find(L'>', close);
        parts.end = after < 0 ? text.GetLength() : after + 1;
    }
    return parts;
}

CString SafeNameComponent(const CString& text) {
    // Names longer than this would push the paths of deep sections past what
    // the file system takes.
    constexpr int kLongestName = 120;
    CString name;
    for (int i = 0; i < text.GetLength(); ++i) {
        wchar_t c = text[i];
        name.AppendChar(c < 32 || wcschr(L"<>:\"/\\|?*", c) ? L'#' : c);
    }
    name.TrimLeft(L' ');
    if (name.GetLength() > kLongestName) name.Truncate(kLongestName);
    while (!name.IsEmpty() && (name[name.GetLength() - 1] == L'.' || name[name.GetLength() - 1] == L' '))
        name.Truncate(name.GetLength() - 1);
    if (name.IsEmpty()) return name;  // also what "." and ".." come to
    // CON, PRN, AUX, NUL, COM1-9, LPT1-9 (also with an extension) and CONIN$ /
    // CONOUT$ name devices, not files.
    CString base = name.Left(name.Find(L'.') < 0 ? name.GetLength() : name.Find(L'.'));
    base.TrimRight(L' ');
    base.MakeUpper();
    bool device = base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL" || base == L"CONIN$" ||
                  base == L"CONOUT$" ||
                  (base.GetLength() == 4 && (base.Left(3) == L"COM" || base.Left(3) == L"LPT") &&
                   base[3] >= L'1' && base[3] <= L'9');
    if (device) name = L"_" + name;
    return name;
}

std::vector<CString> SectionFolderNames(const CString& tag) { return TagLevels(tag, SafeNameComponent); }

CString SingleLineAddress(const CString& address) {
    CString out;
    for (int i = 0; i < address.GetLength(); ++i)
        if (address[i] >= 32) out.AppendChar(address[i]);
    return out;
}


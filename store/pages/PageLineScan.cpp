#include "pages/PageLineScan.h"

namespace {

// Masking units for '&', '<' and '>': noncharacters, which no page text
// holds and no pattern class (such as white space) takes in.
constexpr wchar_t kMaskedAmpersand = L'\xFDD0';
constexpr wchar_t kMaskedLess = L'\xFDD1';
constexpr wchar_t kMaskedGreater = L'\xFDD2';

wchar_t Masked(wchar_t c) {
    switch (c) {
    case L'&': return kMaskedAmpersand;
    case L'<': return kMaskedLess;
    case L'>': return kMaskedGreater;
    default: return c;
    }
}

bool IsLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f'; }

bool StartsNoCase(std::wstring_view text, size_t at, std::wstring_view word) {
    if (at + word.size() > text.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (CString::FoldAscii(text[at + i]) != CString::FoldAscii(word[i])) return false;
    return true;
}

// Three equal '<' or '>' in a row: a raw section marker.
bool IsRawMarkerAt(std::wstring_view line, size_t at) {
    wchar_t c = line[at];
    return (c == L'<' || c == L'>') && at + 2 < line.size() && line[at + 1] == c && line[at + 2] == c;
}

// A '<' that starts a tag, as an HTML parser reads it: followed by a letter,
// '/', '!' or '?'.
bool IsTagStartAt(std::wstring_view line, size_t at) {
    if (line[at] != L'<' || at + 1 >= line.size()) return false;
    wchar_t next = line[at + 1];
    return IsLetter(next) || next == L'/' || next == L'!' || next == L'?';
}

// One tag of a line: where it ends (one past its '>', or the line's end when
// it runs on), its name, and whether it is an end tag.
struct Tag {
    size_t end = 0;
    std::wstring_view name;
    bool closing = false;
};

// Reads the tag that starts at `at`, calling unit(k, inValue) for each of its
// units in order, inValue telling whether the unit lies inside a quoted
// attribute value (a comment counts as one value).
template <typename Unit>
Tag ReadTag(std::wstring_view line, size_t at, Unit unit) {
    Tag tag;
    size_t n = line.size(), i = at + 1;
    if (StartsNoCase(line, at, L"<!--")) {
        size_t close = line.find(L"-->", at + 4);
        tag.end = close == std::wstring_view::npos ? n : close + 3;
        for (size_t k = at; k < tag.end; ++k) unit(k, true);
        return tag;
    }
    if (i < n && line[i] == L'/') {
        tag.closing = true;
        ++i;
    }
    size_t nameStart = i;
    while (i < n && (IsLetter(line[i]) || (line[i] >= L'0' && line[i] <= L'9'))) ++i;
    tag.name = line.substr(nameStart, i - nameStart);
    for (size_t k = at; k < i; ++k) unit(k, false);
    wchar_t lastMark = 0; // the last character that is not blank
    while (i < n) {
        wchar_t c = line[i];
        if (c == L'>') {
            unit(i, false);
            tag.end = i + 1;
            return tag;
        }
        if ((c == L'"' || c == L'\'') && lastMark == L'=') {
            size_t close = line.find(c, i + 1);
            size_t stop = close == std::wstring_view::npos ? n : close;
            unit(i, false);
            for (size_t k = i + 1; k < stop; ++k) unit(k, true);
            if (close == std::wstring_view::npos) break;
            unit(close, false);
            i = close + 1;
            lastMark = c;
            continue;
        }
        unit(i, false);
        if (!IsBlank(c)) lastMark = c;
        ++i;
    }
    tag.end = n;
    return tag;
}

bool NameIs(std::wstring_view name, std::wstring_view word) {
    return name.size() == word.size() && StartsNoCase(name, 0, word);
}

// The value of an attribute in a tag's text (no quotes), or an empty view.
std::wstring_view AttributeValue(std::wstring_view tag, std::wstring_view attribute) {
    for (size_t at = 0; at + attribute.size() < tag.size(); ++at) {
        if (at == 0 || !IsBlank(tag[at - 1]) || !StartsNoCase(tag, at, attribute)) continue;
        size_t i = at + attribute.size();
        while (i < tag.size() && IsBlank(tag[i])) ++i;
        if (i >= tag.size() || tag[i] != L'=') continue;
        ++i;
        while (i < tag.size() && IsBlank(tag[i])) ++i;
        if (i < tag.size() && (tag[i] == L'"' || tag[i] == L'\'')) {
            size_t close = tag.find(tag[i], i + 1);
            return close == std::wstring_view::npos ? std::wstring_view() : tag.substr(i + 1, close - i - 1);
        }
        size_t end = i;
        while (end < tag.size() && !IsBlank(tag[end]) && tag[end] != L'>') ++end;
        return tag.substr(i, end - i);
    }
    return {};
}

} // namespace

bool IsBodyEndLine(std::wstring_view line) { return FindBodyEndMarker(line) >= 0; }

int FindBodyEndMarker(std::wstring_view line) {
    size_t i = 0, n = line.size();
    while (i < n) {
        if (IsBlank(line[i])) {
            ++i;
        } else if (StartsNoCase(line, i, L"&nbsp;")) {
            i += 6;
        } else if (IsTagStartAt(line, i)) {
            Tag tag = ReadTag(line, i, [](size_t, bool) {});
            if (!tag.closing && NameIs(tag.name, L"HR")) {
                std::wstring_view id = AttributeValue(line.substr(i, tag.end - i), L"id");
                if (id.size() == 7 && StartsNoCase(id, 0, L"bodyend")) return static_cast<int>(i);
            }
            i = tag.end;
        } else {
            return -1; // text before the marker
        }
    }
    return -1;
}

void ScanPageLine(std::wstring_view raw, bool upperEntities, CString& textOut, CString& scanOut) {
    std::wstring& text = textOut.str();
    std::wstring& scan = scanOut.str();
    text.clear();
    scan.clear();
    text.reserve(raw.size() + 16);
    scan.reserve(raw.size() + 16);
    const wchar_t* opener = upperEntities ? L"&GT;&GT;&GT;" : L"&gt;&gt;&gt;";
    const wchar_t* closer = upperEntities ? L"&LT;&LT;&LT;" : L"&lt;&lt;&lt;";
    bool inLink = false; // between a link's start tag and its end tag
    size_t i = 0, n = raw.size();
    while (i < n) {
        wchar_t c = raw[i];
        if (IsRawMarkerAt(raw, i)) {
            if (inLink) {
                text.append(3, c);
                scan.append(3, Masked(c));
            } else {
                text += c == L'>' ? opener : closer;
                scan += c == L'>' ? opener : closer;
            }
            i += 3;
        } else if (IsTagStartAt(raw, i)) {
            // The tag goes as it is, then its quoted values are masked in the
            // copy (a second reading of the tag, cheaper than unit by unit).
            Tag tag = ReadTag(raw, i, [](size_t, bool) {});
            size_t base = scan.size();
            text.append(raw, i, tag.end - i);
            scan.append(raw, i, tag.end - i);
            ReadTag(raw, i, [&](size_t k, bool inValue) {
                if (inValue) scan[base + (k - i)] = Masked(raw[k]);
            });
            if (NameIs(tag.name, L"A")) {
                if (tag.closing)
                    inLink = false;
                else if (!AttributeValue(raw.substr(i, tag.end - i), L"href").empty())
                    inLink = true;
            }
            i = tag.end;
        } else if (c == L'&' || c == L'<' || c == L'>') {
            bool markerPart = c == L'&' && (StartsNoCase(raw, i, L"&gt;") || StartsNoCase(raw, i, L"&lt;"));
            text += c;
            scan += inLink && markerPart ? kMaskedAmpersand : c;
            ++i;
        } else {
            // Plain text up to the next unit that may begin markup goes as it is.
            size_t next = i + 1;
            while (next < n && raw[next] != L'&' && raw[next] != L'<' && raw[next] != L'>') ++next;
            text.append(raw, i, next - i);
            scan.append(raw, i, next - i);
            i = next;
        }
    }
}

void UnmaskScannedText(CString& text) {
    for (wchar_t& c : text.str()) {
        if (c == kMaskedAmpersand) c = L'&';
        else if (c == kMaskedLess) c = L'<';
        else if (c == kMaskedGreater) c = L'>';
    }
}

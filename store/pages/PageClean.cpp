#include "pages/PageClean.h"

#include "index/AllPagesIndex.h"
#include "pages/PageFile.h"
#include "pages/PageLineScan.h"
#include "pages/PageLines.h"
#include "pages/PageRewriteLock.h"
#include "pages/PageTemplate.h"
#include "util/Strings.h"

#include "core/MessageBox.h"
#include "regex/Regex.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr wchar_t kCloser[] = L"&lt;&lt;&lt;";
constexpr int kCloserLength = 12;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f'; }
bool IsLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

bool StartsNoCase(std::wstring_view text, size_t at, std::wstring_view word) {
    if (at + word.size() > text.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (CString::FoldAscii(text[at + i]) != CString::FoldAscii(word[i])) return false;
    return true;
}

// An empty link keeps no address: "<A href=...></A>" becomes "<A ></A>", which
// the engine writes as "<A></A>" at the next save and the cleaning then drops.
// Only the start tag that the "</A>" closes at once is touched.
void DropAddressesOfEmptyLinks(CString& line, CString& scan) {
    for (int end = FindNoCase(scan, L"></a>"); end >= 0; end = FindNoCase(scan, L"></a>", end + 1)) {
        int start = scan.Left(end).ReverseFind(L'<');
        if (start < 0 || !StartsNoCase(scan.str(), start, L"<a") || !IsBlank(scan[start + 2])) continue;
        int href = FindNoCase(scan.Mid(start, end - start), L"href");
        if (href < 0) continue;
        // Both texts change alike, so positions in the scan stay those of the line.
        line.Delete(start + href, end - start - href);
        scan.Delete(start + href, end - start - href);
        end = start + href;
    }
}

// One start or end tag read from `at` (a '<' followed by a letter or '/'):
// its name, whether it ends an element, one past its '>' (honouring quoted
// attribute values), and the value of its href attribute.
struct TagInfo {
    std::wstring_view name;
    bool closing = false;
    size_t end = 0;
    std::wstring_view href;
    bool hasHref = false;
};

TagInfo ReadTagAt(std::wstring_view text, size_t at) {
    TagInfo tag;
    size_t n = text.size(), i = at + 1;
    if (i < n && text[i] == L'/') {
        tag.closing = true;
        ++i;
    }
    size_t nameStart = i;
    while (i < n && !IsBlank(text[i]) && text[i] != L'>' && text[i] != L'/') ++i;
    tag.name = text.substr(nameStart, i - nameStart);
    while (i < n && text[i] != L'>') {
        if (IsBlank(text[i]) || text[i] == L'/') {
            ++i;
            continue;
        }
        size_t attrStart = i;
        while (i < n && !IsBlank(text[i]) && text[i] != L'=' && text[i] != L'>') ++i;
        std::wstring_view attr = text.substr(attrStart, i - attrStart);
        size_t look = i;
        while (look < n && IsBlank(text[look])) ++look;
        if (look >= n || text[look] != L'=') continue;
        i = look + 1;
        while (i < n && IsBlank(text[i])) ++i;
        std::wstring_view value;
        if (i < n && (text[i] == L'"' || text[i] == L'\'')) {
            wchar_t quote = text[i++];
            size_t valueStart = i;
            while (i < n && text[i] != quote) ++i;
            value = text.substr(valueStart, i - valueStart);
            if (i < n) ++i;
        } else {
            size_t valueStart = i;
            while (i < n && !IsBlank(text[i]) && text[i] != L'>') ++i;
            value = text.substr(valueStart, i - valueStart);
        }
        if (!tag.hasHref && attr.size() == 4 && StartsNoCase(attr, 0, L"href")) {
            tag.href = value;
            tag.hasHref = true;
        }
    }
    tag.end = i < n ? i + 1 : n;
    return tag;
}

bool IsNamed(const TagInfo& tag, std::wstring_view name) {
    return tag.name.size() == name.size() && StartsNoCase(tag.name, 0, name);
}

// Skips what no link can stand in: a comment, or the text of a SCRIPT or STYLE
// element from its start tag on. Answers where scanning goes on.
size_t SkipOpaque(std::wstring_view text, size_t at, const TagInfo& tag) {
    std::wstring_view endTag = IsNamed(tag, L"script") ? L"</script" : L"</style";
    for (size_t i = tag.end; i + endTag.size() <= text.size(); ++i)
        if (text[i] == L'<' && StartsNoCase(text, i, endTag)) return i;
    (void)at;
    return text.size();
}

// Walks the start and end tags of a text, past comments and the insides of
// SCRIPT and STYLE elements: visit(tag, at) is called with each tag and the
// position of its '<', and answers where the walk goes on.
template <typename Visit> void ForEachTag(std::wstring_view view, Visit visit) {
    const size_t n = view.size();
    size_t i = 0;
    while (i < n) {
        if (view[i] != L'<') {
            ++i;
            continue;
        }
        if (StartsNoCase(view, i, L"<!--")) {
            size_t close = view.find(L"-->", i + 4);
            i = close == std::wstring_view::npos ? n : close + 3;
            continue;
        }
        if (i + 1 >= n || !(IsLetter(view[i + 1]) || view[i + 1] == L'/')) {
            ++i;
            continue;
        }
        TagInfo tag = ReadTagAt(view, i);
        if (!tag.closing && (IsNamed(tag, L"script") || IsNamed(tag, L"style"))) {
            i = SkipOpaque(view, i, tag);
            continue;
        }
        i = visit(tag, i);
    }
}

} // namespace

int CountOpenDivs(const CString& text) {
    int depth = 0;
    ForEachTag(text.str(), [&](const TagInfo& tag, size_t) {
        if (IsNamed(tag, L"div")) depth = tag.closing ? std::max(0, depth - 1) : depth + 1;
        return tag.end;
    });
    return depth;
}

void MergeSplitLinks(CString& text) {
    std::wstring_view view(text.str());
    const size_t n = view.size();
    std::wstring out;
    size_t copied = 0;                 // text before this is in `out`
    bool inLink = false;               // a link is open
    std::wstring_view openHref;        // its address
    ForEachTag(view, [&](const TagInfo& tag, size_t i) -> size_t {
        if (!IsNamed(tag, L"a")) return tag.end;
        if (!tag.closing) {
            inLink = true;
            openHref = tag.href;
            if (!tag.hasHref) openHref = std::wstring_view();
            return tag.end;
        }
        // An end of a link: is it followed, across white space only, by the
        // start of a link to the same address?
        size_t next = tag.end;
        while (next < n && IsBlank(view[next])) ++next;
        if (inLink && !openHref.empty() && next > tag.end && next + 2 < n && view[next] == L'<' &&
            StartsNoCase(view, next, L"<a") && (IsBlank(view[next + 2]) || view[next + 2] == L'>')) {
            TagInfo second = ReadTagAt(view, next);
            if (second.hasHref && second.href == openHref) {
                out.append(view.substr(copied, i - copied));
                out.append(view.substr(tag.end, next - tag.end)); // the white space between them
                copied = second.end;
                return second.end;
            }
        }
        inLink = false;
        return tag.end;
    });
    if (copied == 0) return;
    out.append(view.substr(copied));
    text = CString(out);
}

namespace {

// Content that stands after the body-end marker (typed below the end line)
// moves before it: the rest of the marker's line after its HR tag and the
// lines after it, without the product footer, the closing tags and lines
// that hold neither text nor a picture.
CString ContentAfterBodyEnd(const CString& markerLine, PageLines& lines) {
    CString moved;
    auto keep = [&](CString rest) {
        RegexReplaceAll(rest, L"<//[Bb][Oo][Dd][Yy]>", L"");
        RegexReplaceAll(rest, L"<//[Hh][Tt][Mm][Ll]>", L"");
        CString text;
        bool inTag = false;
        for (int i = 0; i < rest.GetLength(); ++i) {
            if (rest[i] == L'<') inTag = true;
            else if (rest[i] == L'>') inTag = false;
            else if (!inTag) text += rest[i];
        }
        text.Replace(L"&nbsp;", L" ");
        text.Trim();
        bool picture = FindNoCase(rest, L"<img") >= 0;
        if ((text.IsEmpty() && !picture) || text == L"Tarvelo") return;  // markup only, or the product footer
        moved += rest;
        moved += L"\n";
    };
    int hrEnd = markerLine.Find(L'>');
    if (hrEnd >= 0) keep(markerLine.Mid(hrEnd + 1));
    CString rest;
    while (lines.Next(rest)) keep(rest);
    return moved;
}

} // namespace

CString CleanPageText(const CString& engineText) {
    // The engine ends its lines with CR LF; the page format with a line feed.
    CString text = engineText;
    text.Replace(L"\r\n", L"\n");
    PageLines lines(text);
    CString output;
    CString raw, line, scan;
    while (lines.Next(raw)) {
        RegexReplaceAll(raw, L"<[Aa]><//[Aa]><[Bb][Rr]>", L"<BR>\n");
        RegexReplaceAll(raw, L"<[Aa]><//[Aa]>", L"");
        RegexReplaceAll(raw, L"<[Bb][Rr] 2>", L"");
        ScanPageLine(raw.str(), false, line, scan);

        int marker = FindBodyEndMarker(line.str());
        if (marker >= 0) {
            // Text before the marker keeps its own line; an empty one is not
            // written, so that saving again does not add a blank line each time.
            if (marker > 0) output += line.Left(marker) + L"\n";
            output += ContentAfterBodyEnd(line.Mid(marker), lines);
            // A block the page opened before its end (the template's outer
            // DIV) closes after the footer, where the engine's own text closed it.
            output += GetPageEnding(CountOpenDivs(output));
            break;
        }
        int bodyEnd = FindNoCase(scan, L"</body");
        if (bodyEnd >= 0) {
            if (bodyEnd > 0) output += line.Left(bodyEnd) + L"\n";
            output += L"</body>\n</html>\n";
            break;
        }
        // An index tag's closing mark with more text behind it ends its line.
        int length = line.GetLength();
        int closer = FindNoCase(scan, kCloser, 1);
        bool endsWithCloser = length > kCloserLength && FindNoCase(scan, kCloser, length - kCloserLength) >= 0;
        if (closer >= 1 && !endsWithCloser) {
            output += line.Left(closer) + L"&LT;&LT;&LT;\n";
            line = line.Mid(closer + kCloserLength);
            scan = scan.Mid(closer + kCloserLength);
            length = line.GetLength();
        }
        // A link that starts at the very end of the line continues on the next.
        if (length >= 4 && IsBlank(line[length - 1]) && scan[length - 3] == L'<' &&
            CString::FoldAscii(scan[length - 2]) == L'A') {
            output += line.Left(length - 3) + L"\n<A ";
            continue;
        }
        DropAddressesOfEmptyLinks(line, scan);
        RegexReplaceAll(line, L"<[Aa]><//[Aa]>", L"");
        output += line + L"\n";
    }
    MergeSplitLinks(output);
    return output;
}

CString PageNotCleanedText(const CString& path) { return L"Error! Cleanfile cannot open file.\n" + path; }

bool CleanPageFile(const CString& rawPath) {
    CString path = ResolveExistingPagePath(rawPath);
    bool cleaned = false;
    {
        // Let go before any word to the user: clip processes wait on it.
        PageRewriteLock lock;
        CString text;
        cleaned = ReadPageText(path, text) && WritePageText(path, CleanPageText(text));
    }
    if (!cleaned) ShowMessageBox(nullptr, PageNotCleanedText(path), L"Tarvelo", MB_OK);
    return cleaned;
}

bool SaveEditedPage(const CString& rawPath, const CString& engineText) {
    CString path = ResolveExistingPagePath(rawPath);
    bool written = false;
    {
        PageRewriteLock lock;
        written = WritePageText(path, CleanPageText(engineText));
    }
    if (!written) {
        ShowMessageBox(nullptr, PageNotCleanedText(path), L"Tarvelo", MB_OK);
        return false;
    }
    RegUpdateFile(path);
    return true;
}

int FinishPageSave(const CString& path) {
    CleanPageFile(path);
    return RegUpdateFile(path);
}

#include "links/LinkLine.h"

#include "pages/PageMarkers.h"
#include "pages/PageTemplate.h"
#include "util/PathParts.h"
#include "util/Strings.h"

#include "regex/Regex.h"

namespace {

constexpr wchar_t kFooterPattern[] =
    L"<[Cc][Ee][Nn][Tt][Ee][Rr]><[Ff][Oo].+>[Tt][Aa][Rr][Vv][Ee][Ll][Oo]<.+<//[Cc][Ee][Nn][Tt][Ee][Rr]>";

bool IsAsciiAlnum(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9'); }

// Length of an entity ("&name;", "&#123;", "&#x1F;") starting at `at`, or 0.
int EntityLengthAt(const CString& text, int at) {
    int i = at + 1, length = text.GetLength();
    if (i < length && text[i] == L'#') {
        ++i;
        bool hex = i < length && (text[i] == L'x' || text[i] == L'X');
        if (hex) ++i;
        int digits = 0;
        while (i < length && digits < 8 &&
               ((text[i] >= L'0' && text[i] <= L'9') ||
                (hex && ((text[i] >= L'a' && text[i] <= L'f') || (text[i] >= L'A' && text[i] <= L'F'))))) {
            ++i;
            ++digits;
        }
        return digits > 0 && i < length && text[i] == L';' ? i - at + 1 : 0;
    }
    int letters = 0;
    while (i < length && letters < 32 && IsAsciiAlnum(text[i])) {
        ++i;
        ++letters;
    }
    return letters > 0 && i < length && text[i] == L';' ? i - at + 1 : 0;
}

// Last occurrence of the marker (any case) that has at least one character
// after it; -1 when none.
int LastMarkerWithFollower(const CString& text, const wchar_t* marker) {
    return ReverseFindNoCase(text.Left(text.GetLength() - 1), marker);
}

} // namespace

namespace {

// Appends one character of clip text or address as page text. "<" and ">"
// go as numeric references, and so do the entities "&lt;" and "&gt;" already
// in the text: runs of them would otherwise read as section markers
// ("&gt;&gt;&gt;", "&lt;&lt;&lt;"). Other entities stay as they are.
int AppendEscaped(CString& out, const CString& text, int i, bool escapeAmpersand) {
    wchar_t c = text[i];
    if (c == L'<') {
        out += L"&#60;";
    } else if (c == L'>') {
        out += L"&#62;";
    } else if (c == L'&') {
        int entity = EntityLengthAt(text, i);
        CString name = text.Mid(i, entity);
        if (entity && name.CompareNoCase(L"&lt;") == 0) {
            out += L"&#60;";
        } else if (entity && name.CompareNoCase(L"&gt;") == 0) {
            out += L"&#62;";
        } else {
            out += entity || !escapeAmpersand ? L"&" : L"&amp;";
            return 1;
        }
        return entity;
    } else if (c == L'\r' || c == L'\n') {
        if (escapeAmpersand) out += L' ';
    } else {
        out += c;
    }
    return 1;
}

} // namespace

CString EscapeLinkText(const CString& text) {
    CString out;
    out.str().reserve(static_cast<size_t>(text.GetLength()) + 16);
    for (int i = 0; i < text.GetLength();) i += AppendEscaped(out, text, i, true);
    return out;
}

CString EscapeSectionName(const CString& section) { return EscapeLinkText(section); }

CString SectionTagText(const CString& section) {
    CString tag = L"&gt;&gt;&gt;" + EscapeSectionName(section) + L"&lt;&lt;&lt;";
    ExtractIndexTagText(tag);
    return tag;
}

CString WithNamedAngleReferences(CString text) {
    if (text.Find(L"&#") < 0) return text;
    text.Replace(L"&#60;", L"&lt;");
    text.Replace(L"&#62;", L"&gt;");
    return text;
}

CString EscapeLinkAddress(const CString& address) {
    CString out;
    for (int i = 0; i < address.GetLength();) {
        if (address[i] == L'"') {
            out += L"&quot;";
            ++i;
        } else {
            i += AppendEscaped(out, address, i, false);
        }
    }
    return out;
}

// Forms:
//   address, no picture: "\n<A href="address">&nbsp;text&nbsp;</A>\n"
//   address and picture: "\n<A href="address"><img width=100 height=60
//     src="picture"></img>&nbsp;text&nbsp;</A>\n", a date "(m-d-y)" in the
//     text followed by "|" and the picture's file title
//   picture, no address: "\n<A href="picture"><img  width=60 height=60
//     src="picture"></img>&nbsp;text&nbsp;</A>\n"
void FormatLinkLine(CString& out, const CString& text, const CString& address, const CString& picture) {
    if (address.IsEmpty() && picture.IsEmpty()) return;
    CString href = EscapeLinkAddress(address), src = EscapeLinkAddress(picture);
    if (picture.IsEmpty()) {
        out += L"\n<A href=\"" + href + L"\">&nbsp;" + EscapeLinkText(text) + L"&nbsp;</A>\n";
    } else if (!address.IsEmpty()) {
        CString titled = text, date;
        if (RegexGetGroup(titled, L"(/(/d+/-/d+/-/d+/))", date))
            RegexReplaceAll(titled, L"(/(/d+/-/d+/-/d+/))", date + L"|" + GetFileTitle(picture));
        out += L"\n<A href=\"" + href + L"\"><img width=100 height=60 src=\"" + src + L"\"></img>&nbsp;" +
               EscapeLinkText(titled) + L"&nbsp;</A>\n";
    } else {
        out += L"\n<A href=\"" + src + L"\"><img  width=60 height=60 src=\"" + src + L"\"></img>&nbsp;" +
               EscapeLinkText(text) + L"&nbsp;</A>\n";
    }
}

int FindLastPageMarkers(CString& text, CString& trailing, int window) {
    int n = window;
    if (text.GetLength() < n) n = std::max(text.GetLength() - 2, 0);
    CString tail = text.Right(n);
    bool hadFooter = RegexReplaceAll(tail, kFooterPattern, L"") != 0;

    CString kept = tail, remainder;
    bool atHeadLine = false;
    int link = LastMarkerWithFollower(tail, L"</a>");
    int closer = LastMarkerWithFollower(tail, L"&lt;&lt;&lt;");
    if (link >= 0 && closer < link) {
        kept = tail.Left(link) + L"</A>";
        remainder = tail.Mid(link + 4);
    } else if (closer >= 0) {
        kept = tail.Left(closer) + L"&LT;&LT;&LT;";
        remainder = tail.Mid(closer + 12);
    } else {
        int head = LastMarkerWithFollower(tail, L"<hr color=blue size=1>");
        if (head >= 0) {
            kept = tail.Left(head) + L"<hr color=blue size=1>";
            remainder = tail.Mid(head + 22);
            atHeadLine = true;
        }
    }
    RegexReplaceAll(kept, L"<[Bb][Rr] 2>", L"");
    text.Truncate(text.GetLength() - n);  // in place: the text is the whole page so far
    text += kept;
    if (!atHeadLine) text += L"<br>\n";
    if (remainder.IsEmpty() && !hadFooter) return 0;
    RegexReplaceAll(remainder, L"&[Nn][Bb][Ss][Pp];", L"");
    // One line break in front is enough: more would pile up with every link.
    int breaks = 0;
    while (breaks < remainder.GetLength() && remainder[breaks] == L'\n') ++breaks;
    if (breaks > 1) remainder.Delete(0, breaks - 1);
    if (hadFooter) {
        CString footer = GetPageFooterLine();
        remainder += footer.Left(footer.GetLength() - 1);
    }
    trailing = remainder;
    return 1;
}

#include "links/LinkMerge.h"

#include "favorites/LinkNames.h"
#include "favorites/PageLinkWalker.h"
#include "links/LinkInsertion.h"
#include "pages/PageLineScan.h"
#include "pages/PageLines.h"
#include "util/Strings.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\f' || c == 0xA0; }

// White space runs as one blank, none at the ends.
CString Collapse(const CString& text) {
    std::wstring out;
    for (wchar_t c : text.str()) {
        if (IsSpace(c)) {
            if (!out.empty() && out.back() != L' ') out += L' ';
        } else {
            out += c;
        }
    }
    if (!out.empty() && out.back() == L' ') out.pop_back();
    return CString(out);
}

CString Normalised(const CString& text) { return Collapse(DecodeCharacterReferences(text)); }

struct PageLink {
    CString key;      // address and title as read, whatever the writer's spelling
    CString section;  // the tag it stands below, as the page writes it
    CString anchor;   // its markup
};

std::vector<PageLink> CollectLinks(const CString& text) {
    std::vector<PageLink> links;
    CString section, anchor;
    PageLinkWalk walk;
    walk.onTag = [&](const CString& tag) { section = tag; };
    walk.onAnchor = [&](const CString& markup) { anchor = markup; };
    walk.onLink = [&](const CString& title, const CString& address) {
        links.push_back({Normalised(address) + L"\x01" + Normalised(title), section, anchor});
    };
    WalkPageLinks(text, walk);
    return links;
}

// The page from its start up to its body-end line with every link taken out.
CString ContentOutsideLinks(const CString& text) {
    CString content;
    PageLines lines(text);
    std::wstring_view line;
    while (lines.NextView(line) && !IsBodyEndLine(line)) {
        content += CString(line);
        content += L"\n";
    }
    CString plain;
    int pos = 0;
    for (int at = FindAnchorStart(content); at >= 0; at = FindAnchorStart(content, pos)) {
        plain += content.Mid(pos, at - pos) + L" ";
        pos = std::max(ReadAnchor(content, at).end, at + 1);
    }
    plain += content.Mid(pos);
    return plain;
}

// The start tags of one element name ("<img", "<table"; any case, followed by
// a blank or ">") in the text.
std::vector<int> FindStartTags(const CString& text, const wchar_t* name) {
    std::vector<int> found;
    int length = static_cast<int>(wcslen(name));
    for (int at = FindNoCase(text, name); at >= 0; at = FindNoCase(text, name, at + 1)) {
        wchar_t next = at + length < text.GetLength() ? text[at + length] : L'\0';
        if (next == L'>' || IsSpace(next) || next == L'/') found.push_back(at);
    }
    return found;
}

// A value of an attribute in a start tag (up to its ">"), quoted or not.
CString AttributeValue(const CString& text, int tagStart, const wchar_t* name) {
    int tagEnd = text.Find(L'>', tagStart);
    if (tagEnd < 0) tagEnd = text.GetLength();
    int length = static_cast<int>(wcslen(name));
    for (int at = FindNoCase(text, name, tagStart); at >= 0 && at < tagEnd; at = FindNoCase(text, name, at + 1)) {
        if (!IsSpace(text[at - 1])) continue;
        int i = at + length;
        while (i < tagEnd && IsSpace(text[i])) ++i;
        if (i >= tagEnd || text[i] != L'=') continue;
        ++i;
        while (i < tagEnd && IsSpace(text[i])) ++i;
        if (i < tagEnd && (text[i] == L'"' || text[i] == L'\'')) {
            int close = text.Find(text[i], i + 1);
            return text.Mid(i + 1, (close < 0 ? tagEnd : close) - i - 1);
        }
        int stop = i;
        while (stop < tagEnd && !IsSpace(text[stop])) ++stop;
        return text.Mid(i, stop - i);
    }
    return CString();
}

// What a merge of links cannot carry over: the pictures and the tables of a
// page outside its links. A picture is its address; a table its rows and
// cells with the words in them, so that the same table in the other page
// counts as held.
std::multiset<CString> PicturesAndTablesOutsideLinks(const CString& text) {
    std::multiset<CString> found;
    CString content = ContentOutsideLinks(text);
    for (int at : FindStartTags(content, L"<img"))
        found.insert(L"img " + Normalised(AttributeValue(content, at, L"src")));
    for (int at : FindStartTags(content, L"<table")) {
        int end = FindNoCase(content, L"</table", at);
        CString table = content.Mid(at, (end < 0 ? content.GetLength() : end) - at);
        CString shape;
        int i = 0;
        while (i < table.GetLength()) {
            if (table[i] != L'<') {
                shape += table[i++];
                continue;
            }
            int close = table.Find(L'>', i);
            if (close < 0) break;
            CString name = table.Mid(i + 1, std::min(3, close - i - 1));
            name.MakeUpper();
            if (name.Left(2) == L"TR" || name.Left(2) == L"TD" || name.Left(2) == L"TH") shape += L" |" + name.Left(2) + L" ";
            i = close + 1;
        }
        found.insert(L"table " + Collapse(DecodeCharacterReferences(shape)));
    }
    return found;
}

// True when `theirs` holds an entry that `ours` does not (counted).
bool HoldsMore(const std::multiset<CString>& theirs, std::multiset<CString> ours) {
    for (const CString& entry : theirs) {
        auto at = ours.find(entry);
        if (at == ours.end()) return true;
        ours.erase(at);
    }
    return false;
}

// The page's words outside its links, from its start up to its body-end
// line, each index tag one word; tags named in `ignored` left out. What a
// clip does not change.
std::vector<CString> WordsOutsideLinks(const CString& text, const std::set<CString>& ignored) {
    // Links out, then markup out, then the text as characters.
    CString plain = ContentOutsideLinks(text);
    std::wstring bare;
    const std::wstring& raw = plain.str();
    for (size_t i = 0; i < raw.size(); ++i) {
        wchar_t next = i + 1 < raw.size() ? raw[i + 1] : 0;
        if (raw[i] == L'<' && (iswalpha(next) || next == L'/' || next == L'!' || next == L'?')) {
            size_t end = raw.find(L'>', i);
            if (end == std::wstring::npos) break;
            bare += L' ';
            i = end;
        } else {
            bare += raw[i];
        }
    }
    std::wstring decoded = DecodeCharacterReferences(CString(bare)).str();
    std::vector<CString> words;
    size_t i = 0;
    auto addWords = [&](std::wstring_view piece) {
        CString word;
        for (wchar_t c : piece) {
            if (IsSpace(c)) {
                if (!word.IsEmpty()) words.push_back(word);
                word.Empty();
            } else {
                word += c;
            }
        }
        if (!word.IsEmpty()) words.push_back(word);
    };
    while (i < decoded.size()) {
        size_t open = decoded.find(L">>>", i);
        size_t close = open == std::wstring::npos ? open : decoded.find(L"<<<", open + 3);
        if (close == std::wstring::npos) {
            addWords(std::wstring_view(decoded).substr(i));
            break;
        }
        addWords(std::wstring_view(decoded).substr(i, open - i));
        CString tag = Collapse(CString(decoded.substr(open + 3, close - open - 3)));
        if (!ignored.count(tag)) words.push_back(L"\x02" + tag);
        i = close + 3;
    }
    return words;
}

// Each added link into its section of the page text, counted.
void InsertAddedLinks(const std::vector<PageLink>& added, CString& page, int& linksAdded) {
    for (const PageLink& link : added) {
        LinkPlacement placement = LinkPlacement::None;
        page = InsertLinkIntoPageText(page, DecodeCharacterReferences(link.section), L"\n" + link.anchor + L"\n",
                                      placement);
        ++linksAdded;
    }
}

} // namespace

OtherWriterMerge MergeOtherWriterLinks(const CString& loaded, const CString& onDisk, const CString& edited) {
    OtherWriterMerge result;
    result.merged = edited;
    std::multiset<CString> before, mine;
    for (const PageLink& link : CollectLinks(loaded)) before.insert(link.key);
    for (const PageLink& link : CollectLinks(edited)) mine.insert(link.key);
    std::vector<PageLink> added;
    for (PageLink& link : CollectLinks(onDisk)) {
        if (auto at = before.find(link.key); at != before.end()) {
            before.erase(at);
        } else if (auto own = mine.find(link.key); own != mine.end()) {
            mine.erase(own);  // the user wrote the same link
        } else {
            added.push_back(std::move(link));
        }
    }
    std::set<CString> sections;
    for (const PageLink& link : added) sections.insert(Normalised(link.section));
    // Links the other program took away, or words it changed, are more than
    // a clip does.
    result.linksOnly = before.empty() && WordsOutsideLinks(loaded, sections) == WordsOutsideLinks(onDisk, sections);
    InsertAddedLinks(added, result.merged, result.linksAdded);
    return result;
}

ImportedPageMerge MergeImportedPageLinks(const CString& current, const CString& imported) {
    ImportedPageMerge result;
    result.merged = current;
    std::multiset<CString> held;
    for (const PageLink& link : CollectLinks(current)) held.insert(link.key);
    std::vector<PageLink> added;
    for (PageLink& link : CollectLinks(imported)) {
        if (auto at = held.find(link.key); at != held.end()) held.erase(at);
        else added.push_back(std::move(link));
    }
    std::set<CString> sections;
    for (const PageLink& link : added) sections.insert(Normalised(link.section));
    // The imported words, in order, among the current page's: what the user
    // wrote since (words, sections, links) is no reason for a copy.
    std::vector<CString> theirs = WordsOutsideLinks(imported, sections), ours = WordsOutsideLinks(current, sections);
    size_t matched = 0;
    for (size_t i = 0; i < ours.size() && matched < theirs.size(); ++i)
        if (ours[i] == theirs[matched]) ++matched;
    // Pictures and tables are no words: the imported page keeps its own copy
    // when it holds one the current page lacks.
    result.keepsBoth = matched == theirs.size() &&
                       !HoldsMore(PicturesAndTablesOutsideLinks(imported), PicturesAndTablesOutsideLinks(current));
    if (!result.keepsBoth) return result;
    InsertAddedLinks(added, result.merged, result.linksAdded);
    return result;
}

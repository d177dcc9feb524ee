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

// The page's words outside its links, from its start up to its body-end
// line, each index tag one word; tags named in `ignored` left out. What a
// clip does not change.
std::vector<CString> WordsOutsideLinks(const CString& text, const std::set<CString>& ignored) {
    CString content;
    PageLines lines(text);
    std::wstring_view line;
    while (lines.NextView(line) && !IsBodyEndLine(line)) {
        content += CString(line);
        content += L"\n";
    }
    // Links out, then markup out, then the text as characters.
    CString plain;
    int pos = 0;
    for (int at = FindAnchorStart(content); at >= 0; at = FindAnchorStart(content, pos)) {
        plain += content.Mid(pos, at - pos) + L" ";
        pos = std::max(ReadAnchor(content, at).end, at + 1);
    }
    plain += content.Mid(pos);
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
    result.keepsBoth = matched == theirs.size();
    if (!result.keepsBoth) return result;
    InsertAddedLinks(added, result.merged, result.linksAdded);
    return result;
}

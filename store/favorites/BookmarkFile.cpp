// The formats the favourites engine writes from and reads into its records:
// Netscape bookmark files and link pages.
#include "favorites/FavoriteEngine.h"

#include "core/MessageBox.h"
#include "favorites/LinkNames.h"
#include "favorites/PageLinkWalker.h"
#include "links/LinkInsertion.h"
#include "links/LinkLine.h"
#include "pages/HtmlFileText.h"
#include "pages/PageFile.h"
#include "pages/PageRewriteLock.h"
#include "pages/PageLines.h"
#include "pages/PageTemplate.h"
#include "util/Files.h"
#include "util/Strings.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr wchar_t kNotCreated[] = L"File not Created, A Error Happened While Creating the File.";

CString Tabs(int count) { return CString(L'\t', count > 0 ? count : 0); }

CString WithoutLeadingBackslash(const CString& name) { return name.Left(1) == L"\\" ? name.Mid(1) : name; }

// An address inside a double-quoted attribute: a quote in it would end the value.
CString QuotedAddress(const CString& address) {
    CString out = address;
    out.Replace(L"\"", L"%22");
    return L"\"" + out + L"\"";
}

// A link page's address stands unquoted, unless the unquoted value would
// read back otherwise: cut at a blank or a ">", or taken for a quoted one.
CString LinkPageAddress(const CString& address) {
    bool plain = !address.IsEmpty() && address[0] != L'"' && address[0] != L'\'';
    for (int i = 0; plain && i < address.GetLength(); ++i) {
        wchar_t c = address[i];
        plain = c > L' ' && c != L'>';
    }
    return plain ? address : QuotedAddress(address);
}

void ShowNotCreated() { ShowMessageBox(nullptr, kNotCreated, L"Tarvelo", MB_OK); }

} // namespace

bool CFavoriteEngine::WriteNetscapeBookmarkFileUtf8(const CString& path) { return WriteBookmarkFile(path, true); }

bool CFavoriteEngine::WriteNetscapeBookmarkFileUnicode(const CString& path) { return WriteBookmarkFile(path, false); }

bool CFavoriteEngine::WriteBookmarkFile(const CString& path, bool utf8) {
    m_records.clear();
    FlattenTree(m_root.get());
    CString text = L"<!DOCTYPE NETSCAPE-Bookmark-file-1>\n";
    text += utf8 ? L"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
                 : L"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Unicode\">\n";
    text += L"<!-- Automatically generated file.\nPlease do not EDIT! -->\n<TITLE>Bookmarks</TITLE>\n"
            L"<H1>Bookmarks</H1>\n\n<DL><p>\n";
    auto close = [&](int from, int to) {  // the lists of the folders at levels from down to to
        for (int level = from; level >= to && level >= 1; --level) text += Tabs(level) + L"</DL><p>\n";
    };
    for (size_t i = 0; i < m_records.size(); ++i) {
        const LinkRecord& r = m_records[i];
        int a = r.level;
        CString name = WithoutLeadingBackslash(r.name);
        if (r.IsFolder())
            text += Tabs(a) + L"<DT><H3>" + name + L"</H3>\n" + Tabs(a) + L"<DL><p>\n";
        else
            text += Tabs(a) + L"<DT><A HREF=" + QuotedAddress(r.address) + L">" + name + L"</A>\n";
        bool last = i + 1 == m_records.size();
        int b = last ? 1 : m_records[i + 1].level;
        if (r.IsFolder() && (last || b <= a)) close(a, last ? 1 : b);
        else if (!r.IsFolder() && (last || b < a)) close(a - 1, last ? 1 : b);
    }
    text += L"\n</DL><p>\n";
    CStringA narrow = utf8 ? WideToCodePage(text, CP_UTF8) : CStringA();
    bool written = utf8 ? WriteFileBytesReplacing(path, std::string(narrow.GetString(), static_cast<size_t>(narrow.GetLength())))
                        : WritePageText(path, text);
    if (!written) {
        ShowNotCreated();
        return false;
    }
    return true;
}

bool CFavoriteEngine::ParseNetscapeBookmarkFile(const CString& path) {
    m_records.clear();
    CString text;
    if (!ReadHtmlFileText(path, text)) {
        ShowMessageBox(nullptr, L"File not openned.", L"Tarvelo", MB_OK);
        return false;
    }
    // HTML tags are read in any case: browsers write "<DT><A HREF=", some
    // services "<dt><a href=".
    PageLines lines(std::move(text));
    int level = -1;
    CString folder = L"Default";
    CString line, next;
    while (lines.Next(line)) {
        if (FindNoCase(line, L"<DL") >= 0) ++level;
        if (FindNoCase(line, L"</DL") >= 0) {
            --level;
            int slash = folder.ReverseFind(L'\\');
            if (slash > 0) folder.Truncate(slash);
        }
        int h3 = FindNoCase(line, L"<H3");
        int h3End = h3 < 0 ? -1 : FindNoCase(line, L"</H3", h3 + 3);
        if (h3End >= 0) {
            int open = FindStartTagEnd(line, h3 + 3);
            if (open >= 0 && open < h3End) {
                CString name = line.Mid(open + 1, h3End - open - 1);
                folder += L"\\" + name;
                m_records.push_back({name, CString(), level, L"yes", folder});
            }
        }
        int anchor = FindNoCase(line, L"<A");
        if (anchor < 0) continue;
        if (FindNoCase(line, L"</A", anchor) < 0)
            while (lines.Next(next)) {
                line += L"\n" + next;
                if (FindNoCase(next, L"</A") >= 0) break;
            }
        // The address: the HREF value, in any quoting a browser reads
        // (double, single, none), of the first anchor that has one.
        AnchorAddress where;
        for (int at = FindAnchorStart(line, anchor); at >= 0 && where.start < 0; at = FindAnchorStart(line, at + 2))
            where = FindAnchorAddress(line, at);
        if (where.start < 0) continue;
        int titleEnd = FindNoCase(line, L"</A", where.tagEnd);
        if (titleEnd < 0) continue;
        m_records.push_back({line.Mid(where.tagEnd + 1, titleEnd - where.tagEnd - 1), line.Mid(where.start, where.length),
                             level, L"no", folder});
    }
    return true;
}

int CFavoriteEngine::LinkCount() const {
    return static_cast<int>(std::count_if(m_records.begin(), m_records.end(), [](const LinkRecord& r) { return !r.IsFolder(); }));
}

void CFavoriteEngine::GroupBookmarkLinks() {
    if (m_records.size() < 2) return;
    // Records of one folder path, in order; paths in the order first seen.
    std::unordered_map<std::wstring, std::vector<size_t>> byPath;
    std::vector<std::wstring> paths;
    for (size_t i = 0; i < m_records.size(); ++i) {
        auto [entry, added] = byPath.try_emplace(m_records[i].path.str());
        if (added) paths.push_back(m_records[i].path.str());
        entry->second.push_back(i);
    }
    // Two entries are the same bookmark when level, folder, name and address agree.
    std::unordered_set<std::wstring> seen;
    auto identity = [](const LinkRecord& r) {
        return std::to_wstring(r.level) + L'\x1' + r.path.str() + L'\x1' + r.name.str() + L'\x1' + r.address.str();
    };
    std::vector<LinkRecord> folders, topLevel;
    for (const std::wstring& path : paths) {
        for (size_t index : byPath[path]) {
            LinkRecord& r = m_records[index];
            if (!seen.insert(identity(r)).second) continue;
            (r.path == L"Default" ? topLevel : folders).push_back(std::move(r));
        }
    }
    m_records = std::move(folders);
    for (LinkRecord& r : m_records)
        if (r.IsFolder() && r.path.Left(8) == L"Default\\") r.name = r.path.Mid(8);
    m_records.push_back({L"Default", CString(), 0, L"yes", L"Default"});
    for (LinkRecord& r : topLevel) m_records.push_back(std::move(r));
}

bool CFavoriteEngine::WriteFavoritesLinkPage(const CString& path) { return WriteLinkPage(path, L"Favorite"); }

bool CFavoriteEngine::WriteBookmarksLinkPage(const CString& path) {
    GroupBookmarkLinks();
    return WriteLinkPage(path, L"Bookmarks");
}

bool CFavoriteEngine::WriteLinkPage(const CString& path, const CString& heading) {
    CString text = L"<html>\n<head>\n<title>MyLink</title>\n</head>\n"
                   L"<body align=\"left\" background=\"#606666\" color =\"#606666\"><DIV>\n"
                   L"<center><font color=\"#606666\" size=5 face=\"Verdana, Arial, Helvetica, sans-serif\"><B>";
    text += heading + L"</B></font></center>\n<hr color=blue size=1>\n";
    for (const LinkRecord& r : m_records) {
        for (int i = 0; i < r.level; ++i) text += L"&nbsp&nbsp&nbsp&nbsp&nbsp";
        text += L"\n";
        if (r.IsFolder())
            text += L">>>" + WithoutLeadingBackslash(r.name) + L"<<<";
        else
            text += L"<a href = " + LinkPageAddress(r.address) + L">" + r.name + L"</a>";
        text += L"<br>\n";
    }
    text += CString(kPageSpacers) + kBodyEndMarkerLine + GetPageFooterLine() + L"</DIV></body>\n</html>\n";
    if (!WritePageText(path, text)) {
        ShowNotCreated();
        return false;
    }
    return true;
}

int CFavoriteEngine::MergeBookmarksIntoPage(const CString& path) {
    GroupBookmarkLinks();
    PageRewriteLock lock;
    CString text;
    if (!ReadPageText(path, text)) {
        ShowMessageBox(nullptr, L"File not Open, A Error Happened While Openning the File.", L"Tarvelo", MB_OK);
        return -1;
    }
    // The addresses each section of the page holds before the import, by
    // the section's tag text as the link insertion compares it.
    std::unordered_map<std::wstring, std::unordered_set<std::wstring>> held;
    std::wstring section;
    PageLinkWalk walk;
    walk.onTag = [&](const CString& tag) { section = WithNamedAngleReferences(tag).str(); };
    walk.onLink = [&](const CString&, const CString& address) { held[section].insert(address.str()); };
    WalkPageLinks(text, walk);

    // The new links of each section in one block, each section in one pass
    // over the page: a file of thousands of bookmarks costs a pass per folder.
    std::vector<std::pair<CString, CString>> blocks;  // heading, its link lines
    std::unordered_map<std::wstring, size_t> blockOf;
    int added = 0;
    CString heading;
    for (const LinkRecord& r : m_records) {
        if (r.IsFolder()) {
            heading = WithoutLeadingBackslash(r.name);
            continue;
        }
        CString key = heading.IsEmpty() ? CString() : WithNamedAngleReferences(SectionTagText(heading));
        if (held[key.str()].count(r.address.str())) continue;
        auto [at, fresh] = blockOf.try_emplace(key.str(), blocks.size());
        if (fresh) blocks.emplace_back(heading, CString());
        CString& block = blocks[at->second].second;
        int before = block.GetLength();
        FormatLinkLine(block, r.name, r.address, CString());
        if (block.GetLength() > before) ++added;
    }
    for (const auto& [section, block] : blocks) {
        if (block.IsEmpty()) continue;
        LinkPlacement placement = LinkPlacement::None;
        text = InsertLinkIntoPageText(text, section, block, placement);
    }
    if (added > 0 && !WritePageText(path, text)) {
        ShowMessageBox(nullptr, L"File not Open, A Error Happened While Openning the File.", L"Tarvelo", MB_OK);
        return -1;
    }
    return added;
}

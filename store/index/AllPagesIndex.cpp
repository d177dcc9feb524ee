#include "index/AllPagesIndex.h"

#include "install/InstallPath.h"
#include "pages/PageFile.h"
#include "pages/PageLineScan.h"
#include "pages/PageLines.h"
#include "pages/PageMarkers.h"
#include "pages/PageRewriteLock.h"
#include "util/Files.h"
#include "util/PathParts.h"
#include "util/Registry.h"
#include "util/Strings.h"

#include "core/MessageBox.h"
#include "files/FileReplacer.h"
#include "regex/Regex.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

void Tell(const CString& text) { ShowMessageBox(nullptr, text, L"Tarvelo", MB_OK); }

// Depth of table nesting and the column count of the table opened last.
struct TableNesting {
    int depth = 0;
    CString columns;

    void See(const CString& line) {
        if (depth > 0 && ContainsNoCase(line, L"</table")) --depth;
        if (ContainsNoCase(line, L"<table")) {
            CString count;
            if (RegexGetGroup(line, L"<[Tt][Aa][Bb][Ll][Ee].+[Cc][Oo][Ll]=\"(/d+)\"", count)) {
                ++depth;
                columns = count;
            }
        }
    }
    CString CurrentColumns() const { return depth > 0 ? columns : CString(L"1"); }
};

void AppendEntry(CString& value, const CString& tag, const CString& columns) {
    if (!value.IsEmpty()) value += L";";
    value += EscapeIndexTag(tag) + L"," + columns;
}

void RemoveFirstNoCase(CString& text, const wchar_t* marker) {
    int at = FindNoCase(text, marker);
    if (at >= 0) text.Delete(at, static_cast<int>(wcslen(marker)));
}

bool IsPageFileName(const CString& name) {
    CString ext = GetNameExt(name);
    ext.MakeUpper();
    return name.Find(L'.') >= 0 && (ext == L"HTM" || ext == L"HTML");
}

// The full paths of every page below the folder, in the walk's order, and of
// the replacer's leftovers (stale or not) found on the way.
void CollectPages(const CString& folder, std::vector<CString>& pages, std::vector<CString>* siblings) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(folder + L"\\*.*", FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return;
    std::vector<CString> folders;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) continue;
        CString name(data.cFileName);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name[0] != L'.') folders.push_back(folder + L"\\" + name);
        } else if (IsPageFileName(name)) {
            pages.push_back(folder + L"\\" + name);
        } else if (siblings && name[0] == L'~' && CFileReplacer::IsSiblingName(name)) {
            siblings->push_back(folder + L"\\" + name);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    for (const CString& sub : folders) CollectPages(sub, pages, siblings);
}

// Calls the action for the full path of every page below the folder.
void WalkPages(const CString& folder, const std::function<void(const CString&)>& action) {
    std::vector<CString> pages;
    CollectPages(folder, pages, nullptr);
    for (const CString& page : pages) action(page);
}

// A page's value read from its file: the flag of its marker (0 for an
// unreadable page) and the value.
struct PageIndex {
    bool readable = false;
    int flag = 0;
    CString value;
};

PageIndex ReadPageIndexQuietly(const CString& path) {
    PageIndex index;
    CString text;
    if (!ReadPageText(path, text)) return index;
    index.readable = true;
    index.flag = GetPageIndexFlagOfText(text);
    if (index.flag == 1) index.value = BuildAllPagesValue(text);
    return index;
}

// The same, telling the user about a page that cannot be read.
int ReadPageIndex(const CString& path, CString& value) {
    PageIndex index = ReadPageIndexQuietly(path);
    if (!index.readable) Tell(L"Cannot open " + path);
    value = index.value;
    return index.flag;
}

// What a line holds that matters to the index, found in one pass.
struct IndexMarkup {
    bool rawMarker = false;  // ">>>" or "<<<" not yet written as entities
    bool tableStart = false; // "<table", any case
    bool tableEnd = false;   // "</table", any case
    bool tagOpener = false;  // "&gt;&gt;&gt;", any case
    bool Any() const { return rawMarker || tableStart || tableEnd || tagOpener; }
};

bool StartsNoCase(std::wstring_view text, size_t at, std::wstring_view word) {
    if (at + word.size() > text.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (CString::FoldAscii(text[at + i]) != CString::FoldAscii(word[i])) return false;
    return true;
}

IndexMarkup ScanIndexMarkup(std::wstring_view line) {
    IndexMarkup found;
    size_t n = line.size();
    for (size_t i = 0; i < n; ++i) {
        wchar_t c = line[i];
        if (c == L'&') {
            if (!found.tagOpener && StartsNoCase(line, i, L"&GT;&GT;&GT;")) found.tagOpener = true;
        } else if (c == L'<') {
            if (i + 2 < n && line[i + 1] == L'<' && line[i + 2] == L'<') found.rawMarker = true;
            else if (StartsNoCase(line, i, L"<TABLE")) found.tableStart = true;
            else if (StartsNoCase(line, i, L"</TABLE")) found.tableEnd = true;
        } else if (c == L'>' && i + 2 < n && line[i + 1] == L'>' && line[i + 2] == L'>') {
            found.rawMarker = true;
        }
    }
    return found;
}

constexpr wchar_t kCannotRewriteMarker[] = L"Error! Cleanfile cannot open file.";

// The marker rewrite of one page: 1 when it was rewritten (and its value
// refreshed), 0 when there is no page, -1 when the page cannot be rewritten
// (read-only, held by another program). The lock is let go before any word
// to the user, so that clip processes do not wait behind a message box.
int RewriteMarkerQuietly(const CString& path, int flag) {
    if (!FileExists(path)) return 0;
    {
        PageRewriteLock lock;
        CString text;
        if (!ReadPageText(path, text) || !WritePageText(path, RewriteIndexMarkerOfText(text, flag))) return -1;
    }
    RegUpdateFile(path);
    return 1;
}

// The message of pages whose marker could not be rewritten, naming each.
void TellMarkerNotRewritten(const std::vector<CString>& pages) {
    CString text = kCannotRewriteMarker;
    for (const CString& page : pages) text += L"\n" + page;
    Tell(text);
}

int RewriteMarker(const CString& rawPath, int flag) {
    CString path = ResolveExistingPagePath(rawPath);
    int done = RewriteMarkerQuietly(path, flag);
    if (done < 0) TellMarkerNotRewritten({path});
    return done > 0 ? 1 : 0;
}

// The marker rewrite of every page below the folder; the pages that could
// not be rewritten are named together at the end.
void RewriteMarkers(const CString& folder, int flag) {
    std::vector<CString> failed;
    WalkPages(folder, [&](const CString& path) {
        if (RewriteMarkerQuietly(path, flag) < 0) failed.push_back(path);
    });
    if (!failed.empty()) TellMarkerNotRewritten(failed);
}

// Reads and scans pages on worker threads, in the walk's order, while the
// caller takes the results one by one in that order.
class PageIndexReader {
public:
    explicit PageIndexReader(const std::vector<CString>& pages) : m_pages(pages), m_results(pages.size()) {
        unsigned threads = std::min<unsigned>(std::max(1u, std::thread::hardware_concurrency()), 4);
        threads = static_cast<unsigned>(std::min<size_t>(threads, pages.size()));
        for (unsigned t = 0; t < threads; ++t) m_workers.emplace_back([this] { Work(); });
    }
    ~PageIndexReader() {
        m_stop = true;
        for (std::thread& worker : m_workers) worker.join();
    }
    PageIndexReader(const PageIndexReader&) = delete;
    PageIndexReader& operator=(const PageIndexReader&) = delete;

    // The result of page i, once it is ready.
    PageIndex Take(size_t i) {
        std::unique_lock<std::mutex> hold(m_lock);
        m_ready.wait(hold, [&] { return m_results[i].has_value(); });
        PageIndex index = std::move(*m_results[i]);
        m_results[i].reset();
        return index;
    }

private:
    void Work() {
        for (size_t i = m_next++; i < m_pages.size() && !m_stop; i = m_next++) {
            PageIndex index = ReadPageIndexQuietly(m_pages[i]);
            {
                std::lock_guard<std::mutex> hold(m_lock);
                m_results[i] = std::move(index);
            }
            m_ready.notify_all();
        }
    }

    const std::vector<CString>& m_pages;
    std::vector<std::optional<PageIndex>> m_results;
    std::atomic<size_t> m_next{0};
    std::atomic<bool> m_stop{false};
    std::mutex m_lock;
    std::condition_variable m_ready;
    std::vector<std::thread> m_workers;
};

// Refreshes the values of every page below the folder. Pages are read and
// scanned on several threads; every registry write happens here, in the
// walk's order, each value in one call through a key held open for the whole
// walk (cheaper than reading the old values to compare). `first` runs here
// once the readers are at work, before the first write: registry work of the
// caller's that then costs no time of its own. Leftovers of interrupted
// writes found on the way are cleared when stale.
void RefreshValues(const CString& folder, const std::function<void()>& first = {}) {
    std::vector<CString> pages, siblings;
    CollectPages(folder, pages, &siblings);
    for (const CString& sibling : siblings) CFileReplacer::RemoveIfStale(sibling);
    CString allpages = GetAllpagesPath();
    SettingsWriter writer(kAllPagesSection);
    PageIndexReader reader(pages);
    if (first) first();
    for (size_t i = 0; i < pages.size(); ++i) {
        PageIndex index = reader.Take(i);
        if (!index.readable) Tell(L"Cannot open " + pages[i]);
        writer.WriteString(GetAllPagesValueName(allpages, pages[i]), index.value);
    }
}

} // namespace

CString GetAllPagesValueName(const CString& allpagesFolder, const CString& path) {
    CString name = path;
    CString prefix = allpagesFolder + L"\\";
    if (name.Left(prefix.GetLength()).CompareNoCase(prefix) == 0) name = name.Mid(prefix.GetLength());
    if (name.Right(4).CompareNoCase(L".htm") == 0) name.Truncate(name.GetLength() - 4);
    return name;
}

CString EscapeIndexTag(const CString& tag) {
    CString escaped = tag;
    escaped.Replace(L",", L"###");
    escaped.Replace(L";", L"|||");
    return escaped;
}

CString BuildAllPagesValue(const CString& text) {
    PageLines page(text);
    CString value, line, scan;
    TableNesting tables;
    std::wstring_view view;
    while (page.NextView(view)) {
        IndexMarkup markup = ScanIndexMarkup(view);
        if (!markup.Any()) continue;
        // Tables and tags count only in the page's own markup (not in link
        // texts or attribute values): the scanned copy hides the rest.
        ScanPageLine(view, false, line, scan);
        if (markup.tableStart || markup.tableEnd) tables.See(scan);
        while (HoldsTagOpener(scan)) {
            CString tag = scan;
            if (!HoldsTagCloser(scan)) ReadIndexTagLines(page, tag);
            CString rest = tag;
            RemoveFirstNoCase(rest, L"&gt;&gt;&gt;");
            RemoveFirstNoCase(rest, L"&lt;&lt;&lt;");
            ExtractIndexTagText(tag);
            if (tag.GetLength() > kMaxIndexTagLength) tag.Empty();
            if (!tag.IsEmpty()) AppendEntry(value, tag, tables.CurrentColumns());
            scan = rest;
        }
    }
    return value;
}

// Only a page below the Allpages folder has a value: a file elsewhere would
// be listed under its full path.
namespace {
bool IsBelowAllpages(const CString& path) {
    CString allpages = GetAllpagesPath();
    return !allpages.IsEmpty() && IsPathWithin(path, allpages) && !IsSamePath(path, allpages);
}
} // namespace

int RegUpdateFile(const CString& rawPath) {
    CString path = ResolveExistingPagePath(rawPath);
    if (!IsBelowAllpages(path)) return 0;
    if (!FileExists(path)) {
        Tell(L"File not exist in RegUpdateFile");
        Tell(rawPath);
        return 0;
    }
    CString value;
    int flag = ReadPageIndex(path, value);
    CString name = GetAllPagesValueName(GetAllpagesPath(), path);
    WriteSettingString(kAllPagesSection, name, value);
    return flag == 1 ? 1 : 0;
}

void RemoveAllPagesValues(const CString& path, bool folder) {
    CString allpages = GetAllpagesPath();
    CString prefix = allpages + L"\\";
    if (allpages.IsEmpty() || path.Left(prefix.GetLength()).CompareNoCase(prefix) != 0) return;
    CString name = GetAllPagesValueName(allpages, path);
    if (name.IsEmpty()) return;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, GetSettingsKeyPath(kAllPagesSection), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    CString below = name + L"\\";
    for (const CString& value : GetSettingNames(kAllPagesSection))
        if (folder ? value.Left(below.GetLength()).CompareNoCase(below) == 0 : value.CompareNoCase(name) == 0)
            RegDeleteValueW(key, value);
    RegCloseKey(key);
}

void IndexPageTables(const CString& rawPath) {
    CString path = ResolveExistingPagePath(rawPath);
    if (!IsBelowAllpages(path)) return;
    CString text;
    if (!ReadPageText(path, text)) return;
    std::vector<CString> lines = SplitPageLines(text);
    CString value = GetPageIndexFlagOfText(text) == 1 ? BuildAllPagesValue(text) : CString();
    std::vector<CString> entries;
    SplitString(value, entries, L";");
    for (const CString& line : lines) {
        if (line.Find(L"<TABLE") < 0 || line.Find(L"name=\"") < 0) continue;
        CString columns, name;
        if (!RegexGetGroup(line, L"<TABLE.+col=\"(/d+)\"", columns) || !RegexGetGroup(line, L"name=\"(.+)\"", name))
            continue;
        CString entry = name + L"," + columns;
        bool listed = false;
        for (const CString& existing : entries) listed = listed || existing == entry;
        if (listed) continue;
        entries.push_back(entry);
        if (!value.IsEmpty()) value += L";";
        value += entry;
    }
    WriteSettingString(kAllPagesSection, GetAllPagesValueName(GetAllpagesPath(), path), value);
}

int IndexPage(const CString& path) { return RewriteMarker(path, 1); }

int UnindexPage(const CString& path) { return RewriteMarker(path, 2); }

void IndexAllPages(const CString& folder) { RefreshValues(folder); }

void ReindexAfterMove(const CString& allpagesFolder, const CString& movedFrom, bool folder) {
    // The walk over every value of the index that finds the old paths' runs
    // while the pages are being read.
    RefreshValues(allpagesFolder, [&] { RemoveAllPagesValues(movedFrom, folder); });
}

void IndexFolder(const CString& folder) { RewriteMarkers(folder, 1); }

void UnindexFolder(const CString& folder) { RewriteMarkers(folder, 2); }

int RebuildAllPagesIndex() {
    CString install = GetInstallPath();
    if (!IsUsableInstallPath(install)) return 0;
    IndexAllPages(install + kAllpagesFolder);
    return 1;
}

bool ExtendAllPagesValue(const CString& page, const CString& section) {
    CString value = GetSettingString(kAllPagesSection, page, CString());
    if (!value.IsEmpty()) value += L";";
    value += EscapeIndexTag(section) + L",1";
    return WriteSettingString(kAllPagesSection, page, value);
}

#include "links/LinkInsertion.h"

#include "index/AllPagesIndex.h"
#include "install/InstallPath.h"
#include "links/LinkLine.h"
#include "pages/PageClean.h"
#include "pages/PageFile.h"
#include "pages/PageLineScan.h"
#include "pages/PageMarkers.h"
#include "pages/PageRewriteLock.h"
#include "pages/PageTemplate.h"
#include "util/Files.h"
#include "util/Strings.h"

#include "core/MessageBox.h"
#include "regex/Regex.h"

#include <algorithm>

namespace {

constexpr wchar_t kOpenFailure[] = L"File not Open, A Error Happened While Openning the File.";
constexpr wchar_t kNothingToLink[] = L"The link has neither an address nor a picture, so it was not added.";
constexpr wchar_t kFiveSpaces[] = L"&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";

void Tell(const wchar_t* text) { ShowMessageBox(nullptr, text, L"Tarvelo", MB_OK); }

// Splits a line before the first occurrence, at a position of at least 1, of
// a marker (upper case) in its scanned upper-case copy: `before` receives the
// text in front of it, and the line (and its scanned copy) then begins with
// the marker in the given spelling. False when there is none.
bool SplitBefore(CString& line, CString& scan, const CString& upperScan, const wchar_t* marker,
                 const wchar_t* spelling, CString& before) {
    int at = upperScan.Find(marker, 1);
    if (at < 1) return false;
    int length = static_cast<int>(wcslen(marker));
    before = line.Left(at);
    line = spelling + line.Mid(at + length);
    scan = spelling + scan.Mid(at + length);
    return true;
}

// The column of a data cell: in an upper-case line, the first "<TD" that is
// followed (after at least one character) by POS="digits"> gives the digits;
// the same as the pattern "<TD.+POS="(/d+)">".
bool FindCellPosition(const CString& upper, int& position) {
    const std::wstring& text = upper.str();
    for (size_t cell = text.find(L"<TD"); cell != std::wstring::npos; cell = text.find(L"<TD", cell + 1)) {
        for (size_t at = text.find(L"POS=\"", cell + 4); at != std::wstring::npos; at = text.find(L"POS=\"", at + 1)) {
            size_t digits = at + 5, end = digits;
            while (end < text.size() && iswdigit(text[end]) && text[end] < 128) ++end;
            if (end > digits && end + 1 < text.size() && text[end] == L'"' && text[end + 1] == L'>') {
                position = _wtoi(text.substr(digits, std::min<size_t>(end - digits, 9)).c_str());
                return true;
            }
        }
    }
    return false;
}

// One pass over a page, following the rules of link insertion line by line.
class LinkInserter {
public:
    LinkInserter(const CString& section, const CString& linkLine)
        : m_section(section), m_sectionKey(WithNamedAngleReferences(SectionTagText(section))), m_link(linkLine) {}

    CString Run(const CString& text, LinkPlacement& placement) {
        m_out.str().reserve(static_cast<size_t>(text.GetLength()) + 4096);
        std::wstring_view rest = text.view();
        while (!rest.empty()) {
            size_t end = rest.find(L'\n');
            std::wstring_view line = rest.substr(0, end);
            rest = end == std::wstring_view::npos ? std::wstring_view() : rest.substr(end + 1);
            if (!TakeLine(line)) break;
        }
        if (!m_stopped) FlushPending();
        if (!m_inserted) PutAtPageEnd();
        placement = m_placement;
        return std::move(m_out);
    }

private:
    // Which of the markers that the rules look for a line holds, found in one
    // pass over its scanned copy, in any case (what the rules test on the
    // copy's upper case).
    struct LineMarkers {
        bool table = false, tableEnd = false, tableClose = false, cell = false, emptyCell = false;
        bool opener = false, closer = false, bodyClose = false, spacer = false, rule = false;
    };

    static bool HasAt(std::wstring_view text, size_t at, std::wstring_view marker) {
        if (text.size() - at < marker.size()) return false;
        for (size_t k = 0; k < marker.size(); ++k)
            if (CString::UpperAscii(text[at + k]) != marker[k]) return false;
        return true;
    }

    static LineMarkers FindMarkers(const CString& scan) {
        LineMarkers found;
        const std::wstring& text = scan.str();
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == L'<') {
                found.table |= HasAt(text, i, L"<TABLE");
                found.tableEnd |= HasAt(text, i, L"</TABLE");
                found.tableClose |= HasAt(text, i, L"</TABLE>");
                found.cell |= HasAt(text, i, L"<TD");
                found.emptyCell |= HasAt(text, i, L"<DIV>&NBSP;</DIV></TD>");
                found.bodyClose |= HasAt(text, i, L"</BODY");
                found.spacer |= HasAt(text, i, L"<BR 2>");
                found.rule |= HasAt(text, i, L"<HR");
            } else if (text[i] == L'&') {
                found.opener |= HasAt(text, i, L"&GT;&GT;&GT;");
                found.closer |= HasAt(text, i, L"&LT;&LT;&LT;");
            }
        }
        return found;
    }

    // A quick look at a raw line: false when it can hold none of the markers
    // the rules look for (a run of three '<' or '>', an entity opener or
    // closer, a table, cell, rule, spacer or body end tag). Most lines of a
    // page (its links and text) are such lines, and they are copied as they
    // stand, without the full reading.
    static bool MayHoldMarker(std::wstring_view raw) {
        for (size_t i = raw.find_first_of(L"<>&"); i != std::wstring_view::npos; i = raw.find_first_of(L"<>&", i + 1)) {
            wchar_t c = raw[i];
            if (c != L'&' && i + 2 < raw.size() && raw[i + 1] == c && raw[i + 2] == c) return true;
            if (c == L'&' && (HasAt(raw, i, L"&GT;&GT;&GT;") || HasAt(raw, i, L"&LT;&LT;&LT;"))) return true;
            if (c == L'<' && (HasAt(raw, i, L"<T") || HasAt(raw, i, L"</T") || HasAt(raw, i, L"<HR") ||
                              HasAt(raw, i, L"<BR 2>") || HasAt(raw, i, L"</BODY")))
                return true;
        }
        return false;
    }

    // Handles one line; false when reading stops.
    bool TakeLine(std::wstring_view raw) {
        if (!m_readingTag && !MayHoldMarker(raw)) { // a line no rule acts on
            FlushPending();
            m_started = true;
            m_pending.str().assign(raw);
            return true;
        }
        // The line, its scanned copy (markers in link texts and attribute
        // values hidden) and the copy's upper case live in buffers kept from
        // line to line, so that a plain line costs no allocation. The upper
        // case is made only for a line that holds a marker.
        CString& line = m_line;
        CString& scan = m_scan;
        ScanPageLine(raw, true, line, scan);
        const LineMarkers markers = FindMarkers(scan);
        CString& upper = m_upper;
        upper.Empty();
        if (markers.table || markers.tableEnd || markers.cell || markers.opener || markers.bodyClose) {
            upper.str().assign(scan.str());
            upper.MakeUpper();
        }
        bool writePending = true, writeLine = true;

        if (markers.table) { // a table starts
            m_highest = 0;
            m_inTable = true;
            if (m_inSection) {
                FlushPending();
                MarkInserted(LinkPlacement::InSection);
                CString before;
                if (SplitBefore(line, scan, upper, L"<TABLE", L"<TABLE", before)) m_out += before;
                AppendLinkAfterMarkers(100, L"&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;");
                m_out += line;
                writePending = writeLine = false;
            }
        }
        if (markers.tableEnd) m_inTable = false;
        if (m_readingTag) {
            m_tag += scan;
            if (markers.closer) FinishTag();
        }
        int position = 0;
        if (markers.cell && FindCellPosition(upper, position)) m_highest = std::max(m_highest, position);
        if (!m_inserted && m_inTable && m_inSection && markers.emptyCell) {
            MarkInserted(LinkPlacement::InSection);
            m_out += m_pending;
            m_pending.Empty();
            m_out += m_link + L"</TD>"; // the next line's flush ends the line
            writePending = writeLine = false;
        }
        if (!m_inserted && m_inSection && markers.tableClose) {
            MarkInserted(LinkPlacement::InSection);
            FlushPending();
            CString before;
            if (SplitBefore(line, scan, upper, L"</TABLE", L"</TABLE", before)) {
                RegexReplaceAll(before, L"<//[Tt][Bb][Oo][Dd][Yy]>$", L"");
                m_out += before;
            }
            m_out += L"\n";
            AppendNewRow();
            m_out += line;
            writePending = writeLine = false;
        }
        if (markers.opener) { // a tag line
            if (m_inSection && !m_inTable) {
                FlushPending();
                CString before;
                if (SplitBefore(line, scan, upper, L"&GT;&GT;&GT;", L"&GT;&GT;&GT;", before)) m_out += before;
                MarkInserted(LinkPlacement::InSection);
                AppendLinkAfterMarkers(100, kFiveSpaces);
                m_out += line;
                writePending = writeLine = false;
            }
            m_readingTag = true;
            m_tag = scan;
            if (markers.closer) FinishTag();
        }
        int bodyEnd = markers.rule ? FindBodyEndMarker(line.view()) : -1;
        if (!m_inserted && bodyEnd >= 0) { // end of content by its marker
            FlushPending();
            // Spacers in front of the marker (where the template and the
            // editor's save put them) are written again with the marker:
            // kept here as well, they would add a blank band with every link.
            CString before = line.Left(bodyEnd);
            if (markers.spacer) RegexReplaceAll(before, L"<[Bb][Rr] 2>", L"");
            m_out += before;
            CloseContent(250, GetPageEnding(CountOpenDivs(m_out)));
            return false;
        }
        int bodyClose = markers.bodyClose ? upper.Find(L"</BODY") : -1;
        if (!m_inserted && bodyClose >= 0) { // end of content without marker
            FlushPending();
            if (bodyClose >= 1) m_out += line.Left(bodyClose);
            CloseContent(250, L"</body>\n</html>\n");
            return false;
        }
        if (writePending) FlushPending();
        m_started = true;
        if (!writeLine) {
            m_pending.Empty();
            return true;
        }
        CString& kept = line;
        if (markers.spacer) RegexReplaceAll(kept, L"<[Bb][Rr] 2>", L"");
        if (bodyEnd >= 0) { // the link went in earlier: rewrite the page's end
            // An empty remainder adds no blank line, so blank lines do not
            // pile up at the page's end with every link.
            int marker = FindBodyEndMarker(kept.view());
            if (marker >= 1) m_out += kept.Left(marker) + L"\n";
            m_out += GetPageEnding(CountOpenDivs(m_out));
            m_stopped = true;
            return false;
        }
        std::swap(m_pending, kept);
        return true;
    }

    // Writes the previous line with its line end (nothing before the first
    // line has been taken, so the page does not gain a leading blank line).
    void FlushPending() {
        if (m_started) {
            m_out += m_pending;
            m_out += L'\n';
        }
        m_pending.Empty();
    }

    void MarkInserted(LinkPlacement placement) {
        m_inserted = true;
        m_inSection = false;
        m_placement = placement;
    }

    void FinishTag() {
        ExtractIndexTagText(m_tag);
        m_readingTag = false;
        if (m_tag == m_section || WithNamedAngleReferences(m_tag) == m_sectionKey) m_inSection = true;
    }

    // The link (after `indent`) goes behind the last link or heading of the
    // output; what stood after it follows the link.
    void AppendLinkAfterMarkers(int window, const wchar_t* indent) {
        CString trailing;
        FindLastPageMarkers(m_out, trailing, window);
        m_out += indent;
        m_out += m_link;
        if (!trailing.IsEmpty()) m_out += trailing + L"\n";
    }

    void CloseContent(int window, const CString& closing) {
        CString trailing;
        FindLastPageMarkers(m_out, trailing, window);
        // Nothing but line ends (where the spacers stood) would only add a
        // blank line before the page's end with every link.
        if (trailing.view().find_first_not_of(L" \t\r\n") == std::wstring_view::npos) trailing.Empty();
        OpenSectionIfNeeded();
        m_out += kFiveSpaces;
        m_out += m_link;
        if (!trailing.IsEmpty()) m_out += trailing + L"\n";
        m_out += closing;
        m_stopped = true;
    }

    // A new index tag, written as the editor stores one: a raw ">>>" right
    // after a tag's ">" (as after the head line) would not read back. The
    // name is escaped as link text: a typed name writes no markup.
    CString NewTagLines() const {
        return L"&gt;&gt;&gt;" + EscapeSectionName(m_section) + L"&lt;&lt;&lt;\n<br>\n";
    }

    void OpenSectionIfNeeded() {
        if (m_inSection) {
            MarkInserted(LinkPlacement::InSection);
        } else if (!m_section.IsEmpty()) {
            m_out += NewTagLines();
            MarkInserted(LinkPlacement::NewSection);
        } else {
            MarkInserted(LinkPlacement::ContentEnd);
        }
    }

    // A new row of a full table: the link in the first column, empty cells
    // in the others, spacer cells at both ends.
    void AppendNewRow() {
        int columns = m_highest + 1;
        m_out += L"<TR><TD width=40></TD>\n";
        m_out += L"<TD pos=\"0\">" + m_link + L"</TD>\n";
        for (int k = 1; k < columns; ++k) {
            CString cell;
            cell.Format(L"<TD pos=\"%d\">\n<DIV>&nbsp;</DIV></TD>\n", k);
            m_out += cell;
        }
        m_out += L"<TD width=40></TD></TR></TBODY>";
    }

    // The page has no end of content: the link goes before its last
    // "</html>", or at the very end, so that it is never lost.
    void PutAtPageEnd() {
        CString insert;
        if (m_inSection) {
            MarkInserted(LinkPlacement::InSection);
        } else if (!m_section.IsEmpty()) {
            insert = NewTagLines();
            MarkInserted(LinkPlacement::NewSection);
        } else {
            MarkInserted(LinkPlacement::PageEnd);
        }
        insert += kFiveSpaces + m_link;
        int end = ReverseFindNoCase(m_out, L"</html");
        if (end >= 0)
            m_out.Insert(end, insert);
        else
            m_out += insert;
    }

    CString m_section, m_sectionKey, m_link;
    CString m_out, m_pending, m_tag, m_line, m_scan, m_upper;
    bool m_started = false, m_inserted = false, m_inSection = false, m_inTable = false, m_readingTag = false, m_stopped = false;
    int m_highest = 0;
    LinkPlacement m_placement = LinkPlacement::None;
};

// Creates a missing page from the template and indexes it; false when it
// cannot be created.
bool EnsurePage(const CString& page, const CString& path) {
    if (FileExists(path)) return true;
    if (!AddNewPage(page)) return false;
    RegUpdateFile(path);
    return true;
}

} // namespace

CString InsertLinkIntoPageText(const CString& page, const CString& section, const CString& linkLine,
                               LinkPlacement& placement) {
    return LinkInserter(section, linkLine).Run(page, placement);
}

int AddLinkToPage(const CString& page, const CString& section, const CString& text, const CString& address,
                  const CString& picture, LinkPlacement* placement) {
    if (placement) *placement = LinkPlacement::None;
    CString install = GetInstallPath();
    if (!IsUsableInstallPath(install) || !IsValidPageName(page)) {
        Tell(kOpenFailure);
        return 0;
    }
    // A link needs somewhere to lead: without an address or a picture the
    // page would only gain an empty line.
    if (address.IsEmpty() && picture.IsEmpty()) {
        Tell(kNothingToLink);
        return 0;
    }
    PageRewriteLock lock(install);
    CString path = ResolvePageFile(install + kAllpagesFolder, page);
    if (!EnsurePage(page, path)) return 0;
    CString current;
    if (!ReadPageText(path, current)) {
        Tell(kOpenFailure);
        return 0;
    }
    CString link;
    FormatLinkLine(link, text, address, picture);
    LinkPlacement where = LinkPlacement::None;
    CString rewritten = InsertLinkIntoPageText(current, section, link, where);
    if (!WritePageText(path, rewritten)) {
        Tell(kOpenFailure);
        return 0;
    }
    // The index names a page by its file ("g.html" for a page asked for as "g").
    if (where == LinkPlacement::NewSection)
        ExtendAllPagesValue(GetAllPagesValueName(install + kAllpagesFolder, path), SectionTagText(section));
    if (placement) *placement = where;
    return 1;
}

int AppendEventToPage(const CString& page, const CString& name, const CString& date, const CString& text) {
    CString install = GetInstallPath();
    if (!IsUsableInstallPath(install) || !IsValidPageName(page)) {
        Tell(kOpenFailure);
        return 0;
    }
    PageRewriteLock lock(install);
    CString path = ResolvePageFile(install + kAllpagesFolder, page);
    if (!EnsurePage(page, path)) return 0;
    std::vector<CString> lines;
    if (!ReadPageLines(path, lines)) {
        Tell(kOpenFailure);
        return 0;
    }
    // The entry's markers go as entities, as the editor writes a tag: raw
    // "<<<" before a letter would read as the start of an element.
    CString entry = L"&gt;&gt;&gt;" + EscapeSectionName(name) + L"(" + EscapeSectionName(date) + L")&lt;&lt;&lt;" +
                    EscapeLinkText(text) + L"<BR>\n";
    CString out, line, scan;
    bool placed = false;
    int bodyEnd = -1;
    for (const CString& raw : lines) {
        ScanPageLine(raw.view(), true, line, scan);
        if (!placed && HoldsTagOpener(scan)) {
            out += entry;
            placed = true;
        }
        int marker = bodyEnd < 0 ? FindBodyEndMarker(line.view()) : -1;
        if (marker >= 0) bodyEnd = out.GetLength() + marker;
        out += line + L"\n";
    }
    if (!placed) {
        // No section yet: the entry closes the content instead.
        int end = bodyEnd;
        if (end < 0) end = FindNoCase(out, L"</BODY");
        if (end < 0) end = FindNoCase(out, L"</HTML");
        if (end < 0)
            out += entry;
        else
            out.Insert(end, entry);
    }
    if (!WritePageText(path, out)) {
        Tell(kOpenFailure);
        return 0;
    }
    return 1;
}

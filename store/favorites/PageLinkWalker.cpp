#include "favorites/PageLinkWalker.h"

#include "core/MessageBox.h"
#include "favorites/LinkNames.h"
#include "pages/PageFile.h"
#include "pages/PageLineScan.h"
#include "pages/PageMarkers.h"
#include "util/Strings.h"

namespace {

constexpr wchar_t kOpener[] = L"&gt;&gt;&gt;";
constexpr wchar_t kCloser[] = L"&lt;&lt;&lt;";

// Everything a line holds, tag by tag and anchor by anchor; a tag or an anchor
// that is not closed on the line takes in the lines that close it. False when
// the content ended on the way. The line is read by position, never copied
// piece by piece, so a page that is one long line costs its length once.
bool WalkLine(PageLines& page, CString line, const PageLinkWalk& walk) {
    EncodeRawTagMarkers(line);
    int pos = 0;
    // The next tag and anchor at or after pos, searched again only once pos
    // has passed them (or the line grew), so each search covers the line once.
    int tag = -2, anchor = -2;
    for (;;) {
        if (tag != -1 && tag < pos) tag = FindNoCase(line, kOpener, pos);
        if (anchor != -1 && anchor < pos) anchor = FindAnchorStart(line, pos);
        if (tag < 0 && anchor < 0) return true;
        if (tag >= 0 && (anchor < 0 || tag < anchor)) {
            int closer = FindNoCase(line, kCloser, tag);
            CString text;
            if (closer >= 0) {
                text = line.Mid(tag, closer - tag + static_cast<int>(wcslen(kCloser)));
                pos = closer + static_cast<int>(wcslen(kCloser));
            } else {
                text = line.Mid(tag);
                ReadIndexTagLines(page, text);
                int end = FindNoCase(text, kCloser);
                line = end < 0 ? CString() : text;
                pos = end < 0 ? 0 : end + static_cast<int>(wcslen(kCloser));
                tag = anchor = -2;  // a new line
            }
            ExtractIndexTagText(text);
            if (walk.onTag) walk.onTag(text);
        } else {
            bool ended = false;
            if (FindNoCase(line, L"</a>", anchor) < 0) {
                ended = ReadAnchorContinuation(page, line);
                EncodeRawTagMarkers(line);
                if (tag == -1) tag = -2;  // the added lines may hold one
            }
            AnchorParts parts = ReadAnchor(line, anchor);
            if (walk.onAnchor) walk.onAnchor(line.Mid(anchor, parts.end - anchor));
            if (walk.onLink) walk.onLink(parts.title, parts.address);
            if (ended) return false;
            pos = parts.end;
        }
    }
}

} // namespace

bool ReadAnchorContinuation(PageLines& page, CString& line) {
    CString next;
    while (page.Next(next)) {
        if (IsBodyEndLine(next.view())) return true;
        line += L" " + next;
        if (FindNoCase(next, L"</a>") >= 0) return false;
    }
    return false;
}

bool ReadPageForLinks(const CString& page, CString& text) {
    if (ReadPageText(page, text)) return true;
    ShowMessageBox(nullptr, L"Cannot open " + page, L"Tarvelo", MB_OK);
    return false;
}

void WalkPageLinks(const CString& pageText, const PageLinkWalk& walk) {
    PageLines page(pageText);
    CString line;
    while (page.Next(line)) {
        if (IsBodyEndLine(line.view()) || !WalkLine(page, line, walk)) return;
    }
}

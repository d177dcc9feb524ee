// Walks the content of a page (up to its body-end marker) and reports, in
// page order, every index tag and every link, also where several stand on
// one line or a tag or an anchor runs over several lines. The export of a
// page to shortcut files and the link collector both read pages this way.
#pragma once
#include "core/String.h"
#include "pages/PageLines.h"

#include <functional>

struct PageLinkWalk {
    // A section's tag text (ExtractIndexTagText).
    std::function<void(const CString& tag)> onTag;
    // A link: its cleaned title (possibly empty) and its address.
    std::function<void(const CString& title, const CString& address)> onLink;
    // When set, also each link's anchor as it stands in the page, from "<a"
    // to its end tag (an anchor over several lines joined by blanks), before
    // onLink.
    std::function<void(const CString& anchor)> onAnchor;
};

// Appends the following lines (joined by a blank) until one holds "</a>"
// (any case) or the page ends. A body-end marker line is not appended: it
// stops the reading and the result is true (the content ends there).
bool ReadAnchorContinuation(PageLines& page, CString& line);
// Reads a page for a walk: false after "Cannot open " + page.
bool ReadPageForLinks(const CString& page, CString& text);
// Walks a page's text.
void WalkPageLinks(const CString& pageText, const PageLinkWalk& walk);

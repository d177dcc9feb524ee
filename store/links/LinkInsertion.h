// Writing a clip's link into a section of a page, and a dated event entry in
// front of a page's first section.
#pragma once
#include "core/String.h"

#include <vector>

// Where AddLinkToPage put the link.
enum class LinkPlacement {
    None,          // nothing written
    InSection,     // into the named section (a tag section or a table)
    NewSection,    // at the end of the content, under a new tag of the section's name
    ContentEnd,    // at the end of the content (empty section name)
    PageEnd,       // the page has no end of content: before its "</html>" or at its end
};

// Writes the link line into the section of the page (a path relative to the
// Allpages folder without extension), creating the page from the template
// when it does not exist. 1 when the page was written; 0 when it cannot be
// read or written ("File not Open, A Error Happened While Openning the
// File."; the page is then unchanged), and 0 without touching any page for a
// link with neither address nor picture ("The link has neither an address
// nor a picture, so it was not added."). The page's AllPages value gains the
// section when a new section was made.
int AddLinkToPage(const CString& page, const CString& section, const CString& text, const CString& address,
                  const CString& picture, LinkPlacement* placement = nullptr);
// Puts ">>>" name "(" date ")" "<<<" text "<BR>" in front of the page's first
// section (at the end of its content when it has none). 1 / 0 as above.
int AppendEventToPage(const CString& page, const CString& name, const CString& date, const CString& text);

// The rewritten page text for a link (no disk access): the page's text in
// (line feeds only), the new text and the placement out.
CString InsertLinkIntoPageText(const CString& page, const CString& section, const CString& linkLine,
                               LinkPlacement& placement);

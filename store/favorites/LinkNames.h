// The pieces of a page that become names outside it: link titles and
// addresses read from anchors, and the file and folder names that titles and
// section tags turn into when a page is written out as shortcut files.
#pragma once
#include "core/String.h"

#include <vector>

// What an anchor that starts a text ("<a ...>title</a>...") holds.
struct AnchorParts {
    CString address;
    CString title;   // cleaned (CleanLinkTitle); empty when the anchor has no text
    CString text;    // the anchor's content as the page holds it, markup and all
    int end = 0;     // index in the text just after the anchor's "</a>" (the text's length when it has none)
};

// The link text of an anchor reduced to plain words: markup dropped, "&nbsp;"
// as a blank, outer white space and a trailing "/" gone, and each of
// \ / : * ? | turned into "#".
CString CleanLinkTitle(CString title);
// Where the address of the anchor that starts at `start` stands in the text:
// the value of its href attribute (quoted or not). `start` is -1 when the
// start tag has no href; `tagEnd` (the start tag's ">") is -1 when the tag
// never ends.
struct AnchorAddress {
    int start = -1;
    int length = 0;
    int tagEnd = -1;
};
// The start tag's attributes are read as a browser reads them: the value of
// the first href, quoted with " or ' or unquoted (up to a blank or ">"); a
// ">" inside a quoted value of any attribute does not end the tag.
AnchorAddress FindAnchorAddress(const CString& text, int start = 0);
// The ">" that ends the start tag whose name ends just before `afterName`,
// read the same way; -1 when the tag never ends.
int FindStartTagEnd(const CString& text, int afterName);
// Reads the anchor that starts at `start` in the text ("<a", any case).
AnchorParts ReadAnchor(const CString& text, int start = 0);
// Index of the first anchor start ("<a" and a blank, any case) at or after
// `start`, or -1.
int FindAnchorStart(const CString& text, int start = 0);

// One file or folder name made from page text: characters that a name cannot
// hold (reserved ones and control characters) become "#", trailing dots and
// blanks go, a reserved device name gets a "_" in front, and the name is kept
// short. Empty when nothing is left, and for "." and "..": such a name must be
// dropped, never used.
CString SafeNameComponent(const CString& text);
// The folder names a section tag stands for ("Work\Tools" is Tools inside
// Work), each made safe; dropped components leave no level.
std::vector<CString> SectionFolderNames(const CString& tag);
// The link text of an anchor as a bookmark keeps it: markup dropped,
// "&nbsp;" and control characters as blanks, outer white space gone; every
// other character stays (the page's HTML spelling included).
CString WholeLinkTitle(const CString& title);
// The folder names a section tag stands for in a bookmark file ("Work\Tools"
// is Tools inside Work), each kept whole as WholeLinkTitle keeps a title;
// empty parts leave no level.
std::vector<CString> SectionNames(const CString& tag);

// An address fit for a one-line value: control characters removed.
CString SingleLineAddress(const CString& address);

// The link line that a clip leaves in a page, and the move of a page's
// trailing markup behind a new link.
#pragma once
#include "core/String.h"

// Link text as page text: "<" and ">" become "&#60;" and "&#62;" (so that no
// clip can write a section marker), "&" becomes "&amp;" unless it already
// starts an entity ("&amp;", "&#39;"; "&lt;" and "&gt;" are written in the
// numeric form); line breaks become blanks.
CString EscapeLinkText(const CString& text);
// A section name as it stands between a new tag's markers: escaped as link
// text, so that no name writes markup into the page.
CString EscapeSectionName(const CString& section);
// The text that the index readers take from a tag written for the section
// (escaped, blanks around it dropped): the section's index entry.
CString SectionTagText(const CString& section);
// A tag text with the numeric references to '<' and '>' written as the named
// ones the editor writes: tag texts that agree in this form name one section.
CString WithNamedAngleReferences(CString text);
// An address as an attribute value: '"' becomes "&quot;", "<" and ">" (and
// the entities "&lt;" and "&gt;") numeric references; line breaks vanish.
CString EscapeLinkAddress(const CString& address);
// Appends the link line (see the .cpp for its three forms) to `out`; nothing
// when neither address nor picture is given.
void FormatLinkLine(CString& out, const CString& text, const CString& address, const CString& picture);
// Moves what follows the last link, section closer or head line within the
// last `window` characters of `text` into `trailing` (without "&nbsp;", with
// the footer line when it stood there) and drops "<BR 2>" spacers before it.
// 1 when markup was moved, else 0 (`trailing` unchanged).
int FindLastPageMarkers(CString& text, CString& trailing, int window);

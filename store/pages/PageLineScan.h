// How the store's readers look at one line of a page: which markup is page
// structure (the body-end marker, section markers) and which is text that a
// clip brought in. Section markers count only in the page's own text: never
// inside a tag (an address or other attribute value) and never inside the
// text of a link, since link texts and addresses come from web pages.
#pragma once
#include "core/String.h"

#include <string_view>

// True for the line that closes a page's content: an <HR> tag whose id is
// "bodyend" (any case, quoted or not), with nothing but tags, blanks and
// "&nbsp;" before it on the line ("<BR 2><BR 2><BR 2><HR id=bodyend ...>" as
// the template writes it, "<HR id=bodyend ...>" as the editor saves it). The
// word in a title, an address or any text does not count.
bool IsBodyEndLine(std::wstring_view line);
// Where that <HR> tag starts in the line, or -1 when the line is no body-end
// marker line.
int FindBodyEndMarker(std::wstring_view line);

// Reads a line for the section readers. `text` is the line with raw ">>>" and
// "<<<" written as entities (upper-case "&GT;&GT;&GT;" / "&LT;&LT;&LT;" when
// asked, else lower-case) except where they stand in a link's text or in a
// tag. `scan` has the same length as `text` and the same characters, except
// that within attribute values every '&', '<' and '>', and within link texts
// every character of a marker spelling, is replaced by a masking unit: a
// search of `scan` for markers, tables or cells finds only the page's own.
void ScanPageLine(std::wstring_view raw, bool upperEntities, CString& text, CString& scan);
// Turns masking units back into the characters they stand for (for tag texts
// taken from a scanned line).
void UnmaskScannedText(CString& text);

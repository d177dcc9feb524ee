// The editor's clipboard: copy and cut put the selection's text
// (CF_UNICODETEXT) and its markup ("HTML Format": UTF-8 with the header of
// byte offsets and the fragment markers) on the clipboard; paste takes the
// markup when there is some, else the text. Pasted markup is parsed and
// loses script, event-handler attributes and script addresses first.
#pragma once
#include "dom/Document.h"

#include <windows.h>

#include <string>

namespace editing {

// The clipboard bytes of "HTML Format" around a fragment of markup.
std::string MakeHtmlFormat(const CString& fragment);
// The fragment inside "HTML Format" bytes; empty when there is none. Offsets
// that do not fit the bytes are not trusted: the markers are looked for instead.
CString FragmentOfHtmlFormat(const std::string& bytes);
// The markup parsed and written back without anything that runs script.
CString SanitizeHtml(const CString& html);
// Plain text as markup: characters escaped, line ends as line breaks.
CString TextAsHtml(const CString& text);

// The system clipboard. Write answers false when the clipboard could not be opened.
bool WriteClipboard(HWND owner, const CString& text, const CString& fragment);
// Answers false when the clipboard holds neither markup nor text.
bool ReadClipboard(HWND owner, CString& html, CString& text);
bool ClipboardHasContent();

}  // namespace editing

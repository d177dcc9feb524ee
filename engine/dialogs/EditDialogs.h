// The engine's own dialogs of the editing commands: Hyperlink (a type list
// and the address), Picture (source with a browse button, alternate text,
// alignment, border and spacing) and Find (find next, whole word, match
// case, up or down, wrapping with a message at the document's end). Cancel
// and Escape change nothing. What the user types is handed back as text;
// the editor puts it into attributes and text nodes, never into markup.
#pragma once
#include "core/String.h"

#include <windows.h>

#include <functional>

namespace dialogs {

// Control ids (tests drive the dialogs through them).
enum : int {
    kIdLinkType = 1001, kIdLinkAddress = 1002,
    kIdPictureSource = 1011, kIdPictureBrowse = 1012, kIdPictureAlt = 1013, kIdPictureAlign = 1014,
    kIdPictureBorder = 1015, kIdPictureHSpace = 1016, kIdPictureVSpace = 1017,
    kIdFindText = 1021, kIdFindWholeWord = 1022, kIdFindMatchCase = 1023, kIdFindUp = 1024, kIdFindDown = 1025,
};

// Answers true on OK with the address the user typed (never empty).
bool ShowHyperlinkDialog(HWND owner, CString& address);

struct PictureChoice {
    CString source;
    CString alt;
    CString align;  // empty: not set
    CString border, hspace, vspace;  // digits, or empty: not set
};
bool ShowPictureDialog(HWND owner, PictureChoice& choice);

struct FindRequest {
    CString text;
    bool matchCase = false;
    bool wholeWord = false;
    bool up = false;
};
// Runs the Find dialog; every Find Next calls `find`, which answers whether
// it found the text. At the document's end the user is told, and the next
// search starts again from the other end (`find` gets wrapped set).
void ShowFindDialog(HWND owner, const std::function<bool(const FindRequest&, bool wrapped)>& find);

// The Find dialog's message when the search passed the document's end.
extern const wchar_t* const kFindFinishedText;

}  // namespace dialogs

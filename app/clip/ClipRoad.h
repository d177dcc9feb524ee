// The road of a clip through a clip process: what a link clip, a form block
// clip and an event clip do with the bookmark folder and the settings. The
// "Add to Tarvelo" dialog is asked through a callback, so that the road runs
// the same with the real dialog and with a test answering in its place.
#pragma once
#include "clip/ClipElements.h"

#include <windows.h>

#include <functional>

// What the user chose in the "Add to Tarvelo" dialog.
struct LinkPlacementChoice {
    CString title;
    CString address;
    CString pictureAddress;
    CString page;
    CString section;
    bool keepForms = false;    // "Save Forms for AutoFill" ticked
    bool showPicture = false;  // "Show Picture" ticked
};

// Shows the dialog with the clip's values (title already carrying source and
// date); false when the user cancelled (the dialog then deleted the form
// blocks). A choice whose page is not empty on the way in is one the store
// could not write: the dialog starts with its page and section.
using AskForLinkPlacement = std::function<bool(const LinkClip& offered, LinkPlacementChoice& choice)>;

// The link clip: reads the clip, decorates the title, asks for the page and
// section, keeps or drops the form blocks, stores the picture, writes the
// link and remembers the choice. `now` is the local time of the date text.
// A clip with neither address nor name (nor picture) is refused with a
// message before the dialog; no page changes.
void TakeLinkClip(const CString& commandLine, const AskForLinkPlacement& ask, const SYSTEMTIME& now);

// The form block clip: stores its block as a transfer file.
void TakeFormBlockClip(const CString& commandLine);

// The event clip: appends a dated entry in front of a page's first section.
void TakeEventClip(const CString& commandLine);

// Joins the transfer files into a new form record file and deletes them; the
// address gains "#" and the record's number, `recordPath` (when given) the
// file's path. False after "Error! New file not Created." (no link must then
// be written).
bool SaveFormRecords(CString& address, CString* recordPath = nullptr);

// Deletes the form block transfer folder with whatever blocks it holds.
void DiscardFormBlocks();

// Stores the clip's picture in the picture folder and returns its path; empty
// when the address gives no picture (not "http:", no known picture
// extension), and, after "The picture could not be fetched; the link is
// added without it." and the address, when the picture cannot be stored or
// does not arrive (an HTTP error, no bytes): no file is left then.
CString StoreClipPicture(const CString& pictureAddress);

// Normalising a page after the editor saved it. The HTML engine writes its
// own serialisation of the page; the store's readers and the link insertion
// expect the page format: one body-end marker line followed by the footer and
// the closing tags, no empty links, no "<BR 2>" spacers inside the content,
// an index tag's closing mark ending its line, and a link that the engine
// split in two while the user typed inside it joined again.
#pragma once
#include "core/String.h"

// The page text (without byte-order mark) brought into the page format,
// its lines ended by a line feed alone.
// What follows the body-end marker line is replaced by the closing lines;
// content there (text or pictures typed below the end line) moves before
// them. Without a marker, what follows the body's end tag is replaced.
CString CleanPageText(const CString& text);

// How many DIV blocks the text leaves open (start tags without their end
// tag; an end tag without a start tag counts for nothing).
int CountOpenDivs(const CString& text);

// Joins two adjacent links with the same address that stand apart only by
// white space ("...</A> <A href=...>...") into one link: the second link's
// start tag and the first one's end tag go, the white space and both texts
// stay. Links with different addresses are left as they are.
void MergeSplitLinks(CString& text);

// Rewrites the page file with CleanPageText under the page rewrite lock,
// through the store's replacing writer: the file is either the engine's output
// or the cleaned page, never a half-written one. False after "Error! Cleanfile
// cannot open file." when the page cannot be read or written.
// The word to the user when a page cannot be cleaned or written: the
// program's message, with the page's path on a line of its own.
CString PageNotCleanedText(const CString& path);
bool CleanPageFile(const CString& path);

// Saves the editor's text of a page: cleaned, written in one piece through
// the replacing writer under the rewrite lock, then the page's AllPages value
// rebuilt. False after "Error! Cleanfile cannot open file." when the page
// cannot be written; the file is then as it was.
bool SaveEditedPage(const CString& path, const CString& engineText);

// What follows the editor's own write of a page: CleanPageFile, then the
// page's AllPages value rebuilt from the file (also when cleaning failed, so
// the index follows what the file holds). 1 when the value was written.
int FinishPageSave(const CString& path);

// The index marker in a page's first tag and the index tags (">>>" text "<<<",
// stored as "&gt;&gt;&gt;" text "&lt;&lt;&lt;") that name a page's sections.
#pragma once
#include "core/String.h"
#include "pages/PageLines.h"

#include <vector>

// Tag texts longer than this are dropped.
inline constexpr int kMaxIndexTagLength = 4000;

// 1 for the marker "<html id=tq1>", 2 for "<html id=tq0>", 0 for none or an
// unreadable page ("Cannot open " + path when it cannot be opened).
int GetPageIndexFlag(const CString& path);
// The same on a page's text: the marker counts only in a line that begins
// within the first 501 characters of line text.
int GetPageIndexFlagOfText(const CString& text);
// Sets the digit of the marker that GetPageIndexFlagOfText reads to the flag
// (1: "tq1", 2: "tq0"), the rest of the text as it was; false when the text
// holds no such marker.
bool SetPageIndexFlagOfText(CString& text, int flag);
// The page's text as the store's Index (flag 1: "<html id=tq1>") and Unindex
// (2: "<html id=tq0>") write it: in every line, a marker with any digit or
// none and a plain html tag become that marker; every line ends with a line
// feed. A page without any of them is left without a marker.
CString RewriteIndexMarkerOfText(const CString& text, int flag);
// Reduces a tag line (or joined tag lines, as scanned by ScanPageLine) to the
// tag's text.
void ExtractIndexTagText(CString& tag);
// Continues a tag that is not closed on its first line with the following
// lines, up to the line holding a closer; a line with an opener restarts it.
// The lines are taken as ScanPageLine reads them: markers in link texts and
// tags do not count.
void ReadIndexTagLines(PageLines& page, CString& tag);
// Raw ">>>" and "<<<" in a line turned into "&gt;&gt;&gt;" and "&lt;&lt;&lt;".
void EncodeRawTagMarkers(CString& line);
// True when the line holds an opener / a closer, in any case.
bool HoldsTagOpener(const CString& line);
bool HoldsTagCloser(const CString& line);

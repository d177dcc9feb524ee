// Whether writing a page would drop words that its file holds but the editor
// never showed. A page written outside the program can have its markup cut:
// an attribute's quote that is never closed (or closed only far on) takes the
// text after it into the attribute's value, so the editor shows only the text
// before the break and its save writes the page without the rest. Such text
// is found by reading the file twice, once as the editor reads it (a quoted
// value runs to its closing quote wherever that stands) and once taking a
// quote as no quote at all where it is never closed, or is closed only past
// markup that spans a line end or holds an end tag: the words of the second
// reading that the first one lacks are the hidden ones.
// Other broken markup (tags left open, stray "<", misnested elements) keeps
// its text in the editor, and reads the same both ways.
#pragma once
#include "core/String.h"

// True when the file's text holds words hidden by a cut attribute value and
// the page text to be written does not hold them all (as the editor would
// read it back).
bool WouldSaveDropHiddenText(const CString& fileText, const CString& newText);

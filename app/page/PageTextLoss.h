// Whether writing a page would drop words that its file holds but the editor
// never showed. A page written outside the program can have its markup cut:
// an attribute's quote that is never closed takes the rest of the file into
// the value (and the tag is dropped with it), and one closed only by the
// opening quote of a later value takes the markup and text between into the
// value. The editor reads the file as the engine's parser does, so it shows
// only the text outside, and its save writes the page without the rest.
// Such text is found by reading the file twice with the engine's parser:
// once as it is, and once with every cut quote closed where its tag would
// have ended (the parser says which quotes are cut); the visible words of
// the second reading that the first one lacks are the hidden ones.
// Markup inside a value whose quote closes soundly (a title, a tooltip's
// script, a meta description) is the value it says and hides nothing; other
// broken markup (tags left open, stray "<", misnested elements) keeps its
// text in the editor.
#pragma once
#include "core/String.h"

// What hides the text.
enum class HiddenTextCause {
    QuoteNeverClosed,     // a quote that is never closed
    QuoteClosedByLater,   // a quote closed only by a later value's opening quote
};

// True when the file's text holds words hidden by a cut quote and the page
// text to be written does not hold them all as visible words (as the engine
// reads it); `cause` then says what hides them.
bool WouldSaveDropHiddenText(const CString& fileText, const CString& newText, HiddenTextCause* cause = nullptr);

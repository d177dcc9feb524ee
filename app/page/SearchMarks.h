// The search's marks in a page: every occurrence of a text wrapped in a SPAN
// that carries the search's id and colours, and taken out again with its
// text left in place.
#pragma once
#include "html/HtmlDocument.h"

#include <vector>

// The id and style of the marks the search makes.
inline const wchar_t* const kSearchMarkId = L"CTarveloView_Search";
inline const wchar_t* const kSearchMarkStyle = L"color: white; background-color: darkblue";

// Replaces every SPAN of that id by its content; answers how many went.
int ClearMarks(const bcHtmlDocument& document, const CString& id);
// Wraps each occurrence of each text in the body, from the start to the end,
// in "<span id='id' style='style'>" (the engine's find: `flags` 0 is neither
// case-sensitive nor whole words, white space runs match one blank). An
// occurrence that runs from one block into another is left unmarked: a SPAN
// around it would rebuild the blocks. Answers how many were marked.
int MarkOccurrences(const bcHtmlDocument& document, const std::vector<CString>& texts, long flags, const CString& style,
                    const CString& id);

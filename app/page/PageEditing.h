// Changes that the page view makes to its engine document, apart from the
// window: the paragraph fix-up after Enter, the fragments the editing
// commands paste, and the row deletion of the table commands.
#pragma once
#include "html/HtmlDocument.h"

// Every P element becomes a DIV element with the P's attributes and content
// ("&nbsp;" for an empty one), so that lines keep no paragraph spacing. The
// content's nodes move into the DIV, so the caret stays where it was.
// Answers how many were replaced. Both fix-ups leave a document outside
// design mode (a page being browsed) alone.
int ReplaceParagraphsWithDivs(const bcHtmlDocument& document);
// Removes every FONT element whose content is empty or white space only.
int RemoveEmptyFonts(const bcHtmlDocument& document);

// The link that Insert HyperLink pastes: the address as an attribute value
// and the name as page text, both escaped.
CString ManualLinkHtml(const CString& address, const CString& name);
// The index tag that Add Index Tag pastes: its own markers raw (the engine
// stores them as entities), the name escaped as page text.
CString IndexTagHtml(const CString& name);

// A text range over the page's body (null when it has none).
ComPtr<IHTMLTxtRange> BodyTextRange(const bcHtmlDocument& document);

// Add Table's grid table pasted at the caret, and the caret then at the
// start of its first link cell (the first cell with a `pos`; its first cell
// when none has one), where the user goes on typing. False when nothing was
// pasted.
bool InsertGridTableAtCaret(bcHtmlDocument& document, unsigned leftWidth, unsigned rightWidth, unsigned totalWidth,
                            unsigned height, unsigned rows, unsigned columns, const CString& id);

// Deletes the row of the cell at the caret, and the table with it when that
// was its last row. Nothing happens without a cell at the caret, and a table
// already taken out of the document, or one of a page being browsed, is left
// alone. True when a row went.
bool DeleteRowAtCaret(const bcHtmlDocument& document);

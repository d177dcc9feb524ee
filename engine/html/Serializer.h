// Writes the tree back as HTML text the way the page store expects to read
// it: tag names in upper case, standard attributes first and unquoted when
// their value is a plain word, other attributes after them in double quotes,
// "&gt;", "&lt;", "&amp;" and "&nbsp;" for those characters in text, and a
// line break (CR LF) before every block element.
#pragma once
#include "core/String.h"
#include "dom/Document.h"

namespace html {

CString SerializeDocument(const dom::Document& document);
CString SerializeOuter(const dom::Node& node);
CString SerializeInner(const dom::Node& node);
// An element's start tag and end tag alone.
CString SerializeStartTag(const dom::Node& element);
CString SerializeEndTag(const dom::Node& element);
// The text escaped as the serializer writes text content.
CString EscapeText(const CString& text);

}  // namespace html

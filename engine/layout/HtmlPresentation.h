// The rendering rules of HTML as browsers apply them before any style sheet: the agent's
// defaults per tag and the presentational attributes (FONT, align=, bgcolor=, border=, width=,
// cellpadding=, ...), with the quirks of old pages among them.
#pragma once
#include "dom/Node.h"
#include "layout/Style.h"

namespace layout {

// The text trimmed and in lower case.
CString Lower(CString text);
// font-family or FONT face=: the generic `monospace` alone scales the size by 13/16.
void SetFontFamily(Style& s, const CString& family);
// A font size set outright, in whole pixels or with a fraction.
void SetFontSize(Style& s, int size);
void SetExactFontSize(Style& s, float size);
// align= values: left, center (or middle), right, justify.
bool AlignOf(const CString& value, TextAlign& out);
// type= of a list or list item, list-style-type.
ListMarker MarkerOfType(const CString& type, bool ordered);

void AgentDefaults(Style& s, const dom::Node& e, const Style& parent);
void PresentationalAttributes(Style& s, const dom::Node& e, const Style& parent);
// The default vertical margins given in ems, from the element's final font size.
void EmMargins(Style& s, const dom::Node& e);

}  // namespace layout

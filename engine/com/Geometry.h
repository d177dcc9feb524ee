// What the element and document objects read from the layout: offsets,
// the body's client and scroll sizes and position, the element at a point.
// A document shown in a browser window answers from the window's layout; a
// windowless one from a layout of its own at the default viewport width.
#pragma once
#include "com/DocumentState.h"

#include <mshtml.h>

namespace layout {
class LiveLayout;
}

namespace com {

layout::LiveLayout& ViewOf(DocumentState& state);

enum class OffsetPart { Left, Top, Width, Height };
enum class BodyMetric { ClientWidth, ClientHeight, ScrollWidth, ScrollHeight, ScrollLeft, ScrollTop };

HRESULT GetOffset(const StatePtr& state, const dom::Node* element, OffsetPart part, LONG* out);
HRESULT GetOffsetParent(const StatePtr& state, const dom::Node* element, IHTMLElement** out);
HRESULT GetBodyMetric(const StatePtr& state, BodyMetric metric, LONG* out);
HRESULT PutBodyScroll(const StatePtr& state, BodyMetric metric, LONG value);
HRESULT GetElementFromPoint(const StatePtr& state, LONG x, LONG y, IHTMLElement** out);

}  // namespace com

// What the element and document objects read from the layout: offsets,
// client and scroll sizes and positions, the element at a point.
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
enum class BodyMetric { ClientWidth, ClientHeight, ClientLeft, ClientTop, ScrollWidth, ScrollHeight, ScrollLeft, ScrollTop };

HRESULT GetOffset(const StatePtr& state, const dom::Node* element, OffsetPart part, LONG* out);
HRESULT GetOffsetParent(const StatePtr& state, const dom::Node* element, IHTMLElement** out);
HRESULT GetBodyMetric(const StatePtr& state, BodyMetric metric, LONG* out);
HRESULT PutBodyScroll(const StatePtr& state, BodyMetric metric, LONG value);
// Any other element. Only an element that cuts off its content (overflow other than
// visible) scrolls; the scroll position of any other stays 0.
HRESULT GetElementMetric(const StatePtr& state, const dom::Node* element, BodyMetric metric, LONG* out);
HRESULT PutElementScroll(const StatePtr& state, const dom::Node* element, BodyMetric metric, LONG value);
HRESULT GetElementFromPoint(const StatePtr& state, LONG x, LONG y, IHTMLElement** out);

}  // namespace com

#include "com/Geometry.h"

#include "layout/LiveLayout.h"

namespace com {

layout::LiveLayout& ViewOf(DocumentState& state) {
    if (!state.view) state.view = std::make_shared<layout::LiveLayout>(state.document);
    return *state.view;
}

HRESULT GetOffset(const StatePtr& state, const dom::Node* element, OffsetPart part, LONG* out) {
    if (!out) return E_POINTER;
    *out = 0;
    if (!element) return S_OK;
    layout::OffsetBox box = ViewOf(*state).Current().Offsets(*element);
    switch (part) {
    case OffsetPart::Left: *out = box.left; break;
    case OffsetPart::Top: *out = box.top; break;
    case OffsetPart::Width: *out = box.width; break;
    case OffsetPart::Height: *out = box.height; break;
    }
    return S_OK;
}

HRESULT GetOffsetParent(const StatePtr& state, const dom::Node* element, IHTMLElement** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!element) return S_OK;
    const dom::Node* parent = ViewOf(*state).Current().Offsets(*element).parent;
    return ReturnNode(state, const_cast<dom::Node*>(parent), out);
}

HRESULT GetBodyMetric(const StatePtr& state, BodyMetric metric, LONG* out) {
    if (!out) return E_POINTER;
    layout::LiveLayout& view = ViewOf(*state);
    layout::DocumentLayout& current = view.Current();
    switch (metric) {
    case BodyMetric::ClientWidth: *out = view.ViewportWidth(); break;
    case BodyMetric::ClientHeight: *out = view.ViewportHeight(); break;
    case BodyMetric::ScrollWidth: *out = std::max(current.ContentWidth(), view.ViewportWidth()); break;
    case BodyMetric::ScrollHeight: *out = std::max(current.ContentHeight(), view.ViewportHeight()); break;
    case BodyMetric::ScrollLeft: *out = view.ScrollX(); break;
    case BodyMetric::ScrollTop: *out = view.ScrollY(); break;
    }
    return S_OK;
}

HRESULT PutBodyScroll(const StatePtr& state, BodyMetric metric, LONG value) {
    layout::LiveLayout& view = ViewOf(*state);
    if (metric == BodyMetric::ScrollLeft) view.ScrollTo(value, view.ScrollY());
    else if (metric == BodyMetric::ScrollTop) view.ScrollTo(view.ScrollX(), value);
    else return E_INVALIDARG;
    if (state->viewChanged) state->viewChanged();
    return S_OK;
}

HRESULT GetElementFromPoint(const StatePtr& state, LONG x, LONG y, IHTMLElement** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    layout::LiveLayout& view = ViewOf(*state);
    if (x < 0 || y < 0 || x >= view.ViewportWidth() || y >= view.ViewportHeight()) return S_OK;
    const dom::Node* element = view.Current().ElementFromPoint(x + view.ScrollX(), y + view.ScrollY());
    return ReturnNode(state, const_cast<dom::Node*>(element), out);
}

}  // namespace com

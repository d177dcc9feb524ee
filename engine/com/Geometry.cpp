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
    case BodyMetric::ClientLeft:
    case BodyMetric::ClientTop: *out = 0; break;
    case BodyMetric::ScrollWidth: *out = std::max(current.ContentWidth(), view.ViewportWidth()); break;
    case BodyMetric::ScrollHeight: *out = std::max(current.ContentHeight(), view.ViewportHeight()); break;
    case BodyMetric::ScrollLeft: *out = view.ScrollX(); break;
    case BodyMetric::ScrollTop: *out = view.ScrollY(); break;
    }
    return S_OK;
}

HRESULT GetElementMetric(const StatePtr& state, const dom::Node* element, BodyMetric metric, LONG* out) {
    if (!out) return E_POINTER;
    *out = 0;
    if (!element) return S_OK;
    layout::ClientArea area = ViewOf(*state).Current().Client(*element);
    switch (metric) {
    case BodyMetric::ClientWidth: *out = area.clientWidth; break;
    case BodyMetric::ClientHeight: *out = area.clientHeight; break;
    case BodyMetric::ClientLeft: *out = area.clientLeft; break;
    case BodyMetric::ClientTop: *out = area.clientTop; break;
    case BodyMetric::ScrollWidth: *out = area.scrollWidth; break;
    case BodyMetric::ScrollHeight: *out = area.scrollHeight; break;
    case BodyMetric::ScrollLeft: *out = ViewOf(*state).Current().ElementScroll(*element).first; break;
    case BodyMetric::ScrollTop: *out = ViewOf(*state).Current().ElementScroll(*element).second; break;
    }
    return S_OK;
}

HRESULT PutElementScroll(const StatePtr& state, const dom::Node* element, BodyMetric metric, LONG value) {
    if (metric != BodyMetric::ScrollLeft && metric != BodyMetric::ScrollTop) return E_INVALIDARG;
    if (!element) return S_OK;
    layout::DocumentLayout& current = ViewOf(*state).Current();
    auto [x, y] = current.ElementScroll(*element);
    if (metric == BodyMetric::ScrollLeft) x = value;
    else y = value;
    // An element that does not scroll ignores the value, as in browsers.
    if (current.ScrollElement(*element, x, y) && state->viewChanged) state->viewChanged();
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

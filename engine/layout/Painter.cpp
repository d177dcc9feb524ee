// Painting of a laid-out page: backgrounds, borders, text runs with their
// decorations, list markers, pictures and controls, through the canvas.
#include "layout/DocumentLayout.h"

#include <unordered_map>

namespace layout {

using dom::Tag;

namespace {

paint::Color Shade(paint::Color color, int percent) {
    auto part = [&](int shift) { return static_cast<int>(((color >> shift) & 255) * percent / 100); };
    return paint::Rgb(std::min(part(0), 255), std::min(part(8), 255), std::min(part(16), 255));
}

class Painter {
public:
    Painter(paint::Canvas& canvas, const paint::Rect& dirty) : m_canvas(canvas), m_dirty(dirty) {}

    void PaintBox(const Box& box, int parentX, int parentY, bool isRoot) {
        const int x = parentX + box.x, y = parentY + box.y;
        const paint::Rect rect{x, y, x + box.width, y + box.height};
        // Boxes outside the dirty area cost nothing; a box of automatic height holds its
        // content (one of fixed height may overflow, and is walked).
        if (!isRoot && !rect.Intersects(m_dirty) &&
            (box.style.height.IsAuto() || box.kind == BoxKind::Row || box.kind == BoxKind::Cell || box.ClipsContent()))
            return;
        const Style& s = box.style;
        bool canvasOwned = isRoot || (box.node && box.node->Is(Tag::Body) && box.parent && !box.parent->parent);
        if (!canvasOwned) {
            m_canvas.FillRect(rect, s.background);
            if (box.backgroundPicture) Tile(*box.backgroundPicture, rect, rect.left, rect.top);
        }
        PaintBorders(box, rect);
        if (box.kind == BoxKind::Replaced) {
            PaintReplaced(box, rect);
            return;
        }
        if (box.kind == BoxKind::ListItem) PaintMarker(box, x, y);
        if (!box.ClipsContent()) {
            PaintContent(box, x, y);
            return;
        }
        // Only what lies inside the padding box shows, moved by the scroll position.
        const paint::Rect outer = m_dirty;
        m_dirty = m_dirty.Intersect({rect.left + box.border[3], rect.top + box.border[0], rect.right - box.border[1], rect.bottom - box.border[2]});
        if (!m_dirty.IsEmpty()) {
            m_canvas.PushClip(m_dirty);
            PaintContent(box, x - box.scrollX, y - box.scrollY);
            m_canvas.PopClip();
        }
        m_dirty = outer;
    }

    // The lines and the child boxes, the box's content starting at x, y.
    void PaintContent(const Box& box, int x, int y) {
        for (const auto& line : box.lines) {
            if (y + line.top >= m_dirty.bottom || y + line.top + line.height <= m_dirty.top) continue;
            for (const auto& span : line.spans) PaintSpan(span, x, y + line.top);
            for (const auto& fragment : line.fragments) PaintFragment(box, x, y, line, fragment);
        }
        for (const auto& child : box.inlineBoxes)
            if (child->style.floating != Float::None && child->kind == BoxKind::Replaced) PaintBox(*child, x, y, false);
        // Floats above the blocks they reach into.
        for (const auto& child : box.children)
            if (child->style.floating == Float::None) PaintBox(*child, x, y, false);
        for (const auto& child : box.children)
            if (child->style.floating != Float::None) PaintBox(*child, x, y, false);
    }

    // Repeats the picture over the area, the tiles lined up from (originX, originY).
    void Tile(const paint::Picture& picture, const paint::Rect& area, int originX, int originY) {
        paint::Rect visible = area.Intersect(m_dirty);
        if (visible.IsEmpty()) return;
        m_canvas.PushClip(visible);
        auto first = [](int from, int origin, int step) { return origin + ((from - origin) / step - (from < origin ? 1 : 0)) * step; };
        for (int y = first(visible.top, originY, picture.height); y < visible.bottom; y += picture.height)
            for (int x = first(visible.left, originX, picture.width); x < visible.right; x += picture.width)
                m_canvas.DrawPicture({x, y, x + picture.width, y + picture.height}, picture);
        m_canvas.PopClip();
    }

private:
    int Font(const InlineContext& context) {
        auto it = m_fonts.find(&context);
        if (it != m_fonts.end()) return it->second;
        int font = m_canvas.MakeFont(context.style.Font());
        m_fonts.emplace(&context, font);
        return font;
    }

    void PaintBorders(const Box& box, const paint::Rect& r) { PaintFrame(box.style, box.border, r); }

    // An inline element's background and frame on one line.
    void PaintSpan(const InlineSpan& span, int x, int y) {
        const Style& s = span.context->style;
        const paint::Rect r{x + span.left, y + span.top, x + span.right, y + span.bottom};
        if (!r.Intersects(m_dirty)) return;
        m_canvas.FillRect(r, s.background);
        const int border[4] = {s.borderTop.Width(), span.closes ? s.borderRight.Width() : 0, s.borderBottom.Width(),
                               span.opens ? s.borderLeft.Width() : 0};
        PaintFrame(s, border, r);
    }

    void PaintFrame(const Style& s, const int (&border)[4], const paint::Rect& r) {
        auto colorOf = [&](const Border& border, bool lightSide) {
            paint::Color color = border.color == paint::kTransparent ? s.color : border.color;
            if (border.style == BorderStyle::Inset) return lightSide ? color : Shade(color, 60);
            if (border.style == BorderStyle::Outset) return lightSide ? Shade(color, 60) : color;
            return color;
        };
        if (border[0]) m_canvas.FillRect({r.left, r.top, r.right, r.top + border[0]}, colorOf(s.borderTop, false));
        if (border[3]) m_canvas.FillRect({r.left, r.top, r.left + border[3], r.bottom}, colorOf(s.borderLeft, false));
        if (border[2]) m_canvas.FillRect({r.left, r.bottom - border[2], r.right, r.bottom}, colorOf(s.borderBottom, true));
        if (border[1]) m_canvas.FillRect({r.right - border[1], r.top, r.right, r.bottom}, colorOf(s.borderRight, true));
    }

    void PaintReplaced(const Box& box, const paint::Rect& rect) {
        const paint::Rect inner{rect.left + box.border[3] + box.padding[3], rect.top + box.border[0] + box.padding[0],
                                rect.right - box.border[1] - box.padding[1], rect.bottom - box.border[2] - box.padding[2]};
        const dom::Node& e = *box.node;
        if (e.Is(Tag::Img)) {
            if (box.picture) {
                m_canvas.DrawPicture(inner, *box.picture);
                return;
            }
            // A picture that cannot be shown: a frame with its alternative text.
            paint::Color frame = paint::Rgb(192, 192, 192);
            m_canvas.DrawLine(inner.left, inner.top, inner.right, inner.top, 1, frame);
            m_canvas.DrawLine(inner.left, inner.bottom - 1, inner.right, inner.bottom - 1, 1, frame);
            m_canvas.DrawLine(inner.left, inner.top, inner.left, inner.bottom, 1, frame);
            m_canvas.DrawLine(inner.right - 1, inner.top, inner.right - 1, inner.bottom, 1, frame);
            CString alt = e.GetAttribute(L"alt");
            if (!alt.IsEmpty()) {
                m_canvas.PushClip(inner);
                m_canvas.DrawTextRun(m_canvas.MakeFont(box.style.Font()), inner.left + 2, inner.top + 2, alt, alt.GetLength(), box.style.color);
                m_canvas.PopClip();
            }
            return;
        }
        // Form controls: a plain frame with the value they show.
        CString type = e.GetAttribute(L"type");
        type.MakeLower();
        const paint::Color dark = paint::Rgb(118, 118, 118);
        const bool button = e.Is(Tag::Input) && (type == L"button" || type == L"submit" || type == L"reset");
        m_canvas.FillRect(inner, button ? paint::Rgb(239, 239, 239) : paint::Rgb(255, 255, 255));
        m_canvas.DrawLine(inner.left, inner.top, inner.right, inner.top, 1, dark);
        m_canvas.DrawLine(inner.left, inner.bottom - 1, inner.right, inner.bottom - 1, 1, dark);
        m_canvas.DrawLine(inner.left, inner.top, inner.left, inner.bottom, 1, dark);
        m_canvas.DrawLine(inner.right - 1, inner.top, inner.right - 1, inner.bottom, 1, dark);
        CString label;
        if (e.Is(Tag::Input) && (type == L"checkbox" || type == L"radio")) {
            if (e.HasAttribute(L"checked")) m_canvas.FillRect({inner.left + 3, inner.top + 3, inner.right - 3, inner.bottom - 3}, 0);
            return;
        }
        if (e.Is(Tag::Input) && type == L"password") label = CString(L'*', std::min(e.GetAttribute(L"value").GetLength(), 200));
        else if (e.Is(Tag::Input)) label = e.GetAttribute(L"value");
        else if (e.Is(Tag::Textarea) || e.Is(Tag::Select)) {
            const dom::Node* source = &e;
            if (e.Is(Tag::Select)) {
                source = nullptr;
                for (const auto& option : e.Children())
                    if (option->IsElement() && (!source || option->HasAttribute(L"selected"))) {
                        if (!source || option->HasAttribute(L"selected")) source = option.get();
                    }
            }
            if (source)
                for (const auto& t : source->Children())
                    if (t->IsText()) label += t->Data();
        }
        if (label.GetLength() > 1000) label.Truncate(1000);
        if (!label.IsEmpty()) {
            int font = m_canvas.MakeFont({L"DejaVu Sans, sans-serif", 13, false, false});
            m_canvas.PushClip(inner);
            m_canvas.DrawTextRun(font, inner.left + (button ? 8 : 3), inner.top + 3, label, label.GetLength(), box.style.color);
            m_canvas.PopClip();
        }
    }

    void PaintMarker(const Box& box, int x, int y) {
        // The marker sits left of the first line of the item (or of its first block).
        const Box* block = &box;
        int bx = x, by = y;
        while (block->lines.empty() && !block->children.empty()) {
            bx += block->children.front()->x;
            by += block->children.front()->y;
            block = block->children.front().get();
        }
        int font = m_canvas.MakeFont(box.style.Font());
        paint::FontMetrics metrics = m_canvas.Metrics(font);
        int lineTop = block->lines.empty() ? by : by + block->lines.front().top;
        int baseline = block->lines.empty() ? metrics.ascent : block->lines.front().baseline;
        int contentLeft = x + box.ContentLeft();
        if (!box.marker.IsEmpty()) {
            int width = m_canvas.MeasureText(font, box.marker, box.marker.GetLength());
            m_canvas.DrawTextRun(font, contentLeft - width, lineTop + baseline - metrics.ascent, box.marker, box.marker.GetLength(), box.style.color);
            return;
        }
        if (box.style.listMarker == ListMarker::None) return;
        int size = std::max(3, box.style.fontSize * 5 / 16);
        int left = contentLeft - size - std::max(4, box.style.fontSize / 2);
        int top = lineTop + baseline - size - std::max(1, box.style.fontSize / 5);
        paint::Rect dot{left, top, left + size, top + size};
        if (box.style.listMarker == ListMarker::Circle) {
            m_canvas.DrawLine(dot.left, dot.top, dot.right, dot.top, 1, box.style.color);
            m_canvas.DrawLine(dot.left, dot.bottom - 1, dot.right, dot.bottom - 1, 1, box.style.color);
            m_canvas.DrawLine(dot.left, dot.top, dot.left, dot.bottom, 1, box.style.color);
            m_canvas.DrawLine(dot.right - 1, dot.top, dot.right - 1, dot.bottom, 1, box.style.color);
        } else {
            m_canvas.FillRect(dot, box.style.color);
        }
    }

    void PaintFragment(const Box& block, int x, int y, const Line& line, const Fragment& fragment) {
        (void)block;
        if (fragment.box) {
            PaintBox(*fragment.box, x, y, false);
            return;
        }
        const InlineContext& context = *fragment.context;
        const int left = x + fragment.x;
        const int top = y + line.top + fragment.top;
        if (left >= m_dirty.right || left + fragment.width <= m_dirty.left) return;
        // Backgrounds of the inline elements around the text (search marks among them).
        for (const InlineContext* c = &context; c && c->element; c = c->parent)
            if (c->style.background != paint::kTransparent) {
                m_canvas.FillRect({left, top, left + fragment.width, top + fragment.height}, c->style.background);
                break;
            }
        const CString& data = fragment.node->Data();
        int start = std::clamp(fragment.start, 0, data.GetLength());
        int end = std::clamp(fragment.start + fragment.length, start, data.GetLength());
        const int font = Font(context);
        int drawX = left;
        // Very long runs: draw only the part in the dirty area.
        if (end - start > 512) {
            while (end - start > 256) {
                int w = m_canvas.MeasureText(font, data.GetString() + start, 256);
                if (drawX + w >= m_dirty.left) break;
                drawX += w;
                start += 256;
            }
            int visible = start, runX = drawX;
            while (visible < end && runX < m_dirty.right) {
                int count = std::min(256, end - visible);
                runX += m_canvas.MeasureText(font, data.GetString() + visible, count);
                visible += count;
            }
            end = visible;
        }
        if (!(end - start == 1 && data[start] == L'\t'))
            m_canvas.DrawTextRun(font, drawX, top, data.GetString() + start, end - start, context.style.color);
        paint::FontMetrics metrics = m_canvas.Metrics(font);
        int thickness = std::max(1, context.style.fontSize / 16);
        if (context.style.underline)
            m_canvas.DrawLine(left, top + metrics.ascent + 1 + thickness / 2, left + fragment.width, top + metrics.ascent + 1 + thickness / 2, thickness, context.style.color);
        if (context.style.strike)
            m_canvas.DrawLine(left, top + metrics.ascent * 2 / 3, left + fragment.width, top + metrics.ascent * 2 / 3, thickness, context.style.color);
    }

    paint::Canvas& m_canvas;
    paint::Rect m_dirty;
    std::unordered_map<const InlineContext*, int> m_fonts;
};

}  // namespace

void DocumentLayout::Paint(paint::Canvas& canvas, const paint::Rect& dirty, int scrollX, int scrollY) const {
    paint::Rect target = dirty.Offset(-scrollX, -scrollY);
    canvas.PushClip(target);
    canvas.FillRect(target, CanvasBackground());
    if (m_root) {
        Painter painter(canvas, target);
        // The body's (or the root's) background picture covers the whole canvas.
        const Box* owner = m_root.get();
        for (const auto& child : m_root->children)
            if (!owner->backgroundPicture && child->node && child->node->Is(Tag::Body)) owner = child.get();
        if (owner->backgroundPicture) painter.Tile(*owner->backgroundPicture, target, -scrollX, -scrollY);
        painter.PaintBox(*m_root, -scrollX, -scrollY, true);
    }
    canvas.PopClip();
}

}  // namespace layout

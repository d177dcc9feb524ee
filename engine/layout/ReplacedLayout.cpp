// Atomic inline boxes: pictures, form controls and inline blocks, their size and baseline.
#include "layout/LayoutEngine.h"
#include "layout/LayoutShared.h"

#include <algorithm>

namespace layout {

using dom::Tag;

void LayoutEngine::LayoutAtomic(Box& box, int cw) {
    ResolveEdges(box, cw);
    const Style& s = box.style;
    const int hEdges = HorizontalEdges(box);
    const int vEdges = box.border[0] + box.border[2] + box.padding[0] + box.padding[2];
    if (box.kind == BoxKind::Table) {
        LayoutTable(box, cw);
        return;
    }
    if (box.kind == BoxKind::InlineBlock) {
        Intrinsic size = Measure(box);
        int width = s.width.IsAuto() ? std::min(std::max(size.min, cw - box.margin[1] - box.margin[3]), size.max)
                                     : s.width.Resolve(cw) + hEdges;
        box.width = std::max(width, hEdges);
        int content = LayoutContent(box);
        if (s.height.unit == Length::Unit::Px) content = s.height.Resolve(0);
        box.height = content + vEdges;
        return;
    }
    // Replaced: pictures and controls.
    int width = 0, height = 0;
    const dom::Node& e = *box.node;
    paint::FontMetrics metrics{13, 3};
    if (e.Is(Tag::Img)) {
        int iw = box.intrinsicWidth, ih = box.intrinsicHeight;
        if (box.brokenPicture) {
            CString alt = e.GetAttribute(L"alt");
            int font = m_canvas.MakeFont(s.Font());
            iw = alt.IsEmpty() ? 16 : m_canvas.MeasureText(font, alt, alt.GetLength()) + 4;
            ih = alt.IsEmpty() ? 16 : m_canvas.Metrics(font).Height() + 4;
        }
        bool hasW = !s.width.IsAuto(), hasH = !s.height.IsAuto() && !s.height.IsPercent();
        width = hasW ? s.width.Resolve(cw) : iw;
        height = hasH ? s.height.Resolve(0) : ih;
        if (hasW && !hasH && iw > 0 && !box.brokenPicture) height = static_cast<int>(static_cast<long long>(width) * ih / iw);
        if (hasH && !hasW && ih > 0 && !box.brokenPicture) width = static_cast<int>(static_cast<long long>(height) * iw / ih);
    } else {
        int font = m_canvas.MakeFont(kControlFont);
        metrics = m_canvas.Metrics(font);
        CString type = e.GetAttribute(L"type");
        type.MakeLower();
        if (e.Is(Tag::Input) && (type == L"checkbox" || type == L"radio")) {
            width = height = 13;
        } else if (e.Is(Tag::Input) && (type == L"button" || type == L"submit" || type == L"reset")) {
            CString label = e.GetAttribute(L"value");
            if (label.IsEmpty() && type == L"submit") label = L"Submit";
            if (label.IsEmpty() && type == L"reset") label = L"Reset";
            width = m_canvas.MeasureText(font, label, label.GetLength()) + 16;
            height = metrics.Height() + 6;
        } else if (e.Is(Tag::Select)) {
            int widest = 0;
            for (const auto& option : e.Children())
                if (option->IsElement()) {
                    CString label;
                    for (const auto& t : option->Children())
                        if (t->IsText()) label += t->Data();
                    label.Trim();
                    widest = std::max(widest, m_canvas.MeasureText(font, label, std::min(label.GetLength(), 500)));
                }
            width = widest + 24;
            height = metrics.Height() + 4;
        } else if (e.Is(Tag::Textarea)) {
            long cols = std::wcstol(e.GetAttribute(L"cols").GetString(), nullptr, 10);
            long rows = std::wcstol(e.GetAttribute(L"rows").GetString(), nullptr, 10);
            // Columns of the fixed-pitch face (0.6 em of 13.33 px), the frame and the scroll bar beside them.
            width = static_cast<int>(std::clamp(cols <= 0 ? 20L : cols, 1L, 1000L) * 803 / 100) + 6 + 15;
            height = static_cast<int>(std::clamp(rows <= 0 ? 2L : rows, 1L, 1000L)) * metrics.Height() + 6;
        } else if (e.Is(Tag::Input)) {
            long size = std::wcstol(e.GetAttribute(L"size").GetString(), nullptr, 10);
            // As browsers size a text field: characters of the face's average width (6.76 px at
            // 13.33 px) and the room its widest glyph needs beyond one average, inside the frame.
            width = static_cast<int>((std::clamp(size <= 0 ? 20L : size, 1L, 1000L) * 676 + 3340 + 50) / 100) + 8;
            height = metrics.Height() + 6;
        } else {
            width = 300;
            height = 150;
        }
        if (!s.width.IsAuto()) width = s.width.Resolve(cw);
        if (!s.height.IsAuto() && !s.height.IsPercent()) height = s.height.Resolve(0);
    }
    box.width = Clamp(static_cast<long long>(std::max(width, 0)) + hEdges);
    box.height = Clamp(static_cast<long long>(std::max(height, 0)) + vEdges);
}

// From the top of an atomic box's margin box to its baseline: a control that shows text has
// the baseline of its text, a check box or option button the bottom of its frame, a picture
// and anything else the bottom of its margin box.
int LayoutEngine::AtomicBaseline(const Box& atomic) {
    const int marginHeight = atomic.height + atomic.margin[0] + atomic.margin[2];
    const dom::Node* e = atomic.node;
    if (atomic.kind != BoxKind::Replaced || !e) return marginHeight;
    const CString& type = e->GetAttribute(L"type");
    const bool check = type.CompareNoCase(L"checkbox") == 0 || type.CompareNoCase(L"radio") == 0;
    if (e->Is(Tag::Input) && check) return atomic.margin[0] + atomic.height;
    if (!e->Is(Tag::Input) && !e->Is(Tag::Select) && !e->Is(Tag::Button)) return marginHeight;
    paint::FontMetrics metrics = m_canvas.Metrics(m_canvas.MakeFont(kControlFont));
    int inner = atomic.height - atomic.border[0] - atomic.border[2] - atomic.padding[0] - atomic.padding[2];
    int baseline = atomic.margin[0] + atomic.border[0] + atomic.padding[0] + (inner - metrics.Height()) / 2 + metrics.ascent;
    return std::clamp(baseline, 0, marginHeight);
}

}  // namespace layout

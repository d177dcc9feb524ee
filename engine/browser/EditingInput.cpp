#include "browser/EditingInput.h"

#include "com/ComPtr.h"
#include "com/DocumentAdapter.h"

#include <docobj.h>
#include <mshtmcid.h>

#include <algorithm>

namespace browser {

using editing::Boundary;
using editing::SelectionKind;

namespace {

constexpr int kDefaultLine = 16;

bool KeyHeld(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// The next node in document order.
const dom::Node* NextInOrder(const dom::Node* node) {
    if (node->FirstChild()) return node->FirstChild();
    for (; node; node = node->Parent())
        if (const dom::Node* next = node->NextSibling()) return next;
    return nullptr;
}

// The node before in document order: the previous sibling's last descendant, or the parent.
const dom::Node* PreviousInOrder(const dom::Node* node) {
    if (const dom::Node* previous = node->PreviousSibling()) {
        while (previous->LastChild()) previous = previous->LastChild();
        return previous;
    }
    return node->Parent();
}

void RunCommand(const com::StatePtr& state, DWORD id) {
    ComPtr<IOleCommandTarget> target;
    com::DocumentOf(state)->QueryInterface(IID_IOleCommandTarget, reinterpret_cast<void**>(target.Receive()));
    // {DE4BA900-59CA-11CF-9592-444553540000}
    static const GUID kGroup = {0xde4ba900, 0x59ca, 0x11cf, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
    if (target) target->Exec(&kGroup, id, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr);
}

}  // namespace

Boundary EditingInput::BoundaryAt(int x, int y, bool* pastLineEnd) const {
    layout::HitPoint hit = m_view.Current().NearestTextPosition(x + m_view.ScrollX(), y + m_view.ScrollY());
    if (pastLineEnd) *pastLineEnd = hit.pastLineEnd;
    if (!hit.node) return {};
    auto* node = const_cast<dom::Node*>(hit.node);
    int limit = node->IsText() ? node->Data().GetLength() : node->ChildCount();
    return editing::NormalizeCaret({node->Self(), std::clamp(hit.offset, 0, limit)});
}

bool EditingInput::CaretBox(const Boundary& at, RECT& box) const {
    if (!at.node) return false;
    layout::DocumentLayout& layout = m_view.Current();
    if (at.node->IsText()) {
        if (auto rect = layout.CaretRect(*at.node, at.offset)) {
            box = {rect->left, rect->top, rect->left + 1, rect->bottom};
            return true;
        }
    }
    // An empty paragraph or a place between elements: the start of the element's box.
    for (const dom::Node* node = at.node.get(); node; node = node->Parent()) {
        if (!node->IsElement()) continue;
        if (auto border = layout.BorderBox(*node)) {
            box = {border->left, border->top, border->left + 1, border->top + std::min(std::max(border->Height(), 1), kDefaultLine)};
            return true;
        }
    }
    return false;
}

void EditingInput::ScrollIntoView(const RECT& box) {
    // Sideways the view jumps by a quarter of its width, so that a line typed
    // past the edge scrolls now and then, not at every key (each scroll moves
    // the window's pixels and redraws its bar).
    const int sx = m_view.ScrollX(), sy = m_view.ScrollY();
    const int jump = std::max(m_view.ViewportWidth() / 4, 20);
    int nx = sx, ny = sy;
    if (box.top < sy) ny = box.top;
    else if (box.bottom > sy + m_view.ViewportHeight()) ny = box.bottom - m_view.ViewportHeight();
    if (box.left < sx) nx = std::max<int>(box.left - jump, 0);
    else if (box.right > sx + m_view.ViewportWidth()) nx = box.right - m_view.ViewportWidth() + jump;
    if (nx != sx || ny != sy) m_scrollTo(nx, ny);
}

void EditingInput::UpdateCaret(bool scroll) {
    if (!m_hasCaret && Editable() && GetFocus() == m_window) m_hasCaret = true;  // edit mode came on while focused
    if (!Editable()) {  // browse mode: no caret
        if (m_hasCaret) DestroyCaret();
        m_hasCaret = false;
        m_caretHeight = 0;
        return;
    }
    RECT box{};
    if (m_state->selection.kind == SelectionKind::Control || !CaretBox(m_state->Editor().Focus(), box)) {
        if (m_hasCaret && m_caretShown) HideCaret(m_window);
        m_caretShown = false;
        return;
    }
    if (scroll) ScrollIntoView(box);
    // The view follows an edit whether or not it has the focus (a command sent
    // to it while another window is active); the caret itself is the focus's.
    if (!m_hasCaret) return;
    // Made again only when its height changes: each call is a trip to the
    // window system, and a key should cost one (the move).
    const int height = std::max<int>(box.bottom - box.top, 1);
    if (height != m_caretHeight) {
        CreateCaret(m_window, nullptr, 1, height);
        m_caretHeight = height;
        m_caretShown = false;
    }
    SetCaretPos(box.left - m_view.ScrollX(), box.top - m_view.ScrollY());
    if (!m_caretShown) ShowCaret(m_window);
    m_caretShown = true;
}

void EditingInput::KeepBeforeContentEnd() {
    // The element the host named as the content's end, while it is in the page.
    dom::NodePtr end = m_state->contentEnd.lock();
    if (!Editable() || !end || !end->Parent() || !m_state->document->Contains(end.get())) return;
    auto& selection = m_state->selection;
    const Boundary limit{end->Parent()->Self(), end->IndexInParent()};
    auto after = [&](const Boundary& at) { return at.node && CompareBoundaries(at, limit) > 0; };
    if (!after(selection.start) && !after(selection.end)) return;
    // The end of the last text before it, else the place right before it.
    Boundary place = limit;
    for (const dom::Node* node = PreviousInOrder(end.get()); node; node = PreviousInOrder(node))
        if (node->IsText() && editing::IsVisibleText(*node)) {
            place = {const_cast<dom::Node*>(node)->Self(), node->Data().GetLength()};
            break;
        }
    if (selection.kind == SelectionKind::Text && !after(selection.start) && CompareBoundaries(selection.start, place) < 0) {
        selection.end = place;  // a selection running into it ends before it, whichever end moves
        return;
    }
    m_state->Editor().SetCaretPastLineEnd(place);  // what is typed there stays out of a link that ends the text
}

void EditingInput::Changed() {
    KeepBeforeContentEnd();
    // A highlighted selection moved or went: paint it all again. (A caret is
    // the system's; the edits paint what they changed.)
    if (m_highlighted || m_state->selection.kind != SelectionKind::None) InvalidateRect(m_window, nullptr, FALSE);
    UpdateCaret();
}

void EditingInput::OnSetFocus() {
    m_hasCaret = Editable();
    m_caretHeight = 0;  // the thread's caret is made anew for this window
    m_caretShown = false;
    // The page stays where it was scrolled to (the window came to the front, a
    // click in the tree gave the focus back): the caret is placed, not followed.
    if (m_hasCaret) UpdateCaret(false);
}

void EditingInput::OnKillFocus() {
    if (m_hasCaret) DestroyCaret();
    m_hasCaret = false;
    m_caretHeight = 0;
    m_caretShown = false;
}

void EditingInput::MoveVertically(int pixels, bool extend) {
    RECT box{};
    if (!CaretBox(m_state->Editor().Focus(), box)) return;
    int y = pixels < 0 ? box.top + pixels : box.bottom - 1 + pixels;
    if (y < 0 || y >= m_view.Current().ContentHeight()) return;
    // A gap between blocks holds no line: the next line that way.
    layout::HitPoint hit = m_view.Current().NearestTextPosition(box.left, y, pixels < 0 ? -1 : 1);
    if (!hit.node) return;
    auto* node = const_cast<dom::Node*>(hit.node);
    int limit = node->IsText() ? node->Data().GetLength() : node->ChildCount();
    m_state->Editor().SetCaret(editing::NormalizeCaret({node->Self(), std::clamp(hit.offset, 0, limit)}), extend);
}

void EditingInput::MoveInLine(bool end, bool extend) {
    RECT box{};
    if (!CaretBox(m_state->Editor().Focus(), box)) return;
    int y = (box.top + box.bottom) / 2;
    // The line's edge within the caret's block: beyond it (in the page's
    // margin) lies no line at all, only the root.
    layout::DocumentLayout& layout = m_view.Current();
    int left = 0, right = layout.ContentWidth() - 1;
    if (const dom::Node* block = editing::BlockOf(m_state->Editor().Focus().node.get()))
        if (auto border = layout.BorderBox(*block)) {
            left = border->left;
            right = std::max(border->left, border->right - 1);
        }
    layout::HitPoint hit = layout.HitTest(end ? right : left, y);
    if (!hit.node) return;
    auto* node = const_cast<dom::Node*>(hit.node);
    int limit = node->IsText() ? node->Data().GetLength() : node->ChildCount();
    m_state->Editor().SetCaret(editing::NormalizeCaret({node->Self(), std::clamp(hit.offset, 0, limit)}), extend);
}

bool EditingInput::OnKeyDown(UINT key) {
    const bool shift = KeyHeld(VK_SHIFT), control = KeyHeld(VK_CONTROL);
    if (control && !KeyHeld(VK_MENU)) {  // the editor's own shortcuts, where the host left them
        switch (key) {
        case 'C': case VK_INSERT: RunCommand(m_state, IDM_COPY); return true;
        case 'A': m_state->Editor().SelectAll(); Changed(); return true;
        case 'F': RunCommand(m_state, IDM_FIND); Changed(); return true;
        default: break;
        }
        if (Editable()) {
            switch (key) {
            case 'X': RunCommand(m_state, IDM_CUT); Changed(); return true;
            case 'V': RunCommand(m_state, IDM_PASTE); Changed(); return true;
            case 'Z': RunCommand(m_state, IDM_UNDO); Changed(); return true;
            case 'Y': RunCommand(m_state, IDM_REDO); Changed(); return true;
            default: break;
            }
        }
    }
    if (!Editable()) return false;
    editing::Editor editor = m_state->Editor();
    switch (key) {
    case VK_LEFT: case VK_RIGHT:
        if (control) editor.MoveWord(key == VK_RIGHT, shift);
        else editor.MoveCharacter(key == VK_RIGHT, shift);
        break;
    case VK_UP: MoveVertically(-2, shift); break;
    case VK_DOWN: MoveVertically(2, shift); break;
    case VK_PRIOR: MoveVertically(-std::max(m_view.ViewportHeight() - kDefaultLine, kDefaultLine), shift); break;
    case VK_NEXT: MoveVertically(std::max(m_view.ViewportHeight() - kDefaultLine, kDefaultLine), shift); break;
    case VK_HOME: case VK_END:
        if (control) editor.MoveToEdge(key == VK_END, shift);
        else MoveInLine(key == VK_END, shift);
        break;
    case VK_BACK: editor.DeleteBackward(); break;
    case VK_DELETE: editor.DeleteForward(); break;
    case VK_RETURN:
        if (shift) editor.InsertLineBreak();
        else editor.InsertParagraph();
        break;
    case VK_TAB: editor.InsertTab(); break;
    default: return false;
    }
    Changed();
    return true;
}

bool EditingInput::OnChar(wchar_t ch) {
    if (!Editable()) return false;
    if (ch < 0x20 || ch == 0x7F) return true;  // Enter, Backspace, Tab and control keys came as key presses
    if (ch >= 0xD800 && ch <= 0xDBFF) {  // the first half of a pair: wait for the second
        m_highSurrogate = ch;
        return true;
    }
    CString text;
    if (ch >= 0xDC00 && ch <= 0xDFFF) {
        if (!m_highSurrogate) return true;  // half a pair alone is no character
        text += m_highSurrogate;
    }
    m_highSurrogate = 0;
    text += ch;
    m_state->Editor().TypeText(text);
    Changed();
    return true;
}

void EditingInput::OnButtonDown(int x, int y, bool shift) {
    m_dragging = true;
    m_dragged = false;
    editing::Editor editor = m_state->Editor();
    const dom::Node* element = m_view.Current().ElementFromPoint(x + m_view.ScrollX(), y + m_view.ScrollY());
    if (element && (element->Is(dom::Tag::Img) || element->Is(dom::Tag::Table)) && Editable()) {
        editor.SelectControl(*const_cast<dom::Node*>(element));  // a picture, or a table's edge
        m_dragging = false;
        Changed();
        return;
    }
    bool pastLineEnd = false;
    Boundary at = BoundaryAt(x, y, &pastLineEnd);
    if (at.node && pastLineEnd && !shift) editor.SetCaretPastLineEnd(at);  // typing there stays out of a link that ends the line
    else if (at.node) editor.SetCaret(at, shift);
    Changed();
}

void EditingInput::OnMouseMove(int x, int y) {
    if (!m_dragging) return;
    Boundary at = BoundaryAt(x, y);
    if (!at.node) return;
    m_state->Editor().SetCaret(at, true);
    m_dragged = m_state->selection.kind == SelectionKind::Text;
    Changed();
}

bool EditingInput::OnButtonUp() {
    m_dragging = false;
    return m_dragged;
}

void EditingInput::OnDoubleClick(int x, int y) {
    Boundary at = BoundaryAt(x, y);
    if (!at.node) return;
    m_state->Editor().SelectWordAt(at);
    Changed();
}

void EditingInput::PaintSelection(HDC dc, const RECT& dirty) {
    const auto& selection = m_state->selection;
    m_highlighted = selection.kind != SelectionKind::None;
    layout::DocumentLayout& layout = m_view.Current();
    const int sx = m_view.ScrollX(), sy = m_view.ScrollY();
    paint::Rect visible = layout.VisibleArea(*m_state->document);  // of the text being inverted
    auto invert = [&](RECT box) {
        box = {std::max<LONG>(box.left, visible.left), std::max<LONG>(box.top, visible.top),
               std::min<LONG>(box.right, visible.right), std::min<LONG>(box.bottom, visible.bottom)};
        OffsetRect(&box, -sx, -sy);
        RECT clipped{};
        if (IntersectRect(&clipped, &box, &dirty)) InvertRect(dc, &clipped);
    };
    if (selection.kind == SelectionKind::Control) {
        for (const auto& control : selection.controls)
            if (auto box = layout.BorderBox(*control)) invert({box->left, box->top, box->right, box->bottom});
        return;
    }
    if (selection.kind != SelectionKind::Text || !selection.start.node || !selection.end.node) return;
    if (!m_state->document->Contains(selection.start.node.get()) || !m_state->document->Contains(selection.end.node.get())) return;
    // Each selected text node, one band per line it runs over.
    const dom::Node* last = selection.end.node.get();
    const dom::Node* stop = last->IsText() ? NextInOrder(last) : (last->Child(selection.end.offset) ? last->Child(selection.end.offset) : NextInOrder(last));
    const dom::Node* node = selection.start.node->IsText() ? selection.start.node.get()
                                                            : (selection.start.node->Child(selection.start.offset) ? selection.start.node->Child(selection.start.offset) : NextInOrder(selection.start.node.get()));
    int budget = 20000;  // characters measured at most per paint
    for (; node && node != stop && budget > 0; node = NextInOrder(node)) {
        if (!node->IsText() || !editing::IsVisibleText(*node)) continue;
        int from = node == selection.start.node.get() ? selection.start.offset : 0;
        int to = node == selection.end.node.get() ? selection.end.offset : node->Data().GetLength();
        visible = layout.VisibleArea(*node);  // text scrolled out of an element that clips it shows no band
        // Only text that reaches into the painted rectangle is measured character by character.
        auto first = layout.CaretRect(*node, from), last = layout.CaretRect(*node, to);
        if ((first && first->top - sy >= dirty.bottom) || (last && last->bottom - sy <= dirty.top)) continue;
        RECT band{};
        bool open = false;
        for (int i = from; i < to && budget > 0; ++i, --budget) {
            auto a = layout.CaretRect(*node, i);
            auto b = layout.CaretRect(*node, i + 1);
            if (!a) continue;
            int right = b && b->top == a->top ? b->left : a->left + 4;
            if (open && band.top == a->top) {
                band.right = std::max<LONG>(band.right, right);
                continue;
            }
            if (open) invert(band);
            band = {a->left, a->top, right, a->bottom};
            open = true;
        }
        if (open) invert(band);
    }
}

}  // namespace browser

// What the page window does with keys and the mouse for the editor: in
// design mode the keys type, delete and move the caret (the system caret,
// placed from the layout); in both modes the mouse selects text (a click on
// a picture or a table's edge selects it as an object) and the selection is
// painted inverted. Keys the host took first (its accelerators) never get here.
#pragma once
#include "com/DocumentState.h"
#include "layout/LiveLayout.h"

#include <windows.h>

#include <functional>

namespace browser {

class EditingInput {
public:
    EditingInput(HWND window, com::StatePtr state, layout::LiveLayout& view, std::function<void(int, int)> scrollTo)
        : m_window(window), m_state(std::move(state)), m_view(view), m_scrollTo(std::move(scrollTo)) {}

    bool OnKeyDown(UINT key);  // true when the key was the editor's
    bool OnChar(wchar_t ch);
    void OnButtonDown(int x, int y, bool shift);
    void OnMouseMove(int x, int y);
    bool OnButtonUp();  // true when the press and release made a selection (not a click)
    void OnDoubleClick(int x, int y);
    void OnSetFocus();
    void OnKillFocus();
    // Inverts the selected text and objects on the painted page (window coordinates).
    void PaintSelection(HDC dc, const RECT& dirty);
    // Puts the caret where the selection's focus is and, with `scroll`, scrolls it into view.
    void UpdateCaret(bool scroll = true);
    // An editing command of the host (undo, paste, a format) changed the
    // page or the selection: the caret and the highlight follow.
    void AfterCommand() { Changed(); }

private:
    bool Editable() const { return m_state->designMode; }
    // Window coordinates; `pastLineEnd` receives whether the point lies past the end of its line.
    editing::Boundary BoundaryAt(int x, int y, bool* pastLineEnd = nullptr) const;
    bool CaretBox(const editing::Boundary& at, RECT& box) const;  // page coordinates
    void ScrollIntoView(const RECT& box);  // the caret's box, page coordinates
    void MoveVertically(int pixels, bool extend);
    void MoveInLine(bool end, bool extend);
    void Changed();
    // A caret or selection end after the content's end comes back to the end
    // of the last text before it.
    void KeepBeforeContentEnd();

    HWND m_window;
    com::StatePtr m_state;
    layout::LiveLayout& m_view;
    std::function<void(int, int)> m_scrollTo;
    bool m_dragging = false;
    bool m_dragged = false;
    bool m_hasCaret = false;
    // The system caret as made: its height (0: none made since the focus came), and whether it shows.
    int m_caretHeight = 0;
    bool m_caretShown = false;
    bool m_highlighted = true;  // a highlighted selection was painted (at first: not known)
    wchar_t m_highSurrogate = 0;

};

}  // namespace browser

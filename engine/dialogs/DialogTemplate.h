// An in-memory dialog template (DLGTEMPLATE and its items), so the engine's
// dialogs need no resource script of the program that links the engine.
// Coordinates are dialog units.
#pragma once
#include "core/String.h"

#include <windows.h>

#include <vector>

namespace dialogs {

class DialogTemplate {
public:
    DialogTemplate(const CString& caption, int width, int height);
    void Static(const CString& text, int id, int x, int y, int cx, int cy);
    void Edit(int id, int x, int y, int cx, int cy);
    void Button(const CString& text, int id, int x, int y, int cx, int cy, DWORD kind = BS_PUSHBUTTON);
    void Group(const CString& text, int x, int y, int cx, int cy);
    void DropList(int id, int x, int y, int cx, int cy);
    // A label at (x, y + 2) and, from editX on the same line, an edit box or
    // a drop-down list 13 units high.
    void LabelledEdit(const CString& label, int id, int x, int y, int labelWidth, int editX, int editWidth);
    void LabelledList(const CString& label, int id, int x, int y, int labelWidth, int listX, int listWidth);
    // The default button (IDOK) and Cancel, 50 by 14 units each, one below
    // the other or side by side from (x, y).
    void OkCancel(int x, int y, bool stacked, const CString& okText = L"OK");
    // Runs it modally; answers what EndDialog gave.
    INT_PTR Run(HWND owner, DLGPROC procedure, LPARAM parameter) const;

private:
    void Item(DWORD style, WORD classAtom, const CString& text, int id, int x, int y, int cx, int cy);
    void Align();
    void Word(WORD value) { m_bytes.push_back(value); }
    void Text(const CString& text);
    std::vector<WORD> m_bytes;
    size_t m_countAt = 0;
};

// What one run of a dialog does with its controls. The shared dialog
// procedure calls these; Cancel and Escape end the dialog with IDCANCEL.
class DialogHandler {
public:
    virtual ~DialogHandler() = default;
    virtual void OnInit(HWND dialog) = 0;
    // OK or the default button: true ends the dialog with IDOK, false keeps it.
    virtual bool OnOk(HWND dialog) = 0;
    // Any other command; true when handled.
    virtual bool OnCommand(HWND /*dialog*/, int /*id*/, int /*code*/) { return false; }
};

// Runs the template modally with the handler; true when it ended with OK.
bool RunDialog(const DialogTemplate& dialog, HWND owner, DialogHandler& handler);

// A handler that edits a copy of one value.
template <class T>
class ValueDialogHandler : public DialogHandler {
public:
    explicit ValueDialogHandler(const T& value) : m_value(value) {}
    T m_value;
};

// Runs the dialog with a Handler over a copy of `value`; OK copies the
// edited value back, Cancel leaves it as it was.
template <class Handler, class T>
bool EditValue(const DialogTemplate& dialog, HWND owner, T& value) {
    Handler handler(value);
    if (!RunDialog(dialog, owner, handler)) return false;
    value = handler.m_value;
    return true;
}

// The text of a dialog's control.
CString ControlText(HWND dialog, int id);

}  // namespace dialogs

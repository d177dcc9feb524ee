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
    // Runs it modally; answers what EndDialog gave.
    INT_PTR Run(HWND owner, DLGPROC procedure, LPARAM parameter);

private:
    void Item(DWORD style, WORD classAtom, const CString& text, int id, int x, int y, int cx, int cy);
    void Align();
    void Word(WORD value) { m_bytes.push_back(value); }
    void Text(const CString& text);
    std::vector<WORD> m_bytes;
    size_t m_countAt = 0;
};

// The text of a dialog's control.
CString ControlText(HWND dialog, int id);

}  // namespace dialogs

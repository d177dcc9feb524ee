// The engine's own commands, beside the MSHTML group's, for
// IOleCommandTarget::Exec on the document.
#pragma once
#include <windows.h>

inline constexpr GUID kEngineCommandGroup = {0x6a1e3c52, 0x8d47, 0x4f0b, {0x9c, 0x21, 0x5e, 0x73, 0x0a, 0xd4, 0x18, 0xb6}};
enum EngineCommand : DWORD {
    // The changes made through the document from here on, until the next key,
    // command or undo, join the last undo step: one undo takes back both.
    kEngineJoinLastUndoStep = 1,
    // In: the id of an element (a BSTR; empty: none) that closes the
    // editable content, looked up as the command runs (a host names it again
    // after each load). A click or key never leaves the caret or the
    // selection after its start: they come back to the end of the last text
    // before it.
    kEngineKeepCaretBefore = 2,
    // Closes the step of the changes made through the document so far: the
    // changes that follow make a step of their own.
    kEngineSealUndoStep = 3,
    // In: a CSS font size (a BSTR, "24px"). At a caret the text typed next
    // there takes it as the inline font size of its FONT, in place of any
    // size chosen there before; a selection is left alone.
    kEngineTypingFontSize = 4,
};

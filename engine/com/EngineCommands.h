// The engine's own commands, beside the MSHTML group's, for
// IOleCommandTarget::Exec on the document.
#pragma once
#include <windows.h>

inline constexpr GUID kEngineCommandGroup = {0x6a1e3c52, 0x8d47, 0x4f0b, {0x9c, 0x21, 0x5e, 0x73, 0x0a, 0xd4, 0x18, 0xb6}};
enum EngineCommand : DWORD {
    // The changes made through the document from here on, until the next key,
    // command or undo, join the last undo step: one undo takes back both.
    kEngineJoinLastUndoStep = 1,
};

// The docking layout of a size-dock frame in the application profile: for
// each size bar its side (or floating place), its row and place in the row,
// its sizes, its tab and whether it shows. Stored as one binary value with
// its length beside it ("<entry>" and "<entry>_Size"). A stored layout is
// untrusted: one that does not read whole, names a bar the frame does not
// have, or holds sizes or places out of range changes nothing, and the frame
// keeps the layout it has.
#pragma once
#include "wnd/FrameWnd.h"

// Writes the layout of the frame's size bars; FALSE when the profile refused it.
BOOL SaveSizeDockLayout(CFrameWnd* frame, const wchar_t* section, const wchar_t* entry);
// Reads and applies a stored layout; FALSE (and nothing changed) when none is stored or it is not sound.
BOOL LoadSizeDockLayout(CFrameWnd* frame, const wchar_t* section, const wchar_t* entry);

// The clip command line: which kind of clip a process was started with.
#pragma once
#include "core/String.h"

enum class ClipKind { None, Link, FormBlock, Event, Unreadable };

// A link ("<param>...</param>"), form block ("<AA...</AA>") or event
// ("<evt>...</evt>") clip: the element that starts first decides. A command
// line that opens one of them ("<param>", "<AA", "<evt>") without a whole
// element of any kind is an unreadable clip, never a file to open; so is a
// link clip whose form element, after the parameters, is not closed.
ClipKind ClassifyClipCommandLine(const CString& commandLine);

// The clip command line: which kind of clip a process was started with.
#pragma once
#include "core/String.h"

enum class ClipKind { None, Link, FormBlock, Event };

// A link ("<param>...</param>"), form block ("<AA...</AA>") or event
// ("<evt>...</evt>") clip: the element that starts first decides.
ClipKind ClassifyClipCommandLine(const CString& commandLine);

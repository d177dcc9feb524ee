// The clip command line: which kind of clip a process was started with.
#pragma once
#include "core/String.h"

enum class ClipKind { None, Link, FormBlock, Event };

// Tested in the order link ("<param>...</param>"), form block
// ("<AA...</AA>"), event ("<evt>...</evt>"): the first kind found decides.
ClipKind ClassifyClipCommandLine(const CString& commandLine);

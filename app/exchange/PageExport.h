// Pages, folders and the whole bookmark folder copied out of the store. Each
// refuses (after its message) a source outside the Allpages folder and a
// destination inside the install path's bookmark folder, and never changes
// the source files.
#pragma once
#include "core/String.h"

struct ExportRequest {
    CString installPath;
    CString source;       // relative to the Allpages folder
    CString destination;  // an outside folder
    int what = 0;         // ExportWhat
    int fileType = 0;     // ExportFileType
};

// Carries out one export; false after its message. Before it writes
// anything it asks once, when a path it would write is taken, whether to
// replace it ("The destination folder already holds ..."); No writes
// nothing. An ANSI copy tells how many link titles lost characters.
bool RunExport(const ExportRequest& request);

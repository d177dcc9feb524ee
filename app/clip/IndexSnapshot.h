// The AllPages index as the "Add to Tarvelo" dialog sees it: every value of
// the AllPages section and whether each page's file is still there. A store
// of ten thousand pages means ten thousand registry values and files, so the
// snapshot is read by several threads at once, and a link-clip process
// starts reading it while the program is still starting up.
#pragma once
#include "clip/IndexLists.h"

#include <windows.h>

#include <functional>
#include <unordered_map>

struct IndexSnapshot {
    CString allpagesFolder;
    std::vector<IndexEntry> entries;  // in the registry's enumeration order

    // True when the page's file exists below the Allpages folder: the page
    // path and ".htm", or the path itself for a page kept as ".html".
    bool HasPage(const CString& page) const;

    std::unordered_map<CString, bool> fileExists;  // page -> its file exists
};

// Reads the AllPages section and checks the page files below the folder,
// with up to `maxReaders` threads; no entries when the section is missing.
IndexSnapshot ReadIndexSnapshot(const CString& allpagesFolder, unsigned maxReaders = 8);

// A link-clip process reads the snapshot in the background: planned at
// start-up (when the command line is a link clip; the install path is read
// quietly) and begun once the dialog is up, so that the read does not slow
// the dialog's own start. `afterHandOver` runs on the calling thread once the
// snapshot has been handed over and the thread's windows are painted again
// (at once when no read is planned): work that would slow the read waits for
// it. StartIndexPrefetch does both at once.
void PlanIndexPrefetch(const CString& commandLine);
void BeginIndexPrefetch(std::function<void()> afterHandOver = {});
void StartIndexPrefetch(const CString& commandLine);

// The snapshot for the Allpages folder. Without a background read planned for
// that folder it is read now and handed over (true). When the background read
// is done it is handed over (true). While it is still to come, `window` gets
// `message` posted when it is done, and the call returns false; a call after
// that message hands it over.
bool TakeIndexSnapshot(const CString& allpagesFolder, HWND window, UINT message, IndexSnapshot& snapshot);

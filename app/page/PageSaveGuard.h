// PageSaveGuard: the one way an editor writes a page file back, whichever
// view (the page view or the source view) holds the page. A clip process
// writes into pages without telling the running program, so the guard keeps
// the file's text as the editor loaded it or last wrote it and compares the
// file with it before every write: unchanged, the page is written; changed
// under an unmodified editor, nothing is written (the old text never goes
// back); changed under a modified editor, the links the other program added
// are joined into the editor's text, and any other change is asked about
// (keep both, reload, cancel). The question is asked outside the page
// rewrite lock, and the file is read again after it. The page's index
// marker is the file's: Index and Unindex rewrite it under an open editor,
// and a save keeps it unless the editor's own text changed it.
#pragma once
#include "core/String.h"

class PageSaveGuard {
public:
    enum class Outcome {
        Written,       // the editor's text is the file now
        Merged,        // the file holds the editor's text joined with another program's: show it
        LeftAsOnDisk,  // unmodified, and the file changed: nothing written
        Reload,        // the user dropped the edits for the file: show it
        Cancelled,     // the user chose to write nothing
        Failed,        // the file could not be written: the caller says so
    };

    // Remembers the file's text as the editor shows it; false when the file
    // cannot be read (then every save writes, as before any guard).
    bool Load(const CString& path);
    // Remembers a text read from the file by the caller, the one it shows.
    void Loaded(const CString& text);

    // Writes `text` (the editor's page, as it goes into the file) to the page
    // file at `path`, or keeps another program's change as above. `modified`:
    // the editor holds edits of its own. The page's AllPages value follows
    // every write.
    // A read-only page file is not written: the user is told (Cancelled).
    Outcome Save(const CString& path, const CString& text, bool modified);
    // The file's text as the editor loaded or last wrote it; null when unknown.
    const CString* KnownDiskText() const { return m_known ? &m_diskText : nullptr; }
    // False, after telling the user, when the page file is read-only.
    static bool IsWritable(const CString& path);

private:
    enum class Attempt { Done, Ask };
    Attempt WriteUnderLock(const CString& path, const CString& text, bool modified, bool keepBoth, Outcome& outcome);

    CString m_diskText;
    bool m_known = false;
    // The index marker of the page as the editor shows it (1, 2, 0 for none):
    // while the editor's text keeps it, the marker of the file (the store's
    // Index and Unindex) is the one a save writes.
    int m_editorMarker = 0;
};

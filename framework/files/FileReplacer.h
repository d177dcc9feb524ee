// The one road by which a file is rewritten: the new content goes into a
// sibling file next to the target (a fresh, unique name in the same folder),
// and only when that sibling is complete and closed does Commit() put it in
// the target's place in one step. Until then the original is untouched; when
// anything fails (or Commit() is never reached, say because a write threw)
// the destructor removes the sibling and the original stays as it was.
//
//     CFileReplacer replacer(pagePath);        // declare before the file...
//     CStdioFileEx out;                        // ...so the file closes first
//     if (!out.Open(replacer.SiblingPath(), flags, &error)) return fail(error);
//     out.WriteString(...);                    // may throw: the page is kept
//     out.Close();
//     if (!replacer.Commit(&error)) return fail(error);
//
// Commit fails (and keeps the original) while anybody holds the target open for
// writing or with a share mode that refuses it. Plain readers (CFile::modeRead
// with the default share mode) share deletion, so on Windows they do not stand
// in the way; Wine refuses to replace a file that is open at all. Commit tries
// again for up to two seconds while the target is held, so that a reader of a
// moment (another thread or program) does not fail a save. A target that is
// read-only or a folder is refused for good: Commit fails at once then. Close
// your own reader of the original (an encoding conversion) before committing.
//
// The sibling's name starts with "~tq" and ends in ".tmp", so no walk over
// pages (".htm") ever takes one for a page. It carries the writing process's
// id: a sibling whose process is gone (killed in the middle of a write) is
// stale, and RemoveStaleSiblings clears such leftovers away.
#pragma once
#include "core/String.h"
#include "files/FileException.h"

class CFileReplacer {
public:
    // Reserves the sibling (creates it empty) next to the target. When the
    // folder cannot take a file, the sibling path is still given, and opening
    // it reports the reason.
    explicit CFileReplacer(const CString& targetPath);
    ~CFileReplacer();
    CFileReplacer(const CFileReplacer&) = delete;
    CFileReplacer& operator=(const CFileReplacer&) = delete;

    const CString& TargetPath() const { return m_targetPath; }
    const CString& SiblingPath() const { return m_siblingPath; }

    // Flushes the closed sibling to disk and moves it over the target
    // (which need not exist yet). True on success. On failure the target is
    // unchanged, the sibling is removed and the error record says why.
    bool Commit(CFileException* error = nullptr);
    bool IsCommitted() const { return m_committed; }

    // True for a file name that a replacer gives its siblings; the id of
    // the process that made it comes out.
    static bool IsSiblingName(const CString& name, unsigned long* processId = nullptr);
    // Deletes the sibling file at the path when it is stale: its process is
    // no longer running and nobody holds it open (a write in progress holds
    // it without sharing deletion). True when it was deleted.
    static bool RemoveIfStale(const CString& path);
    // RemoveIfStale for every sibling in the folder; the number deleted.
    static int RemoveStaleSiblings(const CString& folder);

private:
    void RemoveSibling();

    CString m_targetPath;
    CString m_siblingPath;
    bool m_committed = false;
};

#include "page/PageSaveGuard.h"

#include "page/PageChangedDlg.h"
#include "page/PageChangedIds.h"
#include "page/ReadOnlyClose.h"

#include "MainFrame.h"
#include "app/WinApp.h"
#include "core/MessageBox.h"
#include "index/AllPagesIndex.h"
#include "links/LinkMerge.h"
#include "pages/PageFile.h"
#include "pages/PageMarkers.h"
#include "pages/PageRewriteLock.h"
#include "tree/TreeNames.h"
#include "util/Files.h"
#include "util/Folders.h"
#include "util/PathParts.h"

namespace {

// Rewritten only where the marker differs: the store's rewrite touches every
// html tag of the text, and an unchanged page must compare as unchanged.
void TakeIndexMarker(CString& text, int flag) {
    if (GetPageIndexFlagOfText(text) != flag) text = RewriteIndexMarkerOfText(text, flag);
}

} // namespace

bool PageSaveGuard::IsWritable(const CString& rawPath) {
    if (!IsPageFileReadOnly(rawPath)) return true;
    CString path = ResolveExistingPagePath(rawPath);
    ShowMessageBox(nullptr,
                   L"The page \"" + GetNameWithoutExt(GetPathLastPart(path)) +
                       L"\" is read-only, so it was not saved. Your changes stay in its window.",
                   L"Tarvelo", MB_OK | MB_ICONEXCLAMATION);
    return false;
}

bool PageSaveGuard::Load(const CString& path) {
    m_known = ReadPageText(ResolveExistingPagePath(path), m_diskText);
    m_editorMarker = m_known ? GetPageIndexFlagOfText(m_diskText) : 0;
    return m_known;
}

void PageSaveGuard::Loaded(const CString& text) {
    m_diskText = text;
    m_known = true;
    m_editorMarker = GetPageIndexFlagOfText(text);
}

PageSaveGuard::Outcome PageSaveGuard::Save(const CString& rawPath, const CString& text, bool modified) {
    CString path = ResolveExistingPagePath(rawPath);
    if (!IsWritable(path)) return Outcome::Cancelled;
    bool keepBoth = false;
    for (;;) {
        Outcome outcome = Outcome::Failed;
        if (WriteUnderLock(path, text, modified, keepBoth, outcome) == Attempt::Done) return outcome;
        // Asked outside the lock: a clip waiting to write must not wait for the user.
        CPageChangedDlg question(GetNameWithoutExt(GetPathLastPart(path)),
                                 GetPathLastPart(FreeCopyPath(GetParentPath(path), GetPathLastPart(path), true)),
                                 AfxGetMainWnd());
        switch (question.DoModal()) {
        case IDC_KEEP_BOTH:
            keepBoth = true;  // the file is read again: it may have changed while the question stood
            break;
        case IDC_RELOAD:
            Load(path);
            return Outcome::Reload;
        default:
            return Outcome::Cancelled;
        }
    }
}

PageSaveGuard::Attempt PageSaveGuard::WriteUnderLock(const CString& path, const CString& page, bool modified,
                                                     bool keepBoth, Outcome& outcome) {
    CString onDisk, copyPath, text = page, loaded = m_diskText;
    const int editorMarker = GetPageIndexFlagOfText(page);
    const bool ownMarker = editorMarker == m_editorMarker;
    bool changed = false;
    {
        PageRewriteLock lock;
        bool read = m_known && ReadPageText(path, onDisk);
        // A marker that only the store changed (Index, Unindex) stays as the
        // file has it, and is no change of another program's: both texts take
        // it as the store writes it, also where they had a plain html tag.
        if (int diskMarker = read ? GetPageIndexFlagOfText(onDisk) : 0; ownMarker && diskMarker != 0) {
            TakeIndexMarker(text, diskMarker);
            TakeIndexMarker(loaded, diskMarker);
        }
        changed = read && onDisk != loaded;
        if (changed) {
            // The old text never goes back over another program's change.
            if (!modified) {
                RegUpdateFile(path);
                outcome = Outcome::LeftAsOnDisk;
                return Attempt::Done;
            }
            OtherWriterMerge merge = MergeOtherWriterLinks(loaded, onDisk, text);
            if (!merge.linksOnly && !keepBoth) return Attempt::Ask;
            text = merge.merged;
            if (!merge.linksOnly) copyPath = FreeCopyPath(GetParentPath(path), GetPathLastPart(path), true);
        }
        // A page whose folder went while it was open (deleted, or renamed
        // where the tree did not hear of it) is written where it was, its
        // folders made again: what the user typed is never lost.
        if (!FolderExists(GetParentPath(path))) CreateFolderPath(GetParentPath(path));
        if ((!copyPath.IsEmpty() && !WritePageText(copyPath, onDisk)) || !WritePageText(path, text)) {
            outcome = Outcome::Failed;
            return Attempt::Done;
        }
        m_diskText = text;
        m_known = true;
        // A merged page is shown again from the file; otherwise the editor
        // goes on with its own text.
        m_editorMarker = changed ? GetPageIndexFlagOfText(text) : editorMarker;
    }
    RegUpdateFile(path);
    if (!copyPath.IsEmpty()) {
        RegUpdateFile(copyPath);
        NotifyPageAdded(copyPath);
    }
    outcome = changed ? Outcome::Merged : Outcome::Written;
    return Attempt::Done;
}

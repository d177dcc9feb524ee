#include "page/PageSaveGuard.h"

#include "page/PageChangedDlg.h"
#include "page/PageChangedIds.h"

#include "MainFrame.h"
#include "app/WinApp.h"
#include "index/AllPagesIndex.h"
#include "links/LinkMerge.h"
#include "pages/PageFile.h"
#include "pages/PageRewriteLock.h"
#include "tree/TreeNames.h"
#include "util/PathParts.h"

bool PageSaveGuard::Load(const CString& path) {
    m_known = ReadPageText(ResolveExistingPagePath(path), m_diskText);
    return m_known;
}

void PageSaveGuard::Loaded(const CString& text) {
    m_diskText = text;
    m_known = true;
}

PageSaveGuard::Outcome PageSaveGuard::Save(const CString& rawPath, const CString& text, bool modified) {
    CString path = ResolveExistingPagePath(rawPath);
    bool keepBoth = false;
    for (;;) {
        Outcome outcome = Outcome::Failed;
        if (WriteUnderLock(path, text, modified, keepBoth, outcome) == Attempt::Done) return outcome;
        // Asked outside the lock: a clip waiting to write must not wait for the user.
        CString name = GetPathLastPart(path);
        int dot = name.ReverseFind(L'.');
        CPageChangedDlg question(dot > 0 ? name.Left(dot) : name,
                                 GetPathLastPart(FreeCopyPath(GetParentPath(path), name, true)), AfxGetMainWnd());
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
    CString onDisk, copyPath, text = page;
    bool changed = false;
    {
        PageRewriteLock lock;
        changed = m_known && ReadPageText(path, onDisk) && onDisk != m_diskText;
        if (changed) {
            // The old text never goes back over another program's change.
            if (!modified) {
                RegUpdateFile(path);
                outcome = Outcome::LeftAsOnDisk;
                return Attempt::Done;
            }
            OtherWriterMerge merge = MergeOtherWriterLinks(m_diskText, onDisk, page);
            if (!merge.linksOnly && !keepBoth) return Attempt::Ask;
            text = merge.merged;
            if (!merge.linksOnly) copyPath = FreeCopyPath(GetParentPath(path), GetPathLastPart(path), true);
        }
        if ((!copyPath.IsEmpty() && !WritePageText(copyPath, onDisk)) || !WritePageText(path, text)) {
            outcome = Outcome::Failed;
            return Attempt::Done;
        }
        m_diskText = text;
        m_known = true;
    }
    RegUpdateFile(path);
    if (!copyPath.IsEmpty()) {
        RegUpdateFile(copyPath);
        NotifyPageAdded(copyPath);
    }
    outcome = changed ? Outcome::Merged : Outcome::Written;
    return Attempt::Done;
}

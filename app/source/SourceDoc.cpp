#include "source/SourceDoc.h"

#include "app/AfxMessageBox.h"
#include "app/WinApp.h"
#include "docview/RichEditView.h"
#include "files/Archive.h"
#include "files/MemFile.h"
#include "page/ReadOnlyClose.h"
#include "pages/PageFile.h"
#include "source/SourceView.h"

#include <richedit.h>

const MessageMap* CSourceDoc::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapCommand<&CSourceDoc::OnFileSave>(ID_FILE_SAVE),
        MapCommand<&CSourceDoc::OnFileSave>(ID_FILE_SAVE_AS),  // the page's own file only
    };
    static const MessageMap map{CRichEditDoc::GetMessageMap(), entries};
    return &map;
}

CRichEditCntrItem* CSourceDoc::CreateClientItem(REOBJECT* object) { return new CSourceCntrItem(object, this); }

void CSourceDoc::Serialize(CArchive& ar) {
    if (ar.IsStoring()) m_bRTF = FALSE;  // a page's source goes back as text
    CRichEditDoc::Serialize(ar);
}

void CSourceDoc::ShowPage(const CString& text) {
    if (CSourceView* view = dynamic_cast<CSourceView*>(GetView())) view->ShowSource(text);
    m_guard.Loaded(text);
    SetModifiedFlag(FALSE);
}

BOOL CSourceDoc::OnSaveDocument(const wchar_t* path) {
    auto* view = dynamic_cast<CSourceView*>(GetView());
    if (!view || !view->GetSafeHwnd()) return FALSE;
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        Serialize(ar);
    }
    // The text as the file takes it, after its byte-order mark.
    const std::string& bytes = file.Bytes();
    if (bytes.size() < 2) return FALSE;
    CString text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), static_cast<int>((bytes.size() - 2) / 2));
    switch (m_guard.Save(path, text, IsModified())) {
    case PageSaveGuard::Outcome::Failed:
        AfxMessageBox(L"File not Open, A Error Happened While Openning the File.");
        [[fallthrough]];
    case PageSaveGuard::Outcome::Cancelled:
        return FALSE;  // the edits stay, and so does the modified mark
    case PageSaveGuard::Outcome::Written:
    case PageSaveGuard::Outcome::LeftAsOnDisk:
        break;
    case PageSaveGuard::Outcome::Merged:  // the view shows what the file now holds
    case PageSaveGuard::Outcome::Reload:
        if (CString now; ReadPageText(path, now)) view->ShowSource(now);
        break;
    }
    view->SendMessage(EM_SETMODIFY, FALSE);
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CSourceDoc::OnFileSave() { OnSaveDocument(GetPathName()); }

BOOL CSourceDoc::SaveModified() {
    if (IsModified() && IsPageFileReadOnly(GetPathName())) return AskCloseReadOnlyPage(GetPathName());
    return CRichEditDoc::SaveModified();
}

BOOL CSourceDoc::DoFileSave() { return !GetPathName().IsEmpty() && OnSaveDocument(GetPathName()); }

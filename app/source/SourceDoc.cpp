#include "source/SourceDoc.h"

#include "app/AfxMessageBox.h"
#include "app/WinApp.h"
#include "docview/RichEditView.h"
#include "files/Archive.h"
#include "files/MemFile.h"
#include "pages/PageFile.h"
#include "pages/PageRewriteLock.h"

#include <richedit.h>

const MessageMap* CSourceDoc::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapCommand<&CSourceDoc::OnFileSave>(ID_FILE_SAVE),
    };
    static const MessageMap map{CRichEditDoc::GetMessageMap(), entries};
    return &map;
}

CRichEditCntrItem* CSourceDoc::CreateClientItem(REOBJECT* object) { return new CSourceCntrItem(object, this); }

void CSourceDoc::Serialize(CArchive& ar) {
    if (ar.IsStoring()) m_bRTF = FALSE;  // a page's source goes back as text
    CRichEditDoc::Serialize(ar);
}

BOOL CSourceDoc::OnSaveDocument(const wchar_t* path) {
    CRichEditView* view = GetView();
    if (!view || !view->GetSafeHwnd()) return FALSE;
    CMemFile text;
    {
        CArchive ar(&text, CArchive::store);
        Serialize(ar);
    }
    bool written;
    {
        PageRewriteLock lock;
        written = WriteFileBytesReplacing(path, text.Bytes());
    }
    if (!written) {
        AfxMessageBox(L"File not Open, A Error Happened While Openning the File.");
        return FALSE;  // the edits stay, and so does the modified mark
    }
    view->SendMessage(EM_SETMODIFY, FALSE);
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CSourceDoc::OnFileSave() { OnSaveDocument(GetPathName()); }

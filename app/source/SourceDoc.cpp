#include "source/SourceDoc.h"

#include "app/AfxMessageBox.h"
#include "app/WinApp.h"
#include "pages/PageFile.h"
#include "pages/PageRewriteLock.h"
#include "source/SourceView.h"

const MessageMap* CSourceDoc::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapCommand<&CSourceDoc::OnFileSave>(ID_FILE_SAVE),
    };
    static const MessageMap map{CDocument::GetMessageMap(), entries};
    return &map;
}

CString CSourceDoc::PageTextFromControl(const CString& text) {
    CString page = text;
    page.Replace(L"\r\n", L"\n");
    page.Replace(L"\r", L"\n");
    return page;
}

BOOL CSourceDoc::IsModified() {
    if (CDocument::IsModified()) return TRUE;
    for (CView* view : GetViews())
        if (view->GetSafeHwnd() && view->SendMessage(EM_GETMODIFY)) return TRUE;
    return FALSE;
}

BOOL CSourceDoc::OnSaveDocument(const wchar_t* path) {
    auto* view = GetViews().empty() ? nullptr : dynamic_cast<CSourceView*>(GetViews().front());
    if (!view) return FALSE;
    bool written;
    {
        PageRewriteLock lock;
        written = WritePageText(path, PageTextFromControl(view->GetSourceText()));
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

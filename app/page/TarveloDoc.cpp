#include "page/TarveloDoc.h"

#include "MainFrame.h"
#include "app/WinApp.h"
#include "pages/PageClean.h"
#include "resource.h"

CTarveloDoc::CTarveloDoc() {
    CWinApp* app = AfxGetApp();
    m_textColor = app->GetProfileInt(L"Settings", L"ColorText", 0);
    m_highlightColor = app->GetProfileInt(L"Settings", L"ColorHilight", 0);
}

const MessageMap* CTarveloDoc::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapCommand<&CTarveloDoc::OnAppExit>(ID_APP_EXIT),
        MapCommand<&CTarveloDoc::OnFileClose>(ID_FILE_CLOSE),
        MapCommand<&CTarveloDoc::OnRefreshView>(ID_VIEW_REFRESH),
    };
    static const MessageMap map{CDocument::GetMessageMap(), entries};
    return &map;
}

BOOL CTarveloDoc::OnNewDocument() { return CDocument::OnNewDocument(); }

void CTarveloDoc::OnCloseDocument() {
    CString path = GetPathName();
    CDocument::OnCloseDocument();  // may delete this document
    NotifyPageClosed(path);
}

BOOL CTarveloDoc::OnSaveDocument(const wchar_t* path) {
    // The editor's own write of the page comes first (the HTML editing view).
    if (!CDocument::OnSaveDocument(path)) return FALSE;
    FinishPageSave(path);
    return TRUE;
}

void CTarveloDoc::OnFileClose() { ClosePage(); }

bool CTarveloDoc::ClosePage() {
    // A close the user cancels leaves the page open and the last page as it was.
    if (!SaveModified()) return false;
    CString path = GetPathName();
    OnCloseDocument();  // deletes this document
    AfxGetApp()->WriteProfileString(L"Settings", L"FileHot", path);
    return true;
}

void CTarveloDoc::OnRefreshView() {
    CString path = GetPathName();
    CWinApp* app = AfxGetApp();
    if (!ClosePage()) return;  // this document is gone from here on
    if (!path.IsEmpty()) app->OpenDocumentFile(path);
}

void CTarveloDoc::OnAppExit() {
    // While a page is active, Exit closes only that page.
    CDocument::OnFileClose();
}

#include "page/TarveloDoc.h"

#include "MainFrame.h"
#include "app/WinApp.h"

CTarveloDoc::CTarveloDoc() {
    CWinApp* app = AfxGetApp();
    m_textColor = app->GetProfileInt(L"Settings", L"ColorText", 0);
    m_highlightColor = app->GetProfileInt(L"Settings", L"ColorHilight", 0);
}

const MessageMap* CTarveloDoc::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapCommand<&CTarveloDoc::OnAppExit>(ID_APP_EXIT),
        MapCommand<&CTarveloDoc::OnFileClose>(ID_FILE_CLOSE),
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

void CTarveloDoc::OnFileClose() {
    // A close the user cancels leaves the page open and the last page as it was.
    if (!SaveModified()) return;
    CString path = GetPathName();
    OnCloseDocument();  // deletes this document
    AfxGetApp()->WriteProfileString(L"Settings", L"FileHot", path);
}

void CTarveloDoc::OnAppExit() {
    // While a page is active, Exit closes only that page.
    CDocument::OnFileClose();
}

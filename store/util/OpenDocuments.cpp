#include "util/OpenDocuments.h"

#include "app/WinApp.h"
#include "docview/DocManager.h"
#include "docview/DocTemplate.h"
#include "docview/Document.h"

#include <vector>

namespace {

// Every open document, taken before any is closed (closing changes the lists).
std::vector<CDocument*> OpenDocuments() {
    std::vector<CDocument*> documents;
    CWinApp* app = AfxGetApp();
    if (!app || !app->m_pDocManager) return documents;
    for (const auto& docTemplate : app->m_pDocManager->GetTemplates())
        for (CDocument* document : docTemplate->GetDocuments()) documents.push_back(document);
    return documents;
}

} // namespace

int IsDocumentOpen(const CString& path) {
    for (CDocument* document : OpenDocuments())
        if (document->GetPathName() == path) return 1;
    return 0;
}

int CloseDocumentByPath(const CString& path) {
    for (CDocument* document : OpenDocuments()) {
        if (document->GetPathName() == path) {
            document->OnCloseDocument();
            return 1;
        }
    }
    return 0;
}

std::vector<CDocument*> OpenDocumentsBelow(const CString& path) {
    std::vector<CDocument*> below;
    for (CDocument* document : OpenDocuments()) {
        const CString& name = document->GetPathName();
        if (name.GetLength() < path.GetLength() || name.Left(path.GetLength()).CompareNoCase(path) != 0) continue;
        if (name.GetLength() == path.GetLength() || name[path.GetLength()] == L'\\') below.push_back(document);
    }
    return below;
}

void CloseAllDocuments() {
    std::vector<CString> paths;
    for (CDocument* document : OpenDocuments()) paths.push_back(document->GetPathName());
    for (const CString& path : paths) CloseDocumentByPath(path);
}

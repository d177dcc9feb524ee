#include "docview/DocManager.h"

#include "app/AfxMessageBox.h"
#include "app/WinApp.h"
#include "docview/DocTemplate.h"
#include "docview/Document.h"
#include "docview/View.h"
#include "wnd/FrameWnd.h"

#include <commdlg.h>

CDocManager::CDocManager() = default;
CDocManager::~CDocManager() = default;

void CDocManager::AddDocTemplate(CDocTemplate* docTemplate) {
    if (docTemplate) m_templates.emplace_back(docTemplate);
}

CDocument* CDocManager::OpenDocumentFile(const wchar_t* path) {
    if (!path || !*path) return nullptr;
    wchar_t buffer[MAX_PATH * 2];
    DWORD length = GetFullPathNameW(path, static_cast<DWORD>(std::size(buffer)), buffer, nullptr);
    if (length == 0 || length >= std::size(buffer)) {
        AfxMessageBox(L"Failed to open document.", MB_OK | MB_ICONEXCLAMATION);
        return nullptr;
    }
    CString full(buffer, static_cast<int>(length));

    CDocTemplate* best = nullptr;
    CDocument* open = nullptr;
    auto bestConfidence = CDocTemplate::noAttempt;
    for (const auto& docTemplate : m_templates) {
        CDocument* match = nullptr;
        auto confidence = docTemplate->MatchDocType(full, match);
        if (confidence > bestConfidence) {
            bestConfidence = confidence;
            best = docTemplate.get();
            open = match;
        }
        if (confidence == CDocTemplate::yesAlreadyOpen) break;
    }
    if (!best) return nullptr;
    if (open) {
        if (!open->GetViews().empty())
            if (CFrameWnd* frame = open->GetViews().front()->GetParentFrame()) frame->ActivateFrame();
        return open;
    }
    return best->OpenDocumentFile(full);
}

void CDocManager::OnFileNew() {
    if (!m_templates.empty()) m_templates.front()->OpenDocumentFile(nullptr);
}

void CDocManager::OnFileOpen() {
    // "Web Pages (*.htm)\0*.htm\0" for each kind of document, then all files.
    std::wstring filter;
    for (const auto& docTemplate : m_templates) {
        CString name, extension;
        if (!docTemplate->GetDocString(name, CDocTemplate::filterName) ||
            !docTemplate->GetDocString(extension, CDocTemplate::filterExt))
            continue;
        std::wstring entry = name.str() + L'\0' + L"*" + extension.str() + L'\0';
        if (filter.find(entry) == std::wstring::npos) filter += entry;
    }
    filter += std::wstring(L"All Files (*.*)") + L'\0' + L"*.*" + L'\0' + L'\0';
    wchar_t file[MAX_PATH] = {};
    OPENFILENAMEW ofn{sizeof(ofn)};
    CWnd* main = AfxGetMainWnd();
    ofn.hwndOwner = main ? main->GetSafeHwnd() : nullptr;
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (!GetOpenFileNameW(&ofn)) return;
    if (CWinApp* app = AfxGetApp()) app->OpenDocumentFile(file);
}

BOOL CDocManager::SaveAllModified() {
    for (const auto& docTemplate : m_templates)
        if (!docTemplate->SaveAllModified()) return FALSE;
    return TRUE;
}

void CDocManager::CloseAllDocuments(BOOL endSession) {
    for (const auto& docTemplate : m_templates) docTemplate->CloseAllDocuments(endSession);
}

int CDocManager::GetOpenDocumentCount() const {
    int count = 0;
    for (const auto& docTemplate : m_templates) count += static_cast<int>(docTemplate->GetDocuments().size());
    return count;
}

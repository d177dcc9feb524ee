#include "docview/DocTemplate.h"

#include "app/AfxMessageBox.h"
#include "app/WinApp.h"
#include "docview/Document.h"
#include "docview/View.h"
#include "wnd/FrameWnd.h"
#include "wnd/Resources.h"

#include <algorithm>
#include <memory>

CDocTemplate::CDocTemplate(UINT resourceId, const CRuntimeClass* documentClass, const CRuntimeClass* frameClass,
                           const CRuntimeClass* viewClass)
    : m_nIDResource(resourceId), m_pDocClass(documentClass), m_pFrameClass(frameClass), m_pViewClass(viewClass) {
    m_strDocStrings = LoadStringResource(resourceId);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    m_hMenuShared = LoadMenuW(instance, MAKEINTRESOURCEW(resourceId));
    m_hAccelTable = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(resourceId));
}

CDocTemplate::~CDocTemplate() {
    // Documents still open at the end of the program go with their template.
    for (CDocument* document : std::vector<CDocument*>(m_documents)) {
        document->m_pDocTemplate = nullptr;
        delete document;
    }
    if (m_hMenuShared) DestroyMenu(m_hMenuShared);
}

BOOL CDocTemplate::GetDocString(CString& text, DocStringIndex index) const {
    text = ResourceStringPart(m_strDocStrings, index);
    return !text.IsEmpty();
}

CDocument* CDocTemplate::CreateNewDocument() {
    if (!m_pDocClass) return nullptr;
    std::unique_ptr<CCmdTarget> object(m_pDocClass->CreateObject());
    auto* document = dynamic_cast<CDocument*>(object.get());
    if (!document) return nullptr;
    object.release();
    AddDocument(document);
    return document;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* document, CFrameWnd* other) {
    if (!m_pFrameClass) return nullptr;
    CCreateContext context;
    context.m_pCurrentFrame = other;
    context.m_pCurrentDoc = document;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    std::unique_ptr<CCmdTarget> object(m_pFrameClass->CreateObject());
    auto* frame = dynamic_cast<CFrameWnd*>(object.get());
    if (!frame) return nullptr;
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) return nullptr;
    object.release();  // the window deletes its object when it is destroyed
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* frame, CDocument* document, BOOL makeVisible) {
    frame->InitialUpdateFrame(document, makeVisible);
}

void CDocTemplate::AddDocument(CDocument* document) {
    m_documents.push_back(document);
    document->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* document) {
    m_documents.erase(std::remove(m_documents.begin(), m_documents.end(), document), m_documents.end());
    if (document->m_pDocTemplate == this) document->m_pDocTemplate = nullptr;
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(const wchar_t* path, CDocument*& match) {
    match = nullptr;
    for (CDocument* document : m_documents) {
        if (document->GetPathName().CompareNoCase(path) == 0) {
            match = document;
            return yesAlreadyOpen;
        }
    }
    CString extension;
    if (GetDocString(extension, filterExt)) {
        CString name(path);
        if (name.GetLength() >= extension.GetLength() &&
            name.Right(extension.GetLength()).CompareNoCase(extension) == 0)
            return yesAttemptNative;
    }
    return yesAttemptForeign;
}

BOOL CDocTemplate::SaveAllModified() {
    for (CDocument* document : std::vector<CDocument*>(m_documents))
        if (!document->SaveModified()) return FALSE;
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL) {
    for (CDocument* document : std::vector<CDocument*>(m_documents)) {
        if (std::find(m_documents.begin(), m_documents.end(), document) == m_documents.end()) continue;
        document->OnCloseDocument();
    }
}

CDocument* CMultiDocTemplate::OpenDocumentFile(const wchar_t* path, BOOL makeVisible) {
    // A file that cannot be read makes no frame: making and destroying one
    // would restore the maximised windows beside it.
    if (path) {
        HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            AfxMessageBox(L"Failed to open document.", MB_OK | MB_ICONEXCLAMATION);
            return nullptr;
        }
        CloseHandle(file);
    }
    CDocument* document = CreateNewDocument();
    if (!document) return nullptr;
    BOOL autoDelete = document->m_bAutoDelete;
    document->m_bAutoDelete = FALSE;  // a failed frame must not take the document with it
    CFrameWnd* frame = CreateNewFrame(document, nullptr);
    document->m_bAutoDelete = autoDelete;
    if (!frame) {
        delete document;
        return nullptr;
    }
    if (!path) {
        SetDefaultTitle(document);
        if (!document->OnNewDocument()) {
            frame->DestroyWindow();  // takes the view and with it the document
            return nullptr;
        }
        ++m_nUntitledCount;
    } else {
        HCURSOR cursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        BOOL opened = document->OnOpenDocument(path);
        SetCursor(cursor);
        if (!opened) {
            frame->DestroyWindow();
            return nullptr;
        }
        document->SetPathName(path);
    }
    InitialUpdateFrame(frame, document, makeVisible);
    return document;
}

void CMultiDocTemplate::SetDefaultTitle(CDocument* document) {
    CString name;
    if (!GetDocString(name, docName)) name = L"Untitled";
    CString title;
    title.Format(L"%ls%u", name.GetString(), m_nUntitledCount + 1);
    document->SetTitle(title);
}

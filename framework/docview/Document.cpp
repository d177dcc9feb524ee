#include "docview/Document.h"

#include "app/AfxMessageBox.h"
#include "app/WinApp.h"
#include "docview/DocTemplate.h"
#include "docview/View.h"
#include "wnd/FrameWnd.h"
#include "wnd/MDIFrameWnd.h"

#include <commdlg.h>

#include <algorithm>

namespace {

CString FullPathOf(const wchar_t* path) {
    wchar_t buffer[MAX_PATH * 2];
    DWORD length = GetFullPathNameW(path, static_cast<DWORD>(std::size(buffer)), buffer, nullptr);
    if (length == 0 || length >= std::size(buffer)) return CString(path);
    return CString(buffer, static_cast<int>(length));
}

}  // namespace

CDocument::~CDocument() {
    for (CView* view : m_views) view->m_pDocument = nullptr;
    if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
}

const MessageMap* CDocument::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapCommand<&CDocument::OnFileClose>(ID_FILE_CLOSE),
        MapCommand<&CDocument::OnFileSave>(ID_FILE_SAVE),
        MapCommand<&CDocument::OnFileSaveAs>(ID_FILE_SAVE_AS),
    };
    static const MessageMap map{CCmdTarget::GetMessageMap(), entries};
    return &map;
}

BOOL CDocument::OnCmdMsg(CommandCall& call) {
    if (CCmdTarget::OnCmdMsg(call)) return TRUE;
    return m_pDocTemplate && m_pDocTemplate->OnCmdMsg(call);
}

void CDocument::SetTitle(const wchar_t* title) {
    m_strTitle = title ? title : L"";
    UpdateFrameCounts();
}

void CDocument::SetPathName(const wchar_t* path, BOOL addToRecentFiles) {
    m_strPathName = FullPathOf(path ? path : L"");
    int slash = m_strPathName.ReverseFind(L'\\');
    SetTitle(m_strPathName.Mid(slash + 1));
    if (addToRecentFiles)
        if (CWinApp* app = AfxGetApp()) app->AddToRecentFileList(m_strPathName);
}

void CDocument::AddView(CView* view) {
    if (!view || std::find(m_views.begin(), m_views.end(), view) != m_views.end()) return;
    m_views.push_back(view);
    view->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* view) {
    auto it = std::find(m_views.begin(), m_views.end(), view);
    if (it == m_views.end()) return;
    m_views.erase(it);
    view->m_pDocument = nullptr;
    OnChangedViewList();
}

void CDocument::OnChangedViewList() {
    if (m_views.empty() && m_bAutoDelete) {
        OnCloseDocument();
        return;
    }
    UpdateFrameCounts();
}

namespace {
// The frame a view belongs to: its parent frame, or, for a view shown outside its MDI child
// (in a bar of the MDI frame), the child whose view it is.
CFrameWnd* FrameOfView(CView* view) {
    CFrameWnd* frame = view->GetParentFrame();
    if (!frame || frame->GetActiveView() == view) return frame;
    auto* mdi = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
    if (!mdi || !mdi->m_hWndMDIClient) return frame;
    for (HWND child = ::GetWindow(mdi->m_hWndMDIClient, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (auto* owner = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(child)); owner && owner->GetActiveView() == view) return owner;
    return frame;
}
}  // namespace

void CDocument::UpdateFrameCounts() {
    std::vector<CFrameWnd*> counted;
    for (CView* view : m_views) {
        if (!view->m_hWnd || !view->IsWindowVisible()) continue;
        CFrameWnd* frame = FrameOfView(view);
        if (frame && std::find(counted.begin(), counted.end(), frame) == counted.end()) counted.push_back(frame);
    }
    const int frames = static_cast<int>(counted.size());
    for (int i = 0; i < frames; ++i) counted[static_cast<size_t>(i)]->m_nWindow = frames == 1 ? 0 : i + 1;
    std::vector<CFrameWnd*> titled;
    for (CView* view : m_views) {
        CFrameWnd* frame = view->m_hWnd ? FrameOfView(view) : nullptr;
        if (frame && std::find(titled.begin(), titled.end(), frame) == titled.end()) titled.push_back(frame);
    }
    for (CFrameWnd* frame : titled) frame->OnUpdateFrameTitle(TRUE);
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CCmdTarget* hintObject) {
    for (CView* view : std::vector<CView*>(m_views))
        if (view != sender) view->OnUpdate(sender, hint, hintObject);
}

BOOL CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(const wchar_t* path) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        AfxMessageBox(L"Failed to open document.", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    CloseHandle(file);
    DeleteContents();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(const wchar_t*) {
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::OnCloseDocument() {
    BOOL autoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;  // destroying the frames must not delete us half-way
    while (!m_views.empty()) {
        CView* view = m_views.front();
        if (CFrameWnd* frame = view->GetParentFrame()) {
            PreCloseFrame(frame);
            frame->DestroyWindow();
        }
        if (!m_views.empty() && m_views.front() == view) {
            // A view without a frame of its own.
            RemoveView(view);
            if (view->GetSafeHwnd()) view->DestroyWindow();
        }
    }
    m_bAutoDelete = autoDelete;
    DeleteContents();
    if (m_bAutoDelete) delete this;
}

BOOL CDocument::SaveModified() {
    if (!IsModified()) return TRUE;
    CString name = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
    if (name.IsEmpty()) name = L"Untitled";
    CString prompt;
    prompt.Format(L"Save changes to %ls?", name.GetString());
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES:
        return DoFileSave();
    case IDNO:
        return TRUE;
    default:  // Cancel, or a box closed without an answer
        return FALSE;
    }
}

BOOL CDocument::CanCloseFrame(CFrameWnd* frame) {
    for (CView* view : m_views)
        if (view->GetParentFrame() != frame) return TRUE;  // another frame still shows the document
    return SaveModified();
}

BOOL CDocument::DoFileSave() {
    DWORD attributes = m_strPathName.IsEmpty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(m_strPathName);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return DoSave(nullptr);
    return DoSave(m_strPathName.IsEmpty() ? nullptr : m_strPathName.GetString());
}

BOOL CDocument::DoSave(const wchar_t* path, BOOL replace) {
    CString target(path ? path : L"");
    if (target.IsEmpty()) {
        wchar_t buffer[MAX_PATH] = {};
        lstrcpynW(buffer, m_strTitle, MAX_PATH);
        OPENFILENAMEW ofn{sizeof(ofn)};
        CWnd* main = AfxGetMainWnd();
        ofn.hwndOwner = main ? main->GetSafeHwnd() : nullptr;
        ofn.lpstrFile = buffer;
        ofn.nMaxFile = MAX_PATH;
        ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
        if (!GetSaveFileNameW(&ofn)) return FALSE;
        target = buffer;
    }
    if (!OnSaveDocument(target)) return FALSE;
    if (replace) SetPathName(target);
    return TRUE;
}

void CDocument::OnFileClose() {
    if (!SaveModified()) return;
    OnCloseDocument();
}

void CDocument::OnFileSave() { DoFileSave(); }
void CDocument::OnFileSaveAs() { DoSave(nullptr); }

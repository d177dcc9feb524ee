#include "TreeFixture.h"

#include "ChildFrame.h"
#include "Utf16Bytes.h"
#include "page/TarveloDoc.h"
#include "page/TarveloView.h"
#include "resource.h"
#include "source/SourceDoc.h"
#include "source/SourceView.h"
#include "util/Registry.h"

TreeWindow::TreeWindow() {
    m_allpages = m_install.Path() + L"\\Bookmark\\Allpages";
    CreateDirectoryW(m_install.Path() + L"\\Bookmark", nullptr);
    CreateDirectoryW(m_allpages, nullptr);
    ProgramRegistryGuard::WriteString(L"Settings", L"InstallPath", m_install.Path());
}

TreeWindow::~TreeWindow() {
    if (m_pages)
        for (CDocument* document : std::vector<CDocument*>(m_pages->GetDocuments())) document->SetModifiedFlag(FALSE);
    if (m_sources)
        for (CDocument* document : std::vector<CDocument*>(m_sources->GetDocuments())) {
            document->SetModifiedFlag(FALSE);
            for (CView* view : document->GetViews()) view->SendMessage(EM_SETMODIFY, FALSE);
        }
}

CString TreeWindow::Page(const CString& relative, const CString& body) {
    CString path = Full(relative);
    WriteFileBytes(path, Utf16Bytes(L"<html id=tq1>\n<body>\n" + body + L"\n</body>\n</html>\n"));
    return path;
}

CString TreeWindow::Folder(const CString& relative) {
    CString path = Full(relative);
    CreateDirectoryW(path, nullptr);
    return path;
}

void TreeWindow::OpenWindow(bool show) {
    m_pages = new CMultiDocTemplate(IDR_PAGETYPE, RuntimeClass<CTarveloDoc>(), RuntimeClass<CChildFrame>(),
                                    RuntimeClass<CTarveloView>());
    m_app.AddDocTemplate(m_pages);
    m_sources = new CMultiDocTemplate(IDR_PAGETYPE, RuntimeClass<CSourceDoc>(), RuntimeClass<CChildFrame>(),
                                      RuntimeClass<CSourceView>());
    m_app.AddDocTemplate(m_sources);
    m_frame = new CMainFrame;
    ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    m_frame->m_pSourceTemplate = m_sources;
    m_app.m_pMainWnd = m_frame;
    m_frame->MoveWindow(0, 0, 800, 600);
    if (show) m_frame->ShowWindow(SW_SHOW);
    PumpMessages();
}

bool TreeWindow::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
}

HTREEITEM TreeWindow::Item(const CString& relative) {
    auto found = Tree().m_itemsByPath.find(relative.IsEmpty() ? m_allpages : Full(relative));
    return found == Tree().m_itemsByPath.end() ? nullptr : found->second;
}

std::vector<CString> TreeWindow::Labels(HTREEITEM parent) {
    std::vector<CString> labels;
    for (HTREEITEM child = Tree().GetChildItem(parent); child; child = Tree().GetNextSiblingItem(child))
        labels.push_back(Tree().GetItemText(child));
    return labels;
}

int TreeWindow::Image(HTREEITEM item) {
    int image = -1, selected = -1;
    Tree().GetItemImage(item, image, selected);
    return image;
}

void TreeWindow::UserExpand(HTREEITEM item, bool expand) {
    Tree().SelectItem(item);
    Tree().SendMessage(WM_KEYDOWN, expand ? VK_RIGHT : VK_LEFT, 0);
    PumpMessages();
}

bool TreeWindow::EditLabel(HTREEITEM item, const CString& text, bool cancel) {
    Tree().SetFocus();
    Tree().SelectItem(item);
    HWND edit = Tree().EditLabel(item);
    if (!edit) return false;
    SetWindowTextW(edit, text);
    CString before = Tree().GetItemText(item);
    Tree().EndEditLabelNow(cancel);
    PumpMessages();
    return Tree().GetItemText(item) == text && (before != text || !cancel);
}

CDocument* TreeWindow::OpenDocument(const CString& relative) {
    for (CDocument* document : m_pages->GetDocuments())
        if (document->GetPathName() == Full(relative)) return document;
    return nullptr;
}

namespace {
void Walk(const CString& folder, const CString& prefix, std::set<CString>& entries) {
    for (const CString& name : ListFolder(folder)) {
        CString full = folder + L"\\" + name;
        DWORD attributes = GetFileAttributesW(full);
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            entries.insert(prefix + name + L"\\");
            Walk(full, prefix + name + L"\\", entries);
        } else if (name.Right(4) == L".htm") {
            entries.insert(prefix + name.Left(name.GetLength() - 4));
        }
    }
}
}  // namespace

std::set<CString> TreeWindow::DiskEntries() {
    std::set<CString> entries;
    Walk(m_allpages, L"", entries);
    return entries;
}

std::set<CString> TreeWindow::IndexNames() {
    std::vector<CString> names = GetSettingNames(L"AllPages");
    return std::set<CString>(names.begin(), names.end());
}

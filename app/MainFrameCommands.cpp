// The page and folder commands of the main window: new page, new folder,
// delete, rename, refresh, view source and the open count. Each works on the
// folder tree's selection, writes the disk through the store and shows the
// result in the tree only once the disk took it.
#include "MainFrame.h"

#include "app/AfxMessageBox.h"
#include "app/WinApp.h"
#include "dialogs/DialogAddPage.h"
#include "docview/DocManager.h"
#include "docview/DocTemplate.h"
#include "docview/Document.h"
#include "exchange/DialogExport.h"
#include "index/AllPagesIndex.h"
#include "page/TarveloView.h"
#include "pages/PageFile.h"
#include "pages/PageTemplate.h"
#include "resource.h"
#include "source/SourceDoc.h"
#include "tree/TreeNames.h"
#include "util/OpenDocuments.h"
#include "util/PathParts.h"
#include "wnd/MDIChildWnd.h"

#include <functional>
#include <vector>

namespace {

const wchar_t kBadPageName[] =
    L"File not created, because the name holds \\ / : * ? \" < > |, \"..\" or a final dot or blank!";
const wchar_t kBadFolderName[] =
    L"Folder not created, because the name is empty or holds \\ / : * ? \" < > |, \"..\" or a final dot or blank!";

// Asks for a name, starting with `name` in the box.
bool AskName(CString& name) {
    CDialogAddPage dialog;
    dialog.m_strName = name;
    if (dialog.DoModal() != IDOK) return false;
    name = dialog.m_strName;
    return true;
}

// Asks for a name and makes the item: a refused name comes back in the box,
// to be mended rather than typed again.
void AskNameUntilTaken(const std::function<bool(const CString&, bool*)>& make) {
    CString name;
    bool refused = false;
    do {
        refused = false;
        if (!AskName(name)) return;
    } while (!make(name, &refused) && refused && !name.IsEmpty());
}

// Refuses a name: says why and notes it for the command, which asks again.
bool RefuseName(const CString& text, bool* nameRefused) {
    AfxMessageBox(text);
    if (nameRefused) *nameRefused = true;
    return false;
}

}  // namespace

HTREEITEM CMainFrame::TargetFolderItem() const {
    HTREEITEM item = m_wndTree.GetSelectedItem();
    if (!item) return m_wndTree.GetRootItem();
    if (m_wndTree.IsPage(item)) return m_wndTree.GetParentItem(item);
    return item;
}

void CMainFrame::OnNewPage() {
    AskNameUntilTaken([this](const CString& name, bool* refused) { return NewPage(name, refused); });
}

bool CMainFrame::NewPage(const CString& name, bool* nameRefused) {
    if (name.IsEmpty()) return RefuseName(L"File not created, because no new page name!", nameRefused);
    if (!IsAcceptableItemName(name)) return RefuseName(kBadPageName, nameRefused);
    HTREEITEM folderItem = TargetFolderItem();
    if (!folderItem) return false;
    CString folder = m_wndTree.ItemPath(folderItem);
    CString path = folder + L"\\" + name + L".htm";
    if (CString problem = PathLengthProblem(path, false); !problem.IsEmpty())
        return RefuseName(L"File not created, because the name is too long: " + problem + L"!", nameRefused);
    if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES ||
        GetFileAttributesW(path + L"l") != INVALID_FILE_ATTRIBUTES)
        return RefuseName(L"Error! A file named \"" + name + L"\" already exists! No file was created.", nameRefused);
    // AddNewFile writes into the folder of the tree's selection, as found above.
    if (!AddNewFile(m_wndTree.GetSafeHwnd(), name)) return false;
    if (m_wndTree.IsExpanded(folderItem) || folderItem == m_wndTree.GetRootItem()) {
        m_wndTree.InsertEntry(folderItem, folder, name + L".htm", false, false);
    } else {
        m_wndTree.SetItemHasChildren(folderItem, true);
        m_wndTree.ExpandFolder(folderItem);
    }
    RegUpdateFile(path);
    auto item = m_wndTree.m_itemsByPath.find(path);
    if (item == m_wndTree.m_itemsByPath.end()) return true;
    m_wndTree.SelectItem(item->second);
    m_wndTree.OpenPage(item->second);
    return true;
}

void CMainFrame::OnNewFolder() {
    AskNameUntilTaken([this](const CString& name, bool* refused) { return NewFolder(name, refused); });
}

bool CMainFrame::NewFolder(const CString& name, bool* nameRefused) {
    if (!IsAcceptableItemName(name)) return RefuseName(kBadFolderName, nameRefused);
    HTREEITEM folderItem = TargetFolderItem();
    if (!folderItem) return false;
    CString folder = m_wndTree.ItemPath(folderItem);
    CString path = folder + L"\\" + name;
    if (CString problem = PathLengthProblem(path, true); !problem.IsEmpty())
        return RefuseName(L"Folder not created, because the name is too long: " + problem + L"!", nameRefused);
    if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES)
        return RefuseName(L"Error! A folder named \"" + name + L"\" already exists! No folder was created.",
                          nameRefused);
    if (folder.IsEmpty() || !CreateDirectoryW(path, nullptr)) {
        AfxMessageBox(L"Error! Folder not created!");
        return false;
    }
    if (m_wndTree.IsExpanded(folderItem) || folderItem == m_wndTree.GetRootItem()) {
        m_wndTree.InsertEntry(folderItem, folder, name, true, false);
    } else {
        m_wndTree.SetItemHasChildren(folderItem, true);
        m_wndTree.ExpandFolder(folderItem);
    }
    auto item = m_wndTree.m_itemsByPath.find(path);
    if (item == m_wndTree.m_itemsByPath.end()) return true;
    // The folder is new, so empty: it shows no expand button until it holds something.
    m_wndTree.SetItemHasChildren(item->second, false);
    m_wndTree.SelectItem(item->second);
    return true;
}

void CMainFrame::OnDelete() { m_wndTree.DeleteSelected(); }

void CMainFrame::OnRename() {
    HTREEITEM item = m_wndTree.GetSelectedItem();
    if (!item || item == m_wndTree.GetRootItem()) return;
    m_wndTree.SetFocus();
    m_wndTree.EditLabel(item);
}

void CMainFrame::RefillTree(bool setUpAgain) {
    // Every window goes through its document's close command (which asks to
    // save a modified page) before the tree is built again.
    CWinApp* app = AfxGetApp();
    std::vector<CDocument*> documents;
    if (app && app->m_pDocManager)
        for (const auto& docTemplate : app->m_pDocManager->GetTemplates())
            for (CDocument* document : docTemplate->GetDocuments()) documents.push_back(document);
    for (CDocument* document : documents) {
        CommandCall close;
        close.id = ID_FILE_CLOSE;
        document->OnCmdMsg(close);
    }
    m_treeFiller.ClearTree();
    if (setUpAgain) m_treeFiller.SetUp(&m_wndTree, m_imageList, QuietAllpagesPath());
    m_treeFiller.FillTree();
}

void CMainFrame::OnRefreshTree() { RefillTree(true); }
void CMainFrame::OnCloseAllAndReload() { RefillTree(false); }

void CMainFrame::OnViewSource() {
    CString path;
    CMDIChildWnd* child = MDIGetActive();
    if (child && dynamic_cast<CTarveloView*>(child->GetActiveView()) && child->GetActiveDocument())
        path = child->GetActiveDocument()->GetPathName();
    if (path.IsEmpty()) {
        HTREEITEM item = m_wndTree.GetSelectedItem();
        if (!item || !m_wndTree.IsPage(item)) {
            AfxMessageBox(L"Please select a file on the left side to view its source code!");
            return;
        }
        path = m_wndTree.ItemPath(item);
    }
    ViewSource(path);
}

void CMainFrame::ViewSource(const CString& path) {
    CString text;
    if (!ReadPageText(path, text)) {
        AfxMessageBox(L"Cannot open " + path);
        return;
    }
    if (!m_pSourceTemplate) return;
    // The page's own window closes first (a modified page is asked about);
    // the source shows the file as that close left it.
    if (!CXTreeCtrl::SaveAndCloseDocumentsBelow(path)) return;
    if (!ReadPageText(path, text)) {
        AfxMessageBox(L"Cannot open " + path);
        return;
    }
    CDocument* document = m_pSourceTemplate->OpenDocumentFile(path);
    if (!document || document->GetViews().empty()) return;
    if (auto* source = dynamic_cast<CSourceDoc*>(document)) source->ShowPage(text);
}

void CMainFrame::OnShowOpenCount() {
    HTREEITEM item = m_wndTree.GetSelectedItem();
    CString path = item ? m_wndTree.ItemPath(item) : m_wndTree.m_allpagesPath;
    CString text;
    text.Format(L"%d", m_wndTree.m_openCounts[path]);
    AfxMessageBox(text);
}

void CMainFrame::OnExportSelected() {
    HTREEITEM item = m_wndTree.GetSelectedItem();
    if (!item || m_wndTree.GetItemText(item).IsEmpty()) {
        AfxMessageBox(L"No item selected");
        return;
    }
    CDialogExport dialog(this);
    dialog.DoModal();  // shown for the selection; its choice is not acted on
}

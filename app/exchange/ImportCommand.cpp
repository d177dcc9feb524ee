// The main window's Import command: the import dialog, then the chosen kind
// of source brought into the Allpages folder and shown in the folder tree.
#include "MainFrame.h"

#include "exchange/DialogImport.h"
#include "exchange/ExchangeMessages.h"
#include "exchange/PageImport.h"
#include "favorites/FavoriteEngine.h"
#include "forms/FormRecordImport.h"
#include "page/TarveloDoc.h"
#include "pages/PageMarkers.h"
#include "index/AllPagesIndex.h"
#include "install/InstallPath.h"
#include "util/Files.h"
#include "util/Folders.h"
#include "util/OpenDocuments.h"
#include "util/PathParts.h"

#include "app/WinApp.h"
#include "core/MessageBox.h"
#include "wnd/WaitCursor.h"

namespace {

void Tell(const CString& text) { ShowMessageBox(nullptr, text, L"Tarvelo", MB_OK); }

bool AskOk(const CString& text) { return ShowMessageBox(nullptr, text, L"Warning", MB_OKCANCEL) == IDOK; }

// A page that a bookmark file's links are about to join: the user agrees.
bool MayUpdate(const CString& page) {
    return !FileExists(page) ||
           AskOk(L"\"" + GetPathLastPart(page) + L"\" already exists. CURRENT bookmarks will be updated if name is the same.CONTINUE?");
}

// An unmodified page window shows the page with its new links; a modified
// one keeps its edits, and its save joins the new links in (the page guard).
void ShowPageChange(const CString& page) {
    for (CDocument* document : OpenDocumentsBelow(page))
        if (auto* open = dynamic_cast<CTarveloDoc*>(document); open && !open->IsModified()) open->ReloadFromFile();
}

// A folder chosen for import must neither be the page tree nor hold it nor
// lie inside it (the walk would read what it writes).
bool IsClearOfStore(const CString& folder, const CString& allpages) {
    return !IsPathWithin(folder, allpages) && !IsPathWithin(allpages, folder);
}

} // namespace

void CMainFrame::ShowImportedPath(const CString& path) {
    HTREEITEM root = m_wndTree.GetRootItem();
    if (!root) return;
    auto known = m_wndTree.m_itemsByPath.find(path);
    if (known != m_wndTree.m_itemsByPath.end() && known->second) {
        if (m_wndTree.IsPage(known->second)) {
            m_wndTree.SelectItem(known->second);
            return;
        }
        // A folder shows its new contents when it is filled afresh.
        m_wndTree.DeleteItem(known->second);
    }
    m_wndTree.AddPathToTree(path, root);
    if (HTREEITEM item = m_wndTree.GetSelectedItem(); item && !m_wndTree.IsPage(item))
        m_wndTree.Expand(item, TVE_COLLAPSE);
}

int CMainFrame::GetPageMarker(const CString& path) { return GetPageIndexFlag(path); }

void CMainFrame::ImportFolder(const CString& folder, const CString& base) {
    CString allpages = GetAllpagesPath();
    if (allpages.IsEmpty()) return;
    CString relative = folder.GetLength() > base.GetLength() ? folder.Mid(base.GetLength()) : CString();
    ImportFolderInto(folder, allpages + GetPathTail(base) + relative);
}

void CMainFrame::OnImport() {
    CDialogImport dialog(this);
    while (dialog.DoModal() == IDOK) {
        CString install = GetInstallPath();
        if (!IsUsableInstallPath(install)) return;
        CString allpages = install + kAllpagesFolder;
        CString path = dialog.m_strPath;
        path.Trim();
        while (path.GetLength() > 3 && path[path.GetLength() - 1] == L'\\') path.Truncate(path.GetLength() - 1);
        switch (dialog.m_nSourceKind) {
        case kImportFile: {
            if (path.IsEmpty()) {
                Tell(L"Please select a file name!");
                continue;
            }
            CString page = ImportTarget(path, allpages);
            if (page.IsEmpty()) {
                Tell(kImportNoTitle);
                continue;
            }
            if (CString written; ImportFile(path, allpages, &written)) ShowImportedPath(written);
            return;
        }
        case kImportFavorites: {
            CString page = MakeUniquePath(allpages + L"\\MyFav.htm");
            CWaitCursor wait;  // every shortcut is read through the shell
            CFavoriteEngine engine;
            engine.LoadFavoritesTree();
            if (!engine.ImportFavorites(page)) return;
            m_treeFiller.ClearTree();
            m_treeFiller.FillTree();
            IndexImportedPage(page);
            if (HTREEITEM item = m_wndTree.FindItemByPath(m_wndTree.GetRootItem(), page)) {
                m_wndTree.SelectItem(item);
                m_wndTree.OpenPage(item);
            }
            return;
        }
        case kImportFolder: {
            if (path.IsEmpty()) {
                Tell(L"Please select a directory name!");
                return;
            }
            if (!FolderExists(path) || GetPathLastPart(path).IsEmpty() || path.GetLength() <= 3) {
                Tell(L"Please select a directory name!");
                return;
            }
            if (!IsClearOfStore(path, allpages)) {
                Tell(kImportInsideStore);
                return;
            }
            CString target = allpages + L"\\" + GetPathLastPart(path);
            ImportFolder(path, path);
            ShowImportedPath(target);
            return;
        }
        case kImportWholeStore: {
            if (path.IsEmpty()) {
                Tell(L"Please locate the Tarvelo Bookmark directory!");
                return;
            }
            if (!FolderExists(path + L"\\AllPages")) {
                Tell(L"The directory seems not right, failed to import!");
                return;
            }
            if (!IsClearOfStore(path + L"\\AllPages", allpages) || IsPathWithin(path, install + L"\\Bookmark")) {
                Tell(L"The directory seems not right, failed to import!");
                return;
            }
            if (!AskOk(L"All open files will be closed. CURRENT bookmarks will be updated if name is the same.CONTINUE?")) {
                Tell(L"Tarvelo BookMarks NOT imported, job cancelled by user.");
                return;
            }
            // Modified pages are offered for saving first; Cancel there stops the import.
            if (CWinApp* app = AfxGetApp(); app && !app->SaveAllModified()) {
                Tell(L"Tarvelo BookMarks NOT imported, job cancelled by user.");
                return;
            }
            HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            ::CloseAllDocuments();
            // The records first: the pages' links follow a record that had
            // to take a free number.
            FormRecordRenames renames;
            std::vector<CString> recordsLeft;
            if (FolderExists(path + L"\\Forms"))
                renames = ImportFormRecords(path + L"\\Forms", install + kFormsFolder, &recordsLeft);
            CString saved = path + L"\\AllPages";
            WIN32_FIND_DATAW data;
            HANDLE find = FindFirstFileW(saved + L"\\*.*", &data);
            if (find != INVALID_HANDLE_VALUE) {
                do {
                    CString name(data.cFileName);
                    if (name == L"." || name == L"..") continue;
                    CString full = saved + L"\\" + name;
                    // As the question says: a page of the same name gains the
                    // saved page's links (a numbered copy only where it holds
                    // words the current page lacks).
                    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                            ImportFolderInto(full, allpages + GetPathTail(full), SameNamedPage::MergeLinks, &renames);
                    } else if (IsHtmlFileName(name)) {
                        ImportFile(full, allpages, nullptr, SameNamedPage::MergeLinks, &renames);
                    }
                } while (FindNextFileW(find, &data));
                FindClose(find);
            }
            m_treeFiller.ClearTree();
            m_treeFiller.FillTree();
            SetCursor(previous);
            if (!recordsLeft.empty()) {
                CString list;
                for (const CString& record : recordsLeft) list += L"\n" + record;
                Tell(kFormRecordsNotImported + list);
                return;
            }
            Tell(L"Successfully imported Tarvelo BookMarks!");
            return;
        }
        case kImportFirefoxFile:
        case kImportIeFile: {
            if (path.IsEmpty()) {
                Tell(L"Please select a file name!");
                continue;
            }
            CString page = ImportTarget(path, allpages);
            if (page.IsEmpty()) {
                Tell(kImportNoTitle);
                continue;
            }
            if (IsSamePath(path, page)) {
                Tell(kImportSameFile);
                return;
            }
            if (!MayUpdate(page)) return;
            if (!ImportBookmarkFile(path, page, dialog.m_nSourceKind == kImportFirefoxFile)) return;
            IndexImportedPage(page);
            ShowPageChange(page);
            ShowImportedPath(page);
            return;
        }
        default:
            return;
        }
    }
}

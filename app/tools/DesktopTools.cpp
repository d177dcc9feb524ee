// The main window's desktop tools: the backup copy of the page tree, the
// office applications' recent-file lists, the browser's Favorites and typed
// addresses, and the drive-hiding dialog.
#include "MainFrame.h"

#include "bookmarks/BookmarkExport.h"
#include "dialogs/DialogHideDrive.h"
#include "favorites/FavoritesExport.h"
#include "install/InstallPath.h"
#include "page/TarveloView.h"
#include "tools/BackupFolder.h"
#include "util/Files.h"
#include "util/Folders.h"
#include "util/OpenDocuments.h"
#include "util/Registry.h"

#include "core/MessageBox.h"
#include "docview/Document.h"
#include "wnd/MDIChildWnd.h"
#include "wnd/WaitCursor.h"

#include <shlwapi.h>

namespace {

void Tell(const CString& text) { ShowMessageBox(nullptr, text, L"Tarvelo", MB_OK); }
bool AskOk(const CString& text) { return ShowMessageBox(nullptr, text, L"Warning", MB_OKCANCEL) == IDOK; }

void ClearRecentFiles(const wchar_t* key) {
    Tell(ClearRegistryKey(HKEY_CURRENT_USER, key) ? L"The recent file list of word has been cleared!"
                                                  : L"The recent file list of word was failed to be cleared!");
}

} // namespace

CString CMainFrame::ActivePagePath() const {
    CMDIChildWnd* child = const_cast<CMainFrame*>(this)->MDIGetActive();
    if (child && dynamic_cast<CTarveloView*>(child->GetActiveView()) && child->GetActiveDocument())
        return child->GetActiveDocument()->GetPathName();
    return CString();
}

CString CMainFrame::SelectedPagePath() const {
    HTREEITEM item = m_wndTree.GetSelectedItem();
    if (!item || item == m_wndTree.GetRootItem() || !m_wndTree.IsPage(item)) return CString();
    return m_wndTree.ItemPath(item);
}

void CMainFrame::OnRestoreBackup() {
    if (!AskOk(L"This will restore all pages from system automatic back up. Are you sure to restore all pages?")) return;
    if (!AskOk(L"The reserved pages may obsolete, and the current pages will all be deleted! Do you want to continue?"))
        return;
    CWaitCursor wait;
    CString install = GetInstallPath();
    if (!RestoreFromBackup(install)) return;
    ::CloseAllDocuments();
    m_wndTree.m_openCounts.clear();
    m_wndTree.m_itemsByPath.clear();
    m_wndTree.m_openCounts[install + kAllpagesFolder] = 0;
    m_treeFiller.ClearTree();
    m_treeFiller.FillTree();
}

void CMainFrame::OnRenewBackup() {
    if (!AskOk(L"This will delete all files your previously backed up. Are you sure to continue?")) return;
    CWaitCursor wait;
    RenewBackup(GetInstallPath());
}

void CMainFrame::OnClearWordRecentFiles() { ClearRecentFiles(L"Software\\Microsoft\\Office\\12.0\\Word\\File MRU\\"); }
void CMainFrame::OnClearExcelRecentFiles() { ClearRecentFiles(L"Software\\Microsoft\\Office\\12.0\\Excel\\File MRU\\"); }

void CMainFrame::OnRestoreFavorites() {
    if (CString active = ActivePagePath(); !active.IsEmpty()) {
        RestoreFavorites(active);
        return;
    }
    CString page = SelectedPagePath();
    if (page.IsEmpty()) Tell(L"Please select a file!");
    else if (PathFileExistsW(page)) RestoreFavorites(page);
    else Tell(L"Please select a file to restore.");
}

void CMainFrame::OnRestoreTypedUrls() {
    if (CString active = ActivePagePath(); !active.IsEmpty()) {
        RestoreTypedURLs(active);
        return;
    }
    CString page = SelectedPagePath();
    if (page.IsEmpty()) Tell(L"Error! Please select a file!");
    else if (!PathExistsByFind(page)) Tell(L"Error! No File Selected");
    // The tool has said why when it changed nothing.
    else if (RestoreTypedURLs(page)) Tell(L"Your IE history file has been updated.");
}

void CMainFrame::OnEmptyFavorites() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                      KEY_READ, &key) != ERROR_SUCCESS) {
        Tell(L"Error, cannot open hKEY!");
        return;
    }
    CString favorites;
    LONG status = ReadRegistryString(key, L"Favorites", favorites);
    RegCloseKey(key);
    // An empty, relative or root value would empty a whole drive: refused.
    if (status != ERROR_SUCCESS || !IsSafeStorePath(favorites) || !FolderExists(favorites)) {
        Tell(L"Error, cannot QUERY Favorites!");
        return;
    }
    if (ShowMessageBox(nullptr, L"All items in My Favorites will be deleted! Continue?", L"Warning", MB_OKCANCEL) != IDOK)
        return;
    EmptyFavoritesFolder(favorites);
}

void CMainFrame::OnHideDrive() {
    CDialogHideDrive dialog(this);
    dialog.DoModal();
}

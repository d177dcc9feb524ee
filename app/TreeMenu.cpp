// The folder tree menu's helpers on the application object: each runs the
// main window's command, or indexes the tree's selected page or folder.
#include "TarveloApp.h"

#include "MainFrame.h"
#include "index/AllPagesIndex.h"
#include "resource.h"

namespace {

CMainFrame* MainFrame() { return dynamic_cast<CMainFrame*>(AfxGetMainWnd()); }

void RunMainCommand(UINT id) {
    if (CMainFrame* frame = MainFrame()) frame->SendMessage(WM_COMMAND, id);
}

// Index or Unindex of the tree's selected page, or of every page below the
// selected folder (the root: all pages).
void IndexSelected(bool index) {
    CMainFrame* frame = MainFrame();
    if (!frame) return;
    CXTreeCtrl& tree = frame->m_wndTree;
    HTREEITEM item = tree.GetSelectedItem();
    if (!item) return;
    CString path = tree.ItemPath(item);
    if (tree.IsPage(item)) {
        if (index) IndexPage(path);
        else UnindexPage(path);
    } else {
        if (index) IndexFolder(path);
        else UnindexFolder(path);
    }
}

}  // namespace

void CTarveloApp::TreeMenuSearch() { RunMainCommand(ID_EDIT_SEARCH); }
void CTarveloApp::TreeMenuNewFolder() { RunMainCommand(ID_FILE_NEW_FOLDER); }
void CTarveloApp::TreeMenuNewPage() { RunMainCommand(ID_FILE_NEW_PAGE); }
void CTarveloApp::TreeMenuImport() { RunMainCommand(ID_FILE_IMPORT); }
void CTarveloApp::TreeMenuExport() { RunMainCommand(ID_FILE_EXPORT); }

void CTarveloApp::TreeMenuIndex() { IndexSelected(true); }
void CTarveloApp::TreeMenuUnindex() { IndexSelected(false); }

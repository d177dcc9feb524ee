// The folder tree menu's helpers on the application object: each runs the
// main window's command, or indexes the tree's selected page or folder.
#include "TarveloApp.h"

#include "MainFrame.h"
#include "resource.h"

namespace {

CMainFrame* MainFrame() { return dynamic_cast<CMainFrame*>(AfxGetMainWnd()); }

void RunMainCommand(UINT id) {
    if (CMainFrame* frame = MainFrame()) frame->SendMessage(WM_COMMAND, id);
}

}  // namespace

void CTarveloApp::TreeMenuSearch() { RunMainCommand(ID_EDIT_SEARCH); }
void CTarveloApp::TreeMenuNewFolder() { RunMainCommand(ID_FILE_NEW_FOLDER); }
void CTarveloApp::TreeMenuNewPage() { RunMainCommand(ID_FILE_NEW_PAGE); }
void CTarveloApp::TreeMenuImport() { RunMainCommand(ID_FILE_IMPORT); }
void CTarveloApp::TreeMenuExport() { RunMainCommand(ID_FILE_EXPORT); }

void CTarveloApp::TreeMenuIndex() {
    if (CMainFrame* frame = MainFrame()) frame->m_wndTree.IndexItem(frame->m_wndTree.GetSelectedItem(), true);
}

void CTarveloApp::TreeMenuUnindex() {
    if (CMainFrame* frame = MainFrame()) frame->m_wndTree.IndexItem(frame->m_wndTree.GetSelectedItem(), false);
}

// A main window over a bookmark folder of the test's own: the program's
// settings key is set aside, InstallPath names a temporary folder, and the
// frame is created in this process with the page and source templates.
#pragma once
#include "AppTestSupport.h"
#include "MainFrame.h"
#include "TempDir.h"
#include "docview/DocTemplate.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

class TreeWindow : public ::testing::Test {
protected:
    TreeWindow();
    ~TreeWindow() override;

    // A page file (UTF-16 page text) or folder below Allpages ("a\\b.htm", "a\\sub").
    CString Page(const CString& relative, const CString& body = L"");
    CString Folder(const CString& relative);
    CString Full(const CString& relative) const { return m_allpages + L"\\" + relative; }
    // Creates the frame; the tree fills from disk. A frame not shown stands
    // for the hidden one of a clip's process.
    void OpenWindow(bool show = true);
    // Runs the window's messages until the condition holds; false after 20 s.
    static bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000);

    CXTreeCtrl& Tree() { return m_frame->m_wndTree; }
    // The live item of a path below Allpages ("" for the root), or null.
    HTREEITEM Item(const CString& relative);
    std::vector<CString> Labels(HTREEITEM parent);
    int Image(HTREEITEM item);
    int Count(const CString& relative) { return Tree().m_openCounts[relative.IsEmpty() ? m_allpages : Full(relative)]; }
    // Label edit through the control's own edit box; false when the tree refused it.
    // Expands or collapses a folder as the user does it, by key.
    void UserExpand(HTREEITEM item, bool expand);
    bool EditLabel(HTREEITEM item, const CString& text, bool cancel = false);
    CDocument* OpenDocument(const CString& relative);

    // What is below Allpages: folders end in "\", pages without their ".htm".
    std::set<CString> DiskEntries();
    // The AllPages value names.
    std::set<CString> IndexNames();

    ProgramRegistryGuard m_registry;
    TempDir m_install;
    CString m_allpages;
    AppTestApp m_app;
    CMainFrame* m_frame = nullptr;
    CMultiDocTemplate* m_pages = nullptr;
    CMultiDocTemplate* m_sources = nullptr;
};

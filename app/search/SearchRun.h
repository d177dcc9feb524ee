// The state of the search between presses of "Find Next", and the walk over
// the pages of a run: the list of pages to test (all pages, a folder's pages
// or the open pages, open pages first), and the step that opens the next
// page whose text matches. Each page file is tested as it is on disk, so
// closed pages are searched without opening them.
#pragma once
#include "core/String.h"

#include <vector>

class CMainFrame;
class CDlgSearch;
class CView;

enum class SearchListKind { kAllPages, kSelectedFolder, kOpenPages };

class CSearchRun {
public:
    explicit CSearchRun(CMainFrame& frame) : m_frame(frame) {}
    CSearchRun(const CSearchRun&) = delete;
    CSearchRun& operator=(const CSearchRun&) = delete;

    // The search command: a new run starts at the next press.
    void StartNewRun();
    // One press of "Find Next".
    void Run(const CString& keywords, const CString& scope, int regularExpression, int matchCase);
    // Fills the page list; false (list unchanged) when a folder search has no folder.
    bool BuildSearchList(SearchListKind kind);
    // Opens the next matching page of the list: 1, or 0 at the end of the list.
    int SearchNextPage();

    // The path of every open page, one per page view, in opening order.
    std::vector<CString> OpenPagePaths() const;

    CDlgSearch* m_dialog = nullptr;
    CString m_runKeywords;
    CString m_chosenFolder;
    int m_regularExpression = 0;
    int m_matchCase = 0;
    CString m_scope;
    CString m_foundPath;
    std::vector<CString> m_foundMatches;
    size_t m_nextIndex = 0;
    std::vector<CString> m_pages;

private:
    void RunFolderSearch(const CString& keywords);
    void RunAllPages(const CString& keywords);
    void RunCurrentPage(const CString& keywords);
    void AppendPagesBelow(const CString& folder, const std::vector<CString>& open);

    CMainFrame& m_frame;
};

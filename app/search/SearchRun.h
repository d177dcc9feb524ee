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
class CTarveloView;

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
    // Opens the next matching page of the list and marks its hits (a page
    // whose view shows none is passed over): 1, or 0 at the end of the list.
    int SearchNextPage();
    // The same, saying so when the list is at its end ("no match" for a run
    // without any hit, "no further match" after the last one).
    void SearchNextOrTellOver();

    // The path of every open page, one per page view, in opening order
    // (the order of the main window's FindFirstPageView).
    std::vector<CString> OpenPagePaths() const;

    // A page view has loaded its page: the found page is marked (and nothing else happens).
    void MarkFoundPage(CTarveloView* view);
    // A page view goes: the search no longer refers to it.
    void ForgetView(CTarveloView* view);
    // Takes the marks out of the view the run marked last.
    void ClearMarkedView();

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
    CTarveloView* m_markedView = nullptr;  // the view the run marked last
    int m_runHits = 0;                     // pages marked since the list was built

private:
    void RunFolderSearch(const CString& keywords);
    void RunAllPages(const CString& keywords);
    void RunCurrentPage(const CString& keywords);
    void AppendPagesBelow(const CString& folder, const std::vector<CString>& open);
    // Marks in the view: the keywords, or each text of the match list.
    bool MarkIn(CTarveloView& view, bool pattern, const CString& keywords, const std::vector<CString>& matches);
    // Pattern mode: the page's matches on disk marked in its view.
    bool MarkPageMatches(CTarveloView& view, const CString& keywords);

    // A press whose flags or scope differ from the last one's, or the first
    // press after the run said it is over, starts a new run.
    void StartNewRunWhenAskedAnew(const CString& scope, int regularExpression, int matchCase);

    CMainFrame& m_frame;
    bool m_opening = false;  // SearchNextPage is opening a page: it marks it itself
    // What the last press asked for, and whether its run has said it is over.
    bool m_pressed = false;
    CString m_pressedScope;
    int m_pressedRegularExpression = 0;
    int m_pressedMatchCase = 0;
    bool m_runOver = false;
};

#include "search/SearchRun.h"

#include "MainFrame.h"
#include "page/SearchMarks.h"
#include "page/TarveloView.h"
#include "search/PageWalk.h"
#include "search/SearchDocumentText.h"
#include "util/PathParts.h"

#include "regex/Regex.h"

#include "app/WinApp.h"
#include "core/MessageBox.h"
#include "docview/DocManager.h"
#include "docview/DocTemplate.h"
#include "docview/Document.h"
#include "wnd/MDIChildWnd.h"

#include <algorithm>

namespace {

void Tell(const CString& text) { ShowMessageBox(nullptr, text, L"Tarvelo", MB_OK); }

CTarveloView* PageViewOf(CDocument* document) {
    if (document)
        for (CView* view : document->GetViews())
            if (auto* page = dynamic_cast<CTarveloView*>(view)) return page;
    return nullptr;
}

// Brings the page window that shows a hit to the front.
void BringToFront(CTarveloView& view) {
    if (auto* child = dynamic_cast<CMDIChildWnd*>(view.GetParentFrame())) child->MDIActivate();
}

} // namespace

bool CSearchRun::MarkIn(CTarveloView& view, bool pattern, const CString& keywords, const std::vector<CString>& matches) {
    // The page shows the keywords, or in pattern mode the texts they matched,
    // marked without regard to case.
    if (pattern) return view.MarkTexts(matches, 0, kSearchMarkStyle, kSearchMarkId);
    return view.MarkText(keywords, 0, kSearchMarkStyle, kSearchMarkId);
}

bool CSearchRun::MarkPageMatches(CTarveloView& view, const CString& keywords) {
    std::vector<CString> matches;
    CDocument* document = view.GetDocument();
    return document && SearchDocumentText(document->GetPathName(), matches, keywords, m_regularExpression, m_matchCase) &&
           MarkIn(view, true, keywords, matches);
}

void CSearchRun::ClearMarkedView() {
    if (m_markedView) m_markedView->ClearSearchMarks(kSearchMarkId);
}

void CSearchRun::ForgetView(CTarveloView* view) {
    if (m_markedView == view) m_markedView = nullptr;
}

void CSearchRun::MarkFoundPage(CTarveloView* view) {
    // A page that SearchNextPage opens is marked there, once it is open. The
    // found page loaded again later (refreshed, reopened) shows its hits, but
    // never sends the search on to another page by itself.
    if (m_opening || !view || !view->GetDocument() || m_foundPath.IsEmpty()) return;
    if (IsSamePath(view->GetDocument()->GetPathName(), m_foundPath) &&
        MarkIn(*view, m_regularExpression != 0, m_runKeywords, m_foundMatches))
        m_markedView = view;
}

std::vector<CString> CSearchRun::OpenPagePaths() const {
    std::vector<CString> paths;
    CWinApp* app = AfxGetApp();
    if (!app || !app->m_pDocManager) return paths;
    for (const auto& docTemplate : app->m_pDocManager->GetTemplates())
        for (CDocument* document : docTemplate->GetDocuments())
            for (CView* view : document->GetViews())
                if (dynamic_cast<CTarveloView*>(view)) paths.push_back(document->GetPathName());
    return paths;
}

void CSearchRun::StartNewRun() {
    m_runKeywords.Empty();
    m_chosenFolder.Empty();
}

void CSearchRun::AppendPagesBelow(const CString& folder, const std::vector<CString>& open) {
    AppendSearchablePages(folder, open, m_pages);
}

bool CSearchRun::BuildSearchList(SearchListKind kind) {
    std::vector<CString> open = OpenPagePaths();
    CString allpages = m_frame.m_wndTree.m_allpagesPath;
    if (kind == SearchListKind::kSelectedFolder) {
        // The folder the run was started on: the search itself moves the
        // tree's selection from page to page.
        CString folder = m_chosenFolder;
        if (folder.IsEmpty() || IsSamePath(folder, allpages)) {
            kind = SearchListKind::kAllPages;
        } else {
            m_pages.clear();
            m_runHits = 0;
            for (const CString& page : open)
                if (IsPathWithin(page, folder) && !IsSamePath(page, folder)) m_pages.push_back(page);
            std::vector<CString> listed = m_pages;
            AppendPagesBelow(folder, listed);
            m_nextIndex = 0;
            return true;
        }
    }
    m_pages.clear();
    m_runHits = 0;
    if (kind == SearchListKind::kAllPages) {
        m_pages = open;
        if (!allpages.IsEmpty()) AppendPagesBelow(allpages, open);
    } else {
        m_pages = open;
    }
    m_nextIndex = 0;
    return true;
}

int CSearchRun::SearchNextPage() {
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    // A page whose file matches, yet whose view shows nothing to mark (the
    // keywords stood in the markup), is passed over for the next one.
    while (m_nextIndex < m_pages.size()) {
        std::vector<CString> matches;
        size_t found = FindMatchingPage(m_pages, m_nextIndex, m_runKeywords, m_regularExpression, m_matchCase, matches);
        if (found >= m_pages.size()) break;
        m_nextIndex = found + 1;
        const CString path = m_pages[found];
        ClearMarkedView();
        m_foundPath = path;
        m_foundMatches = std::move(matches);
        // Opens the page, or brings an open one to the front without reloading
        // it; either way it is marked here.
        m_opening = true;
        SelectTreeItemByPath(m_frame.m_wndTree, path);
        CWinApp* app = AfxGetApp();
        CDocument* document = app ? app->OpenDocumentFile(path) : nullptr;
        m_opening = false;
        CTarveloView* view = PageViewOf(document);
        if (!view) {
            Tell(L"No item was found");
            return 1;
        }
        m_markedView = view;
        if (MarkIn(*view, m_regularExpression != 0, m_runKeywords, m_foundMatches)) {
            BringToFront(*view);
            ++m_runHits;
            return 1;
        }
    }
    m_nextIndex = m_pages.size();
    return 0;
}

void CSearchRun::SearchNextOrTellOver() {
    if (SearchNextPage()) return;
    m_runOver = true;
    // The marks of the last hit stay where the user saw them; a run without
    // any hit takes away what an earlier run left.
    if (m_runHits) {
        Tell(L"Search over, no further match was found.");
    } else {
        ClearMarkedView();
        Tell(L"Search over, no match was found.");
    }
}

void CSearchRun::RunCurrentPage(const CString& keywords) {
    CTarveloView* view = m_frame.FindFirstPageView();
    if (!view) {
        Tell(L"No page was openned.");
        return;
    }
    view->ClearSearchMarks(kSearchMarkId);
    if (!m_regularExpression && !m_matchCase) {
        if (!MarkIn(*view, false, keywords, {})) Tell(L"No Pattern was found");
        return;
    }
    if (!MarkPageMatches(*view, keywords)) Tell(L"No match was found");
}

void CSearchRun::RunFolderSearch(const CString& keywords) {
    if (m_chosenFolder.IsEmpty()) {
        CXTreeCtrl& tree = m_frame.m_wndTree;
        HTREEITEM item = tree.GetSelectedItem();
        if (!item || tree.IsPage(item)) {
            Tell(L"Please select a directory");
            return;
        }
        if (item == tree.GetRootItem()) {
            // The root covers all pages; later presses walk the same list
            // although the search moves the selection to the pages it opens.
            m_chosenFolder = tree.m_allpagesPath;
            m_scope = L"All pages";
            RunAllPages(keywords);
            return;
        }
        m_chosenFolder = tree.ItemPath(item);
        m_runKeywords = keywords;
        BuildSearchList(SearchListKind::kSelectedFolder);
        SearchNextOrTellOver();
        return;
    }
    if (keywords != m_runKeywords) {
        m_runKeywords = keywords;
        BuildSearchList(SearchListKind::kSelectedFolder);
    }
    // The marks of the run's own last hit go only once a further hit is found.
    CTarveloView* first = m_frame.FindFirstPageView();
    if (first && first != m_markedView) first->ClearSearchMarks(kSearchMarkId);
    SearchNextOrTellOver();
}

void CSearchRun::RunAllPages(const CString& keywords) {
    if (keywords == m_runKeywords) {
        SearchNextOrTellOver();
        return;
    }
    m_runKeywords = keywords;
    BuildSearchList(SearchListKind::kAllPages);
    // The first open page is looked at before the list is walked.
    CTarveloView* view = m_frame.FindFirstPageView();
    if (!view) {
        SearchNextOrTellOver();
        return;
    }
    view->ClearSearchMarks(kSearchMarkId);
    bool marked = m_regularExpression ? MarkPageMatches(*view, keywords) : MarkIn(*view, false, keywords, {});
    if (marked) {
        // The next press goes on after this page: open pages lead the list.
        if (!m_pages.empty() && view->GetDocument() && IsSamePath(m_pages.front(), view->GetDocument()->GetPathName()))
            m_nextIndex = 1;
        if (m_markedView != view) ClearMarkedView();
        m_markedView = view;
        BringToFront(*view);
        ++m_runHits;
        return;
    }
    if (m_regularExpression || m_scope == L"All pages") SearchNextOrTellOver();
}

void CSearchRun::StartNewRunWhenAskedAnew(const CString& scope, int regularExpression, int matchCase) {
    // The same words with another scope or other flags are another search:
    // its pages are listed afresh, as for new words. A new scope takes the
    // tree's selection again; new flags keep the folder the run began on.
    if (m_pressed && scope != m_pressedScope) {
        StartNewRun();
    } else if (m_pressed && (regularExpression != m_pressedRegularExpression || matchCase != m_pressedMatchCase)) {
        m_runKeywords.Empty();
    }
    // After "Search over" the next press searches again from the first page.
    if (m_runOver) m_runKeywords.Empty();
    m_runOver = false;
    m_pressed = true;
    m_pressedScope = scope;
    m_pressedRegularExpression = regularExpression;
    m_pressedMatchCase = matchCase;
}

void CSearchRun::Run(const CString& keywords, const CString& scope, int regularExpression, int matchCase) {
    // A pattern the matcher cannot read would find nothing anywhere: say what
    // is wrong with it rather than that no page holds it.
    if (regularExpression) {
        CString fault = RegexPatternFault(keywords.GetString());
        if (!fault.IsEmpty()) {
            Tell(L"\"" + keywords + L"\" is not a valid pattern: " + fault + L".");
            return;
        }
    }
    StartNewRunWhenAskedAnew(scope, regularExpression, matchCase);
    m_regularExpression = regularExpression;
    m_matchCase = matchCase;
    m_scope = scope;
    if (scope == L"Current page") {
        RunCurrentPage(keywords);
    } else if (scope == L"Selected block") {
        if (OpenPagePaths().empty()) Tell(L"No selection block was found.");
    } else if (scope == L"Selected Directory") {
        RunFolderSearch(keywords);
    } else if (scope == L"All open pages") {
        if (keywords != m_runKeywords) {
            m_runKeywords = keywords;
            BuildSearchList(SearchListKind::kOpenPages);
        }
        if (m_pages.empty()) Tell(L"No page openned.");
        else SearchNextOrTellOver();
    } else {
        RunAllPages(keywords);
    }
}

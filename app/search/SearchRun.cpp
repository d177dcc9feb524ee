#include "search/SearchRun.h"

#include "MainFrame.h"
#include "page/TarveloView.h"
#include "search/PageWalk.h"
#include "search/SearchDocumentText.h"
#include "util/PathParts.h"

#include "app/WinApp.h"
#include "core/MessageBox.h"
#include "docview/DocManager.h"
#include "docview/DocTemplate.h"
#include "docview/Document.h"

#include <algorithm>

namespace {

void Tell(const CString& text) { ShowMessageBox(nullptr, text, L"Tarvelo", MB_OK); }

} // namespace

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
            for (const CString& page : open)
                if (IsPathWithin(page, folder) && !IsSamePath(page, folder)) m_pages.push_back(page);
            std::vector<CString> listed = m_pages;
            AppendPagesBelow(folder, listed);
            m_nextIndex = 0;
            return true;
        }
    }
    m_pages.clear();
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
    std::vector<CString> matches;
    size_t found = FindMatchingPage(m_pages, m_nextIndex, m_runKeywords, m_regularExpression, m_matchCase, matches);
    m_nextIndex = found < m_pages.size() ? found + 1 : m_pages.size();
    if (found < m_pages.size()) {
        const CString path = m_pages[found];
        m_foundPath = path;
        m_foundMatches = std::move(matches);
        m_frame.SelectTreeItemByPath(path);
        // Opens the page, or brings an open one to the front without reloading it.
        if (CWinApp* app = AfxGetApp()) app->OpenDocumentFile(path);
        return 1;
    }
    return 0;
}

void CSearchRun::RunCurrentPage(const CString& keywords) {
    std::vector<CString> open = OpenPagePaths();
    if (open.empty()) {
        Tell(L"No page was openned.");
        return;
    }
    std::vector<CString> matches;
    if (!SearchDocumentText(open.front(), matches, keywords, m_regularExpression, m_matchCase))
        Tell(m_regularExpression || m_matchCase ? L"No match was found" : L"No Pattern was found");
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
            m_scope = L"All pages";
            RunAllPages(keywords);
            return;
        }
        m_chosenFolder = tree.ItemPath(item);
        m_runKeywords = keywords;
        BuildSearchList(SearchListKind::kSelectedFolder);
        SearchNextPage();
        return;
    }
    if (keywords != m_runKeywords) {
        m_runKeywords = keywords;
        BuildSearchList(SearchListKind::kSelectedFolder);
    }
    SearchNextPage();
}

void CSearchRun::RunAllPages(const CString& keywords) {
    if (keywords == m_runKeywords) {
        SearchNextPage();
        return;
    }
    m_runKeywords = keywords;
    BuildSearchList(SearchListKind::kAllPages);
    SearchNextPage();
}

void CSearchRun::Run(const CString& keywords, const CString& scope, int regularExpression, int matchCase) {
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
        else if (!SearchNextPage()) Tell(L"Search over, no match was found.");
    } else {
        RunAllPages(keywords);
    }
}

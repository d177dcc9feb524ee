#include "search/PageWalk.h"

#include "search/SearchDocumentText.h"
#include "util/Files.h"
#include "util/PathParts.h"

#include <algorithm>

void AppendSearchablePages(const CString& folder, const std::vector<CString>& skip, std::vector<CString>& pages) {
    std::vector<CString> files;
    FindFilesRecursive(folder, files);
    for (const CString& file : files) {
        CString ext = GetFileExt(file);
        ext.MakeUpper();
        if ((ext == L"HTM" || ext == L"HTML") && std::find(skip.begin(), skip.end(), file) == skip.end())
            pages.push_back(file);
    }
}

size_t FindMatchingPage(const std::vector<CString>& pages, size_t start, const CString& keywords, int regularExpression,
                        int matchCase, std::vector<CString>& matches) {
    for (size_t index = start; index < pages.size(); ++index) {
        matches.clear();
        if (SearchDocumentText(pages[index], matches, keywords, regularExpression, matchCase)) return index;
    }
    return pages.size();
}

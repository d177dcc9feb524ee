#include "util/OpenDocuments.h"

#include "app/WinApp.h"
#include "docview/DocManager.h"
#include "docview/DocTemplate.h"
#include "docview/Document.h"

#include <gtest/gtest.h>

#include <memory>

TEST(OpenDocuments, NoApplicationMeansNothingIsOpen) {
    EXPECT_EQ(IsDocumentOpen(L"C:\\x.htm"), 0);
    EXPECT_EQ(CloseDocumentByPath(L"C:\\x.htm"), 0);
    CloseAllDocuments();
}

TEST(OpenDocuments, DocumentsAreFoundAndClosedByTheirExactPath) {
    CWinApp app(L"StoreTest");
    app.m_pDocManager = std::make_unique<CDocManager>();
    auto* pages = new CMultiDocTemplate(129, nullptr, nullptr, nullptr);
    app.m_pDocManager->AddDocTemplate(pages);
    for (const wchar_t* path : {L"C:\\T\\a.htm", L"C:\\T\\b.htm", L"C:\\T\\c.htm"}) {
        auto* document = new CDocument();
        document->SetPathName(path, FALSE);
        pages->AddDocument(document);
    }
    EXPECT_EQ(IsDocumentOpen(L"C:\\T\\a.htm"), 1);
    EXPECT_EQ(IsDocumentOpen(L"C:\\t\\A.htm"), 0);
    EXPECT_EQ(CloseDocumentByPath(L"C:\\T\\a.htm"), 1);
    EXPECT_EQ(IsDocumentOpen(L"C:\\T\\a.htm"), 0);
    EXPECT_EQ(pages->GetDocuments().size(), 2u);
    CloseAllDocuments();
    EXPECT_TRUE(pages->GetDocuments().empty());
}

// The page document's save question: every "Yes" runs the whole save.
#include "AppTestSupport.h"
#include "ChildFrame.h"
#include "MainFrame.h"
#include "MessageBoxRecorder.h"
#include "TempDir.h"
#include "Utf16Bytes.h"
#include "docview/DocTemplate.h"
#include "page/TarveloDoc.h"
#include "page/TarveloView.h"
#include "resource.h"

#include <gtest/gtest.h>

namespace {

const CString kEngineOutput = L"<HTML id=tq1><HEAD></HEAD>\r\n<BODY>\r\n<P>&gt;&gt;&gt;News&lt;&lt;&lt; today</P>\r\n"
                              L"<HR id=bodyend width=\"50%\" color=black size=1>\r\n</BODY></HTML>\r\n";
const CString kCleaned = L"<HTML id=tq1><HEAD></HEAD>\n<BODY>\n<P>&gt;&gt;&gt;News&LT;&LT;&LT;\n today</P>\n"
                         L"<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>\n"
                         L"<center><font size=2><a href= \"http://www.tarvelo.com\">Tarvelo</a></font></center>\n"
                         L"</body>\n</html>\n";

class PageDocument : public ::testing::Test {
protected:
    void SetUp() override {
        ProgramRegistryGuard::WriteString(L"Settings", L"InstallPath", m_dir.Path());
        CreateDirectoryW(m_dir.Path() + L"\\Bookmark", nullptr);
        CreateDirectoryW(m_dir.Path() + L"\\Bookmark\\Allpages", nullptr);
        m_path = m_dir.Path() + L"\\Bookmark\\Allpages\\Notes.htm";
        WriteFileBytes(m_path, Utf16Bytes(kEngineOutput, true));
        m_frame = new CMainFrame;
        ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
        m_app.m_pMainWnd = m_frame;
        m_template = new CMultiDocTemplate(IDR_PAGETYPE, RuntimeClass<CTarveloDoc>(), RuntimeClass<CChildFrame>(),
                                           RuntimeClass<CTarveloView>());
        m_app.AddDocTemplate(m_template);
        m_app.WriteProfileString(L"Settings", L"FileHot", L"before");
    }
    void TearDown() override {
        for (CDocument* document : std::vector<CDocument*>(m_template->GetDocuments())) document->SetModifiedFlag(FALSE);
        if (IsWindow(m_frame->GetSafeHwnd())) m_frame->DestroyWindow();
    }
    // Opens the page, marks it changed and sends a command to the main window
    // with the save question answered.
    void Command(UINT id, int answer) {
        CDocument* page = m_app.OpenDocumentFile(m_path);
        ASSERT_NE(page, nullptr);
        page->SetModifiedFlag(TRUE);
        size_t before = m_boxes.Boxes().size();
        m_boxes.SetAnswer(answer);
        m_frame->SendMessage(WM_COMMAND, id);
        PumpMessages();
        ASSERT_EQ(m_boxes.Boxes().size(), before + 1);
        EXPECT_EQ(m_boxes.Boxes().back().text, L"Save changes to " + m_path + L"?");
    }
    CString PageText() {
        std::string bytes = ReadFileBytes(m_path);
        return CString(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2));
    }

    ProgramRegistryGuard m_registry;
    TempDir m_dir;
    AppTestApp m_app;
    MessageBoxRecorder m_boxes{IDCANCEL};
    CMainFrame* m_frame = nullptr;
    CMultiDocTemplate* m_template = nullptr;
    CString m_path;
};

}  // namespace

TEST_F(PageDocument, YesAtCloseSavesAsSaveDoes) {
    Command(ID_FILE_CLOSE, IDYES);
    EXPECT_TRUE(m_template->GetDocuments().empty());
    EXPECT_EQ(PageText(), kCleaned);
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Notes"), L"News,1");
    EXPECT_EQ(m_app.GetProfileString(L"Settings", L"FileHot"), m_path);
}

TEST_F(PageDocument, CancelledCloseLeavesPageFileAndLastPageAlone) {
    Command(ID_FILE_CLOSE, IDCANCEL);
    ASSERT_EQ(m_template->GetDocuments().size(), 1u);
    EXPECT_TRUE(m_template->GetDocuments().front()->IsModified());
    EXPECT_EQ(PageText(), kEngineOutput);
    EXPECT_EQ(m_app.GetProfileString(L"Settings", L"FileHot"), L"before");
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Notes"), L"");
}

TEST_F(PageDocument, RefreshAsksThenShowsThePageAsSaved) {
    Command(ID_VIEW_REFRESH, IDYES);
    ASSERT_EQ(m_template->GetDocuments().size(), 1u);
    EXPECT_EQ(m_template->GetDocuments().front()->GetPathName(), m_path);
    EXPECT_FALSE(m_template->GetDocuments().front()->IsModified());
    EXPECT_EQ(PageText(), kCleaned);
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Notes"), L"News,1");

    // No: the changes are dropped and the file stays as it is.
    WriteFileBytes(m_path, Utf16Bytes(kEngineOutput, true));
    Command(ID_VIEW_REFRESH, IDNO);
    ASSERT_EQ(m_template->GetDocuments().size(), 1u);
    EXPECT_EQ(PageText(), kEngineOutput);
}

// The page document's save question: every "Yes" runs the whole save.
#include "AppTestSupport.h"
#include "ChildFrame.h"
#include "MainFrame.h"
#include "MessageBoxRecorder.h"
#include "TempDir.h"
#include "Utf16Bytes.h"
#include "com/ComQuery.h"
#include "docview/DocTemplate.h"
#include "html/HtmlTable.h"
#include "page/TarveloDoc.h"
#include "page/TarveloView.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <mshtmcid.h>

namespace {

const CString kEngineOutput = L"<HTML id=tq1><HEAD></HEAD>\r\n<BODY>\r\n<P>&gt;&gt;&gt;News&lt;&lt;&lt; today</P>\r\n"
                              L"<HR id=bodyend width=\"50%\" color=black size=1>\r\n</BODY></HTML>\r\n";
const CString kCleaned = L"<HTML id=tq1>\n<HEAD></HEAD>\n<BODY>\n<P>&gt;&gt;&gt;News&LT;&LT;&LT;\n today</P>\n"
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

TEST_F(PageDocument, KeysTypedInThePageWindowAreSavedInThePageFormat) {
    CDocument* page = m_app.OpenDocumentFile(m_path);
    ASSERT_NE(page, nullptr);
    auto* view = dynamic_cast<CTarveloView*>(page->GetViews().front());
    ASSERT_NE(view, nullptr);
    HWND engine = view->GetEngineWindow();
    ASSERT_NE(engine, nullptr);
    wchar_t className[64] = {};
    GetClassNameW(engine, className, 64);
    EXPECT_STREQ(className, L"Internet Explorer_Server");
    EXPECT_EQ(view->GetEditMode(), 2127u);
    view->SendMessage(WM_IDLEUPDATECMDUI, TRUE);  // showing the caret's font changes nothing
    EXPECT_FALSE(page->IsModified());

    for (wchar_t c : {L'X', L'y'}) SendMessageW(engine, WM_CHAR, c, 1);
    auto body = [&] { return GetCollectionItem(view->GetHtmlDocument().GetElementsByTagName(L"BODY").Get(), 0).GetInnerHtml(); };
    const CString typed = body();
    SendMessageW(engine, WM_KEYDOWN, VK_RETURN, 1);
    SendMessageW(engine, WM_CHAR, L'\r', 1);
    SendMessageW(engine, WM_KEYUP, VK_RETURN, 1 | (3u << 30));
    PumpMessages();
    EXPECT_FALSE(GetCollectionItem(view->GetHtmlDocument().GetElementsByTagName(L"P").Get(), 0).IsValid());
    EXPECT_TRUE(page->IsModified());
    // One undo takes back the Enter with the view's paragraph fix-up; redo brings both.
    const CString entered = body();
    VARIANT none{};
    EXPECT_TRUE(view->ExecEditCommand(IDM_UNDO, none, false));
    EXPECT_EQ(body(), typed);
    EXPECT_TRUE(view->ExecEditCommand(IDM_REDO, none, false));
    EXPECT_EQ(body(), entered);

    // Ctrl+H puts in a rule; Ctrl+S is kept from the engine.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG rule{engine, WM_KEYDOWN, 'H', 1};
    EXPECT_TRUE(m_app.PreTranslateMessage(&rule));
    MSG save{engine, WM_KEYDOWN, 'S', 1};
    EXPECT_TRUE(m_app.PreTranslateMessage(&save));
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_TRUE(GetCollectionItem(view->GetHtmlDocument().GetElementsByTagName(L"HR").Get(), 0).IsValid());

    m_frame->SendMessage(WM_COMMAND, ID_FILE_SAVE);
    PumpMessages();
    EXPECT_FALSE(page->IsModified());
    CString saved = PageText();
    EXPECT_NE(saved.Find(L"Xy"), -1) << saved.str();
    EXPECT_EQ(saved.Find(L"<P"), -1) << saved.str();
    EXPECT_EQ(saved.Find(L"\r"), -1);
    EXPECT_EQ(saved.Right(kCleaned.GetLength() - kCleaned.Find(L"<BR 2>")), kCleaned.Mid(kCleaned.Find(L"<BR 2>")));
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Notes"), L"News,1");
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(PageDocument, EditingCommandsReachTheViewFromMenuAndToolbarBoxes) {
    WriteFileBytes(m_path, Utf16Bytes(L"<html id=tq1><body><DIV>text</DIV><DIV><FONT face=Georgia size=2>g</FONT></DIV><TABLE col=\"2\"><TR><TD>a</TD><TD>b</TD></TR>"
                                      L"</TABLE></body></html>",
                                      true));
    CDocument* page = m_app.OpenDocumentFile(m_path);
    ASSERT_NE(page, nullptr);
    auto* view = dynamic_cast<CTarveloView*>(page->GetViews().front());
    ASSERT_NE(view, nullptr);
    const bcHtmlDocument& document = view->GetHtmlDocument();
    auto element = [&](const wchar_t* tag, long index) {
        return GetCollectionItem(document.GetElementsByTagName(tag).Get(), index);
    };
    auto caretIn = [&](const wchar_t* tag, long index) {
        ComPtr<IHTMLTxtRange> range;
        QueryAs<IHTMLBodyElement>(element(L"BODY", 0).GetElement().Get())->createTextRange(range.Receive());
        range->moveToElementText(element(tag, index).GetElement().Get());
        range->collapse(VARIANT_TRUE);
        range->select();
    };
    auto command = [&](UINT id) {
        m_frame->SendMessage(WM_COMMAND, id);
        PumpMessages();
    };

    // The idle display shows the caret's font in the toolbar boxes.
    caretIn(L"FONT", 0);
    view->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_EQ(m_frame->m_wndToolBar.GetCustomButtonWindow(16)->GetWindowText(), L"Georgia");
    EXPECT_EQ(m_frame->m_wndToolBar.GetCustomButtonWindow(17)->GetWindowText(), L"14");

    caretIn(L"TD", 1);
    command(ID_TABLE_ROW_BELOW);
    EXPECT_EQ(bcHtmlTable(element(L"TABLE", 0)).GetRowCount(), 2);
    command(ID_TABLE_DELETE_ROW);
    EXPECT_EQ(bcHtmlTable(element(L"TABLE", 0)).GetRowCount(), 1);
    caretIn(L"TD", 0);
    command(ID_TABLE_DELETE_ROW);
    EXPECT_FALSE(element(L"TABLE", 0).IsValid());
    command(ID_TABLE_DELETE_ROW);  // the caret's table is gone: nothing happens
    EXPECT_TRUE(m_boxes.Boxes().empty());

    caretIn(L"DIV", 0);
    command(ID_TABLE_BORDER_COLOR);
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text, L"Please put the cursor inside the talbe to select it.");
    command(ID_EDIT_INSERT_LINE);
    EXPECT_EQ(element(L"HR", 0).GetAttribute(L"color"), L"black");

    // The colour drop-downs: the text colour is kept and applied to the selection.
    ComPtr<IHTMLTxtRange> range;
    QueryAs<IHTMLBodyElement>(element(L"BODY", 0).GetElement().Get())->createTextRange(range.Receive());
    range->moveToElementText(element(L"DIV", 0).GetElement().Get());
    range->select();
    dynamic_cast<CTarveloDoc*>(page)->SetTextColor(RGB(255, 0, 0));
    EXPECT_EQ(m_app.GetProfileInt(L"Settings", L"ColorText", 0), 255);
    CString body = element(L"BODY", 0).GetInnerHtml();
    body.MakeLower();
    EXPECT_NE(body.Find(L"#ff0000"), -1) << body.str();
    EXPECT_TRUE(page->IsModified());

    // The font-name box: leaving it remembers the name, as its notification
    // reaches the view through the main window.
    CWnd* box = m_frame->m_wndToolBar.GetCustomButtonWindow(16);
    ASSERT_NE(box, nullptr);
    box->SetWindowText(L"Verdana");
    box->GetParent()->SendMessage(WM_COMMAND, MAKEWPARAM(ID_FORMAT_FONT_NAME, CBN_KILLFOCUS),
                                  reinterpret_cast<LPARAM>(box->m_hWnd));
    PumpMessages();
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"Settings", L"FontHot"), L"Verdana");
}

// The page document's save question: every "Yes" runs the whole save.
#include "AppTestSupport.h"
#include "ChildFrame.h"
#include "MainFrame.h"
#include "MessageBoxRecorder.h"
#include "ModalDriver.h"
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

#include <functional>

namespace {

const CString kEngineOutput = L"<HTML id=tq1><HEAD></HEAD>\r\n<BODY>\r\n<P>&gt;&gt;&gt;News&lt;&lt;&lt; today</P>\r\n"
                              L"<HR id=bodyend width=\"50%\" color=black size=1>\r\n</BODY></HTML>\r\n";
const CString kCleaned = L"<HTML id=tq1>\n<HEAD></HEAD>\n<BODY>\n<P>&gt;&gt;&gt;News&LT;&LT;&LT;\n today</P>\n"
                         L"<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>\n"
                         L"<center><font size=2><a href= \"http://www.tarvelo.com\">Tarvelo</a></font></center>\n"
                         L"</body>\n</html>\n";

// Where a command finds the selection: the caret at the start or end of an
// element's content, or the whole content selected.
enum class At { Start, End, Whole };

class PageDocument : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = UseInstallFolder(m_dir.Path(), L"Notes");
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
    // Writes the page file, opens it and answers its view.
    CTarveloView* OpenPage(const CString& html) {
        WriteFileBytes(m_path, Utf16Bytes(html, true));
        CDocument* page = m_app.OpenDocumentFile(m_path);
        return page ? dynamic_cast<CTarveloView*>(page->GetViews().front()) : nullptr;
    }
    static bcHtmlElement Element(CTarveloView* view, const wchar_t* tag, long index = 0) {
        return GetCollectionItem(view->GetPageDocument().GetElementsByTagName(tag).Get(), index);
    }
    static void Select(CTarveloView* view, const wchar_t* tag, At at, long index = 0) {
        ComPtr<IHTMLTxtRange> range;
        QueryAs<IHTMLBodyElement>(Element(view, L"BODY").GetElement().Get())->createTextRange(range.Receive());
        range->moveToElementText(Element(view, tag, index).GetElement().Get());
        if (at != At::Whole) range->collapse(at == At::Start ? VARIANT_TRUE : VARIANT_FALSE);
        range->select();
    }
    void Command(UINT id) {
        m_frame->SendMessage(WM_COMMAND, id);
        PumpMessages();
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
    auto body = [&] { return GetCollectionItem(view->GetPageDocument().GetElementsByTagName(L"BODY").Get(), 0).GetInnerHtml(); };
    const CString typed = body();
    SendMessageW(engine, WM_KEYDOWN, VK_RETURN, 1);
    SendMessageW(engine, WM_CHAR, L'\r', 1);
    SendMessageW(engine, WM_KEYUP, VK_RETURN, 1 | (3u << 30));
    PumpMessages();
    EXPECT_FALSE(GetCollectionItem(view->GetPageDocument().GetElementsByTagName(L"P").Get(), 0).IsValid());
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
    EXPECT_TRUE(GetCollectionItem(view->GetPageDocument().GetElementsByTagName(L"HR").Get(), 0).IsValid());

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
    CTarveloView* view = OpenPage(L"<html id=tq1><body><DIV>text</DIV><DIV><FONT face=Georgia size=2>g</FONT></DIV><TABLE col=\"2\"><TR><TD>a</TD><TD>b</TD></TR>"
                                  L"</TABLE></body></html>");
    ASSERT_NE(view, nullptr);
    CDocument* page = view->GetDocument();
    auto element = [&](const wchar_t* tag, long index) { return Element(view, tag, index); };
    auto caretIn = [&](const wchar_t* tag, long index) { Select(view, tag, At::Start, index); };
    auto command = [&](UINT id) { Command(id); };

    // The idle display shows the caret's font in the toolbar boxes.
    caretIn(L"FONT", 0);
    view->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_EQ(m_frame->m_wndToolBar.GetCustomButtonWindow(16)->GetWindowText(), L"Georgia");
    EXPECT_EQ(m_frame->m_wndToolBar.GetCustomButtonWindow(17)->GetWindowText(), L"14");
    // A page behind another one leaves the boxes to the page in front, and
    // shows its own font again when it comes to the front.
    CString otherPath = m_dir.Path() + L"\\Bookmark\\Allpages\\Other.htm";
    WriteFileBytes(otherPath, Utf16Bytes(L"<html id=tq1><body><DIV><FONT face=Verdana>v</FONT></DIV></body></html>", true));
    CDocument* other = m_app.OpenDocumentFile(otherPath);
    ASSERT_NE(other, nullptr);
    auto* front = dynamic_cast<CTarveloView*>(other->GetViews().front());
    Select(front, L"FONT", At::Start);
    front->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    view->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_EQ(m_frame->m_wndToolBar.GetCustomButtonWindow(16)->GetWindowText(), L"Verdana");
    m_frame->MDIActivate(view->GetParentFrame());
    view->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    front->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_EQ(m_frame->m_wndToolBar.GetCustomButtonWindow(16)->GetWindowText(), L"Georgia");
    other->SetModifiedFlag(FALSE);
    other->OnCloseDocument();

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

namespace {

struct CommandCase {
    const wchar_t* name;
    const wchar_t* body;     // the body before; null: as the case before left it
    const wchar_t* tag;      // the element the selection is in
    At at;
    UINT id;                 // the command; 0 for Ctrl and the letter in `input`
    const wchar_t* input;    // the key's letter, or the item picked in a toolbar box
    const wchar_t* dialog;   // caption of the dialog the command shows, or null
    std::function<void(HWND)> answer;
    const wchar_t* expected; // the body as the engine writes it afterwards
};

void TypeInto(HWND dialog, std::initializer_list<std::pair<int, const wchar_t*>> fields) {
    for (const auto& [id, text] : fields) SetTextOf(dialog, id, text);
    Click(dialog, IDOK);
}

}  // namespace

TEST_F(PageDocument, EveryEditingCommandLeavesItsSerializedResult) {
    CTarveloView* view = OpenPage(L"<html id=tq1><body><DIV>x</DIV></body></html>");
    ASSERT_NE(view, nullptr);
    dynamic_cast<CTarveloDoc*>(view->GetDocument())->m_textColor = RGB(0x12, 0x34, 0x56);
    const bcHtmlDocument& document = view->GetPageDocument();
    // The body as Save writes it.
    auto savedBody = [&] {
        CString text;
        EXPECT_TRUE(document.SaveHtml(text, false));
        int start = text.Find(L"<BODY>") + 6, end = text.Find(L"</BODY>");
        CString body = start >= 6 && end >= start ? text.Mid(start, end - start) : text;
        body.Replace(L"\r\n", L"");
        return body;
    };
    auto key = [&](wchar_t letter) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        MSG message{view->GetEngineWindow(), WM_KEYDOWN, static_cast<WPARAM>(letter), 1};
        EXPECT_TRUE(m_app.PreTranslateMessage(&message));
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
    };
    auto pick = [&](UINT id, int index, const wchar_t* text) {
        auto* box = static_cast<CComboBox*>(m_frame->m_wndToolBar.GetCustomButtonWindow(index));
        int item = box->FindStringExact(-1, text);
        if (item == CB_ERR) item = box->AddString(text);
        box->SetCurSel(item);
        box->GetParent()->SendMessage(WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box->m_hWnd));
    };
    auto cancel = [](HWND dialog) { Click(dialog, IDCANCEL); };
    const wchar_t* const kTable = L"<TABLE><TBODY><TR><TD>a</TD><TD>b</TD></TR></TBODY></TABLE>";

    const CommandCase cases[] = {
        {L"bold", L"<DIV>ab</DIV>", L"DIV", At::Whole, ID_FORMAT_BOLD, nullptr, nullptr, {},
         L"<DIV><STRONG>ab</STRONG></DIV>"},
        {L"italic", L"<DIV>ab</DIV>", L"DIV", At::Whole, ID_FORMAT_ITALIC, nullptr, nullptr, {},
         L"<DIV><EM>ab</EM></DIV>"},
        {L"underline", L"<DIV>ab</DIV>", L"DIV", At::Whole, ID_FORMAT_UNDERLINE, nullptr, nullptr, {},
         L"<DIV><U>ab</U></DIV>"},
        {L"strike through", L"<DIV>ab</DIV>", L"DIV", At::Whole, ID_EDIT_STRIKE_THROUGH, nullptr, nullptr, {},
         L"<DIV><STRIKE>ab</STRIKE></DIV>"},
        {L"superscript", L"<DIV>ab</DIV>", L"DIV", At::Whole, ID_EDIT_SUPERSCRIPT, nullptr, nullptr, {},
         L"<DIV><SUP>ab</SUP></DIV>"},
        {L"subscript", L"<DIV>ab</DIV>", L"DIV", At::Whole, ID_EDIT_SUBSCRIPT, nullptr, nullptr, {},
         L"<DIV><SUB>ab</SUB></DIV>"},
        {L"centre", L"<DIV>ab</DIV>", L"DIV", At::Start, ID_FORMAT_CENTER, nullptr, nullptr, {},
         L"<DIV align=center>ab</DIV>"},
        {L"right", L"<DIV>ab</DIV>", L"DIV", At::Start, ID_FORMAT_RIGHT, nullptr, nullptr, {},
         L"<DIV align=right>ab</DIV>"},
        {L"left", L"<DIV align=right>ab</DIV>", L"DIV", At::Start, ID_FORMAT_LEFT, nullptr, nullptr, {},
         L"<DIV align=left>ab</DIV>"},
        {L"numbered list", L"<DIV>ab</DIV>", L"DIV", At::Start, ID_FORMAT_ORDER_LIST, nullptr, nullptr, {},
         L"<DIV><OL><LI>ab</LI></OL></DIV>"},
        {L"bulleted list", L"<DIV>ab</DIV>", L"DIV", At::Start, ID_FORMAT_UNORDER_LIST, nullptr, nullptr, {},
         L"<DIV><UL><LI>ab</LI></UL></DIV>"},
        {L"copy", L"<DIV>ab</DIV>", L"DIV", At::Whole, ID_EDIT_COPY, nullptr, nullptr, {}, L"<DIV>ab</DIV>"},
        {L"paste", L"<DIV>cd</DIV>", L"DIV", At::End, ID_EDIT_PASTE, nullptr, nullptr, {}, L"<DIV>cdab</DIV>"},
        {L"cut", L"<DIV>ab</DIV><DIV>cd</DIV>", L"DIV", At::Whole, ID_EDIT_CUT, nullptr, nullptr, {},
         L"<DIV></DIV><DIV>cd</DIV>"},
        {L"undo", nullptr, nullptr, At::Whole, ID_EDIT_UNDO, nullptr, nullptr, {}, L"<DIV>ab</DIV><DIV>cd</DIV>"},
        {L"picture", L"<DIV>ab</DIV>", L"DIV", At::End, ID_EDIT_INSERT_PICTURE, nullptr, L"Picture",
         [](HWND d) { TypeInto(d, {{1011, L"pic.png"}, {1013, L"a \"pic\""}}); },
         L"<DIV>ab<IMG src=pic.png alt=\"a &quot;pic&quot;\"></DIV>"},
        {L"rule", L"<DIV>ab</DIV>", L"DIV", At::End, ID_EDIT_INSERT_LINE, nullptr, nullptr, {},
         L"<DIV>ab<HR color=black size=1></DIV>"},
        {L"new line", L"<DIV>ab</DIV>", L"DIV", At::End, ID_EDIT_NEW_LINE, nullptr, nullptr, {}, L"<DIV>ab<BR></DIV>"},
        {L"index tag", L"<DIV>ab</DIV>", L"DIV", At::End, ID_EDIT_ADD_INDEX_TAG, nullptr, L"Tarvelo->Input Name",
         [](HWND d) { TypeInto(d, {{IDC_NAME, L"R&D <new>"}}); },
         L"<DIV>ab&gt;&gt;&gt;&nbsp;&nbsp;R&amp;D &lt;new&gt;&nbsp;&nbsp;&lt;&lt;&lt;</DIV>"},
        {L"index tag cancelled", L"<DIV>ab</DIV>", L"DIV", At::End, ID_EDIT_ADD_INDEX_TAG, nullptr, L"Tarvelo->Input Name",
         cancel, L"<DIV>ab</DIV>"},
        {L"footer", L"<DIV>ab</DIV>", L"DIV", At::End, ID_EDIT_ADD_FOOTER, nullptr, nullptr, {},
         L"<DIV>ab<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>"
                    L"<CENTER><FONT size=2><A href=\"http://www.tarvelo.com\">Tarvelo</A></FONT></CENTER></DIV>"},
        {L"manual link", L"<DIV>ab</DIV>", L"DIV", At::End, ID_EDIT_INSERT_HYPERLINK, nullptr, L"Add Item",
         [](HWND d) { TypeInto(d, {{1001, L"Tom & <Jerry>"}, {1006, L"http://a/?x=1&y=\"2\""}}); },
         L"<DIV>ab<A href=\"http://a/?x=1&amp;y=&quot;2&quot;\">&nbsp;Tom &amp; &lt;Jerry&gt;&nbsp;</A></DIV>"},
        {L"engine's link dialog inside a link", L"<DIV><A href=\"http://a/\">ab</A></DIV>", L"A", At::Start,
         ID_EDIT_INSERT_HYPERLINK, nullptr, L"Hyperlink", [](HWND d) { TypeInto(d, {{1002, L"http://b/"}}); },
         L"<DIV><A href=\"http://b/\">ab</A></DIV>"},
        {L"link without address", L"<DIV><A name=x>ab</A></DIV>", L"A", At::Start, ID_EDIT_INSERT_HYPERLINK, 0,
         nullptr, {}, L"<DIV><A name=x>ab</A></DIV>"},
        {L"table", L"<DIV>ab</DIV>", L"DIV", At::End, ID_TABLE_ADD, nullptr, L"Tarvelo->Add New Table",
         [](HWND d) { TypeInto(d, {{1002, L"2"}, {1001, L"300"}, {1006, L"0"}, {1005, L"10"}}); },
         L"<DIV>ab<TABLE id=\"\" border=0 width=300 cellPadding=3 bgColor=#6CADD8 col=\"2\"><TBODY><TR>"
                    L"<TD bgColor=#FFFFFF width=\"145&quot;\" pos=\"0\"><DIV>&nbsp;</DIV></TD>"
                    L"<TD bgColor=#FFFFFF width=\"145&quot;\" pos=\"1\"><DIV>&nbsp;</DIV></TD>"
                    L"<TD bgColor=#FFFFFF width=10></TD></TR></TBODY></TABLE></DIV>"},
        {L"no table in a table", kTable, L"TD", At::Start, ID_TABLE_ADD, nullptr, nullptr, {}, kTable},
        {L"row above", kTable, L"TD", At::Start, ID_TABLE_ROW_ABOVE, nullptr, nullptr, {},
         L"<TABLE><TBODY><TR><TD bgColor=#FFFFFF><DIV>&nbsp;</DIV></TD><TD bgColor=#FFFFFF><DIV>&nbsp;</DIV></TD></TR>"
                    L"<TR><TD>a</TD><TD>b</TD></TR></TBODY></TABLE>"},
        {L"row below", kTable, L"TD", At::Start, ID_TABLE_ROW_BELOW, nullptr, nullptr, {},
         L"<TABLE><TBODY><TR><TD>a</TD><TD>b</TD></TR>"
                    L"<TR><TD bgColor=#FFFFFF><DIV>&nbsp;</DIV></TD><TD bgColor=#FFFFFF><DIV>&nbsp;</DIV></TD></TR></TBODY></TABLE>"},
        {L"delete row", kTable, L"TD", At::Start, ID_TABLE_DELETE_ROW, nullptr, nullptr, {}, L""},
        {L"delete table", kTable, L"TD", At::Start, ID_TABLE_DELETE, nullptr, nullptr, {}, L""},
        {L"border colour", kTable, L"TD", At::Start, ID_TABLE_BORDER_COLOR, nullptr, nullptr, {},
         L"<TABLE bgColor=#123456><TBODY><TR><TD>a</TD><TD>b</TD></TR></TBODY></TABLE>"},
        {L"cell background", kTable, L"TD", At::Start, ID_TABLE_CELL_BACKGROUND, nullptr, nullptr, {},
         L"<TABLE><TBODY><TR><TD bgColor=#123456>a</TD><TD>b</TD></TR></TBODY></TABLE>"},
        {L"Ctrl+H rule", L"<DIV>ab</DIV>", L"DIV", At::End, 0, L"H", nullptr, {}, L"<DIV>ab<HR></DIV>"},
        {L"Ctrl+T table", L"<DIV>ab</DIV>", L"DIV", At::End, 0, L"T", nullptr, {},
         L"<DIV>ab<TABLE border=1 cellPadding=3><TBODY>"
                    L"<TR><TD bgColor=#FFFFFF><DIV>&nbsp;</DIV></TD><TD bgColor=#FFFFFF><DIV>&nbsp;</DIV></TD></TR>"
                    L"<TR><TD bgColor=#FFFFFF><DIV>&nbsp;</DIV></TD><TD bgColor=#FFFFFF><DIV>&nbsp;</DIV></TD></TR></TBODY></TABLE></DIV>"},
        {L"Ctrl+R row", kTable, L"TD", At::Start, 0, L"R", nullptr, {}, L"<TABLE><TBODY><TR><TD>a</TD><TD>b</TD></TR>"
                    L"<TR><TD bgColor=#FFFFFF><DIV>&nbsp;</DIV></TD><TD bgColor=#FFFFFF><DIV>&nbsp;</DIV></TD></TR></TBODY></TABLE>"},
        {L"Ctrl+O column", kTable, L"TD", At::Start, 0, L"O", nullptr, {},
         L"<TABLE><TBODY><TR><TD>a</TD><TD><DIV>&nbsp;</DIV></TD><TD>b</TD></TR></TBODY></TABLE>"},
        {L"font name", L"<DIV>ab</DIV>", L"DIV", At::Whole, ID_FORMAT_FONT_NAME, L"Courier New", nullptr, {},
         L"<DIV><FONT face=\"Courier New\">ab</FONT></DIV>"},
        {L"font size out of range", L"<DIV>ab</DIV>", L"DIV", At::Whole, ID_FORMAT_FONT_SIZE, L"100", nullptr, {},
         L"<DIV>ab</DIV>"},
        {L"font size", L"<DIV>ab</DIV>", L"DIV", At::Whole, ID_FORMAT_FONT_SIZE, L"12", nullptr, {},
         L"<DIV><FONT style=\"FONT-SIZE: 12px\">ab</FONT></DIV>"},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.body) {  // else the page and selection the case before left
            ASSERT_TRUE(Element(view, L"BODY").SetInnerHtml(c.body));
            Select(view, c.tag, c.at);
        }
        m_boxes.SetAnswer(IDOK);
        bool shown = false;
        RunWithWindow(c.dialog ? c.dialog : L"(none)", [&] {
            if (c.id == 0) key(c.input[0]);
            else if (c.id == ID_FORMAT_FONT_NAME) pick(c.id, 16, c.input);
            else if (c.id == ID_FORMAT_FONT_SIZE) pick(c.id, 17, c.input);
            else m_frame->SendMessage(WM_COMMAND, c.id);
        }, [&](HWND dialog) {
            shown = true;
            if (c.answer) c.answer(dialog);
        });
        PumpMessages();
        EXPECT_EQ(shown, c.dialog != nullptr);
        EXPECT_EQ(savedBody(), CString(c.expected));
    }
}

// Menus and toolbar buttons follow the engine: greyed where a command cannot
// run, checked where the format, alignment or list at the caret is on.
TEST_F(PageDocument, MenusAndButtonsShowTheEnginesStateAtTheCaret) {
    CTarveloView* view = OpenPage(L"<html id=tq1><body><DIV>plain <B>bold</B></DIV><DIV align=center>mid</DIV>"
                                  L"<UL><LI>item</LI></UL><TABLE col=\"2\"><TR><TD>a</TD><TD>b</TD></TR></TABLE></body></html>");
    ASSERT_NE(view, nullptr);
    struct Recorded : CCmdUI {
        BOOL enabled = TRUE;
        int check = -1;  // -1: not set
        void Enable(BOOL on) override { enabled = on, m_bEnableChanged = TRUE; }
        void SetCheck(int value) override { check = value; }
    };
    auto state = [&](UINT id) {
        Recorded recorded;
        recorded.m_nID = id;
        recorded.DoUpdate(m_frame, TRUE);
        return std::pair<bool, int>{recorded.enabled != FALSE, recorded.check};
    };
    const std::pair<bool, int> greyed{false, -1}, enabled{true, -1}, on{true, 1}, off{true, 0};

    Select(view, L"DIV", At::Start);
    EXPECT_EQ(state(ID_FORMAT_BOLD), off);
    EXPECT_EQ(state(ID_FORMAT_LEFT), on);
    EXPECT_EQ(state(ID_FORMAT_UNORDER_LIST), off);
    EXPECT_EQ(state(ID_EDIT_COPY), greyed);  // nothing selected
    EXPECT_EQ(state(ID_EDIT_CUT), greyed);
    EXPECT_EQ(state(ID_EDIT_UNDO), greyed);  // nothing done yet
    EXPECT_EQ(state(ID_TABLE_DELETE_ROW), greyed);
    EXPECT_EQ(state(ID_TABLE_ADD), enabled);
    EXPECT_EQ(state(ID_FORMAT_SHOW_LINK), enabled);
    Select(view, L"B", At::End);
    EXPECT_EQ(state(ID_FORMAT_BOLD), on);
    Select(view, L"DIV", At::Start, 1);
    EXPECT_EQ(state(ID_FORMAT_CENTER), on);
    EXPECT_EQ(state(ID_FORMAT_LEFT), off);
    Select(view, L"LI", At::Start);
    EXPECT_EQ(state(ID_FORMAT_UNORDER_LIST), on);
    EXPECT_EQ(state(ID_FORMAT_ORDER_LIST), off);
    Select(view, L"TD", At::Start, 1);
    EXPECT_EQ(state(ID_TABLE_DELETE_ROW), enabled);
    EXPECT_EQ(state(ID_TABLE_CELL_BACKGROUND), enabled);
    EXPECT_EQ(state(ID_TABLE_ADD), greyed);  // no table inside a table
    // A selection can be copied and cut; after a command there is something to undo.
    Select(view, L"DIV", At::Whole);
    EXPECT_EQ(state(ID_EDIT_COPY), enabled);
    EXPECT_EQ(state(ID_EDIT_CUT), enabled);
    Command(ID_FORMAT_ITALIC);
    EXPECT_EQ(state(ID_FORMAT_ITALIC), on);
    EXPECT_EQ(state(ID_EDIT_UNDO), enabled);
    // Browsing: nothing edits, Copy still copies.
    Command(ID_VIEW_MODE);
    for (UINT id : std::vector<UINT>{ID_FORMAT_BOLD, ID_EDIT_UNDO, ID_EDIT_CUT, ID_TABLE_ADD, ID_EDIT_INSERT_LINE, ID_FORMAT_FONT_NAME})
        EXPECT_EQ(state(id).first, false) << id;
    EXPECT_EQ(state(ID_EDIT_COPY), enabled);
    Command(ID_VIEW_MODE);
    wchar_t text[64] = {};
    LoadStringW(GetModuleHandleW(nullptr), ID_FORMAT_SHOW_LINK, text, 64);
    EXPECT_STREQ(text, L"\nShow the link");
}

TEST_F(PageDocument, TableLinkAndIndexCommandsRefuseOrTellWhatTheyCannotDo) {
    CTarveloView* view = OpenPage(L"<html id=tq1><body><DIV>x</DIV><TABLE><TR><TD>a</TD></TR></TABLE></body></html>");
    ASSERT_NE(view, nullptr);
    auto element = [&](const wchar_t* tag) { return Element(view, tag); };
    auto caretIn = [&](const wchar_t* tag) { Select(view, tag, At::Start); };
    auto command = [&](UINT id) { Command(id); };

    // Delete Table asks first; Cancel keeps the table.
    caretIn(L"TD");
    m_boxes.SetAnswer(IDCANCEL);
    command(ID_TABLE_DELETE);
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].caption, L"Warning");
    EXPECT_EQ(m_boxes.Boxes()[0].text, L"Are you sure to delete? Table can not be recovered after deletion!");
    EXPECT_TRUE(element(L"TABLE").IsValid());
    // Its last row deleted, the table is gone; deleting it again is harmless.
    command(ID_TABLE_DELETE_ROW);
    EXPECT_FALSE(element(L"TABLE").IsValid());
    CString body = element(L"BODY").GetInnerHtml();
    m_boxes.SetAnswer(IDOK);
    command(ID_TABLE_DELETE);
    EXPECT_EQ(element(L"BODY").GetInnerHtml(), body);

    // A link needs both a name and an address.
    caretIn(L"DIV");
    RunWithWindow(L"Add Item", [&] { command(ID_EDIT_INSERT_HYPERLINK); },
                  [](HWND dialog) { TypeInto(dialog, {{1001, L"name only"}}); });
    EXPECT_EQ(m_boxes.Boxes().back().text, L"Invalid hyperlink");
    EXPECT_EQ(element(L"BODY").GetInnerHtml(), body);

    // A paste starts the idle timer again (the menu's Paste is greyed while
    // the clipboard is empty, so the engine command is run here).
    EXPECT_TRUE(view->KillTimer(5006));
    VARIANT none{};
    none.vt = VT_I4;
    view->ExecEditCommand(IDM_PASTE, none, true);
    EXPECT_TRUE(view->KillTimer(5006));
    SendMessageW(view->GetEngineWindow(), WM_COMMAND, 26, 0);
    EXPECT_TRUE(view->KillTimer(5006));

    // Index and Unindex rewrite the page's marker and its AllPages value.
    WriteFileBytes(m_path, Utf16Bytes(kEngineOutput, true));
    command(ID_FILE_UNINDEX);
    EXPECT_EQ(PageText().Left(13), L"<html id=tq0>");
    CString unindexed = ProgramRegistryGuard::ReadString(L"AllPages", L"Notes");
    command(ID_FILE_INDEX);
    EXPECT_EQ(PageText().Left(13), L"<html id=tq1>");
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Notes"), L"News,1");
    EXPECT_EQ(unindexed, L"");
    size_t shown = m_boxes.Boxes().size();
    DeleteFileW(m_path);
    command(ID_FILE_UNINDEX);
    ASSERT_EQ(m_boxes.Boxes().size(), shown + 1);
    EXPECT_EQ(m_boxes.Boxes().back().text, L"Cannot unindex file, please restart the program and try again");
}

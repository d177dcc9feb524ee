#include "page/TarveloView.h"

#include "page/PageEditing.h"
#include "app/WinApp.h"
#include "resource.h"

#include "browser/BrowserWindow.h"
#include "docview/Document.h"
#include "wnd/MDIChildWnd.h"
#include "wnd/MDIFrameWnd.h"
#include "html/HtmlConvert.h"
#include "html/HtmlTable.h"

#include <mshtmcid.h>
#include <mshtml.h>

namespace {

bool KeyDown(int key) { return GetKeyState(key) < 0; }

// The document layer's own command: the font size at the caret in pixels.
constexpr unsigned kFontSizeInPixels = 5005;

// The three windows of the engine below the view: "Shell Embedding" >
// "Shell DocObject View" > "Internet Explorer_Server".
HWND FindEngineWindow(HWND view) {
    HWND embedding = FindWindowExW(view, nullptr, L"Shell Embedding", nullptr);
    HWND docView = embedding ? FindWindowExW(embedding, nullptr, L"Shell DocObject View", nullptr) : nullptr;
    return docView ? FindWindowExW(docView, nullptr, L"Internet Explorer_Server", nullptr) : nullptr;
}

} // namespace

CTarveloView::~CTarveloView() = default;

const MessageMap* CTarveloView::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CTarveloView::OnActivate>(WM_ACTIVATE),
        MapMessage<&CTarveloView::OnSetFocus>(WM_SETFOCUS),
        MapUpdateUIRange<&CTarveloView::OnUpdateTableCommand>(ID_TABLE_DELETE, ID_TABLE_DELETE_ROW),
        MapUpdateUI<&CTarveloView::OnUpdateTableCommand>(ID_TABLE_ADD),
        MapUpdateUI<&CTarveloView::OnUpdateTableCommand>(ID_TABLE_BORDER_COLOR),
        MapUpdateUI<&CTarveloView::OnUpdateTableCommand>(ID_TABLE_CELL_BACKGROUND),
        MapUpdateUIRange<&CTarveloView::OnUpdateEditing>(ID_FORMAT_FONT_NAME, ID_FORMAT_HIGHLIGHT),
        MapUpdateUI<&CTarveloView::OnUpdateEditing>(ID_EDIT_INSERT_LINE),
        MapUpdateUI<&CTarveloView::OnUpdateEditing>(ID_EDIT_INSERT_HYPERLINK),
        MapUpdateUI<&CTarveloView::OnUpdateEditing>(ID_EDIT_STRIKE_THROUGH),
        MapUpdateUI<&CTarveloView::OnUpdateEditing>(ID_EDIT_SUBSCRIPT),
        MapUpdateUI<&CTarveloView::OnUpdateEditing>(ID_EDIT_SUPERSCRIPT),
        MapUpdateUI<&CTarveloView::OnUpdateEditing>(ID_EDIT_ADD_INDEX_TAG),
        MapUpdateUI<&CTarveloView::OnUpdateEditing>(ID_EDIT_NEW_LINE),
        MapUpdateUI<&CTarveloView::OnUpdateEditing>(ID_EDIT_ADD_FOOTER),
        MapCommand<&CTarveloView::OnDeleteTable>(ID_TABLE_DELETE),
        MapCommand<&CTarveloView::OnDeleteRow>(ID_TABLE_DELETE_ROW),
        MapCommand<&CTarveloView::OnAddRowAbove>(ID_TABLE_ROW_ABOVE),
        MapCommand<&CTarveloView::OnAddRowBelow>(ID_TABLE_ROW_BELOW),
        MapCommand<&CTarveloView::OnBorderColor>(ID_TABLE_BORDER_COLOR),
        MapCommand<&CTarveloView::OnCellBackgroundColor>(ID_TABLE_CELL_BACKGROUND),
        MapCommand<&CTarveloView::OnInsertLine>(ID_EDIT_INSERT_LINE),
        MapCommand<&CTarveloView::OnInsertHyperlink>(ID_EDIT_INSERT_HYPERLINK),
        MapCommand<&CTarveloView::OnStrikeThrough>(ID_EDIT_STRIKE_THROUGH),
        MapCommand<&CTarveloView::OnSubscript>(ID_EDIT_SUBSCRIPT),
        MapCommand<&CTarveloView::OnSuperscript>(ID_EDIT_SUPERSCRIPT),
        MapCommand<&CTarveloView::OnIndex>(ID_FILE_INDEX),
        MapCommand<&CTarveloView::OnUnindex>(ID_FILE_UNINDEX),
        MapCommand<&CTarveloView::OnAddTable>(ID_TABLE_ADD),
        MapCommand<&CTarveloView::OnAddIndexTag>(ID_EDIT_ADD_INDEX_TAG),
        MapCommand<&CTarveloView::OnNewLine>(ID_EDIT_NEW_LINE),
        MapCommand<&CTarveloView::OnAddFooter>(ID_EDIT_ADD_FOOTER),
        MapControl<&CTarveloView::OnFontNameChange>(CBN_SELCHANGE, ID_FORMAT_FONT_NAME),
        MapControl<&CTarveloView::OnFontNameKillFocus>(CBN_KILLFOCUS, ID_FORMAT_FONT_NAME),
        MapControl<&CTarveloView::OnFontSizeChange>(CBN_SELCHANGE, ID_FORMAT_FONT_SIZE),
        MapControl<&CTarveloView::OnFontBoxPicked>(CBN_SELENDOK, ID_FORMAT_FONT_NAME),
        MapControl<&CTarveloView::OnFontBoxPicked>(CBN_SELENDOK, ID_FORMAT_FONT_SIZE),
        MapMessage<&CTarveloView::OnKeysBackToPage>(kKeysBackToPageMessage),
    };
    static const MessageMap map{BrowseMessageMap(), entries};
    return &map;
}

BOOL CTarveloView::PreCreateWindow(CREATESTRUCTW& cs) {
    // The engine's window covers the view: no cursor, brush or icon of its own.
    cs.lpszClass = RegisterWndClass(CS_DBLCLKS);
    return CHtmlEditView::PreCreateWindow(cs);
}

void CTarveloView::OnActivate(UINT, LPARAM) {}

void CTarveloView::OnSetFocus() {
    if (HWND engine = m_browserWnd.GetSafeHwnd() ? m_browserWnd.GetSafeHwnd() : FindEngineWindow(m_hWnd))
        ::SetFocus(engine);
    else
        Default();
}

void CTarveloView::ReloadPage() {
    if (CDocument* document = GetDocument(); document && !document->GetPathName().IsEmpty())
        Navigate2(document->GetPathName());
}

void CTarveloView::OnNavigateComplete2(const wchar_t*) {
    ComPtr<IDispatch> dispatch = GetHtmlDocument();
    if (!dispatch) return;
    m_htmlDoc.Attach(dispatch.Get());
    SetDesignMode(true);
    m_bEditMode = TRUE;
    // What is typed stays above the page's end line: the save keeps only that.
    VARIANT endLine{};
    endLine.vt = VT_BSTR;
    endLine.bstrVal = SysAllocString(L"bodyend");
    ExecEngineOwnCommand(kEngineKeepCaretBefore, &endLine);
    SysFreeString(endLine.bstrVal);
    RestartIdleTimer();
    if (m_bSetUpDone) return;
    m_bSetUpDone = TRUE;
    VARIANT on{};
    on.vt = VT_BOOL;
    on.boolVal = VARIANT_TRUE;
    ExecEditCommand(IDM_KEEPSELECTION, on, true);
    ExecEditCommand(IDM_AUTOURLDETECT_MODE, on, true);
    // Without the engine's window the view still edits, without the key filter.
    if (HWND engine = FindEngineWindow(m_hWnd)) {
        m_browserWnd.m_pView = this;
        m_browserWnd.SubclassWindow(engine);
    }
}

void CTarveloView::RestartIdleTimer() {
    // Each tick only wakes the message loop, whose idle time then shows the
    // caret's font in the toolbar boxes.
    SetTimer(kIdleTimer, 100, nullptr);
}

LRESULT CTarveloView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_IDLEUPDATECMDUI) UpdateFormatControls();
    return CHtmlEditView::WindowProc(message, wParam, lParam);
}

bool CTarveloView::QueryCommandText(unsigned command, CString& text) {
    text.Empty();
    VARIANT value{};
    if (!m_htmlDoc.QueryCommandValue(command, &value)) return false;
    text = VariantToString(value);
    VariantClear(&value);
    return true;
}

void CTarveloView::UpdateFormatControls() {
    // Every open page gets the idle message; only the one in front shows its
    // caret's font, so the pages behind cost nothing per key and never
    // overwrite the boxes. A page coming to the front writes its font anew.
    auto* main = dynamic_cast<CMDIFrameWnd*>(GetTopLevelFrame());
    CFrameWnd* frame = GetParentFrame();
    if (main && frame && static_cast<CFrameWnd*>(main->MDIGetActive()) != frame) {
        m_lastFontName.Empty();
        m_lastFontSize.Empty();
        return;
    }
    // Reading the size may give the page the style sheet it lacked; that is
    // no change of the user's, so a page that was saved stays saved.
    bool wasSaved = !IsEngineModified();
    CString text;
    if (QueryCommandText(IDM_FONTNAME, text) && !text.IsEmpty() && text != m_lastFontName) {
        m_lastFontName = text;
        if (CWnd* box = ToolbarBox(ID_FORMAT_FONT_NAME)) box->SetWindowText(text);
    }
    if (QueryCommandText(kFontSizeInPixels, text) && !text.IsEmpty() && text != m_lastFontSize) {
        m_lastFontSize = text;
        if (CWnd* box = ToolbarBox(ID_FORMAT_FONT_SIZE)) box->SetWindowText(text);
    }
    if (wasSaved && IsEngineModified()) SetEngineSaved();
}

unsigned CTarveloView::GetEditMode() const { return m_htmlDoc.IsDesignMode() ? IDM_EDITMODE : IDM_BROWSEMODE; }

bool CTarveloView::ExecEditCommand(unsigned command, const VARIANT& argument, bool promptUser) {
    bool done = m_htmlDoc.ExecCommand(command, argument, promptUser);
    if (command == IDM_PASTE) RestartIdleTimer();
    return done;
}

bool CTarveloView::GetEngineText(CString& text) const {
    text.Empty();
    bcHtmlElement root = GetCollectionItem(m_htmlDoc.GetElementsByTagName(L"HTML").Get(), 0);
    return root.IsValid() && m_htmlDoc.SaveHtml(text, false);
}

bool CTarveloView::IsEngineModified() const { return m_htmlDoc.IsModified(); }

void CTarveloView::SetEngineSaved() {
    // A save with the dirty state cleared is the engine's way to mark it saved.
    CString ignored;
    m_htmlDoc.SaveHtml(ignored, true);
}

void CTarveloView::ExecEngineOwnCommand(DWORD command, VARIANT* argument) {
    ComPtr<IDispatch> dispatch = GetHtmlDocument();
    ComPtr<IOleCommandTarget> commands;
    if (dispatch && SUCCEEDED(dispatch->QueryInterface(IID_IOleCommandTarget, commands.ReceiveVoid())))
        commands->Exec(&kEngineCommandGroup, command, OLECMDEXECOPT_DONTPROMPTUSER, argument, nullptr);
}

void CTarveloView::JoinLastUndoStep() { ExecEngineOwnCommand(kEngineJoinLastUndoStep, nullptr); }
void CTarveloView::SealUndoStep() { ExecEngineOwnCommand(kEngineSealUndoStep, nullptr); }

void CTarveloView::OnEngineKeyDown(UINT key) {
    if (key == VK_RETURN && GetEditMode() == IDM_EDITMODE) m_bEnterTyped = TRUE;
}

void CTarveloView::OnEngineKeyUp(UINT key) {
    // Only the release of an Enter that the page itself took makes the
    // fix-up: the Enter that closes a dialog or message box in front of the
    // page is released in the page, but changed nothing there.
    bool enter = key == VK_RETURN && m_bEnterTyped;
    if (key == VK_RETURN) m_bEnterTyped = FALSE;
    if (!enter && !m_bFixFonts) return;
    // One undo takes back the key and its fix-up; the step closes after the
    // fix-up, so nothing the view does later joins it.
    JoinLastUndoStep();
    // The paragraphs' content moves into the new blocks node by node, so the
    // caret stays on the line the Enter made.
    if (enter && ReplaceParagraphsWithDivs(m_htmlDoc) > 0) {
        m_htmlDoc.ShowSelection();  // the caret is drawn on the new line as now laid out
        m_bFixFonts = TRUE;
    } else if (m_bFixFonts) {
        m_bFixFonts = FALSE;
        RemoveEmptyFonts(m_htmlDoc);
    }
    SealUndoStep();
}

LRESULT CTarveloView::bCMsieWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // In edit mode there is no context menu at all.
    if (message == WM_CONTEXTMENU && m_pView && m_pView->GetEditMode() == IDM_EDITMODE) return 0;
    LRESULT result = CWnd::WindowProc(message, wParam, lParam);
    if (message == WM_COMMAND && LOWORD(wParam) == IDM_PASTE && m_pView) m_pView->RestartIdleTimer();
    if (message == WM_KEYDOWN && m_pView) m_pView->OnEngineKeyDown(static_cast<UINT>(wParam));
    if (message == WM_KILLFOCUS && m_pView) m_pView->m_bEnterTyped = FALSE;  // its release goes elsewhere
    if (message == WM_KEYUP && m_pView) m_pView->OnEngineKeyUp(static_cast<UINT>(wParam));
    return result;
}

BOOL CTarveloView::bCMsieWnd::PreTranslateMessage(MSG* msg) {
    if (msg->message != WM_KEYDOWN || !m_pView || m_pView->GetEditMode() != IDM_EDITMODE) return FALSE;
    if (!KeyDown(VK_CONTROL) || KeyDown(VK_SHIFT) || KeyDown(VK_MENU)) return FALSE;
    bcHtmlDocument& document = m_pView->m_htmlDoc;
    switch (msg->wParam) {
    case 'H': {
        VARIANT none{};
        none.vt = VT_I4;
        m_pView->ExecEditCommand(IDM_HORIZONTALLINE, none, true);
        return TRUE;
    }
    case 'N':
    case 'S':
        // Kept from the engine, but New and Save run through the main
        // window's accelerators as the File menu says.
        if (CWnd* frame = m_pView->GetTopLevelFrame()) frame->PreTranslateMessage(msg);
        return TRUE;
    case 'O': {
        OwnUndoStep step(*m_pView);
        document.InsertColumnAtSelection(true);
        return TRUE;
    }
    case 'R': {
        OwnUndoStep step(*m_pView);
        document.InsertRowAtSelection(true);
        return TRUE;
    }
    case 'T': {
        OwnUndoStep step(*m_pView);
        document.InsertSimpleTable(2, 2);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

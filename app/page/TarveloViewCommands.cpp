// The editing commands of the page view: tables and rows, pasted fragments,
// character formats, fonts from the toolbar boxes and indexing of the page.
#include "page/TarveloView.h"

#include "MainFrame.h"
#include "app/WinApp.h"
#include "dialogs/ManualAddItem.h"
#include "page/FontComboBox.h"
#include "page/FontHot.h"
#include "page/PageEditing.h"
#include "page/TarveloDoc.h"
#include "resource.h"

#include "core/MessageBox.h"
#include "html/HtmlTable.h"
#include "index/AllPagesIndex.h"

#include <mshtmcid.h>

namespace {

// The view's editing command map: the commands the engine runs itself. The
// formats, alignments and lists show checked while they hold at the caret.
// Paste has a handler: after it the toolbar boxes follow the caret soon.
constexpr DHtmlEditingCmdEntry kEditingCommands[] = {
    {ID_EDIT_COPY, IDM_COPY, AFX_UI_ELEMTYPE_NORMAL, false},
    {ID_EDIT_CUT, IDM_CUT, AFX_UI_ELEMTYPE_NORMAL, false},
    {ID_EDIT_PASTE, IDM_PASTE, AFX_UI_ELEMTYPE_NORMAL, true},
    {ID_EDIT_UNDO, IDM_UNDO, AFX_UI_ELEMTYPE_NORMAL, false},
    {ID_FORMAT_UNDERLINE, IDM_UNDERLINE, AFX_UI_ELEMTYPE_CHECKBOX, false},
    {ID_FORMAT_ITALIC, IDM_ITALIC, AFX_UI_ELEMTYPE_CHECKBOX, false},
    {ID_FORMAT_BOLD, IDM_BOLD, AFX_UI_ELEMTYPE_CHECKBOX, false},
    {ID_FORMAT_LEFT, IDM_JUSTIFYLEFT, AFX_UI_ELEMTYPE_CHECKBOX, false},
    {ID_FORMAT_CENTER, IDM_JUSTIFYCENTER, AFX_UI_ELEMTYPE_CHECKBOX, false},
    {ID_FORMAT_RIGHT, IDM_JUSTIFYRIGHT, AFX_UI_ELEMTYPE_CHECKBOX, false},
    {ID_FORMAT_SHOW_LINK, IDM_HYPERLINK, AFX_UI_ELEMTYPE_NORMAL, false},
    {ID_EDIT_INSERT_PICTURE, IDM_IMAGE, AFX_UI_ELEMTYPE_NORMAL, false},
    {ID_FORMAT_ORDER_LIST, IDM_ORDERLIST, AFX_UI_ELEMTYPE_CHECKBOX, false},
    {ID_FORMAT_UNORDER_LIST, IDM_UNORDERLIST, AFX_UI_ELEMTYPE_CHECKBOX, false},
    {0, 0, 0, false},
};

void Tell(const CString& text) { ShowMessageBox(nullptr, text, L"Tarvelo", MB_OK); }

} // namespace

bool CTarveloView::ExecInt(unsigned command, int value) {
    VARIANT argument{};
    argument.vt = VT_I4;
    argument.lVal = value;
    return ExecEditCommand(command, argument, true);
}

bool CTarveloView::ApplyColour(COLORREF colour, bool text) {
    CString value;
    value.Format(L"#%02x%02x%02x", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    VARIANT argument{};
    argument.vt = VT_BSTR;
    argument.bstrVal = SysAllocString(value);
    bool done = ExecEditCommand(text ? IDM_FORECOLOR : IDM_BACKCOLOR, argument, true);
    SysFreeString(argument.bstrVal);
    return done;
}

bool CTarveloView::GetDHtmlCommandMapping(UINT id, long& engineCommand, long& elemType, bool& hasHandler) const {
    const DHtmlEditingCmdEntry* entry = FindDHtmlEditingCmd(kEditingCommands, id);
    if (!entry) {
        engineCommand = static_cast<long>(0xFFFFFFFF);
        return false;
    }
    engineCommand = entry->nHTMLID;
    elemType = entry->nElemType;
    hasHandler = entry->bHasHandler;
    return true;
}

bool CTarveloView::ExecHandler(UINT id) {
    if (id != ID_EDIT_PASTE) return false;
    ExecInt(IDM_PASTE, 0);  // restarts the idle timer
    return true;
}

void CTarveloView::OnUpdateEditing(CCmdUI* cmdUI) { cmdUI->Enable(GetEditMode() == IDM_EDITMODE); }

void CTarveloView::OnUpdateTableCommand(CCmdUI* cmdUI) {
    bool editing = GetEditMode() == IDM_EDITMODE;
    bool inCell = editing && m_htmlDoc.GetSelectedCell().IsValid();
    switch (cmdUI->m_nID) {
    case ID_TABLE_ADD: cmdUI->Enable(editing && !inCell); break;  // no table inside a table
    case ID_TABLE_BORDER_COLOR: cmdUI->Enable(editing); break;   // outside a table it says where to go
    default: cmdUI->Enable(inCell); break;
    }
}

CString CTarveloView::TextColourText() const {
    auto* document = dynamic_cast<CTarveloDoc*>(GetDocument());
    COLORREF colour = document ? document->m_textColor : 0;
    CString text;
    text.Format(L"#%02x%02x%02x", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

CWnd* CTarveloView::ToolbarBox(UINT id) const {
    auto* frame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
    if (!frame) return nullptr;
    for (int index : {16, 17})
        if (CWnd* box = frame->GetFormatToolBar().GetCustomButtonWindow(index); box && box->GetDlgCtrlID() == static_cast<int>(id))
            return box;
    return nullptr;
}

void CTarveloView::OnDeleteTable() {
    // The table commands change the page: none of them while it is browsed.
    if (!m_htmlDoc.IsDesignMode()) return;
    if (ShowMessageBox(nullptr, L"Are you sure to delete? Table can not be recovered after deletion!", L"Warning",
                       MB_OKCANCEL) != IDOK)
        return;
    bcHtmlTable table = m_htmlDoc.GetSelectedCell().GetParentTable();
    // The caret may still point into a table already taken out of the page.
    if (!table.IsValid() || !table.GetParentElement().IsValid()) return;
    {
        OwnUndoStep step(*this);  // Undo brings the table back
        table.RemoveNode();
    }
    RegUpdateFile(GetDocument()->GetPathName());
}

void CTarveloView::OnDeleteRow() {
    OwnUndoStep step(*this);
    DeleteRowAtCaret(m_htmlDoc);
}

void CTarveloView::AddRow(bool below) {
    bcHtmlTableCell cell = m_htmlDoc.GetSelectedCell();
    if (!cell.IsValid() || !m_htmlDoc.IsDesignMode()) return;
    bcHtmlTable table = cell.GetParentTable();
    OwnUndoStep step(*this);
    if (table.IsValid()) table.InsertRow(cell.GetRowIndex() + (below ? 1 : 0), -1);
}

void CTarveloView::OnAddRowAbove() { AddRow(false); }
void CTarveloView::OnAddRowBelow() { AddRow(true); }

void CTarveloView::OnBorderColor() {
    if (!m_htmlDoc.IsDesignMode()) return;
    bcHtmlTable table = m_htmlDoc.GetSelectedCell().GetParentTable();
    if (!table.IsValid()) {
        Tell(L"Please put the cursor inside the talbe to select it.");
        return;
    }
    OwnUndoStep step(*this);
    table.SetBgColor(TextColourText());
}

void CTarveloView::OnCellBackgroundColor() {
    bcHtmlTableCell cell = m_htmlDoc.GetSelectedCell();
    if (!cell.IsValid() || !m_htmlDoc.IsDesignMode()) return;
    OwnUndoStep step(*this);
    cell.SetBgColor(TextColourText());
}

void CTarveloView::OnInsertLine() {
    OwnUndoStep step(*this);
    m_htmlDoc.PasteHtml(L"<hr color= \"black\" size=1>");
}

void CTarveloView::OnInsertHyperlink() {
    CString href;
    bool inLink = false;
    for (bcHtmlElement element = m_htmlDoc.GetSelectedElement(true); element.IsValid();
         element = element.GetParentElement()) {
        CString tag = element.GetTagName();
        if (tag == L"HTML") break;
        if (tag == L"A") {
            inLink = true;
            href = element.GetAttribute(L"href");
            break;
        }
    }
    if (inLink) {
        // The engine's own dialog edits the link at the caret.
        if (!href.IsEmpty()) ExecInt(IDM_HYPERLINK, 0);
        return;
    }
    CManualAddItem dialog;
    if (dialog.DoModal() != IDOK) return;
    if (dialog.m_strAddress.IsEmpty() || dialog.m_strName.IsEmpty()) {
        Tell(L"Invalid hyperlink");
        return;
    }
    OwnUndoStep step(*this);
    m_htmlDoc.PasteHtml(ManualLinkHtml(dialog.m_strAddress, dialog.m_strName));
}

void CTarveloView::OnStrikeThrough() { ExecInt(IDM_STRIKETHROUGH, 11223); }
void CTarveloView::OnSubscript() { ExecInt(IDM_SUBSCRIPT, 0); }
void CTarveloView::OnSuperscript() { ExecInt(IDM_SUPERSCRIPT, 0); }

void CTarveloView::OnFontNameChange() {
    auto* box = dynamic_cast<CFontComboBox*>(ToolbarBox(ID_FORMAT_FONT_NAME));
    if (!box) return;
    CString name;
    box->GetCurrentText(name);
    VARIANT argument{};
    argument.vt = VT_BSTR;
    argument.bstrVal = SysAllocString(name);
    ExecEditCommand(IDM_FONTNAME, argument, true);
    SysFreeString(argument.bstrVal);
}

void CTarveloView::OnFontNameKillFocus() {
    // Leaving the box only remembers the name; a pick in the list applies it.
    if (CWnd* box = ToolbarBox(ID_FORMAT_FONT_NAME)) RememberFontName(box->GetWindowText());
}

void CTarveloView::OnFontSizeChange() {
    auto* box = dynamic_cast<CComboBox*>(ToolbarBox(ID_FORMAT_FONT_SIZE));
    if (!box || box->GetCurSel() == CB_ERR) return;
    CString text;
    box->GetLBText(box->GetCurSel(), text);
    int size = _wtoi(text);
    if (size < 4 || size > 99) return;
    m_htmlDoc.ApplyPixelFontSize(static_cast<unsigned>(size));
}

void CTarveloView::OnFontBoxPicked() { PostMessage(kKeysBackToPageMessage); }

LRESULT CTarveloView::OnKeysBackToPage(WPARAM, LPARAM) {
    // Only while the keys are still in the toolbar, in the page or nowhere: a click
    // the user made meanwhile into another window decides.
    HWND focus = ::GetFocus();
    CWnd* box = ToolbarBox(ID_FORMAT_FONT_NAME);
    HWND bar = box ? ::GetParent(box->m_hWnd) : nullptr;
    if (focus && !(bar && ::IsChild(bar, focus)) && focus != GetEngineWindow()) return 0;
    // Through no window, so that the display gives the program's window the keyboard again.
    ::SetFocus(nullptr);
    SetFocus();
    return 0;
}

void CTarveloView::OnIndex() { IndexPage(GetDocument()->GetPathName()); }

void CTarveloView::OnUnindex() {
    if (!UnindexPage(GetDocument()->GetPathName()))
        Tell(L"Cannot unindex file, please restart the program and try again");
}

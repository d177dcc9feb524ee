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

// The commands the engine runs itself, by the view's command id.
struct EngineCommand {
    UINT id;
    unsigned command;
};
constexpr EngineCommand kEngineCommands[] = {
    {ID_EDIT_COPY, IDM_COPY},          {ID_EDIT_CUT, IDM_CUT},
    {ID_EDIT_PASTE, IDM_PASTE},        {ID_EDIT_UNDO, IDM_UNDO},
    {ID_FORMAT_UNDERLINE, IDM_UNDERLINE}, {ID_FORMAT_ITALIC, IDM_ITALIC},
    {ID_FORMAT_BOLD, IDM_BOLD},        {ID_FORMAT_LEFT, IDM_JUSTIFYLEFT},
    {ID_FORMAT_CENTER, IDM_JUSTIFYCENTER}, {ID_FORMAT_RIGHT, IDM_JUSTIFYRIGHT},
    {ID_EDIT_INSERT_PICTURE, IDM_IMAGE}, {ID_FORMAT_ORDER_LIST, IDM_ORDERLIST},
    {ID_FORMAT_UNORDER_LIST, IDM_UNORDERLIST}, {ID_FORMAT_SHOW_LINK, IDM_HYPERLINK},
};

// The commands whose latched state shows as a check mark (formats at the
// caret, the block's alignment, the list around it).
bool ShowsLatched(UINT id) {
    switch (id) {
    case ID_FORMAT_BOLD: case ID_FORMAT_ITALIC: case ID_FORMAT_UNDERLINE:
    case ID_FORMAT_LEFT: case ID_FORMAT_CENTER: case ID_FORMAT_RIGHT:
    case ID_FORMAT_ORDER_LIST: case ID_FORMAT_UNORDER_LIST:
        return true;
    default:
        return false;
    }
}

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

void CTarveloView::OnEngineCommand(UINT id) {
    for (const EngineCommand& entry : kEngineCommands)
        if (entry.id == id) ExecInt(entry.command, 0);
}

void CTarveloView::OnUpdateEngineCommand(CCmdUI* cmdUI) {
    for (const EngineCommand& entry : kEngineCommands) {
        if (entry.id != cmdUI->m_nID) continue;
        DWORD status = m_htmlDoc.QueryCommandStatus(entry.command);
        cmdUI->Enable((status & OLECMDF_ENABLED) != 0);
        if (ShowsLatched(entry.id)) cmdUI->SetCheck((status & OLECMDF_LATCHED) ? 1 : 0);
        return;
    }
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
    table.RemoveNode();
    RegUpdateFile(GetDocument()->GetPathName());
}

void CTarveloView::OnDeleteRow() { DeleteRowAtCaret(m_htmlDoc); }

void CTarveloView::AddRow(bool below) {
    bcHtmlTableCell cell = m_htmlDoc.GetSelectedCell();
    if (!cell.IsValid() || !m_htmlDoc.IsDesignMode()) return;
    bcHtmlTable table = cell.GetParentTable();
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
    table.SetBgColor(TextColourText());
}

void CTarveloView::OnCellBackgroundColor() {
    bcHtmlTableCell cell = m_htmlDoc.GetSelectedCell();
    if (cell.IsValid() && m_htmlDoc.IsDesignMode()) cell.SetBgColor(TextColourText());
}

void CTarveloView::OnInsertLine() { m_htmlDoc.PasteHtml(L"<hr color= \"black\" size=1>"); }

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

void CTarveloView::OnIndex() { IndexPage(GetDocument()->GetPathName()); }

void CTarveloView::OnUnindex() {
    if (!UnindexPage(GetDocument()->GetPathName()))
        Tell(L"Cannot unindex file, please restart the program and try again");
}

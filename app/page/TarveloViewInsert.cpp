// The page view's insert commands: a table from the Add Table dialog, an
// index tag, a line break and the page's closing lines.
#include "page/TarveloView.h"

#include "dialogs/DialogAddPage.h"
#include "dialogs/DialogAddTable.h"
#include "page/PageEditing.h"
#include "resource.h"

#include "docview/Document.h"
#include "index/AllPagesIndex.h"
#include "pages/PageTemplate.h"

void CTarveloView::OnAddTable() {
    // A table inside a table is not offered, nor one in a page being browsed.
    if (!m_htmlDoc.IsDesignMode() || m_htmlDoc.GetSelectedCell().GetParentTable().IsValid()) return;
    CDialogAddTable dialog;
    if (dialog.DoModal() != IDOK) return;
    int width = 0, columns = 0, firstColumn = 0, lastColumn = 0, rowHeight = 0, rows = 0;
    CString name;
    if (!dialog.GetTableParams(width, columns, firstColumn, lastColumn, rowHeight, rows, name)) return;
    {
        OwnUndoStep step(*this);
        InsertGridTableAtCaret(m_htmlDoc, static_cast<unsigned>(firstColumn), static_cast<unsigned>(lastColumn),
                               static_cast<unsigned>(width), static_cast<unsigned>(rowHeight),
                               static_cast<unsigned>(rows), static_cast<unsigned>(columns), name);
    }
    RegUpdateFile(GetDocument()->GetPathName());
}

void CTarveloView::OnAddIndexTag() {
    CDialogAddPage dialog;
    if (dialog.DoModal() != IDOK) return;
    OwnUndoStep step(*this);
    m_htmlDoc.PasteHtml(IndexTagHtml(dialog.m_strName));
}

void CTarveloView::OnNewLine() {
    // The caret goes to the start of the line below the one it stood on, at
    // once, before the engine paints again. Its place is read before the
    // paste: the paste itself already moves the caret past the break.
    POINT caret{};
    GetCaretPos(&caret);
    {
        OwnUndoStep step(*this);
        m_htmlDoc.PasteHtml(L"<br>");
    }
    TEXTMETRICW metrics{};
    if (HDC dc = ::GetDC(m_hWnd)) {
        GetTextMetricsW(dc, &metrics);
        ::ReleaseDC(m_hWnd, dc);
    }
    SetCaretPos(12, caret.y + metrics.tmHeight);
    ShowCaret(nullptr);
    Invalidate();
}

void CTarveloView::OnAddFooter() {
    OwnUndoStep step(*this);
    m_htmlDoc.PasteHtml(GetPageEnding());
}

#include "source/SourceView.h"

#include "app/WinApp.h"
#include "docview/Document.h"
#include "source/SourcePrint.h"

#include <commdlg.h>
#include <richedit.h>

#include <string>

const MessageMap* CSourceView::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CSourceView::OnPaint>(WM_PAINT),
        MapCommand<&CSourceView::OnFilePrint>(ID_FILE_PRINT),
        MapCommand<&CSourceView::OnFilePrintDirect>(ID_FILE_PRINT_DIRECT),
    };
    static const MessageMap map{CView::GetMessageMap(), entries};
    return &map;
}

BOOL CSourceView::PreCreateWindow(CREATESTRUCTW& cs) {
    static HMODULE library = LoadLibraryW(L"riched20.dll");
    if (!library) return FALSE;
    cs.lpszClass = RICHEDIT_CLASSW;
    cs.style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL;
    return CView::PreCreateWindow(cs);
}

void CSourceView::ShowSource(const CString& text) {
    SendMessage(EM_EXLIMITTEXT, 0, 0x7FFFFFF0);
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_FACE | CFM_CHARSET | CFM_SIZE;
    lstrcpynW(format.szFaceName, L"Arial", LF_FACESIZE);
    format.bCharSet = 0;
    format.bPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    format.yHeight = 200;
    SendMessage(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessage(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    SETTEXTEX set{ST_DEFAULT, 1200};
    SendMessage(EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(text.GetString()));
    int end = GetWindowTextLength();
    SendMessage(EM_SETSEL, end, end);
    SendMessage(EM_SETMODIFY, FALSE);
}

CString CSourceView::GetSourceText() const {
    GETTEXTLENGTHEX lengthQuery{GTL_DEFAULT | GTL_NUMCHARS, 1200};
    LRESULT length = SendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery));
    if (length <= 0) return CString();
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    GETTEXTEX get{};
    get.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    get.flags = GT_DEFAULT;
    get.codepage = 1200;
    LRESULT got = SendMessage(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(buffer.data()));
    return CString(buffer.data(), static_cast<int>(got));
}

void CSourceView::OnFilePrint() { Print(PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS); }
void CSourceView::OnFilePrintDirect() { Print(PD_RETURNDC | PD_RETURNDEFAULT); }

void CSourceView::Print(DWORD dialogFlags) {
    PRINTDLGW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = m_hWnd;
    dialog.Flags = dialogFlags;
    const BOOL chosen = PrintDlgW(&dialog);
    if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
    if (!chosen || !dialog.hDC) return;
    CString title = GetDocument() ? GetDocument()->GetTitle() : CString();
    DOCINFOW document{};
    document.cbSize = sizeof(document);
    document.lpszDocName = title;
    if (StartDocW(dialog.hDC, &document) > 0) {
        if (PrintSourcePages(GetSourceText(), dialog.hDC) > 0) EndDoc(dialog.hDC);
        else AbortDoc(dialog.hDC);
    }
    DeleteDC(dialog.hDC);
}

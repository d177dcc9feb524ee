#include "source/SourceView.h"

#include "app/WinApp.h"
#include "docview/PreviewView.h"
#include "docview/RichEditDoc.h"

#include <richedit.h>

const MessageMap* CSourceView::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CSourceView::OnDestroy>(WM_DESTROY),
        MapCommand<&CSourceView::OnFilePrint>(ID_FILE_PRINT),
        MapCommand<&CSourceView::OnFilePrintDirect>(ID_FILE_PRINT_DIRECT),
        MapCommand<&CSourceView::OnFilePrintPreview>(ID_FILE_PRINT_PREVIEW),
    };
    static const MessageMap map{CRichEditView::GetMessageMap(), entries};
    return &map;
}

void CSourceView::OnInitialUpdate() {
    CRichEditView::OnInitialUpdate();
    SetMargins(CRect(720, 720, 720, 720));
}

void CSourceView::OnDestroy() {
    if (CRichEditDoc* document = GetDocument())
        if (CRichEditCntrItem* item = document->GetInPlaceActiveItem(this); item && item->GetActiveView() == this)
            item->Deactivate();
    CRichEditView::OnDestroy();
}

HRESULT CSourceView::QueryAcceptData(IDataObject* data, CLIPFORMAT* format, DWORD, BOOL, HGLOBAL) {
    if (!data || !format) return S_FALSE;
    for (CLIPFORMAT text : {static_cast<CLIPFORMAT>(CF_UNICODETEXT), static_cast<CLIPFORMAT>(CF_TEXT)}) {
        FORMATETC wanted{text, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        if (data->QueryGetData(&wanted) == S_OK) {
            *format = text;
            return S_OK;
        }
    }
    return S_FALSE;
}

void CSourceView::ShowSource(const CString& text) {
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_FACE | CFM_CHARSET | CFM_SIZE;
    lstrcpynW(format.szFaceName, L"Arial", LF_FACESIZE);
    format.bCharSet = 0;
    format.bPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    format.yHeight = 200;
    SendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    SendMessage(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessage(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    SetControlText(text);
    int end = GetWindowTextLength();
    SendMessage(EM_SETSEL, end, end);
}

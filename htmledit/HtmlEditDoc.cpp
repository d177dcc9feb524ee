#include "HtmlEditDoc.h"

#include "HtmlEditView.h"

#include <ocidl.h>

CHtmlEditView* CHtmlEditDoc::GetView() const {
    for (CView* view : m_views)
        if (auto* edit = dynamic_cast<CHtmlEditView*>(view)) return edit;
    return nullptr;
}

BOOL CHtmlEditDoc::IsModified() {
    if (CDocument::IsModified()) return TRUE;
    CHtmlEditView* view = GetView();
    ComPtr<IDispatch> document = view ? view->GetHtmlDocument() : ComPtr<IDispatch>();
    ComPtr<IPersistStreamInit> persist;
    return document && SUCCEEDED(document->QueryInterface(IID_IPersistStreamInit, persist.ReceiveVoid())) &&
           persist->IsDirty() == S_OK;
}

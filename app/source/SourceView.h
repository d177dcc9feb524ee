// CSourceView: a page's HTML source in the rich edit view, printed (and
// previewed) with half-inch margins. The page's source is text: the view
// takes pasted and dropped text only, never an embedded object, which the
// page file could not hold.
#pragma once
#include "docview/RichEditView.h"

class CSourceView : public CRichEditView {
public:
    // Shows the text (Arial, 10 points) with the caret at its end; not undoable.
    void ShowSource(const CString& text);
    // The control's text as it returns it.
    CString GetSourceText() const { return GetControlText(); }

    HRESULT QueryAcceptData(IDataObject* data, CLIPFORMAT* format, DWORD reco, BOOL really, HGLOBAL metafile) override;
    HRESULT QueryInsertObject(const CLSID&, IStorage*, LONG) override { return S_FALSE; }

protected:
    const MessageMap* GetMessageMap() const override;
    void OnInitialUpdate() override;
    BOOL OnPreparePrinting(CPrintInfo* info) override { return DoPreparePrinting(info); }
    void OnDestroy();
};

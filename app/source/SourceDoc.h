// CSourceDoc: a page file shown as its HTML source. Every save, from the
// Save command or the question before closing, stores the view's text as
// plain text (UTF-16 with its byte-order mark, each line ended by a line
// feed as in every page file) in place of the page, and the document counts
// as unmodified only once that write succeeded.
#pragma once
#include "docview/RichEditDoc.h"

class CSourceDoc : public CRichEditDoc {
public:
    CSourceDoc() { m_strLineEnd = L"\n"; }

    void Serialize(CArchive& ar) override;
    BOOL OnSaveDocument(const wchar_t* path) override;
    CRichEditCntrItem* CreateClientItem(REOBJECT* object = nullptr) override;

protected:
    const MessageMap* GetMessageMap() const override;
    void OnFileSave();
};

// The container item of an object embedded in a source document.
class CSourceCntrItem : public CRichEditCntrItem {
public:
    CSourceCntrItem(REOBJECT* object, CSourceDoc* container) : CRichEditCntrItem(object, container) {}
};

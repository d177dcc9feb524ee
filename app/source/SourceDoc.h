// CSourceDoc: a page file shown as its HTML source. Every save, from the
// Save command or the question before closing, stores the view's text as
// plain text (UTF-16 with its byte-order mark, each line ended by a line
// feed as in every page file) in place of the page, as the page view's save
// does: links another program added to the file meanwhile are kept, other
// changes asked about. The document counts as unmodified only once the
// file holds the user's text.
#pragma once
#include "docview/RichEditDoc.h"
#include "page/PageSaveGuard.h"

class CSourceDoc : public CRichEditDoc {
public:
    CSourceDoc() { m_strLineEnd = L"\n"; }

    void Serialize(CArchive& ar) override;
    BOOL OnSaveDocument(const wchar_t* path) override;
    // The page's own file, never another (a read-only page is refused).
    BOOL DoFileSave() override;
    // The close question; for a read-only page it offers no save.
    BOOL SaveModified() override;
    CRichEditCntrItem* CreateClientItem(REOBJECT* object = nullptr) override;
    // Shows the page's text, read from its file, in the view.
    void ShowPage(const CString& text);

protected:
    const MessageMap* GetMessageMap() const override;
    void OnFileSave();

private:
    PageSaveGuard m_guard;
};

// The container item of an object embedded in a source document.
class CSourceCntrItem : public CRichEditCntrItem {
public:
    CSourceCntrItem(REOBJECT* object, CSourceDoc* container) : CRichEditCntrItem(object, container) {}
};

// CSourceDoc: a page file shown as its HTML source. Every save, from the
// Save command or the question before closing, writes the view's text as
// UTF-16 with its byte-order mark in place of the page, and the document
// counts as unmodified only once that write succeeded.
#pragma once
#include "docview/Document.h"

class CSourceDoc : public CDocument {
public:
    BOOL IsModified() override;
    BOOL OnSaveDocument(const wchar_t* path) override;

    // The text as it goes to the file: line ends of the control become line feeds.
    static CString PageTextFromControl(const CString& text);

protected:
    const MessageMap* GetMessageMap() const override;
    void OnFileSave();
};

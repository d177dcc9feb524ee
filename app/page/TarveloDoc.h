// CTarveloDoc: one open page file. For now the plain framework document
// with the editor's colours; the HTML editing document comes with the view.
#pragma once
#include "docview/Document.h"

class CTarveloDoc : public CDocument {
public:
    CTarveloDoc();

    COLORREF m_textColor = 0;
    COLORREF m_highlightColor = 0;

    BOOL OnNewDocument() override;
    // Closing the page also takes its open mark off the folder tree.
    void OnCloseDocument() override;

protected:
    const MessageMap* GetMessageMap() const override;
    void OnFileClose();
    void OnAppExit();
};

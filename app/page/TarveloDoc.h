// CTarveloDoc: one open page file, an HTML editing document shown and edited
// in a CTarveloView, with the editor's colours.
#pragma once
#include "HtmlEditDoc.h"
#include "page/PageSaveGuard.h"

class CTarveloView;

class CTarveloDoc : public CHtmlEditDoc {
public:
    CTarveloDoc();

    COLORREF m_textColor = 0;
    COLORREF m_highlightColor = 0;

    BOOL OnNewDocument() override;
    // Remembers the page file's text as the view is about to load it.
    BOOL OnOpenDocument(const wchar_t* path) override;
    // Every save of the page (Save, and "Yes" to the save question when the
    // page is closed or refreshed) ends the same way: the file brought into
    // the page format and the page's AllPages value rebuilt.
    BOOL OnSaveDocument(const wchar_t* path) override;
    // A page is saved into its own file only, never elsewhere: a read-only
    // page is refused with a message and keeps its edits.
    BOOL DoFileSave() override;
    // The close question; for a read-only page it offers no save.
    BOOL SaveModified() override;
    // The colour drop-downs of the format toolbar: the colour is kept in the
    // settings (ColorText, ColorHilight) and applied to the page's selection.
    void SetTextColor(COLORREF colour);
    void SetHighlightColor(COLORREF colour);
    // Closing the page also takes its open mark off the folder tree.
    void OnCloseDocument() override;
    // The page as its file now holds it, after this program changed the file
    // under an unmodified page (an import that added links to it).
    void ReloadFromFile();

protected:
    const MessageMap* GetMessageMap() const override;
    CTarveloView* PageView() const;
    void ApplyColour(COLORREF colour, bool text);
    void OnFileClose();
    // Closes the page (asking to save it) and opens it again from its file;
    // a close the user cancels leaves the page as it is.
    void OnRefreshView();
    // The close of OnFileClose; false when the user cancelled it.
    bool ClosePage();
    // True when the save may go on: false when the user keeps the file as it
    // is rather than let the save drop text of it that the view cannot show.
    bool ConfirmHiddenTextDrop(const CString& path, const CString& page) const;

private:
    // What another program wrote into the file since it was loaded is kept
    // at every save.
    PageSaveGuard m_guard;
};

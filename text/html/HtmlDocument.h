// The page editor's handle on the engine's document: loading HTML text,
// design mode, element lookup, pasting HTML at the selection, the element
// and table cell at the selection, the engine's editing commands, font sizes
// in pixels, and the table commands.
#pragma once
#include "html/HtmlElement.h"
#include "html/HtmlStyle.h"
#include "html/HtmlTable.h"

#include <docobj.h>
#include <ocidl.h>

// The layer's own command: the font size in pixels at the selection (never reaches the engine).
constexpr DWORD kCommandPixelFontSize = 5005;

class bcHtmlDocument : public bcHtmlDomNode {
public:
    bcHtmlDocument() = default;
    bool IsValid() const override { return m_document2 && m_document3 && m_persist && m_commands; }

    void Attach(IDispatch* document);
    bool LoadHtml(const CString& html);
    // The page as the engine writes it through its stream persistence (the
    // text behind the byte-order mark); with markSaved the engine counts it
    // as saved. False when the engine wrote nothing.
    bool SaveHtml(CString& text, bool markSaved) const;
    // Whether the engine's document changed since it was loaded or saved.
    bool IsModified() const;
    bool SetDesignMode(bool on);
    bool IsDesignMode() const;
    ComPtr<IHTMLElementCollection> GetElementsByTagName(const CString& tag) const;
    bcHtmlElement GetHeadElement() const;
    bcHtmlElement CreateElement(const CString& tag) const;
    bool PasteHtml(const CString& html);  // over the selection; false while browsing
    bcHtmlElement GetSelectedElement(bool evenWhenEmpty) const;
    // Whether the selection is a bare caret (a text range without text).
    bool IsCaret() const;
    // Selects the selection again, so that the window shows it where it now
    // lies after the document was changed around it.
    void ShowSelection() const;
    bool ExecCommand(DWORD command, const VARIANT& argument, bool showUserInterface);
    bool QueryCommandValue(DWORD command, VARIANT* value);
    // The engine's OLECMDF flags of a command (supported, enabled, latched); 0 without a document.
    DWORD QueryCommandStatus(DWORD command) const;
    int GetBaseFontSize();
    int GetCaretFontSize();
    bool ApplyPixelFontSize(unsigned pixels);
    bcHtmlStyleSheet GetStyleSheet();

    // Tables
    bool InsertGridTable(unsigned leftWidth, unsigned rightWidth, unsigned totalWidth, unsigned height, unsigned rows,
                         unsigned columns, const CString& id);
    bool InsertSimpleTable(unsigned rows, unsigned columns);
    bcHtmlTableCell GetSelectedCell() const;
    void InsertRowAtSelection(bool below);
    void InsertColumnAtSelection(bool after);

    IHTMLDocument2* GetDocument2() const { return m_document2.Get(); }

private:
    ComPtr<IHTMLDocument2> m_document2;
    ComPtr<IHTMLDocument3> m_document3;
    ComPtr<IPersistStreamInit> m_persist;
    ComPtr<IOleCommandTarget> m_commands;
    int m_baseFontSize = -1;
};

// Every FONT element with a Size attribute at or below the element gets the
// size as its inline font size instead.
void ApplyFontSizeToFonts(bcHtmlElement element, const CString& size);

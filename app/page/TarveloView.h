// CTarveloView: the page window, an HTML editing view. Every page it loads
// opens in edit mode; it filters the keys of the engine's own window
// ("Internet Explorer_Server") through a subclass: Ctrl+H/O/R/T insert a
// rule, a column, a row or a table, Ctrl+N and Ctrl+S are kept from the
// engine for the main window's accelerators, and after an Enter typed into
// the page the paragraphs the engine made become DIV blocks. Its editing
// command map runs the clipboard, undo, format, alignment, list, link and
// picture commands on the engine.
#pragma once
#include "html/HtmlDocument.h"
#include "HtmlEditView.h"

#include <vector>

class CTarveloView : public CHtmlEditView {
public:
    CTarveloView() = default;
    ~CTarveloView() override;

    // The timer whose ticks wake the message loop for the idle display of the caret's font.
    static constexpr UINT_PTR kIdleTimer = 5006;

    // The engine's window of the subclass.
    class bCMsieWnd : public CWnd {
    public:
        CTarveloView* m_pView = nullptr;  // the view that embeds it
        BOOL PreTranslateMessage(MSG* msg) override;

    protected:
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    };

    // IDM_EDITMODE (2127) in design mode, else IDM_BROWSEMODE (2126).
    unsigned GetEditMode() const;
    // Runs an engine editing command on the page.
    bool ExecEditCommand(unsigned command, const VARIANT& argument, bool promptUser);
    // Gives the selection a text colour (text) or a highlight colour, as "#rrggbb".
    bool ApplyColour(COLORREF colour, bool text);
    // The page as the engine writes it; false before a page has loaded.
    bool GetEngineText(CString& text) const;
    // Whether the engine's page has changes that were not saved.
    bool IsEngineModified() const;
    // Marks the engine's page as saved.
    void SetEngineSaved();
    // Loads the document's page file into the engine again (edit mode).
    void ReloadPage();
    HWND GetEngineWindow() const { return m_browserWnd.GetSafeHwnd(); }
    // The page's document as the view attached it at the last load.
    const bcHtmlDocument& GetPageDocument() const { return m_htmlDoc; }
    // The engine command's value as text (integers in decimal); false, with
    // the empty text, when the engine has none.
    bool QueryCommandText(unsigned command, CString& text);
    // The idle display: the font name and size at the caret in the main
    // window's toolbar boxes.
    void UpdateFormatControls();

    // Browsing, links and search marks (TarveloViewBrowse.cpp, TarveloViewMarks.cpp).
    // The address of the link around the caret, resolved against the page's
    // folder when relative; false outside a link.
    bool LinkAtSelection(CString& href) const;
    // Double-click and F3: the link around the caret opened through the shell.
    void OpenLinkAtCursor();
    // Marks every occurrence of the text (flags 0: any case) with a SPAN of
    // the id and style, after taking out the marks of that id; true when
    // something was marked. The page's saved state does not change.
    bool MarkText(const CString& text, long flags, const CString& style, const CString& id);
    // The same for each text of a list; the old marks go once, before the first.
    bool MarkTexts(const std::vector<CString>& texts, long flags, const CString& style, const CString& id);
    void ClearSearchMarks(const CString& id);
    // The page as the engine writes it without the marks of the id, which
    // stay shown; they leave no step of their own to undo.
    bool GetEngineTextWithoutMarks(const CString& id, CString& text);
    // The engine asks for a context menu (browse mode only): the view's own
    // at the screen point, and none of the engine's.
    HRESULT OnShowContextMenu(DWORD id, POINT* point, IUnknown* commandTarget, IDispatch* element) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    // The tree follows the page window that becomes active.
    void OnActivateView(BOOL activate, CView* activateView, CView* deactiveView) override;
    // Every completed load: the engine's document in edit mode, and once per
    // view the subclass of the engine's window.
    void OnNavigateComplete2(const wchar_t* url) override;
    // The engine's page has loaded: the search marks it when it is the page the search opened.
    void OnDocumentComplete(const wchar_t* url) override;

    // The editing command map (TarveloViewCommands.cpp).
    bool GetDHtmlCommandMapping(UINT id, long& engineCommand, long& elemType, bool& hasHandler) const override;
    bool ExecHandler(UINT id) override;

protected:
    const MessageMap* GetMessageMap() const override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The view's window class takes double-clicks (they open links).
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    // WM_ACTIVATE: nothing to do (a child window is not activated this way).
    void OnActivate(UINT state, LPARAM other);
    // The keyboard goes on to the engine's window, where the page is edited:
    // the frame gives the view the focus back after a dialog or another
    // window had it, and typing must land in the page again.
    void OnSetFocus();
    // A key went down in the engine's window: an Enter there is the page's.
    void OnEngineKeyDown(UINT key);
    // The paragraph fix-up after a key of the engine's window was released.
    void OnEngineKeyUp(UINT key);
    // Makes the changes that follow part of the engine's last undo step.
    void JoinLastUndoStep();
    // Closes the engine's undo step of the changes made through the document
    // layer so far: what comes next is undone apart from them.
    void SealUndoStep();
    // The view's own edits of the page through the document layer (a table,
    // a row, a pasted fragment, a colour) are one undo step each: the
    // engine's open step is closed before and after them.
    class OwnUndoStep {
    public:
        explicit OwnUndoStep(CTarveloView& view) : m_view(view) { m_view.SealUndoStep(); }
        ~OwnUndoStep() { m_view.SealUndoStep(); }
        OwnUndoStep(const OwnUndoStep&) = delete;
        OwnUndoStep& operator=(const OwnUndoStep&) = delete;

    private:
        CTarveloView& m_view;
    };
    // One of the engine's own commands (EngineCommands.h).
    void ExecEngineOwnCommand(DWORD command, VARIANT* argument);

    // Editing commands (TarveloViewCommands.cpp). Commands outside the
    // editing command map show their state here: greyed where they cannot
    // run (browse mode, no cell at the caret).
    void OnUpdateEditing(CCmdUI* cmdUI);
    void OnUpdateTableCommand(CCmdUI* cmdUI);
    void OnDeleteTable();
    void OnDeleteRow();
    void OnAddRowAbove();
    void OnAddRowBelow();
    void OnBorderColor();
    void OnCellBackgroundColor();
    void OnInsertLine();
    void OnInsertHyperlink();
    void OnStrikeThrough();
    void OnSubscript();
    void OnSuperscript();
    void OnFontNameChange();
    void OnFontNameKillFocus();
    void OnFontSizeChange();
    // A pick from either font box's list (CBN_SELENDOK): once the box has closed its
    // list and applied the pick, the keyboard goes back to the page (posted), so the
    // keys typed next edit the page and not the box, nor nothing (the display gives
    // its keyboard away when the list's window goes).
    void OnFontBoxPicked();
    LRESULT OnKeysBackToPage(WPARAM wParam, LPARAM lParam);
    static constexpr UINT kKeysBackToPageMessage = WM_APP + 0x61;
    void OnIndex();
    void OnUnindex();
    // Insert commands (TarveloViewInsert.cpp).
    void OnAddTable();
    void OnAddIndexTag();
    void OnNewLine();
    void OnAddFooter();

    // Browsing commands (TarveloViewBrowse.cpp).
    void OnMode();
    void OnBrowse();
    void OnOpenLink();
    void OnSearchCurrentPage();
    void OnPaint();
    void OnDestroy();
    // The tree selects this page when it has become the active page window.
    void FollowInTree();
    // The map of these handlers, between the view's own map and CView's.
    const MessageMap* BrowseMessageMap() const;

private:
    void AddRow(bool below);
    // The text colour of the page's document as "#rrggbb".
    CString TextColourText() const;
    // The main window's toolbar box of that command id.
    CWnd* ToolbarBox(UINT id) const;
    bool ExecInt(unsigned command, int value);
    // The idle timer runs again from now, so the toolbar boxes follow the
    // caret soon after a paste.
    void RestartIdleTimer();

    BOOL m_bEditMode = FALSE;
    bcHtmlDocument m_htmlDoc;
    bCMsieWnd m_browserWnd;
    BOOL m_bFixFonts = FALSE;
    BOOL m_bEnterTyped = FALSE;  // an Enter went down in the engine's window and is not released yet
    BOOL m_bSetUpDone = FALSE;
    CString m_lastFontName;
    CString m_lastFontSize;
};

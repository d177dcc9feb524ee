// CHtmlEditView: a view that hosts the HTML engine's browser window and edits
// the document shown in it. It loads its document's file when the view is
// first updated, reports each completed load (OnNavigateComplete2, then
// OnDocumentComplete), asks the derived view before the engine shows a
// context menu, prints through the engine, and runs the commands of its
// DHTML editing command map on the engine: each entry names a command id and
// the engine command it runs, and the entry's menu items and buttons are
// enabled (and, for a check-box entry, checked) from the engine's command
// status. A derived view lists its entries in a table closed by an all-zero
// entry and answers the two hooks from it (FindDHtmlEditingCmd).
#pragma once
#include "com/ComPtr.h"
#include "docview/View.h"

#include <docobj.h>
#include <exdisp.h>

// How an entry's state shows on its menu items and buttons.
enum DHtmlEditingElemType : long {
    AFX_UI_ELEMTYPE_NORMAL = 0,    // enabled or greyed
    AFX_UI_ELEMTYPE_CHECKBOX = 1,  // also checked while the engine reports the command latched
};

// One entry of a DHTML editing command map.
struct DHtmlEditingCmdEntry {
    UINT nCmdID;        // the command id of menus, keys and buttons
    long nHTMLID;       // the engine command (0 closes the table)
    long nElemType;     // DHtmlEditingElemType
    bool bHasHandler;   // ExecHandler runs the command instead of the engine
};

// The entry of a command id in a table closed by an entry whose engine command is 0; null for none.
const DHtmlEditingCmdEntry* FindDHtmlEditingCmd(const DHtmlEditingCmdEntry* map, UINT id);

class CHtmlEditView : public CView {
public:
    CHtmlEditView() = default;
    ~CHtmlEditView() override;

    // The browser object, and the engine's current document (null before a load).
    IWebBrowser2* GetBrowser() const { return m_browser.Get(); }
    ComPtr<IDispatch> GetHtmlDocument() const;
    // Loads a file (or address) into the browser window. The engine loads
    // synchronously: the load's events have been reported when it returns.
    // False when the engine could not load it.
    bool Navigate2(const wchar_t* url);
    // Design (edit) mode of the engine's document.
    bool SetDesignMode(bool on);
    // An engine command of the MSHTML command group on the current document.
    HRESULT ExecCommand(long cmdID, long execOpt, VARIANT* input, VARIANT* output);
    // The engine's OLECMDF_ status bits of a command; 0 without a document.
    long QueryStatus(long cmdID) const;

    // A load has completed (the engine's document of it is there).
    virtual void OnNavigateComplete2(const wchar_t* url);
    // The loaded document is complete.
    virtual void OnDocumentComplete(const wchar_t* url);
    // The engine is about to show its context menu at a screen point: S_OK
    // when the view showed its own (the engine shows none), S_FALSE to let
    // the engine show its own.
    virtual HRESULT OnShowContextMenu(DWORD id, POINT* point, IUnknown* commandTarget, IDispatch* element);

    // The DHTML editing command map: the engine command of a command id, how
    // its state shows and whether a handler runs it; false for an id without an entry.
    virtual bool GetDHtmlCommandMapping(UINT id, long& engineCommand, long& elemType, bool& hasHandler) const;
    // Runs the handler of an entry; false when the id has none.
    virtual bool ExecHandler(UINT id);

    // Commands of the map are run on the engine (their update asks it for
    // their state); every other command takes the view's ordinary route.
    BOOL OnCmdMsg(CommandCall& call) override;

protected:
    const MessageMap* GetMessageMap() const override;
    int OnCreate(LPCREATESTRUCT cs);
    void OnSize(UINT type, int cx, int cy);
    // The document's file is loaded.
    void OnInitialUpdate() override;
    // Print (57607): the engine's print command, with its print dialog.
    void OnFilePrint();

private:
    // The engine's host object (asked before context menus); made before the browser.
    ComPtr<IUnknown> m_host;
    ComPtr<IWebBrowser2> m_browser;
    // The browser's document object and its command target.
    ComPtr<IDispatch> m_document;
    ComPtr<IOleCommandTarget> m_commands;
};

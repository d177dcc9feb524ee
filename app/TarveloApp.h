// CTarveloApp: the program's application object. Start-up builds the two
// document templates and the main window, then either hands a clip command
// line to the clip intake (and the process ends with exit code 1) or shows
// the main window, reopens the last page and starts the index thread.
#pragma once
#include "app/WinApp.h"
#include "docview/DocTemplate.h"
#include "gdi/DC.h"

class CTarveloApp : public CWinApp {
public:
    CTarveloApp();
    ~CTarveloApp() override;

    // Set at construction, in this order: whether Windows is version 4 or
    // later (the low byte of the version); the screen's device context, held
    // for the process's life, on which the font-name box lists the screen's
    // fonts; and the stock font of the font boxes, DEFAULT_GUI_FONT from
    // version 4 on, else ANSI_VAR_FONT. The font boxes get both while the
    // object lives.
    BOOL m_bWin4;
    CClientDC m_dcScreen{nullptr};
    int m_nDefFont;
    CMultiDocTemplate* m_pPageTemplate = nullptr;    // owned by the document manager
    CMultiDocTemplate* m_pSourceTemplate = nullptr;  // owned by the document manager

    BOOL InitInstance() override;
    int ExitInstance() override;
    BOOL IsIdleMessage(MSG* msg) override;

    // Clip intake: each handles one clip command line (see clip/).
    void AddClipFromCommandLine(CString commandLine);
    void AddEventFromCommandLine(CString commandLine);

    // The folder tree's menu commands that the main window carries out
    // (TreeMenu.cpp): each runs the main window's command, or indexes the
    // tree's selected page or folder. They need no application state, so the
    // tree calls them without the application object.
    static void TreeMenuSearch();
    static void TreeMenuNewFolder();
    static void TreeMenuNewPage();
    static void TreeMenuImport();
    static void TreeMenuExport();
    static void TreeMenuIndex();
    static void TreeMenuUnindex();

protected:
    const MessageMap* GetMessageMap() const override;
    void OnAppAbout();
    void OnHelpContent();
    void OnHomePage();
    // The options command (see dialogs/AppDialogCommands.cpp).
    void OnOptions();
    void OnSetInstallPath();

private:
    // The common controls and OLE, once per process; false (after a message)
    // when OLE cannot be initialised.
    BOOL InitControlsAndOle();
    // Builds the hidden main window unless it is there already.
    BOOL LoadMainFrame();
    // Places, shows and fills the main window of an interactive start.
    void StartInteractive();
    // The main window's place as the Init section remembers it.
    CRect SavedMainWindowPlace();
    void ReopenLastPage();
    bool m_comInitialised = false;
    bool m_controlsAndOleReady = false;
};

// The process's one application object (defined beside WinMain, so that a
// test program may build its own).
CTarveloApp& TheApp();

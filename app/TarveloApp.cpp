#include "TarveloApp.h"

#include "AboutDlg.h"
#include "ChildFrame.h"
#include "HelpFile.h"
#include "IndexThread.h"
#include "MainFrame.h"
#include "Placement.h"
#include "app/AfxMessageBox.h"
#include "clip/ClipCommandLine.h"
#include "clip/ClipIntake.h"
#include "dialogs/DialogAddPage.h"
#include "page/FontComboBox.h"
#include "page/ShellOpen.h"
#include "page/TarveloDoc.h"
#include "page/TarveloView.h"
#include "resource.h"
#include "source/SourceDoc.h"
#include "source/SourceView.h"
#include "wnd/WhenWindowIsUp.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

namespace {
const wchar_t kHomePage[] = L"http://www.tarvelo.com";
}

// The major version is the low byte of GetVersion's low word.
CTarveloApp::CTarveloApp()
    : m_bWin4(LOBYTE(LOWORD(GetVersion())) >= 4), m_nDefFont(m_bWin4 ? DEFAULT_GUI_FONT : ANSI_VAR_FONT) {
    CFontComboBox::UseApplicationDefaults(m_dcScreen, m_nDefFont);
}

CTarveloApp::~CTarveloApp() { CFontComboBox::UseApplicationDefaults(nullptr, DEFAULT_GUI_FONT); }

const MessageMap* CTarveloApp::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapCommand<&CTarveloApp::OnAppAbout>(ID_APP_ABOUT),
        MapCommand<&CWinApp::OnFileNew>(ID_FILE_NEW),
        MapCommand<&CWinApp::OnFileOpen>(ID_FILE_OPEN),
        MapCommand<&CWinApp::OnFilePrintSetup>(ID_FILE_PRINT_SETUP),
        MapCommand<&CTarveloApp::OnHelpContent>(ID_HELP_CONTENT),
        MapCommand<&CTarveloApp::OnHomePage>(ID_HELP_HOME_PAGE),
        MapCommand<&CTarveloApp::OnOptions>(ID_TOOLS_OPTIONS),
        MapCommand<&CTarveloApp::OnSetInstallPath>(ID_SET_INSTALL_PATH),
    };
    static const MessageMap map{CWinApp::GetMessageMap(), entries};
    return &map;
}

BOOL CTarveloApp::InitInstance() {
    SetRegistryKey(L"Tarvelo");
    // The dialog of a link clip needs neither the common controls nor OLE:
    // such a process loads them (they are loaded when first called) with its
    // hidden main window, once the dialog is up.
    CString raw = GetCommandLineW();
    const ClipKind clip = ClassifyClipCommandLine(raw);
    if (clip == ClipKind::Unreadable) {
        RefuseUnreadableClip();
        ExitProcess(1);
    }
    if (clip != ClipKind::Link && !InitControlsAndOle()) return FALSE;
    if (!CWinApp::InitInstance()) return FALSE;
    LoadStdProfileSettings(4);

    m_pPageTemplate = new CMultiDocTemplate(IDR_PAGETYPE, RuntimeClass<CTarveloDoc>(), RuntimeClass<CChildFrame>(),
                                            RuntimeClass<CTarveloView>());
    AddDocTemplate(m_pPageTemplate);
    m_pSourceTemplate = new CMultiDocTemplate(IDR_PAGETYPE, RuntimeClass<CSourceDoc>(), RuntimeClass<CChildFrame>(),
                                              RuntimeClass<CSourceView>());
    AddDocTemplate(m_pSourceTemplate);

    // A clip process handles its command line and ends without showing
    // anything. Its main window is built hidden all the same; a link clip
    // begins reading the pages its dialog lists once the dialog is up, and
    // builds the window once they are listed (or once the dialog is closed),
    // so that the user waits for neither.
    if (clip == ClipKind::Link)
        RunWhenThreadWindowIsUp([this] {  // the dialog, or a message box instead of it
            OnClipDialogUp([this] { LoadMainFrame(); });
        });
    else if (!LoadMainFrame())
        return FALSE;
    switch (clip) {
    case ClipKind::Link:
        AddClipFromCommandLine(raw);
        LoadMainFrame();
        ExitProcess(1);
    case ClipKind::FormBlock:
        StoreFormBlock(raw);
        ExitProcess(1);
    case ClipKind::Event:
        AddEventFromCommandLine(raw);
        ExitProcess(1);
    case ClipKind::None:
    case ClipKind::Unreadable:
        break;
    }

    // Only an interactive start has a use for the parsed command line (a page
    // file named on it is opened).
    CCommandLineInfo commandLine;
    commandLine.m_nShellCommand = CCommandLineInfo::FileNothing;  // no empty page at start
    ParseCommandLine(commandLine);
    if (!ProcessShellCommand(commandLine)) return FALSE;
    StartInteractive();
    return TRUE;
}

// The common-controls record is 8 bytes on both architectures.
static_assert(sizeof(INITCOMMONCONTROLSEX) == 8);

BOOL CTarveloApp::InitControlsAndOle() {
    if (m_controlsAndOleReady) return TRUE;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = 0xFF;
    InitCommonControlsEx(&controls);
    if (!AfxOleInit()) {
        AfxMessageBox(IDP_OLE_INIT_FAILED);
        return FALSE;
    }
    AfxEnableControlContainer();
    m_controlsAndOleReady = true;
    return TRUE;
}

BOOL CTarveloApp::LoadMainFrame() {
    if (m_pMainWnd) return TRUE;
    if (!InitControlsAndOle()) return FALSE;
    auto mainFrame = std::make_unique<CMainFrame>();
    // Created where it is placed after it is shown: the move then changes
    // nothing, and the window is laid out and painted once.
    mainFrame->m_rectCreate = SavedMainWindowPlace();
    if (!mainFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, nullptr)) return FALSE;
    mainFrame->m_pSourceTemplate = m_pSourceTemplate;
    m_pMainWnd = mainFrame.release();  // the window deletes it when it is destroyed
    return TRUE;
}

void CTarveloApp::StartInteractive() {
    // The bars show their commands' states in their first paint: the first
    // idle update then finds nothing to change and repaint.
    UpdateMainWindowCommandUI();
    m_pMainWnd->ShowWindow(m_nCmdShow);
    m_pMainWnd->UpdateWindow();
    // Shown first, then moved to where it was when it last closed.
    m_pMainWnd->MoveWindow(SavedMainWindowPlace(), TRUE);

    if (GetProfileInt(L"Settings", L"OpenRecentFile", 0) == 0) ReopenLastPage();

    EnsureAllPagesIndex();
    if (SUCCEEDED(CoInitialize(nullptr))) m_comInitialised = true;
    StartIndexThread();
}

CRect CTarveloApp::SavedMainWindowPlace() {
    return MainWindowPlacement(static_cast<int>(GetProfileInt(L"Init", L"Left", kDefaultMainWindowRect.left)),
                               static_cast<int>(GetProfileInt(L"Init", L"top", kDefaultMainWindowRect.top)),
                               static_cast<int>(GetProfileInt(L"Init", L"right", kDefaultMainWindowRect.right)),
                               static_cast<int>(GetProfileInt(L"Init", L"bottom", kDefaultMainWindowRect.bottom)));
}

void CTarveloApp::ReopenLastPage() {
    CString lastPage = GetProfileString(L"Settings", L"FileHot", L"");
    if (lastPage.IsEmpty()) return;
    DWORD attributes = GetFileAttributesW(lastPage);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    // The page's item is selected in the folder tree (its folders open on the
    // way) and the page opens with its open mark.
    auto* frame = dynamic_cast<CMainFrame*>(m_pMainWnd);
    if (!frame || !SelectTreeItemByPath(frame->m_wndTree, lastPage)) OpenDocumentFile(lastPage);
}

BOOL CTarveloApp::IsIdleMessage(MSG* msg) {
    // A tick of a page's idle timer calls for no idle update of its own:
    // whatever moves the caret or changes the page comes as a message, after
    // which the idle update has run already and shown the caret's font. So
    // the ticks, ten a second while a page is open, cost nothing.
    if (msg->message == WM_TIMER && msg->wParam == CTarveloView::kIdleTimer) return FALSE;
    return CWinApp::IsIdleMessage(msg);
}

int CTarveloApp::ExitInstance() {
    if (m_comInitialised) {
        CoUninitialize();
        m_comInitialised = false;
    }
    return CWinApp::ExitInstance();
}

void CTarveloApp::OnAppAbout() {
    CAboutDlg about;
    about.DoModal();
}

void CTarveloApp::OnHelpContent() {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    ShowHelpFile(m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr, HelpFileBeside(module));
}

void CTarveloApp::OnHomePage() {
    // As Browse does for a page: a browser that cannot be started is told of,
    // also when the shell learns of it only after it started one.
    auto tell = [](int answer) {
        CWnd* main = AfxGetMainWnd();
        TellShellOpenFailed(main ? main->GetSafeHwnd() : nullptr, L"The home page could not be opened", kHomePage, answer);
    };
    CWnd* main = AfxGetMainWnd();
    int answer = OpenAddressWithShell(main ? main->GetSafeHwnd() : nullptr, kHomePage, tell);
    if (answer <= 32) tell(answer);
}

void CTarveloApp::OnSetInstallPath() {
    CDialogAddPage dialog;
    if (dialog.DoModal() != IDOK) return;  // Cancel keeps the install path
    WriteProfileString(L"Settings", L"InstallPath", dialog.m_strName);
}

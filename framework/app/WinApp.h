// CWinApp: the program's one application object. It owns the document
// templates (through the document manager), the recent-file list and the
// main window, keeps the per-user profile in the registry below
// Software\<registry key>\<application name>, and runs the message loop
// with command-UI updates on idle.
#pragma once
#include "app/CommandLineInfo.h"
#include "app/RecentFileList.h"
#include "wnd/Wnd.h"

#include <memory>
#include <vector>

class CDC;
class CDocManager;
class CDocTemplate;
class CDocument;

inline constexpr UINT ID_FILE_NEW = 57600;
inline constexpr UINT ID_FILE_OPEN = 57601;
inline constexpr UINT ID_FILE_CLOSE = 57602;
inline constexpr UINT ID_FILE_SAVE = 57603;
inline constexpr UINT ID_FILE_SAVE_AS = 57604;
inline constexpr UINT ID_FILE_PRINT_SETUP = 57606;
inline constexpr UINT ID_FILE_PRINT = 57607;
inline constexpr UINT ID_FILE_PRINT_DIRECT = 57608;
inline constexpr UINT ID_FILE_MRU_FILE1 = 57616;
inline constexpr UINT ID_FILE_MRU_LAST = 57631;
inline constexpr UINT ID_EDIT_COPY = 57634;
inline constexpr UINT ID_EDIT_CUT = 57635;
inline constexpr UINT ID_EDIT_PASTE = 57637;
inline constexpr UINT ID_EDIT_UNDO = 57643;
inline constexpr UINT ID_APP_ABOUT = 57664;
inline constexpr UINT ID_APP_EXIT = 57665;
inline constexpr UINT AFX_IDS_APP_TITLE = 57344;

class CWinApp : public CCmdTarget {
public:
    // With no name the application takes the string AFX_IDS_APP_TITLE (or the
    // executable's name) when it starts.
    explicit CWinApp(const wchar_t* appName = nullptr);
    ~CWinApp() override;

    HINSTANCE m_hInstance = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    CString m_pszAppName;
    CString m_pszRegistryKey;
    CString m_pszProfileName;
    CWnd* m_pMainWnd = nullptr;
    std::unique_ptr<CDocManager> m_pDocManager;
    std::unique_ptr<CRecentFileList> m_pRecentFileList;

    virtual BOOL InitApplication() { return TRUE; }
    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance();
    virtual int Run();
    // Idle work: count 0 updates the command UI of the main window and its
    // bars; returns whether more idle time is wanted.
    virtual BOOL OnIdle(LONG count);
    // Whether the message just dispatched calls for idle work: not a mouse
    // move that did not move, a paint or the caret's blink.
    virtual BOOL IsIdleMessage(MSG* msg);
    // Updates the command UI of the main window and its bars now, shown or not.
    void UpdateMainWindowCommandUI();
    virtual BOOL PreTranslateMessage(MSG* msg);

    // Profile ----------------------------------------------------------------
    void SetRegistryKey(const wchar_t* key);
    void LoadStdProfileSettings(UINT maxRecentFiles = 4);
    UINT GetProfileInt(const wchar_t* section, const wchar_t* entry, int defaultValue);
    BOOL WriteProfileInt(const wchar_t* section, const wchar_t* entry, int value);
    CString GetProfileString(const wchar_t* section, const wchar_t* entry, const wchar_t* defaultValue = nullptr);
    // A null entry deletes the whole section; a null value deletes the entry.
    BOOL WriteProfileString(const wchar_t* section, const wchar_t* entry, const wchar_t* value);
    BOOL WriteProfileBinary(const wchar_t* section, const wchar_t* entry, const BYTE* data, UINT size);
    // The bytes actually stored; false when the value is missing or not binary.
    BOOL GetProfileBinary(const wchar_t* section, const wchar_t* entry, std::vector<BYTE>& data);
    // Software\<registry key>\<profile name>, empty without a registry key.
    CString GetProfileRoot() const;

    // Documents ------------------------------------------------------------------
    void AddDocTemplate(CDocTemplate* docTemplate);  // takes ownership
    virtual CDocument* OpenDocumentFile(const wchar_t* path);
    virtual void AddToRecentFileList(const wchar_t* path);
    BOOL SaveAllModified();
    void CloseAllDocuments(BOOL endSession);
    void ParseCommandLine(CCommandLineInfo& info);
    BOOL ProcessShellCommand(CCommandLineInfo& info);
    BOOL CreatePrinterDC(CDC& dc);

    CWnd* GetMainWnd() const { return m_pMainWnd; }

    // Command handlers that derived applications map.
    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppExit();

    // Called by the framework when the program starts (AfxWinMain).
    void SetUpFromProcess(HINSTANCE instance, int cmdShow);

protected:
    const MessageMap* GetMessageMap() const override;
    void OnOpenRecentFile(UINT id);
    void OnUpdateRecentFileMenu(CCmdUI* cmdUI);

    MSG m_msgCur{};
    POINT m_lastMousePoint{-1, -1};  // where the last mouse move that counted was
    bool m_oleInitialised = false;
    friend BOOL AfxOleInit();
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
const wchar_t* AfxGetAppName();
// OleInitialize for the application; undone when the application exits.
BOOL AfxOleInit();
// Allows windows to host controls (the HTML editing view hosts the engine).
void AfxEnableControlContainer();
bool AfxControlContainerEnabled();
// Runs the application object: start-up, message loop, exit code.
int AfxWinMain(HINSTANCE instance, int cmdShow);

#include "app/WinApp.h"

#include "app/AfxMessageBox.h"
#include "app/RegKey.h"
#include "docview/DocManager.h"
#include "gdi/DC.h"
#include "wnd/Resources.h"

#include <commdlg.h>
#include <ole2.h>
#include <shellapi.h>
#include <winspool.h>

namespace {
CWinApp* g_app = nullptr;
bool g_controlContainer = false;
}  // namespace

CWinApp* AfxGetApp() { return g_app; }
CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }
HINSTANCE AfxGetInstanceHandle() { return g_app && g_app->m_hInstance ? g_app->m_hInstance : GetModuleHandleW(nullptr); }
const wchar_t* AfxGetAppName() { return g_app ? g_app->m_pszAppName.GetString() : L""; }
void AfxEnableControlContainer() { g_controlContainer = true; }
bool AfxControlContainerEnabled() { return g_controlContainer; }

BOOL AfxOleInit() {
    if (!g_app) return FALSE;
    if (g_app->m_oleInitialised) return TRUE;
    if (FAILED(OleInitialize(nullptr))) return FALSE;
    g_app->m_oleInitialised = true;
    return TRUE;
}

CWinApp::CWinApp(const wchar_t* appName) : m_pszAppName(appName ? appName : L"") {
    m_hInstance = GetModuleHandleW(nullptr);
    g_app = this;
}

CWinApp::~CWinApp() {
    m_pDocManager.reset();
    if (g_app == this) g_app = nullptr;
}

void CWinApp::SetUpFromProcess(HINSTANCE instance, int cmdShow) {
    m_hInstance = instance;
    m_nCmdShow = cmdShow;
    if (m_pszAppName.IsEmpty()) m_pszAppName = LoadStringResource(AFX_IDS_APP_TITLE);
    if (m_pszAppName.IsEmpty()) {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        CString name(path);
        name = name.Mid(name.ReverseFind(L'\\') + 1);
        int dot = name.ReverseFind(L'.');
        m_pszAppName = dot > 0 ? name.Left(dot) : name;
    }
    if (m_pszProfileName.IsEmpty()) m_pszProfileName = m_pszAppName;
}

const MessageMap* CWinApp::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapCommand<&CWinApp::OnAppExit>(ID_APP_EXIT),
        MapCommandRange<&CWinApp::OnOpenRecentFile>(ID_FILE_MRU_FILE1, ID_FILE_MRU_LAST),
        MapUpdateUI<&CWinApp::OnUpdateRecentFileMenu>(ID_FILE_MRU_FILE1),
    };
    static const MessageMap map{CCmdTarget::GetMessageMap(), entries};
    return &map;
}

// Profile --------------------------------------------------------------------------

void CWinApp::SetRegistryKey(const wchar_t* key) {
    m_pszRegistryKey = key ? key : L"";
    if (m_pszAppName.IsEmpty()) SetUpFromProcess(m_hInstance, m_nCmdShow);
    m_pszProfileName = m_pszAppName;
}

CString CWinApp::GetProfileRoot() const {
    if (m_pszRegistryKey.IsEmpty() || m_pszProfileName.IsEmpty()) return CString();
    return L"Software\\" + m_pszRegistryKey + L"\\" + m_pszProfileName;
}

UINT CWinApp::GetProfileInt(const wchar_t* section, const wchar_t* entry, int defaultValue) {
    CString root = GetProfileRoot();
    if (root.IsEmpty() || !section || !entry) return static_cast<UINT>(defaultValue);
    RegKey key = RegKey::Open(HKEY_CURRENT_USER, root + L"\\" + section);
    DWORD value = 0;
    if (!key.ReadDword(entry, value)) return static_cast<UINT>(defaultValue);
    return value;
}

BOOL CWinApp::WriteProfileInt(const wchar_t* section, const wchar_t* entry, int value) {
    CString root = GetProfileRoot();
    if (root.IsEmpty() || !section || !entry) return FALSE;
    RegKey key = RegKey::Create(HKEY_CURRENT_USER, root + L"\\" + section);
    return key.WriteDword(entry, static_cast<DWORD>(value));
}

CString CWinApp::GetProfileString(const wchar_t* section, const wchar_t* entry, const wchar_t* defaultValue) {
    CString fallback(defaultValue ? defaultValue : L"");
    CString root = GetProfileRoot();
    if (root.IsEmpty() || !section || !entry) return fallback;
    RegKey key = RegKey::Open(HKEY_CURRENT_USER, root + L"\\" + section);
    CString value;
    if (!key.ReadString(entry, value)) return fallback;
    return value;
}

BOOL CWinApp::WriteProfileString(const wchar_t* section, const wchar_t* entry, const wchar_t* value) {
    CString root = GetProfileRoot();
    if (root.IsEmpty() || !section) return FALSE;
    if (!entry) {
        LONG status = RegDeleteTreeW(HKEY_CURRENT_USER, root + L"\\" + section);
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }
    if (!value) {
        RegKey key = RegKey::Open(HKEY_CURRENT_USER, root + L"\\" + section, KEY_SET_VALUE);
        return !key || key.DeleteValue(entry);
    }
    RegKey key = RegKey::Create(HKEY_CURRENT_USER, root + L"\\" + section);
    return key.WriteString(entry, value);
}

BOOL CWinApp::WriteProfileBinary(const wchar_t* section, const wchar_t* entry, const BYTE* data, UINT size) {
    CString root = GetProfileRoot();
    if (root.IsEmpty() || !section || !entry) return FALSE;
    RegKey key = RegKey::Create(HKEY_CURRENT_USER, root + L"\\" + section);
    return key.WriteBinary(entry, data, size);
}

BOOL CWinApp::GetProfileBinary(const wchar_t* section, const wchar_t* entry, std::vector<BYTE>& data) {
    data.clear();
    CString root = GetProfileRoot();
    if (root.IsEmpty() || !section || !entry) return FALSE;
    RegKey key = RegKey::Open(HKEY_CURRENT_USER, root + L"\\" + section);
    return key.ReadBinary(entry, data);
}

void CWinApp::LoadStdProfileSettings(UINT maxRecentFiles) {
    if (maxRecentFiles == 0) return;
    m_pRecentFileList = std::make_unique<CRecentFileList>(ID_FILE_MRU_FILE1, L"Recent File List", L"File%d",
                                                          static_cast<int>(std::min(maxRecentFiles, 16u)));
    m_pRecentFileList->ReadList(*this);
}

// Documents -----------------------------------------------------------------------------

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate) {
    if (!m_pDocManager) m_pDocManager = std::make_unique<CDocManager>();
    m_pDocManager->AddDocTemplate(docTemplate);
}

CDocument* CWinApp::OpenDocumentFile(const wchar_t* path) {
    return m_pDocManager ? m_pDocManager->OpenDocumentFile(path) : nullptr;
}

void CWinApp::AddToRecentFileList(const wchar_t* path) {
    if (m_pRecentFileList) m_pRecentFileList->Add(path);
}

BOOL CWinApp::SaveAllModified() { return m_pDocManager ? m_pDocManager->SaveAllModified() : TRUE; }

void CWinApp::CloseAllDocuments(BOOL endSession) {
    if (m_pDocManager) m_pDocManager->CloseAllDocuments(endSession);
}

namespace {

// True when the command line holds anything after the program's name, which
// ends where CommandLineToArgvW ends it: a name in quotes at the next quote,
// any other at the first blank or tab.
bool HasArguments(const wchar_t* line) {
    if (!line) return false;
    if (*line == L'"') {
        ++line;
        while (*line)
            if (*line++ == L'"') break;
    } else {
        while (*line && *line != L' ' && *line != L'\t') ++line;
    }
    while (*line == L' ' || *line == L'\t') ++line;
    return *line != 0;
}

}  // namespace

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
    // A start without arguments (the usual one) has nothing to parse, and
    // so need not load the shell's library for it.
    const wchar_t* line = GetCommandLineW();
    if (!HasArguments(line)) return;
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(line, &count);
    if (!args) return;
    for (int i = 1; i < count; ++i) {
        const wchar_t* arg = args[i];
        BOOL flag = arg[0] == L'/' || arg[0] == L'-';
        info.ParseParam(flag ? arg + 1 : arg, flag, i == count - 1);
    }
    LocalFree(args);
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
    switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        OnFileNew();
        return TRUE;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(info.m_strFileName) != nullptr;
    case CCommandLineInfo::FileNothing:
        return TRUE;
    }
    return TRUE;
}

BOOL CWinApp::CreatePrinterDC(CDC& dc) {
    // Without a default printer there is nothing to ask the print dialog for
    // (asking would leave its error behind for the next print dialog).
    DWORD length = 0;
    GetDefaultPrinterW(nullptr, &length);
    if (length == 0) return FALSE;
    PRINTDLGW pd{sizeof(pd)};
    pd.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    if (!PrintDlgW(&pd) || !pd.hDC) {
        if (pd.hDevMode) GlobalFree(pd.hDevMode);
        if (pd.hDevNames) GlobalFree(pd.hDevNames);
        return FALSE;
    }
    if (pd.hDevMode) GlobalFree(pd.hDevMode);
    if (pd.hDevNames) GlobalFree(pd.hDevNames);
    dc.DeleteDC();
    return dc.Attach(pd.hDC);
}

void CWinApp::OnFileNew() {
    if (m_pDocManager) m_pDocManager->OnFileNew();
}

void CWinApp::OnFileOpen() {
    if (m_pDocManager) m_pDocManager->OnFileOpen();
}

void CWinApp::OnFilePrintSetup() {
    PRINTDLGW pd{sizeof(pd)};
    pd.hwndOwner = m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
    pd.Flags = PD_PRINTSETUP;
    PrintDlgW(&pd);
    if (pd.hDevMode) GlobalFree(pd.hDevMode);
    if (pd.hDevNames) GlobalFree(pd.hDevNames);
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd) m_pMainWnd->SendMessage(WM_CLOSE);
}

void CWinApp::OnOpenRecentFile(UINT id) {
    if (!m_pRecentFileList) return;
    int index = static_cast<int>(id - ID_FILE_MRU_FILE1);
    if (index < 0 || index >= m_pRecentFileList->GetCount()) return;
    CString path = (*m_pRecentFileList)[index];
    // A file deleted since it was listed leaves the list with a word of which
    // one it was; the windows stay as they are.
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
        m_pRecentFileList->Remove(index);
        AfxMessageBox(path + L" no longer exists. It was taken off the recent file list.", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (!OpenDocumentFile(path)) m_pRecentFileList->Remove(index);
}

void CWinApp::OnUpdateRecentFileMenu(CCmdUI* cmdUI) {
    if (!m_pRecentFileList) {
        cmdUI->Enable(FALSE);
        return;
    }
    m_pRecentFileList->UpdateMenu(cmdUI);
}

// Message loop ---------------------------------------------------------------------------

BOOL CWinApp::PreTranslateMessage(MSG* msg) {
    HWND main = m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        if (CWnd* wnd = CWnd::FromHandlePermanent(hwnd); wnd && wnd->PreTranslateMessage(msg)) return TRUE;
        if (hwnd == main) return FALSE;
    }
    // A window outside the main window (a modeless dialog) still gets its accelerators.
    if (main && msg->hwnd && ::GetAncestor(msg->hwnd, GA_ROOT) != main) return m_pMainWnd->PreTranslateMessage(msg);
    return FALSE;
}

void CWinApp::UpdateMainWindowCommandUI() {
    if (!m_pMainWnd || !m_pMainWnd->GetSafeHwnd()) return;
    m_pMainWnd->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    m_pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
}

BOOL CWinApp::OnIdle(LONG count) {
    if (count <= 0) {
        if (m_pMainWnd && m_pMainWnd->GetSafeHwnd() && m_pMainWnd->IsWindowVisible()) UpdateMainWindowCommandUI();
        return TRUE;
    }
    CWnd::DeleteTempMap();
    return FALSE;
}

BOOL CWinApp::IsIdleMessage(MSG* msg) {
    if (msg->message == WM_MOUSEMOVE || msg->message == WM_NCMOUSEMOVE) {
        if (msg->pt.x == m_lastMousePoint.x && msg->pt.y == m_lastMousePoint.y) return FALSE;
        m_lastMousePoint = msg->pt;
        return TRUE;
    }
    return msg->message != WM_PAINT && msg->message != 0x0118;  // WM_SYSTIMER (caret blink)
}

int CWinApp::Run() {
    bool idle = true;
    LONG idleCount = 0;
    for (;;) {
        while (idle && !PeekMessageW(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) idle = false;
        }
        BOOL got = GetMessageW(&m_msgCur, nullptr, 0, 0);
        if (got == 0 || got == -1) return ExitInstance();
        if (!PreTranslateMessage(&m_msgCur)) {
            TranslateMessage(&m_msgCur);
            DispatchMessageW(&m_msgCur);
        }
        if (IsIdleMessage(&m_msgCur)) {
            idle = true;
            idleCount = 0;
        }
    }
}

int CWinApp::ExitInstance() {
    if (m_pRecentFileList) m_pRecentFileList->WriteList(*this);
    if (m_oleInitialised) {
        OleUninitialize();
        m_oleInitialised = false;
    }
    return static_cast<int>(m_msgCur.wParam);
}

int AfxWinMain(HINSTANCE instance, int cmdShow) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->SetUpFromProcess(instance, cmdShow);
    if (!app->InitApplication() || !app->InitInstance()) {
        if (app->m_pMainWnd && app->m_pMainWnd->GetSafeHwnd()) app->m_pMainWnd->DestroyWindow();
        return app->ExitInstance();
    }
    return app->Run();
}

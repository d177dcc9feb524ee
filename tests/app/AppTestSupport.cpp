#include "AppTestSupport.h"

#include "app/RegKey.h"

#include <gtest/gtest.h>

namespace {
const wchar_t kProgramKey[] = L"Software\\Tarvelo\\Tarvelo";
}

AppTestApp::AppTestApp() : CWinApp(L"AppTests") {
    SetRegistryKey(L"TarveloTests");
    RegDeleteTreeW(HKEY_CURRENT_USER, GetProfileRoot());
}

AppTestApp::~AppTestApp() {
    if (m_pMainWnd && m_pMainWnd->GetSafeHwnd()) m_pMainWnd->DestroyWindow();
    PumpMessages();
    RegDeleteTreeW(HKEY_CURRENT_USER, GetProfileRoot());
}

ProgramRegistryGuard::ProgramRegistryGuard() {
    m_savedPath.Format(L"Software\\TarveloTests\\Saved-%lu", GetCurrentProcessId());
    RegDeleteTreeW(HKEY_CURRENT_USER, m_savedPath);
    RegKey original = RegKey::Open(HKEY_CURRENT_USER, kProgramKey, KEY_READ);
    if (original) {
        RegKey saved = RegKey::Create(HKEY_CURRENT_USER, m_savedPath, KEY_ALL_ACCESS);
        m_hadKey = saved && RegCopyTreeW(original.Get(), nullptr, saved.Get()) == ERROR_SUCCESS;
    }
    original.Close();
    RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
}

ProgramRegistryGuard::~ProgramRegistryGuard() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
    if (m_hadKey) {
        RegKey saved = RegKey::Open(HKEY_CURRENT_USER, m_savedPath, KEY_READ);
        RegKey original = RegKey::Create(HKEY_CURRENT_USER, kProgramKey, KEY_ALL_ACCESS);
        if (saved && original) RegCopyTreeW(saved.Get(), nullptr, original.Get());
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, m_savedPath);
}

void ProgramRegistryGuard::WriteInt(const wchar_t* section, const wchar_t* name, DWORD value) {
    RegKey::Create(HKEY_CURRENT_USER, CString(kProgramKey) + L"\\" + section).WriteDword(name, value);
}

void ProgramRegistryGuard::WriteString(const wchar_t* section, const wchar_t* name, const CString& value) {
    RegKey::Create(HKEY_CURRENT_USER, CString(kProgramKey) + L"\\" + section).WriteString(name, value);
}

bool ProgramRegistryGuard::ReadInt(const wchar_t* section, const wchar_t* name, DWORD& value) {
    return RegKey::Open(HKEY_CURRENT_USER, CString(kProgramKey) + L"\\" + section).ReadDword(name, value);
}

CString ProgramRegistryGuard::ReadString(const wchar_t* section, const wchar_t* name) {
    CString value;
    RegKey::Open(HKEY_CURRENT_USER, CString(kProgramKey) + L"\\" + section).ReadString(name, value);
    return value;
}

CString TarveloExePath() {
    // The build tree is reached through Wine's drive for the Unix root.
    CString path(L"Z:");
    for (const char* c = TARVELO_EXE_UNIX_PATH; *c; ++c) path += static_cast<wchar_t>(*c == '/' ? '\\' : *c);
    return path;
}

namespace {

struct WindowSearch {
    DWORD processId;
    const CString* title;
    HWND found = nullptr;
    bool anyVisible = false;
};

BOOL CALLBACK VisitWindow(HWND hwnd, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != search->processId || !IsWindowVisible(hwnd)) return TRUE;
    search->anyVisible = true;
    if (search->title) {
        wchar_t text[256] = {};
        GetWindowTextW(hwnd, text, 256);
        if (*search->title == text) search->found = hwnd;
    }
    return TRUE;
}

}  // namespace

HWND FindVisibleWindow(DWORD processId, const CString& title) {
    WindowSearch search{processId, &title};
    EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TarveloRun RunTarvelo(const CString& arguments, const std::function<bool(DWORD)>& whileRunning, DWORD timeoutMs) {
    TarveloRun run;
    CString exe = TarveloExePath();
    CString commandLine = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(exe, commandLine.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "Tarvelo.exe did not start: " << GetLastError();
        return run;
    }
    commandLine.ReleaseBuffer();
    DWORD started = GetTickCount();
    bool watching = static_cast<bool>(whileRunning);
    while (WaitForSingleObject(process.hProcess, 2) == WAIT_TIMEOUT) {
        WindowSearch search{process.dwProcessId, nullptr};
        EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&search));
        run.sawVisibleWindow = run.sawVisibleWindow || search.anyVisible;
        // The program is asked only once start-up is over and it waits for input.
        if (watching && WaitForInputIdle(process.hProcess, 0) == 0) watching = whileRunning(process.dwProcessId);
        if (GetTickCount() - started > timeoutMs) {
            ADD_FAILURE() << "Tarvelo.exe did not end in time";
            TerminateProcess(process.hProcess, 99);
            WaitForSingleObject(process.hProcess, 5000);
            break;
        }
    }
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    run.finished = run.exitCode != STILL_ACTIVE;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

CString UseInstallFolder(const CString& install, const CString& name) {
    ProgramRegistryGuard::WriteString(L"Settings", L"InstallPath", install);
    CreateDirectoryW(install + L"\\Bookmark", nullptr);
    CreateDirectoryW(install + L"\\Bookmark\\Allpages", nullptr);
    return install + L"\\Bookmark\\Allpages\\" + name + L".htm";
}

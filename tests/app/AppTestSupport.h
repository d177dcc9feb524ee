// Support of the program's tests: an application object whose profile lives
// in a test key, the program's own registry key set aside while a test runs
// Tarvelo.exe, and running Tarvelo.exe as a child process.
#pragma once
#include "app/WinApp.h"

#include <functional>

class AppTestApp : public CWinApp {
public:
    AppTestApp();
    ~AppTestApp() override;
};

// Moves HKCU\Software\Tarvelo\Tarvelo aside for the test's lifetime and puts
// it back afterwards; the test starts with no key at all.
class ProgramRegistryGuard {
public:
    ProgramRegistryGuard();
    ~ProgramRegistryGuard();
    ProgramRegistryGuard(const ProgramRegistryGuard&) = delete;
    ProgramRegistryGuard& operator=(const ProgramRegistryGuard&) = delete;

    // Values of the program's key (Software\Tarvelo\Tarvelo\<section>).
    static void WriteInt(const wchar_t* section, const wchar_t* name, DWORD value);
    static void WriteString(const wchar_t* section, const wchar_t* name, const CString& value);
    static bool ReadInt(const wchar_t* section, const wchar_t* name, DWORD& value);
    static CString ReadString(const wchar_t* section, const wchar_t* name);

private:
    bool m_hadKey = false;
    CString m_savedPath;
};

// Tarvelo.exe of this build, as a Windows path.
CString TarveloExePath();

struct TarveloRun {
    DWORD exitCode = STILL_ACTIVE;
    bool finished = false;
    bool sawVisibleWindow = false;
};

// Runs Tarvelo.exe with the arguments. Once the program waits for input,
// `whileRunning` is called again and again with the process id until it
// returns false (then the run waits for the exit).
TarveloRun RunTarvelo(const CString& arguments, const std::function<bool(DWORD processId)>& whileRunning = {},
                      DWORD timeoutMs = 60000);
// The process's visible top-level window of that title, or null.
HWND FindVisibleWindow(DWORD processId, const CString& title);

// Dispatches every waiting message (a WM_QUIT is swallowed).
void PumpMessages();

// Makes `install` the program's install folder (in its settings), with the
// Bookmark and Allpages folders below it; the full path of the page file
// `name`.htm in Allpages (not written).
CString UseInstallFolder(const CString& install, const CString& name);

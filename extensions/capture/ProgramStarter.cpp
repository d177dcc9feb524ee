#include "ProgramStarter.h"

#include "InstallPath.h"

#include <windows.h>
#include <shellapi.h>

bool ShellProgramStarter::Start(const CString& program, const CString& commandLine) {
    SHELLEXECUTEINFOW request{};
    request.cbSize = sizeof(request);
    request.fMask = SEE_MASK_NOCLOSEPROCESS;
    request.hwnd = nullptr;
    request.lpVerb = nullptr;
    request.lpFile = program;
    request.lpParameters = commandLine;
    request.lpDirectory = nullptr;
    request.nShow = SW_SHOW;
    if (!ShellExecuteExW(&request)) return false;
    if (request.hProcess) CloseHandle(request.hProcess);
    return true;
}

bool StartTarvelo(ProgramStarter& starter, const CString& installPath, const CString& commandLine) {
    if (installPath.IsEmpty()) return false;
    return starter.Start(TarveloProgramPath(installPath), commandLine);
}

#include "page/ShellOpen.h"

#include "core/MessageBox.h"

#include <shellapi.h>

#include <map>
#include <memory>
#include <utility>

namespace {

ShellOpenHook& Hook() {
    static ShellOpenHook hook;
    return hook;
}

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};

// A program the shell started, watched until it ends or the time is up.
struct StartedProgram {
    std::unique_ptr<void, HandleCloser> process;
    DWORD started;
    std::function<void(int)> onFailure;
};

// How long a started program is watched: a browser that opens the address
// keeps running or hands it on and ends well; one that fails ends at once.
constexpr DWORD kWatchMs = 8000;
constexpr UINT kWatchTickMs = 100;

std::map<UINT_PTR, StartedProgram>& Watched() {
    static std::map<UINT_PTR, StartedProgram> watched;
    return watched;
}

void CALLBACK OnWatchTick(HWND, UINT, UINT_PTR timer, DWORD) {
    auto found = Watched().find(timer);
    if (found == Watched().end()) {
        KillTimer(nullptr, timer);
        return;
    }
    StartedProgram& program = found->second;
    bool ended = WaitForSingleObject(program.process.get(), 0) == WAIT_OBJECT_0;
    if (!ended && GetTickCount() - program.started < kWatchMs) return;
    DWORD code = 0;
    bool failed = ended && GetExitCodeProcess(program.process.get(), &code) && code != 0;
    std::function<void(int)> onFailure = std::move(program.onFailure);
    // Done with before the message, whose own loop would tick again.
    KillTimer(nullptr, timer);
    Watched().erase(found);
    if (failed && onFailure) onFailure(kShellOpenProgramFailed);
}

} // namespace

int OpenAddressWithShell(HWND owner, const CString& address, std::function<void(int answer)> onLateFailure) {
    if (Hook()) return OpenWithShell(owner, address);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;  // the caller tells of a failure
    info.hwnd = owner;
    info.lpFile = address;
    info.nShow = SW_SHOWNORMAL;
    BOOL done = ShellExecuteExW(&info);
    int answer = static_cast<int>(reinterpret_cast<INT_PTR>(info.hInstApp));
    if (!done) return answer > 32 ? 0 : answer;  // the shell's reason, as OpenWithShell answers it
    if (!info.hProcess) return answer > 32 ? answer : 42;  // handed to a program already running
    StartedProgram program{std::unique_ptr<void, HandleCloser>(info.hProcess), GetTickCount(), std::move(onLateFailure)};
    UINT_PTR timer = SetTimer(nullptr, 0, kWatchTickMs, OnWatchTick);
    if (timer) Watched()[timer] = std::move(program);
    return answer > 32 ? answer : 42;
}

int OpenWithShell(HWND owner, const CString& target) {
    if (Hook()) {
        Hook()(owner, target);
        return 33;
    }
    HINSTANCE answer = ShellExecuteW(owner, nullptr, target, nullptr, nullptr, SW_SHOWNORMAL);
    return static_cast<int>(reinterpret_cast<INT_PTR>(answer));
}

CString ShellOpenFailureText(int answer) {
    switch (answer) {
    case 0:
    case SE_ERR_OOM: return L"The system is out of memory or resources.";
    case SE_ERR_FNF: return L"The file was not found.";
    case SE_ERR_PNF: return L"Its folder was not found.";
    case SE_ERR_ACCESSDENIED: return L"Access to the file was denied.";
    case SE_ERR_SHARE: return L"The file is in use by another program.";
    case SE_ERR_NOASSOC:
    case SE_ERR_ASSOCINCOMPLETE: return L"No program is set to open this kind of file.";
    case kShellOpenProgramFailed: return L"The program started to open it (the web browser) ended without opening it.";
    default: break;
    }
    CString text;
    text.Format(L"The shell answered with error %d.", answer);
    return text;
}

void TellShellOpenFailed(HWND owner, const CString& what, const CString& target, int answer) {
    ShowMessageBox(owner, what + L":\n" + target + L"\n\n" + ShellOpenFailureText(answer), L"Tarvelo",
                   MB_OK | MB_ICONWARNING);
}

ShellOpenHook SetShellOpenHook(ShellOpenHook hook) { return std::exchange(Hook(), std::move(hook)); }

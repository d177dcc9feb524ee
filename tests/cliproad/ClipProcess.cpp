#include "ClipProcess.h"

#include <vector>

CString TarveloExePath() {
    CString path = TARVELO_EXE_PATH;
    if (path.GetLength() > 0 && path[0] == L'/') {
        path.Replace(L'/', L'\\');
        path = L"Z:" + path;
    }
    return path;
}

ClipProcess::ClipProcess(const CString& argument) {
    CString commandLine = L"\"" + TarveloExePath() + L"\" " + argument;
    std::wstring buffer = commandLine.str();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_process))
        m_process = PROCESS_INFORMATION{};
}

ClipProcess::~ClipProcess() {
    if (m_process.hProcess) {
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(m_process.hProcess, 99);
        CloseHandle(m_process.hProcess);
        CloseHandle(m_process.hThread);
    }
}

HWND ClipProcess::WaitForWindow(const CString& caption, DWORD timeoutMs) const {
    struct Search {
        DWORD processId;
        const CString* caption;
        HWND found;
    };
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        Search search{m_process.dwProcessId, &caption, nullptr};
        EnumWindows(
            [](HWND window, LPARAM data) CALLBACK -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner != s->processId || !IsWindowVisible(window)) return TRUE;
                if (WindowText(window) != *s->caption) return TRUE;
                s->found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        if (WaitForSingleObject(m_process.hProcess, 20) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

DWORD ClipProcess::WaitForExit(DWORD timeoutMs) {
    if (!m_process.hProcess) return STILL_ACTIVE;
    if (WaitForSingleObject(m_process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(m_process.hProcess, 99);
        WaitForSingleObject(m_process.hProcess, 5000);
        return STILL_ACTIVE;
    }
    DWORD code = 0;
    GetExitCodeProcess(m_process.hProcess, &code);
    return code;
}

DWORD RunClip(const CString& argument, const CString& caption, const std::function<void(HWND)>& script) {
    ClipProcess process(argument);
    if (!process.Started()) return STILL_ACTIVE;
    HWND window = process.WaitForWindow(caption);
    if (window) script(window);
    return process.WaitForExit();
}

DWORD RunSilentClip(const CString& argument) {
    ClipProcess process(argument);
    return process.WaitForExit();
}

CString WindowText(HWND window) {
    int length = static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
    CString text;
    if (length > 0) {
        LRESULT copied = SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(length + 1),
                                      reinterpret_cast<LPARAM>(text.GetBuffer(length + 1)));
        text.ReleaseBuffer(static_cast<int>(copied));
    }
    return text;
}

CString ControlText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

int ComboCount(HWND dialog, int id) { return static_cast<int>(SendMessageW(GetDlgItem(dialog, id), CB_GETCOUNT, 0, 0)); }

CString ComboItem(HWND dialog, int id, int index) {
    HWND combo = GetDlgItem(dialog, id);
    int length = static_cast<int>(SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0));
    if (length <= 0) return CString();
    CString text;
    LRESULT copied = SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                  reinterpret_cast<LPARAM>(text.GetBuffer(length + 1)));
    text.ReleaseBuffer(copied < 0 ? 0 : static_cast<int>(copied));
    return text;
}

bool WaitForComboItems(HWND dialog, int id, int count, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (ComboCount(dialog, id) < count) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
    return true;
}

void ChooseComboItem(HWND dialog, int id, const CString& text) {
    HWND combo = GetDlgItem(dialog, id);
    WaitForComboItems(dialog, id, 1);
    for (int i = 0; i < ComboCount(dialog, id); ++i) {
        if (ComboItem(dialog, id, i) != text) continue;
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        return;
    }
}

void TypeText(HWND dialog, int id, const CString& text) {
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.GetString()));
}

void PressButton(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool ButtonChecked(HWND dialog, int id) {
    return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool ControlEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

CString MessageBoxText(HWND box) {
    CString text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[32] = {};
        GetClassNameW(child, className, 32);
        if (_wcsicmp(className, L"Static") == 0) text += WindowText(child);
    }
    return text;
}

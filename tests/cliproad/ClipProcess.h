// Runs the real Tarvelo.exe with a clip command line and lets a test answer
// the windows it shows, then reports how the process ended.
#pragma once
#include "core/String.h"

#include <windows.h>

#include <functional>

// The program's path as Wine sees it (the build's unix path on drive Z:).
CString TarveloExePath();

class ClipProcess {
public:
    // Starts Tarvelo.exe with the argument (the clip command line).
    explicit ClipProcess(const CString& argument);
    ~ClipProcess();
    ClipProcess(const ClipProcess&) = delete;
    ClipProcess& operator=(const ClipProcess&) = delete;

    bool Started() const { return m_process.hProcess != nullptr; }
    DWORD ProcessId() const { return m_process.dwProcessId; }
    HANDLE Process() const { return m_process.hProcess; }

    // The first visible top-level window of the process with the caption,
    // waited for up to the timeout; null when none came.
    HWND WaitForWindow(const CString& caption, DWORD timeoutMs = 45000) const;
    // Waits for the process to end; its exit code, or STILL_ACTIVE after the
    // timeout (the process is then ended).
    DWORD WaitForExit(DWORD timeoutMs = 60000);

private:
    PROCESS_INFORMATION m_process{};
};

// Runs a whole clip process: the script answers the dialog (or whatever
// window has the caption); returns the exit code.
DWORD RunClip(const CString& argument, const CString& caption, const std::function<void(HWND)>& script);
// Runs a clip process that shows nothing; returns the exit code.
DWORD RunSilentClip(const CString& argument);

// Helpers that work across processes.
CString WindowText(HWND window);
CString ControlText(HWND dialog, int id);
CString ComboItem(HWND dialog, int id, int index);
int ComboCount(HWND dialog, int id);
// Waits until the combo box lists at least `count` items (the dialog lists
// the pages of a large store after it opens); false after the timeout.
bool WaitForComboItems(HWND dialog, int id, int count, DWORD timeoutMs = 45000);
// Selects an item of a combo box as the user would (the dialog hears of it),
// once the list has items.
void ChooseComboItem(HWND dialog, int id, const CString& text);
void TypeText(HWND dialog, int id, const CString& text);
void PressButton(HWND dialog, int id);
bool ButtonChecked(HWND dialog, int id);
bool ControlEnabled(HWND dialog, int id);
// The text of every static control of a message box.
CString MessageBoxText(HWND box);

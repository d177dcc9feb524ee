// Drives a running Tarvelo.exe as the user does: real mouse and key input
// through the display's one mouse and keyboard (SendInput), windows found by
// class and title in the program's process, and the controls' item
// rectangles read through memory in that process (the common controls do
// not carry their pointer arguments across processes).
#pragma once
#include "core/String.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>

class ProgramDriver {
public:
    ProgramDriver() = default;
    ~ProgramDriver();
    ProgramDriver(const ProgramDriver&) = delete;
    ProgramDriver& operator=(const ProgramDriver&) = delete;

    // How long a wait for a window, a file or an exit holds before it counts
    // as failed: long enough for a machine busy with other builds, since a
    // wait by appearance returns as soon as the thing is there.
    static constexpr DWORD kAppearMs = 45000;

    // Starts the program and waits until its main window takes input.
    bool Start(const CString& exe, const CString& arguments = L"");
    // Closes the main window (a save question still has to be answered by the
    // caller) and waits for the exit; the process is ended if it hangs.
    DWORD Exit(DWORD timeoutMs = kAppearMs);
    bool Running() const;
    HANDLE Process() const { return m_process.hProcess; }

    HWND Frame() const { return m_frame; }
    // A descendant of the window by class and/or title (null matches any).
    static HWND Child(HWND parent, const wchar_t* className, const wchar_t* title = nullptr);
    // A visible top-level window of the program by class and/or title, null
    // when there is none ("#32770" for message boxes and dialogs).
    HWND TopWindow(const wchar_t* className, const wchar_t* title = nullptr) const;
    // The program's visible top-level windows, "class 'title'" each, and the
    // class of the window with the keyboard, for a failure's message: what
    // was up instead of the window waited for.
    CString TopWindows() const;
    // The texts of a message box's static controls, joined by line feeds.
    static CString TextOf(HWND dialog);
    // Presses a dialog's button, as its click does.
    static void Press(HWND dialog, int id);

    // Polls until the condition holds (every `pollMs`, 0: as often as the
    // system lets this thread run); false at the timeout.
    static bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = kAppearMs, DWORD pollMs = 5);
    // Waits until the program has used no processor time for `quietMs`.
    void Settle(DWORD quietMs = 150, DWORD timeoutMs = 15000) const;

    // Real input.
    static void MouseClick(POINT screen, bool right = false, int clicks = 1);
    // One mouse event at a screen point: a move there, with the button flags
    // (MOUSEEVENTF_LEFTDOWN ...) given, if any.
    static void MouseAt(POINT screen, DWORD buttonFlags = 0);
    // A drag with the left button: a press at `from`, held `holdMs`, ten
    // moves of `stepMs` each to `to`, held `holdMs` again, and the release there.
    static void MouseDrag(POINT from, POINT to, DWORD holdMs = 30, DWORD stepMs = 20);
    // One key going down or up.
    static void KeyEvent(WORD vk, bool up);
    static void Key(WORD vk, bool control = false, bool shift = false, bool alt = false);
    // Letters, digits, blanks and the punctuation of the keyboard's layout.
    static void Type(const CString& text);

    // Screen rectangles, through memory of the program's process.
    bool TreeItemRect(HWND tree, HTREEITEM item, RECT& rect) const;
    bool ToolbarButtonRect(HWND toolbar, UINT command, RECT& rect) const;
    CString TreeItemText(HWND tree, HTREEITEM item) const;
    // The item's image index (-1 when it cannot be read).
    int TreeItemImage(HWND tree, HTREEITEM item) const;
    // The item of a path of labels below the root ("Notes", "Sub\\Page").
    HTREEITEM TreeItem(HWND tree, const CString& labels) const;
    // The toolbar that holds the command's button.
    HWND Toolbar(UINT command) const;
    // Clicks the middle of a toolbar button.
    bool ClickToolbarButton(UINT command) const;

private:
    // Sends a message whose lParam points at `size` bytes, copied into the
    // process before and back after.
    LRESULT RemoteSend(HWND window, UINT message, WPARAM wParam, void* data, size_t size,
                       const std::function<void(void* copy, char* remote)>& fixUp = {}) const;

    PROCESS_INFORMATION m_process{};
    HWND m_frame = nullptr;
};

inline POINT Middle(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

// The mouse wheel turned at a point of the screen by notches (positive: down the page).
inline void Wheel(POINT at, int notches) {
    ProgramDriver::MouseAt(at);
    Sleep(20);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA * notches);
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    SendInput(1, &input, sizeof(input));
    Sleep(40);
}

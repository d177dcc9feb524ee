// The info tip of a shortcut bar or of one of its lists: a tooltip control the
// window makes on first use, holding one tool at a time, the header or item
// under the mouse (its id and rectangle), whose text the window is asked for
// through TTN_GETDISPINFO when the tip shows.
#pragma once
#include <windows.h>

class SHBInfoTip {
public:
    SHBInfoTip() = default;
    ~SHBInfoTip() { Destroy(); }
    SHBInfoTip(const SHBInfoTip&) = delete;
    SHBInfoTip& operator=(const SHBInfoTip&) = delete;

    // Passes one mouse message of `owner` on to the tip; `id` (0: nothing) is the tool under
    // the mouse and `rect` its place in the owner's client area.
    void Relay(HWND owner, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, const RECT& rect);
    // Takes the tool away (the thing under the mouse moved or went) and hides the tip.
    void Clear();
    void Destroy();
    HWND GetSafeHwnd() const { return m_hWnd; }
    UINT_PTR GetToolId() const { return m_id; }

private:
    HWND m_hWnd = nullptr;
    HWND m_hOwner = nullptr;
    UINT_PTR m_id = 0;
    RECT m_rect{};
};

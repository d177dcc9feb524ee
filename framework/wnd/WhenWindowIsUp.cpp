#include "wnd/WhenWindowIsUp.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace {

thread_local std::vector<std::pair<UINT_PTR, std::function<void()>>> t_waiting;

BOOL CALLBACK FindShownWindow(HWND window, LPARAM found) {
    if (!IsWindowVisible(window) || GetUpdateRect(window, nullptr, FALSE)) return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

bool ThreadShowsAWindow() {
    bool found = false;
    EnumThreadWindows(GetCurrentThreadId(), FindShownWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// A thread timer's message comes only when nothing else is queued, paint
// messages included. A dialog box, though, shows itself only once its queue
// is empty for the first time, and an expired timer counts as a message
// there: until a window is up the timer just waits for its next tick.
void CALLBACK OnTick(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!ThreadShowsAWindow()) return;
    KillTimer(nullptr, timer);
    for (auto it = t_waiting.begin(); it != t_waiting.end(); ++it) {
        if (it->first != timer) continue;
        std::function<void()> action = std::move(it->second);
        t_waiting.erase(it);
        action();
        return;
    }
}

}  // namespace

void RunWhenThreadWindowIsUp(std::function<void()> action) {
    if (UINT_PTR timer = SetTimer(nullptr, 0, 0, OnTick)) t_waiting.emplace_back(timer, std::move(action));
}

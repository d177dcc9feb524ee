// Windows of no code of ours, for the baselines of the benchmarks.
#pragma once
#include <windows.h>

namespace bench {

// A window class of the system's default procedure (arrow cursor, button-face
// background), registered once.
inline const wchar_t* BareWindowClass() {
    static const wchar_t* name = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = L"TarveloBenchBare";
        ::RegisterClassW(&wc);
        return L"TarveloBenchBare";
    }();
    return name;
}

}  // namespace bench

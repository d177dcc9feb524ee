// The "Internet Explorer_Server" window: paints the page from its layout
// through a memory bitmap (only the invalidated rectangles), scrolls with
// its scroll bars, the mouse wheel and, in browse mode, the scroll keys;
// asks the host before a context menu; in browse mode passes link clicks
// to the host and then to the shell. Created by the browser; deletes itself
// when its window is destroyed.
#pragma once
#include "browser/EditingInput.h"
#include "layout/LiveLayout.h"
#include "paint/BitmapCanvas.h"

#include <windows.h>

#include <memory>

namespace browser {

class Browser;

// Posted to the page window when a navigation has loaded its document.
constexpr UINT kMessageNavigated = WM_APP + 0x2E1;
// Posted to the page window to set its scroll bars after the page changed or
// the caret scrolled it.
constexpr UINT kMessageUpdateBars = WM_APP + 0x2E2;

class PageWindow {
public:
    static const wchar_t* ClassName() { return L"Internet Explorer_Server"; }
    static PageWindow* Create(HWND parent, Browser& browser);

    HWND Handle() const { return m_hwnd; }
    layout::LiveLayout& View() { return *m_view; }
    // Scrolls the page; `barsLater` sets the scroll bars once the messages
    // waiting now are done (the caret's scroll while typing: redrawing a bar
    // costs more than the key, and the text shows first).
    void ScrollTo(int x, int y, bool barsLater = false);
    void UpdateScrollBars();
    // Sets the scroll bars once the messages waiting now are done (one
    // message for any number of calls before it comes).
    void UpdateScrollBarsLater();
    // The address of the link at a point of the window, empty when there is none.
    CString LinkAt(int x, int y);

private:
    PageWindow(Browser& browser);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaint();
    // Asks for the part of the page (page coordinates) in view to be painted again.
    void InvalidatePageArea(const paint::Rect& area);
    void OnSize(int width, int height);
    void OnScroll(int bar, int code);
    bool OnKeyDown(UINT key);
    // The host's IDocHostUIHandler::TranslateAccelerator answered S_OK for the key.
    bool HostTakesKey(UINT message, WPARAM wParam, LPARAM lParam);
    void OnLButtonUp(int x, int y);
    void OnContextMenu(int x, int y);
    bool DesignMode() const;
    // Sets a scroll bar when its range, page or position differ from what it shows
    // (setting one redraws it, which costs more than a keystroke may).
    void SetBar(int bar, int extent, int page, int position);

    Browser& m_browser;
    HWND m_hwnd = nullptr;
    std::shared_ptr<layout::LiveLayout> m_view;
    std::unique_ptr<paint::BitmapCanvas> m_buffer;
    bool m_repaintPending = false;
    bool m_barsPending = false;  // kMessageUpdateBars is posted
    struct BarState {
        int max = -1, page = -1, position = -1;
        bool operator==(const BarState&) const = default;
    };
    BarState m_vertical, m_horizontal;
    std::unique_ptr<EditingInput> m_input;
};

}  // namespace browser

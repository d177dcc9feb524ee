// What a layout change costs in window work, and what the same window work costs
// without any of our code:
//  - MessageCensus counts, per window, the messages that show moves and repaints
//    (position changes, non-client sizing, non-client and client painting, erasing);
//  - Layout is every window's place below a top-level window, read after a change;
//  - BareReplica copies a window tree into plain windows (list views stay list views,
//    with the same items) that nothing of ours handles, and moves them between two
//    layouts the way the platform's own DeferWindowPos does: the floor under our figure.
#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace bench {

struct WindowCounts {
    int posChanging = 0;  // SetWindowPos / DeferWindowPos calls that reached the window
    int moved = 0;        // of those, the ones that changed its place or size
    int ncCalcSize = 0, ncPaint = 0, erase = 0, paint = 0;
};

// Counts the messages the calling thread's windows receive while it lives.
class MessageCensus {
public:
    MessageCensus();
    ~MessageCensus();
    MessageCensus(const MessageCensus&) = delete;
    MessageCensus& operator=(const MessageCensus&) = delete;

    void Reset() { m_counts.clear(); }
    // Also prints each counted message as it comes (to find where a repaint comes from).
    void Trace(const std::function<std::wstring(HWND)>* kindOf) { m_trace = kindOf; }
    // Totals per kind of window (the kind named by the caller), over `actions` actions.
    void Print(const std::function<std::wstring(HWND)>& kindOf, int actions) const;

private:
    static LRESULT CALLBACK OnSent(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK OnPosted(int code, WPARAM wParam, LPARAM lParam);
    void Count(HWND hwnd, UINT message, LPARAM lParam);

    HHOOK m_sent = nullptr, m_posted = nullptr;
    std::map<HWND, WindowCounts> m_counts;
    const std::function<std::wstring(HWND)>* m_trace = nullptr;
};

// Every descendant of a window with its place in its parent's client area, parents first.
struct Placement {
    HWND hwnd, parent;
    RECT rect;
};
using Layout = std::vector<Placement>;
Layout ReadLayout(HWND root);

class BareReplica {
public:
    explicit BareReplica(HWND original);
    ~BareReplica();
    BareReplica(const BareReplica&) = delete;
    BareReplica& operator=(const BareReplica&) = delete;

    // Moves the copies to the places the originals had in `layout`, one DeferWindowPos batch
    // per parent for the windows whose place changed (`flags` added to each move); the caller
    // pumps the paints.
    void MoveTo(const Layout& layout, UINT flags = 0);
    int MovedLast() const { return m_movedLast; }
    HWND Root() const { return m_root; }

private:
    HWND Copy(HWND original, HWND parent);

    HWND m_root = nullptr;
    std::map<HWND, HWND> m_copies;
    int m_movedLast = 0;
};

}  // namespace bench

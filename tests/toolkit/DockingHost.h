// The docking host: a size-dock MDI frame with three size bars (a tree, a
// list and a size tool bar) and an MDI child whose view can move into a
// docked view bar. Its layout goes to the profile when it closes and comes
// back when it is made again. Also a mouse driver that sends real input from
// a thread of its own while the window's thread pumps (drag loops are modal).
#pragma once
#include "ToolkitFixture.h"
#include "docking/MDIChildWndSizeDock.h"
#include "docking/SizeDockBar.h"
#include "docking/SizeDockFrames.h"
#include "docking/SizeDockLayout.h"
#include "docking/SizeToolBar.h"
#include "docview/DocTemplate.h"
#include "docview/Document.h"
#include "docview/View.h"

#include <functional>
#include <vector>

inline constexpr UINT kTreeBarId = 3101;
inline constexpr UINT kListBarId = 3102;
inline constexpr UINT kToolsBarId = 3103;
inline constexpr UINT ID_SHOW_TREE = 33101;
inline constexpr UINT ID_SHOW_LIST = 33102;
inline constexpr UINT kHostResource = 310;

// A size bar whose one child window fills it.
class HostBar : public COXSizeControlBar {
public:
    explicit HostBar(int style) : COXSizeControlBar(style) {}
    BOOL CreateWithChild(CFrameWnd* frame, UINT id, const wchar_t* title, const wchar_t* childClass, DWORD childStyle);
    void OnBarResized(int cx, int cy, int floatState, int flags) override;
    HWND child = nullptr;
};

class HostDoc : public CDocument {
public:
    // Called as a page's contents go (tests look at the application's state then).
    static inline std::function<void(HostDoc&)> onClose;
    void DeleteContents() override {
        if (onClose) onClose(*this);
    }
};
class HostView : public CView {
public:
    void OnDraw(CDC* dc) override;
};
class HostChild : public COXMDIChildWndSizeDock {};

class DockingHostFrame : public COXMDIFrameWndSizeDock {
public:
    DockingHostFrame();
    HostBar tree{SZBARF_STDMOUSECLICKS | SZBARF_AUTOTIDY | SZBARF_ALLOW_MDI_FLOAT};
    HostBar list{SZBARF_STDMOUSECLICKS};
    COXSizeToolBar tools{SZBARF_STDMOUSECLICKS};
    BOOL saveOnClose = TRUE;
    BOOL layoutLoaded = FALSE;

    // Makes the window, the bars and the default layout, then the stored layout over it.
    BOOL Build(CWinApp* app);
    // Every bar in its first place: tree and list side by side at the bottom, the tools at the left.
    void DefaultLayout();
    COXSizeDockBar* Dock(UINT id) { return dynamic_cast<COXSizeDockBar*>(GetControlBar(id)); }

protected:
    const MessageMap* GetMessageMap() const override;
    void OnClose();
    void OnShowTree() { tree.ShowBar(TRUE); }
    void OnShowList() { list.ShowBar(TRUE); }
};

// Makes the host and its one document window (the application's main window).
struct DockingHost {
    explicit DockingHost(CWinApp& app);
    ~DockingHost();
    CWinApp& app;
    DockingHostFrame* frame = nullptr;
    CMultiDocTemplate* docTemplate = nullptr;
    HostChild* child = nullptr;
    void Close(BOOL save);
};

// Real mouse input, sent from a thread of its own while this thread pumps.
namespace mouse {
void MoveTo(CPoint screen);
void Down();
void Up();
// Runs `script` on the input thread; pumps messages here until it ends.
void Run(const std::function<void()>& script);
// Press at `from`, move in steps to `to`, release (the whole drag on the input thread).
void Drag(CPoint from, CPoint to, int steps = 8);
void DoubleClick(CPoint at);
void Click(CPoint at);
void Pump(DWORD ms);
}  // namespace mouse

// Makes `frame` (a size-dock frame, the application's main window) and docks `bar`, loaded with
// the test toolbar, at its top; false when either window could not be made.
bool MakeCoolBarFrame(CWinApp& app, COXFrameWndSizeDock* frame, COXCoolToolBar& bar);

// Where a bar's caption is, in screen coordinates.
CPoint CaptionPoint(COXSizeControlBar& bar);
// The screen rectangle of a window.
CRect ScreenRect(CWnd& wnd);
// Saves a window's look as a PNG-ready bitmap file (bmp) under the build's screenshot folder.
void SaveScreenshot(CWnd& wnd, const wchar_t* name);
// The screen's pixels in a rectangle (24-bit rows, bottom up).
std::vector<BYTE> ScreenPixels(const CRect& screen);
// Whether a window and its children on screen look as a repaint of all of them draws them:
// a layout that left a stale or unpainted spot fails.
bool PaintedAsAWholeRepaintWould(CWnd& wnd);

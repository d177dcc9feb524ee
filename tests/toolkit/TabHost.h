// The tab hosts: an MDI frame with the tab workspace over its client and five
// page windows (a title with "&", a long title, one that answers the tab-title
// message), and a frame whose 3-D tab view container holds three views of one
// document. Both are driven with the docking host's real mouse.
#pragma once
#include "DockingHost.h"
#include "tabs/TabViewContainer.h"
#include "tabs/TabWorkspace.h"

#include <memory>
#include <vector>

// OLE for the length of a test (the tab windows register drop targets).
struct OleScope {
    OleScope() { OleInitialize(nullptr); }
    ~OleScope() { OleUninitialize(); }
};

// An MDI page window; `answer` (when set) is its reply to the tab-title message.
class TabHostChild : public CMDIChildWnd {
public:
    CString answer;

protected:
    const MessageMap* GetMessageMap() const override;
    LRESULT OnTabTitle(WPARAM, LPARAM) { return answer.IsEmpty() ? 0 : reinterpret_cast<LRESULT>(answer.GetString()); }
};

class TabHostFrame : public CMDIFrameWnd {
public:
    COXTabClientWnd tabClient;
};

struct TabWorkspaceHost {
    static constexpr int kChildren = 5;
    // Makes the frame (the application's main window) with the workspace and `children` pages.
    explicit TabWorkspaceHost(CWinApp& app, int children = kChildren, DWORD tabStyle = COXTabClientWnd::kDefaultStyle);
    ~TabWorkspaceHost();
    TabHostChild* AddChild(const wchar_t* title, HICON icon = nullptr);
    COXTabWorkspace& Tabs() { return *frame->tabClient.GetTabCtrl(); }
    HWND Active() const;
    // The middle of a tab, on the screen.
    CPoint TabPoint(int index);
    // Whether the MDI client lies in the workspace's display area, clear of every tab.
    bool ClientInDisplayArea();

    CWinApp& app;
    TabHostFrame* frame = nullptr;  // deletes itself with its window
    std::vector<TabHostChild*> children;
};

class PageDoc : public CDocument {
public:
    int views = 0;
};
// A view of the page document, each in a colour of its own.
class PageView : public CView {
public:
    void OnDraw(CDC* dc) override;
    void OnInitialUpdate() override;
    COLORREF color = RGB(255, 255, 224);
    int initialUpdates = 0;
};
class NotesView : public PageView {
public:
    NotesView() { color = RGB(224, 240, 255); }
};
class SourceView : public PageView {
public:
    SourceView() { color = RGB(232, 255, 232); }
};

struct TabContainerHost {
    explicit TabContainerHost(CWinApp& app);
    ~TabContainerHost();
    CPoint TabPoint(int index);

    CWinApp& app;
    CFrameWnd* frame = nullptr;
    PageDoc* document = new PageDoc;  // closes itself with its last view
    COX3DTabViewContainer container;
};

// Drags a file (CF_HDROP) from the current cursor spot to `over` and cancels there.
void DragFileOver(CWnd& source, CPoint over, const wchar_t* path);

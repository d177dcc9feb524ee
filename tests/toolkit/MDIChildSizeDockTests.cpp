// The size-dock MDI child as it is made and as its view docks: its creation
// goes through PreCreateWindow (the float window's too), and its view bar
// docks on the sides the child allows at the time.
#include "DockingHost.h"

#include <memory>

namespace {

// A page window whose PreCreateWindow settles its title and style, or refuses.
class SettledChild : public COXMDIChildWndSizeDock {
public:
    BOOL refuse = FALSE;
    int asked = 0;
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override {
        ++asked;
        cs.lpszName = L"Settled";
        cs.style |= WS_VSCROLL;  // a style the MDI client lets its children choose
        cs.dwExStyle |= WS_EX_ACCEPTFILES;
        return refuse ? FALSE : COXMDIChildWndSizeDock::PreCreateWindow(cs);
    }
};

class CountedFloatWnd : public COXMDIFloatWnd {
public:
    int asked = 0;

protected:
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override {
        ++asked;
        cs.dwExStyle |= WS_EX_CLIENTEDGE;
        return COXMDIFloatWnd::PreCreateWindow(cs);
    }
};

TEST(SizeDockFrames, AnMdiChildIsMadeAsItsPreCreateWindowSaysAndItsViewBarDocksOnTheSidesAllowedNow) {
    TestApp<CWinApp> app{L"DockingChildCreate"};
    DockingHost host(app);
    ASSERT_NE(host.child, nullptr);
    DockingHostFrame& f = *host.frame;
    const wchar_t* className = CWnd::RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));

    auto* settled = new SettledChild;  // deletes itself with its window
    ASSERT_TRUE(settled->Create(className, L"Asked for", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 200), &f, nullptr));
    EXPECT_EQ(settled->asked, 1);
    EXPECT_EQ(settled->GetWindowText(), CString(L"Settled"));
    EXPECT_TRUE(settled->GetStyle() & WS_VSCROLL);
    EXPECT_TRUE(settled->GetExStyle() & WS_EX_ACCEPTFILES);
    settled->DestroyWindow();
    PumpMessages();

    // Refused: no window, and the object is still its creator's.
    auto refused = std::make_unique<SettledChild>();
    refused->refuse = TRUE;
    EXPECT_FALSE(refused->Create(className, L"Refused", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 200), &f, nullptr));
    EXPECT_EQ(refused->asked, 1);
    EXPECT_EQ(refused->m_hWnd, nullptr);
    if (refused->m_hWnd) refused.release()->DestroyWindow();

    // The float window's own PreCreateWindow runs: it keeps the window free of the client edge
    // that a PreCreateWindow before it asked for.
    auto floatWnd = std::make_unique<CountedFloatWnd>();
    ASSERT_TRUE(floatWnd->Create(&f, CBRS_ALIGN_TOP));
    CountedFloatWnd* made = floatWnd.release();
    EXPECT_EQ(made->asked, 1);
    EXPECT_FALSE(made->GetExStyle() & WS_EX_CLIENTEDGE);
    made->DestroyWindow();
    PumpMessages();

    // Docked at the top, back, and docked again when the child allows only the left side.
    HostChild& child = *host.child;
    child.SendMessage(WM_SYSCOMMAND, DockMdiChildCommand());
    ASSERT_TRUE(child.m_bViewDocked);
    EXPECT_EQ(child.m_wndViewBar.m_pDockBar, f.Dock(AFX_IDW_DOCKBAR_TOP));
    child.SendMessage(WM_SYSCOMMAND, DockMdiChildCommand());
    ASSERT_FALSE(child.m_bViewDocked);
    child.m_dwDockSides = CBRS_ALIGN_LEFT;
    child.SendMessage(WM_SYSCOMMAND, DockMdiChildCommand());
    ASSERT_TRUE(child.m_bViewDocked);
    EXPECT_EQ(child.m_wndViewBar.m_dwDockStyle & CBRS_ALIGN_ANY, static_cast<DWORD>(CBRS_ALIGN_LEFT));
    EXPECT_EQ(child.m_wndViewBar.m_pDockBar, f.Dock(AFX_IDW_DOCKBAR_LEFT));
    child.SendMessage(WM_SYSCOMMAND, DockMdiChildCommand());
}

}  // namespace

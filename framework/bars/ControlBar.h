// CControlBar: a bar along a frame's edge (toolbar, status bar, dock bar,
// docking bars of the toolkit). A bar is a child window laid out by its
// frame: on WM_SIZEPARENT it takes its size from CalcDynamicLayout and
// shrinks the frame's free rectangle by it. Docked bars live in one of the
// frame's four CDockBar windows; floating bars in a CMiniDockFrameWnd. The
// notifications and commands of the bar's children go to the bar's owner
// (the frame). On idle the bar updates its items through OnUpdateCmdUI.
#pragma once
#include "gdi/DC.h"
#include "wnd/FrameWnd.h"

#include <memory>

class CDockBar;
class CDockContext;

// Bar styles (the low word and the gripper bit of the bar style).
inline constexpr DWORD CBRS_FLOATING = 0x0001;
inline constexpr DWORD CBRS_SIZE_FIXED = 0x0002;
inline constexpr DWORD CBRS_SIZE_DYNAMIC = 0x0004;
inline constexpr DWORD CBRS_HIDE_INPLACE = 0x0008;
inline constexpr DWORD CBRS_TOOLTIPS = 0x0010;
inline constexpr DWORD CBRS_FLYBY = 0x0020;
inline constexpr DWORD CBRS_FLOAT_MULTI = 0x0040;
inline constexpr DWORD CBRS_BORDER_3D = 0x0080;
inline constexpr DWORD CBRS_BORDER_LEFT = 0x0100;
inline constexpr DWORD CBRS_BORDER_TOP = 0x0200;
inline constexpr DWORD CBRS_BORDER_RIGHT = 0x0400;
inline constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800;
inline constexpr DWORD CBRS_BORDER_ANY = 0x0F00;
inline constexpr DWORD CBRS_ALIGN_LEFT = 0x1000;
inline constexpr DWORD CBRS_ALIGN_TOP = 0x2000;
inline constexpr DWORD CBRS_ALIGN_RIGHT = 0x4000;
inline constexpr DWORD CBRS_ALIGN_BOTTOM = 0x8000;
inline constexpr DWORD CBRS_ALIGN_ANY = 0xF000;
inline constexpr DWORD CBRS_GRIPPER = 0x00400000;
inline constexpr DWORD CBRS_ORIENT_HORZ = CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM;
inline constexpr DWORD CBRS_ORIENT_VERT = CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT;
inline constexpr DWORD CBRS_ORIENT_ANY = CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT;
inline constexpr DWORD CBRS_ALL = 0x0040FFFF;
inline constexpr DWORD CBRS_NOALIGN = 0;
inline constexpr DWORD CBRS_LEFT = CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT;
inline constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
inline constexpr DWORD CBRS_RIGHT = CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT;
inline constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;

// Layout modes of CalcDynamicLayout.
inline constexpr DWORD LM_STRETCH = 0x01;
inline constexpr DWORD LM_HORZ = 0x02;
inline constexpr DWORD LM_MRUWIDTH = 0x04;
inline constexpr DWORD LM_HORZDOCK = 0x08;
inline constexpr DWORD LM_VERTDOCK = 0x10;
inline constexpr DWORD LM_LENGTHY = 0x20;
inline constexpr DWORD LM_COMMIT = 0x40;

// Window ids of the frame's bars.
inline constexpr UINT ID_SEPARATOR = 0;  // a separator in button and indicator lists
inline constexpr UINT AFX_IDW_TOOLBAR = 0xE800;
inline constexpr UINT AFX_IDW_STATUS_BAR = 0xE801;
inline constexpr UINT AFX_IDW_DOCKBAR_TOP = 0xE81B;
inline constexpr UINT AFX_IDW_DOCKBAR_LEFT = 0xE81C;
inline constexpr UINT AFX_IDW_DOCKBAR_RIGHT = 0xE81D;
inline constexpr UINT AFX_IDW_DOCKBAR_BOTTOM = 0xE81E;
inline constexpr UINT AFX_IDW_DOCKBAR_FLOAT = 0xE81F;

// Sent by the frame's layout to each child: lParam is an AFX_SIZEPARENTPARAMS.
inline constexpr UINT WM_SIZEPARENT = 0x0361;
// Sent to a frame's message bar: wParam is a string id.
inline constexpr UINT WM_SETMESSAGESTRING = 0x0362;
inline constexpr UINT AFX_IDS_IDLEMESSAGE = 57345;
// The Close item of a floating frame whose bars are only hidden ("&Hide").
inline constexpr UINT AFX_IDS_HIDE = 61457;
// Sent by a floating frame to its bars' windows: wParam FS_* (the frame's activation).
inline constexpr UINT WM_FLOATSTATUS = 0x036D;
inline constexpr WPARAM FS_SHOW = 0x01;
inline constexpr WPARAM FS_HIDE = 0x02;
inline constexpr WPARAM FS_ACTIVATE = 0x04;
inline constexpr WPARAM FS_DEACTIVATE = 0x08;

// Entries of a dock bar's bar list up to this value are no bars: they hold the place of a
// bar that is hidden or not yet made (its id). Null entries end rows.
inline bool IsBarPointer(const void* entry) { return reinterpret_cast<UINT_PTR>(entry) > 0xFFFF; }

struct AFX_SIZEPARENTPARAMS {
    HDWP hDWP = nullptr;  // the moves' batch; null (and no batch on demand): a layout query, nothing moves
    RECT rect{};          // the part of the frame still free
    SIZE sizeTotal{};     // the room the bars took
    BOOL bStretch = TRUE;
    // Not a query though no batch is made yet: the first move begins it (a batch costs two round
    // trips to the window server, wasted on a layout pass in which nothing moves).
    bool bBatchOnDemand = false;
};

inline bool AfxIsLayoutQuery(const AFX_SIZEPARENTPARAMS* layout) { return !layout->hDWP && !layout->bBatchOnDemand; }
// The layout's batch of moves, begun when it has none yet (not for a query).
HDWP AfxLayoutBatch(AFX_SIZEPARENTPARAMS* layout);

// Moves a window within a layout pass (deferred unless it is a query).
void AfxRepositionWindow(AFX_SIZEPARENTPARAMS* layout, HWND hwnd, LPCRECT rect);

class CControlBar : public CWnd {
public:
    CControlBar();
    ~CControlBar() override;

    // The part of the style that is the bar's own (CBRS_*).
    DWORD m_dwStyle = 0;
    // The sides the bar may dock on (CBRS_ALIGN_*; 0: docking not enabled).
    DWORD m_dwDockStyle = 0;
    CFrameWnd* m_pDockSite = nullptr;  // the frame the bar belongs to
    CDockBar* m_pDockBar = nullptr;    // the dock bar that holds it (also a floating frame's)
    std::unique_ptr<CDockContext> m_pDockContext;
    int m_cxLeftBorder = 6;
    int m_cxRightBorder = 6;
    int m_cyTopBorder = 2;
    int m_cyBottomBorder = 2;
    int m_nMRUWidth = 32767;  // width when last floating
    BOOL m_bAutoDelete = FALSE;  // the object is deleted with its window

    void SetBarStyle(DWORD style);
    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBorders(int left = 0, int top = 0, int right = 0, int bottom = 0);
    void SetBorders(LPCRECT borders) { SetBorders(borders->left, borders->top, borders->right, borders->bottom); }
    CRect GetBorders() const { return CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder); }

    // Lets the bar dock on the sides given (CBRS_ALIGN_*) and gives it a dock context.
    void EnableDocking(DWORD dockStyle);
    BOOL IsFloating() const;
    BOOL IsHorzDocked() const;
    BOOL IsVertDocked() const;
    // The frame that docks the bar (the main frame also for a floating bar).
    CFrameWnd* GetDockingFrame() const;
    virtual BOOL IsVisible() const;
    virtual BOOL IsDockBar() const { return FALSE; }

    // The window that receives the bar's notifications and commands.
    CWnd* GetOwner() const;
    void SetOwner(CWnd* owner) { m_pOwner = owner; }

    // Size of the bar docked (stretch: as long as the frame) or floating.
    virtual CSize CalcFixedLayout(BOOL stretch, BOOL horz);
    // Size of the bar for a layout mode (LM_*) and a length (-1: none asked).
    virtual CSize CalcDynamicLayout(int length, DWORD mode);
    // Updates the bar's items from the target's command-UI handlers.
    virtual void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) = 0;
    // The client rectangle less borders and gripper.
    virtual void CalcInsideRect(CRect& rect, BOOL horz) const;
    virtual void DrawBorders(CDC* dc, CRect& rect);
    virtual void DrawGripper(CDC* dc, const CRect& rect);
    virtual void DoPaint(CDC* dc);
    // Shows or hides the bar at the next layout pass.
    virtual void DelayShow(BOOL show);
    // Carries out a delayed show or hide (within a layout pass, or at once without one; a
    // layout query leaves it pending); returns the style the bar has, or would have.
    DWORD RecalcDelayShow(AFX_SIZEPARENTPARAMS* layout);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Handlers derived bars call as their base.
    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    void PostNcDestroy() override;
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnPaint();
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    void OnWindowPosChanging(WPARAM wParam, LPARAM lParam);
    // Passes a child's notification or command on to the owner when no child takes it back.
    BOOL ForwardToOwner(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // Room of the gripper beside a docked bar.
    static constexpr int kGripperRoom = 8;
    enum class Pending { None, Show, Hide };
    Pending m_pending = Pending::None;

private:
    CWnd* m_pOwner = nullptr;
};

// The command-UI object a bar hands to its owner for one item.
class CBarCmdUI : public CCmdUI {};

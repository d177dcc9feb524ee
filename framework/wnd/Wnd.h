// CWnd: one real Win32 window and the C++ object that handles its messages.
//
// A CWnd is bound to its HWND while the window is created (a creation hook
// catches the first message) or later by SubclassWindow/Attach. Every
// message then runs through WindowProc: commands and notifications are
// routed through OnCommand/OnNotify, everything else is looked up in the
// class's message map, and what no handler takes goes to DefWindowProc.
// No exception leaves a window procedure: COM errors and standard
// exceptions are reported in a message box and the message ends there.
#pragma once
#include "core/String.h"
#include "wnd/CmdTarget.h"
#include "wnd/Geometry.h"

struct CCreateContext;
struct CToolInfo;
class CFrameWnd;
class CWnd;

// Routes the first window created on this thread to `wnd` (used by dialog and
// child-frame creation paths that do not pass through CreateEx).
void BindWindowBeingCreated(CWnd* wnd);
void EndBindWindowBeingCreated();

// Messages of the framework's own.
inline constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;  // wParam: disable commands without handler
inline constexpr UINT WM_INITIALUPDATE = 0x0364;    // sent to a frame's views before it is first shown
inline constexpr UINT WM_REFLECT_BASE = 0xBC00;     // reflected notifications: WM_REFLECT_BASE + message

// Window ids the frames give their parts.
inline constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;
inline constexpr UINT AFX_IDM_FIRST_MDICHILD = 0xFF00;

class CWnd : public CCmdTarget {
public:
    CWnd();
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }

    // The object bound to a window, or null.
    static CWnd* FromHandlePermanent(HWND hwnd);
    // The bound object, or a temporary wrapper that lives until the next idle time.
    static CWnd* FromHandle(HWND hwnd);
    static void DeleteTempMap();

    BOOL Attach(HWND hwnd);
    HWND Detach();
    // Binds the object to an existing window and routes its messages here.
    BOOL SubclassWindow(HWND hwnd);
    // Called by SubclassWindow once an existing window is bound to this object.
    virtual void PreSubclassWindow() {}
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    // Creates the window and binds it to this object. When creation fails the
    // object stays alive and belongs to the caller as before.
    virtual BOOL CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                          const RECT& rect, CWnd* parent, UINT id, void* param = nullptr);
    BOOL CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU menuOrId, void* param = nullptr);
    virtual BOOL Create(const wchar_t* className, const wchar_t* windowName, DWORD style, const RECT& rect,
                        CWnd* parent, UINT id, CCreateContext* context = nullptr);
    virtual BOOL PreCreateWindow(CREATESTRUCTW& cs);
    // The window rectangle that gives this window the client rectangle `rect` (changed in place).
    // adjustBorder leaves a client edge out of the count; a frame's layout calls this for the window
    // that takes the room the bars leave, so that a window can take part of the room itself.
    enum AdjustType { adjustBorder = 0, adjustOutside = 1 };
    virtual void CalcWindowRect(LPRECT rect, UINT adjustType = adjustBorder);
    virtual BOOL DestroyWindow();
    // Called after the window is gone (WM_NCDESTROY); frames and views delete themselves here.
    virtual void PostNcDestroy() {}

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL PreTranslateMessage(MSG* msg);
    // The tool under `point` (client coordinates) for the framework's tooltip: its id, or -1 for
    // none; fills `tool` when given. Here: the child window under the point, whose text is asked
    // for (TTN_NEEDTEXTW) when it shows.
    virtual INT_PTR OnToolHitTest(CPoint point, CToolInfo* tool) const;
    // Shows the tip of the tool under the mouse in the thread's tooltip control: a window that
    // wants tips passes its mouse messages (and those of its children) here.
    void FilterToolTipMessage(const MSG* msg);
    // The message being handled, to the default procedure.
    LRESULT Default();

    // Registers (once) a window class of the framework and returns its name.
    static const wchar_t* RegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr,
                                           HICON icon = nullptr);

    // Window operations ------------------------------------------------------
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    CFrameWnd* GetParentFrame() const;
    CFrameWnd* GetTopLevelFrame() const;
    CWnd* GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);
    BOOL ShowWindow(int cmdShow) { return ::ShowWindow(m_hWnd, cmdShow); }
    BOOL UpdateWindow() { return ::UpdateWindow(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) { ::MoveWindow(m_hWnd, x, y, width, height, repaint); }
    void MoveWindow(const RECT& r, BOOL repaint = TRUE) { MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top, repaint); }
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) { return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags); }
    void GetWindowRect(LPRECT r) const { ::GetWindowRect(m_hWnd, r); }
    void GetClientRect(LPRECT r) const { ::GetClientRect(m_hWnd, r); }
    BOOL GetWindowPlacement(WINDOWPLACEMENT* wp) const { wp->length = sizeof(*wp); return ::GetWindowPlacement(m_hWnd, wp); }
    BOOL SetWindowPlacement(const WINDOWPLACEMENT* wp) { return ::SetWindowPlacement(m_hWnd, wp); }
    void ScreenToClient(LPPOINT p) const { ::ScreenToClient(m_hWnd, p); }
    void ScreenToClient(LPRECT r) const;
    void ClientToScreen(LPPOINT p) const { ::ClientToScreen(m_hWnd, p); }
    void ClientToScreen(LPRECT r) const;
    void SetWindowText(const wchar_t* text) { ::SetWindowTextW(m_hWnd, text ? text : L""); }
    CString GetWindowText() const;
    void GetWindowText(CString& text) const { text = GetWindowText(); }
    int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
    void SetDlgItemText(int id, const wchar_t* text) { ::SetDlgItemTextW(m_hWnd, id, text ? text : L""); }
    CString GetDlgItemText(int id) const;
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(LPCRECT r, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, r, erase); }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    HMENU GetMenu() const { return ::GetMenu(m_hWnd); }
    BOOL SetMenu(HMENU menu) { return ::SetMenu(m_hWnd, menu); }
    void DrawMenuBar() { ::DrawMenuBar(m_hWnd); }
    void SetFont(HFONT font, BOOL redraw = TRUE) { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
    void SetRedraw(BOOL redraw = TRUE) { SendMessage(WM_SETREDRAW, redraw); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)); }
    void SetIcon(HICON icon, BOOL big) { SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr) { return ::SetTimer(m_hWnd, id, elapse, proc); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    void CenterWindow(CWnd* alternateOwner = nullptr);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const { return ::SendMessageW(m_hWnd, message, wParam, lParam); }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const { return ::PostMessageW(m_hWnd, message, wParam, lParam); }
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL deep = TRUE);
    // Gives each child control with a command id its command-UI update from
    // the target (buttons of dialog bars and the like).
    void UpdateDialogControls(CCmdTarget* target, BOOL disableIfNoHandler);

    // Message handlers whose default processing a derived handler may call.
    int OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
    void OnClose() { Default(); }
    void OnDestroy() { Default(); }
    void OnSize(UINT, int, int) { Default(); }
    void OnSysCommand(UINT, LPARAM) { Default(); }

protected:
    const MessageMap* GetMessageMap() const override;

    // Called for WM_COMMAND: reflects a control's notification, then routes
    // the command. Returns whether it was handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Offered the notifications its parent reflects back to it.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Owner drawing (WM_DRAWITEM, WM_MEASUREITEM, WM_COMPAREITEM, WM_DELETEITEM) and colour
    // requests (WM_CTLCOLOR*) go first to the control they are about, when its class maps
    // WM_REFLECT_BASE + the message; true when it answered.
    BOOL ReflectOwnerMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    BOOL HandlesMessage(UINT message) const;
    // Looks the message up in the message maps; true when a handler took it.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // Runs `create` (which makes one window) with that window bound to this
    // object from its first message on. A window whose creation fails on the
    // way leaves the object to its creator (PostNcDestroy is not called).
    template <typename Create> HWND CreateBound(Create&& create) {
        m_creating = true;
        BindWindowBeingCreated(this);
        HWND hwnd = create();
        EndBindWindowBeingCreated();
        m_creating = false;
        if (hwnd && !m_hWnd) BindToHandle(hwnd);
        return hwnd;
    }

    // The procedure the window had before this object subclassed it.
    WNDPROC m_pfnSuper = nullptr;

private:
    friend class CControlBar;  // reflects its children's notifications before passing them to its owner
    friend LRESULT CALLBACK FrameworkWindowProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK CreationHookProc(int, WPARAM, LPARAM);
    friend void BindWindowBeingCreated(CWnd*);
    void BindToHandle(HWND hwnd);
    void FinishNcDestroy();
    BOOL ReflectToChild(UINT message, HWND child, WPARAM wParam, LPARAM lParam, LRESULT* result);

    bool m_creating = false;
};

// Reports an exception that reached a window procedure (never rethrown).
void ReportWindowProcException(const CString& what);

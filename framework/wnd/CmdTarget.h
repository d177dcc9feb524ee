// CCmdTarget: anything that takes part in command routing (windows,
// documents, document templates, the application). CCmdUI: the state of
// one menu item, button or control that an update handler enables, checks
// or relabels.
#pragma once
#include "core/String.h"
#include "wnd/MessageMap.h"

class CWnd;

// One routed command, command-UI update or notification.
struct CommandCall {
    UINT id = 0;
    int code = CN_COMMAND;  // CN_COMMAND, CN_UPDATE_COMMAND_UI, or a control's notification code
    bool isNotify = false;  // a WM_NOTIFY; the code is nmhdr->code
    CCmdUI* cmdUI = nullptr;
    NMHDR* nmhdr = nullptr;
    LRESULT* result = nullptr;
    bool probeOnly = false;  // only say whether some handler would take it
};

class CCmdTarget {
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Routes a command: the base searches this object's own message maps;
    // frames, views and documents override it to pass it on.
    virtual BOOL OnCmdMsg(CommandCall& call);

    // A command with no extra data, as a menu item sends it.
    BOOL RouteCommand(UINT id) {
        CommandCall call;
        call.id = id;
        return OnCmdMsg(call);
    }

protected:
    virtual const MessageMap* GetMessageMap() const;
    // Searches this object's maps (not the routing chain) for the call.
    BOOL DispatchCommandToSelf(CommandCall& call);
};

class CCmdUI {
public:
    virtual ~CCmdUI() = default;

    UINT m_nID = 0;
    UINT m_nIndex = 0;     // position in the menu
    UINT m_nIndexMax = 0;  // number of items in the menu
    HMENU m_hMenu = nullptr;
    CWnd* m_pOther = nullptr;  // the control, when not a menu item
    BOOL m_bEnableChanged = FALSE;

    virtual void Enable(BOOL on = TRUE);
    virtual void SetCheck(int check = 1);
    virtual void SetRadio(BOOL on = TRUE);
    virtual void SetText(const wchar_t* text);

    // Asks the target's routing chain to update this item; with
    // disableIfNoHandler, an item nobody handles is disabled. Returns
    // whether an update handler ran.
    BOOL DoUpdate(CCmdTarget* target, BOOL disableIfNoHandler);
};

// Records the update instead of applying it (used to test whether a command
// is enabled before it is run).
class CTestCmdUI : public CCmdUI {
public:
    BOOL m_bEnabled = TRUE;
    void Enable(BOOL on) override { m_bEnabled = on; m_bEnableChanged = TRUE; }
    void SetCheck(int) override {}
    void SetRadio(BOOL) override {}
    void SetText(const wchar_t*) override {}
};

// CMainFrame: the program's one top-level window, a multiple-document frame
// loaded from resource 128 (menu, accelerators, icon, title "Tarvelo 2.3").
// Start-up creates it hidden, then places and shows it; closing it saves
// its placement to the Init section.
#pragma once
#include "wnd/MDIFrameWnd.h"

class CMainFrame : public CMDIFrameWnd {
public:
    CMainFrame() = default;

protected:
    const MessageMap* GetMessageMap() const override;
    void OnClose();
};

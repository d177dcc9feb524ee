// CChildFrame: the MDI child window of a page or source document. It opens
// maximised the first time it is shown; closed from its close box or system
// menu, it remembers its page as the last page ("FileHot").
#pragma once
#include "wnd/MDIChildWnd.h"

class CChildFrame : public CMDIChildWnd {
public:
    CChildFrame() = default;

    BOOL m_bFirstShow = TRUE;

    void ActivateFrame(int cmdShow = -1) override;
    // The page's name also goes into the main window's Window menu.
    void OnUpdateFrameTitle(BOOL addToTitle) override;

protected:
    const MessageMap* GetMessageMap() const override;
    void OnSysCommand(UINT command, LPARAM parameter);
};

#include "MainFrame.h"

#include "app/WinApp.h"

const MessageMap* CMainFrame::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CMainFrame::OnClose>(WM_CLOSE),
    };
    static const MessageMap map{CMDIFrameWnd::GetMessageMap(), entries};
    return &map;
}

void CMainFrame::OnClose() {
    WINDOWPLACEMENT placement{};
    GetWindowPlacement(&placement);
    if (placement.showCmd != SW_SHOWMINIMIZED) {
        CRect rect;
        GetWindowRect(&rect);
        CWinApp* app = AfxGetApp();
        app->WriteProfileInt(L"Init", L"Left", rect.left);
        app->WriteProfileInt(L"Init", L"right", rect.right);
        app->WriteProfileInt(L"Init", L"top", rect.top);
        app->WriteProfileInt(L"Init", L"bottom", rect.bottom);
    }
    // Modified pages are not dropped silently: the framework asks about each
    // one, and Cancel keeps the window open.
    CMDIFrameWnd::OnClose();
}

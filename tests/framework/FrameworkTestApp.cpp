#include "FrameworkTestApp.h"

CString g_trace;

void FrameworkTestApp::OnAppCommand() { g_trace += L"app;"; }

FrameworkTestApp::FrameworkTestApp(const wchar_t* name) : CWinApp(name) {
    SetRegistryKey(L"TarveloTests");
    RegDeleteTreeW(HKEY_CURRENT_USER, GetProfileRoot());
}

FrameworkTestApp::~FrameworkTestApp() {
    RegDeleteTreeW(HKEY_CURRENT_USER, GetProfileRoot());
    if (m_pMainWnd && m_pMainWnd->GetSafeHwnd()) m_pMainWnd->DestroyWindow();
    PumpMessages();
}

const MessageMap* FrameworkTestApp::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapCommand<&FrameworkTestApp::OnAppCommand>(1001),
        MapCommand<&FrameworkTestApp::OnAppCommand>(1002),
        MapCommand<&FrameworkTestApp::OnAppCommand>(1003),
    };
    static const MessageMap map{CWinApp::GetMessageMap(), entries};
    return &map;
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

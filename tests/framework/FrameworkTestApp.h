// An application object for framework tests: its profile lives under
// Software\TarveloTests\<name> and is removed again; windows it makes are
// pumped with PumpMessages.
#pragma once
#include "app/WinApp.h"

class FrameworkTestApp : public CWinApp {
public:
    explicit FrameworkTestApp(const wchar_t* name = L"FrameworkTests");
    ~FrameworkTestApp() override;

protected:
    const MessageMap* GetMessageMap() const override;
    void OnAppCommand();
};

// What the routing tests' handlers did, in order.
extern CString g_trace;

// Dispatches every waiting message (a WM_QUIT is swallowed).
void PumpMessages();

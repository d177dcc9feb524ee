// The shortcut-bar host driven by the real mouse and keyboard.
#include "DockingHost.h"
#include "ShortcutBarHost.h"

namespace {

constexpr DWORD kHostStyle = SHBS_EDITHEADERS | SHBS_EDITITEMS | SHBS_TRACKHEADERS | SHBS_ANIMATEEXPAND | SHBS_AUTOEXPAND |
                             SHBS_SHOWACTIVEALWAYS | SHBS_UNDERLINEHOTITEM | SHBS_BOLDEXPANDEDGROUP;

CPoint OnScreen(CWnd& wnd, CPoint client) {
    wnd.ClientToScreen(&client);
    return client;
}


}  // namespace

TEST(ShortcutBarInput, LooksInTheThreeSkins) {
    TestApp<COXSkinnedApp> app{L"ShortcutBarInput"};
    ShortcutHostWnd host;
    ASSERT_TRUE(host.Build(kHostStyle));
    for (const wchar_t* look : {L"Classic", L"Office XP", L"Office 2003"}) {
        app.SetCurrentSkin(look);
        host.bar.CalculateLayout();
        host.bar.SendMessage(WM_SIZE);
        host.bar.Invalidate(FALSE);
        mouse::Pump(150);
        SaveScreenshot(host, (CString(L"shortcutbar-") + look).GetString());
    }
}

#include "app/AfxMessageBox.h"

#include "app/WinApp.h"
#include "wnd/Resources.h"

int AfxMessageBox(const wchar_t* text, UINT type, UINT) {
    CWinApp* app = AfxGetApp();
    CString caption = app ? app->m_pszAppName : CString();
    // Owned by the main window when the user can see it.
    HWND owner = nullptr;
    if (CWnd* main = AfxGetMainWnd(); main && main->GetSafeHwnd() && main->IsWindowVisible()) owner = main->GetSafeHwnd();
    if (owner) owner = GetLastActivePopup(owner);
    return ShowMessageBox(owner, text ? text : L"", caption, type);
}

int AfxMessageBox(UINT stringId, UINT type, UINT) { return AfxMessageBox(LoadStringResource(stringId), type); }

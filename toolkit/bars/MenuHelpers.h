// Small helpers of the bitmap-menu code: the case folding of mnemonics, the
// test for the expand item at a menu's end, the main window's organizer.
#pragma once
#include "app/WinApp.h"
#include "bars/BitmapMenuOrganizer.h"

#include <cwctype>

inline wchar_t UpperCase(wchar_t ch) { return static_cast<wchar_t>(std::towupper(ch)); }

inline bool IsExpandLast(HMENU menu) {
    const int count = GetMenuItemCount(menu);
    return count > 0 && GetMenuItemID(menu, count - 1) == ID_BITMAPMENU_EXPAND;
}

// The organizer attached to the application's main window, if any.
inline COXBitmapMenuOrganizer* MainWindowOrganizer() {
    CWnd* main = AfxGetMainWnd();
    return main ? COXBitmapMenuOrganizer::FindOrganizer(main->GetSafeHwnd()) : nullptr;
}

// COXBitmapMenu dropped from a bar: the menu's size, where it opens beside
// the button, and the tracking with the shadowed button window.
#include "bars/BitmapMenu.h"

#include "app/WinApp.h"
#include "bars/CoolToolBar.h"
#include "bars/MenuBar.h"
#include "bars/MenuCustomize.h"
#include "gdi/NonClientMetrics.h"
#include "skins/Skin.h"

#include <algorithm>

// Bars ------------------------------------------------------------------------------------------

namespace {
MENUITEMINFOW OwnerDrawFields(HMENU menu, int position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_DATA | MIIM_FTYPE;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) info = MENUITEMINFOW{};
    return info;
}
}  // namespace

BOOL COXBitmapMenu::CreateMenuFont(CFont& font, LONG weight) {
    NONCLIENTMETRICSW metrics{};
    GetNonClientMetrics(metrics);
    if (weight) metrics.lfMenuFont.lfWeight = weight;
    font.DeleteObject();
    return font.CreateFontIndirect(&metrics.lfMenuFont);
}

MEASUREITEMSTRUCT COXBitmapMenu::MeasureRecord(HMENU menu, int position) {
    const MENUITEMINFOW info = OwnerDrawFields(menu, position);
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemID = (info.fType & MFT_SEPARATOR) ? 0 : info.wID;
    measure.itemData = info.dwItemData;
    return measure;
}

DRAWITEMSTRUCT COXBitmapMenu::DrawRecord(HMENU menu, int position) {
    const MENUITEMINFOW info = OwnerDrawFields(menu, position);
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.itemAction = ODA_DRAWENTIRE;
    draw.hwndItem = reinterpret_cast<HWND>(menu);
    draw.itemID = (info.fType & MFT_SEPARATOR) ? 0 : info.wID;
    draw.itemData = info.dwItemData;
    return draw;
}

CSize COXBitmapMenu::CalcMenuSize(HMENU menu) {
    COXBitmapMenu* bitmap = FromHandle(menu);
    int width = 0, height = 0;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        MEASUREITEMSTRUCT measure = MeasureRecord(menu, i);
        if (bitmap) bitmap->MeasureItem(&measure);
        if (measure.itemHeight == 0 && !bitmap) measure.itemHeight = measure.itemID ? 17 : 8;
        width = std::max(width, static_cast<int>(measure.itemWidth));
        height += static_cast<int>(measure.itemHeight);
    }
    return CSize(width + 18, height + 6);
}

void COXBitmapMenu::CalcPopupPosition(HMENU menu, const CRect& button, DWORD barStyle, CPoint* pt, UINT* flags, int* direction) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromRect(&button, MONITOR_DEFAULTTONEAREST), &monitor);
    const CRect screen(monitor.rcMonitor);
    const CSize size = CalcMenuSize(menu);
    *flags = 0;
    *pt = CPoint(0, 0);
    if (barStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) {
        int x = std::max<int>(button.left, screen.left);
        if (x + size.cx > screen.right) x = screen.right - size.cx;
        pt->x = x;
        if (button.bottom + size.cy <= screen.bottom) {
            *direction = 1;
            pt->y = button.bottom - 1;
        } else {
            *flags |= TPM_BOTTOMALIGN;
            *direction = 8;
            pt->y = button.top + 1;
        }
    } else {
        if (button.right + size.cx <= screen.right) {
            *direction = 2;
            pt->x = button.right;
        } else {
            *flags |= TPM_RIGHTALIGN;
            *direction = 4;
            pt->x = button.left;
        }
        int y = std::max<int>(button.top + 1, screen.top);
        if (y + size.cy > screen.bottom) y = screen.bottom - size.cy - 1;
        pt->y = y;
    }
}

UINT COXBitmapMenu::TrackPopupMenu(COXCoolToolBar* bar, CWnd* owner, LPCRECT exclude) {
    int button = -1;
    for (int i = 0; i < bar->GetCount() && button < 0; ++i)
        if (bar->SendMessage(TB_GETSTATE, bar->GetItemID(i)) & TBSTATE_PRESSED) button = i;
    if (button < 0) button = static_cast<int>(bar->SendMessage(TB_GETHOTITEM));
    CRect rect;
    if (button >= 0) {
        bar->GetItemRect(button, &rect);
        bar->ClientToScreen(&rect);
    } else if (auto* menuBar = dynamic_cast<COXMenuBar*>(bar)) {
        // No button: the menu drops from the bar's system-menu area (the MDI child's icon).
        CRect window;
        menuBar->GetWindowRect(&window);
        rect = menuBar->GetMDIIconRect();
        rect.OffsetRect(window.left, window.top);
        rect.InflateRect(3, 3);
    } else {
        bar->ClientToScreen(&rect);
    }
    CPoint pt;
    UINT flags = 0;
    int direction = 1;
    CalcPopupPosition(m_hMenu, rect, bar->GetBarStyle(), &pt, &flags, &direction);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
        PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    m_rectExclude = exclude ? CRect(*exclude) : rect;
    COXShadowedItemWnd shadow(bar, button, direction);
    shadow.CreateEx(WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT, CWnd::RegisterWndClass(0), L"", WS_CHILD | WS_VISIBLE, rect.left, rect.top,
                    rect.Width() + 4, rect.Height() + 4, GetDesktopWindow(), nullptr);
    SetTracked(this);
    TPMPARAMS params{};
    params.cbSize = sizeof(params);
    params.rcExclude = m_rectExclude;
    const UINT result = static_cast<UINT>(TrackPopupMenuEx(m_hMenu, flags | TPM_RETURNCMD, pt.x, pt.y,
                                                           owner ? owner->GetSafeHwnd() : bar->GetSafeHwnd(), &params));
    if (shadow.GetSafeHwnd()) shadow.DestroyWindow();
    m_rectExclude = CRect();
    return result;
}

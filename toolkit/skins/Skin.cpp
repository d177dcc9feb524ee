#include "skins/Skin.h"

#include "bars/MiniDockFrameWnd.h"
#include "skins/ToolbarSkin.h"

#include <algorithm>
#include <cmath>

// Skins ---------------------------------------------------------------------------------

COXSkin::~COXSkin() {
    // In the order they were made.
    m_pToolbarSkin.reset();
    m_pMenuSkin.reset();
    m_pToolbarSkin2.reset();
    m_pDockbarSkin.reset();
    m_pTabSkin.reset();
    m_pShortcutBarSkin.reset();
    m_pMiniFrameSkin.reset();
    m_pStatusbarSkin.reset();
    m_pFrameSkin.reset();
}

COXSkinClassic::COXSkinClassic() : COXSkin(L"Classic") {
    m_pToolbarSkin = std::make_unique<COXToolbarSkinClassic>();
    m_pMenuSkin = std::make_unique<COXMenuSkinClassic>();
    m_pToolbarSkin2 = std::make_unique<COXToolbarSkinClassic>();
    m_pDockbarSkin = std::make_unique<COXDockbarSkinClassic>();
    m_pTabSkin = std::make_unique<COXTabSkinClassic>();
    m_pShortcutBarSkin = std::make_unique<COXShortcutBarSkinClassic>();
    m_pMiniFrameSkin = std::make_unique<COXMiniFrameSkinClassic>();
    m_pStatusbarSkin = std::make_unique<COXStatusbarSkinClassic>();
    m_pFrameSkin = std::make_unique<COXFrameSkinClassic>();
}

COXSkinXP::COXSkinXP() : COXSkin(L"Office XP") {
    m_pToolbarSkin = std::make_unique<COXToolbarSkinXP>(this);
    m_pMenuSkin = std::make_unique<COXMenuSkinXP>(this);
    m_pToolbarSkin2 = std::make_unique<COXToolbarSkinXP>(this);
    m_pDockbarSkin = std::make_unique<COXDockbarSkinXP>(this);
    m_pTabSkin = std::make_unique<COXTabSkinXP>(this);
    m_pShortcutBarSkin = std::make_unique<COXShortcutBarSkinXP>(this);
    m_pMiniFrameSkin = std::make_unique<COXMiniFrameSkinXP>(this);
    m_pStatusbarSkin = std::make_unique<COXStatusbarSkinXP>(this);
    m_pFrameSkin = std::make_unique<COXFrameSkinXP>(this);
}

// Colour arithmetic -----------------------------------------------------------------------

COLORREF COXSkinXP::BlendColors(COLORREF c1, COLORREF c2, COLORREF c3, float w1, float w2, float w3) {
    auto channel = [&](int shift) {
        const double sum = static_cast<double>((c1 >> shift) & 0xFF) * w1 + static_cast<double>((c2 >> shift) & 0xFF) * w2 +
                           static_cast<double>((c3 >> shift) & 0xFF) * w3;
        return static_cast<COLORREF>(std::clamp(std::trunc(sum), 0.0, 255.0));
    };
    return RGB(channel(0), channel(8), channel(16));
}

COLORREF COXSkinXP::OffsetColor(COLORREF c, int dr, int dg, int db) {
    auto add = [](int value, int delta) { return static_cast<BYTE>(std::clamp(value + delta, 0, 255)); };
    return RGB(add(GetRValue(c), dr), add(GetGValue(c), dg), add(GetBValue(c), db));
}

COLORREF COXSkinXP::ScaleColor(COLORREF c, float fr, float fg, float fb) {
    auto scale = [](int value, float factor) {
        return static_cast<BYTE>(std::clamp(std::trunc(static_cast<double>(value) * factor), 0.0, 255.0));
    };
    return RGB(scale(GetRValue(c), fr), scale(GetGValue(c), fg), scale(GetBValue(c), fb));
}

COLORREF COXSkinXP::InvertColor(COLORREF c) {
    return RGB(255 - GetRValue(c), 255 - GetGValue(c), 255 - GetBValue(c));
}

namespace {
COLORREF Sys(int index) { return GetSysColor(index); }
}  // namespace

COLORREF COXSkinXP::GetHotItemColor() const { return BlendColors(Sys(COLOR_WINDOW), Sys(COLOR_HIGHLIGHT), 0.7f, 0.3f); }
COLORREF COXSkinXP::GetCheckedItemColor() const {
    return BlendColors(Sys(COLOR_3DFACE), Sys(COLOR_WINDOW), Sys(COLOR_HIGHLIGHT), 0.42f, 0.48f, 0.1f);
}
COLORREF COXSkinXP::GetPressedItemColor() const { return BlendColors(Sys(COLOR_WINDOW), Sys(COLOR_HIGHLIGHT), 0.5f, 0.5f); }
COLORREF COXSkinXP::GetActiveBorderColor() const { return Sys(COLOR_HIGHLIGHT); }
COLORREF COXSkinXP::GetMenuColor() const { return BlendColors(Sys(COLOR_WINDOW), Sys(COLOR_3DFACE), 0.86f, 0.14f); }
COLORREF COXSkinXP::GetMenuBorderColor() const { return Sys(COLOR_3DSHADOW); }
COLORREF COXSkinXP::GetBackgroundColor() const { return BlendColors(Sys(COLOR_WINDOW), Sys(COLOR_3DFACE), 0.16f, 0.84f); }
COLORREF COXSkinXP::GetFaceColor() const { return Sys(COLOR_3DFACE); }
COLORREF COXSkinXP::GetArrowColor() const { return OffsetColor(Sys(COLOR_GRAYTEXT), -8, -12, -22); }
COLORREF COXSkinXP::GetSeparatorColor() const { return OffsetColor(Sys(COLOR_3DSHADOW), 38, 38, 38); }
COLORREF COXSkinXP::GetBorderColor() const { return Sys(COLOR_3DSHADOW); }
COLORREF COXSkinXP::GetGripperColor() const { return OffsetColor(Sys(COLOR_3DSHADOW), 32, 32, 32); }
COLORREF COXSkinXP::GetCaptionColor() const { return Sys(COLOR_3DSHADOW); }
COLORREF COXSkinXP::GetCaptionTextColor() const { return Sys(COLOR_CAPTIONTEXT); }
COLORREF COXSkinXP::GetFrameBorderColor() const { return OffsetColor(Sys(COLOR_3DSHADOW), -9, -9, -9); }
COLORREF COXSkinXP::GetFrameColor() const { return GetBackgroundColor(); }
COLORREF COXSkinXP::GetDisabledColor() const { return Sys(COLOR_GRAYTEXT); }
COLORREF COXSkinXP::GetDisabledTextColor() const { return GetSeparatorColor(); }

COLORREF COXSkinXP::GetColor(int n) const {
    using Getter = COLORREF (COXSkinXP::*)() const;
    static constexpr Getter getters[kColorCount] = {
        &COXSkinXP::GetHotItemColor,     &COXSkinXP::GetCheckedItemColor, &COXSkinXP::GetPressedItemColor,
        &COXSkinXP::GetActiveBorderColor, &COXSkinXP::GetMenuColor,       &COXSkinXP::GetMenuBorderColor,
        &COXSkinXP::GetBackgroundColor,   &COXSkinXP::GetFaceColor,       &COXSkinXP::GetArrowColor,
        &COXSkinXP::GetSeparatorColor,    &COXSkinXP::GetBorderColor,     &COXSkinXP::GetGripperColor,
        &COXSkinXP::GetCaptionColor,      &COXSkinXP::GetCaptionTextColor, &COXSkinXP::GetFrameBorderColor,
        &COXSkinXP::GetFrameColor,        &COXSkinXP::GetDisabledColor,   &COXSkinXP::GetDisabledTextColor,
    };
    return n >= 0 && n < kColorCount ? (this->*getters[n])() : 0;
}

// The visual-style library -------------------------------------------------------------------

COXUxTheme::COXUxTheme() : m_module(LoadLibraryW(L"UxTheme.dll")) {
    if (!m_module) return;
    m_functions.open = reinterpret_cast<OpenProc>(reinterpret_cast<void*>(GetProcAddress(m_module, "OpenThemeData")));
    m_functions.sysColor = reinterpret_cast<ColorProc>(reinterpret_cast<void*>(GetProcAddress(m_module, "GetThemeSysColor")));
    m_functions.close = reinterpret_cast<CloseProc>(reinterpret_cast<void*>(GetProcAddress(m_module, "CloseThemeData")));
}

COXUxTheme::~COXUxTheme() {
    if (m_module) FreeLibrary(m_module);
}

HANDLE COXUxTheme::OpenThemeData(HWND hwnd, const wchar_t* classList) const {
    return m_functions.open ? m_functions.open(hwnd, classList) : nullptr;
}

COLORREF COXUxTheme::GetThemeSysColor(HANDLE theme, int index) const {
    return (m_functions.sysColor && theme) ? m_functions.sysColor(theme, index) : 0;
}

void COXUxTheme::CloseThemeData(HANDLE theme) const {
    if (theme && m_functions.close) m_functions.close(theme);
}

// Office 2003 -------------------------------------------------------------------------------

COXSkin2003::COXSkin2003() : COXSkinXP(L"Office 2003") { CreateElementSkins(); }

COXSkin2003::COXSkin2003(const COXUxTheme::Functions& theme) : COXSkinXP(L"Office 2003"), m_uxTheme(theme) {
    CreateElementSkins();
}

void COXSkin2003::CreateElementSkins() {
    m_msimg = LoadLibraryW(L"Msimg32.dll");
    if (m_msimg) m_gradientFill = reinterpret_cast<GradientFillProc>(reinterpret_cast<void*>(GetProcAddress(m_msimg, "GradientFill")));
    m_pToolbarSkin = std::make_unique<COXToolbarSkin2003>(this);
    m_pMenuSkin = std::make_unique<COXMenuSkin2003>(this);
    m_pToolbarSkin2 = std::make_unique<COXToolbarSkinXP>(this);
    m_pDockbarSkin = std::make_unique<COXDockbarSkin2003>(this);
    m_pTabSkin = std::make_unique<COXTabSkin2003>(this);
    m_pShortcutBarSkin = std::make_unique<COXShortcutBarSkin2003>(this);
    m_pMiniFrameSkin = std::make_unique<COXMiniFrameSkinXP>(this);
    m_pStatusbarSkin = std::make_unique<COXStatusbarSkin2003>(this);
    m_pFrameSkin = std::make_unique<COXFrameSkin2003>(this);
}

COXSkin2003::~COXSkin2003() {
    if (m_msimg) FreeLibrary(m_msimg);
}

// Each 2003 colour that follows the visual style opens the "button" theme for itself.
COLORREF COXSkin2003::Themed(int index, float w, float t, COLORREF plain) const {
    ScopedTheme theme(m_uxTheme, L"button");
    return theme ? BlendColors(Sys(COLOR_WINDOW), theme.SysColor(index), w, t) : plain;
}

COLORREF COXSkin2003::GetHotItemColor() const { return IsThemed() ? 0xC2EEFF : COXSkinXP::GetHotItemColor(); }
COLORREF COXSkin2003::GetCheckedItemColor() const { return IsThemed() ? 0x6FC0FF : COXSkinXP::GetCheckedItemColor(); }
COLORREF COXSkin2003::GetPressedItemColor() const { return IsThemed() ? 0x3E80FE : COXSkinXP::GetPressedItemColor(); }
COLORREF COXSkin2003::GetActiveBorderColor() const {
    ScopedTheme theme(m_uxTheme, L"button");
    return theme ? OffsetColor(theme.SysColor(COLOR_ACTIVECAPTION), 0, -84, -99) : Sys(COLOR_HIGHLIGHT);
}
COLORREF COXSkin2003::GetMenuColor() const {
    return IsThemed() ? 0xF6F6F6 : BlendColors(Sys(COLOR_WINDOW), Sys(COLOR_3DFACE), 0.86f, 0.14f);
}
COLORREF COXSkin2003::GetMenuBorderColor() const {
    ScopedTheme theme(m_uxTheme, L"button");
    return theme ? BlendColors(theme.SysColor(COLOR_ACTIVECAPTION), 0, 0.55f, 0.45f) : Sys(COLOR_3DSHADOW);
}
COLORREF COXSkin2003::GetBackgroundColor() const { return COXSkinXP::GetBackgroundColor(); }
COLORREF COXSkin2003::GetFaceColor() const { return Themed(COLOR_HIGHLIGHT, 0.7f, 0.3f, Sys(COLOR_3DFACE)); }
COLORREF COXSkin2003::GetArrowColor() const { return Sys(COLOR_BTNTEXT); }
COLORREF COXSkin2003::GetSeparatorColor() const { return Themed(COLOR_HIGHLIGHT, 0.2f, 0.8f, COXSkinXP::GetSeparatorColor()); }
COLORREF COXSkin2003::GetBorderColor() const {
    // Without a style the XP separator colour, not the XP border colour.
    ScopedTheme theme(m_uxTheme, L"button");
    return theme ? BlendColors(theme.SysColor(COLOR_HIGHLIGHT), 0, 0.5f, 0.5f) : COXSkinXP::GetSeparatorColor();
}
COLORREF COXSkin2003::GetGripperColor() const {
    ScopedTheme theme(m_uxTheme, L"button");
    return theme ? BlendColors(theme.SysColor(COLOR_HIGHLIGHT), 0, 0.7f, 0.3f) : COXSkinXP::GetGripperColor();
}
COLORREF COXSkin2003::GetCaptionColor() const {
    ScopedTheme theme(m_uxTheme, L"button");
    return theme ? theme.SysColor(COLOR_HIGHLIGHT) : COXSkinXP::GetCaptionColor();
}
COLORREF COXSkin2003::GetCaptionTextColor() const { return COXSkinXP::GetCaptionTextColor(); }
COLORREF COXSkin2003::GetFrameBorderColor() const {
    ScopedTheme theme(m_uxTheme, L"button");
    return theme ? theme.SysColor(COLOR_HIGHLIGHT) : COXSkinXP::GetFrameBorderColor();
}
COLORREF COXSkin2003::GetFrameColor() const { return GetFaceColor(); }
COLORREF COXSkin2003::GetDisabledColor() const { return IsThemed() ? 0x8D8D8D : COXSkinXP::GetDisabledColor(); }
COLORREF COXSkin2003::GetDisabledTextColor() const { return IsThemed() ? 0x8D8D8D : COXSkinXP::GetDisabledTextColor(); }

COLORREF COXSkin2003::GetAuxColor(int n) const {
    const COLORREF W = GetSysColor(COLOR_WINDOW), F = GetSysColor(COLOR_3DFACE);
    ScopedTheme theme(m_uxTheme, L"button");
    if (theme) {
        const COLORREF T = theme.SysColor(COLOR_HIGHLIGHT);
        switch (n) {
        case 1: return BlendColors(W, T, 0.3f, 0.7f);
        case 2: return BlendColors(W, T, 0.6f, 0.4f);
        case 3: return BlendColors(W, T, 0, 0.3f, 0.3f, 0.4f);
        case 4: case 8: return BlendColors(W, T, 0.5f, 0.5f);
        case 5: case 9: case 11: return BlendColors(W, T, 0.2f, 0.8f);
        case 6: case 10: case 12: return BlendColors(W, T, 0.95f, 0.05f);
        case 7: return BlendColors(W, T, 0.7f, 0.3f);
        default: return 0;
        }
    }
    switch (n) {
    case 1: return BlendColors(W, F, 0.2f, 0.8f);
    case 2: return BlendColors(W, F, 0.5f, 0.5f);
    case 3: return GetSysColor(COLOR_3DSHADOW);
    case 4: return GetColor(6);
    case 5: return BlendColors(W, F, 0.58f, 0.42f);
    case 6: case 12: return BlendColors(W, F, 0.86f, 0.14f);
    case 7: return BlendColors(W, F, 0.8f, 0.2f);
    case 8: case 9: return F;
    case 10: return BlendColors(W, F, 0.73f, 0.27f);
    case 11: return BlendColors(W, F, 0.08f, 0.92f);
    default: return 0;
    }
}

BOOL COXSkin2003::GradientFill(CDC* dc, const CRect& rect, COLORREF c1, COLORREF c2, BOOL vertical) const {
    if (m_gradientFill) {
        // Each channel times 255 in the 16-bit vertex fields (so 255 comes out as 254).
        TRIVERTEX vertices[2] = {};
        vertices[0].x = rect.left;
        vertices[0].y = rect.top;
        vertices[0].Red = static_cast<COLOR16>(GetRValue(c1) * 255);
        vertices[0].Green = static_cast<COLOR16>(GetGValue(c1) * 255);
        vertices[0].Blue = static_cast<COLOR16>(GetBValue(c1) * 255);
        vertices[1].x = rect.right;
        vertices[1].y = rect.bottom;
        vertices[1].Red = static_cast<COLOR16>(GetRValue(c2) * 255);
        vertices[1].Green = static_cast<COLOR16>(GetGValue(c2) * 255);
        vertices[1].Blue = static_cast<COLOR16>(GetBValue(c2) * 255);
        GRADIENT_RECT span{0, 1};
        return m_gradientFill(*dc, vertices, 2, &span, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
    }
    const int steps = vertical ? rect.Height() : rect.Width();
    for (int i = 0; i < steps; ++i) {
        auto mix = [&](int a, int b) { return static_cast<BYTE>(a + (b - a) * i / steps); };
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(mix(GetRValue(c1), GetRValue(c2)), mix(GetGValue(c1), GetGValue(c2)),
                                              mix(GetBValue(c1), GetBValue(c2))));
        HGDIOBJ old = dc->SelectObject(pen);
        if (vertical) {
            dc->MoveTo(rect.left, rect.top + i);
            dc->LineTo(rect.right, rect.top + i);
        } else {
            dc->MoveTo(rect.left + i, rect.top);
            dc->LineTo(rect.left + i, rect.bottom);
        }
        dc->SelectObject(old);
        DeleteObject(pen);
    }
    return TRUE;
}

void COXSkin2003::FillDockBand(CDC* dc, const CRect& band) const {
    const int middle = band.left + band.Width() / 2;
    GradientFill(dc, CRect(band.left, band.top, middle, band.bottom), GetAuxColor(8), GetAuxColor(7), FALSE);
    dc->FillSolidRect(CRect(middle, band.top, band.right, band.bottom), GetAuxColor(7));
}

CRect DockBandFor(CWnd* window, CPoint origin, int height) {
    CRect frameWindow;
    CWnd* frame = window->GetParentFrame();
    if (frame) frame->GetWindowRect(&frameWindow);
    else window->GetWindowRect(&frameWindow);
    const int width = std::max<int>(::GetSystemMetrics(SM_CXSCREEN), frameWindow.Width());
    return CRect(frameWindow.left - origin.x, 0, frameWindow.left - origin.x + width, height);
}

void COXSkin2003::DrawGripperDots(CDC* dc, const CRect& r, BOOL across) const {
    HPEN dark = CreatePen(PS_SOLID, 1, GetColor(11));
    HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOW));
    HGDIOBJ old = dc->SelectObject(dark);
    auto line = [&](int x1, int y1, int x2, int y2) {
        dc->MoveTo(x1, y1);
        dc->LineTo(x2, y2);
    };
    if (across) {
        for (int y = r.top; y <= r.bottom; y += 4) {
            line(r.left, y, r.right, y);
            line(r.left, y + 1, r.right, y + 1);
            dc->SelectObject(light);
            line(r.left + 1, y + 2, r.right + 1, y + 1);
            line(r.left + 1, y + 2, r.right + 1, y + 2);
            dc->SelectObject(dark);
        }
    } else {
        for (int x = r.left; x <= r.right; x += 4) {
            line(x, r.top, x, r.bottom);
            line(x + 1, r.top, x + 1, r.bottom);
            dc->SelectObject(light);
            line(x + 2, r.top + 1, x + 1, r.bottom + 1);
            line(x + 2, r.top + 1, x + 2, r.bottom + 1);
            dc->SelectObject(dark);
        }
    }
    dc->SelectObject(old);
    DeleteObject(dark);
    DeleteObject(light);
}

// The skinned application ----------------------------------------------------------------------

COXSkinnedApp::COXSkinnedApp() {
    AddSkin(std::make_unique<COXSkinClassic>());
    AddSkin(std::make_unique<COXSkinXP>());
    AddSkin(std::make_unique<COXSkin2003>());
    SetCurrentSkin(L"Office XP");
}

COXSkinnedApp::~COXSkinnedApp() {
    m_pCurrentSkin = nullptr;
    m_skins.clear();
    m_retired.clear();
}

void COXSkinnedApp::AddSkin(std::unique_ptr<COXSkin> skin) {
    if (!skin) return;
    auto& slot = m_skins[skin->GetName()];
    if (slot && slot.get() == m_pCurrentSkin) m_retired.push_back(std::move(slot));
    slot = std::move(skin);  // a replaced skin that is not current is deleted here
}

namespace {
bool HasAncestor(HWND hwnd, HWND ancestor) {
    for (HWND h = hwnd; h;) {
        const bool child = GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD;
        h = child ? GetParent(h) : GetWindow(h, GW_OWNER);
        if (h == ancestor) return true;
    }
    return false;
}
}  // namespace

void RefreshWindowTree(HWND hwnd) {
    CRect client;
    GetClientRect(hwnd, &client);
    if (!(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_MAXIMIZE))
        SendMessageW(hwnd, WM_SIZE, 0, MAKELPARAM(client.Width(), client.Height()));
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) RefreshWindowTree(child);
}

BOOL COXSkinnedApp::SetCurrentSkin(const wchar_t* name) {
    auto found = m_skins.find(CString(name ? name : L""));
    if (found == m_skins.end()) {
        m_pCurrentSkin = nullptr;
        return FALSE;
    }
    m_pCurrentSkin = found->second.get();
    m_nCurrentSkinType = m_pCurrentSkin->GetType();
    CWnd* main = AfxGetMainWnd();
    if (!main || !IsWindow(main->GetSafeHwnd())) return TRUE;
    // Floating frames of the main window first, then the main window itself.
    std::vector<HWND> floating;
    for (HWND h = GetWindow(GetDesktopWindow(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        if (h == main->m_hWnd || !HasAncestor(h, main->m_hWnd)) continue;
        if (dynamic_cast<CMiniDockFrameWnd*>(CWnd::FromHandlePermanent(h))) floating.push_back(h);
    }
    for (HWND h : floating) RefreshWindowTree(h);
    RefreshWindowTree(main->m_hWnd);
    return TRUE;
}

namespace {
struct ListImage {
    HIMAGELIST list;
    int index;
};
BOOL CALLBACK DrawListImage(HDC dc, LPARAM data, WPARAM, int, int) {
    const auto* image = reinterpret_cast<const ListImage*>(data);
    return ImageList_Draw(image->list, image->index, dc, 0, 0, ILD_TRANSPARENT);
}
}  // namespace

BOOL DrawImageState(HDC dc, HIMAGELIST list, int index, int x, int y, UINT stateFlags, HBRUSH brush) {
    int cx = 0, cy = 0;
    if (!list || index < 0 || index >= ImageList_GetImageCount(list) || !ImageList_GetIconSize(list, &cx, &cy)) return FALSE;
    ListImage source{list, index};
    return ::DrawStateW(dc, brush, &DrawListImage, reinterpret_cast<LPARAM>(&source), 0, x, y, cx, cy, DST_COMPLEX | stateFlags);
}

#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"
#include "skins/SkinGdi.h"
#include "skins/SkinnedTabCtrl.h"
#include "skins/TabSkin.h"
#include "tabs/TabViewContainer.h"

#include <algorithm>
#include <array>

namespace {
// A memory DC with a bitmap of the given size selected, both freed with it.
struct MemoryDC {
    MemoryDC(CDC* like, int width, int height) {
        dc.CreateCompatibleDC(like);
        bitmap.CreateCompatibleBitmap(like, width, height);
        old = dc.SelectObject(&bitmap);
    }
    ~MemoryDC() { dc.SelectObject(old); }
    CDC dc;
    CBitmap bitmap;
    HGDIOBJ old = nullptr;
};

HWND SpinWindow(CTabCtrl* tab) {
    auto* skinned = dynamic_cast<COXSkinnedTabCtrl*>(tab);
    return skinned ? skinned->GetSpinCtrl().m_hWnd : nullptr;
}

void Line(CDC* dc, HPEN pen, int x1, int y1, int x2, int y2) {
    SelectedObject keep(*dc, pen);
    dc->MoveTo(x1, y1);
    dc->LineTo(x2, y2);
}

HPEN StockPen(int which) { return static_cast<HPEN>(GetStockObject(which)); }
}  // namespace

COXTabSkinXP::COXTabSkinXP(COXSkinXP* skin) : m_pSkin(skin) {
    m_separatorPen.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DSHADOW));
    const LOGFONTW menuFont = GetMenuLogFont();
    m_font.CreateFontIndirect(&menuFont);
    m_arrowBrush.CreateSolidBrush(skin->GetColor(8));
    m_arrowPen.CreatePen(PS_SOLID, 1, skin->GetColor(8));
}

COXTabSkinXP::~COXTabSkinXP() = default;

COXTabSkinXP::PaintBuffer::~PaintBuffer() {
    if (old) dc.SelectObject(old);
}

bool COXTabSkinXP::PaintBuffer::Fit(CDC* like, int width, int height) {
    if (dc.m_hDC && bitmap.m_hObject && size.cx >= width && size.cy >= height) return true;
    if (!dc.m_hDC && !dc.CreateCompatibleDC(like)) return false;
    if (old) dc.SelectObject(old);
    old = nullptr;
    bitmap.DeleteObject();
    size = CSize(std::max(width, static_cast<int>(size.cx)), std::max(height, static_cast<int>(size.cy)));
    if (!bitmap.CreateCompatibleBitmap(like, size.cx, size.cy)) {
        size = CSize(0, 0);
        return false;
    }
    old = dc.SelectObject(&bitmap);
    return true;
}

COLORREF COXTabSkinXP::StripColor() const { return COXSkinXP::ScaleColor(GetSysColor(COLOR_BTNFACE), 1.2f, 1.2f, 1.2f); }

void COXTabSkinXP::FillStrip(CDC* dc, const CRect& rect) const { dc->FillSolidRect(rect, StripColor()); }

void COXTabSkinXP::FillUnselectedTab(CDC* dc, const CRect& rect) const { dc->FillSolidRect(rect, StripColor()); }

void COXTabSkinXP::DrawTabCtrl(CTabCtrl* tab) {
    CPaintDC paint(tab);
    // The scroll arrows paint themselves: the picture leaves them alone on the screen.
    if (HWND spin = SpinWindow(tab); spin && ::IsWindowVisible(spin)) {
        CRect arrows;
        ::GetWindowRect(spin, &arrows);
        tab->ScreenToClient(&arrows);
        ::ExcludeClipRect(paint, arrows.left, arrows.top, arrows.right, arrows.bottom);
    }
    PaintTabCtrl(&paint, tab);
}

void COXTabSkinXP::PaintTabCtrl(CDC* target, CTabCtrl* tab) {
    CRect client;
    tab->GetClientRect(&client);
    if (client.IsRectEmpty()) return;
    if (!m_picture.Fit(target, client.Width(), client.Height()) || !m_item.Fit(target, client.Width(), client.Height())) return;
    const PaintScope scope(*this);
    PaintBuffer& picture = m_picture;
    PaintBuffer& item = m_item;

    // The control's own scroll arrows are painted by this skin from now on.
    if (auto* skinned = dynamic_cast<COXSkinnedTabCtrl*>(tab); skinned && !skinned->GetSpinCtrl().m_hWnd) {
        for (HWND child = ::GetWindow(tab->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            wchar_t name[17] = {};
            ::GetClassNameW(child, name, static_cast<int>(std::size(name)));
            if (wcscmp(name, UPDOWN_CLASSW) == 0) {
                skinned->GetSpinCtrl().SubclassWindow(child);
                ::InvalidateRect(child, nullptr, TRUE);
                break;
            }
        }
    }

    DrawBackground(&picture.dc, client, tab);
    CRect display = client;
    tab->AdjustRect(FALSE, &display);
    CRect frame = display;
    if (auto* container = dynamic_cast<COX3DTabViewContainer*>(tab)) {
        frame = container->GetPageRect();
        frame.InflateRect(1, 1);
    } else {
        frame.bottom -= 1;
    }
    CBrush shadow(GetSysColor(COLOR_3DSHADOW));
    picture.dc.FrameRect(frame, &shadow);

    const bool bottom = (tab->GetStyle() & TCS_BOTTOM) != 0;
    if (tab->GetRowCount() < 2) {
        if (!bottom) {
            FillStrip(&picture.dc, CRect(client.left, client.top, client.right, display.top - 3));
            Line(&picture.dc, StockPen(WHITE_PEN), client.left, display.top - 3, client.right, display.top - 3);
        } else {
            FillStrip(&picture.dc, CRect(client.left, display.bottom + 3, client.right, client.bottom));
            Line(&picture.dc, StockPen(BLACK_PEN), client.left, display.bottom + 2, client.right, display.bottom + 2);
        }
    }

    const int count = tab->GetItemCount();
    const int current = tab->GetCurSel();
    HWND spin = SpinWindow(tab);
    const bool spinShown = spin && ::IsWindow(spin) && ::IsWindowVisible(spin);
    CRect spinRect;
    if (spinShown) ::GetClientRect(spin, &spinRect);
    for (int step = 0; step <= count; ++step) {
        // Every tab in order, the current one last, over the others.
        const int index = step < count ? step : current;
        if ((step < count && index == current) || index < 0) continue;
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_TAB;
        draw.CtlID = static_cast<UINT>(tab->GetDlgCtrlID());
        draw.itemID = static_cast<UINT>(index);
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = index == current ? ODS_SELECTED : 0;
        draw.hwndItem = tab->m_hWnd;
        draw.hDC = item.dc;
        tab->GetItemRect(index, &draw.rcItem);
        CRect r(draw.rcItem);
        // Tabs scrolled out of sight or hidden under the arrows are not drawn at all.
        if (r.right <= client.left || r.left >= client.right) continue;
        if (spinShown) {
            const int spinLeft = client.right - spinRect.Width();
            if (r.left > spinLeft || r.right <= client.left + 3) continue;
            if (r.right > spinLeft) r.right = spinLeft;
        }
        DrawItem(&draw, tab);
        DrawItemBorder(&draw, tab);
        picture.dc.BitBlt(r.left, r.top, r.Width(), r.Height(), &item.dc, r.left, r.top, SRCCOPY);
    }
    // Without tabs the background still goes to the screen: the control is never left unpainted.
    target->BitBlt(client.left, client.top, client.Width(), client.Height(), &picture.dc, client.left, client.top, SRCCOPY);
}

void COXTabSkinXP::DrawItem(LPDRAWITEMSTRUCT item, CTabCtrl* tab) {
    CDC dc;
    dc.Attach(item->hDC);
    CRect r(item->rcItem);
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    if (selected) {
        dc.FillSolidRect(r, GetSysColor(COLOR_BTNFACE));
        dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
    } else {
        FillUnselectedTab(&dc, r);
        dc.SetTextColor(m_pSkin->GetColor(8));
    }
    int image = -1;
    const CString text = GetTabItemText(tab, static_cast<int>(item->itemID), &image);
    r.top += 3;
    if (HIMAGELIST images = tab->GetImageList(); image >= 0 && images) {
        ImageList_Draw(images, image, dc, r.left + 3, r.top - 1, ILD_TRANSPARENT);
        int cx = 0, cy = 0;
        ImageList_GetIconSize(images, &cx, &cy);
        r.left += cx + 3;
    }
    {
        SelectedObject keepFont(dc, m_font);
        const int oldMode = dc.SetBkMode(TRANSPARENT);
        dc.DrawText(text, &r, DT_CENTER | DT_SINGLELINE);
        dc.SetBkMode(oldMode);
    }
    r.top -= 3;
    if (selected && !(tab->GetStyle() & TCS_FOCUSNEVER)) {
        r.DeflateRect(2, 2);
        ::DrawFocusRect(dc, &r);
    }
    dc.Detach();
}

void COXTabSkinXP::DrawItemBorder(LPDRAWITEMSTRUCT item, CTabCtrl* tab) {
    CDC dc;
    dc.Attach(item->hDC);
    const CRect r(item->rcItem);
    const int index = static_cast<int>(item->itemID);
    CRect client, display;
    tab->GetClientRect(&client);
    display = client;
    tab->AdjustRect(FALSE, &display);
    const bool bottom = (tab->GetStyle() & TCS_BOTTOM) != 0;
    HPEN white = StockPen(WHITE_PEN), black = StockPen(BLACK_PEN), separator = m_separatorPen;
    if (item->itemState & ODS_SELECTED) {
        if (!bottom) {
            Line(&dc, white, r.left, r.bottom - 1, r.left, r.top);
            Line(&dc, white, r.left, r.top, r.right - 1, r.top);
            Line(&dc, black, r.right - 1, r.top, r.right - 1, r.bottom - 1);
        } else {
            Line(&dc, white, r.left, r.top, r.left, r.bottom - 1);
            Line(&dc, black, r.left, r.bottom - 1, r.right - 1, r.bottom - 1);
            Line(&dc, black, r.right - 1, r.top, r.right - 1, r.bottom);
        }
    } else {
        const bool nextPressed = index + 1 < tab->GetItemCount() && tab->GetCurSel() == index + 1;
        if (!nextPressed) Line(&dc, separator, r.right - 1, r.top + 3, r.right - 1, r.bottom - 3);
        if (!bottom) {
            if (display.top - r.bottom > 3) Line(&dc, separator, r.left, r.top, r.right, r.top);  // a row behind
            else if (r.bottom > display.top) Line(&dc, separator, r.left, r.bottom - 1, r.right, r.bottom - 1);
            else Line(&dc, black, r.left, r.top, r.right, r.top);
        } else {
            if (r.top - display.bottom > r.Height() + 3) Line(&dc, separator, r.left, r.bottom - 1, r.right, r.bottom - 1);
            else if (r.top < display.bottom) Line(&dc, separator, r.left, r.top, r.right, r.top);
            else Line(&dc, black, r.left, r.bottom - 1, r.right, r.bottom - 1);
        }
    }
    dc.Detach();
}

void COXTabSkinXP::DrawBackground(CDC* dc, const CRect& rect, CTabCtrl*) { dc->FillSolidRect(rect, GetSysColor(COLOR_BTNFACE)); }

void COXTabSkinXP::DrawSpinCtrl(CSpinButtonCtrl* spin) {
    CPaintDC paint(spin);
    PaintSpinCtrl(&paint, spin);
}

void COXTabSkinXP::PaintSpinCtrl(CDC* target, CSpinButtonCtrl* spin) {
    CRect client;
    spin->GetClientRect(&client);
    if (client.IsRectEmpty()) return;
    MemoryDC picture(target, client.Width(), client.Height());
    const PaintScope scope(*this);
    FillStrip(&picture.dc, client);

    CRect area = client;
    const bool parentBottom = (::GetWindowLongPtrW(::GetParent(spin->m_hWnd), GWL_STYLE) & TCS_BOTTOM) != 0;
    area.DeflateRect(2, parentBottom ? 0 : 2, 2, parentBottom ? 2 : 0);
    const int h = area.Width() / 2;
    const CRect left(area.left, area.top, area.left + h - 1, area.bottom);
    const CRect right(area.left + h, area.top, area.left + h + h - 1, area.bottom);

    int lower = 0, upper = 0;
    spin->GetRange(lower, upper);
    const int pos = spin->GetPos();
    const bool leftMoves = pos != 0;
    const bool rightMoves = pos != upper;
    auto arrow = [&](const CRect& button, bool pointsLeft, bool moves) {
        const int cx = (button.left + button.right) / 2, cy = (button.top + button.bottom) / 2;
        const int tip = pointsLeft ? cx - 2 : cx + 2, back = pointsLeft ? cx + 2 : cx - 2;
        const std::array<POINT, 4> points{{{back, cy - 4}, {tip, cy}, {back, cy + 4}, {back, cy - 4}}};
        SelectedObject keepPen(picture.dc, m_arrowPen);
        SelectedObject keepBrush(picture.dc, moves ? static_cast<HGDIOBJ>(m_arrowBrush) : GetStockObject(NULL_BRUSH));
        ::Polygon(picture.dc, points.data(), static_cast<int>(points.size()));
    };
    arrow(left, true, leftMoves);
    arrow(right, false, rightMoves);

    POINT cursor{};
    GetCursorPos(&cursor);
    spin->ScreenToClient(&cursor);
    if (client.PtInRect(cursor) && (leftMoves || rightMoves)) {
        CRect hot = rightMoves ? right : left;
        hot.DeflateRect(1, 1);
        const bool down = (GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) & 0x8000) != 0;
        HPEN light = StockPen(down ? BLACK_PEN : WHITE_PEN), dark = StockPen(down ? WHITE_PEN : BLACK_PEN);
        Line(&picture.dc, light, hot.left, hot.bottom - 1, hot.left, hot.top);
        Line(&picture.dc, light, hot.left, hot.top, hot.right - 1, hot.top);
        Line(&picture.dc, dark, hot.right - 1, hot.top, hot.right - 1, hot.bottom - 1);
        Line(&picture.dc, dark, hot.left, hot.bottom - 1, hot.right, hot.bottom - 1);
    }
    target->BitBlt(client.left, client.top, client.Width(), client.Height(), &picture.dc, client.left, client.top, SRCCOPY);
}

void COXTabSkinXP::DrawWorkspaceBorder(CDC* dc, const CRect& rect, CWnd*) {
    const COLORREF color = m_pSkin->GetColor(10);
    dc->Draw3dRect(rect, color, color);
}

void COXTabSkinXP::DrawClientBorder(CWnd* client) {
    client->Default();
    CWindowDC dc(client);
    CRect r = dc.ExcludeClientArea();
    CBrush face(GetSysColor(COLOR_BTNFACE)), dark(GetSysColor(COLOR_3DDKSHADOW));
    dc.FrameRect(r, &face);
    r.DeflateRect(1, 1);
    dc.FrameRect(r, &dark);
}

void COXTabSkinXP::AdjustTabRect(CRect& rect, int amount, CTabCtrl* tab) {
    CRect client;
    tab->GetClientRect(&client);
    if (client.IsRectEmpty()) return;
    CRect display = client;
    tab->AdjustRect(FALSE, &display);
    if (display.left - client.left < 8) rect.left -= amount;
    if (display.top - client.top < 8) rect.top -= amount;
    if (client.right - display.right < 8) rect.right += amount;
    if (client.bottom - display.bottom < 8) rect.bottom += amount;
}

// Office 2003 ------------------------------------------------------------------------------

COXTabSkin2003::COXTabSkin2003(COXSkin2003* skin) : COXTabSkinXP(skin), m_pSkin2003(skin) {}

COXTabSkin2003::Gradient COXTabSkin2003::GetGradient() const {
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const ScopedTheme theme(m_pSkin2003->UxTheme(), L"button");
    if (theme) {
        const COLORREF t = theme.SysColor(13);
        return {COXSkinXP::BlendColors(window, t, 0.95f, 0.05f), COXSkinXP::BlendColors(window, t, 0.2f, 0.8f),
                COXSkinXP::BlendColors(window, t, 0.95f, 0.05f)};
    }
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    return {COXSkinXP::BlendColors(window, face, 0.73f, 0.27f), COXSkinXP::BlendColors(window, face, 0.04f, 0.96f),
            COXSkinXP::BlendColors(window, face, 0.78f, 0.22f)};
}

void COXTabSkin2003::FillStrip(CDC* dc, const CRect& rect) const {
    const Gradient g = PaintGradient();
    m_pSkin2003->GradientFill(dc, rect, g.light, g.dark, TRUE);
}

void COXTabSkin2003::FillUnselectedTab(CDC* dc, const CRect& rect) const {
    const Gradient g = PaintGradient();
    m_pSkin2003->GradientFill(dc, rect, g.light, g.middle, TRUE);
}

void COXTabSkin2003::DrawBackground(CDC* dc, const CRect& rect, CTabCtrl*) { dc->FillSolidRect(rect, m_pSkin->GetColor(7)); }

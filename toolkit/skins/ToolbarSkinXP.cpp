#include "bars/CoolToolBar.h"
#include "bars/MenuBar.h"
#include "gdi/Dib.h"
#include "skins/Skin.h"
#include "skins/SkinGdi.h"
#include "skins/ToolbarSkin.h"

namespace {

HFONT MarlettFont(CDC* dc, int points) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(points, dc->GetDeviceCaps(LOGPIXELSY), 72);
    font.lfCharSet = SYMBOL_CHARSET;
    lstrcpyW(font.lfFaceName, L"Marlett");
    return CreateFontIndirectW(&font);
}

// The 2003 gradient colours of a button face, with a visual style.
constexpr COLORREF kHot1 = RGB(255, 244, 204), kHot2 = RGB(255, 208, 145);
constexpr COLORREF kChecked1 = RGB(255, 213, 140), kChecked2 = RGB(255, 173, 85);
constexpr COLORREF kPressed1 = RGB(254, 145, 78), kPressed2 = RGB(255, 211, 142);
}  // namespace

COLORREF COXToolbarSkinXP::Color(int n) const { return m_pSkin->GetColor(n); }

int COXToolbarSkinXP::DropDownPartWidth(CDC* dc) {
    HFONT font = MarlettFont(dc, 8);
    HGDIOBJ old = dc->SelectObject(font);
    CRect measure(0, 0, 0, 0);
    DrawTextW(*dc, L"6", 1, &measure, DT_CALCRECT | DT_SINGLELINE);
    dc->SelectObject(old);
    DeleteObject(font);
    return measure.Width() + 4;
}

void COXToolbarSkinXP::DrawGripper(CDC* dc, const CRect& rect, COXCoolToolBar* bar) {
    if (bar->m_dwStyle & CBRS_FLOATING) return;
    CRect r = rect;
    const COLORREF color = Color(11);
    if (bar->m_dwStyle & CBRS_ORIENT_HORZ) {
        r.DeflateRect(2, 6, 2, 5);
        if (bar->m_pDockContext) {
            r.left += 2;
            r.bottom -= 2;
        } else if (bar->m_dwStyle & CBRS_BORDER_BOTTOM) {
            r.top -= 2;
            r.bottom -= 2;
        }
        r.right = r.left + 3;
        for (int y = r.top; y <= r.bottom; y += 2) LineWith(dc, color, r.left, y, r.right, y);
    } else {
        r.DeflateRect(3, 4, 7, 4);
        if (bar->m_pDockContext) r.left += 2;
        else r.right += 2;
        r.bottom = r.top + 3;
        for (int x = r.left; x <= r.right; x += 2) LineWith(dc, color, x, r.top, x, r.bottom);
    }
}

void COXToolbarSkinXP::DrawNonClientArea(CDC* dc, LPCRECT windowRect, COXCoolToolBar* bar) {
    CRect window(*windowRect);
    dc->FillSolidRect(window, bar->IsMenuBar() ? GetSysColor(COLOR_BTNFACE) : Color(6));
    for (int i = 0; i < 2; ++i) {
        FrameWith(dc, window, GetSysColor(COLOR_BTNFACE));
        window.DeflateRect(1, 1);
    }
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    SetPixel(*dc, window.left, window.top, face);
    SetPixel(*dc, window.right - 1, window.top, face);
    SetPixel(*dc, window.left, window.bottom - 1, face);
    SetPixel(*dc, window.right - 1, window.bottom - 1, face);
}

void COXToolbarSkinXP::DrawSeparator(CDC* dc, const CRect& rect, COXCoolToolBar*) {
    CRect line = rect;
    if (rect.Width() > rect.Height()) {
        line.top = (rect.top + rect.bottom) / 2 - 1;
        line.bottom = line.top + 1;
    } else {
        line.left = (rect.left + rect.right) / 2 - 1;
        line.right = line.left + 1;
    }
    dc->FillSolidRect(line, Color(9));
}

void COXToolbarSkinXP::DrawCustomizeFrame(CDC* dc, const CRect& rect, COXCoolToolBar*) {
    CRect r = rect;
    FrameWith(dc, r, GetSysColor(COLOR_BTNTEXT));
    r.DeflateRect(1, 1);
    FrameWith(dc, r, GetSysColor(COLOR_BTNTEXT));
}

void COXToolbarSkinXP::DrawBackground(CDC* dc, COXCoolToolBar* bar) {
    CRect client;
    bar->GetClientRect(&client);
    dc->FillSolidRect(client, bar->IsMenuBar() ? GetSysColor(COLOR_BTNFACE) : Color(6));
}

void COXToolbarSkinXP::FillButtonBackground(CDC* dc, const CRect& rect) { dc->FillSolidRect(rect, Color(6)); }

void COXToolbarSkinXP::DrawFace(CDC* dc, const CRect& rect, COLORREF c1, COLORREF, COLORREF frame) {
    CRect inner = rect;
    inner.DeflateRect(1, 1);
    dc->FillSolidRect(inner, c1);
    FrameWith(dc, rect, frame);
}

COXToolbarSkinXP::BarPaintState COXToolbarSkinXP::ReadBarState(COXCoolToolBar* bar) {
    BarPaintState state;
    state.hotItem = static_cast<int>(bar->SendMessage(TB_GETHOTITEM));
    state.dropArrows = (bar->SendMessage(TB_GETEXTENDEDSTYLE) & TBSTYLE_EX_DRAWDDARROWS) != 0;
    state.images = reinterpret_cast<HIMAGELIST>(bar->SendMessage(TB_GETIMAGELIST));
    state.hotImages = reinterpret_cast<HIMAGELIST>(bar->SendMessage(TB_GETHOTIMAGELIST));
    state.disabledImages = reinterpret_cast<HIMAGELIST>(bar->SendMessage(TB_GETDISABLEDIMAGELIST));
    if (state.images) ImageList_GetIconSize(state.images, &state.imageWidth, &state.imageHeight);
    state.font = reinterpret_cast<HFONT>(bar->SendMessage(WM_GETFONT));
    return state;
}

void COXToolbarSkinXP::DrawButton(CDC* dc, const TBBUTTON& button, const CRect& rect, COXCoolToolBar* bar, BOOL background) {
    // Within a whole-bar paint the bar's state was read once; a lone call reads it now.
    const BarPaintState state = m_pPainting ? *m_pPainting : ReadBarState(bar);
    const int index = m_pPainting ? m_nPaintIndex : bar->CommandToIndex(static_cast<UINT>(button.idCommand));
    const bool hot = index >= 0 && state.hotItem == index;
    const bool pressed = button.fsState & TBSTATE_PRESSED, checked = button.fsState & TBSTATE_CHECKED;
    const bool enabled = button.fsState & TBSTATE_ENABLED;
    const bool dropDown = (button.fsStyle & TBSTYLE_DROPDOWN) && state.dropArrows;
    const bool wholeDropDown = (button.fsStyle & TBSTYLE_DROPDOWN) && !state.dropArrows;
    enum class Look { Normal, Hot, HotShadow, Disabled } look = Look::Normal;
    COLORREF text = GetSysColor(COLOR_BTNTEXT);
    int row = -1;  // which face: 0 hot, 1 checked, 2 pressed-or-checked and hot
    if (index >= 0 && index == bar->GetOpenDropDownIndex()) {
        // Its menu is open: a flat face under a lit image, drawn once.
        bar->ClearOpenDropDown();
        if (background) FillButtonBackground(dc, rect);
        look = HotShadow() ? Look::HotShadow : Look::Hot;
    } else if ((pressed || checked) && hot) {
        row = 2;
        look = Look::Hot;
        text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else if (checked) {
        row = 1;
    } else if (hot) {
        row = 0;
        look = HotShadow() ? Look::HotShadow : Look::Hot;
    } else if (pressed) {
        if (background) {
            CRect r = rect;
            r.DeflateRect(0, 1);
            FillButtonBackground(dc, r);
        }
        look = HotShadow() ? Look::HotShadow : Look::Hot;
    } else if (!enabled) {
        look = Look::Disabled;
        text = GetSysColor(COLOR_GRAYTEXT);
    }
    const int arrowWidth = dropDown ? DropDownPartWidth(dc) : 0;
    if (row >= 0 && background) {
        // XP colours 0, 1 and 2 for the three rows; a drop-down button without its own arrow part
        // is a pixel shorter at the top and the bottom.
        CRect face = rect;
        if (wholeDropDown) face.DeflateRect(0, 1);
        DrawFaceForRow(dc, face, row, Color(row));
        if (dropDown) FrameWith(dc, CRect(rect.right - arrowWidth, rect.top, rect.right, rect.bottom), Color(3));
    }

    // The image.
    HIMAGELIST images = state.images;
    CRect imageArea = rect;
    if (dropDown) {
        imageArea.right -= arrowWidth;
        HFONT font = MarlettFont(dc, 8);
        HGDIOBJ old = dc->SelectObject(font);
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(text);
        CRect arrow(rect.right - arrowWidth, rect.top, rect.right, rect.bottom);
        DrawTextW(*dc, L"6", 1, &arrow, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
        dc->SelectObject(old);
        DeleteObject(font);
    }
    // A button that never got a text has no string (iString -1): no need to ask.
    CString label = button.iString == -1 ? CString() : bar->GetButtonText(index);
    if (auto* menuBar = dynamic_cast<COXMenuBar*>(bar); menuBar && wholeDropDown)
        label = menuBar->GetMenuItemText(button.idCommand - 1);  // a menu entry's button shows the entry

    const int imageWidth = state.imageWidth, imageHeight = state.imageHeight;
    if (!bar->IsMenuBar() && images && button.iBitmap >= 0) {
        CPoint at;
        if (label.IsEmpty()) {
            at = CPoint(imageArea.left + (imageArea.Width() - imageWidth) / 2, imageArea.top + (imageArea.Height() - imageHeight) / 2);
        } else if (bar->IsList()) {
            at = CPoint(imageArea.left + 3, imageArea.top + (imageArea.Height() - imageHeight) / 2);
        } else {
            at = CPoint(imageArea.left + (imageArea.Width() - imageWidth) / 2, imageArea.top + 3);
        }
        if (look == Look::Disabled) {
            HIMAGELIST disabled = state.disabledImages;
            if (disabled) {
                ImageList_Draw(disabled, button.iBitmap, *dc, at.x, at.y, ILD_TRANSPARENT);
            } else {
                HBRUSH brush = CreateSolidBrush(Color(16));
                DrawImageState(*dc, images, button.iBitmap, at.x, at.y, DSS_MONO, brush);
                DeleteObject(brush);
            }
        } else if (look == Look::Normal) {
            ImageList_Draw(images, button.iBitmap, *dc, at.x, at.y, ILD_TRANSPARENT);
        } else {
            HIMAGELIST hotImages = state.hotImages;
            if (!hotImages) hotImages = images;
            if (look == Look::HotShadow) {
                HBRUSH brush = CreateSolidBrush(GetSysColor(COLOR_3DSHADOW));
                DrawImageState(*dc, hotImages, button.iBitmap, at.x + 1, at.y + 1, DSS_MONO, brush);
                DeleteObject(brush);
                ImageList_Draw(hotImages, button.iBitmap, *dc, at.x - 1, at.y - 1, ILD_TRANSPARENT);
            } else {
                ImageList_Draw(hotImages, button.iBitmap, *dc, at.x, at.y, ILD_TRANSPARENT);
            }
        }
    }

    // The text.
    if (!label.IsEmpty()) {
        CRect r = imageArea;
        UINT format = DT_WORDBREAK | DT_END_ELLIPSIS;
        if (bar->IsList()) {
            r.left += imageWidth + 6;
            r.right -= 3;
            format |= DT_VCENTER;
        } else {
            r.top += imageHeight + 1;
            r.DeflateRect(3, 3);
            format |= DT_CENTER;
        }
        if (bar->GetTextType() == 1) format |= DT_SINGLELINE;
        HGDIOBJ old = dc->SelectObject(state.font);
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(text);
        dc->DrawText(label, r, format);
        dc->SelectObject(old);
    }
}

void COXToolbarSkinXP::DrawFaceForRow(CDC* dc, const CRect& rect, int, COLORREF fill) {
    DrawFace(dc, rect, fill, fill, Color(3));
}

void COXToolbarSkinXP::PaintBar(CDC* dc, COXCoolToolBar* bar) {
    const BarPaintState state = ReadBarState(bar);
    m_pPainting = &state;
    DrawBackground(dc, bar);
    CRect client;
    bar->GetClientRect(&client);
    const int count = static_cast<int>(bar->SendMessage(TB_BUTTONCOUNT));
    for (int i = 0; i < count; ++i) {
        TBBUTTON button{};
        if (!bar->SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button))) continue;
        if (button.fsState & TBSTATE_HIDDEN) continue;
        CRect item;
        bar->SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        if (!(button.fsStyle & TBSTYLE_SEP)) {
            m_nPaintIndex = i;
            DrawButton(dc, button, item, bar, TRUE);
        } else if (button.fsState & TBSTATE_WRAP) {
            DrawSeparator(dc, CRect(client.left, item.bottom, client.right, item.bottom + item.Width()), bar);
        } else if (item.Height() > item.Width() && !bar->IsCustomButton(i)) {
            DrawSeparator(dc, item, bar);
        }
        if (i == bar->GetCustomizedButton() && !bar->IsCustomButton(i)) DrawCustomizeFrame(dc, item, bar);
    }
    TBINSERTMARK mark{-1, 0};
    bar->SendMessage(TB_GETINSERTMARK, 0, reinterpret_cast<LPARAM>(&mark));
    if (mark.iButton != -1) {
        CRect item;
        bar->SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(mark.iButton), reinterpret_cast<LPARAM>(&item));
        if (mark.dwFlags == 0) item.right = item.left + 3;
        else if (mark.dwFlags == TBIMHT_AFTER) item.left = item.right - 3;
        else item.SetRectEmpty();
        if (!item.IsRectEmpty()) dc->FillSolidRect(item, GetSysColor(COLOR_BTNTEXT));
    }
    m_pPainting = nullptr;
}

void COXToolbarSkinXP::DrawCustomDraw(NMHDR*& header, LRESULT*& result, COXCoolToolBar* bar) {
    if (RelayToOwner(header, result, bar)) return;
    auto* draw = reinterpret_cast<NMCUSTOMDRAW*>(header);
    *result = 0;
    // Some common controls (Wine's) go on to draw every button after a pre-paint
    // answer of CDRF_SKIPDEFAULT: the bar asks for the item stage as well and
    // skips each button there, so the control never paints over the bar.
    if (draw->dwDrawStage == CDDS_ITEMPREPAINT) *result = CDRF_SKIPDEFAULT;
    if (draw->dwDrawStage != CDDS_PREPAINT) return;
    CRect client;
    bar->GetClientRect(&client);
    CDC target;
    target.Attach(draw->hdc);
    CDC memory;
    memory.CreateCompatibleDC(&target);
    // A device-independent bitmap: drawn into in memory, copied to the window once.
    HBITMAP bitmap = CreateTopDownDib(client.Width(), client.Height());
    HGDIOBJ old = memory.SelectObject(bitmap);
    PaintBar(&memory, bar);
    *result = CDRF_SKIPDEFAULT | CDRF_NOTIFYITEMDRAW;
    target.BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
    DeleteObject(bitmap);
    target.Detach();
}

void COXToolbarSkinXP::DrawComboBox(CWnd* combo) {
    combo->Default();
    DrawComboBoxState(combo);
}

void COXToolbarSkinXP::DrawComboBoxState(CWnd* combo) {
    CClientDC dc(combo);
    CRect client;
    combo->GetClientRect(&client);
    POINT cursor{};
    GetCursorPos(&cursor);
    combo->ScreenToClient(&cursor);
    CRect edit = client;
    edit.DeflateRect(3, 3, client.Height() - 2, 3);
    ExcludeClipRect(dc, edit.left, edit.top, edit.right, edit.bottom);
    // The edit keeps the line around it; under common controls 6 it reaches 3 pixels further right.
    edit.InflateRect(1, 1);
    if (COXCoolToolBar::GetComCtlVersion() >= kComCtl600) edit.right += 3;
    CRect button = client;
    button.DeflateRect(2, 2, 3, 2);
    button.left = client.right - (client.Height() - 2);
    FillRingWithWindowColour(&dc, client, edit, button);
    const bool dropped = combo->SendMessage(CB_GETDROPPEDSTATE) != 0;
    HWND focus = GetFocus();
    const bool active = client.PtInRect(cursor) || focus == combo->m_hWnd || (focus && GetParent(focus) == combo->m_hWnd);
    COLORREF arrowColor = GetSysColor(COLOR_BTNTEXT);
    if (dropped) {
        DrawComboButton(&dc, button, true);
        arrowColor = GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else if (active) {
        DrawComboButton(&dc, button, false);
    } else {
        FillComboButton(&dc, button, combo);
    }
    if (dropped || active) {
        FrameWith(&dc, client, Color(3));
        FrameWith(&dc, button, Color(3));
    }
    const int cx = (button.left + button.right) / 2, cy = (button.top + button.bottom) / 2;
    dc.FillSolidRect(CRect(cx - 2, cy - 1, cx + 3, cy), arrowColor);
    dc.FillSolidRect(CRect(cx - 1, cy, cx + 2, cy + 1), arrowColor);
    dc.FillSolidRect(CRect(cx, cy + 1, cx + 1, cy + 2), arrowColor);
}

void COXToolbarSkinXP::FillRingWithWindowColour(CDC* dc, const CRect& client, const CRect& edit, const CRect& button) {
    const int saved = ::SaveDC(*dc);
    ExcludeClipRect(*dc, edit.left, edit.top, edit.right, edit.bottom);
    dc->FillSolidRect(client, GetSysColor(COLOR_WINDOW));
    ::RestoreDC(*dc, saved);
    dc->FillSolidRect(button, Color(6));
}

void COXToolbarSkinXP::FillComboButton(CDC* dc, const CRect& button, CWnd*) { dc->FillSolidRect(button, Color(6)); }

void COXToolbarSkinXP::DrawComboButton(CDC* dc, const CRect& button, bool dropped) {
    dc->FillSolidRect(button, Color(dropped ? 2 : 0));
}

void COXToolbarSkinXP::DrawControlFrame(CWnd* control) {
    CWindowDC dc(control);
    CRect window, client;
    control->GetWindowRect(&window);
    control->GetClientRect(&client);
    control->ClientToScreen(&client);
    client.OffsetRect(-window.left, -window.top);
    window.OffsetRect(-window.left, -window.top);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    FillComboButton(&dc, window, control);
    window.DeflateRect(1, 1);
    dc.FillSolidRect(window, GetSysColor(COLOR_WINDOW));
    POINT cursor{};
    GetCursorPos(&cursor);
    CRect screen;
    control->GetWindowRect(&screen);
    if (screen.PtInRect(cursor) || GetFocus() == control->m_hWnd) {
        window.InflateRect(1, 1);
        FrameWith(&dc, window, Color(3));
    }
}

// Office 2003 ------------------------------------------------------------------------------------------

COXToolbarSkin2003::COXToolbarSkin2003(COXSkin2003* skin) : COXToolbarSkinXP(skin) {}

COXSkin2003* COXToolbarSkin2003::Skin2003() const { return static_cast<COXSkin2003*>(m_pSkin); }

void COXToolbarSkin2003::DrawGripper(CDC* dc, const CRect& rect, COXCoolToolBar* bar) {
    if (bar->m_dwStyle & CBRS_FLOATING) return;
    CRect r = rect;
    if (bar->m_dwStyle & CBRS_ORIENT_HORZ) {
        r.DeflateRect(2, 6, 2, 5);
        if (bar->m_pDockContext) {
            r.left += 2;
            r.bottom -= 2;
        } else if (bar->m_dwStyle & CBRS_BORDER_BOTTOM) {
            r.top -= 2;
            r.bottom -= 2;
        }
        r.left += 1;
        r.right = r.left + 2;
        Skin2003()->DrawGripperDots(dc, r, TRUE);
    } else {
        r.DeflateRect(3, 4, 7, 4);
        if (bar->m_pDockContext) r.left += 2;
        else r.right += 2;
        r.top += 1;
        r.bottom = r.top + 2;
        Skin2003()->DrawGripperDots(dc, r, FALSE);
    }
}

namespace {
// Colours B and C of the 2003 bar background.
void BackgroundColors(const COXSkin2003* skin, COLORREF& b, COLORREF& c) {
    const COLORREF W = GetSysColor(COLOR_WINDOW);
    ScopedTheme theme(skin->UxTheme(), L"button");
    if (theme) {
        const COLORREF style = theme.SysColor(COLOR_HIGHLIGHT);
        b = COXSkinXP::BlendColors(W, style, 0.2f, 0.8f);
        c = COXSkinXP::BlendColors(W, style, 0.95f, 0.05f);
    } else {
        const COLORREF F = GetSysColor(COLOR_BTNFACE);
        b = COXSkinXP::BlendColors(W, F, 0.04f, 0.96f);
        c = COXSkinXP::BlendColors(W, F, 0.78f, 0.22f);
    }
}
}  // namespace

void COXToolbarSkin2003::FillBand(CDC* dc, CWnd* window, CPoint origin, int height) {
    const CRect band = DockBandFor(window, origin, height);
    if (!(::GetVersion() & 0x80000000u)) {
        Skin2003()->FillDockBand(dc, band);
        return;
    }
    COXSkin2003 lines;  // Windows 9x: the gradient band by band
    lines.UseLineGradients();
    lines.FillDockBand(dc, band);
}

void COXToolbarSkin2003::DrawNonClientArea(CDC* dc, LPCRECT windowRect, COXCoolToolBar* bar) {
    CRect window(*windowRect);
    CRect barWindow, client;
    bar->GetWindowRect(&barWindow);
    bar->GetClientRect(&client);
    bar->ClientToScreen(&client);
    client.OffsetRect(window.left - barWindow.left, window.top - barWindow.top);
    const int saved = ::SaveDC(*dc);
    ::ExcludeClipRect(*dc, client.left, client.top, client.right, client.bottom);
    if (bar->IsFloating()) {
        dc->FillSolidRect(window, Color(7));
        ::RestoreDC(*dc, saved);
        return;
    }
    // A docked bar stands on the dock bars' band, with rounded corners.
    FillBand(dc, bar, CPoint(barWindow.left - window.left, barWindow.top - window.top), window.bottom);
    ::RestoreDC(*dc, saved);
    if (bar->IsMenuBar()) return;
    CRect r = window;
    r.DeflateRect(2, 2);
    const POINT corners[4][2] = {{{r.left, r.top}, {r.left - 1, r.top - 1}},
                                 {{r.right - 1, r.top}, {r.right, r.top - 1}},
                                 {{r.left, r.bottom - 1}, {r.left - 1, r.bottom}},
                                 {{r.right - 1, r.bottom - 1}, {r.right, r.bottom}}};
    for (const auto& corner : corners) ::SetPixel(*dc, corner[0].x, corner[0].y, ::GetPixel(*dc, corner[1].x, corner[1].y));
}

void COXToolbarSkin2003::DrawSeparator(CDC* dc, const CRect& rect, COXCoolToolBar*) {
    CRect line = rect;
    if (rect.Width() > rect.Height()) {
        line.top = (rect.top + rect.bottom) / 2 - 1;
        line.bottom = line.top + 1;
        line.DeflateRect(4, 0);
    } else {
        line.left = (rect.left + rect.right) / 2 - 1;
        line.right = line.left + 1;
        line.DeflateRect(0, 4);
    }
    dc->FillSolidRect(line, Color(9));
    line.OffsetRect(1, 1);
    dc->FillSolidRect(line, RGB(255, 255, 255));
}

void COXToolbarSkin2003::DrawBackground(CDC* dc, COXCoolToolBar* bar) {
    CRect client;
    bar->GetClientRect(&client);
    if (bar->IsMenuBar()) {
        // The menu bar continues the band its frame's dock bars show.
        CRect screen;
        bar->GetClientRect(&screen);
        bar->ClientToScreen(&screen);
        FillBand(dc, bar, screen.TopLeft(), client.Height());
        return;
    }
    COLORREF b = 0, c = 0;
    BackgroundColors(Skin2003(), b, c);
    const bool horizontal = (bar->m_dwStyle & CBRS_ORIENT_HORZ) || bar->IsFloating();
    Skin2003()->GradientFill(dc, client, c, b, horizontal);
}

void COXToolbarSkin2003::DrawFace(CDC* dc, const CRect& rect, COLORREF c1, COLORREF c2, COLORREF frame) {
    CRect inner = rect;
    inner.DeflateRect(1, 1);
    Skin2003()->GradientFill(dc, inner, c1, c2, TRUE);
    FrameWith(dc, rect, frame);
}

void COXToolbarSkin2003::DrawFaceForRow(CDC* dc, const CRect& rect, int row, COLORREF fill) {
    if (!Skin2003()->IsThemed()) {
        DrawFace(dc, rect, fill, fill, Color(3));
        return;
    }
    static const COLORREF pairs[3][2] = {{kHot1, kHot2}, {kChecked1, kChecked2}, {kPressed1, kPressed2}};
    DrawFace(dc, rect, pairs[row][0], pairs[row][1], Color(3));
}

void COXToolbarSkin2003::FillComboButton(CDC* dc, const CRect& button, CWnd* control) {
    // The gradient runs over the parent's whole height, so that the control continues its bar.
    CRect extent = button;
    POINT origin{};  // the DC's origin on the screen (a window or a client DC alike)
    if (CWnd* parent = control ? control->GetParent() : nullptr; parent && ::GetDCOrgEx(*dc, &origin)) {
        CRect parentClient;
        parent->GetClientRect(&parentClient);
        parent->ClientToScreen(&parentClient);
        extent = CRect(button.left, parentClient.top - origin.y, button.right, parentClient.bottom - origin.y);
    }
    COLORREF b = 0, c = 0;
    BackgroundColors(Skin2003(), b, c);
    const int saved = ::SaveDC(*dc);
    ::IntersectClipRect(*dc, button.left, button.top, button.right, button.bottom);
    Skin2003()->GradientFill(dc, extent, c, b, TRUE);
    ::RestoreDC(*dc, saved);
}

void COXToolbarSkin2003::DrawComboBoxState(CWnd* combo) { COXToolbarSkinXP::DrawComboBoxState(combo); }

void COXToolbarSkin2003::DrawControlFrame(CWnd* control) { COXToolbarSkinXP::DrawControlFrame(control); }

void COXToolbarSkin2003::DrawComboButton(CDC* dc, const CRect& button, bool dropped) {
    if (!Skin2003()->IsThemed()) {
        dc->FillSolidRect(button, Color(dropped ? 2 : 0));
        return;
    }
    if (dropped) Skin2003()->GradientFill(dc, button, kPressed1, kPressed2, TRUE);
    else Skin2003()->GradientFill(dc, button, kHot1, kHot2, TRUE);
}

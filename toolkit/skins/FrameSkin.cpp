#include "skins/FrameSkin.h"

#include "bars/MiniDockFrameWnd.h"
#include "docking/MDIChildWndSizeDock.h"
#include "docking/SizeDockFrames.h"
#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"

// Classic --------------------------------------------------------------------------------------

void COXMiniFrameSkinClassic::OnNcPaint(CMiniDockFrameWnd* frame) { frame->Default(); }

BOOL COXMiniFrameSkinClassic::OnNcActivate(BOOL active, CMiniDockFrameWnd* frame) {
    // A docked view's frame stays inactive while its child is not the active one.
    if (auto* viewBar = dynamic_cast<COXSizeViewBar*>(frame->GetFirstBar()); viewBar && viewBar->m_pChildFrame && viewBar->m_pChildFrame->m_hWnd) {
        auto* main = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
        if (active && main && main->MDIGetActive() != viewBar->m_pChildFrame) return FALSE;
    }
    return static_cast<BOOL>(frame->Default());
}

// Office XP (also the 2003 look) -----------------------------------------------------------------

COXMiniFrameSkinXP::COXMiniFrameSkinXP(COXSkinXP* skin) : m_pSkin(skin) { m_fontCaption.CreatePointFont(85, L"Tahoma BOLD"); }

CRect COXMiniFrameSkinXP::CaptionRect(CWnd* frame) {
    CRect window;
    frame->GetWindowRect(&window);
    frame->ScreenToClient(&window);
    const int top = window.top;  // negative: the distance from the window's top edge to the client area
    return CRect(3, 3, window.Width() - 3, -top - 2);
}

void COXMiniFrameSkinXP::OnNcPaint(CMiniDockFrameWnd* frame) {
    CWindowDC dc(frame);
    CRect window, client;
    frame->GetWindowRect(&window);
    frame->GetClientRect(&client);
    frame->ClientToScreen(&client);
    client.OffsetRect(-window.left, -window.top);
    window.OffsetRect(-window.left, -window.top);
    ::ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    dc.FillSolidRect(window, m_pSkin->GetColor(14));
    window.DeflateRect(2, 2);
    dc.FillSolidRect(window, m_pSkin->GetColor(15));
    const COLORREF corner = m_pSkin->GetColor(14);
    ::SetPixel(dc, window.left, window.top, corner);
    ::SetPixel(dc, window.right - 1, window.top, corner);
    ::SetPixel(dc, window.right - 1, window.bottom - 1, corner);
    ::SetPixel(dc, window.left, window.bottom - 1, corner);
    DrawCaption(frame);
}

void COXMiniFrameSkinXP::DrawCaption(CMiniDockFrameWnd* frame) {
    CWindowDC dc(frame);
    CRect caption = CaptionRect(frame);
    dc.FillSolidRect(caption, m_pSkin->GetColor(12));
    const CString title = frame->GetWindowText();
    HGDIOBJ oldFont = dc.SelectObject(&m_fontCaption);
    const COLORREF oldColor = dc.SetTextColor(m_pSkin->GetColor(13));
    const int oldMode = dc.SetBkMode(TRANSPARENT);
    CRect text = caption;
    text.DeflateRect(3, 0);
    dc.DrawText(title, &text, DT_SINGLELINE | DT_VCENTER);
    dc.SetBkMode(oldMode);
    dc.SetTextColor(oldColor);
    dc.SelectObject(oldFont);
    OnNcMouseMove(frame);
}

BOOL COXMiniFrameSkinXP::OnNcMouseMove(CMiniDockFrameWnd* frame) {
    HMENU system = ::GetSystemMenu(frame->m_hWnd, FALSE);
    if (!system || ::GetMenuItemCount(system) <= 0) return TRUE;  // no close button
    const CRect caption = CaptionRect(frame);
    CRect b = caption;
    b.left = b.right - caption.Height();
    if (b.Width() <= 0 || b.Height() <= 0) return TRUE;
    CPoint cursor;
    ::GetCursorPos(&cursor);
    frame->ScreenToClient(&cursor);
    cursor.x += 4;
    cursor.y += caption.Height() + 4;
    CRect hotArea = b;
    hotArea.DeflateRect(0, 0, 1, 1);
    const bool hot = hotArea.PtInRect(cursor);
    const bool pressed = ::GetKeyState(VK_LBUTTON) < 0;
    COLORREF fill = 0, glyph = m_pSkin->GetColor(13);
    if (hot && pressed) {
        fill = m_pSkin->GetColor(2);
        glyph = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else if (hot) {
        fill = m_pSkin->GetColor(0);
        glyph = ::GetSysColor(COLOR_BTNTEXT);
    }
    CWindowDC dc(frame);
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(dc, b.Width(), b.Height());
    if (!bitmap) return TRUE;
    HGDIOBJ oldBitmap = memory.SelectObject(bitmap);
    CRect local(0, 0, b.Width(), b.Height());
    if (hot) {
        CPen pen(PS_SOLID, 1, m_pSkin->GetColor(3));
        CBrush brush;
        brush.CreateSolidBrush(fill);
        HGDIOBJ oldPen = memory.SelectObject(&pen);
        HGDIOBJ oldBrush = memory.SelectObject(&brush);
        memory.Rectangle(local);
        memory.SelectObject(oldBrush);
        memory.SelectObject(oldPen);
    } else {
        memory.FillSolidRect(local, m_pSkin->GetColor(12));
    }
    CRect cross = local;
    cross.DeflateRect(4, 4, 5, 5);
    CPen glyphPen(PS_SOLID, 1, glyph);
    HGDIOBJ oldPen = memory.SelectObject(&glyphPen);
    for (int shift = 0; shift < 2; ++shift) {
        memory.MoveTo(cross.left + shift, cross.top);
        memory.LineTo(cross.right + 1 + shift, cross.bottom + 1);
        memory.MoveTo(cross.right + shift, cross.top);
        memory.LineTo(cross.left - 1 + shift, cross.bottom + 1);
    }
    memory.SelectObject(oldPen);
    dc.BitBlt(b.left, b.top, b.Width(), b.Height(), &memory, 0, 0, SRCCOPY);
    memory.SelectObject(oldBitmap);
    ::DeleteObject(bitmap);
    return TRUE;
}

// Frame skins ------------------------------------------------------------------------------------

void COXFrameSkinXP::DrawBorder(CWnd* frame) {
    CWindowDC dc(frame);
    CRect window;
    frame->GetWindowRect(&window);
    window.OffsetRect(-window.left, -window.top);
    CBrush brush;
    brush.CreateSolidBrush(m_pSkin->GetColor(10));
    dc.FrameRect(window, &brush);
}

COLORREF COXFrameSkin2003::GetBackgroundColor() { return m_pSkin->GetColor(7); }
COLORREF COXFrameSkin2003::GetBorderColor() { return m_pSkin->GetColor(10); }

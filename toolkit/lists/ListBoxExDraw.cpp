// COXListBoxEx: drawing the items, the separator under the MRU block and the background.
#include "lists/ListBoxEx.h"

namespace {
constexpr int kSeparatorHeight = 4;
}

LRESULT COXListBoxEx::OnReflectDrawItem(WPARAM, LPARAM lParam) {
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    return TRUE;
}

LRESULT COXListBoxEx::OnReflectCompareItem(WPARAM, LPARAM lParam) {
    return CompareItem(reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam));
}

LRESULT COXListBoxEx::OnReflectCtlColor(WPARAM wParam, LPARAM) {
    if (GetCount() > 0) return 0;
    static HBRUSH brush = nullptr;  // one per process, made again with the current colour
    if (brush) ::DeleteObject(brush);
    brush = ::CreateSolidBrush(GetBackgroundColor());
    ::SetBkColor(reinterpret_cast<HDC>(wParam), GetBackgroundColor());
    return reinterpret_cast<LRESULT>(brush);
}

BOOL COXListBoxEx::OnEraseBkgnd(HDC dc) {
    CRect client;
    GetClientRect(&client);
    CRect area = client;
    const int count = GetCount();
    if (!IsHighlightOnlyText() && count > 0) {
        CRect last;
        if (SendMessage(LB_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&last)) != LB_ERR) {
            if (last.bottom >= client.bottom) return TRUE;
            area.top = std::max<LONG>(client.top, last.bottom);
        }
    }
    HBRUSH brush = ::CreateSolidBrush(GetBackgroundColor());
    ::FillRect(dc, &area, brush);
    ::DeleteObject(brush);
    return TRUE;
}

int COXListBoxEx::CompareItem(LPCOMPAREITEMSTRUCT item) {
    const OXLISTBOXITEM* first = GetItemInfo(static_cast<int>(item->itemID1));
    const OXLISTBOXITEM* second = GetItemInfo(static_cast<int>(item->itemID2));
    if (!first || !second || first->nMRUIndex == second->nMRUIndex) return 0;
    if (first->nMRUIndex == -1) return 1;
    if (second->nMRUIndex == -1) return -1;
    return first->nMRUIndex < second->nMRUIndex ? -1 : 1;
}

void COXListBoxEx::DrawItem(LPDRAWITEMSTRUCT draw) {
    if (GetCount() == 0) return;
    const int index = static_cast<int>(draw->itemID);
    OXLISTBOXITEM temporary;
    if (OXLISTBOXITEM* unmeasured = GetItemInfo(index); unmeasured && !unmeasured->bLaidOut) RecalcItemSize(index);
    const OXLISTBOXITEM* stored = GetItemInfo(index);
    const OXLISTBOXITEM& record = stored ? *stored : temporary;
    CDC dc;
    dc.Attach(draw->hDC);
    CRect itemRect = record.rectItem, imageRect = record.rectImage, textRect = record.rectText;
    const CPoint origin(draw->rcItem.left, draw->rcItem.top);
    itemRect.OffsetRect(origin);
    imageRect.OffsetRect(origin);
    textRect.OffsetRect(origin);
    CRect row(draw->rcItem);
    const bool drawEntire = draw->itemAction & ODA_DRAWENTIRE;
    const bool drawSelect = draw->itemAction & ODA_SELECT;
    const bool drawFocus = draw->itemAction & ODA_FOCUS;
    const bool selected = draw->itemState & ODS_SELECTED;
    if (index >= 0 && index == m_nLastMRUIndex) {
        if (drawEntire) DrawSeparator(&dc, CRect(row.left, row.bottom - kSeparatorHeight, row.right, row.bottom), record);
        row.bottom -= kSeparatorHeight;
    }
    const CRect highlight = IsHighlightOnlyText() ? textRect : row;
    const COLORREF fill = selected ? record.clrBackgroundSelected : record.clrBackground;
    if (drawEntire || drawSelect) {
        dc.FillSolidRect(&highlight, fill);
    } else if (drawFocus && !(draw->itemState & ODS_FOCUS)) {
        CBrush frame(fill);
        dc.FrameRect(&highlight, &frame);
    }
    if (drawEntire || drawSelect) {
        if (!imageRect.IsRectEmpty() && record.nImageIndex != -1)
            DrawItemImage(&dc, imageRect, ILD_TRANSPARENT | ((selected && IsHighlightOnlyText()) ? ILD_SELECTED : 0), record);
        if (GetStyle() & LBS_HASSTRINGS) {
            CString text;
            if (index >= 0) GetText(index, text);
            DrawItemText(&dc, text, textRect, selected ? record.clrTextSelected : record.clrText, record.pFont);
        }
    }
    if ((drawEntire || drawFocus) && (draw->itemState & ODS_FOCUS)) ::DrawFocusRect(dc, &highlight);
    dc.Detach();
}

void COXListBoxEx::DrawSeparator(CDC* dc, const CRect& strip, const OXLISTBOXITEM& item) {
    dc->FillSolidRect(&strip, item.clrBackground);
    CRect line(strip.left, strip.top + 1, strip.right, strip.top + 3);
    ::FillRect(*dc, &line, ::GetSysColorBrush(COLOR_BTNSHADOW));
}

void COXListBoxEx::DrawItemImage(CDC* dc, const CRect& rect, UINT flags, const OXLISTBOXITEM& item) {
    if (CImageList* images = GetImageList()) images->Draw(*dc, item.nImageIndex, rect.TopLeft(), flags);
}

void COXListBoxEx::DrawItemText(CDC* dc, const CString& text, const CRect& rect, COLORREF color, CFont* font) {
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    const COLORREF oldColor = dc->SetTextColor(color);
    HGDIOBJ oldFont = font ? dc->SelectObject(font) : nullptr;
    CRect r = rect;
    dc->DrawText(text, &r, DT_SINGLELINE | DT_VCENTER);
    if (oldFont) dc->SelectObject(oldFont);
    dc->SetTextColor(oldColor);
    dc->SetBkMode(oldMode);
}

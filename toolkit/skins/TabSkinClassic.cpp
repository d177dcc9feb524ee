#include "gdi/NonClientMetrics.h"
#include "skins/SkinGdi.h"
#include "skins/SkinnedTabCtrl.h"
#include "skins/TabSkin.h"
#include "skins/ThemeTest.h"

#include <cstddef>
#include <iterator>

CString GetTabItemText(const CTabCtrl* tab, int index, int* image) {
    wchar_t text[kTabTextMax + 1] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));  // the buffer's own length, never more
    item.iImage = -1;
    if (!tab->GetItem(index, &item)) item.iImage = -1;
    text[std::size(text) - 1] = L'\0';
    if (image) *image = item.iImage;
    // The control may hand back its own copy of the text instead of filling the buffer.
    return CString(item.pszText ? item.pszText : text);
}

LOGFONTW GetMenuLogFont() {
    NONCLIENTMETRICSW metrics{};
    if (GetNonClientMetrics(metrics)) return metrics.lfMenuFont;
    // Without the metrics the tabs keep the GUI font rather than a nameless one.
    LOGFONTW fallback{};
    ::GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(fallback), &fallback);
    return fallback;
}

void COXTabSkinClassic::DrawTabCtrl(CTabCtrl* tab) {
    if (dynamic_cast<COXSkinnedTabCtrl*>(tab)) tab->Default();
    if (!IsThemeActiveXP() || !(tab->GetStyle() & TCS_VERTICAL)) return;
    CClientDC dc(tab);
    DrawVerticalTabText(&dc, tab);
}

void COXTabSkinClassic::DrawVerticalTabText(CDC* dc, CTabCtrl* tab) {
    LOGFONTW logFont = GetMenuLogFont();
    logFont.lfEscapement = 900;
    CFont font;
    font.CreateFontIndirect(&logFont);
    SelectedObject keepFont(*dc, font);
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    HIMAGELIST images = tab->GetImageList();
    const int count = tab->GetItemCount();
    for (int i = 0; i < count; ++i) {
        CRect r;
        tab->GetItemRect(i, &r);
        int image = -1;
        const CString text = GetTabItemText(tab, i, &image);
        int offset = r.Height();
        if (image >= 0 && images) {
            IMAGEINFO info{};
            ImageList_GetImageInfo(images, image, &info);
            offset = (tab->GetStyle() & TCS_RIGHT) ? r.Height() - 10 : r.Height() - (info.rcImage.bottom - info.rcImage.top + 10);
        }
        r.OffsetRect(0, offset);
        dc->DrawText(text, &r, DT_NOCLIP);
    }
    dc->SetBkMode(oldMode);
}

void COXTabSkinClassic::DrawSpinCtrl(CSpinButtonCtrl* spin) { spin->Default(); }

void COXTabSkinClassic::DrawWorkspaceBorder(CDC* dc, const CRect& rect, CWnd*) {
    dc->Draw3dRect(rect, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHIGHLIGHT));
}

void COXTabSkinClassic::DrawClientBorder(CWnd* client) { client->Default(); }

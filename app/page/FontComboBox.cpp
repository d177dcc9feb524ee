#include "page/FontComboBox.h"

#include "page/FontHot.h"

#include "util/Registry.h"

#include "gdi/DC.h"

#include <algorithm>
#include <map>
#include <optional>

namespace {

// What the application made at start for the font boxes (UseApplicationDefaults).
HDC s_appScreen = nullptr;
int s_appStockFont = DEFAULT_GUI_FONT;

// The screen's fonts: raster fonts are left out.
int CALLBACK EnumFontsScreenProc(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM box) {
    if (type & RASTER_FONTTYPE) return 1;
    const auto* full = reinterpret_cast<const ENUMLOGFONTEXW*>(font);
    reinterpret_cast<CFontComboBox*>(box)->AddFont(*font, (type & TRUETYPE_FONTTYPE) ? kTrueTypeFont : 0,
                                                  CString(full->elfScript));
    return 1;
}

// A printer's fonts: all of them, marked as printer fonts.
int CALLBACK EnumFontsPrinterProc(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM box) {
    DWORD kind = kPrinterFont;
    if (type & TRUETYPE_FONTTYPE) kind |= kTrueTypeFont;
    else if (type & DEVICE_FONTTYPE) kind |= kDeviceFont;
    const auto* full = reinterpret_cast<const ENUMLOGFONTEXW*>(font);
    reinterpret_cast<CFontComboBox*>(box)->AddFont(*font, kind, CString(full->elfScript));
    return 1;
}

} // namespace

std::vector<CString> BuildFontItems(const std::vector<FontRecord>& records, const CString& fontHot) {
    std::vector<CString> items = SplitFontHot(fontHot);
    std::map<std::wstring, int> seen;
    for (const FontRecord& record : records) ++seen[record.faceName.str()];
    std::vector<CString> faces;
    for (const FontRecord& record : records) {
        const CString& face = record.faceName;
        if (face.IsEmpty() || face[0] == L'@' || face.GetLength() >= 18) continue;
        if (seen[face.str()] > 1 && !record.script.IsEmpty() && record.script != L"Western") continue;
        faces.push_back(face);
    }
    std::sort(faces.begin(), faces.end(), [](const CString& a, const CString& b) { return a.str() < b.str(); });
    items.insert(items.end(), faces.begin(), faces.end());
    return items;
}

void CFontComboBox::UseApplicationDefaults(HDC screen, int stockFont) {
    s_appScreen = screen;
    s_appStockFont = screen ? stockFont : DEFAULT_GUI_FONT;
}

const MessageMap* CFontComboBox::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CFontComboBox::OnCreate>(WM_CREATE),
        MapMessage<&CFontComboBox::OnDestroy>(WM_DESTROY),
    };
    static const MessageMap map{CComboBox::GetMessageMap(), entries};
    return &map;
}

int CFontComboBox::OnCreate(LPCREATESTRUCT cs) {
    if (CComboBox::OnCreate(cs) == -1) return -1;
    // The stock font the application chose at start (the GUI font of every
    // Windows from version 4 on).
    SetFont(static_cast<HFONT>(GetStockObject(s_appStockFont)));
    return 0;
}

void CFontComboBox::OnDestroy() {
    // The records go with the list they were made for.
    m_fonts.clear();
    CComboBox::OnDestroy();
}

void CFontComboBox::AddFont(const LOGFONTW& font, DWORD fontKind, const CString& script) {
    if (font.lfCharSet == MAC_CHARSET) return;
    if (font.lfFaceName[0] == L'@' && GetSystemMetrics(SM_DBCSENABLED)) return;
    m_fonts.push_back({CString(font.lfFaceName), script, font.lfCharSet, font.lfPitchAndFamily, fontKind});
}

void CFontComboBox::FillFonts(HDC dc, BYTE charSet) {
    ResetContent();
    // Each fill starts afresh: records of an earlier fill would count every
    // face twice and hide faces found under one script only.
    m_fonts.clear();
    LOGFONTW font{};
    font.lfCharSet = charSet;
    auto box = reinterpret_cast<LPARAM>(this);
    // Every system from version 4 on (and Wine) has EnumFontFamiliesExW; the
    // older enumeration without scripts is not carried.
    // The printer's fonts first, then the screen's that the printer has not
    // (a face of both is listed once, as the printer's).
    if (dc) EnumFontFamiliesExW(dc, &font, EnumFontsPrinterProc, box, 0);
    const size_t printerFonts = m_fonts.size();
    // The application's screen DC, or one of the fill's own without it.
    std::optional<CClientDC> ownScreen;
    HDC screen = s_appScreen;
    if (!screen) screen = ownScreen.emplace(nullptr);
    EnumFontFamiliesExW(screen, &font, EnumFontsScreenProc, box, 0);
    auto printerHas = [&](const FontRecord& record) {
        return std::any_of(m_fonts.begin(), m_fonts.begin() + printerFonts, [&](const FontRecord& printer) {
            return printer.faceName == record.faceName && printer.script == record.script;
        });
    };
    if (printerFonts > 0)
        m_fonts.erase(std::remove_if(m_fonts.begin() + printerFonts, m_fonts.end(), printerHas), m_fonts.end());
    // One repaint for the whole list, not one per name.
    SetRedraw(FALSE);
    for (const CString& item : BuildFontItems(m_fonts, GetSettingString(L"Settings", L"FontHot", L"")))
        AddString(item);
    SetRedraw(TRUE);
}

void CFontComboBox::GetCurrentText(CString& text) const {
    int selected = GetCurSel();
    if (selected != CB_ERR) GetLBText(selected, text);
    else text = GetWindowText();
}

BOOL CFontComboBox::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN) {
        switch (msg->wParam) {
        case VK_TAB:
        case VK_RETURN:
        case VK_ESCAPE:
            return TRUE;
        case VK_UP:
        case VK_DOWN:
            if (GetKeyState(VK_MENU) >= 0 && GetKeyState(VK_CONTROL) >= 0 && !SendMessage(CB_GETDROPPEDSTATE)) {
                ShowDropDown(TRUE);
                return TRUE;
            }
            break;
        default:
            break;
        }
    }
    return CComboBox::PreTranslateMessage(msg);
}

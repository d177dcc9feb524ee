#include "lists/FontListBox.h"

#include "lists/FontComboBox.h"
#include "wnd/WaitCursor.h"

#include <algorithm>

namespace {
constexpr int kImageWidth = 16;
constexpr int kImageHeight = 12;
constexpr COLORREF kImageMask = RGB(255, 0, 255);

// Image 0: nothing (faces other than TrueType); image 1: the TrueType mark, two T's.
void MakeFontTypeImages(CImageList& images) {
    images.Create(kImageWidth, kImageHeight, ILC_COLOR24 | ILC_MASK, 2, 0);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    for (int image = 0; image < 2; ++image) {
        HBITMAP bits = ::CreateCompatibleBitmap(screen, kImageWidth, kImageHeight);
        HGDIOBJ old = ::SelectObject(dc, bits);
        auto fill = [&](int l, int t, int r, int b, COLORREF c) {
            RECT rect{l, t, r, b};
            HBRUSH brush = ::CreateSolidBrush(c);
            ::FillRect(dc, &rect, brush);
            ::DeleteObject(brush);
        };
        fill(0, 0, kImageWidth, kImageHeight, kImageMask);
        if (image == 1) {
            fill(1, 1, 9, 3, RGB(128, 128, 128));    // the grey T behind
            fill(4, 3, 6, 9, RGB(128, 128, 128));
            fill(6, 4, 15, 6, RGB(0, 0, 0));         // the black T in front
            fill(9, 6, 11, 12, RGB(0, 0, 0));
        }
        ::SelectObject(dc, old);
        images.Add(bits, kImageMask);
        ::DeleteObject(bits);
    }
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
}

bool Contains(const wchar_t* text, const wchar_t* word) { return wcsstr(text, word) != nullptr; }
}  // namespace

COXFontListBox::COXFontListBox() {
    MakeFontTypeImages(m_images);
    m_pImageList = &m_images;
}

COXFontListBox::~COXFontListBox() {
    m_displayDC.DeleteDC();
    FreeFonts();
}

BOOL COXFontListBox::PreCreateWindow(CREATESTRUCTW& cs) {
    cs.style = (cs.style & ~LBS_SORT) | LBS_HASSTRINGS;
    return COXListBoxEx::PreCreateWindow(cs);
}

void COXFontListBox::FreeFonts() {
    m_fontMap.clear();
    m_ownedFonts.clear();
}

BOOL COXFontListBox::AcceptFont(const OXLBFONTINFO&) { return TRUE; }

BOOL COXFontListBox::IsSymbolFace(const LOGFONTW& font) {
    if (font.lfCharSet == SYMBOL_CHARSET) return TRUE;
    wchar_t upper[LF_FACESIZE] = {};
    lstrcpynW(upper, font.lfFaceName, LF_FACESIZE);
    ::CharUpperW(upper);
    return Contains(upper, L"SYMBOL") || Contains(upper, L"BATS") || Contains(upper, L"BRAILLE") ||
           Contains(upper, L" EXTRAS") || (Contains(upper, L"LINE") && Contains(upper, L"DRAW"));
}

const OXLBFONTINFO* COXFontListBox::FontInfoOf(CFont* font) const {
    auto found = font ? m_fontMap.find(font) : m_fontMap.end();
    if (found == m_fontMap.end() || found->second < 0 || static_cast<size_t>(found->second) >= m_fonts.size()) return nullptr;
    return &m_fonts[static_cast<size_t>(found->second)];
}

void COXFontListBox::EnumerateFonts(HDC dc, const FontSink& sink) {
    ::EnumFontsW(
        dc, nullptr,
        [](const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM data) CALLBACK -> int {
            (*reinterpret_cast<const FontSink*>(data))(*font, type);
            return 1;  // always on to the next face
        },
        reinterpret_cast<LPARAM>(&sink));
}

HDC COXFontListBox::AcquireFontDC(bool& release) {
    release = false;
    if (HDC screen = ::GetDC(nullptr)) {
        release = true;
        return screen;
    }
    if (!m_displayDC.GetSafeHdc()) m_displayDC.Attach(::CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    m_pFontDC = m_displayDC.GetSafeHdc() ? &m_displayDC : nullptr;
    return m_displayDC.GetSafeHdc();
}

BOOL COXFontListBox::FillFontList() {
    CWaitCursor wait;
    // The control draws and sizes its scroll bar once, at the end (emptied and filled with its
    // drawing on, it would take its scroll bar away and bring it back).
    const bool redraw = m_hWnd && !m_bRedrawOff;
    if (redraw) SetRedraw(FALSE);
    ResetContent();
    m_fonts.clear();
    FreeFonts();
    bool release = false;
    if (HDC dc = AcquireFontDC(release)) {
        EnumerateFonts(dc, [&](const LOGFONTW& enumerated, DWORD type) {
            OXLBFONTINFO info;
            info.lf = enumerated;
            info.lf.lfHeight = GetPreviewFontHeight();
            info.lf.lfWidth = 0;
            info.dwType = type;
            info.bSymbol = IsSymbolFace(enumerated);
            if (AcceptFont(info)) m_fonts.push_back(info);
        });
        if (release) ::ReleaseDC(nullptr, dc);
    }
    std::stable_sort(m_fonts.begin(), m_fonts.end(), [](const OXLBFONTINFO& a, const OXLBFONTINFO& b) {
        return lstrcmpiW(a.lf.lfFaceName, b.lf.lfFaceName) < 0;
    });
    // One record per face: the TrueType one where there are two.
    std::vector<OXLBFONTINFO> unique;
    for (const OXLBFONTINFO& info : m_fonts) {
        if (!unique.empty() && lstrcmpiW(unique.back().lf.lfFaceName, info.lf.lfFaceName) == 0) {
            if (info.dwType & TRUETYPE_FONTTYPE) unique.back() = info;
            continue;
        }
        unique.push_back(info);
    }
    // A face whose font cannot be made is left out: the records stay one per item, in list order.
    m_fonts.clear();
    std::vector<std::unique_ptr<CFont>> made;
    for (const OXLBFONTINFO& info : unique) {
        auto font = std::make_unique<CFont>();
        if (!MakeItemFont(*font, info.lf)) continue;
        m_fonts.push_back(info);
        made.push_back(std::move(font));
    }
    // Each face's font is selected and measured only when its item first comes into view.
    if (m_hWnd) SendMessage(LB_INITSTORAGE, m_fonts.size(), static_cast<LPARAM>(m_fonts.size() * LF_FACESIZE * sizeof(wchar_t)));
    m_bBulk = true;
    for (size_t i = 0; i < m_fonts.size(); ++i) {
        std::unique_ptr<CFont>& font = made[i];
        OXLISTBOXITEM item;
        item.pFont = font.get();
        item.sTooltipText = m_fonts[i].lf.lfFaceName;
        item.nImageIndex = m_fonts[i].dwType == TRUETYPE_FONTTYPE ? 1 : 0;
        m_fontMap[font.get()] = static_cast<int>(i);
        m_ownedFonts.push_back(std::move(font));
        AddListItem(m_fonts[i].lf.lfFaceName, OXLBI_FONT | OXLBI_IMAGE, &item);
    }
    m_bBulk = false;
    LayOutVisibleItems();
    if (redraw) SetRedraw(TRUE);
    UpdateItemToolTips();
    // Painted when the thread is next idle, not as part of the fill.
    if (m_hWnd) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    return TRUE;
}

CString COXFontListBox::ShownText(const CString& text, CFont*& font) const {
    const OXLBFONTINFO* info = FontInfoOf(font);
    if (!info || !info->bSymbol || text.IsEmpty()) return text;
    font = nullptr;  // the list's own font
    CString shown;
    shown.Format(L"[%ls]", static_cast<const wchar_t*>(text));
    return shown;
}

void COXFontListBox::GetItemTextSize(int index, int& width, int& height) {
    width = height = 0;
    CString text;
    CFont* font = nullptr;
    if (!GetItemTextAndFont(index, text, font)) return;
    const CString shown = ShownText(text, font);
    const CSize size = MeasureText(shown, font ? font->GetSafeHandle() : nullptr);
    if (size.cy < 1 || size.cy > 5000) return;
    width = size.cx;
    height = size.cy;
}

void COXFontListBox::DrawItemText(CDC* dc, const CString& text, const CRect& rect, COLORREF color, CFont* font) {
    const CString shown = ShownText(text, font);
    if (font || shown == text) {
        COXListBoxEx::DrawItemText(dc, shown, rect, color, font);
        return;
    }
    // A symbol face: the list's own font.
    HGDIOBJ old = ::SelectObject(*dc, GetFont() ? static_cast<HGDIOBJ>(GetFont()) : ::GetStockObject(DEFAULT_GUI_FONT));
    COXListBoxEx::DrawItemText(dc, shown, rect, color, nullptr);
    ::SelectObject(*dc, old);
}

int COXFontListBox::AddItemInOrder(const wchar_t* text, UINT mask, const OXLISTBOXITEM* item) {
    int after = m_nLastMRUIndex;
    CString other;
    for (int i = GetCount() - 1; i > m_nLastMRUIndex; --i) {
        GetText(i, other);
        if (lstrcmpiW(other, text) <= 0) {
            after = i;
            break;
        }
    }
    return InsertListItem(after + 1, text, mask, item);
}

BOOL COXFontListBox::InitializeListBox() {
    if (m_hWnd && GetCount() > 0) ResetContent();
    if (!COXListBoxEx::InitializeListBox()) return FALSE;
    SetRedraw(FALSE);
    FillFontList();
    if (m_bSaveRestoreMRU) LoadMRU(OXLB_MRU_SECTION);
    SetRedraw(TRUE);
    return TRUE;
}

// The helper ---------------------------------------------------------------------------------

COXFontListBoxHelper::COXFontListBoxHelper() { m_nMaxMRU = 5; }

BOOL COXFontListBoxHelper::InitializeListBox() {
    // The combo box's choice survives the refill.
    const int selected = (m_hWnd && !IsMultipleSelection()) ? GetCurSel() : -1;
    if (!COXFontListBox::InitializeListBox()) return FALSE;
    if (selected >= 0) SetCurSel(selected);
    return TRUE;
}

BOOL COXFontListBoxHelper::AcceptFont(const OXLBFONTINFO& font) {
    return m_pFontCombo ? m_pFontCombo->AcceptFont(font) : TRUE;
}

#include "paint/GdiCanvas.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>

namespace paint {

namespace {

// A face exists when GDI gives that very face for it, not a substitute.
bool FaceExists(HDC dc, const CString& face) {
    static std::mutex lock;
    static std::map<CString, bool> known;
    CString key = face;
    key.MakeLower();
    std::lock_guard<std::mutex> guard(lock);
    auto at = known.find(key);
    if (at != known.end()) return at->second;
    bool found = false;
    if (face.GetLength() < LF_FACESIZE) {
        LOGFONTW query{};
        query.lfHeight = -16;
        query.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(query.lfFaceName, face, LF_FACESIZE);
        HFONT font = CreateFontIndirectW(&query);
        HGDIOBJ old = SelectObject(dc, font);
        wchar_t actual[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, actual);
        SelectObject(dc, old);
        DeleteObject(font);
        found = face.CompareNoCase(actual) == 0;
    }
    known[key] = found;
    return found;
}

// Stand-ins tried in order for a generic family or a common face.
const std::vector<CString>& StandIns(const CString& lowerName) {
    static const std::vector<CString> serif{L"Times New Roman", L"DejaVu Serif", L"Liberation Serif"};
    static const std::vector<CString> sans{L"Arial", L"DejaVu Sans", L"Liberation Sans"};
    static const std::vector<CString> mono{L"Courier New", L"DejaVu Sans Mono", L"Liberation Mono"};
    static const std::vector<CString> none;
    if (lowerName == L"serif" || lowerName == L"times" || lowerName == L"times new roman" || lowerName == L"georgia") return serif;
    if (lowerName == L"sans-serif" || lowerName == L"arial" || lowerName == L"helvetica" || lowerName == L"verdana" ||
        lowerName == L"tahoma" || lowerName == L"segoe ui" || lowerName == L"ms sans serif")
        return sans;
    if (lowerName == L"monospace" || lowerName == L"courier" || lowerName == L"courier new" || lowerName == L"consolas")
        return mono;
    return none;
}

}  // namespace

CString ResolveFontFace(HDC dc, const CString& familyList) {
    int start = 0;
    while (start <= familyList.GetLength()) {
        int comma = familyList.Find(L',', start);
        if (comma < 0) comma = familyList.GetLength();
        CString name = familyList.Mid(start, comma - start);
        name.Trim();
        name.Trim(L'"'); name.Trim(L'\'');
        start = comma + 1;
        if (name.IsEmpty()) continue;
        CString lower = name;
        lower.MakeLower();
        const auto& standIns = StandIns(lower);
        if (standIns.empty() && FaceExists(dc, name)) return name;
        for (const auto& face : standIns)
            if (FaceExists(dc, face)) return face;
    }
    for (const auto& face : StandIns(L"serif"))
        if (FaceExists(dc, face)) return face;
    return L"DejaVu Serif";
}

GdiCanvas::~GdiCanvas() {
    for (auto& font : m_fonts) {
        DeleteObject(font->handle);
        if (font->measureHandle) DeleteObject(font->measureHandle);
    }
}

int GdiCanvas::MakeFont(const FontRequest& request) {
    for (size_t i = 0; i < m_fonts.size(); ++i)
        if (m_fonts[i]->request == request) return static_cast<int>(i);
    auto font = std::make_unique<Font>();
    font->request = request;
    LOGFONTW description{};
    description.lfHeight = -std::clamp(request.pixelSize, 1, 2000);
    description.lfWeight = request.bold ? FW_BOLD : FW_NORMAL;
    description.lfItalic = request.italic;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfQuality = ANTIALIASED_QUALITY;
    lstrcpynW(description.lfFaceName, ResolveFontFace(m_dc, request.family), LF_FACESIZE);
    font->handle = CreateFontIndirectW(&description);
    font->scale = std::max(1, 8192 / std::max(1, static_cast<int>(-description.lfHeight)));
    font->scale = std::min(font->scale, 64);
    if (font->scale > 1) {
        description.lfHeight *= font->scale;
        font->measureHandle = CreateFontIndirectW(&description);
    }
    if (!font->measureHandle) font->scale = 1;
    {
        HGDIOBJ old = SelectObject(m_dc, font->measureHandle ? font->measureHandle : font->handle);
        DWORD count = GetKerningPairsW(m_dc, 0, nullptr);
        if (count > 0 && count < 100000) {
            std::vector<KERNINGPAIR> pairs(count);
            count = GetKerningPairsW(m_dc, count, pairs.data());
            for (DWORD i = 0; i < count; ++i) {
                const KERNINGPAIR& pair = pairs[i];
                if (!pair.iKernAmount) continue;
                // A table for the first fonts only: a page of a thousand font sizes must not cost 32 KB each.
                if (pair.wFirst < 128 && pair.wSecond < 128 && m_fonts.size() < 64) {
                    if (font->asciiKerning.empty()) font->asciiKerning.assign(128 * 128, 0);
                    font->asciiKerning[(pair.wFirst << 7) | pair.wSecond] = static_cast<std::int16_t>(std::clamp(pair.iKernAmount, -32768, 32767));
                } else {
                    font->kerning[(static_cast<std::uint32_t>(pair.wFirst) << 16) | pair.wSecond] = pair.iKernAmount;
                }
            }
        }
        SelectObject(m_dc, old);
    }
    HGDIOBJ old = SelectObject(m_dc, font->handle);
    TEXTMETRICW metrics{};
    GetTextMetricsW(m_dc, &metrics);
    SelectObject(m_dc, old);
    font->metrics = {static_cast<int>(metrics.tmAscent), static_cast<int>(metrics.tmDescent)};
    m_fonts.push_back(std::move(font));
    return static_cast<int>(m_fonts.size() - 1);
}

GdiCanvas::Font& GdiCanvas::FontAt(int font) {
    if (font < 0 || font >= static_cast<int>(m_fonts.size())) return *m_fonts.at(MakeFont(FontRequest{}));
    return *m_fonts[font];
}

FontMetrics GdiCanvas::Metrics(int font) { return FontAt(font).metrics; }

int GdiCanvas::CharWidth(Font& font, wchar_t ch) {
    auto& block = font.widths[ch >> 8];
    if (!block) {
        block = std::make_unique<std::array<int, 256>>();
        HGDIOBJ old = SelectObject(m_dc, font.measureHandle ? font.measureHandle : font.handle);
        UINT first = ch & 0xFF00u;
        if (!GetCharWidth32W(m_dc, first, first + 255, block->data())) block->fill(font.request.pixelSize * font.scale / 2);
        SelectObject(m_dc, old);
    }
    return (*block)[ch & 0xFF];
}

namespace {

// A length at the measuring size in pixels of the font's own size, rounded to the nearest.
long long Unscale(long long value, int scale) { return value >= 0 ? (value + scale / 2) / scale : -((-value + scale / 2) / scale); }

}  // namespace

int GdiCanvas::MeasureText(int font, const wchar_t* text, int length) {
    Font& f = FontAt(font);
    long long width = 0;
    for (int i = 0; i < length; ++i) width += CharWidth(f, text[i]) + (i > 0 ? Kerning(f, text[i - 1], text[i]) : 0);
    return static_cast<int>(Unscale(width, f.scale));
}

void GdiCanvas::DrawTextRun(int font, int x, int y, const wchar_t* text, int length, Color color) {
    if (length <= 0) return;
    Font& f = FontAt(font);
    // Each glyph goes where the fractional advances before it put it.
    std::vector<INT> advances(static_cast<size_t>(length));
    long long sum = 0;
    long long placed = 0;
    for (int i = 0; i < length; ++i) {
        sum += CharWidth(f, text[i]) + (i + 1 < length ? Kerning(f, text[i], text[i + 1]) : 0);
        const long long next = Unscale(sum, f.scale);
        advances[i] = static_cast<INT>(next - placed);
        placed = next;
    }
    HGDIOBJ old = SelectObject(m_dc, f.handle);
    SetBkMode(m_dc, TRANSPARENT);
    SetTextColor(m_dc, color & 0xFFFFFF);
    SetTextAlign(m_dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    ExtTextOutW(m_dc, x, y, 0, nullptr, text, static_cast<UINT>(length), advances.data());
    SelectObject(m_dc, old);
}

void GdiCanvas::FillRect(const Rect& rect, Color color) {
    if (color == kTransparent || rect.IsEmpty()) return;
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    HBRUSH brush = CreateSolidBrush(color & 0xFFFFFF);
    ::FillRect(m_dc, &r, brush);
    DeleteObject(brush);
}

void GdiCanvas::DrawLine(int x1, int y1, int x2, int y2, int thickness, Color color) {
    thickness = std::max(thickness, 1);
    if (y1 == y2) FillRect({std::min(x1, x2), y1, std::max(x1, x2), y1 + thickness}, color);
    else FillRect({x1, std::min(y1, y2), x1 + thickness, std::max(y1, y2)}, color);
}

void GdiCanvas::DrawPicture(const Rect& rect, const Picture& picture) {
    if (rect.IsEmpty() || picture.width <= 0 || picture.height <= 0) return;
    if (picture.pixels.size() < static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height)) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (picture.hasAlpha) {
        // Through a DIB on a memory DC, blended over what is drawn already.
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap) return;
        memcpy(bits, picture.pixels.data(), picture.pixels.size() * 4);
        HDC memory = CreateCompatibleDC(m_dc);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        GdiAlphaBlend(m_dc, rect.left, rect.top, rect.Width(), rect.Height(), memory, 0, 0, picture.width, picture.height, blend);
        SelectObject(memory, old);
        DeleteDC(memory);
        DeleteObject(bitmap);
        return;
    }
    SetStretchBltMode(m_dc, COLORONCOLOR);
    StretchDIBits(m_dc, rect.left, rect.top, rect.Width(), rect.Height(), 0, 0, picture.width, picture.height,
                  picture.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
}

void GdiCanvas::PushClip(const Rect& rect) {
    m_clipSaves.push_back(SaveDC(m_dc));
    IntersectClipRect(m_dc, rect.left, rect.top, rect.right, rect.bottom);
}

void GdiCanvas::PopClip() {
    if (m_clipSaves.empty()) return;
    RestoreDC(m_dc, m_clipSaves.back());
    m_clipSaves.pop_back();
}

}  // namespace paint

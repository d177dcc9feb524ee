// The canvas over a GDI device context: the page window's double buffer, a
// printer's page or a metafile. Fonts are made once per request and kept; the
// widths of their characters are read once per block of 256 and summed, so
// measuring a run costs no call into GDI. Widths are read from a copy of the
// font many times larger, so that runs measure with the glyphs' fractional
// advances and the font's kerning pairs (as browsers lay text out) rather
// than with whole pixels per glyph.
#pragma once
#include "paint/Canvas.h"

#include <windows.h>

#include <array>
#include <memory>
#include <unordered_map>
#include <vector>

namespace paint {

class GdiCanvas : public Canvas {
public:
    explicit GdiCanvas(HDC dc) : m_dc(dc) {}
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    int MakeFont(const FontRequest& request) override;
    FontMetrics Metrics(int font) override;
    int MeasureText(int font, const wchar_t* text, int length) override;
    void DrawTextRun(int font, int x, int y, const wchar_t* text, int length, Color color) override;
    void FillRect(const Rect& rect, Color color) override;
    void DrawLine(int x1, int y1, int x2, int y2, int thickness, Color color) override;
    void DrawPicture(const Rect& rect, const Picture& picture) override;
    void PushClip(const Rect& rect) override;
    void PopClip() override;

    HDC Dc() const { return m_dc; }

protected:
    void SetDc(HDC dc) { m_dc = dc; }

private:
    struct Font {
        FontRequest request;
        HFONT handle = nullptr;
        HFONT measureHandle = nullptr;  // the same face, `scale` times larger
        int scale = 1;
        FontMetrics metrics;
        std::array<std::unique_ptr<std::array<int, 256>>, 256> widths;
        std::unordered_map<std::uint32_t, int> kerning;  // (first << 16 | second) -> adjustment at the measuring size
        // The pairs of two ASCII characters, looked up by index (most of what pages measure);
        // empty when the font kerns none of them.
        std::vector<std::int16_t> asciiKerning;
    };
    int Kerning(const Font& font, wchar_t first, wchar_t second) const {
        if (first < 128 && second < 128) return font.asciiKerning.empty() ? 0 : font.asciiKerning[(first << 7) | second];
        if (font.kerning.empty()) return 0;
        auto it = font.kerning.find((static_cast<std::uint32_t>(first) << 16) | second);
        return it == font.kerning.end() ? 0 : it->second;
    }
    Font& FontAt(int font);
    int CharWidth(Font& font, wchar_t ch);  // at the measuring size

    HDC m_dc;
    std::vector<std::unique_ptr<Font>> m_fonts;
    std::vector<int> m_clipSaves;
};

// The face GDI is asked for: the first family of the list that exists, with
// the generic names and the common faces mapped to what is installed, and
// the default serif face when none exists.
CString ResolveFontFace(HDC dc, const CString& familyList);

}  // namespace paint

// The canvas over a GDI device context: the page window's double buffer, a
// printer's page or a metafile. Fonts are made once per spec and kept; the
// widths of their characters are read once per block of 256 and summed, so
// measuring a run costs no call into GDI.
#pragma once
#include "paint/Canvas.h"

#include <windows.h>

#include <array>
#include <memory>
#include <vector>

namespace paint {

class GdiCanvas : public Canvas {
public:
    explicit GdiCanvas(HDC dc) : m_dc(dc) {}
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    int MakeFont(const FontSpec& spec) override;
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
        FontSpec spec;
        HFONT handle = nullptr;
        FontMetrics metrics;
        std::array<std::unique_ptr<std::array<int, 256>>, 256> widths;
    };
    Font& FontAt(int font);
    int CharWidth(Font& font, wchar_t ch);

    HDC m_dc;
    std::vector<std::unique_ptr<Font>> m_fonts;
    std::vector<int> m_clipSaves;
};

// The face GDI is asked for: the first family of the list that exists, with
// the generic names and the common faces mapped to what is installed, and
// the default serif face when none exists.
CString ResolveFontFace(HDC dc, const CString& familyList);

}  // namespace paint

// A canvas with fixed character widths (half the font's pixel size, a
// quarter of it below the baseline) that records what is drawn: layout
// tests are the same on every machine and need no window.
#pragma once
#include "paint/Canvas.h"

#include <vector>

class RecordingCanvas : public paint::Canvas {
public:
    struct Run {
        paint::FontRequest font;
        int x, y;
        CString text;
        paint::Color color;
    };
    struct Fill {
        paint::Rect rect;
        paint::Color color;
    };

    int MakeFont(const paint::FontRequest& request) override {
        for (size_t i = 0; i < fonts.size(); ++i)
            if (fonts[i] == request) return static_cast<int>(i);
        fonts.push_back(request);
        return static_cast<int>(fonts.size() - 1);
    }
    paint::FontMetrics Metrics(int font) override {
        int size = fonts.at(font).pixelSize;
        return {size - size / 4, size / 4};
    }
    int MeasureText(int font, const wchar_t*, int length) override { return CharWidth(font) * length; }
    void DrawTextRun(int font, int x, int y, const wchar_t* text, int length, paint::Color color) override {
        runs.push_back({fonts.at(font), x, y, CString(text, length), color});
    }
    void FillRect(const paint::Rect& rect, paint::Color color) override {
        if (color != paint::kTransparent) fills.push_back({rect, color});
    }
    void DrawLine(int x1, int y1, int x2, int y2, int thickness, paint::Color color) override {
        fills.push_back({{x1, y1, std::max(x2, x1 + thickness), std::max(y2, y1 + thickness)}, color});
    }
    void DrawPicture(const paint::Rect& rect, const paint::Picture&) override { pictures.push_back(rect); }
    void PushClip(const paint::Rect&) override {}
    void PopClip() override {}

    int CharWidth(int font) const { return fonts.at(font).pixelSize / 2; }
    const Run* FindRun(const CString& text) const {
        for (const auto& run : runs)
            if (run.text == text) return &run;
        return nullptr;
    }

    std::vector<paint::FontRequest> fonts;
    std::vector<Run> runs;
    std::vector<Fill> fills;
    std::vector<paint::Rect> pictures;
};

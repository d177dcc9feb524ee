#include "layout/Style.h"

#include <cmath>
#include <cwchar>
#include <cwctype>

namespace layout {

int Length::Resolve(int reference, int fallback) const {
    switch (unit) {
    case Unit::Auto: return fallback;
    case Unit::Px: {
        // Rounded half away from zero, as lround does, without its call (every box resolves a dozen lengths).
        const float v = std::clamp(value, -1e6f, 1e6f);
        return static_cast<int>(v >= 0 ? v + 0.5f : v - 0.5f);
    }
    case Unit::Percent: return static_cast<int>(std::floor(std::clamp(value, -1e4f, 1e4f) * reference / 100.0f));
    }
    return fallback;
}

Style Style::Inherit() const {
    Style child;
    child.fontFamily = fontFamily;
    child.fontSize = fontSize;
    child.bold = bold;
    child.italic = italic;
    child.underline = underline;
    child.strike = strike;
    child.color = color;
    child.textAlign = textAlign;
    child.whiteSpace = whiteSpace;
    child.listMarker = listMarker;
    child.quirks = quirks;
    child.blockAlign = blockAlign;
    child.linkColor = linkColor;
    child.unscaledFontSize = unscaledFontSize;
    child.exactFontSize100 = exactFontSize100;
    child.borderCollapse = borderCollapse;
    child.lineHeight = lineHeight;
    child.lineHeightFactor = lineHeightFactor;
    return child;
}

namespace {

struct NamedColor {
    const wchar_t* name;
    paint::Color color;
};

const NamedColor kColors[] = {
    {L"black", paint::Rgb(0, 0, 0)},          {L"silver", paint::Rgb(192, 192, 192)}, {L"gray", paint::Rgb(128, 128, 128)},
    {L"grey", paint::Rgb(128, 128, 128)},     {L"white", paint::Rgb(255, 255, 255)},  {L"maroon", paint::Rgb(128, 0, 0)},
    {L"red", paint::Rgb(255, 0, 0)},          {L"purple", paint::Rgb(128, 0, 128)},   {L"fuchsia", paint::Rgb(255, 0, 255)},
    {L"magenta", paint::Rgb(255, 0, 255)},    {L"green", paint::Rgb(0, 128, 0)},      {L"lime", paint::Rgb(0, 255, 0)},
    {L"olive", paint::Rgb(128, 128, 0)},      {L"yellow", paint::Rgb(255, 255, 0)},   {L"navy", paint::Rgb(0, 0, 128)},
    {L"blue", paint::Rgb(0, 0, 255)},         {L"teal", paint::Rgb(0, 128, 128)},     {L"aqua", paint::Rgb(0, 255, 255)},
    {L"cyan", paint::Rgb(0, 255, 255)},       {L"orange", paint::Rgb(255, 165, 0)},   {L"brown", paint::Rgb(165, 42, 42)},
    {L"pink", paint::Rgb(255, 192, 203)},     {L"gold", paint::Rgb(255, 215, 0)},     {L"lightgrey", paint::Rgb(211, 211, 211)},
    {L"lightgray", paint::Rgb(211, 211, 211)}, {L"darkgray", paint::Rgb(169, 169, 169)}, {L"darkgrey", paint::Rgb(169, 169, 169)},
    {L"darkblue", paint::Rgb(0, 0, 139)},     {L"darkred", paint::Rgb(139, 0, 0)},    {L"darkgreen", paint::Rgb(0, 100, 0)},
    {L"lightblue", paint::Rgb(173, 216, 230)}, {L"lightyellow", paint::Rgb(255, 255, 224)}, {L"lightgreen", paint::Rgb(144, 238, 144)},
    {L"violet", paint::Rgb(238, 130, 238)},   {L"indigo", paint::Rgb(75, 0, 130)},    {L"beige", paint::Rgb(245, 245, 220)},
    {L"ivory", paint::Rgb(255, 255, 240)},    {L"khaki", paint::Rgb(240, 230, 140)},  {L"tan", paint::Rgb(210, 180, 140)},
    {L"salmon", paint::Rgb(250, 128, 114)},   {L"coral", paint::Rgb(255, 127, 80)},   {L"tomato", paint::Rgb(255, 99, 71)},
    {L"orchid", paint::Rgb(218, 112, 214)},   {L"plum", paint::Rgb(221, 160, 221)},   {L"crimson", paint::Rgb(220, 20, 60)},
    {L"skyblue", paint::Rgb(135, 206, 235)},  {L"steelblue", paint::Rgb(70, 130, 180)}, {L"royalblue", paint::Rgb(65, 105, 225)},
    {L"whitesmoke", paint::Rgb(245, 245, 245)}, {L"gainsboro", paint::Rgb(220, 220, 220)}, {L"lavender", paint::Rgb(230, 230, 250)},
    {L"wheat", paint::Rgb(245, 222, 179)},    {L"chocolate", paint::Rgb(210, 105, 30)}, {L"firebrick", paint::Rgb(178, 34, 34)},
    {L"seagreen", paint::Rgb(46, 139, 87)},   {L"forestgreen", paint::Rgb(34, 139, 34)}, {L"midnightblue", paint::Rgb(25, 25, 112)},
};

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

bool ParseHex(const CString& hex, paint::Color& out) {
    for (int i = 0; i < hex.GetLength(); ++i)
        if (HexDigit(hex[i]) < 0) return false;
    if (hex.GetLength() == 3) {
        out = paint::Rgb(HexDigit(hex[0]) * 17, HexDigit(hex[1]) * 17, HexDigit(hex[2]) * 17);
        return true;
    }
    if (hex.GetLength() == 6) {
        out = paint::Rgb(HexDigit(hex[0]) * 16 + HexDigit(hex[1]), HexDigit(hex[2]) * 16 + HexDigit(hex[3]),
                         HexDigit(hex[4]) * 16 + HexDigit(hex[5]));
        return true;
    }
    return false;
}

// A number at the start of text; the rest is the unit.
bool SplitNumber(const CString& text, float& number, CString& unit) {
    const wchar_t* start = text.GetString();
    wchar_t* end = nullptr;
    double value = std::wcstod(start, &end);
    if (end == start || !std::isfinite(value)) return false;
    number = static_cast<float>(std::clamp(value, -1e7, 1e7));
    unit = CString(end);
    unit.Trim();
    unit.MakeLower();
    return true;
}

}  // namespace

bool ParseColor(const CString& raw, paint::Color& out) {
    CString text = raw;
    text.Trim();
    text.MakeLower();
    if (text.IsEmpty()) return false;
    if (text[0] == L'#') return ParseHex(text.Mid(1), out);
    if (text.Left(4) == L"rgb(") {
        int values[3] = {0, 0, 0};
        int index = 0;
        int start = 4;
        while (index < 3) {
            int comma = text.Find(index < 2 ? L',' : L')', start);
            if (comma < 0) return false;
            CString part = text.Mid(start, comma - start);
            part.Trim();
            float number;
            CString unit;
            if (!SplitNumber(part, number, unit)) return false;
            values[index++] = static_cast<int>(std::clamp(unit == L"%" ? number * 2.55f : number, 0.0f, 255.0f));
            start = comma + 1;
        }
        out = paint::Rgb(values[0], values[1], values[2]);
        return true;
    }
    for (const auto& named : kColors)
        if (text == named.name) {
            out = named.color;
            return true;
        }
    return ParseHex(text, out);
}

bool ParseLength(const CString& raw, int fontSize, Length& out) {
    CString text = raw;
    text.Trim();
    text.MakeLower();
    if (text == L"auto") {
        out = Length{};
        return true;
    }
    float number;
    CString unit;
    if (!SplitNumber(text, number, unit)) return false;
    if (unit.IsEmpty() || unit == L"px") out = Length::Px(number);
    else if (unit == L"%") out = Length::Percent(number);
    else if (unit == L"pt") out = Length::Px(number * 4 / 3);
    else if (unit == L"pc") out = Length::Px(number * 16);
    else if (unit == L"in") out = Length::Px(number * 96);
    else if (unit == L"cm") out = Length::Px(number * 96 / 2.54f);
    else if (unit == L"mm") out = Length::Px(number * 96 / 25.4f);
    else if (unit == L"em" || unit == L"rem") out = Length::Px(number * fontSize);
    else if (unit == L"ex") out = Length::Px(number * fontSize / 2);
    else return false;
    return true;
}

bool ParseFontSize(const CString& raw, int parentSize, int& out) {
    float exact = 0;
    if (!ParseFontSize(raw, static_cast<float>(parentSize), exact)) return false;
    out = std::clamp(static_cast<int>(std::lround(exact)), 1, kMaxFontSize);
    return true;
}

bool ParseFontSize(const CString& raw, float parentSize, float& out) {
    static const struct { const wchar_t* name; int size; } kKeywords[] = {
        {L"xx-small", 9}, {L"x-small", 10}, {L"small", 13}, {L"medium", 16}, {L"large", 18}, {L"x-large", 24}, {L"xx-large", 32}};
    CString text = raw;
    text.Trim();
    text.MakeLower();
    for (const auto& keyword : kKeywords)
        if (text == keyword.name) {
            out = static_cast<float>(keyword.size);
            return true;
        }
    if (text == L"smaller") {
        out = std::max(1.0f, parentSize / 1.2f);
        return true;
    }
    if (text == L"larger") {
        out = std::min(parentSize * 1.2f, static_cast<float>(kMaxFontSize));
        return true;
    }
    // Lengths in ems resolve against the parent's size in whole pixels, as the rest of the engine does.
    Length length;
    if (!ParseLength(text, static_cast<int>(std::lround(parentSize)), length) || length.IsAuto() || length.value < 0) return false;
    float pixels = length.IsPercent() ? length.value * parentSize / 100 : length.value;
    out = std::clamp(pixels, 1.0f, static_cast<float>(kMaxFontSize));
    return true;
}

int FontSizeForHtmlSize(const CString& raw, int current, bool& ok) {
    static const int kSizes[] = {10, 13, 16, 18, 24, 32, 48};
    (void)current;
    CString text = raw;
    text.Trim();
    ok = false;
    if (text.IsEmpty()) return current;
    bool relative = text[0] == L'+' || text[0] == L'-';
    wchar_t* end = nullptr;
    long value = std::wcstol(text.GetString(), &end, 10);
    if (end == text.GetString()) return current;
    value = std::clamp(value, -100L, 100L);
    long size = relative ? 3 + value : value;
    ok = true;
    return kSizes[std::clamp(size, 1L, 7L) - 1];
}

}  // namespace layout

#include "source/SourcePrint.h"

#include <vector>

namespace {

// The text's lines (CR LF, CR or LF end a line), tabs as four blanks.
std::vector<CString> SourceLines(const CString& text) {
    std::vector<CString> lines(1);
    for (int i = 0; i < text.GetLength(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            if (c == L'\r' && i + 1 < text.GetLength() && text[i + 1] == L'\n') ++i;
            lines.emplace_back();
        } else if (c == L'\t') {
            lines.back() += L"    ";
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

// How many characters of the line start fit into the width: at least one,
// and up to the last blank when the line goes on past the width.
int WrapLength(HDC dc, const wchar_t* line, int length, int width) {
    int fit = 0;
    SIZE size{};
    if (!GetTextExtentExPointW(dc, line, length, width, &fit, nullptr, &size)) fit = length;
    if (fit >= length) return length;
    for (int blank = fit; blank > 0; --blank)
        if (line[blank] == L' ') return blank + 1;
    return fit > 0 ? fit : 1;
}

}  // namespace

int PrintSourcePages(const CString& text, HDC printer) {
    const int dpiX = GetDeviceCaps(printer, LOGPIXELSX), dpiY = GetDeviceCaps(printer, LOGPIXELSY);
    if (dpiX <= 0 || dpiY <= 0) return 0;
    const RECT area{dpiX / 2, dpiY / 2, GetDeviceCaps(printer, HORZRES) - dpiX / 2,
                    GetDeviceCaps(printer, VERTRES) - dpiY / 2};
    HFONT font = CreateFontW(-MulDiv(10, dpiY, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                             VARIABLE_PITCH | FF_SWISS, L"Arial");
    HGDIOBJ previous = SelectObject(printer, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(printer, &metrics);
    const int lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    int pages = 0;
    if (lineHeight > 0 && area.right > area.left && area.bottom - area.top >= lineHeight) {
        SetBkMode(printer, TRANSPARENT);
        int y = area.bottom;  // the first line starts the first page
        for (const CString& line : SourceLines(text)) {
            int at = 0;
            do {
                if (y + lineHeight > area.bottom) {
                    if (pages) EndPage(printer);
                    StartPage(printer);
                    ++pages;
                    y = area.top;
                }
                const int count = WrapLength(printer, line.GetString() + at, line.GetLength() - at, area.right - area.left);
                ExtTextOutW(printer, area.left, y, 0, nullptr, line.GetString() + at, static_cast<UINT>(count), nullptr);
                at += count;
                y += lineHeight;
            } while (at < line.GetLength());
        }
        EndPage(printer);
    }
    SelectObject(printer, previous);
    DeleteObject(font);
    return pages;
}

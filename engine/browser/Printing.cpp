#include "browser/Printing.h"

#include "layout/DocumentLayout.h"
#include "paint/GdiCanvas.h"

#include <commdlg.h>
#include <docobj.h>

namespace browser {

namespace {
constexpr int kScreenDpi = 96;
}

int PrintPages(const dom::Document& document, HDC reference, int dpi, int pageWidth, int pageHeight, PageSink& sink) {
    dpi = std::max(dpi, 1);
    // Measuring in the device's units of 1/96 inch keeps the layout the screen's.
    paint::GdiCanvas measure(reference);
    int saved = SaveDC(reference);
    SetMapMode(reference, MM_ANISOTROPIC);
    SetWindowExtEx(reference, kScreenDpi, kScreenDpi, nullptr);
    SetViewportExtEx(reference, dpi, dpi, nullptr);
    layout::DocumentLayout layout(document, measure);
    layout.Rebuild(pageWidth);
    std::vector<int> tops = layout.PageBreaks(pageHeight);
    RestoreDC(reference, saved);
    int pages = 0;
    for (size_t i = 0; i < tops.size(); ++i) {
        int top = tops[i];
        int bottom = i + 1 < tops.size() ? tops[i + 1] : top + pageHeight;
        HDC dc = sink.BeginPage();
        if (!dc) break;
        int pageSaved = SaveDC(dc);
        SetMapMode(dc, MM_ANISOTROPIC);
        SetWindowExtEx(dc, kScreenDpi, kScreenDpi, nullptr);
        SetViewportExtEx(dc, dpi, dpi, nullptr);
        paint::GdiCanvas canvas(dc);
        // Only what belongs to this page: the next page's first line is not printed twice.
        canvas.PushClip({0, 0, pageWidth, bottom - top});
        layout.Paint(canvas, {0, top, pageWidth, bottom}, 0, top);
        canvas.PopClip();
        RestoreDC(dc, pageSaved);
        sink.EndPage(dc);
        ++pages;
    }
    return pages;
}

namespace {

class PrinterSink : public PageSink {
public:
    explicit PrinterSink(HDC dc) : m_dc(dc) {}
    HDC BeginPage() override { return StartPage(m_dc) > 0 ? m_dc : nullptr; }
    void EndPage(HDC dc) override { ::EndPage(dc); }

private:
    HDC m_dc;
};

}  // namespace

HRESULT PrintWithDialog(HWND owner, const dom::Document& document, bool prompt) {
    PRINTDLGW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | (prompt ? 0 : PD_RETURNDEFAULT);
    if (!PrintDlgW(&dialog)) return CommDlgExtendedError() == 0 ? OLECMDERR_E_CANCELED : E_FAIL;
    if (dialog.hDevMode) GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
    HDC dc = dialog.hDC;
    if (!dc) return E_FAIL;
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    const int width = MulDiv(GetDeviceCaps(dc, HORZRES), kScreenDpi, std::max(GetDeviceCaps(dc, LOGPIXELSX), 1));
    const int height = MulDiv(GetDeviceCaps(dc, VERTRES), kScreenDpi, std::max(dpi, 1));
    DOCINFOW info{};
    info.cbSize = sizeof(info);
    info.lpszDocName = L"Page";
    HRESULT result = E_FAIL;
    if (StartDocW(dc, &info) > 0) {
        PrinterSink sink(dc);
        int pages = PrintPages(document, dc, dpi, width, height, sink);
        result = EndDoc(dc) > 0 && pages > 0 ? S_OK : E_FAIL;
    }
    DeleteDC(dc);
    return result;
}

}  // namespace browser

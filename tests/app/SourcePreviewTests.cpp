// The source view's print preview in the main window, driven with the
// mouse: its pages are what printing draws, it pages and zooms through its
// own buttons, and closing the main window while it is up only ends it.
#include "ProgramDriver.h"
#include "TreeFixture.h"
#include "Utf16Bytes.h"
#include "docview/Document.h"
#include "docview/PreviewView.h"
#include "docview/PrintInfo.h"
#include "gdi/DC.h"
#include "resource.h"
#include "source/SourceView.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// A 32-bit picture in memory that GDI draws into.
class Canvas {
public:
    Canvas(int width, int height) : m_dc(CreateCompatibleDC(nullptr)), m_count(static_cast<size_t>(width) * height) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &m_bits, nullptr, 0);
        m_old = SelectObject(m_dc, m_bitmap);
    }
    ~Canvas() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC Dc() const { return m_dc; }
    std::vector<COLORREF> Pixels() const {
        GdiFlush();
        const auto* first = static_cast<const COLORREF*>(m_bits);
        return std::vector<COLORREF>(first, first + m_count);
    }

private:
    HDC m_dc;
    size_t m_count;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    void* m_bits = nullptr;
};

// The pixels of a rectangle of the window, as it shows them.
std::vector<COLORREF> Pixels(HDC source, const RECT& rect) {
    Canvas canvas(rect.right - rect.left, rect.bottom - rect.top);
    BitBlt(canvas.Dc(), 0, 0, rect.right - rect.left, rect.bottom - rect.top, source, rect.left, rect.top, SRCCOPY);
    return canvas.Pixels();
}

// A metafile page played on white paper of the size.
std::vector<COLORREF> Played(HENHMETAFILE page, int width, int height) {
    Canvas canvas(width, height);
    RECT all{0, 0, width, height};
    FillRect(canvas.Dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    PlayEnhMetaFile(canvas.Dc(), page, &all);
    return canvas.Pixels();
}

int Differences(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
    if (a.size() != b.size()) return static_cast<int>(std::max(a.size(), b.size()));
    int different = 0;
    for (size_t i = 0; i < a.size(); ++i) different += (a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF);
    return different;
}

int Inked(const std::vector<COLORREF>& pixels) {
    int inked = 0;
    for (COLORREF pixel : pixels) inked += (pixel & 0xFFFFFF) != 0xFFFFFF;
    return inked;
}

}  // namespace

TEST_F(TreeWindow, SourcePreviewShowsWhatPrintingDrawsAndIsPagedThroughWithTheMouse) {
    CString body;
    for (int i = 0; i < 140; ++i) body.AppendFormat(L"<P>line %d of the source, with some words to print</P>\n", i);
    const CString path = Page(L"Three.htm", body);
    OpenWindow();
    SetForegroundWindow(m_frame->m_hWnd);
    Tree().SelectItem(Item(L"Three.htm"));
    m_frame->SendMessage(WM_COMMAND, ID_VIEW_SOURCE);
    ASSERT_EQ(m_sources->GetDocuments().size(), 1u);
    auto* view = dynamic_cast<CSourceView*>(m_sources->GetDocuments().front()->GetViews().front());
    ASSERT_NE(view, nullptr);
    const std::string before = ReadFileBytes(path);

    m_frame->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
    PumpMessages();
    CPreviewView* preview = m_frame->m_pPreview;
    ASSERT_NE(preview, nullptr);
    ASSERT_EQ(preview->GetPageCount(), 3u);
    EXPECT_FALSE(IsWindowVisible(m_frame->m_hWndMDIClient));
    EXPECT_FALSE(m_frame->m_wndTreeBar.IsWindowVisible());

    // Each page shows what printing the page on a metafile of the same
    // paper draws.
    const CSize paper = preview->GetPaperSize();
    auto printed = [&](UINT page) {
        CDC reference;
        reference.Attach(CreateCompatibleDC(nullptr));
        CPrintInfo info;
        info.m_rectDraw = CRect(0, 0, paper.cx, paper.cy);
        view->OnBeginPrinting(&reference, &info);
        const CRect frame(0, 0, MulDiv(paper.cx, 2540, reference.GetDeviceCaps(LOGPIXELSX)),
                          MulDiv(paper.cy, 2540, reference.GetDeviceCaps(LOGPIXELSY)));
        CDC metafile;
        metafile.Attach(CreateEnhMetaFileW(reference, nullptr, &frame, nullptr));
        info.m_nCurPage = page;
        view->OnPrepareDC(&metafile, &info);
        view->OnPrint(&metafile, &info);
        view->OnEndPrinting(&reference, &info);
        return CloseEnhMetaFile(metafile.Detach());
    };
    std::vector<std::vector<COLORREF>> shown;
    auto expectPage = [&](UINT page) {
        RedrawWindow(preview->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        const CRect sheet = preview->GetPageRect(0);
        ASSERT_FALSE(sheet.IsRectEmpty());
        HDC window = GetDC(preview->m_hWnd);
        std::vector<COLORREF> onScreen = Pixels(window, sheet);
        ReleaseDC(preview->m_hWnd, window);
        HENHMETAFILE expected = printed(page);
        std::vector<COLORREF> onPaper = Played(expected, sheet.Width(), sheet.Height());
        DeleteEnhMetaFile(expected);
        EXPECT_GT(Inked(onPaper), 500) << "page " << page;
        EXPECT_LE(Differences(onScreen, onPaper), static_cast<int>(onScreen.size() / 200)) << "page " << page;
        shown.push_back(onScreen);
    };
    auto click = [&](UINT button) {
        RECT rect{};
        GetWindowRect(GetDlgItem(preview->m_hWnd, static_cast<int>(button)), &rect);
        ProgramDriver::MouseClick(Middle(rect));
        PumpUntil([] { return false; }, 300);
    };
    auto enabled = [&](UINT button) { return IsWindowEnabled(GetDlgItem(preview->m_hWnd, static_cast<int>(button))) != FALSE; };

    expectPage(1);
    EXPECT_FALSE(enabled(AFX_ID_PREVIEW_PREV));
    click(AFX_ID_PREVIEW_NEXT);
    EXPECT_EQ(preview->GetCurrentPage(), 2u);
    expectPage(2);
    click(AFX_ID_PREVIEW_NEXT);
    EXPECT_EQ(preview->GetCurrentPage(), 3u);
    expectPage(3);
    EXPECT_FALSE(enabled(AFX_ID_PREVIEW_NEXT));
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_GT(Differences(shown[0], shown[1]), 0);
    EXPECT_GT(Differences(shown[1], shown[2]), 0);

    // Two pages side by side end with the last page; zoom in and out.
    click(AFX_ID_PREVIEW_NUMPAGE);
    EXPECT_EQ(preview->GetShownPages(), 2u);
    EXPECT_EQ(preview->GetCurrentPage(), 2u);
    EXPECT_FALSE(preview->GetPageRect(1).IsRectEmpty());
    const CRect whole = preview->GetPageRect(0);
    click(AFX_ID_PREVIEW_ZOOMIN);
    EXPECT_EQ(preview->GetZoom(), 1);
    EXPECT_GT(preview->GetPageRect(0).Width(), whole.Width());
    click(AFX_ID_PREVIEW_ZOOMOUT);
    EXPECT_EQ(preview->GetZoom(), 0);
    click(AFX_ID_PREVIEW_NUMPAGE);
    click(AFX_ID_PREVIEW_PREV);
    EXPECT_EQ(preview->GetCurrentPage(), 1u);

    // Closing the main window while the preview is up ends the preview only.
    m_frame->PostMessage(WM_SYSCOMMAND, SC_CLOSE);
    PumpUntil([&] { return m_frame->m_pPreview == nullptr; });
    EXPECT_EQ(m_frame->m_pPreview, nullptr);
    ASSERT_TRUE(IsWindow(m_frame->m_hWnd));
    EXPECT_TRUE(IsWindowVisible(m_frame->m_hWndMDIClient));
    EXPECT_TRUE(m_frame->m_wndTreeBar.IsWindowVisible());
    // Its own Close button ends it as well.
    m_frame->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW);
    PumpMessages();
    ASSERT_NE(m_frame->m_pPreview, nullptr);
    preview = m_frame->m_pPreview;
    click(AFX_ID_PREVIEW_CLOSE);
    PumpUntil([&] { return m_frame->m_pPreview == nullptr; });
    EXPECT_EQ(m_frame->m_pPreview, nullptr);

    // The source saved unchanged is the page byte for byte.
    m_frame->SendMessage(WM_COMMAND, ID_FILE_SAVE);
    EXPECT_EQ(ReadFileBytes(path), before);
}

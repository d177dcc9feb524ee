#include "ToolkitFixture.h"

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

BarFrameFixture::BarFrameFixture(CFrameWnd* frameObject) {
    frame = frameObject;
    frame->CreateEx(0, nullptr, L"toolkit", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 50, 50, 700, 500, nullptr, nullptr);
    frame->EnableDocking(CBRS_ALIGN_ANY);
    bar.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_ANY | CBRS_GRIPPER | CBRS_TOOLTIPS, CRect(3, 1, 0, 1),
                 32950);
    bar.LoadToolBar(300);
    bar.EnableDocking(CBRS_ALIGN_ANY, TRUE);
    frame->DockControlBar(&bar);
    PumpMessages();
}

BarFrameFixture::~BarFrameFixture() {
    if (frame->m_hWnd) frame->DestroyWindow();
    PumpMessages();
}

MemoryCanvas::MemoryCanvas(int width, int height, COLORREF fill) {
    HDC screen = GetDC(nullptr);
    dc.Attach(CreateCompatibleDC(screen));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    m_old = dc.SelectObject(m_bitmap);
    dc.FillSolidRect(CRect(0, 0, width, height), fill);
}

MemoryCanvas::~MemoryCanvas() {
    dc.SelectObject(m_old);
    dc.DeleteDC();
    DeleteObject(m_bitmap);
}

int MemoryCanvas::Count(const CRect& r, COLORREF color) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) n += Pixel(x, y) == color;
    return n;
}

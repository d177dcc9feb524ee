// What the toolkit tests share: an application whose profile lives under
// Software\TarveloTests\<name> (removed again), a frame with a cool toolbar
// loaded from the test resource, and a memory bitmap to draw into.
#pragma once
#include "bars/CoolToolBar.h"
#include "skins/Skin.h"

#include <gtest/gtest.h>

#include <memory>

// Removes the test profile before and after; works for any application class.
template <typename App>
class TestApp : public App {
public:
    explicit TestApp(const wchar_t* name) {
        this->m_pszAppName = name;
        this->SetRegistryKey(L"TarveloTests");
        this->m_pszProfileName = name;
        RegDeleteTreeW(HKEY_CURRENT_USER, this->GetProfileRoot());
    }
    ~TestApp() override { RegDeleteTreeW(HKEY_CURRENT_USER, this->GetProfileRoot()); }
};

void PumpMessages();

// A frame of 700 x 500 with all four dock bars and a cool toolbar docked at the top.
class BarFrameFixture {
public:
    explicit BarFrameFixture(CFrameWnd* frameObject = new CFrameWnd);
    ~BarFrameFixture();
    CFrameWnd* frame = nullptr;  // deletes itself with its window
    COXCoolToolBar bar;
};

// A 24-bit memory bitmap selected into its own DC.
class MemoryCanvas {
public:
    MemoryCanvas(int width, int height, COLORREF fill = RGB(1, 2, 3));
    ~MemoryCanvas();
    CDC dc;
    COLORREF Pixel(int x, int y) const { return dc.GetPixel(x, y); }
    // How many pixels of the rectangle have this colour.
    int Count(const CRect& r, COLORREF color) const;

private:
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
};

// Skins: the colour rules of the Office looks (against the system colours
// of the moment), the 2003 look with and without a visual style, theme
// handles closed again, the skinned application's skin list, the element
// skin lookup, and the 2003 gradients and gripper dots in pixels.
#include "ToolkitFixture.h"

#include "skins/ToolbarSkin.h"

#include <cmath>

namespace {

COLORREF Blend(COLORREF a, COLORREF b, double wa, double wb) {
    auto ch = [&](int s) { return static_cast<int>(std::min(255.0, std::trunc(((a >> s) & 0xFF) * wa + ((b >> s) & 0xFF) * wb))); };
    return RGB(ch(0), ch(8), ch(16));
}

TEST(SkinColors, ArithmeticTruncatesAndClampsPerChannel) {
    // 0.7 and 0.3 are single precision: 255 * 0.699999988 + 0 truncates to 178.
    EXPECT_EQ(COXSkinXP::BlendColors(RGB(255, 255, 255), 0, 0.7f, 0.3f), RGB(178, 178, 178));
    // Weights summing to 1 over a full channel stay at 255, never wrap.
    EXPECT_EQ(COXSkinXP::BlendColors(RGB(255, 0, 255), RGB(255, 0, 255), 0.5f, 0.5f), RGB(255, 0, 255));
    EXPECT_EQ(COXSkinXP::BlendColors(RGB(200, 200, 200), RGB(200, 200, 200), RGB(200, 200, 200), 1.0f, 1.0f, 1.0f),
              RGB(255, 255, 255));
    EXPECT_EQ(COXSkinXP::OffsetColor(RGB(5, 250, 100), -8, 12, 0), RGB(0, 255, 100));
    EXPECT_EQ(COXSkinXP::ScaleColor(RGB(100, 200, 10), 0.5f, 2.0f, 1.0f), RGB(50, 255, 10));
    EXPECT_EQ(COXSkinXP::InvertColor(RGB(0, 100, 255)), RGB(255, 155, 0));
}

TEST(SkinColors, OfficeXPColoursFollowTheSystemColours) {
    COXSkinXP xp;
    const COLORREF W = GetSysColor(COLOR_WINDOW), HL = GetSysColor(COLOR_HIGHLIGHT), F = GetSysColor(COLOR_3DFACE),
                   S = GetSysColor(COLOR_3DSHADOW), G = GetSysColor(COLOR_GRAYTEXT);
    EXPECT_EQ(xp.GetColor(0), Blend(W, HL, 0.699999988079071, 0.30000001192092896));
    EXPECT_EQ(xp.GetColor(3), HL);
    EXPECT_EQ(xp.GetColor(5), S);
    EXPECT_EQ(xp.GetColor(7), F);
    EXPECT_EQ(xp.GetColor(8), COXSkinXP::OffsetColor(G, -8, -12, -22));
    EXPECT_EQ(xp.GetColor(9), COXSkinXP::OffsetColor(S, 38, 38, 38));
    EXPECT_EQ(xp.GetColor(13), GetSysColor(COLOR_CAPTIONTEXT));
    EXPECT_EQ(xp.GetColor(15), xp.GetColor(6));
    EXPECT_EQ(xp.GetColor(17), xp.GetColor(9));
    EXPECT_EQ(xp.GetType(), 1);
    EXPECT_EQ(xp.GetName(), L"Office XP");
}

// A pretend visual-style library: a theme that is on or off, and a count of open handles.
struct FakeTheme {
    static inline bool on = true;
    static inline int open = 0, opened = 0;
    static HANDLE WINAPI Open(HWND, LPCWSTR classes) {
        if (!on || lstrcmpW(classes, L"button") != 0) return nullptr;
        ++open;
        ++opened;
        return reinterpret_cast<HANDLE>(0x1234);
    }
    static COLORREF WINAPI Color(HANDLE, int index) { return index == COLOR_ACTIVECAPTION ? RGB(10, 100, 200) : RGB(50, 120, 240); }
    static HRESULT WINAPI Close(HANDLE) {
        --open;
        return S_OK;
    }
};

TEST(SkinColors, Office2003UsesTheVisualStyleAndClosesEveryThemeItOpens) {
    FakeTheme::on = true;
    FakeTheme::open = FakeTheme::opened = 0;
    COXSkin2003 themed(COXUxTheme::Functions{&FakeTheme::Open, &FakeTheme::Color, &FakeTheme::Close});
    const COLORREF caption = RGB(10, 100, 200), style = RGB(50, 120, 240), W = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(themed.GetColor(0), 0xC2EEFFu);
    EXPECT_EQ(themed.GetColor(2), 0x3E80FEu);
    EXPECT_EQ(themed.GetColor(3), COXSkinXP::OffsetColor(caption, 0, -84, -99));
    EXPECT_EQ(themed.GetColor(5), COXSkinXP::BlendColors(caption, 0, 0.55f, 0.45f));
    EXPECT_EQ(themed.GetColor(7), COXSkinXP::BlendColors(W, style, 0.7f, 0.3f));
    EXPECT_EQ(themed.GetColor(15), themed.GetColor(7));  // asks its own colour 7
    EXPECT_EQ(themed.GetColor(16), 0x8D8D8Du);
    EXPECT_EQ(themed.GetAuxColor(1), COXSkinXP::BlendColors(W, style, 0.3f, 0.7f));
    EXPECT_GT(FakeTheme::opened, 5);
    EXPECT_EQ(FakeTheme::open, 0);  // every handle closed again

    // Without a visual style the XP palette, with the exceptions of the table.
    FakeTheme::on = false;
    COXSkinXP xp;
    EXPECT_EQ(themed.GetColor(0), xp.GetColor(0));
    EXPECT_EQ(themed.GetColor(10), xp.GetColor(9));
    EXPECT_EQ(themed.GetColor(7), GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(themed.GetColor(15), GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(themed.GetColor(8), GetSysColor(COLOR_BTNTEXT));

    // A library without the functions: no theme and no call through a null pointer.
    COXSkin2003 bare(COXUxTheme::Functions{});
    EXPECT_FALSE(bare.IsThemed());
    EXPECT_EQ(bare.GetColor(3), GetSysColor(COLOR_HIGHLIGHT));
    COXSkin2003 noColor(COXUxTheme::Functions{&FakeTheme::Open, nullptr, nullptr});
    FakeTheme::on = true;
    EXPECT_EQ(noColor.GetColor(12), 0u);  // the style colour reads 0
    EXPECT_EQ(noColor.GetType(), 1);
}

TEST(SkinColors, UnderThisSystemThe2003LookDrawsWithoutAVisualStyle) {
    COXSkin2003 real;
    COXSkinXP xp;
    // Wine reports no visual style: the 2003 look falls back to the XP palette (recorded, not required).
    if (!real.IsThemed()) {
        EXPECT_EQ(real.GetColor(0), xp.GetColor(0));
        EXPECT_EQ(real.GetColor(9), xp.GetColor(9));
    }
    EXPECT_EQ(real.GetName(), L"Office 2003");
}

// A skin whose destruction is counted.
class CountedSkin : public COXSkinClassic {
public:
    explicit CountedSkin(int& deaths) : m_deaths(deaths) {}
    ~CountedSkin() override { ++m_deaths; }

private:
    int& m_deaths;
};

TEST(SkinnedApp, SkinsAreChosenByExactNameAndReplacedSkinsAreDeletedUnlessCurrent) {
    int deaths = 0;
    {
        TestApp<COXSkinnedApp> app(L"SkinTests");
        ASSERT_NE(app.GetCurrentSkin(), nullptr);
        EXPECT_EQ(app.GetCurrentSkin()->GetName(), L"Office XP");
        EXPECT_TRUE(app.SetCurrentSkin(L"Office 2003"));
        EXPECT_EQ(app.GetCurrentSkinType(), 1);
        EXPECT_FALSE(app.SetCurrentSkin(L"office xp"));
        EXPECT_EQ(app.GetCurrentSkin(), nullptr);
        EXPECT_EQ(app.GetCurrentSkinType(), 1);  // left as it was

        // Replacing a skin that is not current deletes the old one at once.
        app.AddSkin(std::make_unique<CountedSkin>(deaths));
        app.AddSkin(std::make_unique<CountedSkin>(deaths));
        EXPECT_EQ(deaths, 1);
        // The current one lives on until the application ends.
        ASSERT_TRUE(app.SetCurrentSkin(L"Classic"));
        COXSkin* current = app.GetCurrentSkin();
        app.AddSkin(std::make_unique<CountedSkin>(deaths));
        EXPECT_EQ(deaths, 1);
        EXPECT_EQ(current->GetName(), L"Classic");
        EXPECT_EQ(app.GetCurrentSkin(), current);
    }
    EXPECT_EQ(deaths, 3);
}

// A look derived from Office XP that changes only its background colour.
class GreenXP : public COXSkinXP {
public:
    COLORREF GetBackgroundColor() const override { return RGB(0, 160, 0); }
};

TEST(SkinColors, EachColourHasItsGetterAndADerivedLookChangesItEverywhere) {
    COXSkinXP xp;
    const COLORREF W = GetSysColor(COLOR_WINDOW), F = GetSysColor(COLOR_3DFACE), S = GetSysColor(COLOR_3DSHADOW);
    EXPECT_EQ(xp.GetPressedItemColor(), xp.GetColor(2));
    EXPECT_EQ(xp.GetMenuColor(), COXSkinXP::BlendColors(W, F, 0.86f, 0.14f));
    EXPECT_EQ(xp.GetGripperColor(), COXSkinXP::OffsetColor(S, 32, 32, 32));
    EXPECT_EQ(xp.GetFrameBorderColor(), xp.GetColor(14));
    EXPECT_EQ(xp.GetColor(COXSkinXP::kColorCount), 0u);  // out of range

    // The bar background, the frame inside its edge (colour 15 asks colour 6) and the toolbar skin follow the override.
    GreenXP green;
    EXPECT_EQ(green.GetColor(6), RGB(0, 160, 0));
    EXPECT_EQ(green.GetFrameColor(), RGB(0, 160, 0));
    MemoryCanvas canvas(20, 20);
    static_cast<COXToolbarSkinXP*>(green.GetToolbarSkin())->FillButtonBackground(&canvas.dc, CRect(0, 0, 20, 20));
    EXPECT_EQ(canvas.Pixel(10, 10), RGB(0, 160, 0));

    // The 2003 look answers through the same getters; without a style its disabled text asks its own separator colour.
    COXSkin2003 plain(COXUxTheme::Functions{});
    const COXSkinXP& asXP = plain;
    EXPECT_EQ(asXP.GetBorderColor(), xp.GetSeparatorColor());
    EXPECT_EQ(asXP.GetDisabledTextColor(), plain.GetSeparatorColor());
    EXPECT_EQ(asXP.GetFrameColor(), plain.GetFaceColor());
}

TEST(SkinnedApp, WindowsDrawWithTheCurrentSkinOrTheirOwnClassicSkin) {
    std::unique_ptr<COXToolbarSkin> first, second;
    {
        TestApp<CWinApp> plain(L"SkinTests");
        COXToolbarSkin* a = LookupElementSkin<COXToolbarSkin, COXToolbarSkinClassic>(first, &COXSkin::GetToolbarSkin);
        COXToolbarSkin* b = LookupElementSkin<COXToolbarSkin, COXToolbarSkinClassic>(second, &COXSkin::GetToolbarSkin);
        EXPECT_NE(a, b);  // each window its own
        EXPECT_NE(dynamic_cast<COXToolbarSkinClassic*>(a), nullptr);
        COXToolbarSkin* again = LookupElementSkin<COXToolbarSkin, COXToolbarSkinClassic>(first, &COXSkin::GetToolbarSkin);
        EXPECT_EQ(again, a);  // kept, not made anew
    }
    TestApp<COXSkinnedApp> skinned(L"SkinTests");
    std::unique_ptr<COXToolbarSkin> unused;
    COXToolbarSkin* xp = LookupElementSkin<COXToolbarSkin, COXToolbarSkinClassic>(unused, &COXSkin::GetToolbarSkin);
    EXPECT_EQ(xp, skinned.GetCurrentSkin()->GetToolbarSkin());
    EXPECT_EQ(unused, nullptr);
    EXPECT_NE(dynamic_cast<COXToolbarSkinXP*>(xp), nullptr);
    skinned.SetCurrentSkin(L"Office 2003");
    COXToolbarSkin* office2003 = LookupElementSkin<COXToolbarSkin, COXToolbarSkinClassic>(unused, &COXSkin::GetToolbarSkin);
    EXPECT_NE(dynamic_cast<COXToolbarSkin2003*>(office2003), nullptr);
}

TEST(Skin2003Drawing, GradientsRunBetweenTheirColoursAndDotsSitOnTheBand) {
    COXSkin2003 skin(COXUxTheme::Functions{});
    MemoryCanvas canvas(40, 40);
    // Through GradientFill: the vertices carry channel x 255, so 255 arrives as 254.
    skin.GradientFill(&canvas.dc, CRect(0, 0, 10, 20), RGB(255, 255, 255), RGB(0, 0, 0), TRUE);
    const COLORREF top = canvas.Pixel(5, 0);
    EXPECT_GE(GetRValue(top), 250);
    EXPECT_LE(GetRValue(top), 255);
    EXPECT_LE(GetRValue(canvas.Pixel(5, 19)), 16);
    // Line by line: channel = c1 + (c2 - c1) * y / height.
    skin.UseLineGradients();
    skin.GradientFill(&canvas.dc, CRect(20, 0, 30, 10), RGB(0, 0, 0), RGB(100, 200, 50), TRUE);
    EXPECT_EQ(canvas.Pixel(25, 0), RGB(0, 0, 0));
    EXPECT_EQ(canvas.Pixel(25, 5), RGB(50, 100, 25));
    EXPECT_EQ(canvas.Pixel(25, 9), RGB(90, 180, 45));
    skin.GradientFill(&canvas.dc, CRect(0, 30, 10, 35), RGB(0, 0, 0), RGB(100, 0, 0), FALSE);
    EXPECT_EQ(canvas.Pixel(3, 32), RGB(30, 0, 0));

    // Dots down a band 2 pixels wide: dark 2 x 2 squares every 4 rows, light below and right.
    MemoryCanvas dots(20, 20, RGB(1, 2, 3));
    skin.DrawGripperDots(&dots.dc, CRect(5, 2, 7, 12), TRUE);
    const COLORREF dark = skin.GetColor(11), light = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(dots.Pixel(5, 2), dark);
    EXPECT_EQ(dots.Pixel(6, 3), dark);
    EXPECT_EQ(dots.Pixel(7, 4), light);
    EXPECT_EQ(dots.Pixel(5, 6), dark);
    EXPECT_EQ(dots.Pixel(9, 2), RGB(1, 2, 3));
}

}  // namespace

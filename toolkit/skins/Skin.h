// Skins: a named set of element skins, one drawing object per kind of
// window (tool bars, menus, dock bars, tabs, shortcut bars, mini frames,
// status bars, frames). Three looks: Classic (system colours), Office XP
// (colours blended from the system colours) and Office 2003 (gradients and
// the colours of the active visual style, the XP colours without one).
//
// An application that offers skins derives from COXSkinnedApp, which owns
// the three skins and knows the current one. Every skinned window asks for
// its element skin at each paint (LookupElementSkin): the current skin's,
// or, in any other application, a Classic one the window keeps for itself.
#pragma once
#include "app/WinApp.h"
#include "skins/ElementSkins.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

class COXSkin {
public:
    virtual ~COXSkin();
    COXSkin(const COXSkin&) = delete;
    COXSkin& operator=(const COXSkin&) = delete;

    // 0 Classic, 1 Office XP (and Office 2003), 3 the bare skin.
    virtual int GetType() const { return 3; }
    CString GetName() const { return m_strName; }

    COXToolbarSkin* GetToolbarSkin() const { return m_pToolbarSkin.get(); }
    COXMenuSkin* GetMenuSkin() const { return m_pMenuSkin.get(); }
    COXDockbarSkin* GetDockbarSkin() const { return m_pDockbarSkin.get(); }
    COXTabSkin* GetTabSkin() const { return m_pTabSkin.get(); }
    COXShortcutBarSkin* GetShortcutBarSkin() const { return m_pShortcutBarSkin.get(); }
    COXMiniFrameSkin* GetMiniFrameSkin() const { return m_pMiniFrameSkin.get(); }
    COXStatusbarSkin* GetStatusbarSkin() const { return m_pStatusbarSkin.get(); }

protected:
    explicit COXSkin(const wchar_t* name) : m_strName(name) {}

    CString m_strName;
    std::unique_ptr<COXToolbarSkin> m_pToolbarSkin;
    std::unique_ptr<COXMenuSkin> m_pMenuSkin;
    std::unique_ptr<COXToolbarSkin> m_pToolbarSkin2;  // made with the skin, asked for by no window
    std::unique_ptr<COXDockbarSkin> m_pDockbarSkin;
    std::unique_ptr<COXTabSkin> m_pTabSkin;
    std::unique_ptr<COXShortcutBarSkin> m_pShortcutBarSkin;
    std::unique_ptr<COXMiniFrameSkin> m_pMiniFrameSkin;
    std::unique_ptr<COXStatusbarSkin> m_pStatusbarSkin;
    std::unique_ptr<COXFrameSkin> m_pFrameSkin;
};

class COXSkinClassic : public COXSkin {
public:
    COXSkinClassic();
    int GetType() const override { return 0; }
};

class COXSkinXP : public COXSkin {
public:
    COXSkinXP();
    int GetType() const override { return 1; }

    // The look's eighteen colours, numbered 0-17 in this order (the element skins ask
    // for them by number through GetColor). XP blends them from the system colours.
    virtual COLORREF GetHotItemColor() const;        // 0 face of a hot button or item
    virtual COLORREF GetCheckedItemColor() const;    // 1 face of a checked button
    virtual COLORREF GetPressedItemColor() const;    // 2 face of a pressed (or hot checked) one
    virtual COLORREF GetActiveBorderColor() const;   // 3 frame around a lit face
    virtual COLORREF GetMenuColor() const;           // 4 popup menu items
    virtual COLORREF GetMenuBorderColor() const;     // 5 popup menu frame
    virtual COLORREF GetBackgroundColor() const;     // 6 bars, the image column
    virtual COLORREF GetFaceColor() const;           // 7 dock bars, a floating bar's edge
    virtual COLORREF GetArrowColor() const;          // 8 scroll arrows and tab text
    virtual COLORREF GetSeparatorColor() const;      // 9
    virtual COLORREF GetBorderColor() const;         // 10 lines and frames of docked bars
    virtual COLORREF GetGripperColor() const;        // 11
    virtual COLORREF GetCaptionColor() const;        // 12 floating frame caption
    virtual COLORREF GetCaptionTextColor() const;    // 13
    virtual COLORREF GetFrameBorderColor() const;    // 14 floating frame edge
    virtual COLORREF GetFrameColor() const;          // 15 floating frame inside the edge
    virtual COLORREF GetDisabledColor() const;       // 16 disabled images
    virtual COLORREF GetDisabledTextColor() const;   // 17 disabled menu text
    // Colour n (0-17) of the list above, through its getter.
    COLORREF GetColor(int n) const;
    static constexpr int kColorCount = 18;

    // Per channel min(trunc(c1*w1 + c2*w2 + c3*w3), 255); the weights are single precision.
    static COLORREF BlendColors(COLORREF c1, COLORREF c2, COLORREF c3, float w1, float w2, float w3);
    static COLORREF BlendColors(COLORREF c1, COLORREF c2, float w1, float w2) { return BlendColors(c1, c2, 0, w1, w2, 0.0f); }
    // Per channel c + d, clamped to 0..255.
    static COLORREF OffsetColor(COLORREF c, int dr, int dg, int db);
    static COLORREF ScaleColor(COLORREF c, float fr, float fg, float fb);
    static COLORREF InvertColor(COLORREF c);

    // The flat caption button of this look (kind: a DFCS_CAPTION* value) at `rect` of `dc`,
    // hot while the cursor is over it in `window`'s coordinates, pressed while a window holds
    // the mouse capture; an inactive button shows a grey glyph.
    virtual void DrawFrameButton(CDC* dc, const CRect& rect, UINT kind, BOOL inactive, BOOL title, COLORREF background,
                                 CWnd* window) const;

protected:
    explicit COXSkinXP(const wchar_t* name) : COXSkin(name) {}
    // The flat caption button over a background that `paintBackground` draws into the
    // button's bitmap (origin at the button's top-left) where the XP button fills its
    // background colour.
    void DrawFrameButtonOver(CDC* dc, const CRect& rect, UINT kind, BOOL inactive, BOOL title, COLORREF background,
                             CWnd* window, const std::function<void(CDC&, const CRect&)>& paintBackground) const;
};

// The visual-style library, loaded for the life of the object. Without it
// (or any of its functions) there is no theme and every colour is 0.
class COXUxTheme {
public:
    using OpenProc = HANDLE(WINAPI*)(HWND, LPCWSTR);
    using ColorProc = COLORREF(WINAPI*)(HANDLE, int);
    using CloseProc = HRESULT(WINAPI*)(HANDLE);
    struct Functions {
        OpenProc open = nullptr;
        ColorProc sysColor = nullptr;
        CloseProc close = nullptr;
    };

    COXUxTheme();
    // Uses the functions given instead of the library's (tests, other platforms).
    explicit COXUxTheme(const Functions& functions) : m_functions(functions) {}
    virtual ~COXUxTheme();
    COXUxTheme(const COXUxTheme&) = delete;
    COXUxTheme& operator=(const COXUxTheme&) = delete;

    HANDLE OpenThemeData(HWND hwnd, const wchar_t* classList) const;
    COLORREF GetThemeSysColor(HANDLE theme, int index) const;
    void CloseThemeData(HANDLE theme) const;

private:
    HMODULE m_module = nullptr;
    Functions m_functions;
};

// A theme handle for the length of one colour query.
class ScopedTheme {
public:
    ScopedTheme(const COXUxTheme& ux, const wchar_t* classList) : m_ux(ux), m_theme(ux.OpenThemeData(nullptr, classList)) {}
    ~ScopedTheme() { m_ux.CloseThemeData(m_theme); }
    ScopedTheme(const ScopedTheme&) = delete;
    ScopedTheme& operator=(const ScopedTheme&) = delete;
    explicit operator bool() const { return m_theme != nullptr; }
    COLORREF SysColor(int index) const { return m_ux.GetThemeSysColor(m_theme, index); }

private:
    const COXUxTheme& m_ux;
    HANDLE m_theme;
};

class COXSkin2003 : public COXSkinXP {
public:
    COXSkin2003();
    explicit COXSkin2003(const COXUxTheme::Functions& theme);
    ~COXSkin2003() override;

    COLORREF GetHotItemColor() const override;
    COLORREF GetCheckedItemColor() const override;
    COLORREF GetPressedItemColor() const override;
    COLORREF GetActiveBorderColor() const override;
    COLORREF GetMenuColor() const override;
    COLORREF GetMenuBorderColor() const override;
    COLORREF GetBackgroundColor() const override;
    COLORREF GetFaceColor() const override;
    COLORREF GetArrowColor() const override;
    COLORREF GetSeparatorColor() const override;
    COLORREF GetBorderColor() const override;
    COLORREF GetGripperColor() const override;
    COLORREF GetCaptionColor() const override;
    COLORREF GetCaptionTextColor() const override;
    COLORREF GetFrameBorderColor() const override;
    COLORREF GetFrameColor() const override;
    COLORREF GetDisabledColor() const override;
    COLORREF GetDisabledTextColor() const override;
    // The button continues the background of the menu bar or the bar caption it stands on.
    void DrawFrameButton(CDC* dc, const CRect& rect, UINT kind, BOOL inactive, BOOL title, COLORREF background,
                         CWnd* window) const override;
    // Auxiliary colours H1-H12 of the 2003 element skins.
    COLORREF GetAuxColor(int n) const;
    // Whether the "button" visual style is in force.
    BOOL IsThemed() const { return static_cast<bool>(ScopedTheme(m_uxTheme, L"button")); }
    // Fills the rectangle with a gradient from c1 to c2 (top to bottom when vertical).
    BOOL GradientFill(CDC* dc, const CRect& rect, COLORREF c1, COLORREF c2, BOOL vertical) const;
    // The band behind the dock bars (`band` from DockBandFor): its left half a gradient
    // from H8 to H7, the rest H7.
    void FillDockBand(CDC* dc, const CRect& band) const;
    // The Office 2003 gripper: dots stacked down a 2-pixel band (across) or side by side.
    void DrawGripperDots(CDC* dc, const CRect& rect, BOOL across) const;
    const COXUxTheme& UxTheme() const { return m_uxTheme; }
    // Drops the gradient entry, so that gradients are drawn line by line.
    void UseLineGradients() { m_gradientFill = nullptr; }

private:
    void CreateElementSkins();
    // The style colour `index` blended with the window colour (w of the window), or `plain` without a style.
    COLORREF Themed(int index, float w, float t, COLORREF plain) const;
    COXUxTheme m_uxTheme;
    HMODULE m_msimg = nullptr;
    using GradientFillProc = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
    GradientFillProc m_gradientFill = nullptr;
};

class COXSkinnedApp : public CWinApp {
public:
    COXSkinnedApp();
    ~COXSkinnedApp() override;

    // Takes the skin; one of the same name is replaced and deleted, unless it is
    // the current skin, which lives on (unlisted) until the application ends.
    void AddSkin(std::unique_ptr<COXSkin> skin);
    // Makes the named skin (exact name) current and redraws the windows; an
    // unknown name leaves no current skin and answers FALSE.
    BOOL SetCurrentSkin(const wchar_t* name);
    COXSkin* GetCurrentSkin() const { return m_pCurrentSkin; }
    int GetCurrentSkinType() const { return m_nCurrentSkinType; }

private:
    int m_nCurrentSkinType = 0;
    std::map<CString, std::unique_ptr<COXSkin>> m_skins;
    std::vector<std::unique_ptr<COXSkin>> m_retired;  // replaced while current
    COXSkin* m_pCurrentSkin = nullptr;
};

// Draws one image of an image list with a DrawState effect (DSS_DISABLED, DSS_MONO with `brush`)
// at (x, y): the image is drawn into the state's own bitmap, no icon is made for it (an icon is a
// window-system object; under Wine making one costs ~1 ms).
BOOL DrawImageState(HDC dc, HIMAGELIST list, int index, int x, int y, UINT stateFlags, HBRUSH brush);

// The dock bars' band for a window of a frame, `height` high, in coordinates whose origin is
// the screen point `origin`: it starts at the frame's left edge and runs across the frame's
// width (at least the screen's), so that every bar in it shows one continuous band.
CRect DockBandFor(CWnd* window, CPoint origin, int height);

// Lays a window and its children out and redraws them after a change of skin.
void RefreshWindowTree(HWND hwnd);

// The element skin a window of one family draws with: the current skin's,
// else the window's own Classic one, made on first use and kept in `fallback`.
template <typename Family, typename Classic>
Family* LookupElementSkin(std::unique_ptr<Family>& fallback, Family* (COXSkin::*accessor)() const) {
    if (auto* app = dynamic_cast<COXSkinnedApp*>(AfxGetApp()); app && app->GetCurrentSkin()) {
        if (Family* skin = (app->GetCurrentSkin()->*accessor)()) return skin;
    }
    if (!fallback) fallback = std::make_unique<Classic>();
    return fallback.get();
}

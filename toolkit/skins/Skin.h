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

    // XP colour n (0-17) of this look.
    virtual COLORREF GetColor(int n) const;
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
    void DrawFrameButton(CDC* dc, const CRect& rect, UINT kind, BOOL inactive, BOOL title, COLORREF background,
                         CWnd* window) const;

protected:
    explicit COXSkinXP(const wchar_t* name) : COXSkin(name) {}
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

    COLORREF GetColor(int n) const override;
    // Auxiliary colours H1-H12 of the 2003 element skins.
    COLORREF GetAuxColor(int n) const;
    // Whether the "button" visual style is in force.
    BOOL IsThemed() const { return static_cast<bool>(ScopedTheme(m_uxTheme, L"button")); }
    // Fills the rectangle with a gradient from c1 to c2 (top to bottom when vertical).
    BOOL GradientFill(CDC* dc, const CRect& rect, COLORREF c1, COLORREF c2, BOOL vertical) const;
    // The Office 2003 gripper: dots stacked down a 2-pixel band (across) or side by side.
    void DrawGripperDots(CDC* dc, const CRect& rect, BOOL across) const;
    const COXUxTheme& UxTheme() const { return m_uxTheme; }
    // Drops the gradient entry, so that gradients are drawn line by line.
    void UseLineGradients() { m_gradientFill = nullptr; }

private:
    void CreateElementSkins();
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

// The frame skins: the mini-frame skin paints the non-client area of the
// floating frames that hold docking bars (border, caption with the title,
// the close button with its hot and pressed looks); the frame skin holds the
// border drawing and colours of ordinary frames that choose to use it.
#pragma once
#include "gdi/DC.h"
#include "gdi/GdiObject.h"

class CMiniDockFrameWnd;
class CFrameWnd;
class COXSkinXP;

class COXMiniFrameSkin {
public:
    virtual ~COXMiniFrameSkin() = default;
    virtual void OnNcPaint(CMiniDockFrameWnd* frame) = 0;
    virtual BOOL OnNcActivate(BOOL active, CMiniDockFrameWnd* frame) = 0;
    virtual void DrawCaption(CMiniDockFrameWnd* frame) = 0;
    // Redraws the close button for the mouse's place and button state; FALSE when nothing is drawn.
    virtual BOOL OnNcMouseMove(CMiniDockFrameWnd* frame) = 0;
};

class COXMiniFrameSkinClassic : public COXMiniFrameSkin {
public:
    void OnNcPaint(CMiniDockFrameWnd* frame) override;
    BOOL OnNcActivate(BOOL active, CMiniDockFrameWnd* frame) override;
    void DrawCaption(CMiniDockFrameWnd*) override {}
    BOOL OnNcMouseMove(CMiniDockFrameWnd*) override { return FALSE; }
};

class COXMiniFrameSkinXP : public COXMiniFrameSkin {
public:
    explicit COXMiniFrameSkinXP(COXSkinXP* skin);
    void OnNcPaint(CMiniDockFrameWnd* frame) override;
    BOOL OnNcActivate(BOOL, CMiniDockFrameWnd*) override { return TRUE; }
    void DrawCaption(CMiniDockFrameWnd* frame) override;
    BOOL OnNcMouseMove(CMiniDockFrameWnd* frame) override;
    // The caption band in window coordinates.
    static CRect CaptionRect(CWnd* frame);

private:
    COXSkinXP* m_pSkin;
    CFont m_fontCaption;  // "Tahoma BOLD" 8.5 points
};

class COXFrameSkin {
public:
    virtual ~COXFrameSkin() = default;
    virtual void DrawBorder(CWnd* frame) = 0;
    virtual void AdjustBorderRect(RECT* rect) = 0;
    virtual COLORREF GetBackgroundColor() = 0;
    virtual COLORREF GetBorderColor() = 0;
};

class COXFrameSkinClassic : public COXFrameSkin {
public:
    void DrawBorder(CWnd*) override {}
    void AdjustBorderRect(RECT*) override {}
    COLORREF GetBackgroundColor() override { return ::GetSysColor(COLOR_3DFACE); }
    COLORREF GetBorderColor() override { return ::GetSysColor(COLOR_3DSHADOW); }
};

class COXFrameSkinXP : public COXFrameSkin {
public:
    explicit COXFrameSkinXP(COXSkinXP* skin) : m_pSkin(skin) {}
    void DrawBorder(CWnd* frame) override;
    void AdjustBorderRect(RECT* rect) override { ::InflateRect(rect, 1, 1); }
    COLORREF GetBackgroundColor() override { return ::GetSysColor(COLOR_3DFACE); }
    COLORREF GetBorderColor() override { return ::GetSysColor(COLOR_3DSHADOW); }

protected:
    COXSkinXP* m_pSkin;
};

class COXFrameSkin2003 : public COXFrameSkinXP {
public:
    using COXFrameSkinXP::COXFrameSkinXP;
    COLORREF GetBackgroundColor() override;
    COLORREF GetBorderColor() override;
};

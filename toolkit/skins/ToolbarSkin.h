// Tool-bar skins: everything of a cool toolbar that is drawn (gripper,
// non-client area, separators, the frame of the button being customised,
// the buttons through the bar's custom draw) and the face of a skinned
// combo box hosted in it. Classic adjusts the common control's own drawing
// with the bar's state colours; Office XP and 2003 paint the whole bar
// themselves, double-buffered, at the pre-paint stage.
//
// Every custom-draw stage is first offered to the bar's owner: a WM_NOTIFY
// with code OXTBN_CUSTOMDRAWRELAY and an OXTBCUSTOMDRAWRELAY record. An
// owner that clears bDoDefault makes the skin answer its result and skip
// its own drawing of that stage.
#pragma once
#include "gdi/DC.h"

#include <commctrl.h>

class COXCoolToolBar;
class COXMenuBar;
class COXSkinXP;
class COXSkin2003;
class CWnd;

inline constexpr UINT OXTBN_CUSTOMDRAWRELAY = 32891;

struct OXTBCUSTOMDRAWRELAY {
    NMHDR hdr;                     // the bar's window and id, code 32891
    NMTBCUSTOMDRAW* pCustomDraw;   // the toolbar's own record (a plain NMCUSTOMDRAW before 4.71)
    LRESULT result = 0;            // what the stage answers when the owner draws it
    BOOL bDoDefault = TRUE;        // cleared by an owner that drew the stage itself
};

class COXToolbarSkin {
public:
    virtual ~COXToolbarSkin() = default;
    virtual void DrawGripper(CDC* dc, const CRect& rect, COXCoolToolBar* bar) = 0;
    virtual void DrawNonClientArea(CDC* dc, LPCRECT windowRect, COXCoolToolBar* bar) = 0;
    virtual void DrawSeparator(CDC* dc, const CRect& rect, COXCoolToolBar* bar) = 0;
    virtual void DrawCustomizeFrame(CDC* dc, const CRect& rect, COXCoolToolBar* bar) = 0;
    virtual void DrawCustomDraw(NMHDR*& header, LRESULT*& result, COXCoolToolBar* bar) = 0;
    // Paints a skinned combo box from its WM_PAINT.
    virtual void DrawComboBox(CWnd* combo) = 0;
    // Holds its place in the order of the operations; empty in every look, nothing calls it.
    virtual void Reserved() {}
    // Repaints a skinned combo box's frame when hover or focus change.
    virtual void DrawComboBoxState(CWnd* combo) = 0;
    // The flat frame of a control window (XP and 2003 only).
    virtual void DrawControlFrame(CWnd* control) = 0;
    // The caption buttons of a maximised MDI child on a menu bar (window coordinates of `dc`).
    virtual void DrawMDIButtons(CDC* dc, COXMenuBar* bar) = 0;
    // Whether the bar's background is erased by default processing.
    virtual BOOL IsDefaultEraseBkgnd() = 0;

protected:
    // The owner relay shared by every variant; true when the owner drew the stage.
    static bool RelayToOwner(NMHDR* header, LRESULT* result, COXCoolToolBar* bar);
};

class COXToolbarSkinClassic : public COXToolbarSkin {
public:
    void DrawGripper(CDC* dc, const CRect& rect, COXCoolToolBar* bar) override;
    void DrawNonClientArea(CDC* dc, LPCRECT windowRect, COXCoolToolBar* bar) override;
    void DrawSeparator(CDC* dc, const CRect& rect, COXCoolToolBar* bar) override;
    void DrawCustomizeFrame(CDC* dc, const CRect& rect, COXCoolToolBar* bar) override;
    void DrawCustomDraw(NMHDR*& header, LRESULT*& result, COXCoolToolBar* bar) override;
    void DrawComboBox(CWnd* combo) override;
    void DrawComboBoxState(CWnd*) override {}
    void DrawControlFrame(CWnd*) override {}
    BOOL IsDefaultEraseBkgnd() override { return TRUE; }
    void DrawMDIButtons(CDC* dc, COXMenuBar* bar) override;
};

class COXToolbarSkinXP : public COXToolbarSkin {
public:
    explicit COXToolbarSkinXP(COXSkinXP* skin) : m_pSkin(skin) {}

    void DrawGripper(CDC* dc, const CRect& rect, COXCoolToolBar* bar) override;
    void DrawNonClientArea(CDC* dc, LPCRECT windowRect, COXCoolToolBar* bar) override;
    void DrawSeparator(CDC* dc, const CRect& rect, COXCoolToolBar* bar) override;
    void DrawCustomizeFrame(CDC* dc, const CRect& rect, COXCoolToolBar* bar) override;
    void DrawCustomDraw(NMHDR*& header, LRESULT*& result, COXCoolToolBar* bar) override;
    void DrawComboBox(CWnd* combo) override;
    void DrawComboBoxState(CWnd* combo) override;
    void DrawControlFrame(CWnd* control) override;
    BOOL IsDefaultEraseBkgnd() override { return FALSE; }
    void DrawMDIButtons(CDC* dc, COXMenuBar* bar) override;

    virtual void DrawBackground(CDC* dc, COXCoolToolBar* bar);
    virtual void DrawButton(CDC* dc, const TBBUTTON& button, const CRect& rect, COXCoolToolBar* bar, BOOL background);
    virtual void FillButtonBackground(CDC* dc, const CRect& rect);

    // Paints the whole bar as the pre-paint stage does, into `dc` (client coordinates).
    void PaintBar(CDC* dc, COXCoolToolBar* bar);

protected:
    COLORREF Color(int n) const;
    // The face of a button: filled with c1 (or a c1-c2 gradient), framed with `frame`.
    virtual void DrawFace(CDC* dc, const CRect& rect, COLORREF c1, COLORREF c2, COLORREF frame);
    // The face of one state row (0 hot, 1 checked, 2 pressed or checked and hot).
    virtual void DrawFaceForRow(CDC* dc, const CRect& rect, int row, COLORREF fill);
    // Whether a hot image gets its shadow (not in the 2003 look).
    virtual bool HotShadow() const { return true; }
    // Pieces of a skinned combo box: the frame ring, the plain and the highlighted drop button.
    virtual void FillRingWithWindowColour(CDC* dc, const CRect& client, const CRect& edit, const CRect& button);
    virtual void FillComboButton(CDC* dc, const CRect& button, CWnd* combo);
    virtual void DrawComboButton(CDC* dc, const CRect& button, bool dropped);
    // Width of the drop-down part: the Marlett down arrow of 8 points, plus 4.
    static int DropDownPartWidth(CDC* dc);
    COXSkinXP* m_pSkin;

    // What a whole-bar paint reads of the bar once, for all its buttons.
    struct BarPaintState {
        int hotItem = -1;
        bool dropArrows = false;
        HIMAGELIST images = nullptr, hotImages = nullptr, disabledImages = nullptr;
        int imageWidth = 0, imageHeight = 0;
        HFONT font = nullptr;
    };
    static BarPaintState ReadBarState(COXCoolToolBar* bar);
    const BarPaintState* m_pPainting = nullptr;  // during PaintBar
    int m_nPaintIndex = -1;
};

class COXToolbarSkin2003 : public COXToolbarSkinXP {
public:
    explicit COXToolbarSkin2003(COXSkin2003* skin);

    void DrawGripper(CDC* dc, const CRect& rect, COXCoolToolBar* bar) override;
    void DrawNonClientArea(CDC* dc, LPCRECT windowRect, COXCoolToolBar* bar) override;
    void DrawSeparator(CDC* dc, const CRect& rect, COXCoolToolBar* bar) override;
    void DrawBackground(CDC* dc, COXCoolToolBar* bar) override;
    void FillButtonBackground(CDC*, const CRect&) override {}
    // As the XP look, with the bar's gradient continued through the ring and the drop button.
    void DrawComboBoxState(CWnd* combo) override;
    void DrawControlFrame(CWnd* control) override;

protected:
    // The dock bars' band behind `window`, `height` high, in a DC whose origin is `origin` on the screen.
    void FillBand(CDC* dc, CWnd* window, CPoint origin, int height);
    void DrawFace(CDC* dc, const CRect& rect, COLORREF c1, COLORREF c2, COLORREF frame) override;
    void DrawFaceForRow(CDC* dc, const CRect& rect, int row, COLORREF fill) override;
    void FillComboButton(CDC* dc, const CRect& button, CWnd* combo) override;
    void DrawComboButton(CDC* dc, const CRect& button, bool dropped) override;
    bool HotShadow() const override { return false; }
    COXSkin2003* Skin2003() const;
};

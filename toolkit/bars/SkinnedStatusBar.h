// COXStatusBar: the framework's status bar with panes that can each carry a
// cursor, a tooltip, a font and a text colour, a bitmap drawn with a
// transparent colour in one of seven placements, and a progress bar with room
// for its percentage. Stretching panes share the free width between them.
// The current status-bar skin paints it (Classic: the control itself, with
// every pane owner-drawn through DrawItem).
#pragma once
#include "bars/StatusBar.h"
#include "skins/StatusbarSkin.h"

#include <memory>
#include <vector>

inline constexpr UINT SBPS_PROGRESS = 0x02000000;   // the pane holds a progress bar
inline constexpr UINT WM_OX_STATUSBAR_DBLCLK = 0x80CE;  // to the parent: a pane was double-clicked (wParam its id)

// Where a pane's bitmap goes.
enum OXBitmapPlacement {
    OX_BMP_STRETCH = 1,   // stretched over the whole pane
    OX_BMP_LEFT = 2,      // whole, at the left (shrunk to the pane when larger)
    OX_BMP_CENTER = 3,    // whole, centred
    OX_BMP_RIGHT = 4,     // whole, at the right
    OX_BMP_CROP_LEFT = 5, // cut to the pane, at the left
    OX_BMP_CROP_CENTER = 6,
    OX_BMP_CROP_RIGHT = 7,
};

class COXStatusBar : public CStatusBar {
public:
    COXStatusBar();
    ~COXStatusBar() override;

    // The pane's record as the framework keeps it.
    void GetPaneInfo(int index, UINT& id, UINT& style, int& width) const { CStatusBar::GetPaneInfo(index, id, style, width); }
    // The pane's inside, where a control or bitmap goes; FALSE when the pane has no room.
    BOOL GetPaneControlRect(int index, CRect& rect, BOOL forProgress) const;
    COXStatusbarSkin* GetStatusbarSkin();
    // Lays the panes out (sizes) and sets again the texts set without update (texts).
    void UpdateAllPanes(BOOL sizes, BOOL texts);
    // The owner drawing of one pane: its text in its font and colour, or a progress pane's percentage.
    virtual void DrawItem(LPDRAWITEMSTRUCT item);
    // Draws pane i's bitmap onto `dc` (nothing for a disabled pane).
    void DrawPaneContents(CDC* dc, int index, UINT style);
    BOOL HasPaneBitmap(int index) const;
    // The tool under `point` (client coordinates): a pane's id, a progress pane index + pane
    // count, or -1; fills `tool` (when given) with the tool and a copy of the pane's tip.
    INT_PTR OnToolHitTest(CPoint point, CToolInfo* tool) const override;
    int GetMinHeight() const { return m_nMinHeight; }
    // The room the panes share: without the size gripper's square where the frame can be sized.
    void CalcInsideRect(CRect& rect, BOOL horz) const override;
    // Whether a size gripper belongs at the right end: the bar's frame can be sized and is not
    // maximized (a bar outside any frame has one).
    BOOL WantsSizeGripper() const;

    // New panes start bare: every pane's cursor, tip, font, colour, bitmap and progress bar goes.
    BOOL SetIndicators(const UINT* ids, int count) override;

    // Per-pane settings. Indices out of range answer FALSE. A pane's tip shows through the
    // framework's tooltip (FilterToolTipMessage).
    BOOL SetPaneCursor(int index, HCURSOR cursor);
    BOOL SetPaneTip(int index, const wchar_t* tip);
    CString GetPaneTip(int index) const;
    // A copy of `font` for the pane's text; null goes back to the bar's font.
    BOOL SetPaneFont(int index, const LOGFONTW* font);
    // CLR_DEFAULT: the system's window-text colour.
    BOOL SetPaneTextColor(int index, COLORREF color);
    // Takes the bitmap; null removes the pane's bitmap. Pixels of `transparent` show the pane.
    BOOL SetPaneBitmap(int index, HBITMAP bitmap, int placement, COLORREF transparent);
    // Turns the pane into a progress pane (its text is cleared) with or without its percentage.
    BOOL SetUpBar(int index, BOOL showPercent);
    // done of total (clamped); a progress pane only.
    BOOL SetBarProgress(int index, DWORD total, DWORD done);
    int GetBarPercent(int index) const;
    CWnd* GetPaneProgress(int index) const;

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    struct BitmapRecord {
        CBitmap bitmap;
        int width = 0;
        int height = 0;
        int mode = OX_BMP_LEFT;
        COLORREF transparent = 0;
    };
    struct ProgressRecord {
        CWnd control;
        CRect rect;
        BOOL showPercent = FALSE;
        BOOL created = FALSE;
        int percent = 0;
    };
    struct PaneExtras {
        HCURSOR cursor = nullptr;
        std::unique_ptr<BitmapRecord> bitmap;
        COLORREF textColor = CLR_DEFAULT;
        std::unique_ptr<ProgressRecord> progress;
        std::unique_ptr<CFont> font;
        CString tip;
    };

    const MessageMap* GetMessageMap() const override;
    void UpdatePanes() override;
    BOOL CreatePaneProgress(int index, ProgressRecord& record);
    void DrawTransparentBitmap(CDC* dc, const BitmapRecord& record, const CRect& target, CSize source);
    // The pane's extras, the list grown to the panes (null for an index out of range).
    PaneExtras* Extras(int index);
    const PaneExtras* Extras(int index) const;
    HFONT PaneFont(int index) const;
    int WidthOf(const wchar_t* text, HFONT font) const;
    int PaneAt(CPoint point) const;
    // Paints a part of the bar now, through the skin.
    void PaintPart(const CRect& part);
    // Paints a progress pane's percentage room now: its new text over the room's kept background.
    void PaintPercentage(int index, const CRect& room);
    // Pane i's text (or a progress pane's percentage) in its font and colour, in the item rectangle.
    void DrawPaneText(HDC dc, int index, const CRect& item);

    LRESULT OnSetMinHeight(WPARAM wParam, LPARAM lParam);
    int OnCreate(LPCREATESTRUCT create);
    void OnPaint();
    void OnSize(UINT type, int cx, int cy);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    void OnLButtonDblClk(UINT flags, CPoint point);
    LRESULT OnReflectDrawItem(WPARAM wParam, LPARAM lParam);

private:
    // A percentage room as the skin paints it without its text, and a second bitmap the new text
    // is composed in: a step paints the text over a copy of the room and copies that to the screen
    // in one piece. Any paint round of the bar, a new layout or another skin drops it.
    struct PercentRoom {
        int pane = -1;
        CRect rect;
        CRect item;  // the pane's item rectangle as the skin's drawing passes it
        bool itemSeen = false;
        const COXStatusbarSkin* skin = nullptr;
        CBitmap backgroundBits;
        CDC background;
        CBitmap composedBits;
        CDC composed;
    };
    std::unique_ptr<PercentRoom> BuildPercentRoom(int index, const CRect& room);

    std::unique_ptr<PercentRoom> m_percentRoom;
    PercentRoom* m_buildingPercentRoom = nullptr;
    int m_nMinHeight = 0;
    mutable std::vector<PaneExtras> m_extras;
    CDC m_memDC;
    std::unique_ptr<COXStatusbarSkin> m_pFallbackSkin;
};

// COXSHBListCtrl: the item list of one shortcut-bar group, usable alone too.
// The list-view control only stores the items (text, image, value); the list
// lays them out in one column (large icons with the label below, small icons
// with the label beside), paints, hit-tests, scrolls with two scroll buttons
// and hot-tracks by itself, and answers the list-view geometry messages from
// its own rectangles. Items are dragged within and between lists through OLE
// (SHBDragBlock.h) and renamed in place with COXSHBEdit.
#pragma once
#include "bars/DragRelay.h"
#include "controls/ListCtrl.h"
#include "gdi/DC.h"
#include "shortcutbar/SHBEdit.h"
#include "shortcutbar/SHBInfoTip.h"
#include "shortcutbar/ShortcutBarNotify.h"

#include <initializer_list>
#include <map>
#include <memory>

class COXShortcutBar;
class COleDataSource;

// Hit codes of the scroll buttons and of an item's box off its icon and label.
inline constexpr int SHBLC_ONUPBUTTON = -3;
inline constexpr int SHBLC_ONDOWNBUTTON = -4;
inline constexpr int SHBLC_ONIMAGEANDLABEL = -2;
inline constexpr int SHBLC_ONITEM = -1;

class COXSHBListCtrl : public CListCtrl {
public:
    COXSHBListCtrl();
    ~COXSHBListCtrl() override;

    // Makes the list alone (not in a bar): list-view styles say what it allows.
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // Creates the edit, registers for drops (the bar calls it for the lists it makes).
    BOOL Initialise();
    // A list-view window attached with SubclassWindow becomes an icon view and is initialised.
    void PreSubclassWindow() override;

    virtual void DrawItem(LPDRAWITEMSTRUCT dis);
    virtual int SetPressedItem(int item);
    virtual void DrawScrollButtons(CDC* dc);
    virtual void DrawInsertMark(CDC* dc);
    virtual BOOL CreateEditControl();
    virtual void CalculateLayout();
    virtual void CalculateScrollButtons();
    virtual COleDropSource* GetDropSource();
    virtual COleDropTarget* GetDropTarget();
    virtual LRESULT StartItemDrag(WPARAM item, LPARAM source);
    virtual LRESULT OnDragEnter(WPARAM, LPARAM relay);
    virtual LRESULT OnDragOver(WPARAM, LPARAM relay);
    virtual LRESULT OnDragLeave(WPARAM, LPARAM relay);
    virtual LRESULT OnDrop(WPARAM, LPARAM relay);

    int SetSelectedItem(int item);
    int SetHotItem(int item);
    BOOL RedrawItem(int item);
    BOOL EnsureVisible(int item, BOOL partialOK);
    BOOL Scroll(int dx, int dy);
    BOOL EditLabel(int item);
    int HitTest(CPoint point, int* code, BOOL ignoreButtons = FALSE) const;
    void SetDragItem(int item);
    // An image list holding one image: the item as drawn, without frames, over a transparent
    // background; `upperLeft` gets its place in client coordinates. Null for no such item.
    HIMAGELIST CreateItemDragImage(int item, CPoint* upperLeft);

    COXShortcutBar* GetBar() const { return m_pShortcutBar; }
    HSHBGROUP GetGroup() const { return m_hGroup; }
    DWORD GetBarStyle() const;
    int GetView() const;
    HIMAGELIST GetViewImageList() const;
    COLORREF GetListBkColor() const;
    COLORREF GetListTextColor() const;
    int GetPressedItem() const { return m_nPressedItem; }
    int GetHotItem() const { return m_nHotItem; }
    int GetLastHotItem() const { return m_nLastHotItem; }
    int GetSelectedItem() const { return m_nSelectedItem; }
    int GetDragItem() const { return m_nDragItem; }
    int GetEditItem() const { return m_nEditItem; }
    int GetInsertIndex() const { return m_nInsertItem; }
    CPoint GetScrollOffset() const { return m_ptOrigin; }
    CRect GetUpButtonRect() const { return m_rectTopScroll; }
    CRect GetDownButtonRect() const { return m_rectBottomScroll; }
    // An item's rectangles (full, icon, label) in client coordinates; empty when out of range.
    CRect GetItemFullRect(int item) const;
    CRect GetItemIconRect(int item) const;
    CRect GetItemLabelRect(int item) const;
    COXSHBEdit& GetEditControl() { return m_edit; }

    static constexpr UINT_PTR kScrollTimer = 1;
    static constexpr UINT_PTR kHotTrackTimer = 275;

protected:
    const MessageMap* GetMessageMap() const override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // The list-view messages the list answers itself; false for those it leaves to the control.
    bool HandleListMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    void OnPaint();
    void OnSize(UINT type, int cx, int cy);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    LRESULT OnSwallow(WPARAM, LPARAM) { return 0; }
    LRESULT OnRButtonUp(WPARAM, LPARAM);
    LRESULT OnAddItemCommands(WPARAM, LPARAM);
    LRESULT OnAttachList(WPARAM, LPARAM);
    LRESULT OnGroupChanged(WPARAM, LPARAM);
    LRESULT OnBarChanged(WPARAM, LPARAM);
    LRESULT OnHotTrack(WPARAM, LPARAM);
    LRESULT OnCtlColorEdit(WPARAM, LPARAM);
    LRESULT OnMouseWheel(WPARAM, LPARAM);

private:
    friend class SHBListDrawing;
    LRESULT Notify(UINT code, int item = -1, LPARAM lParam = 0);
    CRect ContentRect() const;  // the client rectangle less 2 at top and bottom
    CRect CalculateLabelRect(const CString& text, const CRect& icon, int width, HDC dc) const;
    // The rectangles of `item` laid out with `text` from `top` down, in content coordinates.
    struct ItemBoxes {
        CRect full, icon, label;
    };
    // What every item's layout reads of the list: its content rectangle and the view's images.
    struct LayoutFrame {
        CRect content;
        HIMAGELIST images = nullptr;
        CSize icon;
        int imageCount = 0;
        bool large = true;
    };
    LayoutFrame CurrentLayoutFrame() const;
    ItemBoxes LayOutItem(const LayoutFrame& frame, int item, const CString& text, int top, HDC dc) const;
    int ItemCount() const;
    // After an insertion at `index` (delta +1) or a deletion of `index` (delta -1): every index
    // the list keeps follows its item; one that named the deleted item is cleared.
    void ShiftIndexes(int index, int delta);
    void ClearIndexes();
    void Relayout(BOOL repaint);
    void FillListBackground(CDC* dc, const CRect& rect, CPoint origin);
    void StartScrolling(int direction, BOOL automatic);
    void StopScrolling();
    BOOL ScrollOneItem(int direction);
    // The scroll `dy` from `originY` trimmed to the content; the scroll that brings the next
    // item (direction 1) or the one above the top (-1) to the top.
    int ClampScroll(int dy, int originY) const;
    int OneItemStep(int direction, int originY) const;
    // Shows a scroll by `by` on the screen; the scroll buttons were at `oldUp`, `oldDown`.
    void ScrollContent(CSize by, const CRect& oldUp, const CRect& oldDown);
    // Repaints the scroll buttons where they were and where they are.
    void InvalidateScrollButtons(const CRect& oldUp, const CRect& oldDown);
    void InvalidateEach(std::initializer_list<CRect> rects);
    // The draw record of `item` painted into `dc` at `rect`.
    DRAWITEMSTRUCT ItemDrawRecord(int item, HDC dc, const CRect& rect) const;
    // Whether the background moves with the items (a flat fill) or stays (a gradient).
    bool BackgroundScrolls() const;
    // Where the mouse is (client coordinates) and whether its left button is down: from the
    // message that brings them, else asked of the system (which, under Wine, asks the X server).
    struct MouseState {
        CPoint client;
        bool leftDown = false;
    };
    MouseState CurrentMouse() const;
    void UpdateHotItem(const MouseState& mouse);
    void CheckHotTracking(const MouseState& mouse);
    LRESULT OnEditEnded(SHBNotifyInfo* info);
    // With SHBS_INFOTIP: the item under the mouse (on its icon or label) is the tip's tool.
    void RelayToInfoTip(UINT message, WPARAM wParam, LPARAM lParam);
    int NearestItemDown(CPoint contentPoint) const;
    int FindNearest(const LVFINDINFOW* find, int start) const;
    void EraseInsertMark(int index);
    // The own drag's image: into the list at a client point, along with it, and out again.
    void DragImageEnter(CPoint client);
    void DragImageMove(CPoint client);
    void DragImageLeave();
    // The label font (the group's, else the list's), underlined for a hot item when asked.
    HFONT LabelFont(bool underline);

    COXShortcutBar* m_pShortcutBar = nullptr;
    HSHBGROUP m_hGroup = nullptr;
    int m_nPressedItem = -1;
    int m_nHotItem = -1;
    int m_nLastHotItem = -1;
    int m_nSelectedItem = -1;
    int m_nDragItem = -1;
    int m_nEditItem = -1;
    COXSHBEdit m_edit;
    SHBInfoTip m_infoTip;
    std::map<int, CRect> m_mapItemToBoundRect;
    std::map<int, CRect> m_mapItemToImageRect;
    std::map<int, CRect> m_mapItemToTextRect;
    CRect m_rectTopScroll;
    CRect m_rectBottomScroll;
    CPoint m_ptOrigin;
    COXSHBDropSource m_dropSource;
    COXSHBDropTarget m_dropTarget;
    COleDropTarget* m_pRegisteredTarget = nullptr;
    HIMAGELIST m_hOwnLarge = nullptr;
    HIMAGELIST m_hOwnSmall = nullptr;
    BOOL m_bMouseIsOver = FALSE;
    BOOL m_bScrollingUp = FALSE;
    BOOL m_bScrollingDown = FALSE;
    BOOL m_bAutoScrolling = FALSE;
    BOOL m_bDrawingDragImage = FALSE;
    HIMAGELIST m_hItemDragImage = nullptr;  // while an own drag shows the item under the mouse
    BOOL m_bDragImageIn = FALSE;             // the drag image is entered in this list
    CPoint m_ptDragImage;
    CPoint m_ptPress;
    int m_nPressItem = -1;
    BOOL m_bOwnDrag = FALSE;
    BOOL m_bOleDragOver = FALSE;
    BOOL m_bHotTimer = FALSE;
    int m_nInsertItem = -1;
    int m_nWheelDelta = 0;
    COleDataSource* m_pPendingSource = nullptr;
    CSize m_laidOutSize;  // the client size of the last WM_SIZE
    // An off-screen DC whose bitmap grows to the largest size asked of it.
    struct Canvas {
        CBitmap bitmap;
        CDC dc;
        CSize size;
        CDC* Get(CDC* screen, CSize need);
    };
    // What painting reuses from paint to paint: the canvas of one item, and the label fonts,
    // remade when the font changes.
    struct PaintCache {
        Canvas item;
        LOGFONTW key{};
        CFont font;
        CFont underlined;
    } m_paint;
};

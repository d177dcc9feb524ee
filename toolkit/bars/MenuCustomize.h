// Bitmap menus outside the system's menu loop.
//
// COXBitmapMenuPopupWnd shows a bitmap menu in a top-most popup window of
// its own, item by item, so that the user can select items, edit them from
// the customisation context menu and drag them while customising menus. It
// is created hidden by the first Show and kept hidden by Hide.
//
// COXShadowedItemWnd stands over the bar button from which a menu drops, for
// as long as the menu is open, and is painted by the menu skin.
#pragma once
#include "bars/BitmapMenu.h"
#include "wnd/Wnd.h"

#include <vector>

class COXBitmapMenuPopupWnd : public CWnd {
public:
    COXBitmapMenuPopupWnd() = default;
    ~COXBitmapMenuPopupWnd() override;

    virtual COXBitmapMenu* GetBitmapMenu() const { return m_pMenu; }
    virtual BOOL Show(COXBitmapMenu* menu, UINT alignment, int x, int y, CWnd* owner);
    virtual void Hide();
    virtual void RecalcLayout();
    virtual BOOL CalcLayout(UINT alignment, int x, int y);
    void UpdateFont();
    void RedrawItem(int position);
    const std::vector<CRect>& ItemRects() const { return m_itemRects; }
    const CRect& GetWindowRectangle() const { return m_rectWindow; }
    static constexpr UINT_PTR kDragTimer = 412;

protected:
    const MessageMap* GetMessageMap() const override;
    void OnPaint();
    LRESULT OnNcPaint(WPARAM, LPARAM);
    LRESULT OnMouseActivate(WPARAM, LPARAM) { return MA_NOACTIVATE; }
    LRESULT OnSettingChange(WPARAM, LPARAM);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnRButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnTimer(UINT_PTR id);
    LRESULT OnDragEnter(WPARAM wParam, LPARAM lParam);
    LRESULT OnDragOver(WPARAM wParam, LPARAM lParam);
    LRESULT OnDragLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnDrop(WPARAM wParam, LPARAM lParam);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    bool Customizing() const { return m_pMenu && m_pMenu->IsInCustomizeMode(); }
    int ItemAt(CPoint point) const;
    void PlaceTopMost(UINT extraFlags);
    COXBitmapMenu* m_pMenu = nullptr;
    CRect m_rectWindow;
    std::vector<CRect> m_itemRects;
    CFont m_font;
    UINT_PTR m_nDragTimer = 0;
};

class COXShadowedItemWnd : public CWnd {
public:
    // direction: 1 the menu opens below the button, 2 to its right, 4 to its left, 8 above it.
    COXShadowedItemWnd(CWnd* bar, int index, int direction) : m_pBar(bar), m_nIndex(index), m_nDirection(direction) {}
    CWnd* GetBar() const { return m_pBar; }
    int GetIndex() const { return m_nIndex; }
    int GetDirection() const { return m_nDirection; }

protected:
    const MessageMap* GetMessageMap() const override;
    void OnPaint() { COXBitmapMenu::GetMenuSkin()->OnShadowedItemPaint(this); }

private:
    CWnd* m_pBar;
    int m_nIndex;
    int m_nDirection;
};

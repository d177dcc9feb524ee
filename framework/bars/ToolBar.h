// CToolBar: a control bar that is the system's toolbar control itself. It
// loads its buttons from a toolbar resource (words: version 1, image width,
// image height, count, then the command ids, 0 for a separator) and the
// bitmap of the same id, lays its buttons out in rows for each docking
// state, shows tooltips from the second line of the commands' string
// resources and enables and checks its buttons on idle.
//
// Button styles as this bar reports them: the low word is the button's
// TBSTYLE_*, the high word its TBSTATE_* with the enabled bit inverted
// (TBBS_DISABLED), so that 0 is a plain enabled button.
#pragma once
#include "bars/ControlBar.h"

#include <map>
#include <tuple>
#include <vector>

inline constexpr UINT TBBS_BUTTON = 0;
inline constexpr UINT TBBS_SEPARATOR = TBSTYLE_SEP;
inline constexpr UINT TBBS_CHECKBOX = TBSTYLE_CHECK;
inline constexpr UINT TBBS_GROUP = TBSTYLE_GROUP;
inline constexpr UINT TBBS_CHECKGROUP = TBSTYLE_CHECKGROUP;
inline constexpr UINT TBBS_CHECKED = TBSTATE_CHECKED << 16;
inline constexpr UINT TBBS_PRESSED = TBSTATE_PRESSED << 16;
inline constexpr UINT TBBS_DISABLED = TBSTATE_ENABLED << 16;
inline constexpr UINT TBBS_INDETERMINATE = TBSTATE_INDETERMINATE << 16;
inline constexpr UINT TBBS_HIDDEN = TBSTATE_HIDDEN << 16;
inline constexpr UINT TBBS_WRAPPED = TBSTATE_WRAP << 16;
inline constexpr UINT RT_TOOLBAR_ID = 241;

class CToolBar : public CControlBar {
public:
    CToolBar();
    ~CToolBar() override;

    virtual BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT id = AFX_IDW_TOOLBAR);
    virtual BOOL CreateEx(CWnd* parent, DWORD ctrlStyle = TBSTYLE_FLAT,
                          DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect borders = CRect(0, 0, 0, 0),
                          UINT id = AFX_IDW_TOOLBAR);
    BOOL LoadToolBar(UINT resourceId);
    BOOL LoadBitmap(UINT resourceId);
    BOOL SetBitmap(HBITMAP bitmap);
    // Replaces all buttons; an id of 0 is a separator, the others take the images in order.
    BOOL SetButtons(const UINT* ids, int count);
    void SetSizes(SIZE button, SIZE image);
    void SetHeight(int height);

    int CommandToIndex(UINT id) const;
    UINT GetItemID(int index) const;
    // Client rectangle of a button (empty when there is none); a derived bar may add items of its own.
    virtual void GetItemRect(int index, LPRECT rect) const;
    int GetCount() const;
    UINT GetButtonStyle(int index) const;
    void SetButtonStyle(int index, UINT style);
    void GetButtonInfo(int index, UINT& id, UINT& style, int& image) const;
    void SetButtonInfo(int index, UINT id, UINT style, int image);
    BOOL SetButtonText(int index, const wchar_t* text);
    CString GetButtonText(int index) const;
    CSize GetButtonSize() const;
    CSize GetImageSize() const { return m_sizeImage; }
    HIMAGELIST GetImageList() const { return m_hImageList; }

    CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
    CSize CalcDynamicLayout(int length, DWORD mode) override;
    void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;
    void DoPaint(CDC*) override {}

    // Layout pieces a derived toolbar may replace.
    virtual CSize CalcLayout(DWORD mode, int length = -1);
    virtual CSize CalcSize(std::vector<TBBUTTON>& buttons);
    // Height of the band a separator that ends a row lays across the bar.
    virtual int WrappedSeparatorHeight(const TBBUTTON& separator) const;
    // Sets TBSTATE_WRAP where a row would pass `width`; returns the row count.
    virtual int WrapToolBar(std::vector<TBBUTTON>& buttons, int width);
    // Wraps the buttons to the narrowest (vertical: shortest) layout of `length` rows or columns.
    virtual void SizeToolBar(std::vector<TBBUTTON>& buttons, int length, BOOL vertical = FALSE);

    // The working entries of a layout pass, before wrapping (a derived bar may reshape them).
    virtual void PrepareLayoutButtons(std::vector<TBBUTTON>&, DWORD /*mode*/) {}
    // The button entries as the control holds them; the enabled bit is kept as the control keeps it.
    std::vector<TBBUTTON> GetButtons() const;
    void SetButtonsState(const std::vector<TBBUTTON>& buttons);

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    // The whole window is the bar's to the mouse: a press on its borders or its gripper comes
    // as a client press (at a point outside the client rectangle), which drags the bar.
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    // The control paints itself.
    void OnControlPaint();
    LRESULT OnEraseBkgnd(HDC dc);
    // A press or double-click on a button is the control's own; elsewhere it
    // drags the bar or toggles its docking.
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    bool IsOnButton(CPoint point) const;
    void OnNcPaint();
    // The bar's window rectangle moved to (0, 0), with the client area clipped out of `dc`.
    CRect NonClientRect(CDC& dc) const;
    // Updates the state of every button that IsUpdatedButton names through `state`.
    void UpdateButtons(CCmdUI& state, CFrameWnd* target, BOOL disableIfNoHandler);
    // Plain separators get no update.
    virtual bool IsUpdatedButton(int, const TBBUTTON& button) const { return !(button.fsStyle & TBSTYLE_SEP); }
    // Width of one button entry as laid out.
    virtual int ButtonWidth(const TBBUTTON& button) const;
    // ButtonWidth, asked once per entry within a layout pass.
    int MeasuredWidth(const TBBUTTON& button) const;
    // Moves the windows hosted in separator slots (command id != 0) to their slots.
    void PlaceHostedWindows();
    // A derived bar that places the window of a slot by its own rules answers true.
    virtual bool PlacesHostedWindowItself(int) const { return false; }

    CSize m_sizeButton{23, 22};
    CSize m_sizeImage{16, 15};
    HIMAGELIST m_hImageList = nullptr;
    UINT m_nResourceId = 0;
    mutable std::map<std::tuple<int, BYTE, int>, int> m_measured;
    BOOL m_bMeasuring = FALSE;
};

// The update object of one toolbar button.
class CToolCmdUI : public CCmdUI {
public:
    void Enable(BOOL on = TRUE) override;
    void SetCheck(int check = 1) override;
    void SetText(const wchar_t*) override {}
};

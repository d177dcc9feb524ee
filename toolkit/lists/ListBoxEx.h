// COXListBoxEx: an owner-drawn list box whose items each carry a font, text
// and background colours (normal and selected), an image, an indent and a
// tooltip, and whose top items form a most-recently-used block closed off by
// a separator line. The block can be kept in the application's profile.
#pragma once
#include "controls/ListBox.h"
#include "gdi/DC.h"
#include "gdi/ImageList.h"

#include <functional>
#include <map>
#include <memory>

// What of an item record SetItemInfo, AddListItem and InsertListItem take.
inline constexpr UINT OXLBI_FONT = 1;
inline constexpr UINT OXLBI_TEXTCOLOR = 2;
inline constexpr UINT OXLBI_BKCOLOR = 4;
inline constexpr UINT OXLBI_TOOLTIP = 8;
inline constexpr UINT OXLBI_IMAGE = 16;
inline constexpr UINT OXLBI_INDENT = 32;
inline constexpr UINT OXLBI_SELTEXTCOLOR = 64;
inline constexpr UINT OXLBI_SELBKCOLOR = 128;
inline constexpr UINT OXLBI_ALL = 255;

inline constexpr UINT_PTR OXLB_LISTTOOL_ID = 0xFFF0;  // the tool over the whole list
inline constexpr wchar_t OXLB_MRU_SECTION[] = L"OXLISTBOXEX_MRU";

// One item's settings and layout (rectangles relative to the item's top left).
struct _tagOXLISTBOXITEM {
    _tagOXLISTBOXITEM();
    CFont* pFont = nullptr;  // not owned; null: the DC's font
    COLORREF clrText;
    COLORREF clrTextSelected;
    COLORREF clrBackground;
    COLORREF clrBackgroundSelected;
    CString sTooltipText;
    int nImageIndex = -1;
    int nIndent = 0;
    CRect rectItem;
    CRect rectImage;
    CRect rectText;
    int nMRUIndex = -1;  // place in the MRU block, -1 outside it
    bool bLaidOut = false;  // the rectangles and the item's height are measured (when it is first shown)
    // The text's size as last measured, kept until the item's font or the list's font changes:
    // laying every item out again then selects no font.
    bool bTextMeasured = false;
    HGDIOBJ hMeasuredFont = nullptr;  // the item's font it was measured in
    CSize sizeText;
};
using OXLISTBOXITEM = _tagOXLISTBOXITEM;

class COXListBoxEx : public CListBox {
public:
    COXListBoxEx();
    ~COXListBoxEx() override;

    // Adds (sorted where the list sorts) or inserts (-1: adds) an item with the masked settings.
    int AddListItem(const wchar_t* text, UINT mask = 0, const OXLISTBOXITEM* item = nullptr);
    int InsertListItem(int index, const wchar_t* text, UINT mask = 0, const OXLISTBOXITEM* item = nullptr);
    // index -1: every item.
    virtual BOOL SetItemInfo(int index, UINT mask, CFont* font, COLORREF text, COLORREF background, const wchar_t* tip,
                             int image, int indent, COLORREF selectedText, COLORREF selectedBackground);
    BOOL SetItemInfo(int index, UINT mask, const OXLISTBOXITEM& item);
    OXLISTBOXITEM* GetItemInfo(int index) const;

    // The MRU block: items 0 .. GetLastMRUIndex(). Moves answer the item's new index or -1.
    virtual int MoveItemToMRU(int index, int target, BOOL force = FALSE);
    int AddItemToMRU(int index) { return MoveItemToMRU(index, m_nLastMRUIndex + 1, FALSE); }
    virtual int RemoveItemFromMRU(int index);
    // -1: no limit, 0: no block.
    void SetMaxMRU(int count);
    int GetMaxMRU() const { return m_nMaxMRU; }
    int GetLastMRUIndex() const { return m_nLastMRUIndex; }
    virtual BOOL SaveMRU(const wchar_t* section);
    virtual BOOL LoadMRU(const wchar_t* section);
    void SetSaveRestoreMRU(BOOL save) { m_bSaveRestoreMRU = save; }
    BOOL GetSaveRestoreMRU() const { return m_bSaveRestoreMRU; }

    virtual CString GetToolTipText() const { return m_sToolTipText; }
    virtual COLORREF GetBackgroundColor() const { return m_clrBackground; }
    virtual BOOL IsHighlightOnlyText() const { return m_bHighlightOnlyText; }
    virtual HWND GetToolTipCtrl() const { return m_hToolTip; }
    virtual CImageList* GetImageList() const { return m_pImageList; }
    void SetImageList(CImageList* images);
    void SetBackgroundColor(COLORREF color);
    void SetHighlightOnlyText(BOOL only);
    void SetToolTipText(const wchar_t* text);

    virtual void CalcItemRects(int index, CRect& item, CRect& visible, CRect& image, CRect& text);
    virtual void GetItemImageSize(int index, int& width, int& height);
    virtual void GetItemTextSize(int index, int& width, int& height);
    // Puts an item back outside the block: appended here.
    virtual int AddItemInOrder(const wchar_t* text, UINT mask, const OXLISTBOXITEM* item);
    virtual BOOL InitializeListBox();
    virtual void DrawSeparator(CDC* dc, const CRect& strip, const OXLISTBOXITEM& item);
    virtual void DrawItemImage(CDC* dc, const CRect& rect, UINT flags, const OXLISTBOXITEM& item);
    virtual void DrawItemText(CDC* dc, const CString& text, const CRect& rect, COLORREF color, CFont* font);

    void UpdateItemToolTips();
    // One item, or (-1) every item with a record, in index order: heights set and the extent grown
    // at once. A text already measured in the same font is not measured again.
    void RecalcItemSize(int index = -1);
    // Measures the items in view that are not measured yet.
    void LayOutVisibleItems();
    int GetItemToolCount() const { return m_nItemTools; }

    virtual void DrawItem(LPDRAWITEMSTRUCT item);
    virtual int CompareItem(LPCOMPAREITEMSTRUCT item);

    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    void PreSubclassWindow() override;
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    const MessageMap* GetMessageMap() const override;
    int OnCreate(LPCREATESTRUCT create);
    void OnDestroy();
    BOOL OnEraseBkgnd(HDC dc);
    void OnPaint();
    LRESULT OnSetRedraw(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetFont(WPARAM wParam, LPARAM lParam);
    void OnSize(UINT type, int cx, int cy);
    LRESULT OnVScroll(WPARAM wParam, LPARAM lParam);
    void OnShowWindow(BOOL show, UINT status);
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    LRESULT OnReflectCtlColor(WPARAM wParam, LPARAM lParam);
    LRESULT OnReflectDrawItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnReflectMeasureItem(WPARAM, LPARAM) { return TRUE; }
    LRESULT OnReflectCompareItem(WPARAM wParam, LPARAM lParam);
    // The list's own add, insert and delete keep the records in step.
    LRESULT OnAddString(WPARAM wParam, LPARAM lParam);
    LRESULT OnInsertString(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeleteString(WPARAM wParam, LPARAM lParam);
    LRESULT OnResetContent(WPARAM wParam, LPARAM lParam);

    // The records of `index` and above move up by one.
    void ShiftRecordsUp(int index);
    // The bookkeeping of one deleted item.
    void BookDeletion(int index);
    // Reads what a move out of and back into the list must keep.
    struct TakenItem {
        CString text;
        OXLISTBOXITEM record;
        DWORD_PTR data = 0;
        BOOL selected = FALSE;
        BOOL caret = FALSE;
    };
    TakenItem TakeItem(int index);
    void RestoreItem(int index, const TakenItem& taken);
    BOOL IsMultipleSelection() const { return (GetStyle() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
    void PlaceListTool(UINT message = TTM_SETTOOLINFOW);
    // An item's text and font (null: the list's); FALSE for a list without strings.
    BOOL GetItemTextAndFont(int index, CString& text, CFont*& font);
    // The size of one line of text in `font` (null: the list's) on a client DC.
    CSize MeasureText(const CString& text, HGDIOBJ font);
    void Redraw() { ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

    std::map<int, std::unique_ptr<OXLISTBOXITEM>> m_items;
    HWND m_hToolTip = nullptr;
    CImageList* m_pImageList = nullptr;
    int m_nMaxMRU = -1;
    int m_nLastMRUIndex = -1;
    int m_nWidestItem = -1;
    int m_nLastTopIndex = -1;
    COLORREF m_clrBackground;
    BOOL m_bHighlightOnlyText = FALSE;
    CString m_sToolTipText;
    BOOL m_bSaveRestoreMRU = FALSE;
    bool m_bRedrawOff = false;  // WM_SETREDRAW turned drawing off
    bool m_bBulk = false;  // a fill: items are measured when first shown, their tools and the redraw wait for its end
    HDC m_hMeasureDC = nullptr;  // the client DC the items in view are measured on

private:
    // Runs `measure` on one client DC for every text measured in it (a nested
    // layout takes its own), the list's redraw off meanwhile when `quiet`.
    void MeasureOnOneDC(bool quiet, const std::function<void()>& measure);

    int m_nItemTools = 0;       // item tools laid out, ids 1 .. m_nItemTools
    bool m_bPlacing = false;    // an insert of the list's own into the block
};

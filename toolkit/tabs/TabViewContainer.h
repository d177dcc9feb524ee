// COX3DTabViewContainer: a tab control whose pages are windows, usually
// views of the frame's document. One page per tab (the tab's item data), only
// the active one shown, sized to the display area. Views are made from their
// run-time class inside the frame's document set-up and get control ids of
// their own; the frame's active view follows the selected tab; dragging
// something over a tab shows its page.
#pragma once
#include "tabs/TabDropTarget.h"
#include "skins/SkinnedTabCtrl.h"

#include <memory>
#include <vector>

struct CRuntimeClass;
struct CCreateContext;

class COX3DTabViewDropTarget : public COXTabDragActivation {
protected:
    BOOL IsDragActivation(CWnd* wnd) const override;
    BOOL ActivateTab(CWnd* wnd, int index) override;
};

class COX3DTabViewContainer : public COXSkinnedTabCtrl {
public:
    // The style the container takes when it makes its own tab control.
    static constexpr DWORD kDefaultStyle = WS_CHILD | WS_VISIBLE | TCS_FOCUSNEVER | TCS_MULTILINE | TCS_HOTTRACK | TCS_BOTTOM;
    static constexpr UINT kFirstPageId = 100;

    COX3DTabViewContainer();
    ~COX3DTabViewContainer() override;

    // With the class "SysTabControl32" the window is made as asked; with any other the
    // container makes its own tab control in kDefaultStyle and `windowName` is its text.
    BOOL Create(const wchar_t* className, const wchar_t* windowName, DWORD style, const RECT& rect, CWnd* parent,
                UINT id, CCreateContext* context = nullptr) override;
    virtual BOOL CreateTabCtrl(CWnd* parent, const RECT& rect, DWORD style, UINT id);
    // Puts an existing window in as page `index`; it becomes the container's child.
    virtual BOOL InsertPage(int index, CWnd* page, const wchar_t* title, int image = -1, DWORD exStyle = 0,
                            BOOL activate = TRUE);
    // Makes a page of the class (a view shares the active view's document unless `context` says otherwise).
    virtual BOOL AddPage(int index, const CRuntimeClass* pageClass, CCreateContext* context, const wchar_t* title,
                         int image = -1, DWORD exStyle = 0, BOOL activate = TRUE);
    virtual BOOL DeletePage(int index, BOOL destroy = TRUE);
    virtual BOOL DeletePage(CWnd* page, BOOL destroy = TRUE);
    virtual BOOL SetActivePage(int index);
    // A control id no other page holds.
    virtual UINT GetUniqueId();
    virtual void RecalcLayout();

    CWnd* GetPage(int index) const;
    CWnd* GetActivePage() const { return GetPage(m_nActivePageIndex); }
    int GetActivePageIndex() const { return m_nActivePageIndex; }
    int FindPage(const CWnd* page) const;
    int GetPageCount() const { return m_hWnd ? GetItemCount() : 0; }
    CRect GetPageRect() const { return m_rectPage; }
    int GetOffsetExternal() const { return m_nOffsetExternal; }
    int GetOffsetInternal() const { return m_nOffsetInternal; }
    void SetOffsetExternal(int offset) { m_nOffsetExternal = offset; }
    void SetOffsetInternal(int offset) { m_nOffsetInternal = offset; }
    void SetDragActivation(BOOL activate) { m_bDragActivation = activate; }
    BOOL GetDragActivation() const { return m_bDragActivation; }

protected:
    const MessageMap* GetMessageMap() const override;
    void RecalcPageRect();
    int OnCreate(LPCREATESTRUCT cs);
    void OnSelChange(NMHDR*, LRESULT* result);
    void OnSize(UINT type, int cx, int cy);
    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    void OnNcPaint();
    LRESULT OnEraseBkgnd(HDC dc);
    void OnSetFocus();
    void OnDestroy();

private:
    void FreeId(UINT id);

    COX3DTabViewDropTarget m_dropTarget;
    std::vector<std::unique_ptr<CWnd>> m_ownedPages;  // pages made by AddPage that are not views, while they are pages
    BOOL m_bDragActivation = TRUE;
    std::vector<UINT> m_arrUniqueIDs{kFirstPageId};  // the last is handed out next; the first is never used yet
    BOOL m_bPlaceholder = FALSE;  // one tab too wide to show a page beside the strip
    int m_nOffsetExternal = 0;
    int m_nOffsetInternal = 0;
    int m_nActivePageIndex = -1;
    BOOL m_bInNcPaint = FALSE;
    CRect m_rectPage;
};

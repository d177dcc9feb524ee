#include "tabs/TabViewContainer.h"

#include "docview/Document.h"
#include "docview/RuntimeClass.h"
#include "docview/View.h"
#include "tabs/TabGeometry.h"
#include "wnd/CreateContext.h"
#include "wnd/FrameWnd.h"

#include <algorithm>
#include <memory>

namespace {
bool HasFocusWithin(HWND hwnd) {
    HWND focus = ::GetFocus();
    return focus && (focus == hwnd || ::IsChild(hwnd, focus));
}
}  // namespace

// Drop target ----------------------------------------------------------------------------

BOOL COX3DTabViewDropTarget::IsDragActivation(CWnd* wnd) const {
    auto* container = dynamic_cast<COX3DTabViewContainer*>(wnd);
    return container && container->GetDragActivation();
}

BOOL COX3DTabViewDropTarget::ActivateTab(CWnd* wnd, int index) {
    static_cast<COX3DTabViewContainer*>(wnd)->SetActivePage(index);
    return TRUE;
}

// Container ------------------------------------------------------------------------------

COX3DTabViewContainer::COX3DTabViewContainer() = default;
COX3DTabViewContainer::~COX3DTabViewContainer() = default;

const MessageMap* COX3DTabViewContainer::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COX3DTabViewContainer::OnCreate>(WM_CREATE),
        MapReflectNotify<&COX3DTabViewContainer::OnSelChange>(TCN_SELCHANGE),
        MapMessage<&COX3DTabViewContainer::OnSize>(WM_SIZE),
        MapMessage<&COX3DTabViewContainer::OnNcCalcSize>(WM_NCCALCSIZE),
        MapMessage<&COX3DTabViewContainer::OnNcPaint>(WM_NCPAINT),
        MapMessage<&COX3DTabViewContainer::OnEraseBkgnd>(WM_ERASEBKGND),
        MapMessage<&COX3DTabViewContainer::OnSetFocus>(WM_SETFOCUS),
        MapMessage<&COX3DTabViewContainer::OnDestroy>(WM_DESTROY),
    };
    static const MessageMap map{COXSkinnedTabCtrl::GetMessageMap(), entries};
    return &map;
}

BOOL COX3DTabViewContainer::Create(const wchar_t* className, const wchar_t* windowName, DWORD style, const RECT& rect,
                                   CWnd* parent, UINT id, CCreateContext* context) {
    if (className && _wcsicmp(className, WC_TABCONTROLW) == 0) {
        if (!CWnd::Create(className, windowName, style, rect, parent, id, context)) return FALSE;
        SetFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
        return TRUE;
    }
    if (!CreateTabCtrl(parent, rect, kDefaultStyle, id)) return FALSE;
    SetWindowText(windowName);
    return TRUE;
}

BOOL COX3DTabViewContainer::CreateTabCtrl(CWnd* parent, const RECT& rect, DWORD style, UINT id) {
    return CTabCtrl::Create(style, rect, parent, id);
}

int COX3DTabViewContainer::OnCreate(LPCREATESTRUCT cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    ModifyStyleEx(0, WS_EX_CONTROLPARENT);
    // The pages are children: the strip's painting must not cover them.
    ModifyStyle(0, WS_CLIPCHILDREN);
    // However the control was made, a drag over its tabs shows their pages.
    m_dropTarget.Register(this);
    return 0;
}

CWnd* COX3DTabViewContainer::GetPage(int index) const {
    if (!m_hWnd || index < 0 || index >= GetItemCount()) return nullptr;
    TCITEMW item{};
    item.mask = TCIF_PARAM;
    if (!GetItem(index, &item)) return nullptr;
    return reinterpret_cast<CWnd*>(item.lParam);
}

int COX3DTabViewContainer::FindPage(const CWnd* page) const {
    if (!page) return -1;
    for (int i = 0; i < GetPageCount(); ++i)
        if (GetPage(i) == page) return i;
    return -1;
}

BOOL COX3DTabViewContainer::InsertPage(int index, CWnd* page, const wchar_t* title, int image, DWORD exStyle, BOOL activate) {
    if (!m_hWnd || index < 0 || index > GetPageCount() || !page || !page->m_hWnd) return FALSE;
    ::SetParent(page->m_hWnd, m_hWnd);
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
    item.pszText = const_cast<wchar_t*>(title ? title : L"");
    item.iImage = image;
    item.lParam = reinterpret_cast<LPARAM>(page);
    const int landed = InsertItem(index, &item);
    if (landed != index) {
        if (landed >= 0) DeleteItem(landed);
        return FALSE;
    }
    // Every page from the insert position on moved up by one, the active one with them.
    if (m_nActivePageIndex >= index) ++m_nActivePageIndex;
    if (exStyle) page->ModifyStyleEx(0, exStyle);
    page->ModifyStyle(0, WS_TABSTOP);
    if (activate) SetActivePage(index);
    else if (index != m_nActivePageIndex) page->ShowWindow(SW_HIDE);  // only the active page is shown
    return TRUE;
}

BOOL COX3DTabViewContainer::AddPage(int index, const CRuntimeClass* pageClass, CCreateContext* context, const wchar_t* title,
                                    int image, DWORD exStyle, BOOL activate) {
    if (!m_hWnd || index < 0 || index > GetPageCount() || !pageClass) return FALSE;
    CCreateContext built;
    if (!context) {
        if (auto* view = dynamic_cast<CView*>(GetActivePage())) {
            built.m_pLastView = view;
            built.m_pCurrentDoc = view->GetDocument();
            if (built.m_pCurrentDoc) built.m_pNewDocTemplate = built.m_pCurrentDoc->GetDocTemplate();
        }
        context = &built;
    }
    context->m_pNewViewClass = pageClass;
    std::unique_ptr<CCmdTarget> object(pageClass->CreateObject());
    auto* page = dynamic_cast<CWnd*>(object.get());
    if (!page) return FALSE;
    const UINT id = GetUniqueId();
    if (!page->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, id, context)) {
        FreeId(id);
        return FALSE;  // the object goes with `object`
    }
    // From here the window decides the object's life (a view deletes itself with its window).
    const bool ownsItself = dynamic_cast<CView*>(page) != nullptr;
    if (ownsItself) object.release();
    if (!InsertPage(index, page, title, image, exStyle, activate)) {
        FreeId(id);
        page->DestroyWindow();
        return FALSE;
    }
    if (!ownsItself) {
        // A plain window's object lives until its page is destroyed.
        object.release();
        m_ownedPages.emplace_back(page);
    }
    if (dynamic_cast<CView*>(page)) page->SendMessage(WM_INITIALUPDATE);
    return TRUE;
}

BOOL COX3DTabViewContainer::DeletePage(int index, BOOL destroy) {
    const int count = GetPageCount();
    if (index < 0 || index >= count) return FALSE;
    CWnd* page = GetPage(index);
    int activated = -1;
    if (index == m_nActivePageIndex) {
        activated = index + 1 < count ? index + 1 : (count > 1 ? 0 : -1);
        if (activated >= 0) {
            SetActivePage(activated);
        } else {
            if (page && page->m_hWnd) page->ShowWindow(SW_HIDE);
            m_nActivePageIndex = -1;
        }
    }
    // A page made by AddPage is this container's to delete only while it is a page: kept, it goes
    // back to the caller, object and all.
    const auto owned = std::find_if(m_ownedPages.begin(), m_ownedPages.end(),
                                    [page](const std::unique_ptr<CWnd>& p) { return p.get() == page; });
    std::unique_ptr<CWnd> object;
    if (owned != m_ownedPages.end()) {
        object = std::move(*owned);
        m_ownedPages.erase(owned);
    }
    if (!destroy) {
        (void)object.release();
    } else if (page && page->m_hWnd) {
        FreeId(static_cast<UINT>(page->GetDlgCtrlID()));
        page->DestroyWindow();
    }
    DeleteItem(index);
    if (activated >= 0) m_nActivePageIndex = activated > index ? activated - 1 : activated;
    else if (m_nActivePageIndex > index) --m_nActivePageIndex;  // a page before the active one went
    if (m_nActivePageIndex >= 0) SetCurSel(m_nActivePageIndex);
    RecalcLayout();
    return TRUE;
}

BOOL COX3DTabViewContainer::DeletePage(CWnd* page, BOOL destroy) {
    const int index = FindPage(page);
    return index >= 0 && DeletePage(index, destroy);
}

BOOL COX3DTabViewContainer::SetActivePage(int index) {
    if (index == m_nActivePageIndex) return TRUE;
    CWnd* previous = GetActivePage();
    if (previous && previous->m_hWnd) previous->ShowWindow(SW_HIDE);
    m_nActivePageIndex = index;
    if (m_hWnd) SetCurSel(index);
    if (index < 0 || index >= GetPageCount()) {
        m_nActivePageIndex = -1;
        return FALSE;
    }
    CWnd* page = GetPage(index);
    if (!page || !page->m_hWnd) return TRUE;
    RecalcLayout();
    const bool focusInside = HasFocusWithin(m_hWnd);
    page->ShowWindow(SW_SHOW);
    CFrameWnd* frame = GetParentFrame();
    auto* view = dynamic_cast<CView*>(page);
    if (!frame) {
        if (focusInside) page->SetFocus();
    } else if (!view) {
        if (focusInside) page->SetFocus();
        if (dynamic_cast<CView*>(previous)) frame->SetActiveView(nullptr);
    } else {
        frame->SetActiveView(view, TRUE);
        if (focusInside) view->SetFocus();
    }
    ::RedrawWindow(page->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return TRUE;
}

UINT COX3DTabViewContainer::GetUniqueId() {
    // The first element is the next id never handed out; the others came back from pages.
    if (m_arrUniqueIDs.size() == 1) return m_arrUniqueIDs.front()++;
    const UINT id = m_arrUniqueIDs.back();
    m_arrUniqueIDs.pop_back();
    return id;
}

void COX3DTabViewContainer::FreeId(UINT id) {
    if (id >= m_arrUniqueIDs.front() || std::find(m_arrUniqueIDs.begin(), m_arrUniqueIDs.end(), id) != m_arrUniqueIDs.end())
        return;
    m_arrUniqueIDs.push_back(id);
}

void COX3DTabViewContainer::RecalcPageRect() {
    CRect r;
    GetWindowRect(&r);
    ScreenToClient(&r);
    ShrinkByOffset(r, m_nOffsetExternal);
    if (!r.IsRectEmpty()) {
        const int count = GetItemCount();
        bool showDisplay = true;
        if (count == 1) {
            // One tab wider than the room beside it: the page takes the whole rectangle.
            CRect tab;
            GetItemRect(0, &tab);
            m_bPlaceholder = tab.Width() + 50 > r.Width();
            showDisplay = !m_bPlaceholder;
        } else {
            m_bPlaceholder = FALSE;
        }
        if (showDisplay) {
            AdjustRect(FALSE, &r);
            ShrinkByOffset(r, m_nOffsetInternal);
        }
    }
    m_rectPage = CRect(r.left + 1, r.top + 1, r.right - 1, r.bottom - 2);
    GetTabSkin()->AdjustTabRect(m_rectPage, 4, this);
}

void COX3DTabViewContainer::RecalcLayout() {
    CWnd* page = GetActivePage();
    if (!page || !page->m_hWnd) return;
    RecalcPageRect();
    page->MoveWindow(m_rectPage, TRUE);
}

void COX3DTabViewContainer::OnSelChange(NMHDR*, LRESULT* result) {
    if (const int selected = GetCurSel(); selected >= 0) SetActivePage(selected);
    *result = 0;
}

void COX3DTabViewContainer::OnSize(UINT type, int cx, int cy) {
    Default();
    if (type != SIZE_MINIMIZED && cx > 0 && cy > 0) RecalcLayout();
}

LRESULT COX3DTabViewContainer::OnNcCalcSize(WPARAM, LPARAM lParam) {
    const LRESULT result = Default();
    ShrinkByOffset(*reinterpret_cast<RECT*>(lParam), m_nOffsetExternal);
    return result;
}

void COX3DTabViewContainer::OnNcPaint() {
    CWindowDC dc(this);
    CRect client;
    const CRect window = dc.ExcludeClientArea(&client);
    if (client.IsRectEmpty()) ::SelectClipRgn(dc, nullptr);
    m_bInNcPaint = TRUE;
    SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC));
    m_bInNcPaint = FALSE;
    if (GetExStyle() & WS_EX_CLIENTEDGE) dc.Draw3dRect(window, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
}

LRESULT COX3DTabViewContainer::OnEraseBkgnd(HDC hdc) {
    if (GetPageCount() > 0 && !m_bInNcPaint) ::ExcludeClipRect(hdc, m_rectPage.left, m_rectPage.top, m_rectPage.right, m_rectPage.bottom);
    CRect r;
    GetWindowRect(&r);
    ScreenToClient(&r);
    r.right += m_nOffsetExternal;
    r.bottom += m_nOffsetExternal;
    CDC dc;
    dc.Attach(hdc);
    dc.FillSolidRect(r, GetSysColor(COLOR_BTNFACE));
    dc.Detach();
    return 1;
}

void COX3DTabViewContainer::OnSetFocus() {
    if (CWnd* page = GetActivePage(); page && page->m_hWnd) page->SetFocus();
}

void COX3DTabViewContainer::OnDestroy() {
    SetActivePage(-1);
    for (int i = GetPageCount() - 1; i >= 0; --i) DeletePage(i, TRUE);
    m_dropTarget.Revoke();
    Default();
}

#include "lists/ListBoxEx.h"

#include "app/WinApp.h"

#include <algorithm>
#include <utility>
#include <vector>

#if !defined(_WIN64)
static_assert(sizeof(TOOLINFOW) == 48, "the tool record the list's own tool is updated with");
#endif

_tagOXLISTBOXITEM::_tagOXLISTBOXITEM()
    : clrText(::GetSysColor(COLOR_WINDOWTEXT)), clrTextSelected(::GetSysColor(COLOR_HIGHLIGHTTEXT)),
      clrBackground(::GetSysColor(COLOR_WINDOW)), clrBackgroundSelected(::GetSysColor(COLOR_HIGHLIGHT)) {}

namespace {
constexpr int kSeparatorHeight = 4;
}  // namespace

COXListBoxEx::COXListBoxEx() : m_clrBackground(::GetSysColor(COLOR_WINDOW)) {}

COXListBoxEx::~COXListBoxEx() {
    if (m_hToolTip && ::IsWindow(m_hToolTip)) ::DestroyWindow(m_hToolTip);
}

const MessageMap* COXListBoxEx::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXListBoxEx::OnCreate>(WM_CREATE),
        MapMessage<&COXListBoxEx::OnDestroy>(WM_DESTROY),
        MapMessage<&COXListBoxEx::OnEraseBkgnd>(WM_ERASEBKGND),
        MapMessage<&COXListBoxEx::OnPaint>(WM_PAINT),
        MapMessage<&COXListBoxEx::OnSetRedraw>(WM_SETREDRAW),
        MapMessage<&COXListBoxEx::OnSetFont>(WM_SETFONT),
        MapMessage<&COXListBoxEx::OnSize>(WM_SIZE),
        MapMessage<&COXListBoxEx::OnVScroll>(WM_VSCROLL),
        MapMessage<&COXListBoxEx::OnShowWindow>(WM_SHOWWINDOW),
        MapMessage<&COXListBoxEx::OnMouseWheel>(WM_MOUSEWHEEL),
        MapMessage<&COXListBoxEx::OnReflectCtlColor>(WM_REFLECT_BASE + WM_CTLCOLORLISTBOX),
        MapMessage<&COXListBoxEx::OnReflectDrawItem>(WM_REFLECT_BASE + WM_DRAWITEM),
        MapMessage<&COXListBoxEx::OnReflectMeasureItem>(WM_REFLECT_BASE + WM_MEASUREITEM),
        MapMessage<&COXListBoxEx::OnReflectCompareItem>(WM_REFLECT_BASE + WM_COMPAREITEM),
        MapMessage<&COXListBoxEx::OnAddString>(LB_ADDSTRING),
        MapMessage<&COXListBoxEx::OnInsertString>(LB_INSERTSTRING),
        MapMessage<&COXListBoxEx::OnDeleteString>(LB_DELETESTRING),
        MapMessage<&COXListBoxEx::OnResetContent>(LB_RESETCONTENT),
    };
    static const MessageMap map{CListBox::GetMessageMap(), entries};
    return &map;
}

// Styles and creation ----------------------------------------------------------------------

BOOL COXListBoxEx::PreCreateWindow(CREATESTRUCTW& cs) {
    cs.style = (cs.style & ~LBS_OWNERDRAWFIXED) | LBS_OWNERDRAWVARIABLE;
    return CListBox::PreCreateWindow(cs);
}

void COXListBoxEx::PreSubclassWindow() {
    ModifyStyle(LBS_OWNERDRAWFIXED, LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT, SWP_NOSIZE);
    InitializeListBox();
}

int COXListBoxEx::OnCreate(LPCREATESTRUCT) {
    if (Default() == -1) return -1;
    return InitializeListBox() ? 0 : -1;
}

BOOL COXListBoxEx::InitializeListBox() {
    if (m_hToolTip && ::IsWindow(m_hToolTip)) ::DestroyWindow(m_hToolTip);
    const bool topmost = (GetExStyle() & WS_EX_TOPMOST) != 0;
    m_hToolTip = ::CreateWindowExW(topmost ? WS_EX_TOPMOST : 0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | (topmost ? TTS_ALWAYSTIP : 0),
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    if (!m_hToolTip) return FALSE;
    if (topmost) ::SetWindowPos(m_hToolTip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    PlaceListTool(TTM_ADDTOOLW);
    m_nItemTools = 0;
    UpdateItemToolTips();
    return TRUE;
}

// The list's own tool over its whole client area (1 x 1 while that is empty), added or updated.
void COXListBoxEx::PlaceListTool(UINT message) {
    if (!m_hToolTip) return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = m_hWnd;
    tool.uId = OXLB_LISTTOOL_ID;
    CString text = GetToolTipText();
    tool.lpszText = const_cast<wchar_t*>(static_cast<const wchar_t*>(text));
    GetClientRect(&tool.rect);
    if (::IsRectEmpty(&tool.rect)) ::SetRect(&tool.rect, 0, 0, 1, 1);
    ::SendMessageW(m_hToolTip, message, 0, reinterpret_cast<LPARAM>(&tool));
}

void COXListBoxEx::OnDestroy() {
    if (m_bSaveRestoreMRU) SaveMRU(OXLB_MRU_SECTION);
    ResetContent();
    if (m_hToolTip && ::IsWindow(m_hToolTip)) ::DestroyWindow(m_hToolTip);
    m_hToolTip = nullptr;
    m_nItemTools = 0;
    Default();
}

void COXListBoxEx::OnSize(UINT, int, int) {
    Default();
    PlaceListTool();
    UpdateItemToolTips();
}

void COXListBoxEx::OnShowWindow(BOOL, UINT) {
    Default();
    if (m_hToolTip && (GetExStyle() & WS_EX_TOPMOST))
        ::SetWindowPos(m_hToolTip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    UpdateItemToolTips();
}

LRESULT COXListBoxEx::OnVScroll(WPARAM wParam, LPARAM) {
    const LRESULT result = Default();
    if (LOWORD(wParam) == SB_ENDSCROLL) UpdateItemToolTips();
    return result;
}

LRESULT COXListBoxEx::OnMouseWheel(WPARAM wParam, LPARAM) {
    const int delta = static_cast<short>(HIWORD(wParam));
    const int top = static_cast<int>(SendMessage(LB_GETTOPINDEX));
    SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, delta > 0 ? top - 1 : top + 1)));
    UpdateItemToolTips();
    return 0;
}

BOOL COXListBoxEx::PreTranslateMessage(MSG* msg) {
    const int top = static_cast<int>(SendMessage(LB_GETTOPINDEX));
    if (top != -1 && top != m_nLastTopIndex) {
        m_nLastTopIndex = top;
        UpdateItemToolTips();
    }
    if (m_hToolTip) {
        ::SendMessageW(m_hToolTip, TTM_ACTIVATE, TRUE, 0);
        ::SendMessageW(m_hToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
    }
    return CListBox::PreTranslateMessage(msg);
}

// Settings ---------------------------------------------------------------------------------

void COXListBoxEx::SetImageList(CImageList* images) {
    m_pImageList = images;
    if (m_hWnd) {
        RecalcItemSize(-1);
        UpdateItemToolTips();
        Redraw();
    }
}

void COXListBoxEx::SetBackgroundColor(COLORREF color) {
    m_clrBackground = color;
    if (m_hWnd) Redraw();
}

void COXListBoxEx::SetHighlightOnlyText(BOOL only) {
    m_bHighlightOnlyText = only;
    if (m_hWnd) {
        UpdateItemToolTips();
        Redraw();
    }
}

void COXListBoxEx::SetToolTipText(const wchar_t* text) {
    m_sToolTipText = text ? text : L"";
    if (m_hWnd) PlaceListTool();
}

// Items ------------------------------------------------------------------------------------

int COXListBoxEx::AddListItem(const wchar_t* text, UINT mask, const OXLISTBOXITEM* item) {
    const int index = AddString(text);
    if (index < 0) return index;
    OXLISTBOXITEM defaults;
    SetItemInfo(index, mask, item ? *item : defaults);
    return index;
}

int COXListBoxEx::InsertListItem(int index, const wchar_t* text, UINT mask, const OXLISTBOXITEM* item) {
    if (index == -1) return AddListItem(text, mask, item);
    const int inserted = InsertString(index, text);
    if (inserted < 0) return inserted;
    OXLISTBOXITEM defaults;
    SetItemInfo(inserted, mask, item ? *item : defaults);
    return inserted;
}

BOOL COXListBoxEx::SetItemInfo(int index, UINT mask, const OXLISTBOXITEM& item) {
    return SetItemInfo(index, mask, item.pFont, item.clrText, item.clrBackground, item.sTooltipText, item.nImageIndex,
                       item.nIndent, item.clrTextSelected, item.clrBackgroundSelected);
}

BOOL COXListBoxEx::SetItemInfo(int index, UINT mask, CFont* font, COLORREF text, COLORREF background, const wchar_t* tip,
                               int image, int indent, COLORREF selectedText, COLORREF selectedBackground) {
    const int count = GetCount();
    if (index == -1) {
        for (int i = 0; i < count; ++i)
            SetItemInfo(i, mask, font, text, background, tip, image, indent, selectedText, selectedBackground);
        return TRUE;
    }
    if (index < 0 || index >= count) return FALSE;
    auto found = m_items.find(index);
    if (found != m_items.end()) {
        OXLISTBOXITEM& record = *found->second;
        if (mask & OXLBI_FONT) record.pFont = font;
        if (mask & OXLBI_TEXTCOLOR) record.clrText = text;
        if (mask & OXLBI_BKCOLOR) record.clrBackground = background;
        if (mask & OXLBI_TOOLTIP) record.sTooltipText = tip ? tip : L"";
        if (mask & OXLBI_IMAGE) record.nImageIndex = image;
        if (mask & OXLBI_INDENT) record.nIndent = indent;
        if (mask & OXLBI_SELTEXTCOLOR) record.clrTextSelected = selectedText;
        if (mask & OXLBI_SELBKCOLOR) record.clrBackgroundSelected = selectedBackground;
        if (mask & OXLBI_FONT) record.bTextMeasured = false;
        if (mask & (OXLBI_FONT | OXLBI_INDENT)) {
            record.bLaidOut = false;
            if (!m_bBulk) RecalcItemSize(index);
        }
        if ((mask & (OXLBI_FONT | OXLBI_INDENT | OXLBI_TOOLTIP)) && !m_bBulk) UpdateItemToolTips();
    } else {
        auto record = std::make_unique<OXLISTBOXITEM>();
        record->pFont = font;
        record->clrText = text;
        record->clrBackground = background;
        record->sTooltipText = tip ? tip : L"";
        record->nImageIndex = image;
        record->nIndent = indent;
        record->clrTextSelected = selectedText;
        record->clrBackgroundSelected = selectedBackground;
        m_items[index] = std::move(record);
        if (!m_bBulk) {
            RecalcItemSize(index);
            UpdateItemToolTips();
        }
    }
    if (m_bBulk) return TRUE;
    CRect item, client;
    GetClientRect(&client);
    if (SendMessage(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != LB_ERR &&
        CRect().IntersectRect(item, client))
        Redraw();
    return TRUE;
}

OXLISTBOXITEM* COXListBoxEx::GetItemInfo(int index) const {
    auto found = m_items.find(index);
    return found == m_items.end() ? nullptr : found->second.get();
}

void COXListBoxEx::ShiftRecordsUp(int index) {
    std::map<int, std::unique_ptr<OXLISTBOXITEM>> moved;
    for (auto it = m_items.lower_bound(index); it != m_items.end();) {
        moved[it->first + 1] = std::move(it->second);
        it = m_items.erase(it);
    }
    for (auto& [i, record] : moved) m_items[i] = std::move(record);
}

LRESULT COXListBoxEx::OnAddString(WPARAM, LPARAM) {
    const LRESULT index = Default();
    if (index >= 0) ShiftRecordsUp(static_cast<int>(index));
    return index;
}

LRESULT COXListBoxEx::OnInsertString(WPARAM wParam, LPARAM lParam) {
    int index = static_cast<int>(static_cast<INT_PTR>(wParam));
    // Items from outside go below the block; only the block's own moves insert into it.
    if (!m_bPlacing && index >= 0 && index <= m_nLastMRUIndex) index = m_nLastMRUIndex + 1;
    const LRESULT inserted = DefWindowProc(LB_INSERTSTRING, static_cast<WPARAM>(index), lParam);
    if (inserted >= 0) ShiftRecordsUp(static_cast<int>(inserted));
    return inserted;
}

LRESULT COXListBoxEx::OnDeleteString(WPARAM wParam, LPARAM) {
    const LRESULT result = Default();
    if (result != LB_ERR) BookDeletion(static_cast<int>(wParam));
    return result;
}

void COXListBoxEx::BookDeletion(int index) {
    m_items.erase(index);
    std::map<int, std::unique_ptr<OXLISTBOXITEM>> moved;
    for (auto it = m_items.upper_bound(index); it != m_items.end();) {
        moved[it->first - 1] = std::move(it->second);
        it = m_items.erase(it);
    }
    for (auto& [i, record] : moved) m_items[i] = std::move(record);
    const bool inBlock = index <= m_nLastMRUIndex;
    if (inBlock) {
        for (auto& [i, record] : m_items)
            if (record->nMRUIndex > index) --record->nMRUIndex;
        --m_nLastMRUIndex;
    }
    if (index == m_nWidestItem) m_nWidestItem = -1;
    if (inBlock || m_nWidestItem == -1) RecalcItemSize(-1);
    UpdateItemToolTips();
}

LRESULT COXListBoxEx::OnResetContent(WPARAM, LPARAM) {
    m_items.clear();
    m_nLastMRUIndex = -1;
    m_nWidestItem = -1;
    m_nLastTopIndex = -1;
    const LRESULT result = Default();
    SendMessage(LB_SETHORIZONTALEXTENT, 0);
    UpdateItemToolTips();
    return result;
}

// Layout -----------------------------------------------------------------------------------

void COXListBoxEx::GetItemImageSize(int, int& width, int& height) {
    width = height = 0;
    CImageList* images = GetImageList();
    IMAGEINFO info{};
    if (images && images->GetImageCount() > 0 && ImageList_GetImageInfo(*images, 0, &info)) {
        width = info.rcImage.right - info.rcImage.left;
        height = info.rcImage.bottom - info.rcImage.top;
    }
}

CSize COXListBoxEx::MeasureText(const CString& text, HGDIOBJ font) {
    HDC dc = m_hMeasureDC ? m_hMeasureDC : ::GetDC(m_hWnd);
    if (!font) font = GetFont();
    HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
    RECT r{};
    ::DrawTextW(dc, text, text.GetLength(), &r, DT_CALCRECT | DT_SINGLELINE);
    if (old) ::SelectObject(dc, old);
    if (dc != m_hMeasureDC) ::ReleaseDC(m_hWnd, dc);
    return CSize(r.right - r.left, r.bottom - r.top);
}

BOOL COXListBoxEx::GetItemTextAndFont(int index, CString& text, CFont*& font) {
    font = nullptr;
    if (!(GetStyle() & LBS_HASSTRINGS)) return FALSE;
    GetText(index, text);
    if (const OXLISTBOXITEM* record = GetItemInfo(index)) font = record->pFont;
    return TRUE;
}

void COXListBoxEx::GetItemTextSize(int index, int& width, int& height) {
    width = height = 0;
    CString text;
    CFont* font = nullptr;
    if (!GetItemTextAndFont(index, text, font)) return;
    const CSize size = MeasureText(text, font ? font->GetSafeHandle() : nullptr);
    width = size.cx;
    height = size.cy;
}

void COXListBoxEx::CalcItemRects(int index, CRect& item, CRect& visible, CRect& image, CRect& text) {
    int imageWidth = 0, imageHeight = 0, textWidth = 0, textHeight = 0;
    GetItemImageSize(index, imageWidth, imageHeight);
    OXLISTBOXITEM* record = GetItemInfo(index);
    const HGDIOBJ font = record && record->pFont ? record->pFont->GetSafeHandle() : nullptr;
    if (record && record->bTextMeasured && record->hMeasuredFont == font) {
        textWidth = record->sizeText.cx;
        textHeight = record->sizeText.cy;
    } else {
        GetItemTextSize(index, textWidth, textHeight);
        if (record) {
            record->sizeText = CSize(textWidth, textHeight);
            record->hMeasuredFont = font;
            record->bTextMeasured = true;
        }
    }
    const int indent = record ? record->nIndent : 0;
    const int gap = imageWidth >= 1 ? 2 : 0;
    item.SetRect(0, 0, indent + gap + imageWidth + textWidth + 4, std::max(imageHeight + 4, textHeight + 4));
    image.SetRectEmpty();
    if (imageWidth >= 1) {
        image.left = indent + 2;
        image.top = (item.Height() - imageHeight) / 2;
        image.right = image.left + imageWidth;
        image.bottom = image.top + imageHeight;
    }
    text.left = indent + gap + imageWidth + 2;
    text.top = (item.Height() - textHeight) / 2;
    text.right = text.left + textWidth;
    text.bottom = text.top + textHeight;
    if (index == m_nLastMRUIndex) item.bottom += kSeparatorHeight;
    visible = item;
    CRect client;
    GetClientRect(&client);
    if (client.Width() < visible.right) visible.right = client.Width();
    if (record) {
        record->rectItem = item;
        record->rectImage = image;
        record->rectText = text;
        record->bLaidOut = true;
    }
}

void COXListBoxEx::RecalcItemSize(int index) {
    if (!m_hWnd) return;
    if (index == -1) {
        std::vector<int> indexes;
        indexes.reserve(m_items.size());
        for (auto& [i, record] : m_items) {
            record->bLaidOut = false;
            indexes.push_back(i);
        }
        if (indexes.empty()) return;
        // Each new height would otherwise redraw the list and its scroll bar at once.
        const bool quiet = !m_bRedrawOff && indexes.size() > 1;
        MeasureOnOneDC(quiet, [&] {
            for (int i : indexes) {
                // A height set on the way can lay out the items in view from within.
                if (const OXLISTBOXITEM* record = GetItemInfo(i); record && !record->bLaidOut) RecalcItemSize(i);
            }
        });
        if (quiet) ::InvalidateRect(m_hWnd, nullptr, TRUE);
        return;
    }
    if (index < 0 || index >= GetCount()) return;
    CRect item, visible, image, text;
    CalcItemRects(index, item, visible, image, text);
    const LPARAM height = std::min<LPARAM>(255, item.Height());
    if (SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(index)) != height)
        SendMessage(LB_SETITEMHEIGHT, static_cast<WPARAM>(index), height);
    const int extent = static_cast<int>(SendMessage(LB_GETHORIZONTALEXTENT));
    if (item.Width() > extent) {
        m_nWidestItem = index;
        SendMessage(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(item.Width()));
    }
}

void COXListBoxEx::LayOutVisibleItems() {
    if (!m_hWnd || m_items.empty()) return;
    const int top = static_cast<int>(SendMessage(LB_GETTOPINDEX));
    if (top < 0) return;
    CRect client;
    GetClientRect(&client);
    const int count = GetCount();
    // Walks the items in view, measuring them or counting those to measure.
    auto walk = [&](bool measure) {
        int unmeasured = 0;
        for (int i = top, y = client.top; i < count && y < client.bottom; ++i) {
            if (OXLISTBOXITEM* record = GetItemInfo(i); record && !record->bLaidOut) {
                ++unmeasured;
                if (measure) RecalcItemSize(i);
            }
            y += std::max(0, static_cast<int>(SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(i))));
        }
        return unmeasured;
    };
    const int unmeasured = walk(false);
    if (!unmeasured) return;
    // Each new height would otherwise redraw the items below it and the scroll bar at once.
    // A new height can resize the list (its scroll bar comes), which lays out the items in view
    // again from within: each walk keeps its own DC.
    MeasureOnOneDC(!m_bRedrawOff && unmeasured > 1, [&] { walk(true); });
}

void COXListBoxEx::MeasureOnOneDC(bool quiet, const std::function<void()>& measure) {
    if (quiet) SetRedraw(FALSE);
    {
        CClientDC dc(this);
        HDC outer = std::exchange(m_hMeasureDC, dc.GetSafeHdc());
        measure();
        m_hMeasureDC = outer;
    }
    if (quiet) SetRedraw(TRUE);
}

LRESULT COXListBoxEx::OnSetRedraw(WPARAM wParam, LPARAM) {
    m_bRedrawOff = !wParam;
    return Default();
}

// Texts in the list's own font are measured again the next time they are laid out.
LRESULT COXListBoxEx::OnSetFont(WPARAM, LPARAM) {
    const LRESULT result = Default();
    for (auto& [i, record] : m_items) record->bTextMeasured = false;
    return result;
}

void COXListBoxEx::OnPaint() {
    LayOutVisibleItems();
    Default();
}

// Tooltips of the items ---------------------------------------------------------------------

void COXListBoxEx::UpdateItemToolTips() {
    if (!m_hToolTip || !m_hWnd) return;
    LayOutVisibleItems();
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = m_hWnd;
    for (int id = 1; id <= m_nItemTools; ++id) {
        tool.uId = static_cast<UINT_PTR>(id);
        ::SendMessageW(m_hToolTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    m_nItemTools = 0;
    const int top = static_cast<int>(SendMessage(LB_GETTOPINDEX));
    if (top < 0) return;
    CRect client;
    GetClientRect(&client);
    int y = client.top;
    for (int i = top; i < GetCount(); ++i) {
        const int height = static_cast<int>(SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(i)));
        CRect row(client.left, y, client.right, y + std::max(0, height));
        y = row.bottom;
        const OXLISTBOXITEM* record = GetItemInfo(i);
        if (record && !record->sTooltipText.IsEmpty()) {
            if (IsHighlightOnlyText()) {
                const int left = (record->rectImage.IsRectEmpty() || record->rectImage.left < row.left) ? record->rectText.left
                                                                                                 : record->rectImage.left;
                row.left = std::max<LONG>(row.left, left);
                if (row.right > record->rectText.right) row.right = record->rectText.right;
            }
            tool.uId = static_cast<UINT_PTR>(++m_nItemTools);
            tool.rect = row;
            tool.lpszText = const_cast<wchar_t*>(static_cast<const wchar_t*>(record->sTooltipText));
            ::SendMessageW(m_hToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
        if (row.bottom >= client.bottom) break;
    }
}

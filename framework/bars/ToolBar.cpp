#include "bars/ToolBar.h"

#include "gdi/BufferedPaint.h"

#include <algorithm>
#include <tuple>

namespace {
constexpr int kSeparatorWidth = 8;
}

CToolBar::CToolBar() {
    m_cxLeftBorder = m_cxRightBorder = 2;
    m_cyTopBorder = m_cyBottomBorder = 1;
}

CToolBar::~CToolBar() {
    if (m_hWnd) DestroyWindow();
    if (m_hImageList) ImageList_Destroy(m_hImageList);
}

const MessageMap* CToolBar::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CToolBar::OnNcCalcSize>(WM_NCCALCSIZE),
        MapMessage<&CToolBar::OnNcHitTest>(WM_NCHITTEST),
        MapMessage<&CToolBar::OnControlPaint>(WM_PAINT),
        MapMessage<&CToolBar::OnEraseBkgnd>(WM_ERASEBKGND),
        MapMessage<&CToolBar::OnNcPaint>(WM_NCPAINT),
        MapMessage<&CToolBar::OnLButtonDown>(WM_LBUTTONDOWN),
        MapMessage<&CToolBar::OnLButtonDblClk>(WM_LBUTTONDBLCLK),
    };
    static const MessageMap map{CControlBar::GetMessageMap(), entries};
    return &map;
}

// The buttons are drawn into a buffer, background first, and reach the screen
// in one blit.
void CToolBar::OnControlPaint() { PaintThroughBuffer(*this); }

LRESULT CToolBar::OnEraseBkgnd(HDC dc) { return IsPaintBuffer(dc) ? Default() : TRUE; }

bool CToolBar::IsOnButton(CPoint point) const {
    POINT at = point;
    // TB_HITTEST gives a button's index; separators, hosted windows' slots and
    // the space beside the buttons come out negative.
    return SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&at)) >= 0;
}

void CToolBar::OnLButtonDown(UINT flags, CPoint point) {
    if (IsOnButton(point)) Default();
    else CControlBar::OnLButtonDown(flags, point);
}

void CToolBar::OnLButtonDblClk(UINT flags, CPoint point) {
    if (IsOnButton(point)) Default();
    else CControlBar::OnLButtonDblClk(flags, point);
}

BOOL CToolBar::Create(CWnd* parent, DWORD style, UINT id) {
    return CreateEx(parent, 0, style, CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder), id);
}

BOOL CToolBar::CreateEx(CWnd* parent, DWORD ctrlStyle, DWORD style, CRect borders, UINT id) {
    SetBorders(borders);
    m_dwStyle = style & CBRS_ALL;
    if (m_dwStyle & CBRS_TOOLTIPS) ctrlStyle |= TBSTYLE_TOOLTIPS;
    // The bar, not the control, decides where it goes and how big it is.
    const DWORD windowStyle = (style & ~CBRS_ALL) | ctrlStyle | CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE;
    // CControlBar::PreCreateWindow would take the control's own style bits for bar bits: create as is.
    HWND hwnd = CreateBound([&] {
        return CreateWindowExW(0, TOOLBARCLASSNAMEW, L"", windowStyle | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                               parent ? parent->m_hWnd : nullptr, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
    });
    if (!hwnd) return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    SetSizes(m_sizeButton, m_sizeImage);
    if (parent) SetOwner(parent);
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT resourceId) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(RT_TOOLBAR_ID));
    if (!found) return FALSE;
    const DWORD bytes = SizeofResource(instance, found);
    const auto* words = static_cast<const WORD*>(LockResource(LoadResource(instance, found)));
    // Version 1, image width and height, count, then the ids: all within the resource.
    if (!words || bytes < 4 * sizeof(WORD) || words[0] != 1) return FALSE;
    const int count = words[3];
    if (bytes < (4u + static_cast<DWORD>(count)) * sizeof(WORD)) return FALSE;
    std::vector<UINT> ids(words + 4, words + 4 + count);
    const CSize image(words[1], words[2]);
    SetSizes(CSize(image.cx + 7, image.cy + 7), image);
    if (!SetButtons(ids.data(), count)) return FALSE;
    m_nResourceId = resourceId;
    return LoadBitmap(resourceId);
}

BOOL CToolBar::LoadBitmap(UINT resourceId) {
    auto bitmap = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, 0));
    if (!bitmap) return FALSE;
    const BOOL done = SetBitmap(bitmap);
    DeleteObject(bitmap);
    return done;
}

BOOL CToolBar::SetBitmap(HBITMAP bitmap) {
    BITMAP info{};
    if (!GetObjectW(bitmap, sizeof(info), &info)) return FALSE;
    HIMAGELIST images = ImageList_Create(m_sizeImage.cx, m_sizeImage.cy, ILC_COLOR24 | ILC_MASK,
                                         std::max<int>(1, info.bmWidth / std::max<int>(1, m_sizeImage.cx)), 4);
    if (!images) return FALSE;
    // The classic button face grey of toolbar bitmaps is their transparent colour.
    ImageList_AddMasked(images, bitmap, RGB(192, 192, 192));
    SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    if (m_hImageList) ImageList_Destroy(m_hImageList);
    m_hImageList = images;
    return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* ids, int count) {
    while (GetCount() > 0) SendMessage(TB_DELETEBUTTON, static_cast<WPARAM>(GetCount() - 1));
    if (!ids || count <= 0) return TRUE;
    std::vector<TBBUTTON> buttons(static_cast<size_t>(count));
    int image = 0;
    for (int i = 0; i < count; ++i) {
        TBBUTTON& b = buttons[static_cast<size_t>(i)];
        b = TBBUTTON{};
        b.iString = -1;
        if (ids[i] == ID_SEPARATOR) {
            b.fsStyle = TBSTYLE_SEP;
            b.iBitmap = kSeparatorWidth;
        } else {
            b.idCommand = static_cast<int>(ids[i]);
            b.iBitmap = image++;
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = TBSTYLE_BUTTON;
        }
    }
    return static_cast<BOOL>(SendMessage(TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())));
}

void CToolBar::SetSizes(SIZE button, SIZE image) {
    m_sizeButton = button;
    m_sizeImage = image;
    if (!m_hWnd) return;
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELONG(image.cx, image.cy));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELONG(button.cx, button.cy));
}

void CToolBar::SetHeight(int height) { m_cyBottomBorder = std::max<int>(0, height - m_sizeButton.cy - m_cyTopBorder); }

CSize CToolBar::GetButtonSize() const {
    const auto size = static_cast<DWORD>(SendMessage(TB_GETBUTTONSIZE));
    return CSize(LOWORD(size), HIWORD(size));
}

int CToolBar::GetCount() const { return m_hWnd ? static_cast<int>(SendMessage(TB_BUTTONCOUNT)) : 0; }
int CToolBar::CommandToIndex(UINT id) const { return static_cast<int>(SendMessage(TB_COMMANDTOINDEX, id)); }

UINT CToolBar::GetItemID(int index) const {
    TBBUTTON button{};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button))) return 0;
    return static_cast<UINT>(button.idCommand);
}

void CToolBar::GetItemRect(int index, LPRECT rect) const {
    if (!SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect))) ::SetRectEmpty(rect);
}

void CToolBar::GetButtonInfo(int index, UINT& id, UINT& style, int& image) const {
    TBBUTTON button{};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button))) {
        id = 0;
        style = 0;
        image = 0;
        return;
    }
    id = static_cast<UINT>(button.idCommand);
    style = button.fsStyle | (static_cast<UINT>(button.fsState ^ TBSTATE_ENABLED) << 16);
    image = button.iBitmap;
}

UINT CToolBar::GetButtonStyle(int index) const {
    UINT id = 0, style = 0;
    int image = 0;
    GetButtonInfo(index, id, style, image);
    return style;
}

void CToolBar::SetButtonInfo(int index, UINT id, UINT style, int image) {
    TBBUTTONINFOW info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_COMMAND | TBIF_STYLE | TBIF_STATE | TBIF_IMAGE | TBIF_SIZE;
    info.idCommand = static_cast<int>(id);
    info.fsStyle = static_cast<BYTE>(LOWORD(style));
    info.fsState = static_cast<BYTE>(HIWORD(style) ^ TBSTATE_ENABLED);
    info.iImage = image;
    // A separator's image is its width.
    info.cx = static_cast<WORD>((style & TBSTYLE_SEP) ? std::max(0, image) : 0);
    SendMessage(TB_SETBUTTONINFOW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info));
}

void CToolBar::SetButtonStyle(int index, UINT style) {
    TBBUTTON button{};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button))) return;
    const auto fsStyle = static_cast<BYTE>(LOWORD(style));
    const auto fsState = static_cast<BYTE>(HIWORD(style) ^ TBSTATE_ENABLED);
    if (button.fsStyle == fsStyle && button.fsState == fsState) return;
    TBBUTTONINFOW info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_STYLE | TBIF_STATE;
    info.fsStyle = fsStyle;
    info.fsState = fsState;
    SendMessage(TB_SETBUTTONINFOW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info));
}

BOOL CToolBar::SetButtonText(int index, const wchar_t* text) {
    CString copy(text ? text : L"");
    TBBUTTONINFOW info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_TEXT;
    info.pszText = const_cast<wchar_t*>(static_cast<const wchar_t*>(copy));
    return SendMessage(TB_SETBUTTONINFOW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info)) != 0;
}

CString CToolBar::GetButtonText(int index) const {
    wchar_t buffer[512] = {};
    TBBUTTONINFOW info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_TEXT;
    info.pszText = buffer;
    info.cchText = static_cast<int>(std::size(buffer));
    if (SendMessage(TB_GETBUTTONINFOW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info)) < 0) return CString();
    buffer[std::size(buffer) - 1] = 0;
    return CString(buffer);
}

std::vector<TBBUTTON> CToolBar::GetButtons() const {
    std::vector<TBBUTTON> buttons(static_cast<size_t>(GetCount()));
    for (size_t i = 0; i < buttons.size(); ++i)
        SendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&buttons[i]));
    return buttons;
}

void CToolBar::SetButtonsState(const std::vector<TBBUTTON>& buttons) {
    // Set by index (buttons may share an id) and through TB_SETBUTTONINFO, which lays the
    // control out again: Wine's TB_SETSTATE leaves a changed wrap state unapplied.
    for (size_t i = 0; i < buttons.size(); ++i) {
        TBBUTTON now{};
        if (!SendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&now))) continue;
        if (now.fsState == buttons[i].fsState) continue;
        TBBUTTONINFOW info{};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_BYINDEX | TBIF_STATE;
        info.fsState = buttons[i].fsState;
        SendMessage(TB_SETBUTTONINFOW, i, reinterpret_cast<LPARAM>(&info));
    }
}

int CToolBar::MeasuredWidth(const TBBUTTON& button) const {
    if (!m_bMeasuring) return ButtonWidth(button);
    const auto key = std::make_tuple(button.idCommand, button.fsStyle, button.iBitmap);
    auto found = m_measured.find(key);
    if (found != m_measured.end()) return found->second;
    const int width = ButtonWidth(button);
    m_measured.emplace(key, width);
    return width;
}

int CToolBar::ButtonWidth(const TBBUTTON& button) const {
    if (button.fsStyle & TBSTYLE_SEP) return button.iBitmap > 0 ? button.iBitmap : kSeparatorWidth;
    const int index = CommandToIndex(static_cast<UINT>(button.idCommand));
    CRect rect;
    if (index >= 0 && SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect)) && rect.Width() > 0)
        return rect.Width();
    return GetButtonSize().cx;
}

// A separator that ends a row lies across the bar, two thirds of its width high.
int CToolBar::WrappedSeparatorHeight(const TBBUTTON& separator) const {
    return (separator.iBitmap > 0 ? separator.iBitmap : kSeparatorWidth) * 2 / 3;
}

CSize CToolBar::CalcSize(std::vector<TBBUTTON>& buttons) {
    const CSize button = GetButtonSize();
    int x = 0, y = 0, widest = 0;
    for (const TBBUTTON& b : buttons) {
        if (b.fsState & TBSTATE_HIDDEN) continue;
        x += MeasuredWidth(b);
        widest = std::max(widest, x);
        if (b.fsState & TBSTATE_WRAP) {
            x = 0;
            y += button.cy;
            if (b.fsStyle & TBSTYLE_SEP) y += WrappedSeparatorHeight(b);
        }
    }
    if (x > 0 || buttons.empty()) y += button.cy;
    return CSize(widest, y);
}

int CToolBar::WrapToolBar(std::vector<TBBUTTON>& buttons, int width) {
    int rows = 1, x = 0;
    size_t rowStart = 0;
    for (auto& b : buttons) b.fsState &= ~TBSTATE_WRAP;
    for (size_t i = 0; i < buttons.size(); ++i) {
        TBBUTTON& b = buttons[i];
        if (b.fsState & TBSTATE_HIDDEN) continue;
        const int w = MeasuredWidth(b);
        if (x > 0 && x + w > width) {
            // Break the row at its last separator before this button, else just before it.
            size_t breakAt = i - 1;
            for (size_t j = i; j-- > rowStart;) {
                if ((buttons[j].fsStyle & TBSTYLE_SEP) && !(buttons[j].fsState & TBSTATE_HIDDEN)) {
                    breakAt = j;
                    break;
                }
            }
            buttons[breakAt].fsState |= TBSTATE_WRAP;
            ++rows;
            rowStart = breakAt + 1;
            x = 0;
            for (size_t j = rowStart; j < i; ++j)
                if (!(buttons[j].fsState & TBSTATE_HIDDEN)) x += MeasuredWidth(buttons[j]);
        }
        x += w;
    }
    return rows;
}

void CToolBar::SizeToolBar(std::vector<TBBUTTON>& buttons, int length, BOOL vertical) {
    int low = 1, high = 1;
    for (const auto& b : buttons)
        if (!(b.fsState & TBSTATE_HIDDEN)) high += MeasuredWidth(b);
    // The narrowest width that gives at most `length` rows (or at most `length` pixels of height).
    while (low < high) {
        const int mid = (low + high) / 2;
        WrapToolBar(buttons, mid);
        const bool fits = vertical ? CalcSize(buttons).cy <= length : WrapToolBar(buttons, mid) <= length;
        if (fits) high = mid;
        else low = mid + 1;
    }
    WrapToolBar(buttons, high);
}

CSize CToolBar::CalcLayout(DWORD mode, int length) {
    std::vector<TBBUTTON> buttons = GetButtons();
    PrepareLayoutButtons(buttons, mode);
    // Each entry is measured once in a pass.
    m_measured.clear();
    m_bMeasuring = TRUE;
    const BOOL horz = (mode & LM_HORZ) != 0;
    if (mode & LM_HORZDOCK) {
        WrapToolBar(buttons, 32767);
    } else if (mode & LM_VERTDOCK) {
        WrapToolBar(buttons, GetButtonSize().cx);  // one column
    } else if (mode & LM_MRUWIDTH) {
        WrapToolBar(buttons, m_nMRUWidth);
    } else if (length >= 0) {
        if (mode & LM_LENGTHY) SizeToolBar(buttons, length, TRUE);
        else WrapToolBar(buttons, length);
    } else {
        WrapToolBar(buttons, horz ? 32767 : GetButtonSize().cx);
    }
    CSize size = CalcSize(buttons);
    m_bMeasuring = FALSE;
    CRect inside;
    CalcInsideRect(inside, horz);
    size.cx -= inside.Width();
    size.cy -= inside.Height();
    if ((mode & LM_STRETCH) && (mode & LM_HORZ)) size.cx = 32767;
    if ((mode & LM_STRETCH) && !(mode & LM_HORZ)) size.cy = 32767;
    if (mode & LM_COMMIT) {
        if (IsFloating()) m_nMRUWidth = CalcSize(buttons).cx;
        SetButtonsState(buttons);
        PlaceHostedWindows();
    } else if (!(mode & LM_MRUWIDTH) || IsFloating()) {
        // The control lays its buttons out by the wrap states of the shape the bar takes.
        if ((mode & (LM_HORZDOCK | LM_VERTDOCK)) || IsFloating()) {
            SetButtonsState(buttons);
            PlaceHostedWindows();
        }
    }
    return size;
}

CSize CToolBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
    return CalcLayout((stretch ? LM_STRETCH : 0) | (horz ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK));
}

CSize CToolBar::CalcDynamicLayout(int length, DWORD mode) {
    if (length == -1 && !(mode & (LM_MRUWIDTH | LM_COMMIT)) && (mode & (LM_HORZDOCK | LM_VERTDOCK)))
        return CalcFixedLayout(mode & LM_STRETCH, mode & LM_HORZDOCK);
    return CalcLayout(mode, length);
}

void CToolBar::PlaceHostedWindows() {
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        TBBUTTON b{};
        SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
        if (!(b.fsStyle & TBSTYLE_SEP) || b.idCommand == 0 || PlacesHostedWindowItself(i)) continue;
        HWND hosted = ::GetDlgItem(m_hWnd, b.idCommand);
        if (!hosted) continue;
        CRect rect, now;
        GetItemRect(i, &rect);
        ::GetWindowRect(hosted, &now);
        ScreenToClient(&now);
        if (now.left != rect.left || now.top != rect.top)
            ::SetWindowPos(hosted, nullptr, rect.left, rect.top, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
    }
}

LRESULT CToolBar::OnNcCalcSize(WPARAM, LPARAM lParam) {
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
    CRect inside;
    CalcInsideRect(inside, (m_dwStyle & CBRS_ORIENT_HORZ) != 0);
    // `inside` is the empty rectangle moved in by the borders: its corners are the offsets.
    params->rgrc[0].left += inside.left;
    params->rgrc[0].top += inside.top;
    params->rgrc[0].right += inside.right;
    params->rgrc[0].bottom += inside.bottom;
    if (params->rgrc[0].right < params->rgrc[0].left) params->rgrc[0].right = params->rgrc[0].left;
    if (params->rgrc[0].bottom < params->rgrc[0].top) params->rgrc[0].bottom = params->rgrc[0].top;
    return 0;
}

LRESULT CToolBar::OnNcHitTest(WPARAM, LPARAM lParam) {
    CRect window;
    GetWindowRect(&window);
    return window.PtInRect(CPoint(lParam)) ? HTCLIENT : HTNOWHERE;
}

CRect CToolBar::NonClientRect(CDC& dc) const {
    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    ClientToScreen(&client);
    client.OffsetRect(-window.left, -window.top);
    window.OffsetRect(-window.left, -window.top);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    return window;
}

void CToolBar::OnNcPaint() {
    CWindowDC dc(this);
    const CRect window = NonClientRect(dc);
    dc.FillSolidRect(window, GetSysColor(COLOR_BTNFACE));
    CRect borders = window;
    DrawBorders(&dc, borders);
    DrawGripper(&dc, borders);
}

BOOL CToolBar::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    return CControlBar::OnChildNotify(message, wParam, lParam, result);
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) {
    CToolCmdUI state;
    UpdateButtons(state, target, disableIfNoHandler);
}

void CToolBar::UpdateButtons(CCmdUI& state, CFrameWnd* target, BOOL disableIfNoHandler) {
    state.m_pOther = this;
    const int count = GetCount();
    state.m_nIndexMax = static_cast<UINT>(count);
    for (int i = 0; i < count; ++i) {
        TBBUTTON b{};
        if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b))) continue;
        if (!IsUpdatedButton(i, b)) continue;
        state.m_nIndex = static_cast<UINT>(i);
        state.m_nID = static_cast<UINT>(b.idCommand);
        // The bar's own update handlers first, then the owner's routing.
        CommandCall call;
        call.id = state.m_nID;
        call.code = CN_UPDATE_COMMAND_UI;
        call.cmdUI = &state;
        if (CCmdTarget::OnCmdMsg(call)) continue;
        state.DoUpdate(target, disableIfNoHandler);
    }
    UpdateDialogControls(target, disableIfNoHandler);
}

void CToolCmdUI::Enable(BOOL on) {
    m_bEnableChanged = TRUE;
    auto* bar = static_cast<CToolBar*>(m_pOther);
    UINT style = bar->GetButtonStyle(static_cast<int>(m_nIndex)) & ~TBBS_DISABLED;
    if (!on) style = (style | TBBS_DISABLED) & ~TBBS_PRESSED;
    bar->SetButtonStyle(static_cast<int>(m_nIndex), style);
}

void CToolCmdUI::SetCheck(int check) {
    auto* bar = static_cast<CToolBar*>(m_pOther);
    UINT style = bar->GetButtonStyle(static_cast<int>(m_nIndex)) & ~(TBBS_CHECKED | TBBS_INDETERMINATE);
    if (check == 1) style |= TBBS_CHECKED;
    else if (check == 2) style |= TBBS_INDETERMINATE;
    bar->SetButtonStyle(static_cast<int>(m_nIndex), style | TBBS_CHECKBOX);
}

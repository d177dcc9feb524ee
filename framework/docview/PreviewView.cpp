#include "docview/PreviewView.h"

#include "app/WinApp.h"
#include "docview/View.h"
#include "gdi/BufferedPaint.h"
#include "wnd/FrameWnd.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMargin = 8;      // around the pages
constexpr int kGap = 8;         // between two pages
constexpr int kButtonHeight = 22;
constexpr double kZoomFactors[] = {1.0, 2.0, 3.0};

struct PreviewButton {
    UINT id;
    const wchar_t* text;
};
constexpr PreviewButton kButtons[] = {
    {AFX_ID_PREVIEW_PRINT, L"&Print..."},   {AFX_ID_PREVIEW_NEXT, L"&Next Page"},
    {AFX_ID_PREVIEW_PREV, L"Pre&v Page"},   {AFX_ID_PREVIEW_NUMPAGE, L"&Two Page"},
    {AFX_ID_PREVIEW_ZOOMIN, L"Zoom &In"},   {AFX_ID_PREVIEW_ZOOMOUT, L"Zoom &Out"},
    {AFX_ID_PREVIEW_CLOSE, L"&Close"},
};

// The user's paper (from the locale) in inches times 100: Letter unless the
// locale says otherwise.
SIZE LocalePaperHundredths() {
    DWORD paper = 1;
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IPAPERSIZE | LOCALE_RETURN_NUMBER, reinterpret_cast<LPWSTR>(&paper),
                   sizeof(paper) / sizeof(wchar_t));
    switch (paper) {
    case 5: return SIZE{850, 1400};   // Legal
    case 8: return SIZE{1169, 1654};  // A3
    case 9: return SIZE{827, 1169};   // A4
    default: return SIZE{850, 1100};  // Letter
    }
}

}  // namespace

CPreviewView::~CPreviewView() {
    for (HENHMETAFILE page : m_pages) DeleteEnhMetaFile(page);
}

const MessageMap* CPreviewView::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CPreviewView::OnPaint>(WM_PAINT),
        MapMessage<&CPreviewView::OnEraseBkgnd>(WM_ERASEBKGND),
        MapMessage<&CPreviewView::OnSize>(WM_SIZE),
        MapMessage<&CPreviewView::OnKeyDown>(WM_KEYDOWN),
        MapMessage<&CPreviewView::OnHScroll>(WM_HSCROLL),
        MapMessage<&CPreviewView::OnVScroll>(WM_VSCROLL),
        MapMessage<&CPreviewView::OnMouseWheel>(WM_MOUSEWHEEL),
        MapCommand<&CPreviewView::OnNext>(AFX_ID_PREVIEW_NEXT),
        MapCommand<&CPreviewView::OnPrev>(AFX_ID_PREVIEW_PREV),
        MapCommand<&CPreviewView::OnNumPage>(AFX_ID_PREVIEW_NUMPAGE),
        MapCommand<&CPreviewView::OnZoomIn>(AFX_ID_PREVIEW_ZOOMIN),
        MapCommand<&CPreviewView::OnZoomOut>(AFX_ID_PREVIEW_ZOOMOUT),
        MapCommand<&CPreviewView::OnPreviewPrint>(AFX_ID_PREVIEW_PRINT),
        MapCommand<&CPreviewView::OnPreviewClose>(AFX_ID_PREVIEW_CLOSE),
    };
    static const MessageMap map{CWnd::GetMessageMap(), entries};
    return &map;
}

BOOL CPreviewView::Start(CView* view) {
    auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    if (!view || !view->GetSafeHwnd() || !frame || !frame->GetSafeHwnd() || frame->m_pPreview) return FALSE;
    auto* preview = new CPreviewView;
    if (!preview->Begin(frame, view)) {
        if (preview->GetSafeHwnd()) preview->DestroyWindow();  // the window deletes the object
        else delete preview;
        return FALSE;
    }
    return TRUE;
}

BOOL CPreviewView::Begin(CFrameWnd* frame, CView* view) {
    m_pFrame = frame;
    m_pPrintView = view;
    m_info.m_bPreview = TRUE;
    if (!view->OnPreparePrinting(&m_info)) return FALSE;
    if (m_info.m_pd.hDC) {
        m_printer.Attach(m_info.m_pd.hDC);
        m_info.m_pd.hDC = nullptr;
        m_paper = CSize(m_printer.GetDeviceCaps(HORZRES), m_printer.GetDeviceCaps(VERTRES));
    } else {
        // No printer: the pages of the locale's paper at the screen's resolution.
        m_printer.Attach(::CreateCompatibleDC(nullptr));
        const SIZE paper = LocalePaperHundredths();
        m_paper = CSize(MulDiv(paper.cx, m_printer.GetDeviceCaps(LOGPIXELSX), 100),
                        MulDiv(paper.cy, m_printer.GetDeviceCaps(LOGPIXELSY), 100));
    }
    if (!m_printer.GetSafeHdc() || m_paper.cx <= 0 || m_paper.cy <= 0) return FALSE;
    m_info.m_rectDraw = CRect(0, 0, m_paper.cx, m_paper.cy);
    view->OnBeginPrinting(&m_printer, &m_info);
    LayOutPages();
    m_nCurrentPage = 1;
    m_nShown = std::clamp<UINT>(m_info.m_nNumPreviewPages, 1, 2);

    CRect client;
    frame->GetClientRect(&client);
    if (!CreateEx(0, RegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW), nullptr), L"Print Preview",
                  WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_HSCROLL | WS_VSCROLL, client, frame, 0))
        return FALSE;
    CreateButtons();
    // The preview takes the main window's client area: its bars and MDI client go out of sight.
    for (HWND child = ::GetWindow(frame->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (child == m_hWnd || !::IsWindowVisible(child)) continue;
        m_hiddenWindows.push_back(child);
    }
    for (HWND hidden : m_hiddenWindows) ::ShowWindow(hidden, SW_HIDE);
    frame->m_pPreview = this;
    frame->m_lpfnCloseProc = &CPreviewView::CloseHook;
    frame->RecalcLayout();
    UpdateButtons();
    UpdateScrollBars();
    SetFocus();
    return TRUE;
}

void CPreviewView::LayOutPages() {
    const CRect frame(0, 0, MulDiv(m_paper.cx, 2540, m_printer.GetDeviceCaps(LOGPIXELSX)),
                      MulDiv(m_paper.cy, 2540, m_printer.GetDeviceCaps(LOGPIXELSY)));
    for (UINT page = m_info.GetMinPage(); page <= m_info.GetMaxPage() && m_info.m_bContinuePrinting; ++page) {
        m_info.m_nCurPage = page;
        m_info.m_rectDraw = CRect(0, 0, m_paper.cx, m_paper.cy);
        CDC dc;
        dc.Attach(CreateEnhMetaFileW(m_printer, nullptr, &frame, nullptr));
        if (!dc.GetSafeHdc()) break;
        m_pPrintView->OnPrepareDC(&dc, &m_info);
        const bool wanted = m_info.m_bContinuePrinting;
        if (wanted) m_pPrintView->OnPrint(&dc, &m_info);
        HENHMETAFILE drawn = CloseEnhMetaFile(dc.Detach());
        if (!wanted) {
            DeleteEnhMetaFile(drawn);
            break;
        }
        m_pages.push_back(drawn);
    }
    if (m_pages.empty()) {  // nothing to print shows one empty sheet
        HDC empty = CreateEnhMetaFileW(m_printer, nullptr, &frame, nullptr);
        if (empty) m_pages.push_back(CloseEnhMetaFile(empty));
    }
}

HENHMETAFILE CPreviewView::GetPageMetafile(UINT page) const {
    return page >= 1 && page <= m_pages.size() ? m_pages[page - 1] : nullptr;
}

void CPreviewView::CreateButtons() {
    HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, font);
    int x = 4;
    for (const PreviewButton& button : kButtons) {
        // As wide as the longer of its texts needs.
        int width = 0;
        for (const wchar_t* text : {button.text, button.id == AFX_ID_PREVIEW_NUMPAGE ? L"&One Page" : button.text}) {
            RECT measured{};
            ::DrawTextW(dc, text, -1, &measured, DT_CALCRECT | DT_SINGLELINE);
            width = std::max<int>(width, measured.right + 16);
        }
        HWND window = ::CreateWindowExW(0, L"Button", button.text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, 4, width,
                                        kButtonHeight, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(button.id)),
                                        nullptr, nullptr);
        ::SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        m_buttons.push_back(window);
        x += width + 4;
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
}

int CPreviewView::ButtonRowHeight() const { return kButtonHeight + 8; }

void CPreviewView::UpdateButtons() {
    const UINT count = GetPageCount();
    auto enable = [&](UINT id, bool on) { ::EnableWindow(::GetDlgItem(m_hWnd, static_cast<int>(id)), on); };
    enable(AFX_ID_PREVIEW_NEXT, m_nCurrentPage + m_nShown - 1 < count);
    enable(AFX_ID_PREVIEW_PREV, m_nCurrentPage > 1);
    enable(AFX_ID_PREVIEW_NUMPAGE, count > 1);
    enable(AFX_ID_PREVIEW_ZOOMIN, m_nZoom < 2);
    enable(AFX_ID_PREVIEW_ZOOMOUT, m_nZoom > 0);
    ::SetDlgItemTextW(m_hWnd, AFX_ID_PREVIEW_NUMPAGE, m_nShown == 1 ? L"&Two Page" : L"&One Page");
}

double CPreviewView::Scale() const {
    CRect client;
    GetClientRect(&client);
    const int n = static_cast<int>(m_nShown);
    const double across = double(client.Width() - 2 * kMargin - (n - 1) * kGap) / (double(n) * m_paper.cx);
    const double down = double(client.Height() - ButtonRowHeight() - 2 * kMargin) / m_paper.cy;
    return std::max(0.01, std::min(across, down)) * kZoomFactors[m_nZoom];
}

CSize CPreviewView::ContentSize() const {
    const double scale = Scale();
    const int n = static_cast<int>(m_nShown);
    return CSize(n * static_cast<int>(std::lround(m_paper.cx * scale)) + (n - 1) * kGap + 2 * kMargin,
                 static_cast<int>(std::lround(m_paper.cy * scale)) + 2 * kMargin);
}

CRect CPreviewView::GetPageRect(int index) const {
    if (!m_hWnd || index < 0 || index >= static_cast<int>(m_nShown)) return CRect();
    CRect area;
    GetClientRect(&area);
    area.top += ButtonRowHeight();
    const double scale = Scale();
    const int width = static_cast<int>(std::lround(m_paper.cx * scale));
    const int height = static_cast<int>(std::lround(m_paper.cy * scale));
    const CSize content = ContentSize();
    const int x = content.cx <= area.Width() ? area.left + (area.Width() - content.cx) / 2 : area.left - m_scroll.x;
    const int y = content.cy <= area.Height() ? area.top + (area.Height() - content.cy) / 2 : area.top - m_scroll.y;
    const int left = x + kMargin + index * (width + kGap);
    return CRect(left, y + kMargin, left + width, y + kMargin + height);
}

void CPreviewView::UpdateScrollBars() {
    CRect area;
    GetClientRect(&area);
    area.top += ButtonRowHeight();
    const CSize content = ContentSize();
    m_scroll.x = std::clamp<LONG>(m_scroll.x, 0, std::max<LONG>(0, content.cx - area.Width()));
    m_scroll.y = std::clamp<LONG>(m_scroll.y, 0, std::max<LONG>(0, content.cy - area.Height()));
    SCROLLINFO info{sizeof(info), SIF_ALL | SIF_DISABLENOSCROLL};
    info.nMax = content.cx - 1;
    info.nPage = static_cast<UINT>(std::max<int>(area.Width(), 0));
    info.nPos = m_scroll.x;
    info.fMask = SIF_ALL;
    ::SetScrollInfo(m_hWnd, SB_HORZ, &info, TRUE);
    info.nMax = content.cy - 1;
    info.nPage = static_cast<UINT>(std::max<int>(area.Height(), 0));
    info.nPos = m_scroll.y;
    ::SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
}

void CPreviewView::Scroll(int bar, UINT code) {
    CRect area;
    GetClientRect(&area);
    area.top += ButtonRowHeight();
    LONG& position = bar == SB_HORZ ? m_scroll.x : m_scroll.y;
    const int page = bar == SB_HORZ ? area.Width() : area.Height();
    SCROLLINFO info{sizeof(info), SIF_TRACKPOS};
    ::GetScrollInfo(m_hWnd, bar, &info);
    switch (code) {
    case SB_LINEUP: position -= 16; break;
    case SB_LINEDOWN: position += 16; break;
    case SB_PAGEUP: position -= page; break;
    case SB_PAGEDOWN: position += page; break;
    case SB_THUMBTRACK: case SB_THUMBPOSITION: position = info.nTrackPos; break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = 1 << 30; break;
    default: return;
    }
    UpdateScrollBars();
    Invalidate(FALSE);
}

LRESULT CPreviewView::OnMouseWheel(WPARAM w, LPARAM) {
    const bool down = GET_WHEEL_DELTA_WPARAM(w) < 0;
    if (m_nZoom == 0) ShowPage(down ? m_nCurrentPage + 1 : (m_nCurrentPage > 1 ? m_nCurrentPage - 1 : 1));
    else Scroll(SB_VERT, down ? SB_LINEDOWN : SB_LINEUP);
    return 0;
}

void CPreviewView::ShowPage(UINT page) {
    const UINT count = GetPageCount();
    const UINT last = count > m_nShown ? count - m_nShown + 1 : 1;
    page = std::clamp<UINT>(page, 1, last);
    if (page != m_nCurrentPage) {
        m_nCurrentPage = page;
        m_scroll.y = 0;
        UpdateScrollBars();
        Invalidate(FALSE);
    }
    UpdateButtons();
    SetFocus();
}

void CPreviewView::OnNumPage() {
    m_nShown = m_nShown == 1 ? 2 : 1;
    m_info.m_nNumPreviewPages = m_nShown;
    m_scroll = CPoint();
    ShowPage(m_nCurrentPage);  // the last page may no longer start a pair
    UpdateScrollBars();
    Invalidate(FALSE);
}

void CPreviewView::OnZoomIn() {
    if (m_nZoom < 2) ++m_nZoom;
    UpdateScrollBars();
    UpdateButtons();
    Invalidate(FALSE);
    SetFocus();
}

void CPreviewView::OnZoomOut() {
    if (m_nZoom > 0) --m_nZoom;
    UpdateScrollBars();
    UpdateButtons();
    Invalidate(FALSE);
    SetFocus();
}

void CPreviewView::OnPreviewPrint() {
    CView* view = m_pPrintView;
    Close();
    if (view && view->GetSafeHwnd()) view->SendMessage(WM_COMMAND, ID_FILE_PRINT);
}

void CPreviewView::OnKeyDown(UINT key, UINT, UINT) {
    switch (key) {
    case VK_NEXT: OnNext(); break;
    case VK_PRIOR: OnPrev(); break;
    case VK_HOME: ShowPage(1); break;
    case VK_END: ShowPage(GetPageCount()); break;
    case VK_DOWN: Scroll(SB_VERT, SB_LINEDOWN); break;
    case VK_UP: Scroll(SB_VERT, SB_LINEUP); break;
    case VK_ESCAPE: Close(); break;
    default: break;
    }
}

void CPreviewView::OnSize(UINT, int, int) {
    UpdateScrollBars();
    Invalidate(FALSE);
}

void CPreviewView::OnPaint() {
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    CBufferedArea buffer(paint, client, CBufferedArea::Coordinates::Unmoved);
    HDC dc = buffer.Dc();
    CRect row(client.left, client.top, client.right, client.top + ButtonRowHeight());
    ::FillRect(dc, &row, ::GetSysColorBrush(COLOR_BTNFACE));
    CRect area = client;
    area.top = row.bottom;
    ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_APPWORKSPACE));
    for (UINT i = 0; i < m_nShown; ++i) {
        const UINT page = m_nCurrentPage + i;
        if (page > GetPageCount()) break;
        CRect sheet = GetPageRect(static_cast<int>(i));
        CRect shadow = sheet;
        shadow.OffsetRect(3, 3);
        const int saved = ::SaveDC(dc);
        ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
        ::FillRect(dc, &shadow, static_cast<HBRUSH>(::GetStockObject(DKGRAY_BRUSH)));
        ::FillRect(dc, &sheet, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::IntersectClipRect(dc, sheet.left, sheet.top, sheet.right, sheet.bottom);
        ::PlayEnhMetaFile(dc, m_pages[page - 1], &sheet);
        ::RestoreDC(dc, saved);
    }
}

BOOL CPreviewView::OnCmdMsg(CommandCall& call) {
    if (CWnd::OnCmdMsg(call)) return TRUE;
    // The application's own exit and about still run; the main window's
    // other commands wait until the preview is closed.
    if (call.id == ID_APP_EXIT || call.id == ID_APP_ABOUT || call.isNotify) return FALSE;
    if (call.code == CN_UPDATE_COMMAND_UI) {
        if (call.cmdUI && !call.probeOnly) call.cmdUI->Enable(FALSE);
        return TRUE;
    }
    return call.code == CN_COMMAND;
}

void CPreviewView::CloseHook(CFrameWnd* frame) {
    if (frame && frame->m_pPreview) frame->m_pPreview->Close();
}

void CPreviewView::Close() {
    if (m_bClosing) return;
    m_bClosing = TRUE;
    CView* view = m_pPrintView;
    CFrameWnd* frame = m_pFrame;
    if (view) view->OnEndPrintPreview(&m_printer, &m_info, POINT{}, this);
    frame->m_pPreview = nullptr;
    frame->m_lpfnCloseProc = nullptr;
    std::vector<HWND> hidden = std::move(m_hiddenWindows);
    DestroyWindow();  // deletes this object
    for (HWND window : hidden)
        if (::IsWindow(window)) ::ShowWindow(window, SW_SHOWNA);
    frame->RecalcLayout();
    if (view && view->GetSafeHwnd()) {
        if (CFrameWnd* viewFrame = view->GetParentFrame()) viewFrame->ActivateFrame();
        view->SetFocus();
    }
}

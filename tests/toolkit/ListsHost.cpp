#include "ListsHost.h"

namespace {
constexpr UINT kPanes[] = {ID_SEPARATOR, kProgressPane, kBitmapPane, ID_INDICATOR_CAPS, ID_INDICATOR_NUM};

// A 16 x 16 picture: a green disc with a dark ring on magenta, the colour the pane leaves transparent.
HBITMAP MakePaneBitmap() {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bits = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(dc, bits);
    RECT all{0, 0, 16, 16};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255)), green = CreateSolidBrush(RGB(40, 160, 60));
    FillRect(dc, &all, magenta);
    HGDIOBJ oldBrush = SelectObject(dc, green);
    Ellipse(dc, 1, 1, 15, 15);
    SelectObject(dc, oldBrush);
    DeleteObject(magenta);
    DeleteObject(green);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bits;
}
}  // namespace

const MessageMap* ListsHostFrame::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&ListsHostFrame::OnSize>(WM_SIZE),
        MapMessage<&ListsHostFrame::OnTimer>(WM_TIMER),
        MapMessage<&ListsHostFrame::OnPaneDoubleClick>(WM_OX_STATUSBAR_DBLCLK),
    };
    static const MessageMap map{CFrameWnd::GetMessageMap(), entries};
    return &map;
}

BOOL ListsHostFrame::Build() {
    if (!CreateEx(0, CWnd::RegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW), GetSysColorBrush(COLOR_3DFACE)), L"Lists host",
                  WS_OVERLAPPEDWINDOW, CRect(40, 40, 700, 480), nullptr, 0))
        return FALSE;
    if (!status.Create(this) || !status.SetIndicators(kPanes, 5)) return FALSE;
    status.SetPaneText(0, L"Pick a face from the box above");
    status.SetPaneInfo(3, ID_INDICATOR_CAPS, SBPS_NORMAL, 36);
    status.SetPaneInfo(4, ID_INDICATOR_NUM, SBPS_NORMAL, 36);
    status.SetPaneText(3, L"CAPS");
    status.SetPaneText(4, L"NUM");
    status.SetPaneInfo(1, kProgressPane, SBPS_NORMAL, 120);
    status.SetPaneInfo(2, kBitmapPane, SBPS_NORMAL, 24);
    status.SetUpBar(1, TRUE);
    status.SetPaneBitmap(2, MakePaneBitmap(), OX_BMP_CENTER, RGB(255, 0, 255));
    status.SetPaneCursor(2, LoadCursorW(nullptr, IDC_HAND));
    status.SetPaneTip(2, L"A pane with a picture");
    status.SetPaneTip(1, L"Work done");
    LOGFONTW bold{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(bold), &bold);
    bold.lfWeight = FW_BOLD;
    status.SetPaneFont(0, &bold);
    status.SetPaneTextColor(0, RGB(0, 0, 160));

    const DWORD comboStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS;
    if (!fontCombo.CreateEx(0, L"COMBOBOX", L"", comboStyle, CRect(10, 10, 260, 320), this, kFontComboId)) return FALSE;
    fontCombo.SetFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    const DWORD listStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER | LBS_NOTIFY;
    if (!fontList.CreateEx(0, L"LISTBOX", L"", listStyle, CRect(10, 44, 260, 330), this, 3021)) return FALSE;
    fontList.SetFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    if (!colours.CreateEx(0, L"LISTBOX", L"", listStyle | LBS_HASSTRINGS, CRect(280, 10, 640, 330), this, 3022)) return FALSE;
    colours.SetFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 0);
    HBITMAP picture = MakePaneBitmap();
    images.Add(picture, RGB(255, 0, 255));
    DeleteObject(picture);
    colours.SetImageList(&images);
    colours.SetToolTipText(L"Coloured items");
    const struct {
        const wchar_t* text;
        COLORREF text_, back;
        int indent;
    } rows[] = {{L"Red on cream", RGB(200, 0, 0), RGB(255, 250, 220), 0}, {L"Blue, indented", RGB(0, 0, 200), RGB(230, 240, 255), 16},
                {L"Green", RGB(0, 120, 0), RGB(235, 255, 235), 0},         {L"Plain", GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW), 32}};
    for (const auto& row : rows) {
        OXLISTBOXITEM item;
        item.clrText = row.text_;
        item.clrBackground = row.back;
        item.nIndent = row.indent;
        item.nImageIndex = 0;
        item.sTooltipText = CString(L"Tip: ") + row.text;
        colours.AddListItem(row.text, OXLBI_ALL, &item);
    }
    colours.SetMaxMRU(2);
    colours.AddItemToMRU(2);
    SetTimer(1, 100);
    ShowWindow(SW_SHOW);
    RecalcLayout();
    UpdateWindow();
    return TRUE;
}

void ListsHostFrame::OnSize(UINT, int cx, int cy) {
    Default();
    RecalcLayout();
    if (colours.m_hWnd) colours.MoveWindow(280, 10, std::max(60, cx - 290), std::max(60, cy - 60));
}

void ListsHostFrame::OnTimer(UINT_PTR) {
    ticks = (ticks + 1) % 41;
    status.SetBarProgress(1, 40, static_cast<DWORD>(ticks));
}

LRESULT ListsHostFrame::OnPaneDoubleClick(WPARAM id, LPARAM) {
    lastDoubleClicked = static_cast<UINT>(id);
    return 0;
}

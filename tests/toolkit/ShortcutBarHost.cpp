#include "ShortcutBarHost.h"

HIMAGELIST MakeSquareImages(int size, int count) {
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 0);
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < count; ++i) {
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all{0, 0, size, size};
        HBRUSH mask = CreateSolidBrush(RGB(255, 0, 255));
        FillRect(dc, &all, mask);
        DeleteObject(mask);
        RECT square{1, 1, size - 1, size - 1};
        HBRUSH fill = CreateSolidBrush(SquareColor(i));
        FillRect(dc, &square, fill);
        DeleteObject(fill);
        FrameRect(dc, &square, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        SelectObject(dc, old);
        ImageList_AddMasked(images, bitmap, RGB(255, 0, 255));
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    ReleaseDC(nullptr, screen);
    return images;
}

COLORREF SquareColor(int index) {
    static const COLORREF colors[] = {RGB(200, 40, 40), RGB(40, 160, 40), RGB(40, 40, 200), RGB(220, 180, 20), RGB(160, 40, 160), RGB(20, 170, 170)};
    return colors[index % 6];
}

const MessageMap* ShortcutHostWnd::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&ShortcutHostWnd::OnSize>(WM_SIZE),
    };
    static const MessageMap map{CWnd::GetMessageMap(), entries};
    return &map;
}

BOOL ShortcutHostWnd::Build(DWORD barStyle, CRect where) {
    const wchar_t* cls = RegisterWndClass(0, LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    if (!CreateEx(0, cls, L"Shortcut bar host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, where.left, where.top, where.Width(),
                  where.Height(), nullptr, nullptr))
        return FALSE;
    CRect client;
    GetClientRect(&client);
    if (!bar.Create(this, client, barStyle, 100)) return FALSE;
    headerImages = MakeSquareImages(16, 6);
    largeImages = MakeSquareImages(32, 6);
    smallImages = MakeSquareImages(16, 6);
    bar.SetImageList(headerImages);
    auto add = [&](const wchar_t* text, int image, int view) {
        SHB_GROUPINFO info;
        info.nMask = SHBIF_TEXT | SHBIF_IMAGE | SHBIF_VIEW;
        info.SetText(text);
        info.nImage = image;
        info.nView = view;
        return bar.InsertGroup(&info);
    };
    notes = add(L"Notes", 0, SHB_LARGEICON);
    clips = add(L"Clips", 1, SHB_SMALLICON);
    web = add(L"Web", 2, SHB_LARGEICON);
    calendarChild = CreateWindowExW(0, L"EDIT", L"Tuesday: dentist\r\nFriday: backup", WS_CHILD | WS_BORDER | ES_MULTILINE, 0, 0, 10, 10,
                                    bar.m_hWnd, reinterpret_cast<HMENU>(7), GetModuleHandleW(nullptr), nullptr);
    SHB_GROUPINFO info;
    info.nMask = SHBIF_TEXT | SHBIF_IMAGE | SHBIF_CHILDWND;
    info.SetText(L"Calendar");
    info.nImage = 3;
    info.hwndChild = calendarChild;
    calendar = bar.InsertGroup(&info);
    if (!notes || !clips || !web || !calendar) return FALSE;
    static const wchar_t* const noteNames[] = {L"Shopping", L"Recipes", L"Travel plans", L"Books to read", L"Ideas", L"Passwords hint"};
    for (HSHBGROUP group : {notes, clips, web}) {
        COXSHBListCtrl* list = bar.GetGroupListCtrl(group);
        list->SetImageList(largeImages, LVSIL_NORMAL);
        list->SetImageList(smallImages, LVSIL_SMALL);
    }
    for (int i = 0; i < 6; ++i) bar.GetGroupListCtrl(notes)->InsertItem(i, noteNames[i], i);
    for (int i = 0; i < clipItems; ++i) {
        CString name;
        name.Format(L"Clip %d", i + 1);
        bar.GetGroupListCtrl(clips)->InsertItem(i, name, i % 6);
    }
    static const wchar_t* const sites[] = {L"News", L"Weather", L"Maps"};
    for (int i = 0; i < 3; ++i) bar.GetGroupListCtrl(web)->InsertItem(i, sites[i], i + 3);
    bar.ExpandGroup(notes);
    log.clear();
    ShowWindow(SW_SHOW);
    UpdateWindow();
    return TRUE;
}

ShortcutHostWnd::~ShortcutHostWnd() {
    if (m_hWnd) DestroyWindow();
    for (HIMAGELIST images : {headerImages, largeImages, smallImages})
        if (images) ImageList_Destroy(images);
    if (m_bOle) OleUninitialize();
}

void ShortcutHostWnd::OnSize(UINT, int cx, int cy) {
    if (bar.m_hWnd) bar.MoveWindow(0, 0, cx, cy);
}

BOOL ShortcutHostWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    auto* info = reinterpret_cast<SHBNotifyInfo*>(lParam);
    if (info && info->hdr.hwndFrom == bar.m_hWnd && info->hdr.code >= SHBN_DRAGENTER && info->hdr.code <= SHBN_CONTEXTMENU) {
        LoggedNotify entry{info->hdr.code, info->hGroup, info->nItem, {}};
        switch (info->hdr.code) {
        case SHBN_BEGINHEADEREDIT:
        case SHBN_ENDHEADEREDIT:
        case SHBN_BEGINITEMEDIT:
        case SHBN_ENDITEMEDIT:
            if (info->lParam) entry.text = reinterpret_cast<const wchar_t*>(info->lParam);
            break;
        case SHBN_GETHEADERINFOTIP:
        case SHBN_GETITEMINFOTIP:
            // Info tips name what they are over, one through the buffer, one through the pointer.
            if (auto* tip = reinterpret_cast<SHBToolTipInfo*>(info->lParam); tip && info->hdr.code == SHBN_GETITEMINFOTIP) {
                const CString text = bar.GetGroupListCtrl(info->hGroup)->GetItemText(info->nItem);
                swprintf(tip->szText, std::size(tip->szText), L"Open %ls", text.GetString());
            } else if (tip) {
                static CString header;
                header = L"The " + bar.GetGroupText(info->hGroup) + L" group";
                tip->lpszText = const_cast<wchar_t*>(header.GetString());
            }
            break;
        default: break;
        }
        // Per-paint and per-move codes are not kept: they would drown the rest.
        if (info->hdr.code != SHBN_DRAWHEADER && info->hdr.code != SHBN_DRAWITEM && info->hdr.code != SHBN_DRAGOVER) log.push_back(entry);
        auto found = answers.find(info->hdr.code);
        *result = found == answers.end() ? 0 : found->second;
        return TRUE;
    }
    return CWnd::OnNotify(wParam, lParam, result);
}

BOOL ShortcutHostWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (!lParam && HIWORD(wParam) == 0) commands.push_back(LOWORD(wParam));
    return CWnd::OnCommand(wParam, lParam);
}

std::vector<UINT> ShortcutHostWnd::TakeCodes() {
    std::vector<UINT> codes;
    for (const LoggedNotify& entry : log) codes.push_back(entry.code);
    log.clear();
    return codes;
}

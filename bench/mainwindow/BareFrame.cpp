// The window work of the program's interactive start done by a program of no
// code of ours, straight on Win32: the same system libraries set up (common
// controls, OLE, the default printer's and the screen's fonts), a frame of
// the program's menu with an MDI client, a flat toolbar of the program's
// bitmap and buttons with two combo boxes (the first holding the font names,
// the second the 23 sizes), a hidden status bar, and a tree of the Allpages
// folder's entries in a bar at the left; then shown and painted. The fairer
// floor of the interactive start, beside the bare window's.
// Usage: bare_frame <Allpages folder>
#include "resource.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <winspool.h>

#include <string>
#include <vector>

namespace {

constexpr int kBarWidth = 220;

HWND g_toolbar = nullptr, g_treeBar = nullptr, g_tree = nullptr, g_client = nullptr;

// The command ids of the program's toolbar resource (0: a separator).
std::vector<WORD> ToolbarCommands(HINSTANCE instance) {
    std::vector<WORD> commands;
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), MAKEINTRESOURCEW(241));
    if (!found) return commands;
    const WORD* words = static_cast<const WORD*>(LockResource(LoadResource(instance, found)));
    if (!words) return commands;
    commands.assign(words + 4, words + 4 + words[3]);
    return commands;
}

int CALLBACK AddFontName(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM box) {
    if (font->lfFaceName[0] != L'@' &&
        SendMessageW(reinterpret_cast<HWND>(box), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(font->lfFaceName)) == CB_ERR)
        SendMessageW(reinterpret_cast<HWND>(box), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(font->lfFaceName));
    return 1;
}

// A combo box over a separator of the width at the button index.
HWND InsertComboBox(HWND toolbar, int index, int width, UINT id, HFONT font) {
    TBBUTTON gap{};
    gap.iBitmap = width;
    gap.fsStyle = BTNS_SEP;
    SendMessageW(toolbar, TB_INSERTBUTTONW, index, reinterpret_cast<LPARAM>(&gap));
    RECT place{};
    SendMessageW(toolbar, TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&place));
    HWND box = CreateWindowExW(0, WC_COMBOBOXW, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN, place.left,
                               place.top, width, 100, toolbar, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
    SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return box;
}

void MakeToolbar(HWND frame, HINSTANCE instance) {
    g_toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP, 0, 0, 0, 0, frame,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_FORMAT_TOOLBAR)), instance, nullptr);
    SendMessageW(g_toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(g_toolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    std::vector<WORD> commands = ToolbarCommands(instance);
    int images = 0;
    for (WORD command : commands) images += command != 0;
    TBADDBITMAP bitmap{instance, IDR_MAINFRAME};
    SendMessageW(g_toolbar, TB_ADDBITMAP, images, reinterpret_cast<LPARAM>(&bitmap));
    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (WORD command : commands) {
        TBBUTTON button{};
        button.idCommand = command;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = command == 0 ? BTNS_SEP : BTNS_BUTTON;
        if (command == ID_FORMAT_COLOR || command == ID_FORMAT_HIGHLIGHT) button.fsStyle |= BTNS_DROPDOWN;
        button.iBitmap = command == 0 ? 0 : image++;
        buttons.push_back(button);
    }
    SendMessageW(g_toolbar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));

    HDC screen = GetDC(nullptr);
    HFONT font = CreateFontW(-MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                             DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    HWND names = InsertComboBox(g_toolbar, 16, 118, ID_FORMAT_FONT_NAME, font);
    SendMessageW(names, WM_SETREDRAW, FALSE, 0);
    LOGFONTW all{};
    all.lfCharSet = DEFAULT_CHARSET;
    DWORD length = 0;
    GetDefaultPrinterW(nullptr, &length);
    if (length > 0) {
        std::wstring printer(length, L'\0');
        if (GetDefaultPrinterW(printer.data(), &length))
            if (HDC dc = CreateDCW(L"WINSPOOL", printer.c_str(), nullptr, nullptr)) {
                EnumFontFamiliesExW(dc, &all, AddFontName, reinterpret_cast<LPARAM>(names), 0);
                DeleteDC(dc);
            }
    }
    EnumFontFamiliesExW(screen, &all, AddFontName, reinterpret_cast<LPARAM>(names), 0);
    SendMessageW(names, WM_SETREDRAW, TRUE, 0);
    ReleaseDC(nullptr, screen);
    HWND sizes = InsertComboBox(g_toolbar, 17, 45, ID_FORMAT_FONT_SIZE, font);
    SendMessageW(sizes, WM_SETREDRAW, FALSE, 0);
    for (const wchar_t* size : {L"5", L"6", L"7", L"8", L"9", L"10", L"11", L"12", L"13", L"14", L"15", L"16", L"17",
                                L"18", L"20", L"22", L"24", L"26", L"28", L"30", L"32", L"34", L"36"})
        SendMessageW(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(size));
    SendMessageW(sizes, WM_SETREDRAW, TRUE, 0);
    SendMessageW(g_toolbar, TB_AUTOSIZE, 0, 0);
}

// The tree of the folder's entries: the root open, a folder item per
// sub-folder (with its button) and a page item per page file.
void MakeTree(HWND frame, HINSTANCE instance, const std::wstring& allpages) {
    g_treeBar = CreateWindowExW(0, L"BareFrameBar", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0, frame,
                                nullptr, instance, nullptr);
    g_tree = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, nullptr,
                             WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS |
                                 TVS_SHOWSELALWAYS,
                             0, 0, 0, 0, g_treeBar, nullptr, instance, nullptr);
    HIMAGELIST images = ImageList_LoadImageW(instance, MAKEINTRESOURCEW(IDB_TREE_IMAGES), 16, 4, RGB(255, 0, 0),
                                             IMAGE_BITMAP, LR_CREATEDIBSECTION);
    SendMessageW(g_tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
    TVINSERTSTRUCTW insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<wchar_t*>(L"BookMarks");
    insert.item.iImage = 2;
    insert.item.iSelectedImage = 3;
    auto root = reinterpret_cast<HTREEITEM>(SendMessageW(g_tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    SendMessageW(g_tree, WM_SETREDRAW, FALSE, 0);
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW((allpages + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (data.cFileName[0] == L'.') continue;
            TVINSERTSTRUCTW entry{};
            entry.hParent = root;
            entry.hInsertAfter = TVI_SORT;
            entry.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
            entry.item.pszText = data.cFileName;
            entry.item.iImage = folder ? 0 : 4;
            entry.item.iSelectedImage = folder ? 1 : 5;
            entry.item.cChildren = folder ? 1 : 0;
            SendMessageW(g_tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&entry));
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    SendMessageW(g_tree, WM_SETREDRAW, TRUE, 0);
    SendMessageW(g_tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
    SendMessageW(g_tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(root));
}

void Layout(HWND frame) {
    RECT client{};
    GetClientRect(frame, &client);
    RECT bar{};
    if (g_toolbar) {
        SendMessageW(g_toolbar, TB_AUTOSIZE, 0, 0);
        GetWindowRect(g_toolbar, &bar);
    }
    int top = bar.bottom - bar.top, height = client.bottom - top;
    if (g_treeBar) MoveWindow(g_treeBar, 0, top, kBarWidth, height, TRUE);
    if (g_tree) MoveWindow(g_tree, 4, 4, kBarWidth - 8, height - 8, TRUE);
    if (g_client) MoveWindow(g_client, kBarWidth, top, client.right - kBarWidth, height, TRUE);
}

LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        Layout(frame);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefFrameProcW(frame, g_client, message, wParam, lParam);
    }
}

void RegisterClasses(HINSTANCE instance) {
    WNDCLASSW frame{};
    frame.lpfnWndProc = FrameProc;
    frame.hInstance = instance;
    frame.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    frame.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    frame.lpszClassName = L"BareFrame";
    RegisterClassW(&frame);
    WNDCLASSW bar = frame;
    bar.lpfnWndProc = DefWindowProcW;
    bar.hIcon = nullptr;
    bar.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    bar.lpszClassName = L"BareFrameBar";
    RegisterClassW(&bar);
}

// The folder named by the command line after the program: "program" "folder".
std::wstring FolderArgument(const wchar_t* line) {
    std::wstring text = line;
    size_t at = text[0] == L'"' ? text.find(L'"', 1) : text.find(L' ');
    at = text.find_first_not_of(L' ', at == std::wstring::npos ? text.size() : at + 1);
    if (at == std::wstring::npos) return L"";
    std::wstring folder = text.substr(at);
    if (!folder.empty() && folder.front() == L'"') folder = folder.substr(1, folder.find(L'"', 1) - 1);
    return folder;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    std::wstring allpages = FolderArgument(GetCommandLineW());
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
    if (FAILED(OleInitialize(nullptr))) return 1;
    RegisterClasses(instance);
    HWND frame = CreateWindowExW(0, L"BareFrame", L"Bare frame", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 23, 23, 960, 559,
                                 nullptr, LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME)), instance, nullptr);
    CLIENTCREATESTRUCT client{nullptr, 0xFF00};
    g_client = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                               0, 0, frame, nullptr, instance, &client);
    MakeToolbar(frame, instance);
    CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | CCS_BOTTOM, 0, 0, 0, 0, frame, nullptr, instance, nullptr);
    MakeTree(frame, instance, allpages);
    Layout(frame);
    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    ShowWindow(frame, show);
    UpdateWindow(frame);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (TranslateMDISysAccel(g_client, &msg) || TranslateAcceleratorW(frame, accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    OleUninitialize();
    return 0;
}

#include "ProgramDriver.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

struct Search {
    DWORD processId;
    const wchar_t* className;
    const wchar_t* title;
    HWND found = nullptr;
};

bool Matches(HWND window, const wchar_t* className, const wchar_t* title) {
    wchar_t text[256] = {};
    if (className) {
        GetClassNameW(window, text, 256);
        if (lstrcmpiW(text, className) != 0) return false;
    }
    if (title) {
        GetWindowTextW(window, text, 256);
        if (lstrcmpW(text, title) != 0) return false;
    }
    return true;
}

BOOL CALLBACK VisitChild(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    if (!Matches(window, search->className, search->title)) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK VisitTop(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window) || !Matches(window, search->className, search->title))
        return TRUE;
    search->found = window;
    return FALSE;
}

void SendKey(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (vk == VK_HOME || vk == VK_END || vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN ||
        vk == VK_DELETE)
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    SendInput(1, &input, sizeof(input));
}

ULONGLONG ProcessorTime(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    auto value = [](FILETIME time) { return (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime; };
    return value(kernel) + value(user);
}

}  // namespace

ProgramDriver::~ProgramDriver() {
    if (Running()) {
        TerminateProcess(m_process.hProcess, 99);
        WaitForSingleObject(m_process.hProcess, 5000);
    }
    if (m_process.hProcess) CloseHandle(m_process.hProcess);
    if (m_process.hThread) CloseHandle(m_process.hThread);
}

bool ProgramDriver::Start(const CString& exe, const CString& arguments) {
    std::wstring commandLine = (L"\"" + exe + L"\" " + arguments).str();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(exe, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_process))
        return false;
    bool up = WaitFor([&] {
        Search search{m_process.dwProcessId, nullptr, nullptr};
        EnumWindows(
            [](HWND window, LPARAM data) CALLBACK -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner != s->processId || !IsWindowVisible(window) || !Child(window, L"MDIClient")) return TRUE;
                s->found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        m_frame = search.found;
        return m_frame != nullptr;
    }, 2 * kAppearMs);
    if (!up) return false;
    WaitForInputIdle(m_process.hProcess, kAppearMs);
    Settle();
    return true;
}

bool ProgramDriver::Running() const {
    return m_process.hProcess && WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD ProgramDriver::Exit(DWORD timeoutMs) {
    if (Running() && IsWindow(m_frame)) PostMessageW(m_frame, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(m_process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(m_process.hProcess, 99);
        WaitForSingleObject(m_process.hProcess, 5000);
    }
    DWORD code = 0;
    GetExitCodeProcess(m_process.hProcess, &code);
    return code;
}

HWND ProgramDriver::Child(HWND parent, const wchar_t* className, const wchar_t* title) {
    Search search{0, className, title};
    EnumChildWindows(parent, VisitChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ProgramDriver::TopWindow(const wchar_t* className, const wchar_t* title) const {
    Search search{m_process.dwProcessId, className, title};
    EnumWindows(VisitTop, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

CString ProgramDriver::TopWindows() const {
    struct List {
        DWORD processId;
        CString text;
    } list{m_process.dwProcessId, {}};
    EnumWindows(
        [](HWND window, LPARAM data) CALLBACK -> BOOL {
            auto* l = reinterpret_cast<List*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != l->processId || !IsWindowVisible(window)) return TRUE;
            wchar_t className[64] = {}, title[256] = {};
            GetClassNameW(window, className, 64);
            GetWindowTextW(window, title, 256);
            if (!l->text.IsEmpty()) l->text += L", ";
            l->text += CString(className) + L" '" + title + L"'";
            if (CString said = TextOf(window); !said.IsEmpty() && lstrcmpW(className, L"#32770") == 0)
                l->text += L" saying '" + said + L"'";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&list));
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    wchar_t focus[64] = L"none";
    if (GetGUIThreadInfo(GetWindowThreadProcessId(m_frame, nullptr), &gui) && gui.hwndFocus)
        GetClassNameW(gui.hwndFocus, focus, 64);
    CString held;
    for (auto [vk, name] : {std::pair{VK_CONTROL, L" Ctrl"}, std::pair{VK_SHIFT, L" Shift"}, std::pair{VK_MENU, L" Alt"}})
        if (GetAsyncKeyState(vk) & 0x8000) held += name;
    return (list.text.IsEmpty() ? CString(L"no window") : list.text) + L"; the keyboard at " + focus +
           (held.IsEmpty() ? CString() : L", held:" + held);
}

CString ProgramDriver::TextOf(HWND dialog) {
    CString text;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!Matches(child, L"Static", nullptr)) continue;
        wchar_t part[1024] = {};
        GetWindowTextW(child, part, 1024);
        if (!*part) continue;
        if (!text.IsEmpty()) text += L"\n";
        text += part;
    }
    return text;
}

void ProgramDriver::Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool ProgramDriver::WaitFor(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(pollMs);
    }
    return true;
}

void ProgramDriver::Settle(DWORD quietMs, DWORD timeoutMs) const {
    // Quiet means both the time and as many looks as it takes at an idle
    // machine: on a busy one this thread looks less often, and so does the
    // program get the processor, so the quiet time stretches with the load.
    const DWORD lookMs = 25, looks = std::max<DWORD>(1, quietMs / lookMs);
    DWORD start = GetTickCount(), quietSince = start, quietLooks = 0;
    ULONGLONG last = ProcessorTime(m_process.hProcess);
    while ((GetTickCount() - quietSince < quietMs || quietLooks < looks) && GetTickCount() - start < timeoutMs) {
        Sleep(lookMs);
        ULONGLONG now = ProcessorTime(m_process.hProcess);
        if (now != last) {
            quietSince = GetTickCount();
            quietLooks = 0;
        } else {
            ++quietLooks;
        }
        last = now;
    }
}

void ProgramDriver::MouseAt(POINT screen, DWORD buttonFlags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = screen.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = screen.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = buttonFlags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof(input));
}

void ProgramDriver::MouseDrag(POINT from, POINT to, DWORD holdMs, DWORD stepMs) {
    MouseAt(from);
    Sleep(30);
    MouseAt(from, MOUSEEVENTF_LEFTDOWN);
    Sleep(holdMs);
    for (int step = 1; step <= 10; ++step) {
        MouseAt(POINT{from.x + (to.x - from.x) * step / 10, from.y + (to.y - from.y) * step / 10});
        Sleep(stepMs);
    }
    Sleep(holdMs);
    MouseAt(to, MOUSEEVENTF_LEFTUP);
    Sleep(30);
}

void ProgramDriver::KeyEvent(WORD vk, bool up) { SendKey(vk, up); }

void ProgramDriver::MouseClick(POINT screen, bool right, int clicks) {
    auto send = [&](DWORD flags) { MouseAt(screen, flags); };
    send(0);
    Sleep(20);
    for (int click = 0; click < clicks; ++click) {
        send(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
        Sleep(10);
        send(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
        Sleep(clicks > 1 ? 40 : 20);
    }
}

void ProgramDriver::Key(WORD vk, bool control, bool shift, bool alt) {
    if (control) SendKey(VK_CONTROL, false);
    if (shift) SendKey(VK_SHIFT, false);
    if (alt) SendKey(VK_MENU, false);
    SendKey(vk, false);
    SendKey(vk, true);
    if (alt) SendKey(VK_MENU, true);
    if (shift) SendKey(VK_SHIFT, true);
    if (control) SendKey(VK_CONTROL, true);
    Sleep(15);
}

void ProgramDriver::Type(const CString& text) {
    for (int i = 0; i < text.GetLength(); ++i) {
        SHORT scan = VkKeyScanW(text[i]);
        if (scan == -1) continue;
        Key(LOBYTE(scan), (HIBYTE(scan) & 2) != 0, (HIBYTE(scan) & 1) != 0);
    }
}

LRESULT ProgramDriver::RemoteSend(HWND window, UINT message, WPARAM wParam, void* data, size_t size,
                                  const std::function<void(void*, char*)>& fixUp) const {
    HANDLE process = m_process.hProcess;
    auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    if (!remote) return 0;
    std::vector<char> copy(static_cast<const char*>(data), static_cast<const char*>(data) + size);
    if (fixUp) fixUp(copy.data(), remote);
    SIZE_T moved = 0;
    LRESULT result = 0;
    if (WriteProcessMemory(process, remote, copy.data(), size, &moved)) {
        result = SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(remote));
        ReadProcessMemory(process, remote, data, size, &moved);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return result;
}

bool ProgramDriver::TreeItemRect(HWND tree, HTREEITEM item, RECT& rect) const {
    // The message takes the item in the rectangle's place.
    *reinterpret_cast<HTREEITEM*>(&rect) = item;
    if (!RemoteSend(tree, TVM_GETITEMRECT, TRUE, &rect, sizeof(rect))) return false;
    MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return true;
}

bool ProgramDriver::ToolbarButtonRect(HWND toolbar, UINT command, RECT& rect) const {
    if (!RemoteSend(toolbar, TB_GETRECT, command, &rect, sizeof(rect))) return false;
    MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return true;
}

CString ProgramDriver::TreeItemText(HWND tree, HTREEITEM item) const {
    struct Block {
        TVITEMW item;
        wchar_t text[260];
    } block{};
    block.item.mask = TVIF_TEXT;
    block.item.hItem = item;
    block.item.cchTextMax = 260;
    RemoteSend(tree, TVM_GETITEMW, 0, &block, sizeof(block), [](void* copy, char* remote) {
        static_cast<Block*>(copy)->item.pszText = reinterpret_cast<wchar_t*>(remote + offsetof(Block, text));
    });
    block.text[259] = 0;
    return block.text;
}

int ProgramDriver::TreeItemImage(HWND tree, HTREEITEM item) const {
    TVITEMW block{};
    block.mask = TVIF_IMAGE;
    block.hItem = item;
    block.iImage = -1;
    if (!RemoteSend(tree, TVM_GETITEMW, 0, &block, sizeof(block))) return -1;
    return block.iImage;
}

HTREEITEM ProgramDriver::TreeItem(HWND tree, const CString& labels) const {
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    CString rest = labels;
    while (item && !rest.IsEmpty()) {
        int cut = rest.Find(L'\\');
        CString label = cut < 0 ? rest : rest.Left(cut);
        rest = cut < 0 ? CString() : rest.Mid(cut + 1);
        auto child = reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
        while (child && TreeItemText(tree, child) != label)
            child = reinterpret_cast<HTREEITEM>(
                SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)));
        item = child;
    }
    return item;
}

HWND ProgramDriver::Toolbar(UINT command) const {
    for (HWND at = Child(m_frame, TOOLBARCLASSNAMEW); at; at = FindWindowExW(GetParent(at), at, TOOLBARCLASSNAMEW, nullptr))
        if (SendMessageW(at, TB_COMMANDTOINDEX, command, 0) >= 0) return at;
    return nullptr;
}

bool ProgramDriver::ClickToolbarButton(UINT command) const {
    HWND toolbar = Toolbar(command);
    RECT rect{};
    if (!toolbar || !ToolbarButtonRect(toolbar, command, rect)) return false;
    MouseClick(Middle(rect));
    return true;
}

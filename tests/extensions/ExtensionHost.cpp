#include "ExtensionHost.h"

#include <tlhelp32.h>

#include <algorithm>
#include <stdexcept>

namespace {

const wchar_t kSettings[] = L"Software\\Tarvelo\\Tarvelo\\Settings";
const wchar_t kSettingsBackup[] = L"Software\\Tarvelo\\Tarvelo\\Settings.test-backup";

CString TestFolder() {
    wchar_t path[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    CString folder = path;
    return folder.Left(folder.ReverseFind(L'\\'));
}

ULONGLONG CreationTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// A process whose parent id is ours but which started before us is the child
// of an earlier process that had our id (ids are reused), not one of ours.
bool StartedAfterUs(DWORD id) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!process) return false;
    bool after = CreationTime(process) >= CreationTime(GetCurrentProcess());
    CloseHandle(process);
    return after;
}

std::vector<DWORD> ChildProcesses() {
    std::vector<DWORD> children;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return children;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (entry.th32ParentProcessID == GetCurrentProcessId() && entry.th32ProcessID != GetCurrentProcessId() &&
            StartedAfterUs(entry.th32ProcessID))
            children.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return children;
}

}  // namespace

CString LibraryPath(const CString& name) { return TestFolder() + L"\\" + name + L".dll"; }

LoadedLibrary::LoadedLibrary(const CString& name) : m_module(LoadLibraryW(LibraryPath(name))) {}

LoadedLibrary::~LoadedLibrary() {
    if (m_module) FreeLibrary(m_module);
}

HRESULT LoadedLibrary::CreateObject(REFCLSID clsid, REFIID iid, void** out) const {
    *out = nullptr;
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(m_module, "DllGetClassObject")));
    if (!get) return E_FAIL;
    ComPtr<IClassFactory> factory;
    HRESULT hr = get(clsid, IID_IClassFactory, factory.ReceiveVoid());
    if (FAILED(hr)) return hr;
    return factory->CreateInstance(nullptr, iid, out);
}

HRESULT LoadedLibrary::CanUnloadNow() const {
    using CanUnload = HRESULT(WINAPI*)();
    auto can = reinterpret_cast<CanUnload>(reinterpret_cast<void*>(GetProcAddress(m_module, "DllCanUnloadNow")));
    return can ? can() : E_FAIL;
}

InstallPathScope::InstallPathScope() {
    HKEY key = nullptr;
    m_keyExisted = RegOpenKeyExW(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (!m_keyExisted) return;
    DWORD size = 0;
    if (RegQueryValueExW(key, L"InstallPath", nullptr, &m_savedType, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<BYTE> data(size);
        if (RegQueryValueExW(key, L"InstallPath", nullptr, &m_savedType, data.data(), &size) == ERROR_SUCCESS)
            m_saved = data;
    }
    RegCloseKey(key);
}

InstallPathScope::~InstallPathScope() {
    if (RegistryKeyExists(HKEY_CURRENT_USER, kSettingsBackup)) {
        RegDeleteTreeW(HKEY_CURRENT_USER, kSettings);
        HKEY backup = nullptr, settings = nullptr;
        RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsBackup, 0, KEY_READ, &backup);
        RegCreateKeyExW(HKEY_CURRENT_USER, kSettings, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &settings, nullptr);
        RegCopyTreeW(backup, nullptr, settings);
        RegCloseKey(backup);
        RegCloseKey(settings);
        RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsBackup);
    }
    if (!m_keyExisted) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettings, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, L"InstallPath");
            RegCloseKey(key);
        }
        return;
    }
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kSettings, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (m_saved) RegSetValueExW(key, L"InstallPath", 0, m_savedType, m_saved->data(), static_cast<DWORD>(m_saved->size()));
    else RegDeleteValueW(key, L"InstallPath");
    RegCloseKey(key);
}

void InstallPathScope::Set(const CString& path) {
    SetRaw(REG_SZ, path.GetString(), static_cast<DWORD>((path.GetLength() + 1) * sizeof(wchar_t)));
}

void InstallPathScope::SetRaw(DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettings, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the settings key");
    RegSetValueExW(key, L"InstallPath", 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void InstallPathScope::RemoveValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettings, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, L"InstallPath");
        RegCloseKey(key);
    }
}

void InstallPathScope::RemoveKey() {
    if (RegistryKeyExists(HKEY_CURRENT_USER, kSettings) && !RegistryKeyExists(HKEY_CURRENT_USER, kSettingsBackup)) {
        HKEY settings = nullptr, backup = nullptr;
        RegOpenKeyExW(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &settings);
        RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsBackup, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &backup, nullptr);
        RegCopyTreeW(settings, nullptr, backup);
        RegCloseKey(settings);
        RegCloseKey(backup);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettings);
}

StandInInstall::StandInInstall() {
    CString standIn = TestFolder() + L"\\standin\\Tarvelo.exe";
    if (!CopyFileW(standIn, m_dir / L"Tarvelo.exe", FALSE)) throw std::runtime_error("cannot copy the stand-in program");
}

std::vector<CString> StandInInstall::Starts() const {
    WaitForChildProcesses();
    std::vector<CString> starts;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(m_dir / L"starts\\*.clip", &found);
    if (search == INVALID_HANDLE_VALUE) return starts;
    do {
        std::string bytes = ReadFileBytes(m_dir / (CString(L"starts\\") + found.cFileName));
        starts.emplace_back(reinterpret_cast<const wchar_t*>(bytes.data()), static_cast<int>(bytes.size() / sizeof(wchar_t)));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(starts.begin(), starts.end());
    return starts;
}

void WaitForChildProcesses() {
    ULONGLONG deadline = GetTickCount64() + 60000;
    for (;;) {
        std::vector<DWORD> children = ChildProcesses();
        if (children.empty() || GetTickCount64() > deadline) return;
        for (DWORD id : children) {
            HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
            if (!process) continue;
            WaitForSingleObject(process, 30000);
            CloseHandle(process);
        }
    }
}

int RunProgram(const CString& commandLine, DWORD timeoutMs) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    CString line = commandLine;
    if (!CreateProcessW(nullptr, line.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

std::optional<CString> RegistryText(HKEY root, const CString& key, const CString& value) {
    DWORD type = 0, size = 0;
    const wchar_t* name = value.IsEmpty() ? nullptr : value.GetString();
    if (RegGetValueW(root, key, name, RRF_RT_ANY, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, text.data(), &size) != ERROR_SUCCESS) return std::nullopt;
    text.resize(wcslen(text.c_str()));
    return CString(text);
}

std::optional<DWORD> RegistryNumber(HKEY root, const CString& key, const CString& value) {
    DWORD number = 0, size = sizeof(number);
    if (RegGetValueW(root, key, value.IsEmpty() ? nullptr : value.GetString(), RRF_RT_REG_DWORD, nullptr, &number, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return number;
}

bool RegistryKeyExists(HKEY root, const CString& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
}

namespace {

struct DialogSearch {
    std::vector<HWND> dialogs;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM param) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && CString(className) == L"#32770")
        reinterpret_cast<DialogSearch*>(param)->dialogs.push_back(window);
    return TRUE;
}

struct DialogText {
    CString text;
};

BOOL CALLBACK CollectStatic(HWND child, LPARAM param) {
    wchar_t className[32] = {};
    GetClassNameW(child, className, 32);
    if (CString(className).CompareNoCase(L"Static") == 0) {
        wchar_t text[1024] = {};
        GetWindowTextW(child, text, 1024);
        if (text[0]) reinterpret_cast<DialogText*>(param)->text += text;
    }
    return TRUE;
}

}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer() {
    InitializeCriticalSection(&m_lock);
    m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = CreateThread(nullptr, 0, &MessageBoxAnswerer::Watch, this, 0, nullptr);
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    SetEvent(m_stop);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    CloseHandle(m_stop);
    DeleteCriticalSection(&m_lock);
}

DWORD WINAPI MessageBoxAnswerer::Watch(void* param) {
    auto* self = static_cast<MessageBoxAnswerer*>(param);
    while (WaitForSingleObject(self->m_stop, 50) == WAIT_TIMEOUT) {
        DialogSearch search;
        EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
        for (HWND dialog : search.dialogs) {
            DialogText text;
            EnumChildWindows(dialog, CollectStatic, reinterpret_cast<LPARAM>(&text));
            wchar_t caption[256] = {};
            GetWindowTextW(dialog, caption, 256);
            EnterCriticalSection(&self->m_lock);
            self->m_boxes.push_back({text.text, caption});
            LeaveCriticalSection(&self->m_lock);
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            // Wait for the box to go before looking again.
            for (int i = 0; i < 100 && IsWindow(dialog) && IsWindowVisible(dialog); ++i) Sleep(20);
        }
    }
    return 0;
}

std::vector<MessageBoxAnswerer::Box> MessageBoxAnswerer::Boxes() const {
    EnterCriticalSection(&m_lock);
    std::vector<Box> copy = m_boxes;
    LeaveCriticalSection(&m_lock);
    return copy;
}

std::vector<CString> MessageBoxAnswerer::Texts() const {
    std::vector<CString> texts;
    for (const Box& box : Boxes()) texts.push_back(box.text);
    return texts;
}

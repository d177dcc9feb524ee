// A stand-in for the main program in a test's install path: it keeps the
// command line it was started with (the text after the program name, as the
// program's entry point receives it) as UTF-16 bytes in a file of its own in
// the folder "starts" beside itself, and exits.
#include <windows.h>

#include <string>

namespace {

// The command line after the program name and the blanks that follow it.
std::wstring ArgumentText() {
    const wchar_t* p = GetCommandLineW();
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"') ++p;
        if (*p) ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t') ++p;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    return p;
}

std::wstring OwnFolder() {
    std::wstring path(32768, L'\0');
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    return path.substr(0, path.find_last_of(L'\\'));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::wstring folder = OwnFolder() + L"\\starts";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring name = folder + L"\\" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
    std::wstring text = ArgumentText();
    HANDLE file = CreateFileW((name + L".tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 2;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    MoveFileW((name + L".tmp").c_str(), (name + L".clip").c_str());
    return 1;
}

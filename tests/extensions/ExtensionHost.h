// What the library tests share: the libraries' paths, loading a library and
// creating its object, the settings value InstallPath set for one test and
// restored after it, a stand-in main program in a test's install path and the
// command lines it was started with, and running programs to completion.
#pragma once
#include "TempDir.h"
#include "com/ComPtr.h"
#include "core/String.h"

#include <windows.h>

#include <optional>
#include <vector>

// Full Windows path of a library built beside the tests ("TQMenuExt", ...).
CString LibraryPath(const CString& name);

// A library loaded into the test process, and its class object.
class LoadedLibrary {
public:
    explicit LoadedLibrary(const CString& name);
    ~LoadedLibrary();
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    HMODULE Module() const { return m_module; }
    // A new object of the library's class, as `I`.
    template <typename I>
    ComPtr<I> Create(REFCLSID clsid) const {
        ComPtr<I> object;
        CreateObject(clsid, __uuidof(I), object.ReceiveVoid());
        return object;
    }
    HRESULT CanUnloadNow() const;

private:
    HRESULT CreateObject(REFCLSID clsid, REFIID iid, void** out) const;
    HMODULE m_module = nullptr;
};

// Sets (or removes) HKCU\Software\Tarvelo\Tarvelo\Settings InstallPath for
// the scope and puts back what was there before.
class InstallPathScope {
public:
    InstallPathScope();  // remembers the value as it is
    ~InstallPathScope();
    InstallPathScope(const InstallPathScope&) = delete;
    InstallPathScope& operator=(const InstallPathScope&) = delete;

    void Set(const CString& path);
    void SetRaw(DWORD type, const void* data, DWORD size);
    void RemoveValue();
    void RemoveKey();  // the whole Settings key (kept aside and put back)

private:
    std::optional<std::vector<BYTE>> m_saved;
    DWORD m_savedType = 0;
    bool m_keyExisted = false;
};

// A test's install path with the stand-in Tarvelo.exe in it.
class StandInInstall {
public:
    StandInInstall();
    const CString& Path() const { return m_dir.Path(); }
    CString operator/(const CString& name) const { return m_dir / name; }
    // Waits until every program the test process started has ended, then
    // returns the command lines the stand-in received, sorted.
    std::vector<CString> Starts() const;

private:
    TempDir m_dir;
};

// Waits for every child process of the test (the stand-ins it started) to end.
void WaitForChildProcesses();

// Runs a program with a command line to its end; returns its exit code (or -1).
int RunProgram(const CString& commandLine, DWORD timeoutMs = 60000);

// A registry value as text (REG_SZ) or number (REG_DWORD); nullopt when missing.
std::optional<CString> RegistryText(HKEY root, const CString& key, const CString& value);
std::optional<DWORD> RegistryNumber(HKEY root, const CString& key, const CString& value);
bool RegistryKeyExists(HKEY root, const CString& key);

// Answers the real message boxes that a library shows (the libraries carry
// their own copy of the framework, so a test cannot redirect their boxes):
// a thread watches for dialog windows of the test process, records their
// text and caption and presses their first button.
class MessageBoxAnswerer {
public:
    struct Box {
        CString text;
        CString caption;
    };
    MessageBoxAnswerer();
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    std::vector<Box> Boxes() const;
    std::vector<CString> Texts() const;

private:
    static DWORD WINAPI Watch(void* self);
    HANDLE m_thread = nullptr;
    HANDLE m_stop = nullptr;
    mutable CRITICAL_SECTION m_lock;
    std::vector<Box> m_boxes;
};

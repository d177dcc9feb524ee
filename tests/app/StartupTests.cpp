// Tarvelo.exe as the user and the browser libraries start it.
#include "AppTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryW(m_install / L"Bookmark", nullptr);
        CreateDirectoryW(m_install / L"Bookmark\\Allpages", nullptr);
        ProgramRegistryGuard::WriteString(L"Settings", L"InstallPath", m_install.Path());
    }
    CString Page(const wchar_t* name) {
        CString path = m_install / (CString(L"Bookmark\\Allpages\\") + name);
        WriteFileBytes(path, std::string("\xFF\xFE<\0h\0t\0m\0l\0>\0", 14));
        return path;
    }

    ProgramRegistryGuard m_registry;
    TempDir m_install;
};

BOOL CALLBACK FindChildTitled(HWND hwnd, LPARAM data) {
    auto* wanted = reinterpret_cast<std::pair<const wchar_t*, HWND>*>(data);
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    if (lstrcmpW(text, wanted->first) == 0) wanted->second = hwnd;
    return TRUE;
}

}  // namespace

TEST_F(Startup, PlainStartPlacesTheMainWindowFromInitAndClosingSavesItBack) {
    ProgramRegistryGuard::WriteInt(L"Init", L"Left", 100);
    ProgramRegistryGuard::WriteInt(L"Init", L"right", 700);
    ProgramRegistryGuard::WriteInt(L"Init", L"top", 120);
    ProgramRegistryGuard::WriteInt(L"Init", L"bottom", 520);

    RECT placed{};
    bool closed = false;
    TarveloRun run = RunTarvelo(L"", [&](DWORD processId) {
        HWND frame = FindVisibleWindow(processId, L"Tarvelo 2.3");
        if (!frame) return true;
        GetWindowRect(frame, &placed);
        // The user moves the window, then closes it.
        SetWindowPos(frame, nullptr, 50, 60, 500, 300, SWP_NOZORDER | SWP_NOACTIVATE);
        PostMessageW(frame, WM_CLOSE, 0, 0);
        closed = true;
        return false;
    });
    ASSERT_TRUE(closed) << "the main window never showed";
    EXPECT_EQ(placed.left, 100);
    EXPECT_EQ(placed.top, 120);
    EXPECT_EQ(placed.right, 700);
    EXPECT_EQ(placed.bottom, 520);
    EXPECT_EQ(run.exitCode, 0u);

    DWORD left = 0, right = 0, top = 0, bottom = 0;
    ASSERT_TRUE(ProgramRegistryGuard::ReadInt(L"Init", L"Left", left));
    ProgramRegistryGuard::ReadInt(L"Init", L"right", right);
    ProgramRegistryGuard::ReadInt(L"Init", L"top", top);
    ProgramRegistryGuard::ReadInt(L"Init", L"bottom", bottom);
    EXPECT_EQ(left, 50u);
    EXPECT_EQ(top, 60u);
    EXPECT_EQ(right, 550u);
    EXPECT_EQ(bottom, 360u);
}

TEST_F(Startup, MissingAllPagesIndexIsBuiltBeforeTheWindowTakesInput) {
    CString page = m_install / L"Bookmark\\Allpages\\Indexed.htm";
    std::wstring text = L"\xFEFF<html id=tq1>\n<body>\n<P>&gt;&gt;&gt;Links&lt;&lt;&lt;</P>\n</body>\n</html>\n";
    WriteFileBytes(page, std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)));
    CString valueAtFirstInput = L"<none>";
    RunTarvelo(L"", [&](DWORD processId) {
        HWND frame = FindVisibleWindow(processId, L"Tarvelo 2.3");
        if (!frame) return true;
        valueAtFirstInput = ProgramRegistryGuard::ReadString(L"AllPages", L"Indexed");
        PostMessageW(frame, WM_CLOSE, 0, 0);
        return false;
    });
    EXPECT_EQ(valueAtFirstInput, L"Links,1");
}

TEST_F(Startup, WithoutInitTheWindowTakesTheDefaultPlace) {
    RECT placed{};
    RunTarvelo(L"", [&](DWORD processId) {
        HWND frame = FindVisibleWindow(processId, L"Tarvelo 2.3");
        if (!frame) return true;
        GetWindowRect(frame, &placed);
        PostMessageW(frame, WM_CLOSE, 0, 0);
        return false;
    });
    EXPECT_EQ(placed.left, 23);
    EXPECT_EQ(placed.top, 23);
    EXPECT_EQ(placed.right - placed.left, 960);
    EXPECT_EQ(placed.bottom - placed.top, 559);
}

TEST_F(Startup, LastPageIsReopenedAndRememberedAmongRecentFiles) {
    CString page = Page(L"Diary.htm");
    ProgramRegistryGuard::WriteString(L"Settings", L"FileHot", page);
    bool sawPage = false;
    TarveloRun run = RunTarvelo(L"", [&](DWORD processId) {
        HWND frame = FindVisibleWindow(processId, L"Tarvelo 2.3");
        if (!frame) frame = FindVisibleWindow(processId, L"Tarvelo 2.3 - [Diary.htm]");
        if (!frame) return true;
        std::pair<const wchar_t*, HWND> wanted{L"Diary.htm", nullptr};
        EnumChildWindows(frame, FindChildTitled, reinterpret_cast<LPARAM>(&wanted));
        if (!wanted.second) return true;
        sawPage = true;
        PostMessageW(frame, WM_CLOSE, 0, 0);
        return false;
    });
    EXPECT_TRUE(sawPage);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"Recent File List", L"File1").CompareNoCase(page), 0);
}

namespace {

// Cancels the visible "Add to Tarvelo" dialog of a clip process; notes any
// other visible window of the process.
void CancelClipDialogs(DWORD processId, bool& sawOtherWindow) {
    struct Visit {
        DWORD processId;
        bool* sawOther;
    } visit{processId, &sawOtherWindow};
    EnumWindows(
        [](HWND window, LPARAM data) CALLBACK -> BOOL {
            auto* v = reinterpret_cast<Visit*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != v->processId || !IsWindowVisible(window)) return TRUE;
            wchar_t caption[64] = {};
            GetWindowTextW(window, caption, 64);
            if (CString(caption) == L"Tarvelo->Add to Tarvelo")
                PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
            else
                *v->sawOther = true;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&visit));
}

}  // namespace

TEST_F(Startup, EachClipCommandLineEndsWithExitCodeOneAndShowsNoWindow) {
    ProgramRegistryGuard::WriteInt(L"Init", L"Left", 300);
    const wchar_t* clips[] = {
        L"\"<param><url>http://example.org/a</url><name>A page</name></param><form>0</form>\"",
        L"\"<TQBLK>1</TQBLK><AA1>q>>>tarvelo|||</AA>\"",
        L"\"<evt><name>n</name><file>Diary</file><edate>1-2-2026</edate><eip>x</eip></evt>\"",
        // A link clip that carries block elements as well is still a link clip.
        L"\"<param><url>u</url><name>n</name></param><AA1>x</AA>\"",
    };
    for (const wchar_t* clip : clips) {
        // A link clip asks in its "Add to Tarvelo" dialog, which is cancelled
        // here; nothing but such a dialog may show.
        bool sawOtherWindow = false;
        TarveloRun run = RunTarvelo(clip, [&](DWORD processId) {
            CancelClipDialogs(processId, sawOtherWindow);
            return true;
        });
        EXPECT_TRUE(run.finished) << ::testing::PrintToString(CString(clip));
        EXPECT_EQ(run.exitCode, 1u) << ::testing::PrintToString(CString(clip));
        EXPECT_FALSE(sawOtherWindow) << ::testing::PrintToString(CString(clip));
    }
    DWORD left = 0;
    ASSERT_TRUE(ProgramRegistryGuard::ReadInt(L"Init", L"Left", left));
    EXPECT_EQ(left, 300u);  // a clip process never closes its frame: Init stays
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"Recent File List", L"File1"), L"");
}

namespace {
// A top-level window of the process with that caption, shown or not.
HWND FindWindowOfProcess(DWORD processId, const CString& caption) {
    struct Search {
        DWORD processId;
        const CString* caption;
        HWND found = nullptr;
    } search{processId, &caption};
    EnumWindows(
        [](HWND window, LPARAM data) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t text[64] = {};
            GetWindowTextW(window, text, 64);
            if (owner != s->processId || CString(text) != *s->caption) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
}  // namespace

namespace {
// The DLLs the program imports at load time (not those it loads when first
// calling them), in upper case.
std::vector<std::string> LoadTimeImports(const CString& exe) {
    std::string image = ReadFileBytes(exe);
    std::vector<std::string> names;
    if (image.size() < sizeof(IMAGE_DOS_HEADER)) return names;
    auto at = [&](size_t offset, size_t size) { return offset + size <= image.size() ? image.data() + offset : nullptr; };
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(at(static_cast<size_t>(dos->e_lfanew), sizeof(IMAGE_NT_HEADERS)));
    if (!nt) return names;
    const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
    auto fileOffset = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i)
            if (rva >= sections[i].VirtualAddress && rva < sections[i].VirtualAddress + sections[i].SizeOfRawData)
                return rva - sections[i].VirtualAddress + sections[i].PointerToRawData;
        return image.size();
    };
    DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (size_t offset = fileOffset(imports);; offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(offset, sizeof(IMAGE_IMPORT_DESCRIPTOR)));
        if (!entry || !entry->Name) break;
        const char* name = at(fileOffset(entry->Name), 1);
        if (!name) break;
        std::string upper(name, strnlen(name, static_cast<size_t>(image.data() + image.size() - name)));
        for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        names.push_back(upper);
    }
    return names;
}
}  // namespace

TEST_F(Startup, TheDllsAClipDoesNotNeedAreLoadedOnlyWhenFirstCalled) {
    // A link clip's dialog must come up about as fast as a bare window: the
    // program starts with the DLLs such a window loads.
    std::vector<std::string> imports = LoadTimeImports(TarveloExePath());
    EXPECT_FALSE(imports.empty());
    for (const char* late : {"SHELL32.DLL", "COMDLG32.DLL", "WININET.DLL", "COMCTL32.DLL", "OLE32.DLL", "OLEAUT32.DLL",
                             "SHLWAPI.DLL", "WINSPOOL.DRV"})
        EXPECT_EQ(std::count(imports.begin(), imports.end(), late), 0) << late;
}

TEST_F(Startup, LinkClipBuildsItsMainWindowHiddenWhileItsDialogIsUp) {
    bool hiddenFrame = false, sawOtherWindow = false;
    TarveloRun run = RunTarvelo(L"\"<param><url>http://example.org/a</url><name>A</name></param>\"", [&](DWORD processId) {
        if (!FindVisibleWindow(processId, L"Tarvelo->Add to Tarvelo")) return true;
        HWND frame = FindWindowOfProcess(processId, L"Tarvelo 2.3");
        if (!frame) return true;
        hiddenFrame = !IsWindowVisible(frame);
        CancelClipDialogs(processId, sawOtherWindow);
        return false;
    });
    EXPECT_TRUE(hiddenFrame);
    EXPECT_FALSE(sawOtherWindow);
    EXPECT_EQ(run.exitCode, 1u);
}

TEST_F(Startup, DamagedInitValuesFallBackToTheDefaultPlace) {
    ProgramRegistryGuard::WriteInt(L"Init", L"Left", 900);
    ProgramRegistryGuard::WriteInt(L"Init", L"right", 100);  // right of the right edge: no width
    ProgramRegistryGuard::WriteInt(L"Init", L"top", 50);
    ProgramRegistryGuard::WriteInt(L"Init", L"bottom", 400);
    RECT placed{};
    RunTarvelo(L"", [&](DWORD processId) {
        HWND frame = FindVisibleWindow(processId, L"Tarvelo 2.3");
        if (!frame) return true;
        GetWindowRect(frame, &placed);
        PostMessageW(frame, WM_CLOSE, 0, 0);
        return false;
    });
    EXPECT_EQ(placed.left, 23);
    EXPECT_EQ(placed.right, 983);
}

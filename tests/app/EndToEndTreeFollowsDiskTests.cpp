// The folder tree of the running Tarvelo.exe follows the disk: pages and
// folders deleted, renamed or removed by another program leave it within
// seconds, a page opened after it vanished is named as gone, and moving or
// renaming a folder with the real mouse and keys keeps the pen of every open
// page.
#include "EndToEndDiskTree.h"

#include "util/PathParts.h"

#include <tlhelp32.h>

namespace {

// Every thread of the process but its user-interface thread stands still
// while this lives: the program's folder watch cannot tell the window of a
// change, as when the user is quicker than the watch.
class OtherThreadsHeld {
public:
    OtherThreadsHeld(HANDLE process, HWND window) {
        const DWORD id = GetProcessId(process), uiThread = GetWindowThreadProcessId(window, nullptr);
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
        if (snapshot == INVALID_HANDLE_VALUE) return;
        THREADENTRY32 entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
            if (entry.th32OwnerProcessID != id || entry.th32ThreadID == uiThread) continue;
            if (HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID)) {
                if (SuspendThread(thread) != static_cast<DWORD>(-1)) m_threads.push_back(thread);
                else CloseHandle(thread);
            }
        }
        CloseHandle(snapshot);
    }
    ~OtherThreadsHeld() {
        for (HANDLE thread : m_threads) {
            ResumeThread(thread);
            CloseHandle(thread);
        }
    }
    OtherThreadsHeld(const OtherThreadsHeld&) = delete;
    OtherThreadsHeld& operator=(const OtherThreadsHeld&) = delete;
    size_t Count() const { return m_threads.size(); }

private:
    std::vector<HANDLE> m_threads;
};

}  // namespace

class EndToEndTreeFollowsDisk : public EndToEndDiskTree {
protected:
    // A page opened with a double click on its item: its window is up.
    void OpenPageAt(const CString& labels) {
        DoubleClick(labels);
        const CString file = GetPathLastPart(labels) + L".htm";
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return PageWindowOf(file) != nullptr; }))
            << labels.str() << " did not open; up: " << m_program.TopWindows().str();
        m_program.Settle();
    }
};

TEST_F(EndToEndTreeFollowsDisk, PagesAndFoldersChangedOutsideLeaveTheTreeWithinSeconds) {
    // Few enough that the tree shows every item without scrolling.
    const std::vector<CString> gone = NumberedNames(L"Gone%02d.htm", 6);
    for (const CString& name : gone) Write(name);
    MakeFolder(L"Old");
    MakeFolder(L"Doomed");
    for (const CString& name : NumberedNames(L"p%02d.htm", 6)) {
        Write(L"Old\\" + name);
        Write(L"Doomed\\" + name);
    }
    StartProgram();
    OpenFolder(L"Old", L"p00");
    OpenFolder(L"Doomed", L"p00");

    // Another program deletes pages, renames a folder the tree has open and
    // removes another with everything in it.
    for (const CString& name : gone) ASSERT_TRUE(DeleteFileW(m_allpages + L"\\" + name));
    ASSERT_TRUE(MoveFileExW(m_allpages + L"\\Old", m_allpages + L"\\Renamed", 0));
    // (Deleted as the shell does it: moved out first, so that no reader of
    // the program's holds it as it goes.)
    ASSERT_TRUE(MoveFileExW(m_allpages + L"\\Doomed", m_install.Path() + L"\\Doomed", 0));
    RemoveFolderTree(m_install.Path() + L"\\Doomed");
    EXPECT_TRUE(ProgramDriver::WaitFor(
        [&] {
            for (const CString& name : gone)
                if (Shows(GetNameWithoutExt(name))) return false;
            return !Shows(L"Old") && !Shows(L"Doomed") && Shows(L"Renamed");
        },
        kFollowMs))
        << "the tree still shows what the disk no longer holds: Gone00 " << Shows(L"Gone00") << ", Old "
        << Shows(L"Old") << ", Doomed " << Shows(L"Doomed") << ", Renamed " << Shows(L"Renamed") << "; Doomed on disk "
        << PathExists(m_allpages + L"\\Doomed");
    // The renamed folder shows once, under its new name, with its pages.
    OpenFolder(L"Renamed", L"p05");

    // A page written into a folder made again shows below the new folder's node.
    MakeFolder(L"Doomed");
    Write(L"Doomed\\fresh.htm");
    EXPECT_TRUE(ProgramDriver::WaitFor([&] { return Shows(L"Doomed"); }, kFollowMs));
    m_program.Settle();
    OpenFolder(L"Doomed", L"fresh");
    EXPECT_FALSE(Shows(L"Doomed\\p00"));
    EXPECT_EQ(m_program.TopWindow(L"#32770"), nullptr);
    EXPECT_EQ(m_program.Exit(), 0u);
}

TEST_F(EndToEndTreeFollowsDisk, APageOpenedAfterItVanishedIsNamedAsGoneAndItsEntryGoes) {
    const CString vanished = Write(L"Vanished.htm");
    StartProgram();
    POINT point = PointOf(L"Vanished");
    m_program.Settle();
    HWND box = nullptr;
    {
        // Deleted, and double-clicked before the program heard of it.
        OtherThreadsHeld held(m_program.Process(), m_program.Frame());
        ASSERT_TRUE(DeleteFileW(vanished));
        ProgramDriver::MouseClick(point, false, 2);
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (box = m_program.TopWindow(L"#32770")) != nullptr; }))
            << "no message; up: " << m_program.TopWindows().str();
        EXPECT_EQ(ProgramDriver::TextOf(box), L"The page \"Vanished\" is no longer on disk: it was deleted or renamed "
                                              L"outside Tarvelo. Its entry is taken out of the tree.");
        ProgramDriver::Press(box, IDOK);
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(box); }));
    }
    EXPECT_TRUE(ProgramDriver::WaitFor([&] { return !Shows(L"Vanished"); }, kFollowMs));
    EXPECT_EQ(PageWindowOf(L"Vanished.htm"), nullptr);
    EXPECT_TRUE(Shows(L"Notes"));
    EXPECT_EQ(m_program.TopWindow(L"#32770"), nullptr);
    EXPECT_EQ(m_program.Exit(), 0u);
}

TEST_F(EndToEndTreeFollowsDisk, AFolderDraggedOntoAnotherAndRenamedKeepsEveryOpenPagesPen) {
    MakeFolder(L"Recipes");
    Write(L"Recipes\\Diary.htm");
    Write(L"Recipes\\Bread.htm");
    MakeFolder(L"Projects");
    Write(L"Projects\\Plans & Goals.htm");
    StartProgram();
    OpenFolder(L"Recipes", L"Diary");
    OpenPageAt(L"Recipes\\Diary");
    OpenFolder(L"Projects", L"Plans & Goals");
    OpenPageAt(L"Projects\\Plans & Goals");
    OpenPage();  // Notes, at the top
    ASSERT_EQ(ImageOf(L"Recipes\\Diary"), kOpenPageImage);
    ASSERT_EQ(ImageOf(L"Projects\\Plans & Goals"), kOpenPageImage);

    auto expectPens = [&](const CString& plans) {
        SCOPED_TRACE(plans.str());
        OpenFolder(GetParentPath(plans), GetPathLastPart(plans));
        for (const CString& page : {CString(L"Recipes\\Diary"), plans, CString(L"Notes")})
            EXPECT_EQ(ImageOf(page), kOpenPageImage) << page.str() << " lost its pen";
        EXPECT_NE(ImageOf(L"Recipes\\Bread"), kOpenPageImage);
        for (const wchar_t* file : {L"Diary.htm", L"Plans & Goals.htm", L"Notes.htm"})
            EXPECT_NE(PageWindowOf(file), nullptr) << CString(file).str() << " is not open";
    };

    // The folder Projects dragged with the mouse onto Recipes.
    ProgramDriver::MouseDrag(PointOf(L"Projects"), PointOf(L"Recipes"), 150, 30);
    EXPECT_TRUE(ProgramDriver::WaitFor([&] {
        return PathExists(m_allpages + L"\\Recipes\\Projects\\Plans & Goals.htm") && PageWindowOf(L"Plans & Goals.htm");
    })) << "not moved; up: " << m_program.TopWindows().str();
    m_program.Settle();
    EXPECT_EQ(m_program.TopWindow(L"#32770"), nullptr);
    expectPens(L"Recipes\\Projects\\Plans & Goals");

    // Renamed with F2 where it now stands.
    ProgramDriver::MouseClick(PointOf(L"Recipes\\Projects"));
    m_program.Settle();
    ProgramDriver::Key(VK_F2);
    m_program.Settle();
    ProgramDriver::Key('A', true);
    ProgramDriver::Type(L"Work");
    ProgramDriver::Key(VK_RETURN);
    EXPECT_TRUE(ProgramDriver::WaitFor([&] {
        return PathExists(m_allpages + L"\\Recipes\\Work\\Plans & Goals.htm") && PageWindowOf(L"Plans & Goals.htm");
    })) << "not renamed; up: " << m_program.TopWindows().str();
    m_program.Settle();
    expectPens(L"Recipes\\Work\\Plans & Goals");
    EXPECT_EQ(m_program.TopWindow(L"#32770"), nullptr);
    EXPECT_EQ(m_program.Exit(), 0u);
}

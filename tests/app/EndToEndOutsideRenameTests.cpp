// An open page whose folder or file another program renames follows it: the
// text typed before the rename is saved with Ctrl+S into the page under its
// new name, no message comes, and the new item carries the open mark. A page
// whose folder went altogether is saved where it was, its folder made again.
#include "EndToEndDiskTree.h"

#include "util/PathParts.h"

class EndToEndOutsideRename : public EndToEndDiskTree {
protected:
    // The page opened from its item, and a word typed at its start.
    void OpenAndType(const CString& labels, const CString& word) {
        DoubleClick(labels);
        const CString file = GetPathLastPart(labels) + L".htm";
        HWND engine = nullptr;
        ASSERT_TRUE(ProgramDriver::WaitFor([&] {
            HWND page = PageWindowOf(file);
            return page && (engine = ProgramDriver::Child(page, L"Internet Explorer_Server")) != nullptr;
        })) << labels.str() << " did not open; up: " << m_program.TopWindows().str();
        m_program.Settle();
        ClickInto(engine);
        ProgramDriver::Type(word);
        m_program.Settle();
    }
    void ClickInto(HWND engine) {
        RECT area{};
        GetWindowRect(engine, &area);
        ProgramDriver::MouseClick(POINT{area.left + 40, area.bottom - 20});
        ProgramDriver::Key(VK_HOME, true);
        m_program.Settle();
    }
    // Ctrl+S in the page's window (clicked into first): the file at `path` is written.
    void SaveInto(const CString& file, const CString& path) {
        HWND page = PageWindowOf(file);
        ASSERT_NE(page, nullptr) << "no window " << file.str() << "; up: " << m_program.TopWindows().str();
        ClickInto(ProgramDriver::Child(page, L"Internet Explorer_Server"));
        SaveWrites(CtrlS, path);
        EXPECT_EQ(m_program.TopWindow(L"#32770"), nullptr) << "up: " << m_program.TopWindows().str();
    }
};

TEST_F(EndToEndOutsideRename, TheOpenPagesOfAFolderOrPageRenamedOutsideFollowItAndSaveThere) {
    MakeFolder(L"Recipes");
    MakeFolder(L"Recipes\\Trips");
    Write(L"Recipes\\Trips\\Lists.htm");
    Write(L"Trip notes.htm");
    StartProgram();
    OpenFolder(L"Recipes", L"Trips");
    OpenFolder(L"Recipes\\Trips", L"Lists");

    {
        SCOPED_TRACE("a folder renamed");
        OpenAndType(L"Recipes\\Trips\\Lists", L"packedbefore");
        ASSERT_TRUE(MoveFileExW(m_allpages + L"\\Recipes\\Trips", m_allpages + L"\\Recipes\\Journeys", 0));
        EXPECT_TRUE(ProgramDriver::WaitFor([&] { return Shows(L"Recipes\\Journeys") && !Shows(L"Recipes\\Trips"); },
                                           kFollowMs));
        m_program.Settle();
        const CString moved = m_allpages + L"\\Recipes\\Journeys\\Lists.htm";
        SaveInto(L"Lists.htm", moved);
        EXPECT_NE(PlainText(moved).Find(L"packedbefore"), -1) << PlainText(moved).str();
        EXPECT_FALSE(PathExists(m_allpages + L"\\Recipes\\Trips"));
        OpenFolder(L"Recipes\\Journeys", L"Lists");
        EXPECT_EQ(ImageOf(L"Recipes\\Journeys\\Lists"), kOpenPageImage);
    }
    {
        SCOPED_TRACE("a page renamed");
        OpenAndType(L"Trip notes", L"notedbefore");
        ASSERT_TRUE(MoveFileExW(m_allpages + L"\\Trip notes.htm", m_allpages + L"\\Trip log.htm", 0));
        EXPECT_TRUE(ProgramDriver::WaitFor([&] { return Shows(L"Trip log") && !Shows(L"Trip notes"); }, kFollowMs));
        EXPECT_TRUE(ProgramDriver::WaitFor([&] { return PageWindowOf(L"Trip log.htm") != nullptr; }))
            << "up: " << m_program.TopWindows().str();
        m_program.Settle();
        const CString moved = m_allpages + L"\\Trip log.htm";
        SaveInto(L"Trip log.htm", moved);
        EXPECT_NE(PlainText(moved).Find(L"notedbefore"), -1) << PlainText(moved).str();
        EXPECT_FALSE(PathExists(m_allpages + L"\\Trip notes.htm"));
        EXPECT_EQ(ImageOf(L"Trip log"), kOpenPageImage);
    }
    EXPECT_EQ(m_program.Exit(), 0u);
}

// The folder taken out of the page store altogether: the save makes it again
// and writes the page there, with no message.
TEST_F(EndToEndOutsideRename, APageWhoseFolderWentIsSavedInItsFolderMadeAgain) {
    MakeFolder(L"Trips");
    Write(L"Trips\\Lists.htm");
    StartProgram();
    OpenFolder(L"Trips", L"Lists");
    OpenAndType(L"Trips\\Lists", L"keptanyway");
    ASSERT_TRUE(MoveFileExW(m_allpages + L"\\Trips", m_install.Path() + L"\\Trips", 0));
    EXPECT_TRUE(ProgramDriver::WaitFor([&] { return !Shows(L"Trips"); }, kFollowMs));
    m_program.Settle();
    const CString page = m_allpages + L"\\Trips\\Lists.htm";
    SaveInto(L"Lists.htm", page);
    EXPECT_NE(PlainText(page).Find(L"keptanyway"), -1) << PlainText(page).str();
    EXPECT_EQ(m_program.Exit(), 0u);
}

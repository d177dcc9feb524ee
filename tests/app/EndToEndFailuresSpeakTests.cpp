// Failures that the real Tarvelo.exe names instead of passing over: Index All
// and Unindex All from the tree's menu over a folder with a read-only page
// do every other page and then name the read-only one, which stays as it was.
#include "EndToEndFixture.h"

namespace {

class EndToEndFailuresSpeak : public EndToEnd {
protected:
    // The tree's menu on the folder's item, and the item `upKeys` up from
    // its end ("New Directory" is 1).
    void FolderMenuCommand(const CString& folder, int upKeys) {
        RECT rect{};
        HTREEITEM item = nullptr;
        ASSERT_TRUE(ProgramDriver::WaitFor([&] {
            item = m_program.TreeItem(m_tree, folder);
            return item && m_program.TreeItemRect(m_tree, item, rect);
        })) << "the tree does not list " << folder.str();
        m_program.Settle();
        auto menuUp = [&] { return m_program.TopWindow(L"#32768") != nullptr; };
        ASSERT_TRUE(ProgramDriver::WaitFor([&] {
            if (!menuUp()) ProgramDriver::MouseClick(Middle(rect), true);  // again when a busy moment lost it
            return ProgramDriver::WaitFor(menuUp, 2000);
        })) << "no menu; up: " << m_program.TopWindows().str();
        for (int i = 0; i < upKeys; ++i) ProgramDriver::Key(VK_UP);
        ProgramDriver::Key(VK_RETURN);
    }
    // The message box that comes up: its text, once OK answered it.
    CString AnswerBox() {
        HWND box = nullptr;
        if (!ProgramDriver::WaitFor([&] { return (box = m_program.TopWindow(L"#32770")) != nullptr; }))
            return L"<none>; up: " + m_program.TopWindows();
        CString text = ProgramDriver::TextOf(box);
        ProgramDriver::Press(box, IDOK);
        ProgramDriver::WaitFor([&] { return !IsWindow(box); });
        m_program.Settle();
        return text;
    }
    static int Marker(const CString& path) { return ReadBack(path).marker; }
};

constexpr int kIndexAll = 5, kUnindexAll = 4;  // up from the menu's end: New Directory, New File, Export, ...

} // namespace

TEST_F(EndToEndFailuresSpeak, IndexAllAndUnindexAllNameAReadOnlyPageAndDoTheOthers) {
    const CString folder = m_allpages + L"\\Recipes";
    CreateDirectoryW(folder, nullptr);
    CString unindexed = kPage;
    unindexed.Replace(L"<html id=tq1>", L"<html id=tq0>");
    const CString soup = folder + L"\\Soup.htm", bread = folder + L"\\Bread.htm", cake = folder + L"\\Cake.htm";
    for (const CString& page : {soup, bread, cake}) WriteFileBytes(page, Utf16Bytes(unindexed));
    ASSERT_TRUE(SetFileAttributesW(bread, FILE_ATTRIBUTE_READONLY));
    const std::string held = ReadFileBytes(bread);
    StartProgram();

    FolderMenuCommand(L"Recipes", kIndexAll);
    EXPECT_EQ(AnswerBox(), L"Error! Cleanfile cannot open file.\n" + bread);
    EXPECT_EQ(Marker(soup), 1);
    EXPECT_EQ(Marker(cake), 1);
    EXPECT_EQ(ReadFileBytes(bread), held);
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Recipes\\Soup"), L"News,1;Work,1");

    FolderMenuCommand(L"Recipes", kUnindexAll);
    EXPECT_EQ(AnswerBox(), L"Error! Cleanfile cannot open file.\n" + bread);
    EXPECT_EQ(Marker(soup), 2);
    EXPECT_EQ(Marker(cake), 2);
    EXPECT_EQ(ReadFileBytes(bread), held);
    EXPECT_EQ(m_program.TopWindow(L"#32770"), nullptr);

    SetFileAttributesW(bread, FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(m_program.Exit(), 0u);
}

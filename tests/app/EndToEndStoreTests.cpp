// What the store hands to the browser and keeps of a clip, through the real
// Tarvelo.exe: a page's addresses restored as the browser's typed addresses,
// and a clip whose picture never arrives.
#include "EndToEndFixture.h"
#include "TypedUrlsAside.h"

#include "util/Folders.h"

namespace {

// Clicks a button of a window of the program with the real mouse.
void ClickButton(HWND window, int id) {
    RECT rect{};
    GetWindowRect(GetDlgItem(window, id), &rect);
    ProgramDriver::MouseClick(Middle(rect));
}

}  // namespace

TEST_F(EndToEnd, TypedAddressesComeFromThePageAsTypedAndAPictureThatNeverArrivesIsSaid) {
    TypedUrlsAside aside;  // no browser has made the list yet
    CString page = kPage;
    page.Replace(L"http://example.com/b", L"http://example.com/b?x=1&amp;y=2");
    WriteFileBytes(m_path, Utf16Bytes(page));
    StartProgram();
    ProgramDriver::MouseClick(TreeItemPoint());
    m_program.Settle();
    PostMessageW(m_program.Frame(), WM_COMMAND, ID_TOOLS_RESTORE_ADDRESS_HISTORY, 0);
    HWND box = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (box = m_program.TopWindow(L"#32770")) != nullptr; }));
    EXPECT_EQ(ProgramDriver::TextOf(box), L"Your IE history file has been updated.");
    ClickButton(box, IDOK);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(box); }));
    EXPECT_EQ(TypedUrlsAside::Read(L"url1"), L"http://example.com/a");
    EXPECT_EQ(TypedUrlsAside::Read(L"url2"), L"http://example.com/b?x=1&y=2");
    EXPECT_EQ(m_program.Exit(), 0u);

    // A clip whose picture cannot be fetched: the user hears of it, the link lands without it.
    ProgramRegistryGuard::WriteInt(L"Settings", L"showpic", 0);
    ClipProcess clip(L"<param><url>http://example.com/z</url><name><img><src>http://127.0.0.1:1/gone.jpg</src>"
                     L"<desc>Gone</desc></img></name></param><form>0</form>");
    HWND dialog = clip.WaitForWindow(L"Tarvelo->Add to Tarvelo");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(WaitForComboItems(dialog, 1008, 1));
    ChooseComboItem(dialog, 1008, L"Notes");
    ChooseComboItem(dialog, 1009, L"Work");
    EXPECT_TRUE(ButtonChecked(dialog, 1053));
    ClickButton(dialog, IDOK);
    HWND said = clip.WaitForWindow(L"Tarvelo");
    ASSERT_NE(said, nullptr);
    EXPECT_EQ(MessageBoxText(said), L"The picture could not be fetched; the link is added without it.\n"
                                    L"http://127.0.0.1:1/gone.jpg");
    ClickButton(said, IDOK);
    EXPECT_EQ(clip.WaitForExit(), 1u);
    StoreView view = ReadBack(m_path);
    EXPECT_EQ(view.addresses, (std::vector<CString>{L"http://example.com/a", L"http://example.com/b?x=1&amp;y=2",
                                                    L"http://example.com/z"}));
    EXPECT_EQ(PageText().Find(L"<img"), -1) << PageText().str();
    EXPECT_TRUE(ListFolder(m_install.Path() + L"\\BookMark\\Pic").empty());
}

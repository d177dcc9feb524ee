// A link clip cut off in its form element, after whole parameters, through
// the real program: it is refused with the message of every cut clip, before
// any "Add to Tarvelo" dialog, and nothing is written.
#include "ClipRefusalFixture.h"

namespace {

// The first window the clip process shows: its message box ("Tarvelo") or
// the add-link dialog; the caption of the one that came, empty when none did.
CString FirstWindowOf(ClipProcess& process, HWND& window) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 45000;) {
        for (const wchar_t* caption : {L"Tarvelo", L"Tarvelo->Add to Tarvelo"})
            if ((window = process.WaitForWindow(caption, 100)) != nullptr) return caption;
    }
    return CString();
}

}  // namespace

TEST_F(ClipRefusal, AClipCutOffInItsFormElementIsRefusedBeforeTheDialog) {
    const std::string before = ReadFileBytes(Allpages() + L"\\News.htm");
    const CString parameters = L"<param><url>http://e.com/cut</url><name>Cut</name></param>";
    for (const CString& tail : {CString(L"<form>0</form"), CString(L"<form>1</fo"), CString(L"<form>0"), CString(L"<fo")}) {
        SCOPED_TRACE(tail.str());
        ClipProcess process(L"\"" + parameters + tail + L"\"");
        ASSERT_TRUE(process.Started());
        HWND window = nullptr;
        const CString caption = FirstWindowOf(process, window);
        ASSERT_EQ(caption, L"Tarvelo") << "the clip was not refused";
        EXPECT_EQ(MessageBoxText(window), L"The clip could not be read (its text is cut off): nothing was added.");
        PressButton(window, IDOK);
        EXPECT_EQ(process.WaitForExit(), 1u);
    }
    EXPECT_EQ(ReadFileBytes(Allpages() + L"\\News.htm"), before);
    EXPECT_EQ(ListFolder(Allpages()), std::vector<CString>{L"News.htm"});
    EXPECT_FALSE(PathExists(m_dir.Path() + L"\\BookMark\\Pic"));

    // The same clip whole goes on to the dialog, as ever.
    ClipProcess whole(L"\"" + parameters + L"<form>0</form>\"");
    HWND window = nullptr;
    EXPECT_EQ(FirstWindowOf(whole, window), L"Tarvelo->Add to Tarvelo");
    if (window) PressButton(window, IDCANCEL);
    EXPECT_EQ(whole.WaitForExit(), 1u);
    EXPECT_EQ(ReadFileBytes(Allpages() + L"\\News.htm"), before);
}

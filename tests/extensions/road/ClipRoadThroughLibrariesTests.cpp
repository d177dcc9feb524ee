// The whole road of one clip: the browser's toolbar button (BookMark.dll)
// on a page with a form starts the real Tarvelo.exe of the install path, the
// test answers its "Add to Tarvelo" dialog, the page file takes the link and
// the form record is kept; then the form filler (TQIEMenuExt.dll) fills the
// same page's form from that record when the stored link is opened.
#include "ClipProcess.h"
#include "ExtensionHost.h"
#include "FakeEngine.h"

#include "index/AllPagesIndex.h"
#include "util/Registry.h"

#include <docobj.h>
#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>

#include "SettingsAside.h"

#include <gtest/gtest.h>
#include "Utf16Bytes.h"

namespace {

const CLSID kBarObjClsid = {0xC53D4CFC, 0x4FC2, 0x4FD2, {0xBD, 0xEF, 0x39, 0x34, 0xB6, 0x67, 0x8B, 0x9D}};
const CLSID kAutoFillClsid = {0x86427792, 0xEC3D, 0x4717, {0xAA, 0x35, 0x0A, 0x05, 0xEE, 0xA7, 0x69, 0xA6}};
constexpr wchar_t kDialog[] = L"Tarvelo->Add to Tarvelo";
constexpr int kPage = 1008, kSection = 1009, kSaveForms = 1038;

// The first visible top-level window with the caption, of any process.
HWND WaitForWindowAnywhere(const CString& caption, DWORD timeoutMs) {
    struct Search {
        const CString* caption;
        HWND found;
    };
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < deadline) {
        Search search{&caption, nullptr};
        EnumWindows(
            [](HWND window, LPARAM data) CALLBACK -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                if (!IsWindowVisible(window) || WindowText(window) != *s->caption) return TRUE;
                s->found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(50);
    }
    return nullptr;
}

int FilesIn(const CString& folder) {
    int count = 0;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(folder + L"\\*.txt", &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do ++count;
    while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

FakeField Field(const CString& type, const CString& name, const CString& value) {
    FakeField f;
    f.type = type;
    f.name = name;
    f.value = value;
    return f;
}

}  // namespace

TEST(ClipRoadThroughTheLibraries, ToolbarClipLandsInThePageAndTheFormIsFilledAgainFromItsRecord) {
    SettingsAside aside;
    TempDir install;
    CString allpages = install / L"Bookmark\\Allpages";
    CreateDirectoryW(install / L"Bookmark", nullptr);
    CreateDirectoryW(allpages, nullptr);
    ASSERT_TRUE(CopyFileW(TarveloExePath(), install / L"Tarvelo.exe", FALSE));
    ASSERT_TRUE(WriteSettingString(L"Settings", L"InstallPath", install.Path()));
    CString page = allpages + L"\\News.htm";
    WriteFileBytes(page, Utf16Bytes(L"<html id=tq1>\n<head>\n<title>News</title>\n</head>\n<body>\n"
                               L"&gt;&gt;&gt;World&lt;&lt;&lt;\n<br>\n"
                               L"<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>\n</body>\n</html>\n"));
    ASSERT_EQ(RegUpdateFile(page), 1);

    // The user clicks "Add to Tarvelo" on a sign-in page.
    auto signIn = std::make_shared<FakePage>();
    signIn->url = L"http://www.example.com/login";
    signIn->title = L"Sign in";
    FakeForm form;
    form.fields = {Field(L"text", L"user", L"ann"), Field(L"password", L"pass", L"brindle")};
    signIn->forms = {form};
    auto browser = ComPtr<IUnknown>::Attach(static_cast<IUnknown*>(CreateFakeBrowser(signIn)));
    auto window = ComPtr<IDispatch>::Attach(static_cast<IDispatch*>(CreateFakeWindow(browser.Get())));
    {
        LoadedLibrary bookmark(L"BookMark");
        auto bar = bookmark.Create<IObjectWithSite>(kBarObjClsid);
        ASSERT_TRUE(bar);
        bar->SetSite(window.Get());
        ASSERT_EQ(bar.As<IOleCommandTarget>()->Exec(nullptr, 0, 0, nullptr, nullptr), S_OK);
        bar->SetSite(nullptr);
    }

    // The main program asks where the link goes; the form block has arrived by then.
    HWND dialog = WaitForWindowAnywhere(kDialog, 60000);
    ASSERT_NE(dialog, nullptr);
    for (int i = 0; i < 600 && FilesIn(install / L"BookMark\\TQ_TP_FORM") < 1; ++i) Sleep(50);
    EXPECT_TRUE(ControlEnabled(dialog, kSaveForms));
    ChooseComboItem(dialog, kPage, L"News");
    ChooseComboItem(dialog, kSection, L"World");
    PressButton(dialog, kSaveForms);
    PressButton(dialog, IDOK);
    WaitForChildProcesses();

    CString text = TextOfUtf16Bytes(ReadFileBytes(page));
    EXPECT_GE(text.Find(L"<A href=\"http://www.example.com/login#1\">"), 0) << ::testing::PrintToString(text);
    EXPECT_TRUE(PathExists(install / L"Bookmark\\Forms\\www.example.com#1.tq"));

    // Later the user opens the stored link: its form is filled from the record.
    auto again = std::make_shared<FakePage>();
    again->url = L"http://www.example.com/login#1";
    FakeForm empty;
    empty.fields = {Field(L"text", L"user", L""), Field(L"password", L"pass", L"")};
    again->forms = {empty};
    auto browserAgain = ComPtr<IUnknown>::Attach(static_cast<IUnknown*>(CreateFakeBrowser(again)));
    LoadedLibrary autofill(L"TQIEMenuExt");
    auto helper = autofill.Create<IObjectWithSite>(kAutoFillClsid);
    ASSERT_TRUE(helper);
    helper->SetSite(browserAgain.Get());
    FireBrowserEvent(browserAgain.Get(), DISPID_NAVIGATECOMPLETE2, browserAgain.Get());
    FireBrowserEvent(browserAgain.Get(), DISPID_DOCUMENTCOMPLETE, browserAgain.Get());
    helper->SetSite(nullptr);
    EXPECT_EQ(again->forms[0].fields[0].value, CString(L"ann"));
    EXPECT_EQ(again->forms[0].fields[1].value, CString(L"brindle"));
}

// TQMenuExt and BookMark loaded as the browser loads them: the page's forms
// and link reach a stand-in main program in the test's install path, byte
// for byte, and registry problems are told to the user.
#include "ClipCommandLine.h"
#include "ExtensionHost.h"
#include "FakeEngine.h"
#include "FormBlocks.h"
#include "PageCapture.h"
#include "Random.h"
#include "TQMenuExt.h"

#include <docobj.h>
#include <exdisp.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const CLSID kMenuExtClsid = {0xC70F0902, 0x53D1, 0x4AA2, {0x97, 0x60, 0xCA, 0xEC, 0x5C, 0xC1, 0x75, 0x57}};
const CLSID kBarObjClsid = {0xC53D4CFC, 0x4FC2, 0x4FD2, {0xBD, 0xEF, 0x39, 0x34, 0xB6, 0x67, 0x8B, 0x9D}};

struct FakeObjects {
    std::shared_ptr<FakePage> page = std::make_shared<FakePage>();
    ComPtr<IUnknown> browser;
    ComPtr<IDispatch> window;

    void Open() {
        browser = ComPtr<IUnknown>::Attach(static_cast<IUnknown*>(CreateFakeBrowser(page)));
        window = ComPtr<IDispatch>::Attach(static_cast<IDispatch*>(CreateFakeWindow(browser.Get())));
    }
};

FakeField Field(FakeField::Kind kind, const CString& type, const CString& name, const CString& value) {
    FakeField f;
    f.kind = kind;
    f.type = type;
    f.name = name;
    f.value = value;
    return f;
}

// A sign-up page whose capture text is 255 characters: two blocks.
void SignUpPage(FakePage& page) {
    page.url = L"http://shop.example/account/new.htm";
    page.title = L"New account";
    FakeForm form;
    form.fields = {Field(FakeField::Kind::Input, L"text", L"user", L"ann"),
                   Field(FakeField::Kind::Input, L"password", L"pw", L"s3cret"),
                   Field(FakeField::Kind::Input, L"radio", L"plan", L"gold"),
                   Field(FakeField::Kind::TextArea, L"", L"about", CString(L'a', 200))};
    FakeField select = Field(FakeField::Kind::Select, L"select-one", L"country", L"");
    select.options = {L"NO", L"IT"};
    select.selectedIndex = 1;
    form.fields.push_back(select);
    page.forms = {form};
}

const CString kSignUpText = L"user>>>ann|||pw>>>s3cret|||about>>>" + CString(L'a', 200) + L"|||country>>>1<<<|||";

std::vector<CString> Sorted(std::vector<CString> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::vector<CString> SignUpStarts() {
    std::vector<CString> expected = FormBlockClips(kSignUpText);
    expected.push_back(LinkClip(L"http://shop.example/account/new.htm", L"New account", FormFlag::Sent));
    return Sorted(expected);
}

class PageLibraries : public ::testing::Test {
protected:
    StandInInstall install;
    InstallPathScope settings;
    FakeObjects fakes;
};

}  // namespace

TEST_F(PageLibraries, MenuExtAddItemStartsTheProgramWithTheFormBlocksAndTheLinkClip) {
    ASSERT_EQ(kSignUpText.GetLength(), 255);
    settings.Set(install.Path());
    SignUpPage(*fakes.page);
    fakes.Open();
    LoadedLibrary library(L"TQMenuExt");
    auto menu = library.Create<IMenuExt>(kMenuExtClsid);
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->AddItem(fakes.window.Get()), S_OK);
    EXPECT_EQ(install.Starts(), SignUpStarts());
}

TEST_F(PageLibraries, MenuScriptReachesAddItemThroughTheDispatchInterface) {
    settings.Set(install.Path());
    SignUpPage(*fakes.page);
    fakes.Open();
    LoadedLibrary library(L"TQMenuExt");
    auto menu = library.Create<IDispatch>(kMenuExtClsid);
    ASSERT_TRUE(menu);
    LPOLESTR name = const_cast<LPOLESTR>(L"AddItem");
    DISPID id = 0;
    ASSERT_EQ(menu->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    EXPECT_EQ(id, 1);
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_DISPATCH;
    argument.pdispVal = fakes.window.Get();
    DISPPARAMS params = {&argument, nullptr, 1, 0};
    EXPECT_EQ(menu->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(install.Starts(), SignUpStarts());
}

TEST_F(PageLibraries, MenuExtAddLinkSendsAnEmptyFormFlagAndLongTitlesWhole) {
    settings.Set(install.Path());
    LoadedLibrary library(L"TQMenuExt");
    auto menu = library.Create<IMenuExt>(kMenuExtClsid);
    CString title = L"</name>\"quoted\" 100% & more " + CString(L'T', 12000);
    BSTR url = SysAllocString(L"http://a.example/?q=<x>&y=\"1\"");
    BSTR name = SysAllocStringLen(title.GetString(), static_cast<UINT>(title.GetLength()));
    EXPECT_EQ(menu->AddLink(url, name), S_OK);
    SysFreeString(url);
    SysFreeString(name);
    EXPECT_EQ(install.Starts(), std::vector<CString>{LinkClip(L"http://a.example/?q=<x>&y=\"1\"", title, FormFlag::Empty)});
}

TEST_F(PageLibraries, MenuExtTellsAboutAMissingSettingsKeyOrValueAndStartsNothing) {
    SignUpPage(*fakes.page);
    fakes.Open();
    LoadedLibrary library(L"TQMenuExt");
    auto menu = library.Create<IMenuExt>(kMenuExtClsid);
    {
        settings.RemoveKey();
        MessageBoxAnswerer answerer;
        EXPECT_EQ(menu->AddItem(fakes.window.Get()), S_OK);
        ASSERT_EQ(answerer.Boxes().size(), 1u);
        EXPECT_EQ(answerer.Boxes()[0].text, CString(L"Error, cannot open hKEY!"));
        EXPECT_EQ(answerer.Boxes()[0].caption, CString(L""));
    }
    {
        settings.Set(L"x");
        const DWORD notText = 7;
        settings.SetRaw(REG_DWORD, &notText, sizeof(notText));
        MessageBoxAnswerer answerer;
        EXPECT_EQ(menu->AddItem(fakes.window.Get()), S_OK);
        EXPECT_EQ(answerer.Texts(), std::vector<CString>{L"Error, cannot QUERY InstallPath!"});
    }
    EXPECT_TRUE(install.Starts().empty());
}

TEST_F(PageLibraries, MenuExtLetsTheLibraryUnloadOnceItsObjectsAreGone) {
    LoadedLibrary library(L"TQMenuExt");
    {
        auto menu = library.Create<IMenuExt>(kMenuExtClsid);
        ASSERT_TRUE(menu);
        EXPECT_EQ(library.CanUnloadNow(), S_FALSE);
    }
    EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

TEST_F(PageLibraries, BookMarkButtonCapturesThePageLikeTheContextMenuItem) {
    settings.Set(install.Path());
    SignUpPage(*fakes.page);
    fakes.Open();
    LoadedLibrary library(L"BookMark");
    auto bar = library.Create<IObjectWithSite>(kBarObjClsid);
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->SetSite(fakes.window.Get()), S_OK);
    auto command = bar.As<IOleCommandTarget>();
    EXPECT_EQ(command->Exec(nullptr, 0, 0, nullptr, nullptr), S_OK);
    EXPECT_EQ(install.Starts(), SignUpStarts());
}

TEST_F(PageLibraries, BookMarkQueryStatusEnablesTheFirstCommand) {
    LoadedLibrary library(L"BookMark");
    auto command = library.Create<IOleCommandTarget>(kBarObjClsid);
    OLECMD commands[2] = {{1, 0}, {2, 0}};
    EXPECT_EQ(command->QueryStatus(nullptr, 2, commands, nullptr), S_OK);
    EXPECT_EQ(commands[0].cmdf, static_cast<DWORD>(OLECMDF_ENABLED));
    EXPECT_EQ(commands[1].cmdf, 0u);
    EXPECT_EQ(command->QueryStatus(nullptr, 0, commands, nullptr), E_INVALIDARG);
    EXPECT_EQ(command->QueryStatus(nullptr, 1, nullptr, nullptr), E_POINTER);
}

TEST_F(PageLibraries, BookMarkStartsNothingWithoutSiteOrDocumentOrSettingsKey) {
    settings.Set(install.Path());
    SignUpPage(*fakes.page);
    fakes.page->hasDocument = false;
    fakes.Open();
    LoadedLibrary library(L"BookMark");
    auto bar = library.Create<IObjectWithSite>(kBarObjClsid);
    auto command = bar.As<IOleCommandTarget>();
    EXPECT_EQ(command->Exec(nullptr, 0, 0, nullptr, nullptr), S_OK);  // no site yet
    bar->SetSite(fakes.window.Get());
    EXPECT_EQ(command->Exec(nullptr, 0, 0, nullptr, nullptr), S_OK);  // no document
    fakes.page->hasDocument = true;
    bar->SetSite(nullptr);
    EXPECT_EQ(command->Exec(nullptr, 0, 0, nullptr, nullptr), S_OK);  // site taken away
    bar->SetSite(fakes.window.Get());
    settings.RemoveKey();
    {
        MessageBoxAnswerer answerer;
        EXPECT_EQ(command->Exec(nullptr, 0, 0, nullptr, nullptr), S_OK);  // no key: silently nothing
        EXPECT_TRUE(answerer.Boxes().empty());
    }
    EXPECT_TRUE(install.Starts().empty());
}

TEST_F(PageLibraries, BookMarkTellsAboutAMissingInstallPathValue) {
    settings.Set(install.Path());
    settings.RemoveValue();
    SignUpPage(*fakes.page);
    fakes.Open();
    LoadedLibrary library(L"BookMark");
    auto bar = library.Create<IObjectWithSite>(kBarObjClsid);
    bar->SetSite(fakes.window.Get());
    MessageBoxAnswerer answerer;
    EXPECT_EQ(bar.As<IOleCommandTarget>()->Exec(nullptr, 0, 0, nullptr, nullptr), S_OK);
    ASSERT_EQ(answerer.Boxes().size(), 1u);
    EXPECT_EQ(answerer.Boxes()[0].text, CString(L"Error, cannot QUERY InstallPath!"));
    EXPECT_EQ(answerer.Boxes()[0].caption, CString(L"Error"));
    EXPECT_TRUE(install.Starts().empty());
}

TEST_F(PageLibraries, HostilePageTextReachesTheProgramUnchanged) {
    settings.Set(install.Path());
    LoadedLibrary library(L"BookMark");
    const uint32_t seed = 7031;
    Random random(seed);
    std::vector<CString> expected;
    for (int round = 0; round < 12; ++round) {
        auto page = std::make_shared<FakePage>();
        page->url = L"http://" + random.HostileText(80);
        page->title = random.HostileText(round == 0 ? 9000 : 120);
        FakeForm form;
        CString text;
        for (int i = random.Int(0, 3); i > 0; --i) {
            CString name = random.HostileText(20), value = random.HostileText(90);
            form.fields.push_back(Field(FakeField::Kind::Input, L"text", name, value));
            text += name + L">>>" + value + L"|||";
        }
        page->forms = {form};
        auto browser = ComPtr<IUnknown>::Attach(static_cast<IUnknown*>(CreateFakeBrowser(page)));
        auto window = ComPtr<IDispatch>::Attach(static_cast<IDispatch*>(CreateFakeWindow(browser.Get())));
        auto bar = library.Create<IObjectWithSite>(kBarObjClsid);
        bar->SetSite(window.Get());
        EXPECT_EQ(bar.As<IOleCommandTarget>()->Exec(nullptr, 0, 0, nullptr, nullptr), S_OK);
        bool sent = !text.IsEmpty() && !IsFileAddress(page->url);
        for (const CString& block : sent ? FormBlockClips(text) : std::vector<CString>{}) expected.push_back(block);
        expected.push_back(LinkClip(page->url, page->title, sent ? FormFlag::Sent : FormFlag::NotSent));
    }
    EXPECT_EQ(install.Starts(), Sorted(expected)) << "seed " << seed;
}

TEST_F(PageLibraries, MenuExtControlDrawsItsFramedCaptionInsideItsBoundsOnly) {
    LoadedLibrary library(L"TQMenuExt");
    auto view = library.Create<IViewObject2>(kMenuExtClsid);
    ASSERT_TRUE(view);
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 240, -80, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, 240, 80};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECTL bounds = {20, 10, 220, 70};
    ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0), S_OK);
    GdiFlush();
    auto pixel = [bits](int x, int y) { return static_cast<const DWORD*>(bits)[y * 240 + x] & 0xFFFFFF; };
    EXPECT_EQ(pixel(20, 10), 0u);    // the frame's corner
    EXPECT_EQ(pixel(120, 69), 0u);   // its bottom edge
    EXPECT_EQ(pixel(10, 5), 0xFFFFFFu);  // outside the bounds
    int ink = 0;
    for (int y = 25; y < 45; ++y)
        for (int x = 40; x < 200; ++x) ink += pixel(x, y) != 0xFFFFFF;
    EXPECT_GT(ink, 30);  // the caption
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);

    DWORD status = 0;
    EXPECT_EQ(view.As<IOleObject>()->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 0x20191u);
    CLSID clsid{};
    EXPECT_EQ(view.As<IPersistStreamInit>()->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, kMenuExtClsid);
    QACONTAINER container{};
    container.cbSize = sizeof(container);
    QACONTROL control{};
    control.cbSize = sizeof(control);
    EXPECT_EQ(view.As<IQuickActivate>()->QuickActivate(&container, &control), S_OK);
    EXPECT_EQ(control.dwMiscStatus, 0x20191u);

    FORMATETC format = {CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT};
    STGMEDIUM medium{};
    ASSERT_EQ(view.As<IDataObject>()->GetData(&format, &medium), S_OK);
    auto* picture = static_cast<METAFILEPICT*>(GlobalLock(medium.hMetaFilePict));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->xExt, 2540);
    EXPECT_GT(GetMetaFileBitsEx(picture->hMF, 0, nullptr), 0u);
    GlobalUnlock(medium.hMetaFilePict);
    ReleaseStgMedium(&medium);
    format.cfFormat = CF_TEXT;
    EXPECT_EQ(view.As<IDataObject>()->QueryGetData(&format), DV_E_FORMATETC);
}

TEST_F(PageLibraries, FourThousandCharactersGoAsTwentyBlocksAndOneMoreGoesNot) {
    settings.Set(install.Path());
    LoadedLibrary library(L"TQMenuExt");
    auto menu = library.Create<IMenuExt>(kMenuExtClsid);
    std::vector<CString> expected;
    for (int length : {4000, 4001}) {
        auto page = std::make_shared<FakePage>();
        page->url = L"http://limit.example/" + CString(length == 4000 ? L"a" : L"b");
        page->title = L"Limit";
        FakeForm form;
        CString value = CString(L'w', length - 7);  // "t>>>" and "|||" make up the rest
        form.fields = {Field(FakeField::Kind::TextArea, L"", L"t", value)};
        page->forms = {form};
        auto browser = ComPtr<IUnknown>::Attach(static_cast<IUnknown*>(CreateFakeBrowser(page)));
        auto window = ComPtr<IDispatch>::Attach(static_cast<IDispatch*>(CreateFakeWindow(browser.Get())));
        EXPECT_EQ(menu->AddItem(window.Get()), S_OK);
        CString text = L"t>>>" + value + L"|||";
        ASSERT_EQ(text.GetLength(), length);
        if (length == 4000) {
            for (int i = 0; i < 20; ++i) expected.push_back(FormBlockClip(20, i + 1, text.Mid(i * 200, 200)));
        }
        expected.push_back(LinkClip(page->url, L"Limit", length == 4000 ? FormFlag::Sent : FormFlag::NotSent));
    }
    EXPECT_EQ(install.Starts(), Sorted(expected));
}

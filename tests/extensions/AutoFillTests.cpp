// TQIEMenuExt as the browser drives it: it listens to the browser's events
// and, on every completed document, fills the page's forms from the form
// record that the store keeps for the page's address.
#include "ExtensionHost.h"
#include "FakeEngine.h"
#include "FormCapture.h"
#include "PageCapture.h"
#include "forms/FormRecords.h"

#include <docobj.h>
#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>

#include <gtest/gtest.h>

namespace {

// The browser's command group of script errors.
const GUID kDocHostCommandGroup = {0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};
const CLSID kAutoFillClsid = {0x86427792, 0xEC3D, 0x4717, {0xAA, 0x35, 0x0A, 0x05, 0xEE, 0xA7, 0x69, 0xA6}};

FakeField Field(FakeField::Kind kind, const CString& type, const CString& name, const CString& value = L"") {
    FakeField f;
    f.kind = kind;
    f.type = type;
    f.name = name;
    f.value = value;
    return f;
}

// The fields of the account form; the values are the user's when `filled`.
FakeForm AccountForm(bool filled) {
    FakeForm form;
    auto v = [filled](const CString& value) { return filled ? value : CString(); };
    form.fields = {Field(FakeField::Kind::Input, L"text", L"user", v(L"ann")),
                   Field(FakeField::Kind::Input, L"password", L"pw", v(L"s3cret")),
                   Field(FakeField::Kind::Input, L"hidden", L"token", v(L"t-1")),
                   Field(FakeField::Kind::TextArea, L"", L"about", v(L"first line\nsecond line")),
                   Field(FakeField::Kind::Select, L"select-one", L"country"),
                   Field(FakeField::Kind::Select, L"select-multiple", L"tags")};
    form.fields[4].options = {L"NO", L"IT", L"PE"};
    form.fields[4].selectedIndex = filled ? 2 : 0;
    form.fields[5].options = filled ? std::vector<CString>{L"red", L"green"} : std::vector<CString>{L"x"};
    return form;
}

void WriteUtf16(const CString& path, const CString& text) {
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.GetString()), static_cast<size_t>(text.GetLength()) * 2);
    WriteFileBytes(path, bytes);
}

class AutoFill : public ::testing::Test {
protected:
    void SetUp() override {
        settings.Set(install.Path());
        CreateDirectoryW(install / L"Bookmark", nullptr);
        CreateDirectoryW(install / L"Bookmark\\Forms", nullptr);
        helper = library.Create<IObjectWithSite>(kAutoFillClsid);
        ASSERT_TRUE(helper);
    }
    void TearDown() override {
        if (helper) helper->SetSite(nullptr);
    }
    void OpenBrowser() {
        browser = ComPtr<IUnknown>::Attach(static_cast<IUnknown*>(CreateFakeBrowser(page)));
        ASSERT_EQ(helper->SetSite(browser.Get()), S_OK);
    }
    // A navigation of the top document to its end.
    void LoadPage() {
        FireBrowserEvent(browser.Get(), DISPID_NAVIGATECOMPLETE2, browser.Get());
        FireBrowserEvent(browser.Get(), DISPID_DOCUMENTCOMPLETE, browser.Get());
    }
    FakeField& FieldOf(size_t form, size_t field) { return page->forms[form].fields[field]; }

    TempDir install;
    InstallPathScope settings;
    LoadedLibrary library{L"TQIEMenuExt"};
    ComPtr<IObjectWithSite> helper;
    std::shared_ptr<FakePage> page = std::make_shared<FakePage>();
    ComPtr<IUnknown> browser;
};

}  // namespace

TEST_F(AutoFill, FillsTheFormsFromTheRecordTheStoreWroteForTheAddress) {
    // The user kept the forms of a page: capture them and let the store write the record.
    auto source = std::make_shared<FakePage>();
    source->forms = {AccountForm(true)};
    auto sourceBrowser = ComPtr<IUnknown>::Attach(static_cast<IUnknown*>(CreateFakeBrowser(source)));
    CString capture = CaptureForms(BrowserDocument(sourceBrowser.As<IWebBrowser2>().Get()).Get());
    CString address = L"http://shop.example:8080/account/new.htm", recordPath;
    ASSERT_EQ(NewFormRecordPathForUrl(address, recordPath), 1);
    ASSERT_TRUE(WriteFormRecordFile(recordPath, capture));
    ASSERT_EQ(address, CString(L"http://shop.example:8080/account/new.htm#1"));

    // Later the user opens the stored link.
    page->url = address;
    page->forms = {AccountForm(false)};
    OpenBrowser();
    LoadPage();
    EXPECT_EQ(FieldOf(0, 0).value, CString(L"ann"));
    EXPECT_EQ(FieldOf(0, 1).value, CString(L"s3cret"));
    EXPECT_EQ(FieldOf(0, 2).value, CString(L"t-1"));
    EXPECT_EQ(FieldOf(0, 3).value, CString(L"first line\nsecond line\n"));
    EXPECT_EQ(FieldOf(0, 4).selectedIndex, 2);
    EXPECT_EQ(FieldOf(0, 5).options, (std::vector<CString>{L"red", L"green"}));
}

TEST_F(AutoFill, RecordLinesJoinWordsAndCheckOnlyTheMatchingRadioButton) {
    page->url = L"https://h.example/dir/page.htm#3";
    FakeForm form;
    form.fields = {Field(FakeField::Kind::Input, L"text", L"city"),
                   Field(FakeField::Kind::Input, L"radio", L"size", L"small"),
                   Field(FakeField::Kind::Input, L"radio", L"size", L"large"),
                   Field(FakeField::Kind::Input, L"checkbox", L"agree", L"no"),
                   Field(FakeField::Kind::Select, L"select-one", L"pick"),
                   Field(FakeField::Kind::Input, L"text", L"City")};
    form.fields[4].options = {L"a", L"b", L"c"};
    FakeField nameless = Field(FakeField::Kind::Input, L"text", L"");
    nameless.hasName = false;
    form.fields.push_back(nameless);
    page->forms = {form};
    WriteUtf16(install / L"Bookmark\\Forms\\h.example#3.tq",
               L"city New   York \r\nsize large \nagree yes\npick 2\n value-without-name\n");
    OpenBrowser();
    LoadPage();
    EXPECT_EQ(FieldOf(0, 0).value, CString(L"New York"));
    EXPECT_FALSE(FieldOf(0, 1).checked);
    EXPECT_TRUE(FieldOf(0, 2).checked);
    // A checkbox takes the value, and as an option button whose value now
    // equals the record's it is checked as well.
    EXPECT_EQ(FieldOf(0, 3).value, CString(L"yes"));
    EXPECT_TRUE(FieldOf(0, 3).checked);
    EXPECT_EQ(FieldOf(0, 4).selectedIndex, 2);
    EXPECT_EQ(FieldOf(0, 5).valueWrites, 0);
    EXPECT_EQ(FieldOf(0, 6).valueWrites, 0);
}

TEST_F(AutoFill, AddressWithoutNumberLooksForTheHostWithAnEmptyNumber) {
    page->url = L"http://h.example/a/b/page.htm";
    FakeForm form;
    form.fields = {Field(FakeField::Kind::Input, L"text", L"q")};
    page->forms = {form};
    WriteUtf16(install / L"Bookmark\\Forms\\h.example#.tq", L"q found\n");
    OpenBrowser();
    LoadPage();
    EXPECT_EQ(FieldOf(0, 0).value, CString(L"found"));
}

TEST_F(AutoFill, LongRecordLinesAndMultiLineValuesAreReadWhole) {
    page->url = L"http://long.example/p.htm#2";
    FakeForm form;
    form.fields = {Field(FakeField::Kind::Input, L"text", L"q"), Field(FakeField::Kind::TextArea, L"", L"essay"),
                   Field(FakeField::Kind::Input, L"text", L"after")};
    page->forms = {form};
    CString longValue(L'v', 50000);
    WriteUtf16(install / L"Bookmark\\Forms\\long.example#2.tq",
               L"q " + longValue + L"\nessay first\nsecond\n$$$$$\nafter done\nessay last\nlines");
    OpenBrowser();
    LoadPage();
    EXPECT_EQ(FieldOf(0, 0).value, longValue);
    // The second essay record has no closing line: its value runs to the file's end.
    EXPECT_EQ(FieldOf(0, 1).value, CString(L"last\nlines\n"));
    EXPECT_EQ(FieldOf(0, 1).valueWrites, 2);
    EXPECT_EQ(FieldOf(0, 2).value, CString(L"done"));
}

TEST_F(AutoFill, EveryCompletedFrameAndTheTopDocumentAreFilledFromTheTopAddress) {
    page->url = L"http://frames.example/set.htm#1";
    FakeForm form;
    form.fields = {Field(FakeField::Kind::Input, L"text", L"q")};
    page->forms = {form};
    WriteUtf16(install / L"Bookmark\\Forms\\frames.example#1.tq", L"q v\n");
    OpenBrowser();
    auto frame1 = ComPtr<IUnknown>::Attach(static_cast<IUnknown*>(CreateFakeFrame()));
    auto frame2 = ComPtr<IUnknown>::Attach(static_cast<IUnknown*>(CreateFakeFrame()));
    FireBrowserEvent(browser.Get(), DISPID_NAVIGATECOMPLETE2, browser.Get());
    FireBrowserEvent(browser.Get(), DISPID_NAVIGATECOMPLETE2, frame1.Get());
    FireBrowserEvent(browser.Get(), DISPID_DOCUMENTCOMPLETE, frame1.Get());
    FireBrowserEvent(browser.Get(), DISPID_DOCUMENTCOMPLETE, frame2.Get());
    FireBrowserEvent(browser.Get(), DISPID_DOCUMENTCOMPLETE, browser.Get());
    EXPECT_EQ(FieldOf(0, 0).valueWrites, 3);
}

TEST_F(AutoFill, ConnectsToTheBrowserEventsOnceAndLetsGoWithTheSite) {
    OpenBrowser();
    EXPECT_EQ(helper->SetSite(browser.Get()), S_OK);
    EXPECT_EQ(page->advises, 1);
    EXPECT_EQ(helper->SetSite(nullptr), S_OK);
    EXPECT_EQ(page->unadvises, 1);
    auto sink = helper.As<IDispatch>();
    EXPECT_EQ(sink->Invoke(DISPID_DOCUMENTCOMPLETE, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
              E_INVALIDARG);
}

TEST_F(AutoFill, ScriptErrorsKeepScriptsRunningAndOtherCommandsGoToTheDocumentHost) {
    auto target = helper.As<IOleCommandTarget>();
    EXPECT_EQ(target->Exec(nullptr, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, nullptr), S_OK);
    VARIANT out;
    VariantInit(&out);
    EXPECT_EQ(target->Exec(&kDocHostCommandGroup, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out), S_OK);
    EXPECT_EQ(out.vt, VT_BOOL);
    EXPECT_EQ(out.boolVal, VARIANT_TRUE);
    EXPECT_EQ(target->Exec(nullptr, OLECMDID_PRINT, 0, nullptr, nullptr), OLECMDERR_E_NOTSUPPORTED);
    OLECMD command = {OLECMDID_PRINT, 0};
    EXPECT_EQ(target->QueryStatus(nullptr, 1, &command, nullptr), OLECMDERR_E_NOTSUPPORTED);
    page->url = L"http://no-record.example/";
    OpenBrowser();
    LoadPage();
    EXPECT_EQ(target->Exec(nullptr, OLECMDID_PRINT, 0, nullptr, nullptr), S_OK);
    EXPECT_EQ(page->commandsForwarded, std::vector<unsigned long>{OLECMDID_PRINT});
}

TEST_F(AutoFill, MissingSettingsKeyIsToldOnEveryCompletedDocumentAndNeverCreated) {
    page->url = L"http://h.example/p.htm#1";
    OpenBrowser();
    settings.RemoveKey();
    MessageBoxAnswerer answerer;
    LoadPage();
    LoadPage();
    ASSERT_EQ(answerer.Boxes().size(), 2u);
    EXPECT_EQ(answerer.Boxes()[0].text, CString(L"Error, cannot open hKEY!"));
    EXPECT_EQ(answerer.Boxes()[0].caption, CString(L"Error"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, L"Software\\Tarvelo\\Tarvelo\\Settings"));
}

TEST(AutoFillLoading, RefusesToLoadIntoExplorerButLoadsIntoTheBrowser) {
    TempDir hosts;
    CString loader = LibraryPath(L"loader\\LibraryLoader").Left(LibraryPath(L"loader\\LibraryLoader").GetLength() - 4) + L".exe";
    ASSERT_TRUE(CopyFileW(loader, hosts / L"explorer.exe", FALSE));
    ASSERT_TRUE(CopyFileW(loader, hosts / L"iexplore.exe", FALSE));
    CString library = L" \"" + LibraryPath(L"TQIEMenuExt") + L"\"";
    EXPECT_EQ(RunProgram(L"\"" + (hosts / L"explorer.exe") + L"\"" + library), 1);
    EXPECT_EQ(RunProgram(L"\"" + (hosts / L"iexplore.exe") + L"\"" + library), 0);
}

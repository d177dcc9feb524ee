// The libraries over real documents of the HTML engine: the capture reads a
// page's web forms as the engine parsed them, and the form filler writes the
// record back into them.
#include "ExtensionHost.h"
#include "FakeEngine.h"
#include "FormCapture.h"
#include "PageCapture.h"
#include "RecordingStarter.h"
#include "com/HtmlDocument.h"
#include "forms/FormRecords.h"

#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

namespace {

const CLSID kAutoFillClsid = {0x86427792, 0xEC3D, 0x4717, {0xAA, 0x35, 0x0A, 0x05, 0xEE, 0xA7, 0x69, 0xA6}};

// A document of the engine loaded from the page's text.
ComPtr<IHTMLDocument2> EngineDocument(const CString& html) {
    ComPtr<IHTMLDocument2> document;
    if (FAILED(CreateHtmlDocument(IID_IHTMLDocument2, document.ReceiveVoid()))) return nullptr;
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(html.GetString()), static_cast<size_t>(html.GetLength()) * 2);
    auto stream = ComPtr<IStream>::Attach(SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
    auto persist = document.As<IPersistStreamInit>();
    if (!persist || FAILED(persist->Load(stream.Get()))) return nullptr;
    return document;
}

CString SignUpPage(bool filled) {
    auto v = [filled](const wchar_t* value) { return filled ? CString(value) : CString(); };
    return L"<html><head><title>Sign up</title></head><body>\n<form action=\"/new\">\n"
           L"<input type=text name=user value=\"" + v(L"ann") + L"\">\n"
           L"<input type=password name=pw value=\"" + v(L"s3cret") + L"\">\n"
           L"<input type=hidden name=token value=\"" + v(L"t&lt;1&gt;") + L"\">\n"
           L"<input type=checkbox name=remember value=\"yes\">\n"
           L"<input type=radio name=size value=small checked><input type=radio name=size value=large>\n"
           L"<textarea name=note>" + v(L"one line") + L"</textarea>\n"
           L"<select name=city><option>Oslo<option>Rome<option" + CString(filled ? L" selected" : L"") + L">Lima</select>\n"
           L"<select name=tags multiple><option>red<option selected>green</select>\n"
           L"<input type=submit name=go value=\"Send\">\n"
           L"</form>\n<p>between</p>\n<form><input name=q value=\"" + v(L"second form") + L"\"></form>\n</body></html>\n";
}

const wchar_t kFilledCapture[] =
    L"user>>>ann|||pw>>>s3cret|||token>>>t<1>|||remember>>>yes|||note>>>one line|||city>>>2<<<|||"
    L"tags>>>red<<<|||green<<<|||go>>>Send|||q>>>second form|||";

}  // namespace

TEST(EngineDocuments, CaptureReadsEveryKindOfFieldOfAParsedPage) {
    ComPtr<IHTMLDocument2> document = EngineDocument(SignUpPage(true));
    ASSERT_TRUE(document);
    EXPECT_EQ(CaptureForms(document.Get()), CString(kFilledCapture));

    auto page = std::make_shared<FakePage>();
    page->url = L"http://shop.example/new";
    page->title = L"Sign up";
    auto browser = ComPtr<IUnknown>::Attach(static_cast<IUnknown*>(CreateFakeBrowserOnDocument(page, document.Get())));
    auto web = browser.As<IWebBrowser2>();
    RecordingStarter starter;
    CapturePage(web.Get(), BrowserDocument(web.Get()).Get(), L"C:\\T", starter);
    ASSERT_EQ(starter.Starts().size(), 2u);
    EXPECT_EQ(starter.Starts()[1].commandLine,
              CString(L"<param><url>http://shop.example/new</url><name>Sign up</name></param><form>1</form>"));
}

TEST(EngineDocuments, FormFillerWritesTheStoredRecordIntoTheParsedPage) {
    InstallPathScope settings;
    TempDir install;
    settings.Set(install.Path());
    CreateDirectoryW(install / L"Bookmark", nullptr);
    CString address = L"http://shop.example/new", recordPath;
    ASSERT_EQ(NewFormRecordPathForUrl(address, recordPath), 1);
    ASSERT_TRUE(WriteFormRecordFile(recordPath, kFilledCapture));

    ComPtr<IHTMLDocument2> document = EngineDocument(SignUpPage(false));
    ASSERT_TRUE(document);
    auto page = std::make_shared<FakePage>();
    page->url = address;
    auto browser = ComPtr<IUnknown>::Attach(static_cast<IUnknown*>(CreateFakeBrowserOnDocument(page, document.Get())));
    LoadedLibrary library(L"TQIEMenuExt");
    auto helper = library.Create<IObjectWithSite>(kAutoFillClsid);
    ASSERT_TRUE(helper);
    helper->SetSite(browser.Get());
    FireBrowserEvent(browser.Get(), DISPID_NAVIGATECOMPLETE2, browser.Get());
    FireBrowserEvent(browser.Get(), DISPID_DOCUMENTCOMPLETE, browser.Get());
    helper->SetSite(nullptr);
    // Every line of a textarea's value comes back ended by a line feed.
    CString expected = kFilledCapture;
    expected.Replace(L"note>>>one line|||", L"note>>>one line\n|||");
    EXPECT_EQ(CaptureForms(document.Get()), expected);
}

// The capture core: form capture text over every kind of field, the form
// blocks and their limits, and the order and flag of the starts.
#include "ClipCommandLine.h"
#include "FakeEngine.h"
#include "FormBlocks.h"
#include "FormCapture.h"
#include "PageCapture.h"
#include "Random.h"
#include "RecordingStarter.h"
#include "com/ComPtr.h"

#include <gtest/gtest.h>

namespace {

FakeField Input(const CString& type, const CString& name, const CString& value, bool checked = false) {
    FakeField f;
    f.kind = FakeField::Kind::Input;
    f.type = type;
    f.name = name;
    f.value = value;
    f.checked = checked;
    return f;
}
FakeField TextArea(const CString& name, const CString& value) {
    FakeField f;
    f.kind = FakeField::Kind::TextArea;
    f.name = name;
    f.value = value;
    return f;
}
FakeField Select(const CString& type, const CString& name, long selected, std::vector<CString> options) {
    FakeField f;
    f.kind = FakeField::Kind::Select;
    f.type = type;
    f.name = name;
    f.selectedIndex = selected;
    f.options = std::move(options);
    return f;
}

struct Browser {
    std::shared_ptr<FakePage> page = std::make_shared<FakePage>();
    ComPtr<IWebBrowser2> browser;
    ComPtr<IHTMLDocument2> document;

    void Open() {
        auto unknown = ComPtr<IUnknown>::Attach(static_cast<IUnknown*>(CreateFakeBrowser(page)));
        browser = unknown.As<IWebBrowser2>();
        document = BrowserDocument(browser.Get());
    }
};

// One form of every kind of field the capture knows.
void AddEveryKindOfField(FakePage& page) {
    FakeForm form;
    form.fields = {Input(L"text", L"user", L"ann"),
                   Input(L"password", L"pw", L"secret"),
                   Input(L"hidden", L"token", L"x1"),
                   Input(L"checkbox", L"remember", L"yes", false),
                   Input(L"radio", L"size", L"small", true),
                   Input(L"radio", L"size", L"large"),
                   TextArea(L"note", L"two\nlines"),
                   Select(L"select-one", L"city", 2, {L"Oslo", L"Rome", L"Lima"}),
                   Select(L"select-multiple", L"tags", 0, {L"red", L"green"}),
                   Input(L"submit", L"go", L"Send")};
    FakeField button;
    button.kind = FakeField::Kind::Button;
    button.name = L"ignored";
    form.fields.push_back(button);
    page.forms.push_back(form);
}

const wchar_t kEveryKindText[] =
    L"user>>>ann|||pw>>>secret|||token>>>x1|||remember>>>yes|||note>>>two\nlines|||"
    L"city>>>2<<<|||tags>>>red<<<|||green<<<|||go>>>Send|||";

}  // namespace

TEST(FormCapture, WritesEveryKindOfFieldInDocumentOrderAndSkipsRadios) {
    Browser b;
    AddEveryKindOfField(*b.page);
    b.Open();
    EXPECT_EQ(CaptureForms(b.document.Get()), CString(kEveryKindText));
}

TEST(FormCapture, WalksEveryFormAndSkipsItemsThatAreNotForms) {
    Browser b;
    FakeForm first, notAForm, second;
    first.fields = {Input(L"text", L"a", L"1")};
    notAForm.tag = L"DIV";
    notAForm.fields = {Input(L"text", L"hidden-in-div", L"x")};
    second.tag = L"form";
    second.fields = {Input(L"text", L"b", L"2")};
    b.page->forms = {first, notAForm, second};
    b.Open();
    EXPECT_EQ(CaptureForms(b.document.Get()), CString(L"a>>>1|||b>>>2|||"));
}

TEST(FormCapture, SelectOneWithNothingSelectedWritesMinusOneAndMissingNamesAreEmpty) {
    Browser b;
    FakeForm form;
    FakeField nameless = Input(L"text", L"", L"v");
    nameless.hasName = false;
    form.fields = {Select(L"select-one", L"pick", -1, {L"a"}), nameless, Input(L"text", L"empty", L"")};
    b.page->forms = {form};
    b.Open();
    EXPECT_EQ(CaptureForms(b.document.Get()), CString(L"pick>>>-1<<<|||>>>v|||empty>>>|||"));
}

TEST(FormBlocks, SplitIntoBlocksOfTwoHundredUpToFourThousand) {
    struct Case { int length; int blocks; int lastLength; };
    const Case cases[] = {{1, 1, 1}, {199, 1, 199}, {200, 1, 200}, {201, 2, 1}, {401, 3, 1}, {4000, 20, 200}, {4001, 0, 0}};
    for (const Case& c : cases) {
        CString text;
        for (int i = 0; i < c.length; ++i) text += static_cast<wchar_t>(L'a' + i % 26);
        std::vector<CString> clips = FormBlockClips(text);
        ASSERT_EQ(static_cast<int>(clips.size()), c.blocks) << "length " << c.length;
        CString joined;
        for (int i = 0; i < c.blocks; ++i) {
            CString head;
            head.Format(L"<TQBLK>%d</TQBLK><AA%d>", c.blocks, i + 1);
            ASSERT_EQ(clips[i].Left(head.GetLength()), head);
            ASSERT_EQ(clips[i].Right(5), CString(L"</AA>"));
            CString block = clips[i].Mid(head.GetLength(), clips[i].GetLength() - head.GetLength() - 5);
            EXPECT_EQ(block.GetLength(), i + 1 < c.blocks ? 200 : c.lastLength) << "length " << c.length;
            joined += block;
        }
        if (c.blocks) {
            EXPECT_EQ(joined, text);
        }
    }
}

TEST(PageCapture, StartsEveryBlockBeforeTheLinkClipWithFlagOne) {
    Browser b;
    b.page->url = L"http://example.com/a/form.htm";
    b.page->title = L"Sign up";
    FakeForm form;
    form.fields = {TextArea(L"essay", CString(L'x', 390))};  // 400 characters of capture text
    b.page->forms = {form};
    b.Open();
    RecordingStarter starter;
    CapturePage(b.browser.Get(), b.document.Get(), L"C:\\Tarvelo", starter);
    CString text = L"essay>>>" + CString(L'x', 390) + L"|||";
    ASSERT_EQ(text.GetLength(), 401);
    std::vector<CString> expected = {FormBlockClip(3, 1, text.Mid(0, 200)), FormBlockClip(3, 2, text.Mid(200, 200)),
                                     FormBlockClip(3, 3, text.Mid(400)),
                                     L"<param><url>http://example.com/a/form.htm</url><name>Sign up</name></param><form>1</form>"};
    EXPECT_EQ(starter.CommandLines(), expected);
    for (const auto& start : starter.Starts()) EXPECT_EQ(start.program, CString(L"C:\\Tarvelo\\Tarvelo.exe"));
}

TEST(PageCapture, PageWithoutFormsOrFromAFileSendsOnlyTheLinkClipWithFlagZero) {
    for (const wchar_t* url : {L"http://plain.example/", L"file:///C:/page.htm", L"FILE://x", L"fIlEs.example.com/x"}) {
        Browser b;
        b.page->url = url;
        b.page->title = L"T";
        if (CString(url).Left(4).MakeUpper() == L"FILE") AddEveryKindOfField(*b.page);
        b.Open();
        RecordingStarter starter;
        CapturePage(b.browser.Get(), b.document.Get(), L"C:\\T", starter);
        EXPECT_EQ(starter.CommandLines(),
                  std::vector<CString>{LinkClip(url, L"T", FormFlag::NotSent)});
    }
}

TEST(PageCapture, FormTextOverFourThousandIsNotSentAndTheFlagSaysZero) {
    Browser b;
    b.page->url = L"http://big.example/";
    FakeForm form;
    form.fields = {TextArea(L"t", CString(L'y', 4001 - 7))};
    b.page->forms = {form};
    b.Open();
    ASSERT_EQ(CaptureForms(b.document.Get()).GetLength(), 4001);
    RecordingStarter starter;
    CapturePage(b.browser.Get(), b.document.Get(), L"C:\\T", starter);
    EXPECT_EQ(starter.CommandLines(), std::vector<CString>{LinkClip(L"http://big.example/", L"", FormFlag::NotSent)});
}

TEST(PageCapture, FailedBlockStartStopsTheBlocksAndTheFlagSaysZero) {
    Browser b;
    b.page->url = L"http://u/";
    FakeForm form;
    form.fields = {TextArea(L"t", CString(L'z', 600))};
    b.page->forms = {form};
    b.Open();
    RecordingStarter starter;
    starter.FailAt(1);
    CapturePage(b.browser.Get(), b.document.Get(), L"C:\\T", starter);
    ASSERT_EQ(starter.Starts().size(), 2u);
    EXPECT_EQ(starter.Starts()[0].commandLine.Left(20), CString(L"<TQBLK>4</TQBLK><AA1"));
    EXPECT_EQ(starter.Starts()[1].commandLine, LinkClip(L"http://u/", L"", FormFlag::NotSent));
}

TEST(PageCapture, EmptyInstallPathStartsNothing) {
    Browser b;
    b.page->url = L"http://u/";
    AddEveryKindOfField(*b.page);
    b.Open();
    RecordingStarter starter;
    CapturePage(b.browser.Get(), b.document.Get(), L"", starter);
    EXPECT_TRUE(starter.Starts().empty());
    EXPECT_EQ(starter.Failed(), 0);
}

TEST(PageCapture, HostilePageTextPassesUnchangedIntoTheClip) {
    const uint32_t seed = 20261208;
    Random random(seed);
    for (int round = 0; round < 200; ++round) {
        Browser b;
        b.page->url = L"http://h.example/" + random.HostileText(300);
        b.page->title = random.HostileText(random.Chance(10) ? 5000 : 200);
        FakeForm form;
        CString expected;
        int fields = random.Int(0, 6);
        for (int i = 0; i < fields; ++i) {
            CString name = random.HostileText(40), value = random.HostileText(random.Chance(20) ? 1500 : 60);
            if (random.Chance(50)) {
                form.fields.push_back(Input(L"text", name, value));
            } else {
                form.fields.push_back(TextArea(name, value));
            }
            expected += name + L">>>" + value + L"|||";
        }
        b.page->forms = {form};
        b.Open();
        RecordingStarter starter;
        CapturePage(b.browser.Get(), b.document.Get(), L"C:\\T", starter);
        bool sent = !expected.IsEmpty() && expected.GetLength() <= 4000;
        std::vector<CString> lines = starter.CommandLines();
        ASSERT_FALSE(lines.empty()) << "seed " << seed << " round " << round;
        EXPECT_EQ(lines.back(), L"<param><url>" + b.page->url + L"</url><name>" + b.page->title + L"</name></param><form>" +
                                    (sent ? L"1" : L"0") + L"</form>")
            << "seed " << seed << " round " << round;
        std::vector<CString> blocks(lines.begin(), lines.end() - 1);
        EXPECT_EQ(blocks, sent ? FormBlockClips(expected) : std::vector<CString>{}) << "seed " << seed << " round " << round;
    }
}

// The save guard of an open page: the index marker that Index or Unindex
// wrote under the editor (also into a page that had none) is the user's
// choice and survives the save with the editor's words, while a change of
// another program's made beside it is caught as any other.
#include "AppTestSupport.h"
#include "MessageBoxRecorder.h"
#include "ModalDriver.h"
#include "TempDir.h"
#include "Utf16Bytes.h"
#include "index/AllPagesIndex.h"
#include "links/LinkInsertion.h"
#include "page/PageSaveGuard.h"
#include "pages/PageFile.h"
#include "pages/PageMarkers.h"

#include <gtest/gtest.h>

namespace {

const CString kFooter = L"<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>\n"
                        L"<center><font size=2><a href= \"http://www.tarvelo.com\">Tarvelo</a></font></center>\n"
                        L"</body>\n</html>\n";

// A page in the editor's form: its first tag, the section News and `words`.
CString Page(const CString& htmlTag, const CString& words) {
    return htmlTag + L"\n<HEAD>\n<TITLE>Notes</TITLE>\n</HEAD>\n<BODY>\n<P>&gt;&gt;&gt;News&lt;&lt;&lt;</P>\n<P>" + words +
           L"</P>\n" + kFooter;
}

class PageSaveGuardTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_path = UseInstallFolder(m_dir.Path(), L"Notes");
    }
    void Write(const CString& text) { WriteFileBytes(m_path, Utf16Bytes(text)); }
    CString OnDisk() const {
        CString text;
        EXPECT_TRUE(ReadPageText(m_path, text));
        return text;
    }
    static CString Value() { return ProgramRegistryGuard::ReadString(L"AllPages", L"Notes"); }
    // A save that meets the question about another program's change, answered.
    PageSaveGuard::Outcome SaveAnswering(const CString& text, int button) {
        PageSaveGuard::Outcome outcome = PageSaveGuard::Outcome::Failed;
        bool asked = false;
        RunWithWindow(L"Tarvelo", [&] { outcome = m_guard.Save(m_path, text, true); },
                      [&](HWND dialog) {
                          asked = true;
                          Click(dialog, button);
                      });
        EXPECT_TRUE(asked) << "no question about the other program's change";
        return outcome;
    }

    ProgramRegistryGuard m_registry;
    TempDir m_dir;
    AppTestApp m_app;
    MessageBoxRecorder m_boxes;
    PageSaveGuard m_guard;
    CString m_path;
};

} // namespace

TEST_F(PageSaveGuardTest, IndexAndUnindexOfAnOpenPageSurviveItsSavesWithTheEditorsWords) {
    using Outcome = PageSaveGuard::Outcome;
    // A page without a marker (a plain html tag, as the engine writes it too).
    Write(Page(L"<HTML>", L"old"));
    ASSERT_TRUE(m_guard.Load(m_path));
    ASSERT_EQ(IndexPage(m_path), 1);
    ASSERT_EQ(Value(), L"News,1");
    // The editor still shows the plain tag: the save keeps the chosen marker.
    EXPECT_EQ(m_guard.Save(m_path, Page(L"<HTML>", L"old typed"), true), Outcome::Written);
    EXPECT_EQ(OnDisk(), Page(L"<html id=tq1>", L"old typed"));
    EXPECT_EQ(Value(), L"News,1");
    EXPECT_EQ(m_guard.Save(m_path, Page(L"<HTML>", L"old typed more"), true), Outcome::Written);
    EXPECT_EQ(OnDisk(), Page(L"<html id=tq1>", L"old typed more"));

    ASSERT_EQ(UnindexPage(m_path), 1);
    EXPECT_EQ(m_guard.Save(m_path, Page(L"<HTML>", L"off"), true), Outcome::Written);
    EXPECT_EQ(OnDisk(), Page(L"<html id=tq0>", L"off"));
    EXPECT_EQ(Value(), L"");
    // Unmodified, the editor writes the file as the store left it.
    ASSERT_EQ(IndexPage(m_path), 1);
    EXPECT_EQ(m_guard.Save(m_path, Page(L"<HTML>", L"off"), false), Outcome::Written);
    EXPECT_EQ(OnDisk(), Page(L"<html id=tq1>", L"off"));
    EXPECT_EQ(Value(), L"News,1");

    // A page with a marker in the engine's letter case, and a file without a
    // final line end: the store's rewrite is no change of another program's.
    CString bare = Page(L"<HTML id=tq1>", L"kept");
    bare.Truncate(bare.GetLength() - 1);
    Write(bare);
    ASSERT_TRUE(m_guard.Load(m_path));
    ASSERT_EQ(UnindexPage(m_path), 1);
    EXPECT_EQ(m_guard.Save(m_path, Page(L"<HTML id=tq1>", L"kept typed"), true), Outcome::Written);
    EXPECT_EQ(OnDisk(), Page(L"<html id=tq0>", L"kept typed"));
    EXPECT_EQ(Value(), L"");
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(PageSaveGuardTest, AnotherProgramsChangeBesideANewMarkerIsStillCaught) {
    using Outcome = PageSaveGuard::Outcome;
    Write(Page(L"<HTML>", L"old"));
    ASSERT_TRUE(m_guard.Load(m_path));
    // Another program rewrote the words, then the page was indexed.
    Write(Page(L"<HTML>", L"theirs"));
    ASSERT_EQ(IndexPage(m_path), 1);
    const CString theirs = OnDisk();
    // Unmodified: nothing goes back over it.
    EXPECT_EQ(m_guard.Save(m_path, Page(L"<HTML>", L"old"), false), Outcome::LeftAsOnDisk);
    EXPECT_EQ(OnDisk(), theirs);
    // Modified: asked; Cancel writes nothing.
    EXPECT_EQ(SaveAnswering(Page(L"<HTML>", L"old mine"), IDCANCEL), Outcome::Cancelled);
    EXPECT_EQ(OnDisk(), theirs);

    // A clip's link beside the new marker is joined in, and the marker stays.
    Write(Page(L"<HTML>", L"old"));
    ASSERT_TRUE(m_guard.Load(m_path));
    ASSERT_EQ(IndexPage(m_path), 1);
    ASSERT_EQ(AddLinkToPage(L"Notes", L"News", L"Clipped", L"http://example.com/z", L""), 1);
    EXPECT_EQ(m_guard.Save(m_path, Page(L"<HTML>", L"old mine"), true), Outcome::Merged);
    CString merged = OnDisk();
    EXPECT_EQ(GetPageIndexFlagOfText(merged), 1) << merged.str();
    EXPECT_NE(merged.Find(L"old mine"), -1) << merged.str();
    EXPECT_NE(merged.Find(L"http://example.com/z"), -1) << merged.str();
    EXPECT_EQ(Value(), L"News,1");
}

// The browser's Favorites refilled from a page and bookmark files brought
// in, through the real Tarvelo.exe: a page that gives no shortcut leaves the
// Favorites folder as it is and says so, links of one title each get their
// shortcut, a bookmark file of lower-case tags arrives whole and one without
// a link makes no page.
#include "EndToEndFixture.h"

#include "util/Folders.h"

namespace {

constexpr wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The browser's Favorites folder pointed at a folder of the test's, and put back.
class FavoritesFolderAside {
public:
    explicit FavoritesFolderAside(const CString& folder) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        wchar_t saved[MAX_PATH] = {};
        DWORD size = sizeof(saved) - sizeof(wchar_t);
        m_had = RegQueryValueExW(key, L"Favorites", nullptr, nullptr, reinterpret_cast<BYTE*>(saved), &size) == ERROR_SUCCESS;
        m_saved = saved;
        Set(key, folder);
        RegCloseKey(key);
    }
    ~FavoritesFolderAside() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
        if (m_had) Set(key, m_saved);
        else RegDeleteValueW(key, L"Favorites");
        RegCloseKey(key);
    }
    FavoritesFolderAside(const FavoritesFolderAside&) = delete;
    FavoritesFolderAside& operator=(const FavoritesFolderAside&) = delete;

private:
    static void Set(HKEY key, const CString& value) {
        RegSetValueExW(key, L"Favorites", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()),
                       static_cast<DWORD>((value.GetLength() + 1) * sizeof(wchar_t)));
    }
    bool m_had = false;
    CString m_saved;
};

class EndToEndExchange : public EndToEnd {
protected:
    // The import dialog with its option and path, left by OK.
    void Import(int kind, const CString& file) {
        HWND window = OpenDialog(L"Tarvelo->Import", ID_FILE_IMPORT);
        ASSERT_NE(window, nullptr);
        SendMessageW(GetDlgItem(window, kind), BM_CLICK, 0, 0);
        SetDlgItemTextW(window, IDC_EXCHANGE_SOURCE, file);
        ProgramDriver::Press(window, IDOK);
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(window); }));
    }
};

}  // namespace

TEST_F(EndToEndExchange, FavoritesStayWhenThePageGivesNoShortcutAndLinksOfOneTitleEachGetOne) {
    TempDir favorites;
    FavoritesFolderAside aside(favorites.Path());
    WriteFileBytes(favorites / L"Keep me.url", "[InternetShortcut]\r\nURL=http://keep.example/\r\n");
    // Links before any section: the restore would write no shortcut.
    WriteFileBytes(m_allpages + L"\\Loose.htm",
                   Utf16Bytes(L"<html id=tq1>\n<BODY>\n<A href=\"http://example.com/x\">Loose one</A><BR>\n"
                              L"<A href=\"http://example.com/y\">Loose two</A><BR>\n" + kFooter));
    // Two links of one title in a section, as a browser's export holds them.
    WriteFileBytes(m_allpages + L"\\Twins.htm",
                   Utf16Bytes(L"<html id=tq1>\n<BODY>\n<DIV>&gt;&gt;&gt;TeX&lt;&lt;&lt;</DIV>\n"
                              L"<A href=\"http://www.esm.psu.edu/mac-tex/\">OzTeX</A><BR>\n"
                              L"<A href=\"http://www.trevorrow.com/oztex/\">OzTeX</A><BR>\n"
                              L"<DIV>&gt;&gt;&gt;Default&lt;&lt;&lt;</DIV>\n"
                              L"<A href=\"http://groups.example/?q=perl\">Google Search: UNIVERSAL group:comp.lang.perl.*</A><BR>\n"
                              L"<A href=\"http://groups.example/?q=perl&amp;start=10\">Google Search: UNIVERSAL group:comp.lang.perl.*</A><BR>\n" +
                              kFooter));
    StartProgram();

    SelectItem(L"Loose");
    PostMessageW(m_program.Frame(), WM_COMMAND, ID_TOOLS_RESTORE_FAVORITES, 0);
    EXPECT_EQ(AnswerBox(L"Tarvelo"),
              L"No link of this page stands in a section, so it gives no shortcut: My Favorites was left as it is.");
    EXPECT_EQ(ListFolder(favorites.Path()), (std::vector<CString>{L"Keep me.url"}));

    SelectItem(L"Twins");
    PostMessageW(m_program.Frame(), WM_COMMAND, ID_TOOLS_RESTORE_FAVORITES, 0);
    EXPECT_EQ(AnswerBox(L"Warning"), L"All items in My Favorites will be deleted! Continue?");
    EXPECT_EQ(AnswerBox(L"Tarvelo"), L"4 shortcuts were written to My Favorites.");
    std::vector<CString> names = ListFolder(favorites.Path());
    std::sort(names.begin(), names.end(), [](const CString& a, const CString& b) { return a.str() < b.str(); });
    EXPECT_EQ(names, (std::vector<CString>{L"Google Search# UNIVERSAL group#comp.lang.perl.# (2).url",
                                           L"Google Search# UNIVERSAL group#comp.lang.perl.#.url", L"TeX"}));
    std::vector<CString> tex = ListFolder(favorites / L"TeX");
    std::sort(tex.begin(), tex.end(), [](const CString& a, const CString& b) { return a.str() < b.str(); });
    EXPECT_EQ(tex, (std::vector<CString>{L"OzTeX (2).url", L"OzTeX.url"}));
    EXPECT_NE(TextOfUtf16Bytes(ReadFileBytes(favorites / L"TeX\\OzTeX (2).url")).Find(L"URL=http://www.trevorrow.com/oztex/\n"), -1);
    EXPECT_NE(TextOfUtf16Bytes(ReadFileBytes(favorites / L"Google Search# UNIVERSAL group#comp.lang.perl.# (2).url"))
                  .Find(L"URL=http://groups.example/?q=perl&start=10\n"),
              -1);
    EXPECT_EQ(m_program.Exit(), 0u);
}

TEST_F(EndToEndExchange, ALowerCaseBookmarkFileArrivesWholeAndOneWithoutALinkMakesNoPage) {
    TempDir outside;
    // As some services export: lower-case tags, in the Mac's own set.
    WriteFileBytes(outside / L"Service.html",
                   "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
                   "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=x-mac-roman\">\n"
                   "<title>Bookmarks</title>\n<h1>Bookmarks</h1>\n<dl><p>\n"
                   "    <dt><h3 add_date=\"1\">Caf\x8E</h3>\n    <dl><p>\n"
                   "        <dt><a href=\"http://example.org/one\" add_date=\"2\">\xD2" "One\xD3</a>\n"
                   "        <dt><a href=\"http://example.org/two\">Two \xD0 more</a>\n"
                   "    </dl><p>\n"
                   "    <dt><a href=\"http://example.org/top\">Top</a>\n"
                   "</dl><p>\n");
    WriteFileBytes(outside / L"Nothing.html", "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<title>Bookmarks</title>\n"
                                              "<dl><p>\n<dt><h3>Empty</h3>\n<dl><p>\n</dl><p>\n</dl><p>\n");
    StartProgram();
    for (int kind : {IDC_IMPORT_IE_FILE, IDC_IMPORT_FIREFOX_FILE}) {
        SCOPED_TRACE(kind == IDC_IMPORT_IE_FILE ? "IE bookmark file" : "Firefox bookmark file");
        const CString label = kind == IDC_IMPORT_IE_FILE ? L"Service" : L"Service2";
        const CString page = m_allpages + L"\\" + label + L".htm", file = outside / (label + L".html");
        if (kind == IDC_IMPORT_FIREFOX_FILE) CopyFileW(outside / L"Service.html", file, FALSE);
        Import(kind, file);
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return PathExists(page); })) << "up: " << m_program.TopWindows().str();
        m_program.Settle();
        StoreView view = ReadBack(page);
        EXPECT_EQ(view.tags, (std::vector<CString>{L"Caf\x00E9", L"Default"}));
        EXPECT_EQ(view.addresses, (std::vector<CString>{L"http://example.org/one", L"http://example.org/two",
                                                        L"http://example.org/top"}));
        CString words = PlainText(page);
        for (const wchar_t* title : {L"\x201COne\x201D", L"Two \x2013 more", L"Top"})
            EXPECT_NE(words.Find(title), -1) << words.str();
        EXPECT_NE(m_program.TreeItem(m_tree, label), nullptr);

        Import(kind, outside / L"Nothing.html");
        EXPECT_EQ(AnswerBox(L"Tarvelo"), L"The bookmark file holds no link, nothing imported!");
        EXPECT_FALSE(PathExists(m_allpages + L"\\Nothing.htm"));
        EXPECT_EQ(m_program.TreeItem(m_tree, L"Nothing"), nullptr);
    }
    EXPECT_EQ(m_program.Exit(), 0u);
}

// The end-to-end fixture: a fresh install folder with one page, "Notes",
// holding the sections News and Work, and Tarvelo.exe started on it and
// driven by real key and mouse input. Shared by the EndToEnd*Tests files.
#pragma once
#include "AppTestSupport.h"
#include "ClipProcess.h"
#include "ProgramDriver.h"
#include "Random.h"
#include "TempDir.h"
#include "Utf16Bytes.h"
#include "exchange/ExchangeIds.h"
#include "favorites/PageLinkWalker.h"
#include "links/LinkInsertion.h"
#include "page/PageChangedIds.h"
#include "pages/PageClean.h"
#include "pages/PageFile.h"
#include "pages/PageMarkers.h"
#include "resource.h"
#include "util/Strings.h"

#include <gtest/gtest.h>
#include <richedit.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>


inline const CString kFooter = L"<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>\n"
                        L"<center><font size=2><a href= \"http://www.tarvelo.com\">Tarvelo</a></font></center>\n"
                        L"</body>\n</html>\n";
inline const CString kPage = L"<html id=tq1>\n<HEAD>\n<TITLE>Notes</TITLE>\n</HEAD>\n<BODY>\n"
                      L"<DIV>&gt;&gt;&gt;News&lt;&lt;&lt;</DIV>\n"
                      L"<A href=\"http://example.com/a\">&nbsp;Alpha&nbsp;</A><BR>\n"
                      L"<DIV>&gt;&gt;&gt;Work&lt;&lt;&lt;</DIV>\n"
                      L"<A href=\"http://example.com/b\">&nbsp;Beta&nbsp;</A><BR>\n" +
                      kFooter;

// What the store reads of a page: its sections and link addresses in order.
struct StoreView {
    std::vector<CString> tags, addresses;
    int marker = 0;
};

inline StoreView ReadBack(const CString& path) {
    StoreView view;
    CString text;
    if (!ReadPageText(path, text)) return view;
    view.marker = GetPageIndexFlagOfText(text);
    PageLinkWalk walk;
    walk.onTag = [&](const CString& tag) { view.tags.push_back(tag); };
    walk.onLink = [&](const CString&, const CString& address) { view.addresses.push_back(address); };
    WalkPageLinks(text, walk);
    return view;
}

// The page's words without its markup.
inline CString PlainText(const CString& path) {
    CString text, plain;
    ReadPageText(path, text);
    bool inTag = false;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] == L'<') inTag = true;
        else if (text[i] == L'>') inTag = false;
        else if (!inTag) plain += text[i];
    }
    plain.Replace(L"&nbsp;", L" ");
    return plain;
}

class EndToEnd : public ::testing::Test {
protected:
    EndToEnd() {
        m_allpages = m_install.Path() + L"\\Bookmark\\Allpages";
        m_path = m_allpages + L"\\Notes.htm";
        CreateDirectoryW(m_install.Path() + L"\\Bookmark", nullptr);
        CreateDirectoryW(m_allpages, nullptr);
        WriteFileBytes(m_path, Utf16Bytes(kPage));
        ProgramRegistryGuard::WriteString(L"Settings", L"InstallPath", m_install.Path());
    }

    void StartProgram() {
        ASSERT_TRUE(m_program.Start(TarveloExePath()));
        m_tree = ProgramDriver::Child(m_program.Frame(), WC_TREEVIEWW);
        ASSERT_NE(m_tree, nullptr);
    }
    HWND PageWindow() { return ProgramDriver::Child(m_program.Frame(), nullptr, L"Notes.htm"); }
    HWND Engine() {
        HWND page = PageWindow();
        return page ? ProgramDriver::Child(page, L"Internet Explorer_Server") : nullptr;
    }
    // The middle of the page's item, once the tree lists it.
    POINT TreeItemPoint() {
        RECT rect{};
        EXPECT_TRUE(ProgramDriver::WaitFor([&] {
            HTREEITEM item = m_program.TreeItem(m_tree, L"Notes");
            return item && m_program.TreeItemRect(m_tree, item, rect);
        })) << "the tree does not list the page";
        return Middle(rect);
    }
    // A click on the page's item, unless the tree has it selected already: a
    // click on the selected item starts its rename once the double-click time
    // is over (and the keys typed next would go into the name).
    void SelectPage() {
        POINT point = TreeItemPoint();
        HTREEITEM item = m_program.TreeItem(m_tree, L"Notes");
        auto selected = [&] { return item && TreeView_GetSelection(m_tree) == item; };
        if (selected()) return;
        ProgramDriver::MouseClick(point);
        EXPECT_TRUE(ProgramDriver::WaitFor(selected)) << "the page's item is not selected";
        m_program.Settle();
    }
    // Double-click on the page's item (unless it is open), then a click into
    // the page puts the keyboard there, with the caret at the start.
    void OpenPage() {
        if (!Engine()) ProgramDriver::MouseClick(TreeItemPoint(), false, 2);
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return Engine() != nullptr; }))
            << "the page did not open; up: " << m_program.TopWindows().str();
        m_program.Settle();
        RECT engine{};
        GetWindowRect(Engine(), &engine);
        ProgramDriver::MouseClick(POINT{engine.left + 40, engine.bottom - 20});
        ProgramDriver::Key(VK_HOME, true);
        m_program.Settle();
    }
    // The page's source view (a command no menu carries), clicked into once it
    // is up: its window, null when it did not come.
    HWND OpenSource() {
        PostMessageW(m_program.Frame(), WM_COMMAND, ID_VIEW_SOURCE, 0);
        HWND source = nullptr;
        if (!ProgramDriver::WaitFor([&] {
                HWND page = PageWindow();
                return page && (source = ProgramDriver::Child(page, RICHEDIT_CLASSW)) != nullptr;
            }))
            return nullptr;
        m_program.Settle();
        RECT area{};
        GetWindowRect(source, &area);
        ProgramDriver::MouseClick(POINT{area.left + 40, area.top + 40});
        return source;
    }
    void Save() {
        ASSERT_TRUE(m_program.ClickToolbarButton(ID_FILE_SAVE));
        m_program.Settle();
    }
    // The save question, answered; false when none came.
    bool Answer(int button) {
        HWND box = nullptr;
        if (!ProgramDriver::WaitFor([&] { return (box = m_program.TopWindow(L"#32770")) != nullptr; })) return false;
        EXPECT_EQ(ProgramDriver::TextOf(box), L"Save changes to " + m_path + L"?");
        ProgramDriver::Press(box, button);
        ProgramDriver::WaitFor([&] { return !IsWindow(box); });
        m_program.Settle();
        return true;
    }
    CString PageText() { return TextOfUtf16Bytes(ReadFileBytes(m_path)); }
    // The save that `press` asks for has to write the file: waits until its
    // bytes differ from before, then for the program to settle.
    void SaveWrites(const std::function<void()>& press, const CString& path = CString()) {
        const CString file = path.IsEmpty() ? m_path : path;
        const std::string before = ReadFileBytes(file);
        press();
        EXPECT_TRUE(ProgramDriver::WaitFor([&] { return ReadFileBytes(file) != before; }, ProgramDriver::kAppearMs, 20))
            << "nothing was saved to " << file.str() << "; up: " << m_program.TopWindows().str();
        m_program.Settle();
    }
    static void CtrlS() { ProgramDriver::Key('S', true); }
    // The main window's command whose dialog has this caption: its window once up.
    HWND OpenDialog(const wchar_t* caption, UINT command) {
        HWND window = nullptr;
        PostMessageW(m_program.Frame(), WM_COMMAND, command, 0);
        EXPECT_TRUE(ProgramDriver::WaitFor([&] { return (window = m_program.TopWindow(L"#32770", caption)) != nullptr; }))
            << "no dialog \"" << CString(caption).str() << "\"; up: " << m_program.TopWindows().str();
        return window;
    }
    // A click on an item of the tree ("Notes", "Sub\\Page"), unless it is selected already.
    void SelectItem(const CString& label) {
        HTREEITEM item = nullptr;
        RECT rect{};
        ASSERT_TRUE(ProgramDriver::WaitFor([&] {
            item = m_program.TreeItem(m_tree, label);
            return item && m_program.TreeItemRect(m_tree, item, rect);
        })) << "the tree does not list " << label.str();
        if (TreeView_GetSelection(m_tree) != item) ProgramDriver::MouseClick(Middle(rect));
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return TreeView_GetSelection(m_tree) == item; }));
        m_program.Settle();
    }
    // The next message box of the program: its text, after it is answered.
    CString AnswerBox(const wchar_t* caption, int button = IDOK) {
        HWND box = nullptr;
        if (!ProgramDriver::WaitFor([&] { return (box = m_program.TopWindow(L"#32770", caption)) != nullptr; })) {
            ADD_FAILURE() << "no message box \"" << CString(caption).str() << "\"; up: " << m_program.TopWindows().str();
            return CString();
        }
        CString text = ProgramDriver::TextOf(box);
        ProgramDriver::Press(box, button);
        ProgramDriver::WaitFor([&] { return !IsWindow(box); });
        m_program.Settle();
        return text;
    }
    // A link at the caret through the toolbar's Insert HyperLink and its dialog.
    void InsertLink(const CString& name, const CString& address) {
        ASSERT_TRUE(m_program.ClickToolbarButton(ID_EDIT_INSERT_HYPERLINK));
        HWND dialog = nullptr;
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (dialog = m_program.TopWindow(L"#32770", L"Add Item")) != nullptr; }, 8000));
        m_program.Settle();
        ProgramDriver::Type(name);
        ProgramDriver::Key(VK_TAB);
        ProgramDriver::Type(address);
        ProgramDriver::Key(VK_RETURN);
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(dialog); }));
        m_program.Settle();
    }
    // Saved without a question: the page holds the clip of example.com/z in
    // Work beside its own links, and the typed words.
    void ExpectClipAndWordsKept(const CString& words) {
        EXPECT_EQ(m_program.TopWindow(L"#32770"), nullptr);
        StoreView view = ReadBack(m_path);
        EXPECT_EQ(view.tags, (std::vector<CString>{L"News", L"Work"}));
        EXPECT_EQ(view.addresses,
                  (std::vector<CString>{L"http://example.com/a", L"http://example.com/b", L"http://example.com/z"}));
        EXPECT_NE(PlainText(m_path).Find(words), -1) << PageText().str();
    }
    // A clip into the page's section, from a clip process as the browser starts it.
    static void ClipInto(const CString& address, const CString& section) {
        ClipProcess process(L"<param><url>" + address + L"</url><name>Clipped</name></param><form>0</form>");
        HWND dialog = process.WaitForWindow(L"Tarvelo->Add to Tarvelo");
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(WaitForComboItems(dialog, 1008, 1));
        ChooseComboItem(dialog, 1008, L"Notes");
        ChooseComboItem(dialog, 1009, section);
        PressButton(dialog, IDOK);
        EXPECT_EQ(process.WaitForExit(), 1u);
    }

    ProgramRegistryGuard m_registry;
    TempDir m_install;
    CString m_allpages, m_path;
    ProgramDriver m_program;
    HWND m_tree = nullptr;
};


// Outside HTML files read in the character set they are written in: by the
// byte-order mark, by the set the head declares, else UTF-8 or ANSI.
#include "pages/HtmlFileText.h"
#include "util/Strings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Head(const std::string& meta) {
    return "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<!-- This is an automatically generated file. -->\n" + meta +
           "\n<TITLE>Bookmarks</TITLE>\n";
}

}  // namespace

TEST(HtmlFileText, CharsetNamesAndDeclarationsOfEitherFormAreFound) {
    EXPECT_EQ(CodePageOfCharset(L"x-mac-roman"), 10000u);
    EXPECT_EQ(CodePageOfCharset(L"Windows-1251"), 1251u);
    EXPECT_EQ(CodePageOfCharset(L"KOI8-R"), 20866u);
    EXPECT_EQ(CodePageOfCharset(L"UTF-8"), 65001u);
    EXPECT_EQ(CodePageOfCharset(L"ISO-8859-1"), 1252u);
    EXPECT_EQ(CodePageOfCharset(L"Shift_JIS"), 932u);
    // A file without a mark that declares UTF-16 is UTF-8, as browsers read
    // it (this system's own "Unicode" export is).
    EXPECT_EQ(CodePageOfCharset(L"Unicode"), 65001u);
    EXPECT_EQ(CodePageOfCharset(L"x-klingon"), 0u);
    EXPECT_EQ(CodePageOfCharset(L""), 0u);

    EXPECT_EQ(DeclaredCharset(Head("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=x-mac-roman\">")),
              L"x-mac-roman");
    EXPECT_EQ(DeclaredCharset(Head("<meta http-equiv='content-type' content='text/html;charset = KOI8-R'>")), L"KOI8-R");
    EXPECT_EQ(DeclaredCharset(Head("<meta charset=\"windows-1251\" />")), L"windows-1251");
    // Only a META element declares; a link title about charsets does not.
    EXPECT_EQ(DeclaredCharset(Head("") + "<DT><A HREF=\"http://a/?charset=koi8-r\">charset=koi8-r</A>\n"), L"");
    EXPECT_EQ(DeclaredCharset(Head("<META CONTENT=\"text/html\">")), L"");
    EXPECT_EQ(DeclaredCharset(""), L"");
    EXPECT_EQ(DeclaredCharset("<meta charset="), L"");
}

TEST(HtmlFileText, DeclaredSetsAreReadInTheirCodePageAndNothingTurnsIntoReplacementMarks) {
    struct Case {
        const char* charset;
        std::string bytes;
        std::wstring text;
    };
    const Case cases[] = {
        {"x-mac-roman", "Caf\x8E \xD0 \xD2\x86n\x95" "c\x9A" "d\x8E\xD3 \xA5 \xDE \xAA",
         L"Caf\x00E9 \x2013 \x201C\x00DCn\x00EF" L"c\x00F6" L"d\x00E9\x201D \x2022 \xFB01 \x2122"},
        {"windows-1251", "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0", L"\x041F\x0440\x0438\x0432\x0435\x0442, \x043C\x0438\x0440"},
        {"koi8-r", "\xF0\xD2\xC9\xD7\xC5\xD4, \xCD\xC9\xD2", L"\x041F\x0440\x0438\x0432\x0435\x0442, \x043C\x0438\x0440"},
        {"shift_jis", "\x93\xFA\x96{\x8C\xEA", L"\x65E5\x672C\x8A9E"},
        {"utf-8", "Caf\xC3\xA9", L"Caf\x00E9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.charset);
        std::string file = Head(std::string("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=") +
                                c.charset + "\">") +
                           "<DT><A HREF=\"http://x/\">" + c.bytes + "</A>\r\n";
        CString text = DecodeHtmlFileBytes(file);
        EXPECT_NE(text.str().find(L">" + c.text + L"</A>\n"), std::wstring::npos) << text.str();
        EXPECT_EQ(text.Find(L'\xFFFD'), -1);
    }
    // No declaration: valid UTF-8 is UTF-8, anything else the ANSI code page;
    // an unknown set reads the same way.
    const CString ansi = CodePageToWide("\x93quotes\x94", 8, CP_ACP);
    ASSERT_EQ(ansi.GetLength(), 8) << GetACP();
    for (const char* meta : {"", "<meta charset=x-klingon>"}) {
        SCOPED_TRACE(meta);
        EXPECT_NE(DecodeHtmlFileBytes(Head(meta) + "Caf\xC3\xA9").Find(L"Caf\x00E9"), -1);
        EXPECT_NE(DecodeHtmlFileBytes(Head(meta) + "\x93quotes\x94").Find(ansi), -1) << GetACP();
    }
    // A file that says UTF-8 but is not: read as undeclared, no character lost.
    EXPECT_NE(DecodeHtmlFileBytes(Head("<meta charset=utf-8>") + "\x93quotes\x94").Find(ansi), -1);
    // A byte-order mark outranks the declaration.
    std::string marked = "\xEF\xBB\xBF" + Head("<meta charset=koi8-r>") + "Caf\xC3\xA9";
    EXPECT_NE(DecodeHtmlFileBytes(marked).Find(L"Caf\x00E9"), -1);
    std::string utf16 = "\xFF\xFE";
    for (wchar_t c : std::wstring(L"<meta charset=koi8-r>\x041F\r\n")) {
        utf16.push_back(static_cast<char>(c & 0xFF));
        utf16.push_back(static_cast<char>(c >> 8));
    }
    EXPECT_EQ(DecodeHtmlFileBytes(utf16), L"<meta charset=koi8-r>\x041F\n");
    EXPECT_EQ(DecodeHtmlFileBytes(""), L"");
}

#include "clip/ClipElements.h"

#include "Random.h"

#include <gtest/gtest.h>

namespace {
const CString kProgram = L"\"C:\\Program Files\\Tarvelo\\Tarvelo.exe\" ";
}

TEST(ClipElements, LinkClipReadsAddressTitleAndFormFlag) {
    LinkClip clip = ParseLinkClip(kProgram + L"<param><url>http://a.example.com/x</url><name>Paper</name></param><form>1</form>");
    EXPECT_EQ(clip.address, L"http://a.example.com/x");
    EXPECT_EQ(clip.title, L"Paper");
    EXPECT_EQ(clip.formFlag, L"1");
    EXPECT_TRUE(clip.pictureAddress.IsEmpty());
}

TEST(ClipElements, LinkClipMissingOrEmptyElementsGiveEmptyValues) {
    LinkClip empty = ParseLinkClip(L"<param><url></url><name></name></param><form></form>");
    EXPECT_TRUE(empty.address.IsEmpty());
    EXPECT_TRUE(empty.title.IsEmpty());
    EXPECT_TRUE(empty.formFlag.IsEmpty());

    LinkClip explorer = ParseLinkClip(L"<param><url>C:\\Docs\\Plans</url><name>Plans/</name></param>");
    EXPECT_EQ(explorer.address, L"C:\\Docs\\Plans");
    EXPECT_EQ(explorer.title, L"Plans/");
    EXPECT_TRUE(explorer.formFlag.IsEmpty());
}

TEST(ClipElements, LinkClipTurnsApostrophesOfTheTitleIntoBlanks) {
    LinkClip clip = ParseLinkClip(L"<param><url>u</url><name>It's 'here'</name></param>");
    EXPECT_EQ(clip.title, L"It s  here ");
}

TEST(ClipElements, LinkClipTitleHoldingItsOwnClosingTagsStaysWhole) {
    LinkClip clip = ParseLinkClip(
        L"<param><url>http://x.org/</url><name>a</name>b</param>c<form>1</form></name></param><form>0</form>");
    EXPECT_EQ(clip.address, L"http://x.org/");
    EXPECT_EQ(clip.title, L"a</name>b</param>c<form>1</form>");
    EXPECT_EQ(clip.formFlag, L"0");
}

TEST(ClipElements, AddressMarkupCharactersAreUrlEscaped) {
    LinkClip clip = ParseLinkClip(L"<param><url>http://x.org/<b>?a=\"1\"</url><name>n</name></param>");
    EXPECT_EQ(clip.address, L"http://x.org/%3Cb%3E?a=\"1\"");
}

TEST(ClipElements, PictureElementGivesPictureAddressAndDescriptionAsTitle) {
    LinkClip clip = ParseLinkClip(
        L"<param><url>http://x.org/p</url><name><img><src>http://x.org/a.jpg</src><desc>A cat</desc></img></name>"
        L"</param><form>0</form>");
    EXPECT_EQ(clip.pictureAddress, L"http://x.org/a.jpg");
    EXPECT_EQ(clip.title, L"A cat");
}

TEST(ClipElements, FormBlockTakesDigitsAndTextUpToTheLastClosingTag) {
    FormBlockClip block;
    ASSERT_TRUE(ParseFormBlockClip(kProgram + L"<TQBLK>3</TQBLK><AA12>q>>>a</AA>b|||</AA>", block));
    EXPECT_EQ(block.number, L"12");
    EXPECT_EQ(block.text, L"q>>>a</AA>b|||");
}

TEST(ClipElements, FormBlockWithoutNumberOrTextIsRefused) {
    FormBlockClip block;
    EXPECT_FALSE(ParseFormBlockClip(L"<TQBLK>1</TQBLK><AA1></AA>", block));
    EXPECT_FALSE(ParseFormBlockClip(L"<TQBLK>1</TQBLK><AAx>t</AA>", block));
    EXPECT_FALSE(ParseFormBlockClip(L"<AA>t</AA>", block));
    EXPECT_FALSE(ParseFormBlockClip(L"<AA1>t", block));
    // A path-like number never gets through: only digits are taken.
    EXPECT_FALSE(ParseFormBlockClip(L"<AA..\\1>t</AA>", block));
}

TEST(ClipElements, EventClipReadsItsFourElements) {
    EventClip clip = ParseEventClip(
        L"<evt><name>Meeting</name><file>Work\\Plans</file><edate>3-7-2026</edate><eip>Room 4</eip></evt>");
    EXPECT_EQ(clip.name, L"Meeting");
    EXPECT_EQ(clip.file, L"Work\\Plans");
    EXPECT_EQ(clip.date, L"3-7-2026");
    EXPECT_EQ(clip.text, L"Room 4");
    EventClip partial = ParseEventClip(L"<evt><name>x</name></evt>");
    EXPECT_TRUE(partial.file.IsEmpty());
}

TEST(ClipElements, HostileCommandLinesNeverCrashTheReaders) {
    Random random(20261208);
    for (int i = 0; i < 3000; ++i) {
        CString line = kProgram;
        int parts = random.Int(1, 8);
        for (int p = 0; p < parts; ++p) {
            line += random.HostileText(60);
            if (random.Chance(40)) line += random.Pick(std::vector<CString>{L"<param>", L"</param>", L"<url>", L"</url>",
                                                                             L"<name>", L"</name>", L"<form>", L"</form>",
                                                                             L"<AA1>", L"</AA>", L"<evt>", L"</evt>",
                                                                             L"<img><src>", L"</src><desc>", L"</desc></img>"});
        }
        LinkClip clip = ParseLinkClip(line);
        EXPECT_EQ(clip.title.Find(L'\''), -1) << "seed 20261208, case " << i;
        FormBlockClip block;
        if (ParseFormBlockClip(line, block)) {
            EXPECT_FALSE(block.number.IsEmpty());
            for (wchar_t c : block.number.str()) EXPECT_TRUE(c >= L'0' && c <= L'9');
        }
        ParseEventClip(line);
    }
}

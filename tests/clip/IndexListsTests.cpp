#include "clip/IndexLists.h"

#include <gtest/gtest.h>

#include <set>

TEST(IndexLists, PagesNeedAnExistingFileAndAValueOtherThanZero) {
    std::vector<IndexEntry> index = {
        {L"Work\\Plans", L"News,1"}, {L"Gone", L"a,1"}, {L"Zero", L"0"}, {L"Empty", L""}};
    std::set<CString> onDisk = {L"Work\\Plans", L"Zero", L"Empty"};
    auto exists = [&](const CString& page) { return onDisk.count(page) > 0; };
    EXPECT_EQ(ListablePages(index, exists), (std::vector<CString>{L"Work\\Plans", L"Empty"}));
}

TEST(IndexLists, SectionsAreListedInIndexOrderWithoutEnd) {
    SectionList list = SectionsOfPage(L"News,1;a###b,3;end,1;Mail,1", L"P", L"", L"", L"");
    EXPECT_EQ(list.names, (std::vector<CString>{L"News", L"a,b", L"Mail"}));
    EXPECT_EQ(list.selected, -1);
    EXPECT_TRUE(SectionsOfPage(L"", L"P", L"", L"", L"").names.empty());
}

TEST(IndexLists, SectionWithSemicolonIsListedAsItsTag) {
    SectionList list = SectionsOfPage(L"a|||b,1", L"P", L"", L"", L"");
    EXPECT_EQ(list.names, (std::vector<CString>{L"a;b"}));
}

TEST(IndexLists, SavedSectionWinsOnTheSavedPageElseTheFocusSection) {
    const CString value = L"News,1;Mail,1;Todo,1";
    EXPECT_EQ(SectionsOfPage(value, L"P", L"P", L"Todo", L"").selected, 2);
    EXPECT_EQ(SectionsOfPage(value, L"Q", L"P", L"Todo", L"Mail").selected, 1);
    EXPECT_EQ(SectionsOfPage(value, L"Q", L"P", L"Todo", L"").selected, -1);
    // Both qualify: the last one in the list stays selected.
    EXPECT_EQ(SectionsOfPage(value, L"P", L"P", L"Todo", L"News").selected, 2);
}

TEST(IndexLists, CommaInSectionSurvivesTheSettingsRoundTrip) {
    EXPECT_EQ(EscapeSectionForSettings(L"a,b,c"), L"a###b###c");
    EXPECT_EQ(UnescapeSectionFromSettings(L"a###b###c"), L"a,b,c");
    SectionList list = SectionsOfPage(L"x,1;a###b,1", L"P", L"P", UnescapeSectionFromSettings(L"a###b"), L"");
    EXPECT_EQ(list.selected, 1);
}

TEST(IndexLists, SectionWithMarkupIsListedAsTypedAndSelectedAgain) {
    // The page holds the name escaped, in the store's or the editor's
    // spelling; the index writes each ";" of it as "|||".
    const CString value = L"News,1;&#60|||b&#62|||m&#60|||/b&#62|||,1;R&amp|||D &lt|||x&gt|||,1";
    SectionList list = SectionsOfPage(value, L"P", L"P", L"<b>m</b>", L"");
    EXPECT_EQ(list.names, (std::vector<CString>{L"News", L"<b>m</b>", L"R&D <x>"}));
    EXPECT_EQ(list.selected, 1);
    // A choice remembered in the page's spelling selects the same entry.
    EXPECT_EQ(SectionsOfPage(value, L"Q", L"P", L"", L"R&amp;D &#60;x&#62;").selected, 2);
}

#include "FrameworkTestApp.h"
#include "Random.h"
#include "app/RegKey.h"

#include <cstring>

#include <gtest/gtest.h>

TEST(Profile, IntegersAndStringsRoundTripBelowTheProfileRoot) {
    FrameworkTestApp app;
    EXPECT_EQ(app.GetProfileRoot(), L"Software\\TarveloTests\\FrameworkTests");
    EXPECT_EQ(app.GetProfileInt(L"Init", L"Left", 23), 23u);
    EXPECT_EQ(app.GetProfileString(L"Settings", L"FileHot", L"none"), L"none");

    EXPECT_TRUE(app.WriteProfileInt(L"Init", L"Left", -40));
    EXPECT_TRUE(app.WriteProfileString(L"Settings", L"FileHot", L"C:\\pages\\\x00e9t\x00e9.htm"));
    EXPECT_EQ(static_cast<int>(app.GetProfileInt(L"Init", L"Left", 23)), -40);
    EXPECT_EQ(app.GetProfileString(L"Settings", L"FileHot"), L"C:\\pages\\\x00e9t\x00e9.htm");

    // The values really are where other programs of the system look for them.
    RegKey key = RegKey::Open(HKEY_CURRENT_USER, L"Software\\TarveloTests\\FrameworkTests\\Init");
    DWORD raw = 0;
    ASSERT_TRUE(key.ReadDword(L"Left", raw));
    EXPECT_EQ(static_cast<int>(raw), -40);
}

TEST(Profile, ValuesOfTheWrongTypeOrSizeReadAsDefault) {
    FrameworkTestApp app;
    RegKey key = RegKey::Create(HKEY_CURRENT_USER, app.GetProfileRoot() + L"\\Settings");
    ASSERT_TRUE(key);
    const BYTE twoBytes[2] = {1, 2};
    RegSetValueExW(key.Get(), L"Short", 0, REG_BINARY, twoBytes, 2);
    RegSetValueExW(key.Get(), L"Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"12"), 6);
    DWORD number = 7;
    RegSetValueExW(key.Get(), L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
    // A string stored without its terminator, and one with an embedded terminator.
    RegSetValueExW(key.Get(), L"Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"abc"), 6);
    RegSetValueExW(key.Get(), L"Cut", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"ab\0cd"), 12);

    EXPECT_EQ(app.GetProfileInt(L"Settings", L"Short", 5), 5u);
    EXPECT_EQ(app.GetProfileInt(L"Settings", L"Text", 5), 5u);
    EXPECT_EQ(app.GetProfileString(L"Settings", L"Number", L"dflt"), L"dflt");
    EXPECT_EQ(app.GetProfileString(L"Settings", L"Bare"), L"abc");
    EXPECT_EQ(app.GetProfileString(L"Settings", L"Cut"), L"ab");
}

TEST(Profile, NullValueDeletesEntryAndNullEntryDeletesSection) {
    FrameworkTestApp app;
    app.WriteProfileString(L"Focus", L"a", L"1");
    app.WriteProfileString(L"Focus", L"b", L"2");
    EXPECT_TRUE(app.WriteProfileString(L"Focus", L"a", nullptr));
    EXPECT_EQ(app.GetProfileString(L"Focus", L"a", L"gone"), L"gone");
    EXPECT_EQ(app.GetProfileString(L"Focus", L"b"), L"2");
    EXPECT_TRUE(app.WriteProfileString(L"Focus", nullptr, nullptr));
    EXPECT_FALSE(RegKey::Open(HKEY_CURRENT_USER, app.GetProfileRoot() + L"\\Focus"));
    // Deleting what is not there is no failure.
    EXPECT_TRUE(app.WriteProfileString(L"Focus", nullptr, nullptr));
}

TEST(RecentFiles, KeepsTheFourNewestFirstWithoutDuplicates) {
    FrameworkTestApp app;
    app.LoadStdProfileSettings(4);
    auto& list = *app.m_pRecentFileList;
    for (const wchar_t* path : {L"C:\\p\\a.htm", L"C:\\p\\b.htm", L"C:\\p\\c.htm", L"C:\\p\\d.htm", L"C:\\p\\e.htm"})
        list.Add(path);
    list.Add(L"c:\\P\\C.HTM");  // the same file in other letters moves up
    ASSERT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list[0], L"c:\\P\\C.HTM");
    EXPECT_EQ(list[1], L"C:\\p\\e.htm");
    EXPECT_EQ(list[2], L"C:\\p\\d.htm");
    EXPECT_EQ(list[3], L"C:\\p\\b.htm");

    list.WriteList(app);
    EXPECT_EQ(app.GetProfileString(L"Recent File List", L"File1"), L"c:\\P\\C.HTM");
    EXPECT_EQ(app.GetProfileString(L"Recent File List", L"File4"), L"C:\\p\\b.htm");
    list.Remove(0);
    list.Remove(0);
    list.WriteList(app);
    EXPECT_EQ(app.GetProfileString(L"Recent File List", L"File3", L"gone"), L"gone");

    CRecentFileList reread(ID_FILE_MRU_FILE1, L"Recent File List", L"File%d", 4);
    reread.ReadList(app);
    ASSERT_EQ(reread.GetCount(), 2);
    EXPECT_EQ(reread[0], L"C:\\p\\d.htm");
}

TEST(RecentFiles, MenuShowsEntriesInPlaceOfThePlaceholder) {
    FrameworkTestApp app;
    CRecentFileList list(ID_FILE_MRU_FILE1, L"Recent File List", L"File%d", 4);
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 10, L"Open");
    AppendMenuW(menu, MF_STRING, ID_FILE_MRU_FILE1, L"Recent File");
    AppendMenuW(menu, MF_STRING, 11, L"Exit");

    CCmdUI state;
    state.m_hMenu = menu;
    state.m_nIndex = 1;
    state.m_nID = ID_FILE_MRU_FILE1;
    list.UpdateMenu(&state);
    EXPECT_TRUE(GetMenuState(menu, 1, MF_BYPOSITION) & MF_GRAYED);

    list.Add(L"C:\\pages\\R&D.htm");
    list.Add(L"C:\\pages\\b.htm");
    state.m_nIndex = 1;
    state.m_nIndexMax = 3;
    list.UpdateMenu(&state);
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    wchar_t text[128] = {};
    GetMenuStringW(menu, 1, text, 128, MF_BYPOSITION);
    EXPECT_STREQ(text, L"&1 C:\\pages\\b.htm");
    GetMenuStringW(menu, 2, text, 128, MF_BYPOSITION);
    EXPECT_STREQ(text, L"&2 C:\\pages\\R&&D.htm");
    EXPECT_EQ(GetMenuItemID(menu, 2), ID_FILE_MRU_FILE1 + 1);
    EXPECT_EQ(GetMenuItemID(menu, 3), 11u);
    EXPECT_EQ(state.m_nIndex, 2u);
    DestroyMenu(menu);
}

TEST(Profile, ArbitraryStoredBytesReadAsTextUpToTheirFirstTerminator) {
    FrameworkTestApp app;
    RegKey key = RegKey::Create(HKEY_CURRENT_USER, app.GetProfileRoot() + L"\\Settings");
    ASSERT_TRUE(key);
    Random random(20261208);
    for (int i = 0; i < 300; ++i) {
        std::string bytes = random.AnyBytes(0, 700);
        DWORD type = random.Chance(80) ? REG_SZ : (random.Chance(50) ? REG_EXPAND_SZ : REG_MULTI_SZ);
        ASSERT_EQ(RegSetValueExW(key.Get(), L"Value", 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())), ERROR_SUCCESS);
        CString value = app.GetProfileString(L"Settings", L"Value", L"<default>");
        if (type == REG_MULTI_SZ) {
            EXPECT_EQ(value, L"<default>");
            continue;
        }
        size_t units = bytes.size() / 2;
        std::wstring expected(units, L'\0');
        memcpy(expected.data(), bytes.data(), units * 2);
        expected.resize(wcsnlen(expected.c_str(), units));
        EXPECT_EQ(value.str(), expected) << "seed 20261208, round " << i;
        EXPECT_EQ(app.GetProfileInt(L"Settings", L"Value", 9), 9u);
    }
}

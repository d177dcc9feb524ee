#include "StoreFixture.h"
#include "Utf16Bytes.h"

#include "util/Registry.h"

#include <windows.h>

void StoreTest::SetUp() {
    CreateDirectoryW(m_dir.Path() + L"\\Bookmark", nullptr);
    CreateDirectoryW(Allpages(), nullptr);
    DeleteRegistryTree(HKEY_CURRENT_USER, GetSettingsKeyPath(L"AllPages"));
    DeleteRegistryTree(HKEY_CURRENT_USER, GetSettingsKeyPath(L"Settings"));
    ASSERT_TRUE(WriteSettingString(L"Settings", L"InstallPath", m_dir.Path()));
}

void StoreTest::TearDown() {
    DeleteRegistryTree(HKEY_CURRENT_USER, GetSettingsKeyPath(L"AllPages"));
    DeleteRegistryTree(HKEY_CURRENT_USER, GetSettingsKeyPath(L"Settings"));
}

void StoreTest::WritePage(const CString& path, const CString& text) const { WriteFileBytes(path, Utf16Bytes(text)); }

CString StoreTest::ReadPage(const CString& path) const {
    std::string bytes = ReadFileBytes(path);
    EXPECT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE"));
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                       (static_cast<unsigned char>(bytes[3 + 2 * i]) << 8));
    return CString(text);
}

CString StoreTest::IndexValue(const CString& page) const {
    return GetSettingString(L"AllPages", page, L"<missing>");
}

void StoreTest::SetSetting(const CString& name, int value) const { WriteSettingInt(L"Settings", name, value); }


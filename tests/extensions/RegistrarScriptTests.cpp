// The registry scripts of the libraries: parsing, what registration writes
// and what unregistration removes or keeps, on a scratch key of the test prefix.
#include "ExtensionHost.h"
#include "com/RegistrarScript.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kScratch[] = L"Software\\TarveloRegistrarTest";

class RegistrarScripts : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kScratch); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kScratch); }
    CString Key(const CString& below) const { return CString(kScratch) + L"\\" + below; }
};

const wchar_t kScript[] = LR"(
HKCU
{
    NoRemove Software
    {
        NoRemove TarveloRegistrarTest
        {
            NoRemove Shared
            {
                ForceRemove {0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0} = s 'Item of %NAME%'
                {
                    val Number = d '0x20191'
                    val 'With blank' = s 'it''s %NAME%, 100%%'
                    Sub = s '%UNKNOWN%'
                }
            }
            Plain = s 'plain'
            {
                Child
            }
        }
    }
}
)";

}  // namespace

TEST_F(RegistrarScripts, RegistrationWritesKeysValuesAndReplacements) {
    RegistrarScript script;
    CString error;
    ASSERT_TRUE(script.Parse(kScript, {{L"NAME", L"Tarvelo"}}, &error)) << ::testing::PrintToString(error);
    ASSERT_EQ(script.Register(), S_OK);
    CString item = Key(L"Shared\\{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}");
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, item, L""), CString(L"Item of Tarvelo"));
    EXPECT_EQ(RegistryNumber(HKEY_CURRENT_USER, item, L"Number"), 131473u);
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, item, L"With blank"), CString(L"it's Tarvelo, 100%"));
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, item + L"\\Sub", L""), CString(L"%UNKNOWN%"));
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, Key(L"Plain"), L""), CString(L"plain"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, Key(L"Plain\\Child")));
}

TEST_F(RegistrarScripts, ForceRemoveReplacesOnRegistrationAndUnregistrationKeepsNoRemoveKeys) {
    RegistrarScript script;
    ASSERT_TRUE(script.Parse(kScript, {{L"NAME", L"T"}}));
    CString item = Key(L"Shared\\{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}");
    HKEY stale = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, item + L"\\Stale", 0, nullptr, 0, KEY_WRITE, nullptr, &stale, nullptr);
    RegCloseKey(stale);
    ASSERT_EQ(script.Register(), S_OK);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, item + L"\\Stale"));

    // A key of someone else's below a plain key keeps that key alive.
    HKEY foreign = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, Key(L"Plain\\Foreign"), 0, nullptr, 0, KEY_WRITE, nullptr, &foreign, nullptr);
    RegCloseKey(foreign);
    ASSERT_EQ(script.Unregister(), S_OK);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, item));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, Key(L"Shared")));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, Key(L"Plain\\Foreign")));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, Key(L"Plain\\Child")));
    // Unregistering what is gone already is no error.
    EXPECT_EQ(script.Unregister(), S_OK);
}

TEST_F(RegistrarScripts, MalformedScriptsAreRefusedWithoutWritingAnything) {
    const wchar_t* broken[] = {
        L"HKCU { Software { TarveloRegistrarTest { A = s 'unterminated } } }",
        L"HKCU { Software { TarveloRegistrarTest { A = x 'bad type' } } }",
        L"HKCU { Software { TarveloRegistrarTest { A { val N = d 'twelve' } } } }",
        L"HKXX { Software }",
        L"HKCU { Software { TarveloRegistrarTest { A }",
        L"HKCU { val Outside = s 'x' }",
    };
    for (const wchar_t* text : broken) {
        RegistrarScript script;
        CString error;
        EXPECT_FALSE(script.Parse(text, {}, &error)) << ::testing::PrintToString(CString(text));
        EXPECT_FALSE(error.IsEmpty());
        EXPECT_EQ(script.Register(), S_OK);  // nothing to write
        EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kScratch));
    }
}

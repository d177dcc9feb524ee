// The install path reader shared by the libraries: any length, string types
// only, a missing key or value told apart.
#include "ExtensionHost.h"
#include "InstallPath.h"

#include <gtest/gtest.h>

TEST(InstallPathReader, ReadsValuesOfAnyLengthWhole) {
    InstallPathScope settings;
    CString longPath = L"C:\\" + CString(L'p', 5000);
    settings.Set(longPath);
    InstallPathResult found = ReadInstallPath();
    EXPECT_EQ(found.status, InstallPathStatus::Found);
    EXPECT_EQ(found.path, longPath);
    EXPECT_EQ(TarveloProgramPath(found.path), longPath + L"\\Tarvelo.exe");
}

TEST(InstallPathReader, AcceptsOnlyTextAndToleratesAMissingTerminator) {
    InstallPathScope settings;
    const DWORD number = 42;
    settings.SetRaw(REG_DWORD, &number, sizeof(number));
    EXPECT_EQ(ReadInstallPath().status, InstallPathStatus::ValueMissing);
    const char bytes[] = "C:\\x";
    settings.SetRaw(REG_BINARY, bytes, sizeof(bytes));
    EXPECT_EQ(ReadInstallPath().status, InstallPathStatus::ValueMissing);
    const wchar_t unterminated[] = {L'C', L':', L'\\', L'T'};
    settings.SetRaw(REG_SZ, unterminated, sizeof(unterminated));
    InstallPathResult found = ReadInstallPath();
    EXPECT_EQ(found.status, InstallPathStatus::Found);
    EXPECT_EQ(found.path, CString(L"C:\\T"));
    const wchar_t expandable[] = L"%ProgramFiles%\\Tarvelo";
    settings.SetRaw(REG_EXPAND_SZ, expandable, sizeof(expandable));
    EXPECT_EQ(ReadInstallPath().path, CString(expandable));
}

TEST(InstallPathReader, TellsAMissingKeyFromAMissingValue) {
    InstallPathScope settings;
    settings.Set(L"C:\\T");
    settings.RemoveValue();
    EXPECT_EQ(ReadInstallPath().status, InstallPathStatus::ValueMissing);
    settings.RemoveKey();
    InstallPathResult found = ReadInstallPath();
    EXPECT_EQ(found.status, InstallPathStatus::KeyMissing);
    EXPECT_TRUE(found.path.IsEmpty());
}

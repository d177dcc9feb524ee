// A bookmark folder of its own for every test: a fresh install path in a
// temporary folder, named by InstallPath in the test prefix's registry, the
// page template settings at their defaults and an empty AllPages section.
// Message boxes are recorded instead of shown.
#pragma once
#include "Utf16Bytes.h"
#include "MessageBoxRecorder.h"
#include "TempDir.h"

#include "core/String.h"

#include <gtest/gtest.h>

#include <string>

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    const CString& Install() const { return m_dir.Path(); }
    CString Allpages() const { return m_dir.Path() + L"\\Bookmark\\Allpages"; }
    CString PagePath(const CString& page) const { return Allpages() + L"\\" + page + L".htm"; }

    // Writes a page as UTF-16 with the mark (lines joined by "\n").
    void WritePage(const CString& path, const CString& text) const;
    // A page file's text (the mark must be there and is dropped).
    CString ReadPage(const CString& path) const;
    // The AllPages value of a page, or "<missing>".
    CString IndexValue(const CString& page) const;
    void SetSetting(const CString& name, int value) const;

    TempDir m_dir;
    MessageBoxRecorder m_boxes;
};

// Text as UTF-16 LE bytes, with the mark FF FE in front when asked.

// What the end-to-end cases of the tree and the disk share: pages and folders
// written below the store as another program would, and the running
// program's tree read and clicked by item labels.
#pragma once
#include "EndToEndFixture.h"

constexpr int kOpenPageImage = 6;
constexpr DWORD kFollowMs = 10000;  // "within seconds", on a busy machine

class EndToEndDiskTree : public EndToEnd {
protected:
    CString Write(const CString& relative) {
        CString path = m_allpages + L"\\" + relative;
        WriteFileBytes(path, Utf16Bytes(kPage));
        return path;
    }
    CString MakeFolder(const CString& relative) {
        CString path = m_allpages + L"\\" + relative;
        CreateDirectoryW(path, nullptr);
        return path;
    }
    HTREEITEM ItemOf(const CString& labels) { return m_program.TreeItem(m_tree, labels); }
    bool Shows(const CString& labels) { return ItemOf(labels) != nullptr; }
    // The middle of the item's label, once the tree shows it.
    POINT PointOf(const CString& labels) {
        RECT rect{};
        EXPECT_TRUE(ProgramDriver::WaitFor([&] {
            HTREEITEM item = ItemOf(labels);
            return item && m_program.TreeItemRect(m_tree, item, rect);
        })) << "the tree does not show " << labels.str();
        return Middle(rect);
    }
    void DoubleClick(const CString& labels) {
        ProgramDriver::MouseClick(PointOf(labels), false, 2);
        m_program.Settle();
    }
    // A folder opened with a double click: its children show.
    void OpenFolder(const CString& labels, const CString& child) {
        if (!Shows(labels + L"\\" + child)) DoubleClick(labels);
        EXPECT_TRUE(ProgramDriver::WaitFor([&] { return Shows(labels + L"\\" + child); }))
            << labels.str() << " shows no " << child.str();
    }
    HWND PageWindowOf(const CString& file) { return ProgramDriver::Child(m_program.Frame(), nullptr, file); }
    int ImageOf(const CString& labels) {
        HTREEITEM item = ItemOf(labels);
        return item ? m_program.TreeItemImage(m_tree, item) : -1;
    }
};

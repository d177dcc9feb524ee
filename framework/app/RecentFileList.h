// The recent-file list: the last files opened, newest first, kept in the
// profile section "Recent File List" as "File1", "File2", ... and shown in
// the File menu in place of its first recent-file item.
#pragma once
#include "core/String.h"

#include <windows.h>

#include <vector>

class CCmdUI;
class CWinApp;

class CRecentFileList {
public:
    CRecentFileList(UINT firstId, const wchar_t* section, const wchar_t* entryFormat, int size);

    int GetSize() const { return static_cast<int>(m_size); }
    int GetCount() const { return static_cast<int>(m_files.size()); }
    const CString& operator[](int index) const { return m_files.at(static_cast<size_t>(index)); }

    // Puts the file first (a file already in the list moves up).
    void Add(const wchar_t* path);
    void Remove(int index);
    void ReadList(CWinApp& app);
    void WriteList(CWinApp& app) const;
    // Replaces the menu's recent-file items with the list, or greys the
    // placeholder item when the list is empty.
    void UpdateMenu(CCmdUI* cmdUI);
    // The text a menu shows for an entry ("&1 C:\...\page.htm").
    CString GetDisplayName(int index) const;

private:
    UINT m_firstId;
    CString m_section;
    CString m_entryFormat;
    size_t m_size;
    std::vector<CString> m_files;
    CString m_originalMenuText;
};

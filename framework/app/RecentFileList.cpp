#include "app/RecentFileList.h"

#include "app/WinApp.h"
#include "wnd/CmdTarget.h"

namespace {

CString FullPath(const wchar_t* path) {
    wchar_t buffer[MAX_PATH * 2];
    DWORD length = GetFullPathNameW(path, static_cast<DWORD>(std::size(buffer)), buffer, nullptr);
    if (length == 0 || length >= std::size(buffer)) return CString(path);
    return CString(buffer, static_cast<int>(length));
}

// A long path is cut in the middle, keeping its start and the file name.
CString Abbreviate(const CString& path, int maxLength) {
    if (path.GetLength() <= maxLength) return path;
    int slash = path.ReverseFind(L'\\');
    CString name = slash >= 0 ? path.Mid(slash + 1) : path;
    int root = path.Find(L'\\');
    if (root < 0 || slash <= root) return name;
    return path.Left(root + 1) + L"...\\" + name;
}

}  // namespace

CRecentFileList::CRecentFileList(UINT firstId, const wchar_t* section, const wchar_t* entryFormat, int size)
    : m_firstId(firstId), m_section(section), m_entryFormat(entryFormat), m_size(static_cast<size_t>(std::max(size, 0))) {}

void CRecentFileList::Add(const wchar_t* path) {
    if (!path || !*path || m_size == 0) return;
    CString full = FullPath(path);
    for (size_t i = 0; i < m_files.size(); ++i) {
        if (m_files[i].CompareNoCase(full) == 0) {
            m_files.erase(m_files.begin() + static_cast<long>(i));
            break;
        }
    }
    m_files.insert(m_files.begin(), full);
    if (m_files.size() > m_size) m_files.resize(m_size);
}

void CRecentFileList::Remove(int index) {
    if (index >= 0 && index < GetCount()) m_files.erase(m_files.begin() + index);
}

void CRecentFileList::ReadList(CWinApp& app) {
    m_files.clear();
    for (size_t i = 0; i < m_size; ++i) {
        CString entry;
        entry.Format(m_entryFormat, static_cast<int>(i + 1));
        CString file = app.GetProfileString(m_section, entry, L"");
        if (!file.IsEmpty()) m_files.push_back(file);
    }
}

void CRecentFileList::WriteList(CWinApp& app) const {
    app.WriteProfileString(m_section, nullptr, nullptr);
    for (size_t i = 0; i < m_files.size(); ++i) {
        CString entry;
        entry.Format(m_entryFormat, static_cast<int>(i + 1));
        app.WriteProfileString(m_section, entry, m_files[i]);
    }
}

CString CRecentFileList::GetDisplayName(int index) const {
    CString name = Abbreviate((*this)[index], 40);
    name.Replace(L"&", L"&&");
    CString text;
    text.Format(L"&%d %ls", index + 1, name.GetString());
    return text;
}

void CRecentFileList::UpdateMenu(CCmdUI* cmdUI) {
    HMENU menu = cmdUI->m_hMenu;
    if (!menu) return;
    if (m_originalMenuText.IsEmpty()) {
        wchar_t text[256] = {};
        GetMenuStringW(menu, cmdUI->m_nIndex, text, 256, MF_BYPOSITION);
        m_originalMenuText = text;
    }
    if (m_files.empty()) {
        if (!m_originalMenuText.IsEmpty()) cmdUI->SetText(m_originalMenuText);
        cmdUI->Enable(FALSE);
        return;
    }
    for (UINT id = m_firstId; id < m_firstId + m_size; ++id) DeleteMenu(menu, id, MF_BYCOMMAND);
    UINT position = cmdUI->m_nIndex;
    for (int i = 0; i < GetCount(); ++i) {
        CString text = GetDisplayName(i);
        InsertMenuW(menu, position++, MF_BYPOSITION | MF_STRING, m_firstId + static_cast<UINT>(i), text);
    }
    cmdUI->m_nIndex = position - 1;  // the last item added; the update loop goes on after it
    cmdUI->m_nIndexMax = static_cast<UINT>(GetMenuItemCount(menu));
    cmdUI->m_bEnableChanged = TRUE;
}

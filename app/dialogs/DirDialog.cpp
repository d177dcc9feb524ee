#include "dialogs/DirDialog.h"

#include <objbase.h>
#include <shlobj.h>

#include <string>

namespace {

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data) {
    auto* dialog = reinterpret_cast<CDirDialog*>(data);
    if (message == BFFM_INITIALIZED && dialog && !dialog->m_strSelDir.IsEmpty())
        SendMessageW(window, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(dialog->m_strSelDir.GetString()));
    return 0;
}

// The shell's allocator, released when the scope ends.
class ShellAllocator {
public:
    ShellAllocator() { SHGetMalloc(&m_malloc); }
    ~ShellAllocator() {
        if (m_malloc) m_malloc->Release();
    }
    ShellAllocator(const ShellAllocator&) = delete;
    ShellAllocator& operator=(const ShellAllocator&) = delete;
    explicit operator bool() const { return m_malloc != nullptr; }
    void Free(void* memory) const {
        if (memory) m_malloc->Free(memory);
    }

private:
    IMalloc* m_malloc = nullptr;
};

}  // namespace

BOOL CDirDialog::DoBrowse() {
    ShellAllocator allocator;
    if (!allocator) return FALSE;

    BROWSEINFOW info{};
    PIDLIST_ABSOLUTE root = nullptr;
    if (!m_strInitDir.IsEmpty()) {
        IShellFolder* desktop = nullptr;
        if (FAILED(SHGetDesktopFolder(&desktop))) return FALSE;
        // The root is parsed from a copy of any length: no fixed buffer.
        std::wstring rootText = m_strInitDir.str();
        ULONG eaten = 0;
        HRESULT parsed = desktop->ParseDisplayName(nullptr, nullptr, rootText.data(), &eaten,
                                                   reinterpret_cast<PIDLIST_RELATIVE*>(&root), nullptr);
        desktop->Release();
        if (FAILED(parsed)) {
            allocator.Free(root);
            return FALSE;
        }
        info.pidlRoot = root;
    }
    std::wstring displayName(MAX_PATH, L'\0');
    info.hwndOwner = nullptr;
    info.pszDisplayName = displayName.data();
    info.lpszTitle = m_strTitle.IsEmpty() ? L"Open" : m_strTitle.GetString();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);

    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    allocator.Free(root);
    if (!chosen) return FALSE;
    m_iImageIndex = info.iImage;
    m_strPath = CString(displayName.c_str());
    std::wstring path(MAX_PATH, L'\0');
    BOOL found = SHGetPathFromIDListW(chosen, path.data());
    allocator.Free(chosen);
    if (found) m_strPath = CString(path.c_str());
    return found;
}

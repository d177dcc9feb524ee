#include "bookmarks/BookmarkExport.h"

#include "core/MessageBox.h"
#include "favorites/FavoriteEngine.h"
#include "favorites/LinkNames.h"
#include "favorites/PageLinkWalker.h"
#include "pages/PageConversions.h"
#include "pages/PageFile.h"
#include "util/Strings.h"

#include <windows.h>

#include <cwctype>
#include <map>

namespace {

constexpr wchar_t kTypedUrlsKey[] = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
constexpr wchar_t kTypedUrlsBusy[] =
    L"IE pull down menu cannot be changed this time, please close all IE windows and try later.";

// The tree that exporting the page as shortcut files would give: a folder per
// section level, named as those folders would be, and its links in page
// order. Two links of one title in a section both stay (as files the second
// would overwrite the first).
std::unique_ptr<FavoriteNode> PageTree(const CString& text) {
    auto root = std::make_unique<FavoriteNode>();
    FavoriteNode* section = nullptr;  // null before the first tag: those links are left out
    // Folders by parent and name; names of folders ignore case, as the file system's do.
    std::map<std::pair<const FavoriteNode*, std::wstring>, FavoriteNode*> folders;
    PageLinkWalk walk;
    walk.onTag = [&](const CString& tag) {
        section = root.get();
        if (tag == L"Default") return;
        for (const CString& name : SectionFolderNames(tag)) {
            CString key = name;
            FavoriteNode*& found = folders[{section, key.MakeUpper().str()}];
            if (!found) {
                auto folder = std::make_unique<FavoriteNode>();
                folder->kind = FavoriteNode::kFolder;
                folder->name = name;
                folder->path = section->path + L"\\" + name;
                folder->level = section->level + 1;
                found = folder.get();
                section->folders.push_back(std::move(folder));
            }
            section = found;
        }
    };
    walk.onLink = [&](const CString& title, const CString& address) {
        CString name = SafeNameComponent(title);
        if (!section || name.IsEmpty()) return;
        auto link = std::make_unique<FavoriteNode>();
        link->kind = FavoriteNode::kLink;
        link->name = name;
        link->address = SingleLineAddress(address);
        link->path = section->path + L"\\" + name + L".url";
        link->level = section->level + 1;
        section->links.push_back(std::move(link));
    };
    WalkPageLinks(text, walk);
    return root;
}

bool ExportToBookmarkFile(const CString& page, const CString& output, bool utf8) {
    CString text;
    if (!ReadPageForLinks(page, text)) return false;
    CFavoriteEngine engine(CString{});
    engine.SetTree(PageTree(text));
    if (utf8) return engine.WriteNetscapeBookmarkFileUtf8(output);
    // The "Unicode" variant is written as UTF-16 and ends as UTF-8 like the
    // other; only the character set its header names differs (browsers read
    // a file that declares a UTF-16 set as UTF-8).
    return engine.WriteNetscapeBookmarkFileUnicode(output) && ConvertFileToUtf8(output);
}

// True for "url" followed by decimal digits only.
bool IsTypedUrlName(const wchar_t* name) {
    if (_wcsnicmp(name, L"url", 3) != 0 || !name[3]) return false;
    for (const wchar_t* p = name + 3; *p; ++p)
        if (!iswdigit(*p)) return false;
    return true;
}

} // namespace

bool ExportToBookmarkFileUnicode(const CString& page, const CString& output) {
    return ExportToBookmarkFile(page, output, false);
}

bool ExportToBookmarkFileUtf8(const CString& page, const CString& output) {
    return ExportToBookmarkFile(page, output, true);
}

void CollectSectionLinks(const CString& tag, CString& section) { section = tag; }

void CollectLinks(const CString& section, const CString& title, const CString& address,
                  std::vector<PageLinkRecord>& links) {
    if (!title.IsEmpty()) links.push_back({section, title, address, 1});
}

bool CollectPageLinks(const CString& page, std::vector<PageLinkRecord>& links) {
    CString text;
    if (!ReadPageText(page, text)) return false;
    CString section;
    PageLinkWalk walk;
    walk.onTag = [&](const CString& tag) { CollectSectionLinks(tag, section); };
    walk.onLink = [&](const CString& title, const CString& address) { CollectLinks(section, title, address, links); };
    WalkPageLinks(text, walk);
    return true;
}

int RestoreTypedURLs(const CString& page) {
    std::vector<PageLinkRecord> links;
    if (!CollectPageLinks(page, links)) {
        ShowMessageBox(nullptr, L"Cannot open " + page, L"Tarvelo", MB_OK);
        return 0;
    }
    HKEY key = nullptr;
    // The browser makes the key with the first typed address; without one the
    // list is simply empty, and the restore starts it.
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kTypedUrlsKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        ShowMessageBox(nullptr, kTypedUrlsBusy, L"Tarvelo", MB_OK);
        return 0;
    }
    // Every earlier entry goes, also past url999, so no old address stays behind.
    std::vector<std::wstring> old;
    wchar_t name[16384];
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(std::size(name));
        LONG status = RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_SUCCESS && IsTypedUrlName(name)) old.emplace_back(name);
    }
    for (const std::wstring& value : old) RegDeleteValueW(key, value.c_str());
    int number = 0;
    bool written = true;
    for (const PageLinkRecord& link : links) {
        CString value;
        value.Format(L"url%d", ++number);
        // The registry holds the address itself, not the page's HTML spelling of it.
        const CString address = SingleLineAddress(DecodeCharacterReferences(link.address));
        if (RegSetValueExW(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(address.GetString()),
                           static_cast<DWORD>((address.GetLength() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
            written = false;
    }
    RegCloseKey(key);
    if (!written) ShowMessageBox(nullptr, kTypedUrlsBusy, L"Tarvelo", MB_OK);
    return written ? 1 : 0;
}

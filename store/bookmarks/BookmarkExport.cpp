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
#include <set>

namespace {

constexpr wchar_t kTypedUrlsKey[] = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
constexpr wchar_t kTypedUrlsBusy[] =
    L"IE pull down menu cannot be changed this time, please close all IE windows and try later.";
// A page without a link would leave the browser no typed address at all.
constexpr wchar_t kNoTypedUrls[] =
    L"This page holds no link, so it gives no address: the IE address bar history was left as it is.";

// The page's sections and links as a tree: a folder per section level and
// its links in page order, every title and folder name whole (a bookmark
// file holds text, not file names: nothing turns into "#", is cut short or
// loses its dots). Two links of one title in a section both stay.
std::unique_ptr<FavoriteNode> PageTree(const CString& text) {
    auto root = std::make_unique<FavoriteNode>();
    FavoriteNode* section = nullptr;  // null before the first tag: those links are left out
    // Folders by parent and name; names of folders ignore case, as Favorites folders do.
    std::map<std::pair<const FavoriteNode*, std::wstring>, FavoriteNode*> folders;
    CString title;  // the whole title of the anchor the walk is at
    PageLinkWalk walk;
    walk.onTag = [&](const CString& tag) {
        section = root.get();
        if (tag == L"Default") return;
        for (const CString& name : SectionNames(tag)) {
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
    walk.onAnchor = [&](const CString& anchor) { title = WholeLinkTitle(ReadAnchor(anchor).text); };
    walk.onLink = [&](const CString&, const CString& address) {
        if (!section || title.IsEmpty()) return;
        auto link = std::make_unique<FavoriteNode>();
        link->kind = FavoriteNode::kLink;
        link->name = title;
        link->address = SingleLineAddress(address);
        link->path = section->path + L"\\" + SafeNameComponent(title) + L".url";  // the shortcut it stands for
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

// Value names compare without case, as the registry compares them.
std::wstring TypedUrlKey(std::wstring name) {
    for (wchar_t& c : name) c = static_cast<wchar_t>(towlower(c));
    return name;
}

} // namespace

bool ExportToBookmarkFileUnicode(const CString& page, const CString& output) {
    return ExportToBookmarkFile(page, output, false);
}

bool ExportToBookmarkFileUtf8(const CString& page, const CString& output) {
    return ExportToBookmarkFile(page, output, true);
}

bool ExportPageAsAnsi(const CString& page, const CString& output, AnsiLoss& loss) {
    CString text;
    if (!ReadPageText(page, text)) return false;
    AnsiLoss found;
    PageLinkWalk walk;
    walk.onLink = [&](const CString& title, const CString&) {
        if (LosesCharactersIn(title, CP_ACP)) ++found.titles;
    };
    WalkPageLinks(text, walk);
    found.otherText = found.titles == 0 && LosesCharactersIn(text, CP_ACP);
    if (!ConvertFileToAnsi(page, output)) return false;
    loss.titles += found.titles;
    loss.otherText = loss.otherText || found.otherText;
    return true;
}

CString AnsiLossText(const AnsiLoss& loss) {
    constexpr wchar_t kHow[] = L" lost characters that the ANSI code page does not hold; they were written as \"#\".";
    CString text;
    if (loss.titles == 1) text = CString(L"1 link title") + kHow;
    else if (loss.titles > 1) {
        text.Format(L"%d link titles", loss.titles);
        text += kHow;
    }
    else if (loss.otherText) text = CString(L"Some text") + kHow;
    return text;
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

bool ReplaceTypedUrlValues(HKEY key, const std::vector<CString>& addresses, RegistryValueWriter write) {
    // The old entries, also past url999, so that no old address stays behind.
    std::vector<std::wstring> old;
    wchar_t name[16384];
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(std::size(name));
        LONG status = RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_SUCCESS && IsTypedUrlName(name)) old.emplace_back(name);
    }
    // The new list first, over the old entries of its names; only when every
    // address is in does what it does not replace go.
    std::set<std::wstring> replaced;
    int number = 0;
    for (const CString& address : addresses) {
        CString value;
        value.Format(L"url%d", ++number);
        if (write(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(address.GetString()),
                  static_cast<DWORD>((address.GetLength() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
            return false;
        replaced.insert(TypedUrlKey(value.str()));
    }
    for (const std::wstring& value : old)
        if (!replaced.count(TypedUrlKey(value))) RegDeleteValueW(key, value.c_str());
    return true;
}

int RestoreTypedURLs(const CString& page) {
    std::vector<PageLinkRecord> links;
    if (!CollectPageLinks(page, links)) {
        ShowMessageBox(nullptr, L"Cannot open " + page, L"Tarvelo", MB_OK);
        return 0;
    }
    if (links.empty()) {
        ShowMessageBox(nullptr, kNoTypedUrls, L"Tarvelo", MB_OK);
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
    // The registry holds the addresses themselves, not the page's HTML spelling of them.
    std::vector<CString> addresses;
    for (const PageLinkRecord& link : links) addresses.push_back(SingleLineAddress(DecodeCharacterReferences(link.address)));
    bool written = ReplaceTypedUrlValues(key, addresses);
    RegCloseKey(key);
    if (!written) ShowMessageBox(nullptr, kTypedUrlsBusy, L"Tarvelo", MB_OK);
    return written ? 1 : 0;
}

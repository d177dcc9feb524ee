#include "favorites/FavoriteEngine.h"

#include "core/MessageBox.h"
#include "install/InstallPath.h"
#include "pages/PageFile.h"
#include "util/PathParts.h"
#include "util/Strings.h"

#include <intshcut.h>
#include <shellapi.h>

namespace {

constexpr unsigned kShellContents = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS;

// Frees an item identifier or string of the task allocator when it goes.
template <typename T>
struct TaskMemory {
    T* p = nullptr;
    ~TaskMemory() { CoTaskMemFree(p); }
};

bool EndsWithNoCase(const CString& text, const wchar_t* tail) {
    int length = static_cast<int>(wcslen(tail));
    return text.GetLength() >= length && text.Right(length).CompareNoCase(tail) == 0;
}

// The address an Internet shortcut file points to, through a new instance of
// the system's own shortcut object for each file; empty when it cannot be
// loaded. The class object is looked up once per load.
CString ReadShortcutAddress(ComPtr<IClassFactory>& factory, const CString& path) {
    if (!factory && FAILED(CoGetClassObject(CLSID_InternetShortcut, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                            reinterpret_cast<void**>(factory.Receive()))))
        return CString();
    ComPtr<IUniformResourceLocatorW> locator;
    ComPtr<IPersistFile> file;
    if (FAILED(factory->CreateInstance(nullptr, IID_IUniformResourceLocatorW, reinterpret_cast<void**>(locator.Receive()))) ||
        FAILED(locator->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Receive()))) ||
        FAILED(file->Load(path, STGM_READ)))
        return CString();
    TaskMemory<wchar_t> url;
    if (FAILED(locator->GetURL(&url.p)) || !url.p) return CString();
    return CString(url.p);
}

// The address in an Internet shortcut file's own text: the URL value of its
// [InternetShortcut] section (names in any case, blanks and one pair of
// double quotes around the value dropped, as the system's profile reader
// does); empty when there is none. The file is a few lines of text (UTF-16
// with its mark, UTF-8 with its mark, or the system code page).
CString ReadShortcutFileAddress(const CString& path) {
    CString text;
    if (!ReadPageText(path, text)) return CString();
    bool inSection = false;
    for (int start = 0; start <= text.GetLength();) {
        int end = text.Find(L'\n', start);
        if (end < 0) end = text.GetLength();
        CString line = text.Mid(start, end - start);
        start = end + 1;
        line.Trim();
        if (line.Left(1) == L"[") {
            inSection = line.CompareNoCase(L"[InternetShortcut]") == 0;
            continue;
        }
        int equals = line.Find(L'=');
        if (!inSection || equals < 0) continue;
        CString name = line.Left(equals);
        name.Trim();
        if (name.CompareNoCase(L"URL") != 0) continue;
        CString value = line.Mid(equals + 1);
        value.Trim();
        if (value.GetLength() >= 2 && value[0] == L'"' && value[value.GetLength() - 1] == L'"')
            value = value.Mid(1, value.GetLength() - 2);
        return value;
    }
    return CString();
}

// The last part of a path.
CString FileNameOf(const CString& path) { return path.Mid(path.ReverseFind(L'\\') + 1); }

} // namespace

void ResetLinkRecord(LinkRecord& record) {
    record.name.Empty();
    record.address.Empty();
    record.folderFlag.Empty();
    record.level = 0;
}

CFavoriteEngine::CFavoriteEngine() : CFavoriteEngine(GetFavoritesPath()) {}

CFavoriteEngine::CFavoriteEngine(const CString& favoritesPath) : m_favoritesPath(favoritesPath) {
    CoInitialize(nullptr);  // left initialised: the thread keeps using COM
    m_favoritesPath.TrimRight(L'\\');
}

CFavoriteEngine::~CFavoriteEngine() { FreeTree(); }

HRESULT CFavoriteEngine::StrRetToText(STRRET* ret, LPCITEMIDLIST item, LPWSTR* text) {
    *text = nullptr;
    CString value;
    switch (ret->uType) {
    case STRRET_WSTR:
        value = ret->pOleStr ? ret->pOleStr : L"";
        CoTaskMemFree(ret->pOleStr);
        ret->pOleStr = nullptr;
        break;
    case STRRET_OFFSET:
        // 8-bit text of the system's ANSI code page inside the identifier.
        value = CodePageToWide(reinterpret_cast<const char*>(item) + ret->uOffset,
                               strlen(reinterpret_cast<const char*>(item) + ret->uOffset), CP_ACP);
        break;
    case STRRET_CSTR:
        value = CodePageToWide(ret->cStr, strnlen(ret->cStr, sizeof ret->cStr), CP_ACP);
        break;
    default: return E_FAIL;
    }
    size_t bytes = (static_cast<size_t>(value.GetLength()) + 1) * sizeof(wchar_t);
    *text = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*text) return E_FAIL;
    memcpy(*text, value.GetString(), bytes);
    return S_OK;
}

const FavoriteNode* CFavoriteEngine::LoadFavoritesTree() {
    TaskMemory<ITEMIDLIST> favorites;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_FAVORITES, &favorites.p))) return nullptr;
    ComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.Receive()))) return nullptr;
    return LoadFromIdList(desktop.Get(), favorites.p);
}

const FavoriteNode* CFavoriteEngine::LoadFolderTree(const CString& folder) {
    ComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.Receive()))) return nullptr;
    TaskMemory<ITEMIDLIST> id;
    CString path = folder;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, path.str().data(), nullptr, &id.p, nullptr))) {
        ShowMessageBox(nullptr, folder + L" cannot be reached", L"Tarvelo", MB_OK);
        return nullptr;
    }
    ComPtr<IShellFolder> probe;
    if (FAILED(desktop->BindToObject(id.p, nullptr, IID_IShellFolder, reinterpret_cast<void**>(probe.Receive())))) {
        ShowMessageBox(nullptr, L"Cannot bind to object.", L"Tarvelo", MB_OK);
        return nullptr;
    }
    return LoadFromIdList(desktop.Get(), id.p);
}

const FavoriteNode* CFavoriteEngine::LoadFromIdList(IShellFolder* desktop, LPITEMIDLIST folderId) {
    if (FAILED(SHGetMalloc(m_allocator.Receive()))) return nullptr;
    ComPtr<IShellFolder> folder;
    ComPtr<IEnumIDList> items;
    if (FAILED(desktop->BindToObject(folderId, nullptr, IID_IShellFolder, reinterpret_cast<void**>(folder.Receive()))) ||
        folder->EnumObjects(nullptr, kShellContents, items.Receive()) != S_OK || !items) {
        m_allocator.Reset();
        return nullptr;
    }
    FreeTree();
    m_root = std::make_unique<FavoriteNode>();
    EnumShellFolder(folder.Get(), m_root.get(), items.Get(), 0);
    m_allocator.Reset();
    m_shortcut.Reset();
    return m_root.get();
}

void CFavoriteEngine::EnumShellFolder(IShellFolder* folder, FavoriteNode* head, IEnumIDList* items, int level) {
    for (;;) {
        TaskMemory<ITEMIDLIST> item;
        ULONG fetched = 0;
        if (items->Next(1, &item.p, &fetched) != S_OK || !fetched) return;
        STRRET parsing = {};
        TaskMemory<wchar_t> path;
        if (FAILED(folder->GetDisplayNameOf(item.p, SHGDN_FORPARSING, &parsing)) ||
            FAILED(StrRetToText(&parsing, item.p, &path.p)))
            continue;
        // The item's attributes from its own folder: asking by path would make
        // the shell parse the path again, item by item.
        SFGAOF attributes = SFGAO_FOLDER | SFGAO_LINK;
        LPCITEMIDLIST one = item.p;
        if (FAILED(folder->GetAttributesOf(1, &one, &attributes))) attributes = 0;
        auto node = std::make_unique<FavoriteNode>();
        node->path = path.p;
        node->level = level + 1;
        // A folder shows the shell's display name (a Favorites folder may
        // carry a name of its own); a file's is its file name without the
        // extension, which the shell works out more slowly than the whole
        // walk takes otherwise (a millisecond an item under Wine).
        if (attributes & SFGAO_FOLDER) {
            STRRET display = {};
            TaskMemory<wchar_t> name;
            if (FAILED(folder->GetDisplayNameOf(item.p, SHGDN_NORMAL, &display)) ||
                FAILED(StrRetToText(&display, item.p, &name.p)))
                continue;
            node->name = name.p;
        } else {
            node->name = FileNameOf(node->path);
        }
        if (attributes & SFGAO_FOLDER) {
            ComPtr<IShellFolder> sub;
            if (FAILED(folder->BindToObject(item.p, nullptr, IID_IShellFolder, reinterpret_cast<void**>(sub.Receive()))))
                continue;
            node->kind = FavoriteNode::kFolder;
            ComPtr<IEnumIDList> subItems;
            if (sub->EnumObjects(nullptr, kShellContents, subItems.Receive()) == S_OK && subItems)
                EnumShellFolder(sub.Get(), node.get(), subItems.Get(), level + 1);
            head->folders.push_back(std::move(node));
        } else if ((attributes & SFGAO_LINK) || EndsWithNoCase(node->path, L".url")) {
            // Some shells mark only shell links as links; an Internet shortcut
            // file is one whatever its attributes say. A link is read by the
            // system's shortcut object; a shortcut file the shell does not
            // mark as one, by its own few lines (the system's object makes a
            // scratch file for each instance: over a millisecond a shortcut).
            if (!(attributes & SFGAO_LINK)) node->address = ReadShortcutFileAddress(node->path);
            if (node->address.IsEmpty()) node->address = ReadShortcutAddress(m_shortcut, node->path);
            if (node->address.IsEmpty()) continue;
            if (EndsWithNoCase(node->name, L".url")) node->name.Truncate(node->name.GetLength() - 4);
            node->kind = FavoriteNode::kLink;
            head->links.push_back(std::move(node));
        }
    }
}

void CFavoriteEngine::SetTree(std::unique_ptr<FavoriteNode> root) {
    FreeTree();
    m_root = std::move(root);
}

void CFavoriteEngine::FreeTree() { FreeNodes(std::move(m_root)); }

void CFavoriteEngine::FreeNodes(std::unique_ptr<FavoriteNode> first) {
    // Folder by folder from a work list, not by recursion: however deep the
    // folders nest, freeing them takes no stack of that depth.
    std::vector<std::unique_ptr<FavoriteNode>> pending;
    pending.push_back(std::move(first));
    while (!pending.empty()) {
        std::unique_ptr<FavoriteNode> node = std::move(pending.back());
        pending.pop_back();
        if (!node) continue;
        for (auto& folder : node->folders) pending.push_back(std::move(folder));
    }
}

CString CFavoriteEngine::WithoutFavoritesPath(const CString& path) const {
    int length = m_favoritesPath.GetLength();
    if (length == 0 || path.GetLength() < length || path.Left(length).CompareNoCase(m_favoritesPath) != 0)
        return path;
    if (path.GetLength() > length && path[length] != L'\\') return path;  // another folder that begins alike
    return path.Mid(length);
}

void CFavoriteEngine::FlattenTree(const FavoriteNode* head) {
    if (!head) return;
    for (const auto& folder : head->folders) {
        m_records.push_back({folder->name, CString(), folder->level, L"yes", WithoutFavoritesPath(folder->path)});
        FlattenTree(folder.get());
    }
    for (const auto& link : head->links) {
        int slash = link->path.ReverseFind(L'\\');
        CString parent = slash < 0 ? CString() : link->path.Left(slash);
        m_records.push_back({link->name, link->address, link->level, L"no", WithoutFavoritesPath(parent)});
    }
}

namespace {

// A path without its last "\" and what follows ("" when it has none).
CString Cut(const CString& path) {
    int slash = path.ReverseFind(L'\\');
    return slash < 0 ? CString() : path.Left(slash);
}

LinkRecord Heading(const CString& text, int level) { return {text, CString(), level, L"yes", text}; }

} // namespace

void CFavoriteEngine::GroupLinksByFolder() {
    if (m_records.size() < 2) return;
    std::vector<LinkRecord> out;
    bool defaultAdded = false;
    for (size_t i = 0; i < m_records.size(); ++i) {
        const LinkRecord& r = m_records[i];
        const LinkRecord* next = i + 1 < m_records.size() ? &m_records[i + 1] : nullptr;
        if (!r.IsFolder()) {
            out.push_back(r);
            if (!next) continue;
            if (next->IsFolder()) {
                if (r.level > 1 && Cut(r.path) != Cut(next->path)) {
                    CString path = r.path;
                    for (int k = 1; k <= r.level - 2; ++k) {
                        path = Cut(path);
                        if (path != Cut(next->path)) out.push_back(Heading(path, r.level - k - 1));
                    }
                }
            } else if (r.path != next->path) {
                if (next->level == 1) {
                    out.push_back(Heading(L"Default", 0));
                    defaultAdded = true;
                } else {
                    CString path = r.path;
                    for (int cuts = 1; path != next->path && !path.IsEmpty(); ++cuts) {
                        path = Cut(path);
                        out.push_back(Heading(path, r.level - cuts - 1));
                    }
                }
            }
            continue;
        }
        bool add = !next || (next->IsFolder() ? next->level <= r.level
                                              : next->level == r.level + 1 || next->level <= r.level);
        if (add) out.push_back(Heading(r.path, r.level));
    }
    if (!defaultAdded) out.push_back(Heading(L"Default", 0));
    m_records.clear();
    for (LinkRecord& record : out)
        if (!record.name.IsEmpty()) m_records.push_back(std::move(record));
}

void CFavoriteEngine::OrderLinkRecords() {
    const std::vector<LinkRecord>& in = m_records;
    std::vector<LinkRecord> out;
    auto isHeading = [&](size_t i, int level) { return in[i].IsFolder() && in[i].level == level; };
    size_t i = 0;
    while (i < in.size()) {
        const LinkRecord& r = in[i];
        if (!r.IsFolder()) {
            ++i;
            continue;
        }
        if (r.level == 1) {
            out.push_back(r);
            size_t j = i + 1;
            for (; j < in.size() && !in[j].IsFolder(); ++j)
                if (in[j].level == 2) out.push_back(in[j]);
            i = j;
            continue;
        }
        if (r.level < 2) {
            ++i;
            continue;
        }
        size_t start = i, resume = i + 1;
        for (size_t j = start + 1; j < in.size(); ++j) {
            if (!isHeading(j, 1)) continue;
            out.push_back(in[j]);
            size_t k = j + 1;
            if (k < in.size() && !in[k].IsFolder()) {
                while (k < in.size() && !in[k].IsFolder() && in[k].level == 2) out.push_back(in[k++]);
                resume = k;
            } else {
                resume = j + 1;
            }
            break;
        }
        for (int level = 2; level <= r.level; ++level) {
            for (size_t j = start; j < in.size(); ++j) {
                if (!isHeading(j, level)) continue;
                out.push_back(in[j]);
                for (size_t k = j + 1; k < in.size() && !(in[k].IsFolder() && in[k].level < level); ++k)
                    out.push_back(in[k]);
                break;
            }
        }
        i = resume;
    }
    for (size_t j = 0; j < in.size(); ++j) {
        if (in[j].name != L"Default") continue;
        out.push_back(in[j]);
        for (const LinkRecord& record : in)
            if (!record.IsFolder() && record.level == 1) out.push_back(record);
        break;
    }
    m_records = std::move(out);
}

bool CFavoriteEngine::ImportFavorites(const CString& pagePath) {
    FlattenTree(m_root.get());
    GroupLinksByFolder();
    OrderLinkRecords();
    return WriteFavoritesLinkPage(pagePath);
}

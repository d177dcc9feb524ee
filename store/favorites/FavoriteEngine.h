// The favourites engine: a tree of browser favourites (folders of Internet
// shortcut files, read through the shell) turned into a flat, ordered list of
// link records and back, and the formats written from and read into that
// list (Netscape bookmark files, link pages). One engine runs one pipeline:
// construct, load a tree or parse a file, write, destroy.
#pragma once
#include "com/ComPtr.h"
#include "core/String.h"

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <vector>

// One favourite, folder or group heading.
struct LinkRecord {
    CString name;
    CString address;     // empty for folders and headings
    int level = 0;
    CString folderFlag;  // "yes" for a folder or heading, "no" for a link
    CString path;        // the folder the record belongs to
    bool IsFolder() const { return folderFlag == L"yes"; }
};
// Name, address and folder flag emptied, level 0; the path stays.
void ResetLinkRecord(LinkRecord& record);

// A node of a loaded tree. The root (kind kListHead) and every folder hold
// their sub-folders and their links, each in the order the shell gave them.
struct FavoriteNode {
    enum Kind : unsigned { kListHead = 0, kLink = 0x10000, kFolder = 0x20000000 };
    unsigned kind = kListHead;
    CString name;
    CString address;  // links only
    CString path;     // full file-system path
    int level = 0;    // 1 for the items directly inside the walked folder
    std::vector<std::unique_ptr<FavoriteNode>> folders;
    std::vector<std::unique_ptr<FavoriteNode>> links;
};

class CFavoriteEngine {
public:
    // Initialises COM on the thread and reads the Favorites folder of the
    // user's Explorer Shell Folders ("Error, cannot open hKEY!" when the key
    // cannot be opened; the path then stays empty).
    CFavoriteEngine();
    // The same with the given Favorites folder (no registry read).
    explicit CFavoriteEngine(const CString& favoritesPath);
    virtual ~CFavoriteEngine();
    CFavoriteEngine(const CFavoriteEngine&) = delete;
    CFavoriteEngine& operator=(const CFavoriteEngine&) = delete;

    // A shell string return as a new string of the task allocator: S_OK, or
    // E_FAIL with a null output. A wide string the shell allocated is freed.
    virtual HRESULT StrRetToText(STRRET* ret, LPCITEMIDLIST item, LPWSTR* text);

    // Builds the tree from the browser's Favorites special folder; the root,
    // or null (silently) when the shell fails.
    const FavoriteNode* LoadFavoritesTree();
    // Builds the tree from a folder: null after "<path> cannot be reached" or
    // "Cannot bind to object.".
    const FavoriteNode* LoadFolderTree(const CString& folder);
    // Takes a tree built elsewhere (a page's sections and links).
    void SetTree(std::unique_ptr<FavoriteNode> root);
    // Frees the loaded tree (the root becomes null).
    void FreeTree();
    // Frees a node with everything below it, folders and their contents.
    static void FreeNodes(std::unique_ptr<FavoriteNode> first);
    const FavoriteNode* Root() const { return m_root.get(); }

    // Appends the tree below `head` to the records in pre-order: at each level
    // the sub-folders (each followed by its contents), then the links. Paths
    // lose the Favorites folder in front.
    void FlattenTree(const FavoriteNode* head);
    // Rewrites flattened favourites into headed groups.
    void GroupLinksByFolder();
    // Top-level groups with their sub-groups, then the "Default" group.
    void OrderLinkRecords();
    // Flatten, group, order, then the link page "Favorite". False when the
    // page cannot be written.
    bool ImportFavorites(const CString& pagePath);

    // Netscape bookmark files of the loaded tree: text with the header that
    // names its encoding, UTF-8 or UTF-16 LE with the byte-order mark. False
    // after "File not Created, A Error Happened While Creating the File.".
    bool WriteNetscapeBookmarkFileUtf8(const CString& path);
    bool WriteNetscapeBookmarkFileUnicode(const CString& path);
    // Reads a bookmark file into the records, its tags in any case and its
    // text in the character set it is written in (ReadHtmlFileText); false
    // after "File not openned." (the records are then empty).
    bool ParseNetscapeBookmarkFile(const CString& path);
    // The records that are links (not folders or headings).
    int LinkCount() const;
    // Parsed records grouped by folder, duplicates dropped, top-level links
    // last under the heading "Default".
    void GroupBookmarkLinks();
    // Link pages of the records ("Favorite" / "Bookmarks" heading); false after
    // "File not Created, A Error Happened While Creating the File.".
    bool WriteFavoritesLinkPage(const CString& path);
    bool WriteBookmarksLinkPage(const CString& path);
    // The links of a parsed bookmark file put into an existing page instead:
    // grouped as for its link page, the links of each folder go through the
    // link insertion together, into the section its link page would give
    // them (the folder's heading), but for those whose address that section
    // of the page already holds. The page
    // keeps everything it held and is written once. The number of links
    // added, or -1 after a message when the page cannot be read or written
    // (the page is then unchanged).
    int MergeBookmarksIntoPage(const CString& path);

    std::vector<LinkRecord>& Records() { return m_records; }
    const std::vector<LinkRecord>& Records() const { return m_records; }
    const CString& FavoritesPath() const { return m_favoritesPath; }

private:
    const FavoriteNode* LoadFromIdList(IShellFolder* desktop, LPITEMIDLIST folderId);
    void EnumShellFolder(IShellFolder* folder, FavoriteNode* head, IEnumIDList* items, int level);
    CString WithoutFavoritesPath(const CString& path) const;
    bool WriteBookmarkFile(const CString& path, bool utf8);
    bool WriteLinkPage(const CString& path, const CString& heading);

    std::unique_ptr<FavoriteNode> m_root;
    std::vector<LinkRecord> m_records;
    CString m_favoritesPath;
    ComPtr<IMalloc> m_allocator;  // the shell's task allocator during a load
    ComPtr<IClassFactory> m_shortcut;  // makes the shortcut objects that read the files of a load
};

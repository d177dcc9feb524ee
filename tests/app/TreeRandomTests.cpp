// A seeded run of tree operations against a model of the bookmark folder:
// after every step the disk holds exactly the model, every live item stands
// for an entry on disk, each open folder shows exactly its folder, and the
// AllPages index names exactly the pages on disk.
#include "MessageBoxRecorder.h"
#include "Random.h"
#include "TreeFixture.h"
#include "index/AllPagesIndex.h"
#include "resource.h"
#include "tree/TreeNames.h"

#include <algorithm>
#include <iterator>

namespace {

// The model's key of a path below Allpages: folders end in "\", pages lose ".htm".
CString KeyOf(const CString& allpages, const CString& path, bool folder) {
    CString relative = path.Mid(allpages.GetLength() + 1);
    return folder ? relative + L"\\" : relative.Left(relative.GetLength() - 4);
}

std::set<CString> Pages(const std::set<CString>& entries) {
    std::set<CString> pages;
    for (const CString& entry : entries)
        if (entry.Right(1) != L"\\") pages.insert(entry);
    return pages;
}

// Removes a page, or a folder with everything below it.
void Erase(std::set<CString>& model, const CString& key) {
    for (auto it = model.begin(); it != model.end();) {
        if (*it == key || (key.Right(1) == L"\\" && it->Left(key.GetLength()) == key)) it = model.erase(it);
        else ++it;
    }
}

// Moves a page or folder key (and what is below a folder) to a new key.
void Rename(std::set<CString>& model, const CString& from, const CString& to) {
    std::set<CString> moved;
    for (auto it = model.begin(); it != model.end();) {
        if (*it == from || (from.Right(1) == L"\\" && it->Left(from.GetLength()) == from)) {
            moved.insert(to + it->Mid(from.GetLength()));
            it = model.erase(it);
        } else {
            ++it;
        }
    }
    model.insert(moved.begin(), moved.end());
}

}  // namespace

class TreeRandom : public TreeWindow {
protected:
    std::vector<HTREEITEM> LiveItems() {
        std::vector<HTREEITEM> items;
        for (const auto& [path, item] : Tree().m_itemsByPath) items.push_back(item);
        return items;
    }
    CString Key(HTREEITEM item) { return KeyOf(m_allpages, Tree().ItemPath(item), !Tree().IsPage(item)); }
    CString FolderKey(HTREEITEM target) {
        HTREEITEM folder = Tree().IsPage(target) ? Tree().GetParentItem(target) : target;
        return folder == Tree().GetRootItem() ? CString() : Key(folder);
    }
    bool Taken(const CString& folderKey, const CString& name, bool page) {
        CString path = m_allpages + L"\\" + folderKey + name + (page ? L".htm" : L"");
        return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
    }
    void CheckAgrees(const std::set<CString>& model, int step, uint32_t seed) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed << " step " << step);
        auto difference = [](const std::set<CString>& a, const std::set<CString>& b) {
            std::set<CString> only;
            std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::inserter(only, only.end()));
            return only;
        };
        std::set<CString> disk = DiskEntries();
        ASSERT_TRUE(disk == model) << "only on disk " << ::testing::PrintToString(difference(disk, model))
                                   << ", only in the model " << ::testing::PrintToString(difference(model, disk));
        std::set<CString> index = IndexNames(), pages = Pages(model);
        ASSERT_TRUE(index == pages) << "only in the index " << ::testing::PrintToString(difference(index, pages))
                                    << ", pages without a value " << ::testing::PrintToString(difference(pages, index));
        ASSERT_EQ(Tree().m_itemsByPath.size(), Tree().GetCount());
        for (const auto& [path, item] : Tree().m_itemsByPath) {
            // The item stands where the tree shows it: its labels up to the root name its path.
            if (item != Tree().GetRootItem()) {
                CString chain = Tree().GetItemText(item);
                for (HTREEITEM at = Tree().GetParentItem(item); at && at != Tree().GetRootItem(); at = Tree().GetParentItem(at))
                    chain = Tree().GetItemText(at) + L"\\" + chain;
                CString key = Key(item);
                ASSERT_EQ(chain, Tree().IsPage(item) ? key : key.Left(key.GetLength() - 1)) << ::testing::PrintToString(path);
            }
            ASSERT_NE(GetFileAttributesW(path), INVALID_FILE_ATTRIBUTES) << ::testing::PrintToString(path);
            ASSERT_EQ(Tree().IsPage(item), !(GetFileAttributesW(path) & FILE_ATTRIBUTE_DIRECTORY))
                << ::testing::PrintToString(path);
            if (Tree().IsPage(item) || !Tree().IsExpanded(item)) continue;
            std::set<CString> shown, onDisk;
            for (const CString& label : Labels(item)) shown.insert(label);
            CString prefix = item == Tree().GetRootItem() ? CString() : Key(item);
            for (const CString& entry : model) {
                if (entry.Left(prefix.GetLength()) != prefix || entry.GetLength() == prefix.GetLength()) continue;
                CString rest = entry.Mid(prefix.GetLength());
                int slash = rest.Find(L'\\');
                if (slash < 0 || slash == rest.GetLength() - 1) onDisk.insert(slash < 0 ? rest : rest.Left(slash));
            }
            ASSERT_EQ(shown, onDisk) << ::testing::PrintToString(path);
        }
    }
};

TEST_F(TreeRandom, FiveHundredOperationsKeepDiskTreeAndIndexInStep) {
    const uint32_t seed = 1402;
    Random random(seed);
    Folder(L"a");
    Page(L"a\\b.htm");
    Folder(L"c");
    Page(L"d.htm");
    std::set<CString> model{L"a\\", L"a\\b", L"c\\", L"d"};
    IndexAllPages(m_allpages);
    OpenWindow();
    MessageBoxRecorder boxes(IDOK);
    CheckAgrees(model, 0, seed);

    for (int step = 1; step <= 500 && !HasFatalFailure(); ++step) {
        // A refresh fills the tree afresh: the root item of the step before
        // may be gone, and its handle taken by another item.
        HTREEITEM root = Tree().GetRootItem();
        std::vector<HTREEITEM> items = LiveItems();
        HTREEITEM item = random.Pick(items);
        HTREEITEM other = random.Pick(items);
        CString name = random.Chance(10) ? random.FromAlphabet(L"ab.\\:?", 0, 3) : random.FromAlphabet(L"abc", 1, 2);
        bool sound = IsAcceptableItemName(name);
        int operation = random.Int(0, 8);
        SCOPED_TRACE(::testing::Message() << "operation " << operation << " on " << ::testing::PrintToString(Tree().ItemPath(item))
                                          << " with " << ::testing::PrintToString(Tree().ItemPath(other)) << " name "
                                          << ::testing::PrintToString(name));
        switch (operation) {
        case 0: {  // new page into the item's folder
            Tree().SelectItem(item);
            item = Tree().GetSelectedItem();  // a hidden item may not take the selection
            CString folder = FolderKey(item);
            bool made = sound && !Taken(folder, name, true);
            EXPECT_EQ(m_frame->NewPage(name), made);
            if (made) model.insert(folder + name);
            break;
        }
        case 1: {  // new folder
            Tree().SelectItem(item);
            item = Tree().GetSelectedItem();
            CString folder = FolderKey(item);
            bool made = sound && !Taken(folder, name, false);
            EXPECT_EQ(m_frame->NewFolder(name), made);
            if (made) model.insert(folder + name + L"\\");
            break;
        }
        case 2: {  // rename by label edit
            if (item == root) break;
            CString key = Key(item);
            CString parent = FolderKey(Tree().GetParentItem(item));
            if (Tree().GetParentItem(item) == root) parent.Empty();
            bool page = Tree().IsPage(item);
            CString renamed = parent + name + (page ? L"" : L"\\");
            bool done = sound && (renamed == key || !Taken(parent, name, page));
            EXPECT_EQ(EditLabel(item, name), done || renamed == key);
            if (done) Rename(model, key, renamed);
            break;
        }
        case 3: {  // delete
            Tree().SelectItem(item);
            item = Tree().GetSelectedItem();
            if (item == root) break;
            CString key = Key(item);
            Tree().DeleteSelected();
            Erase(model, key);
            break;
        }
        case 4: {  // move
            if (item == root || other == item) break;
            CString key = Key(item), folder = FolderKey(other);
            bool page = Tree().IsPage(item);
            CString last = page ? key.Mid(key.ReverseFind(L'\\') + 1)
                                : key.Left(key.GetLength() - 1).Mid(key.Left(key.GetLength() - 1).ReverseFind(L'\\') + 1);
            bool intoItself = !page && (folder + L"\\").Left(key.GetLength()) == key;
            bool moved = !intoItself && !Taken(folder, last, page);
            Tree().MoveItem(item, other);
            if (moved) Rename(model, key, folder + last + (page ? L"" : L"\\"));
            break;
        }
        case 5:    // copy by drop
        case 6: {  // copy and paste
            // Copies of folders double the store: they stop once it is big enough.
            if (item == root || (!Tree().IsPage(item) && model.size() > 120)) break;
            std::set<CString> before = DiskEntries();
            if (random.Chance(50)) {
                Tree().CopyOnDrop(item, other);
            } else {
                Tree().SelectItem(item);
                Tree().CopySelected();
                Tree().PasteItem(other, Tree().m_copiedPath);
            }
            // Whatever was copied is new; nothing that was there went.
            std::set<CString> after = DiskEntries();
            EXPECT_TRUE(std::includes(after.begin(), after.end(), before.begin(), before.end()));
            model = after;
            break;
        }
        case 7:  // the user opens or closes a folder
            if (!Tree().IsPage(item)) UserExpand(item, !Tree().IsExpanded(item));
            break;
        case 8:
            if (random.Chance(20)) m_frame->SendMessage(WM_COMMAND, ID_FILE_REFRESH_TREE);
            break;
        }
        CheckAgrees(model, step, seed);
    }
    EXPECT_GT(model.size(), 4u);
}

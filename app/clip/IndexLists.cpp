#include "clip/IndexLists.h"

#include "util/Strings.h"

namespace {

std::vector<CString> Split(const CString& text, wchar_t delimiter) {
    std::vector<CString> pieces;
    int start = 0;
    for (int hit = text.Find(delimiter); hit >= 0; hit = text.Find(delimiter, start)) {
        pieces.push_back(text.Mid(start, hit - start));
        start = hit + 1;
    }
    pieces.push_back(text.Mid(start));
    return pieces;
}

// A section name as the index holds it: "," is written "###", ";" "|||".
CString UnescapeIndexTag(CString tag) {
    tag.Replace(L"###", L",");
    tag.Replace(L"|||", L";");
    return tag;
}

}  // namespace

std::vector<CString> ListablePages(const std::vector<IndexEntry>& index,
                                   const std::function<bool(const CString& page)>& pageFileExists) {
    std::vector<CString> pages;
    for (const IndexEntry& entry : index) {
        if (entry.sections == L"0") continue;
        if (!pageFileExists(entry.page)) continue;
        pages.push_back(entry.page);
    }
    return pages;
}

SectionList SectionsOfPage(const CString& allPagesValue, const CString& page, const CString& savedPage,
                           const CString& savedSection, const CString& focusSection) {
    SectionList list;
    if (allPagesValue.IsEmpty()) return list;
    // Names as the user typed them: the index holds them in the page's spelling.
    CString saved = DecodeCharacterReferences(savedSection), focus = DecodeCharacterReferences(focusSection);
    for (const CString& entry : Split(allPagesValue, L';')) {
        CString name = DecodeCharacterReferences(UnescapeIndexTag(Split(entry, L',').front()));
        CString upper = name;
        if (upper.MakeUpper() == L"END") continue;
        if (name.IsEmpty()) continue;
        list.names.push_back(name);
        bool isSaved = name == saved && page == savedPage;
        if (isSaved || name == focus) list.selected = static_cast<int>(list.names.size()) - 1;
    }
    return list;
}

CString EscapeSectionForSettings(const CString& section) {
    CString stored = section;
    stored.Replace(L",", L"###");
    return stored;
}

CString UnescapeSectionFromSettings(const CString& stored) {
    CString section = stored;
    section.Replace(L"###", L",");
    return section;
}

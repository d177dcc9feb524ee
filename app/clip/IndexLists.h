// The page and section lists of the "Add to Tarvelo" dialog, taken from the
// AllPages index without opening page files, and the escaping of section
// names in the settings ("," is stored as "###").
#pragma once
#include "core/String.h"

#include <functional>
#include <utility>
#include <vector>

// One value of the AllPages index: the page path and its section list.
struct IndexEntry {
    CString page;
    CString sections;
};

// The pages the dialog offers, in index order: those whose page file exists
// and whose value is not the text "0".
std::vector<CString> ListablePages(const std::vector<IndexEntry>& index,
                                   const std::function<bool(const CString& page)>& pageFileExists);

struct SectionList {
    std::vector<CString> names;  // in index order, "END" in any case left out
    int selected = -1;           // the entry to select, -1 for none
};

// The sections of one page from its AllPages value ("tag,col;tag,col"), with
// the entry to preselect: the saved section when the page is the saved page,
// else the page's remembered section; when several qualify the last one wins.
SectionList SectionsOfPage(const CString& allPagesValue, const CString& page, const CString& savedPage,
                           const CString& savedSection, const CString& focusSection);

// A section name as the settings store it ("," written "###") and back.
CString EscapeSectionForSettings(const CString& section);
CString UnescapeSectionFromSettings(const CString& stored);

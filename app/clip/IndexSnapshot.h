// The AllPages index as the "Add to Tarvelo" dialog sees it: every value of
// the AllPages section read in one pass, and whether each page's file is
// still there.
#pragma once
#include "clip/IndexLists.h"

#include <unordered_map>

struct IndexSnapshot {
    CString allpagesFolder;
    std::vector<IndexEntry> entries;  // in the registry's enumeration order

    // True when the page's file exists below the Allpages folder: the page
    // path and ".htm", or the path itself for a page kept as ".html".
    bool HasPage(const CString& page) const;

private:
    mutable std::unordered_map<CString, bool> m_exists;
};

// Reads the AllPages section of the settings key; empty when it is missing.
IndexSnapshot ReadIndexSnapshot();

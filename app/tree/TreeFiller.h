// TreeFiller: builds the folder tree's root and top level, and clears it.
// The tree's path maps survive a clear, so open marks come back on refill.
#pragma once
#include "core/String.h"

#include <windows.h>
#include <commctrl.h>

class CXTreeCtrl;

struct TreeFiller {
    CXTreeCtrl* m_tree = nullptr;
    HIMAGELIST m_images = nullptr;
    CString m_allpagesPath;

    void SetUp(CXTreeCtrl* tree, HIMAGELIST images, const CString& allpagesPath);
    // Root (labelled by Init "Title", default "BookMarks") and the top level:
    // 1 when at least one folder or page was added.
    int FillTree();
    void ClearTree();
};

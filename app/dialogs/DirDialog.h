// CDirDialog: the shell's folder browser. DoBrowse shows it (titled by
// m_strTitle, "Open" when empty), rooted at m_strInitDir when given and
// starting at m_strSelDir, and puts the chosen folder's path in m_strPath.
#pragma once
#include "core/String.h"

#include <windows.h>

class CDirDialog {
public:
    CDirDialog() = default;
    virtual ~CDirDialog() = default;

    CString m_strPath;     // the chosen folder (result)
    CString m_strInitDir;  // root folder of the browser
    CString m_strSelDir;   // folder selected when the browser opens
    CString m_strTitle;    // text above the folder tree
    int m_iImageIndex = 0;

    BOOL DoBrowse();
};

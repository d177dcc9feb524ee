// A folder link made for a test: a junction where the file system takes one;
// under Wine, whose file systems take none, a Unix symbolic link, which Wine
// lists as a folder with FILE_ATTRIBUTE_REPARSE_POINT as Windows lists a
// junction. The link (never what it leads to) goes when the object goes.
#pragma once
#include "core/String.h"

#include <string>

class FolderLink {
public:
    // Makes `link` (not there yet) lead to the folder `target`; Made() tells
    // whether it could be made.
    FolderLink(const CString& link, const CString& target);
    ~FolderLink();
    FolderLink(const FolderLink&) = delete;
    FolderLink& operator=(const FolderLink&) = delete;

    bool Made() const { return m_kind != Kind::None; }

private:
    enum class Kind { None, Junction, UnixLink };
    CString m_link;
    std::string m_unixLink;  // a Unix link's own path
    Kind m_kind = Kind::None;
};

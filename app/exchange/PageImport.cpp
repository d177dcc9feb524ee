#include "exchange/PageImport.h"

#include "MainFrame.h"
#include "exchange/ExchangeMessages.h"
#include "favorites/FavoriteEngine.h"
#include "forms/FormRecordImport.h"
#include "index/AllPagesIndex.h"
#include "links/LinkMerge.h"
#include "pages/PageConversions.h"
#include "pages/PageFile.h"
#include "pages/PageMarkers.h"
#include "pages/PageRewriteLock.h"
#include "util/Files.h"
#include "util/PathParts.h"
#include "util/Strings.h"

#include "core/MessageBox.h"

#include <windows.h>

#include <memory>

namespace {

void Tell(const CString& text) { ShowMessageBox(nullptr, text, L"Tarvelo", MB_OK); }

// A temporary file of the system's temporary folder, removed when it goes.
class TemporaryFile {
public:
    TemporaryFile() {
        wchar_t folder[MAX_PATH + 1] = {};
        wchar_t name[MAX_PATH + 1] = {};
        DWORD length = GetTempPathW(MAX_PATH, folder);
        if (length > 0 && length < MAX_PATH && GetTempFileNameW(folder, L"tqb", 0, name)) m_path = name;
    }
    ~TemporaryFile() {
        if (!m_path.IsEmpty()) DeleteFileW(m_path);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const CString& Path() const { return m_path; }

private:
    CString m_path;
};

// Joins the links of the page just imported under a free name into the page
// of its own name, when that loses nothing; the imported copy then goes.
// False when the copy stays (words of its own, or a page that cannot be
// read or written).
bool MergeIntoSameNamedPage(const CString& copy, const CString& page) {
    PageRewriteLock lock;
    CString current, imported;
    if (!ReadPageText(page, current) || !ReadPageText(copy, imported)) return false;
    ImportedPageMerge merge = MergeImportedPageLinks(current, imported);
    if (!merge.keepsBoth) return false;
    if (merge.linksAdded > 0 && !WritePageText(page, merge.merged)) return false;
    DeleteFileW(copy);
    return true;
}

} // namespace

bool IsHtmlFileName(const CString& name) {
    if (name.Find(L'.') < 0) return false;
    CString ext = GetNameExt(name);
    ext.MakeUpper();
    return ext == L"HTM" || ext == L"HTML";
}

CString ImportTarget(const CString& source, const CString& destinationFolder) {
    CString title = GetNameWithoutExt(GetPathLastPart(source));
    if (title.IsEmpty() || title == L"." || title == L"..") return CString();
    return destinationFolder + L"\\" + title + L".htm";
}

int ImportFile(const CString& source, const CString& destinationFolder, CString* written, SameNamedPage same,
               const FormRecordRenames* renames) {
    bool renumbers = renames && !renames->IsEmpty();
    CString named = ImportTarget(source, destinationFolder);
    if (named.IsEmpty()) {
        Tell(kImportNoTitle);
        return 0;
    }
    if (IsSamePath(source, named)) {
        Tell(kImportSameFile);
        return 0;
    }
    // A page of that name stays as it is: the import takes a free name beside it.
    CString target = MakeUniquePath(named);
    switch (DetectTextEncoding(source)) {
    case 0:
        return 0;  // the probe has said that it cannot open the file
    case 1:
        if (int flag = CMainFrame::GetPageMarker(source); flag == 1 || flag == 2) {
            // Already a page: its bytes as they are, unless the page of its
            // name holds exactly these bytes already.
            std::string bytes, present;
            if (!ReadWholeFile(source, bytes)) {
                Tell(kCannotCreateImport);
                return 0;
            }
            if (CString text; renumbers && ReadPageText(source, text)) {
                CString renamed = renames->RenameLinks(text);
                if (renamed != text) bytes = PageFileBytes(renamed);
            }
            if (target != named && ReadWholeFile(named, present) && present == bytes) {
                if (written) *written = named;
                return 1;
            }
            if (!WriteFileBytesReplacing(target, bytes)) {
                Tell(kCannotCreateImport);
                return 0;
            }
            break;
        }
        [[fallthrough]];
    case 2:
        if (!WrapBodyInDiv(source, target)) return 0;
        if (CString text; renumbers && ReadPageText(target, text)) {
            CString renamed = renames->RenameLinks(text);
            if (renamed != text && !WritePageText(target, renamed)) {
                DeleteFileW(target);
                Tell(kCannotCreateImport);
                return 0;
            }
        }
        break;
    default:
        Tell(kUnknownFormat);
        return 0;
    }
    if (same == SameNamedPage::MergeLinks && target != named && MergeIntoSameNamedPage(target, named)) target = named;
    IndexImportedPage(target);
    if (written) *written = target;
    return 1;
}

void IndexImportedPage(const CString& page) {
    if (GetPageIndexFlag(page) == 0) IndexPage(page);
    else RegUpdateFile(page);
}

int ImportFolderInto(const CString& folder, const CString& destination, SameNamedPage same,
                     const FormRecordRenames* renames) {
    CreateDirectoryW(destination, nullptr);
    int written = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(folder + L"\\*.*", &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    std::unique_ptr<void, decltype(&FindClose)> closer(find, &FindClose);
    do {
        CString name(data.cFileName);
        if (name == L"." || name == L"..") continue;
        CString full = folder + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
            written += ImportFolderInto(full, destination + L"\\" + name, same, renames);
        } else if (IsHtmlFileName(name)) {
            written += ImportFile(full, destination, nullptr, same, renames);
        }
    } while (FindNextFileW(find, &data));
    return written;
}

bool ImportBookmarkFile(const CString& file, const CString& page, bool viaTemporary) {
    std::string probe;
    if (!ReadWholeFile(file, probe)) {
        Tell(L"File not openned.");
        return false;
    }
    CFavoriteEngine engine(CString{});
    if (viaTemporary) {
        TemporaryFile temporary;
        if (temporary.Path().IsEmpty() || !WrapBodyInDiv(file, temporary.Path()) ||
            !engine.ParseNetscapeBookmarkFile(temporary.Path()))
            return false;
    } else if (!engine.ParseNetscapeBookmarkFile(file)) {
        return false;
    }
    // A file that gives no link (not a bookmark file, or one this reader
    // cannot follow) makes no page and changes none.
    if (engine.LinkCount() == 0) {
        Tell(kImportNoLinks);
        return false;
    }
    if (FileExists(page)) return engine.MergeBookmarksIntoPage(page) >= 0;
    return engine.WriteBookmarksLinkPage(page);
}

#include "exchange/PageExport.h"

#include "bookmarks/BookmarkExport.h"
#include "exchange/DialogExport.h"
#include "exchange/ExchangeMessages.h"
#include "install/InstallPath.h"
#include "pages/PageConversions.h"
#include "util/Files.h"
#include "util/Folders.h"
#include "util/PathParts.h"

#include "core/MessageBox.h"

#include <windows.h>

namespace {

bool Refuse(const CString& text) {
    ShowMessageBox(nullptr, text, L"Tarvelo", MB_OK);
    return false;
}

bool ExportPage(const ExportRequest& request, const CString& allpages) {
    CString full = allpages + L"\\" + request.source;
    if (!IsPathWithin(full, allpages) || IsSamePath(full, allpages)) return Refuse(L"Selected file was out of range!");
    CString ext = GetFileExt(full);
    if (ext == L"htm" || ext == L"HTM") {
        CString target = request.destination + L"\\" + GetNameWithoutExt(GetPathLastPart(full)) + L".htm";
        switch (request.fileType) {
        case kExportAnsi:
            return ConvertFileToAnsi(full, target);
        case kExportBookmarkFile:
            return ExportToBookmarkFileUnicode(full, target);
        default:
            return CopyFileW(full, target, FALSE) != 0;
        }
    }
    return ShellCopy(request.destination, full) != 0;
}

bool ExportFolder(const ExportRequest& request, const CString& allpages) {
    CString full = allpages + L"\\" + request.source;
    while (full.GetLength() > 3 && full[full.GetLength() - 1] == L'\\') full.Truncate(full.GetLength() - 1);
    if (!IsPathWithin(full, allpages) || IsSamePath(full, allpages)) return Refuse(L"Selected file was out of range!");
    if (!FolderExists(full)) return Refuse(L"Selected directory was not exist!");
    if (!ShellCopy(request.destination, full)) return false;
    if (request.fileType == kExportAnsi) ConvertFolderPages(request.destination + L"\\" + GetPathLastPart(full), true);
    return true;
}

bool ExportEverything(const ExportRequest& request) {
    CString saved = request.destination + L"\\TQ Bookmarks";
    CreateDirectoryW(saved, nullptr);
    int pages = CopyFolder(saved + L"\\AllPages", request.installPath + L"\\BookMark\\AllPages\\");
    int forms = FolderExists(request.installPath + kFormsFolder)
                    ? CopyFolder(saved + L"\\Forms", request.installPath + L"\\BookMark\\Forms\\")
                    : 1;
    return pages && forms;
}

} // namespace

bool RunExport(const ExportRequest& request) {
    if (request.destination.IsEmpty()) return Refuse(L"Export failed, no destination folder selected!");
    if (request.what == kExportPage && request.source.IsEmpty()) return Refuse(L"Export failed, no file selected!");
    if (request.what == kExportFolder && request.source.IsEmpty()) return Refuse(L"Export failed, no dir selected!");
    if (!IsUsableInstallPath(request.installPath)) return false;
    // Copies made into the store would land among the pages they came from.
    if (IsPathWithin(request.destination, request.installPath + L"\\Bookmark")) return Refuse(kExportIntoStore);
    CString allpages = request.installPath + kAllpagesFolder;
    switch (request.what) {
    case kExportPage:
        return ExportPage(request, allpages);
    case kExportFolder:
        return ExportFolder(request, allpages);
    default:
        return ExportEverything(request);
    }
}

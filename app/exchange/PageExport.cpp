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

#include <vector>

namespace {

bool Refuse(const CString& text) {
    ShowMessageBox(nullptr, text, L"Tarvelo", MB_OK);
    return false;
}

// A path an export writes: a file, or a folder it makes or copies into.
struct Target {
    CString path;
    bool folder = false;
};

// True when writing the target would replace something: a file or folder
// where a file goes, a file where a folder goes (a folder that is there
// already is copied into, nothing of it lost).
bool IsTaken(const Target& target) {
    DWORD attributes = GetFileAttributesW(target.path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return !target.folder || !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The paths a copy of the source folder as `copy` writes: the folder itself
// and, below it, every folder and file of the source.
void AddFolderTargets(const CString& source, const CString& copy, std::vector<Target>& targets) {
    targets.push_back({copy, true});
    std::vector<FolderEntry> entries;
    if (!ListFolderEntries(source, entries)) return;
    for (const FolderEntry& entry : entries) {
        if (!(entry.attributes & FILE_ATTRIBUTE_DIRECTORY)) targets.push_back({copy + L"\\" + entry.name});
        else if (!(entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            AddFolderTargets(source + L"\\" + entry.name, copy + L"\\" + entry.name, targets);
    }
}

// Asked once, before the export writes anything: when a path it writes is
// taken, whether to replace what is there. True when nothing is taken or the
// user says Yes.
bool MayWrite(const std::vector<Target>& targets, const CString& destination) {
    std::vector<const Target*> taken;
    for (const Target& target : targets)
        if (IsTaken(target)) taken.push_back(&target);
    if (taken.empty()) return true;
    CString name = taken.front()->path;
    if (name.GetLength() > destination.GetLength() + 1 && name.Left(destination.GetLength()).CompareNoCase(destination) == 0)
        name = name.Mid(destination.GetLength() + 1);
    CString question = L"The destination folder already holds \"" + name + L"\"";
    if (taken.size() == 1) {
        question += L". Replace it?";
    } else {
        CString more;
        more.Format(L" and %d more of the names this export writes. Replace them?", static_cast<int>(taken.size() - 1));
        question += more;
    }
    return ShowMessageBox(nullptr, question, L"Warning", MB_YESNO | MB_ICONWARNING) == IDYES;
}

bool IsPageName(const CString& path) {
    CString ext = GetFileExt(path);
    ext.MakeUpper();
    return ext == L"HTM" || ext == L"HTML";
}

// Says what the ANSI copies lost, if anything.
void TellAnsiLoss(const AnsiLoss& loss) {
    if (CString text = AnsiLossText(loss); !text.IsEmpty()) ShowMessageBox(nullptr, text, L"Tarvelo", MB_OK);
}

// Rewrites a page the export copied as ANSI, in place. A copy keeps its
// source's read-only flag, which would refuse the rewrite: the flag is taken
// off for it and put back after.
bool ConvertCopyToAnsi(const CString& copy, AnsiLoss& loss) {
    const DWORD attributes = GetFileAttributesW(copy);
    const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (readOnly) SetFileAttributesW(copy, attributes & ~FILE_ATTRIBUTE_READONLY);
    const bool converted = ExportPageAsAnsi(copy, copy, loss);
    if (readOnly) SetFileAttributesW(copy, attributes);
    return converted;
}

bool ExportPage(const ExportRequest& request, const CString& allpages) {
    CString full = allpages + L"\\" + request.source;
    if (!IsPathWithin(full, allpages) || IsSamePath(full, allpages)) return Refuse(L"Selected file was out of range!");
    CString ext = GetFileExt(full);
    if (ext == L"htm" || ext == L"HTM") {
        CString target = request.destination + L"\\" + GetNameWithoutExt(GetPathLastPart(full)) + L".htm";
        if (!MayWrite({{target}}, request.destination)) return false;
        switch (request.fileType) {
        case kExportAnsi: {
            AnsiLoss loss;
            if (!ExportPageAsAnsi(full, target, loss)) return false;
            TellAnsiLoss(loss);
            return true;
        }
        case kExportBookmarkFile:
            return ExportToBookmarkFileUnicode(full, target);
        default:
            return CopyFileW(full, target, FALSE) != 0;
        }
    }
    if (!MayWrite({{request.destination + L"\\" + GetPathLastPart(full)}}, request.destination)) return false;
    return ShellCopy(request.destination, full) != 0;
}

bool ExportFolder(const ExportRequest& request, const CString& allpages) {
    CString full = allpages + L"\\" + request.source;
    while (full.GetLength() > 3 && full[full.GetLength() - 1] == L'\\') full.Truncate(full.GetLength() - 1);
    if (!IsPathWithin(full, allpages) || IsSamePath(full, allpages)) return Refuse(L"Selected file was out of range!");
    if (!FolderExists(full)) return Refuse(L"Selected directory was not exist!");
    std::vector<Target> targets;
    AddFolderTargets(full, request.destination + L"\\" + GetPathLastPart(full), targets);
    if (!MayWrite(targets, request.destination)) return false;
    if (!ShellCopy(request.destination, full)) return false;
    if (request.fileType != kExportAnsi) return true;
    // Only the pages this export copied: other pages of a folder that was
    // there already are the user's and stay as they are.
    AnsiLoss loss;
    CString unconverted;
    for (const Target& target : targets)
        if (!target.folder && IsPageName(target.path) && !ConvertCopyToAnsi(target.path, loss))
            unconverted += L"\n" + target.path;
    TellAnsiLoss(loss);
    if (!unconverted.IsEmpty())
        return Refuse(L"These pages were copied but could not be written in ANSI; they stay in UTF-16:" + unconverted);
    return true;
}

bool ExportEverything(const ExportRequest& request) {
    CString saved = request.destination + L"\\TQ Bookmarks";
    bool hasForms = FolderExists(request.installPath + kFormsFolder);
    std::vector<Target> targets{{saved, true}};
    AddFolderTargets(request.installPath + kAllpagesFolder, saved + L"\\AllPages", targets);
    if (hasForms) AddFolderTargets(request.installPath + kFormsFolder, saved + L"\\Forms", targets);
    if (!MayWrite(targets, request.destination)) return false;
    CreateDirectoryW(saved, nullptr);
    int pages = CopyFolder(saved + L"\\AllPages", request.installPath + L"\\BookMark\\AllPages\\");
    int forms = hasForms ? CopyFolder(saved + L"\\Forms", request.installPath + L"\\BookMark\\Forms\\") : 1;
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

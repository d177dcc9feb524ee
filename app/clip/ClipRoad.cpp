#include "clip/ClipRoad.h"

#include "clip/ClipTitle.h"
#include "clip/FormBlocks.h"
#include "clip/IndexLists.h"
#include "clip/PictureName.h"

#include "core/MessageBox.h"
#include "forms/FormRecords.h"
#include "install/InstallPath.h"
#include "links/LinkInsertion.h"
#include "util/Download.h"
#include "util/Files.h"
#include "util/Folders.h"
#include "util/Registry.h"

#include <random>

namespace {

constexpr wchar_t kProgramCaption[] = L"Tarvelo";
constexpr wchar_t kPictureNotFetched[] = L"The picture could not be fetched; the link is added without it.";
constexpr wchar_t kEmptyClip[] = L"The clip holds neither an address nor a name: nothing was added.";

bool IsBlankText(CString text) {
    text.Trim();
    return text.IsEmpty();
}

bool OptionIsOn(const wchar_t* name) { return GetSettingInt(L"Settings", name, 0) == 0; }

void RememberChoice(const CString& page, const CString& section) {
    CString stored = EscapeSectionForSettings(section);
    WriteSettingString(L"Settings", L"addsect", stored);
    WriteSettingString(L"Focus", page, stored);
    WriteSettingString(L"Settings", L"addpage", page);
}

// Two numbers that differ from process to process and from call to call.
std::mt19937& PictureNumbers() {
    static std::mt19937 numbers([] {
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        std::seed_seq seed{now.dwLowDateTime, now.dwHighDateTime, GetCurrentProcessId(), GetTickCount()};
        return std::mt19937(seed);
    }());
    return numbers;
}

// Creates a new, empty file of a free picture name in the folder, so that two
// clips never choose the same name; empty when none can be made.
CString ReservePictureFile(const CString& folder, const CString& extension) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        CString path = folder + L"\\" + PictureFileName(PictureNumbers()() % 100000, PictureNumbers()() % 100000, extension);
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            CloseHandle(file);
            return path;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return CString();
    }
    return CString();
}

}  // namespace

void DiscardFormBlocks() {
    CString folder = FormBlockFolder();
    if (!folder.IsEmpty() && FolderExists(folder)) DeleteFolder(folder);
}

bool SaveFormRecords(CString& address, CString* recordPath) {
    CString folder = FormBlockFolder();
    CString capture = JoinFormBlockFiles(folder);
    DiscardFormBlocks();
    CString path;
    if (!NewFormRecordPathForUrl(address, path) || !WriteFormRecordFile(path, capture)) {
        ShowMessageBox(nullptr, L"Error! New file not Created.", kProgramCaption, MB_OK);
        return false;
    }
    if (recordPath) *recordPath = path;
    return true;
}

CString StoreClipPicture(const CString& pictureAddress) {
    CString extension = PictureAddressExtension(pictureAddress);
    if (!IsPictureExtension(extension)) return CString();
    if (pictureAddress.Find(L"http:") < 0) return CString();
    CString install = GetInstallPath();
    if (!IsUsableInstallPath(install)) return CString();
    CString folder = install + kPictureFolder;
    CString path;
    if (FolderExists(folder) || CreateDirectoryW(folder, nullptr)) path = ReservePictureFile(folder, extension);
    // A picture that did not arrive is none: no empty file stays, the link is
    // written without a broken thumbnail, and the user knows why.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.IsEmpty() || !DownloadUrlToFile(pictureAddress, path) ||
        !GetFileAttributesExW(path, GetFileExInfoStandard, &data) || (data.nFileSizeLow == 0 && data.nFileSizeHigh == 0)) {
        if (!path.IsEmpty()) DeleteFileW(path);
        ShowMessageBox(nullptr, CString(kPictureNotFetched) + L"\n" + pictureAddress, kProgramCaption, MB_OK);
        return CString();
    }
    return path;
}

void TakeLinkClip(const CString& commandLine, const AskForLinkPlacement& ask, const SYSTEMTIME& now) {
    const bool addTime = OptionIsOn(L"AddTime");
    const bool addSource = OptionIsOn(L"AddSource");
    LinkClip clip = ParseLinkClip(commandLine);
    if (clip.address.Find(L'\'') >= 0) {
        ShowMessageBox(nullptr, L"Error, URL contains \"'\" character!", kProgramCaption, MB_OK);
        // The blocks of this clip must not mix into the next one.
        DiscardFormBlocks();
        return;
    }
    // A clip without anything to link would only leave an empty line in the page.
    if (IsBlankText(clip.address) && IsBlankText(clip.title) && IsBlankText(clip.pictureAddress)) {
        ShowMessageBox(nullptr, kEmptyClip, kProgramCaption, MB_OK | MB_ICONEXCLAMATION);
        DiscardFormBlocks();
        return;
    }
    clip.title = DecorateClipTitle(clip.title, clip.address, addTime, addSource, now);

    LinkPlacementChoice choice;
    if (!ask(clip, choice)) return;

    CString address = choice.address;
    CString record;
    if (choice.keepForms) {
        if (!SaveFormRecords(address, &record)) return;
    } else {
        DiscardFormBlocks();
    }
    CString picture = choice.showPicture ? StoreClipPicture(choice.pictureAddress) : CString();
    // A link the store could not write (it has said why) is offered again as
    // the user left it, until it lands or the user cancels: a clip is never
    // dropped behind the user's back. The form record is kept already; when
    // the user gives up, it and the picture go, for no link leads to them.
    while (!AddLinkToPage(choice.page, choice.section, choice.title, address, picture)) {
        LinkClip again = clip;
        again.title = choice.title;
        again.address = address;
        again.pictureAddress = choice.pictureAddress;
        again.formFlag.Empty();
        const LinkPlacementChoice before = choice;
        if (!ask(again, choice)) {
            if (!record.IsEmpty()) DeleteFileW(record);
            if (!picture.IsEmpty()) DeleteFileW(picture);
            return;
        }
        address = choice.address;
        if (choice.showPicture != before.showPicture || choice.pictureAddress != before.pictureAddress) {
            if (!picture.IsEmpty()) DeleteFileW(picture);
            picture = choice.showPicture ? StoreClipPicture(choice.pictureAddress) : CString();
        }
    }
    // Only a choice that took the link is remembered: the next clip offers it.
    RememberChoice(choice.page, choice.section);
}

void TakeFormBlockClip(const CString& commandLine) {
    FormBlockClip block;
    if (!ParseFormBlockClip(commandLine, block)) return;
    WriteFormBlockFile(FormBlockFolder(), block);
}

void TakeEventClip(const CString& commandLine) {
    EventClip clip = ParseEventClip(commandLine);
    AppendEventToPage(clip.file, clip.name, clip.date, clip.text);
}

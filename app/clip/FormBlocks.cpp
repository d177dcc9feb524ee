#include "clip/FormBlocks.h"

#include "install/InstallPath.h"
#include "util/Files.h"

#include <windows.h>

namespace {

CString BlockFilePath(const CString& folder, const CString& number) { return folder + L"\\" + number + L".txt"; }

}  // namespace

CString FormBlockFolder() {
    CString install = GetInstallPath();
    if (!IsUsableInstallPath(install)) return CString();
    CString folder = install + kFormBlockFolder;
    folder.TrimRight(L'\\');
    return folder;
}

bool WriteFormBlockFile(const CString& folder, const FormBlockClip& block) {
    if (folder.IsEmpty() || block.number.IsEmpty()) return false;
    if (!FolderExists(folder) && !CreateDirectoryW(folder, nullptr)) return false;
    HANDLE file = CreateFileW(BlockFilePath(folder, block.number), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string bytes = "\xFF\xFE";
    for (wchar_t unit : block.text.str()) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    CloseHandle(file);
    return ok;
}

CString JoinFormBlockFiles(const CString& folder) {
    CString text;
    if (folder.IsEmpty()) return text;
    for (int number = 1;; ++number) {
        CString path = BlockFilePath(folder, CString(std::to_wstring(number)));
        if (!FileExists(path)) break;
        std::string bytes;
        // A file that exists but cannot be read adds nothing; the join goes on.
        if (ReadWholeFile(path, bytes)) text += TransferFileText(bytes);
    }
    return text;
}

CString TransferFileText(const std::string& fileBytes) {
    CString text;
    bool wide = fileBytes.size() >= 2 && static_cast<unsigned char>(fileBytes[0]) == 0xFF &&
                static_cast<unsigned char>(fileBytes[1]) == 0xFE;
    if (wide) {
        for (size_t at = 2; at + 1 < fileBytes.size(); at += 2) {
            wchar_t unit = static_cast<wchar_t>(static_cast<unsigned char>(fileBytes[at]) |
                                                (static_cast<unsigned char>(fileBytes[at + 1]) << 8));
            if (unit != L'\r' && unit != L'\n') text += unit;
        }
    } else {
        for (char byte : fileBytes)
            if (byte != '\r' && byte != '\n') text += static_cast<wchar_t>(static_cast<unsigned char>(byte));
    }
    return text;
}

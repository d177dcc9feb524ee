#include "forms/FormRecords.h"

#include "forms/FormRecordName.h"
#include "forms/FormRecordReader.h"
#include "install/InstallPath.h"
#include "pages/PageFile.h"
#include "util/Files.h"
#include "util/PathParts.h"
#include "util/Strings.h"

#include "regex/Regex.h"

#include <windows.h>

#include <set>
#include <vector>

namespace {

CString RecordPath(const CString& base, long long number) {
    CString path;
    path.Format(L"%ls#%lld.tq", base.GetString(), number);
    return path;
}

long long FirstFreeNumber(const CString& base, long long start) {
    long long n = std::max(start, 1LL);
    while (GetFileAttributesW(RecordPath(base, n)) != INVALID_FILE_ATTRIBUTES) ++n;
    return n;
}

// A file title read as a decimal number; 0 when it is none.
long long TitleNumber(const CString& title) {
    if (title.IsEmpty() || title.GetLength() > 18) return 0;
    long long value = 0;
    for (int i = 0; i < title.GetLength(); ++i) {
        if (title[i] < L'0' || title[i] > L'9') return 0;
        value = value * 10 + (title[i] - L'0');
    }
    return value;
}

} // namespace

CString PrepareFormsFolder() {
    CString install = GetInstallPath();
    if (!IsUsableInstallPath(install)) return CString();
    CString folder = install + kFormsFolder;
    if (!FolderExists(folder) && !CreateDirectoryW(folder, nullptr)) return CString();
    return folder;
}

int NewFormRecordPathForUrl(CString& address, CString& path) {
    CString folder = PrepareFormsFolder();
    if (folder.IsEmpty()) return 0;
    CString base = folder + L"\\" + FormRecordHostPart(address);
    CString carried = FormRecordNumber(address);
    long long start = 1;
    if (!carried.IsEmpty() && !FormRecordAddressHasPath(address)) {
        // An address without path that carries a number keeps it while its
        // record does not exist yet.
        long long number = TitleNumber(carried);
        if (number > 0 && GetFileAttributesW(RecordPath(base, number)) == INVALID_FILE_ATTRIBUTES) {
            path = RecordPath(base, number);
            return 1;
        }
        start = number + 1;
    }
    long long n = FirstFreeNumber(base, start);
    path = RecordPath(base, n);
    RegexReplaceAll(address, L"#/d+$", L"");
    CString suffix;
    suffix.Format(L"#%lld", n);
    address += suffix;
    return 1;
}

int NewFormRecordPath(CString& path) {
    CString folder = PrepareFormsFolder();
    if (folder.IsEmpty()) return 0;
    std::vector<CString> files;
    FindFilesRecursive(folder, files);
    std::set<long long> used;
    for (const CString& file : files) {
        long long number = TitleNumber(GetFileTitle(file));
        if (number > 0) used.insert(number);
    }
    long long n = 1;
    while (used.count(n)) ++n;
    path.Format(L"%ls\\%lld.tq", folder.GetString(), n);
    return 1;
}

CString FormCaptureToRecordText(const CString& rawCapture) {
    CString capture = rawCapture;
    capture.Replace(L"\r\n", L"\n");
    capture.Replace(L'\r', L'\n');
    std::vector<CString> entries;
    for (int start = 0;;) {
        int end = capture.Find(L"|||", start);
        if (end < 0) {
            entries.push_back(capture.Mid(start));
            break;
        }
        entries.push_back(capture.Mid(start, end - start));
        start = end + 3;
    }
    CString text;
    bool open = false; // a record has been written and not closed yet
    for (CString entry : entries) {
        bool startsRecord = entry.Find(L">>>") >= 0;
        if (startsRecord && open) text += CString(kFormRecordCloser) + L"\n";
        if (entry.IsEmpty() && !startsRecord) continue; // the end after the last "|||"
        entry.Replace(L">>>", L" ");
        entry.Replace(L"<<<", L"");
        text += entry + L"\n";
        open = true;
    }
    if (open) text += CString(kFormRecordCloser) + L"\n";
    return text;
}

bool WriteFormRecordFile(const CString& path, const CString& capture) {
    return WritePageText(path, FormCaptureToRecordText(capture));
}

// Writes and reads a large page line by line as UTF-16 and as UTF-8 and
// prints the rates. Usage: textfile_bench [megabytes of UTF-16 text, default 8]
#include "textfile/StdioFileEx.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Run(const wchar_t* path, UINT writeFlags, int codePage, int lines, const CString& line, const char* label) {
    auto start = std::chrono::steady_clock::now();
    {
        CStdioFileEx out;
        out.SetCodePage(codePage);
        out.Open(path, writeFlags);
        for (int i = 0; i < lines; ++i) out.WriteString(line);
    }
    double written = Seconds(start);
    start = std::chrono::steady_clock::now();
    int read = 0;
    {
        CStdioFileEx in;
        in.SetCodePage(codePage);
        in.Open(path, CFile::typeText);
        CString text;
        while (in.ReadString(text)) ++read;
    }
    double readTime = Seconds(start);
    CFileStatus status;
    CFile::GetStatus(path, status);
    double megabytes = static_cast<double>(status.m_size) / (1024.0 * 1024.0);
    std::printf("%s: %.1f MB, %d lines: write %.1f MB/s, read %.1f MB/s\n", label, megabytes, read,
                megabytes / written, megabytes / readTime);
}

}  // namespace

int main(int argc, char** argv) {
    int megabytes = argc > 1 ? std::atoi(argv[1]) : 8;
    CString line;
    for (int i = 0; i < 120; ++i) line += static_cast<wchar_t>(i % 3 ? L'a' + i % 26 : 0x4e2d);
    line += L"\n";
    int lines = megabytes * 1024 * 1024 / (line.GetLength() * 2);

    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    CString utf16 = CString(folder) + L"textfile_bench_utf16.htm";
    CString utf8 = CString(folder) + L"textfile_bench_utf8.txt";
    Run(utf16, CStdioFileEx::modeWriteUtf16 | CFile::modeCreate | CFile::modeWrite, -1, lines, line, "UTF-16");
    Run(utf8, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary, CP_UTF8, lines, line, "UTF-8");
    DeleteFileW(utf16);
    DeleteFileW(utf8);
    return 0;
}

// Parses and serializes a 1 MB page like the ones users clip and keep, and
// a page holding one table of 10,000 rows; prints the speed in MB/s of text
// (UTF-16 text counted as 2 bytes per unit), by thread CPU time and by the wall
// clock, over all rounds and for the first round alone (whose memory is new
// to the process; later documents reuse the node memory of earlier ones).
//
// Beside it, in the same run, lxml (libxml2's HTML parser, through the
// system's Python) parses and serializes the same pages as UTF-8 files, where
// it is installed; the ratio of its time to the engine's has a goal of at
// least 2. Under Wine the Linux Python is started like any program.
#include "dom/Document.h"
#include "html/Parser.h"
#include "html/Serializer.h"
#include "html/Tokenizer.h"

#include <windows.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Both clocks: the CPU time of this thread, since the machine running the
// benchmark is often busy with other work, which wall-clock time would count
// against the engine; and wall-clock time, which is what a user waits. Wine
// counts thread time in steps of 10 ms or so: only totals over several rounds mean much.
struct Clocks {
    double cpu = 0;
    double wall = 0;

    static Clocks Now() {
        FILETIME created, exited, kernel, user;
        GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
        auto ticks = [](const FILETIME& t) { return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
        LARGE_INTEGER frequency, counter;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&counter);
        return {static_cast<double>(ticks(kernel) + ticks(user)) / 1e7, static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart)};
    }
    Clocks operator-(const Clocks& other) const { return {cpu - other.cpu, wall - other.wall}; }
    Clocks& operator+=(const Clocks& other) {
        cpu += other.cpu;
        wall += other.wall;
        return *this;
    }
};

CString RealWorldPage() {
    CString page = L"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n<html id=tq1>\n<head>\n<title>Clips</title>\n"
                   L"<meta http-equiv=Content-Type content=\"text/html; charset=utf-8\">\n<style>BODY { font-size: 12pt }</style>\n"
                   L"<script>function go(a){ if (a < 3 && a > 1) return '<b>'; }</script>\n</head>\n"
                   L"<body background=\"#606666\" color =\"#606666\">\n<hr color=blue size=1>\n";
    for (int i = 0; page.GetLength() < 512 * 1024; ++i) {
        CString block;
        block.Format(L"&gt;&gt;&gt;Section %d&lt;&lt;&lt;<br>\n"
                     L"<A href=\"http://news.example.com/story?id=%d&amp;lang=en\">&nbsp;Story number %d about caf\x00E9s &amp; "
                     L"r\x00E9sum\x00E9s (12-8-2026)&nbsp;</A>\n"
                     L"<p class=text>Paragraph with <b>bold</b>, <i>italic <u>underlined</i></u> text and a <font face=Arial size=2>font"
                     L"</font>.<p>Another one, unclosed, with an image <img src=pic%d.jpg width=100 height=60>\n"
                     L"<ul><li>first item<li>second item with <a href=x.htm>link</a></ul><!-- note %d -->\n"
                     L"<table border=0 col=\"2\"><tr><td pos=\"0\">\n<DIV>&nbsp;</DIV></td><td pos=\"1\">cell \x4E2D\x6587</td></tr></table>\n",
                     i, i, i, i, i);
        page += block;
    }
    page += L"<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>\n</body>\n</html>\n";
    return page;
}

CString TablePage(int rows) {
    CString page = L"<html><body><TABLE ID = \"links\" col=3 border=0 width=630 cellpadding=3 bgColor=#6CADD8>";
    for (int r = 0; r < rows; ++r) {
        CString row;
        row.Format(L"<TR><TD bgColor=#FFFFFF width=30 height =20></TD><TD bgColor=#FFFFFF pos=0 width=190\"><DIV>Row %d</DIV></TD>"
                   L"<TD bgColor=#FFFFFF pos=1 width=190\"><DIV>&nbsp</DIV></TD><TD bgColor=#FFFFFF pos=2 width=190\"><A href=\"r%d.htm\">x</A></TD>"
                   L"<TD bgColor=#FFFFFF width=30></TD>\n</TR>",
                   r, r);
        page += row;
    }
    page += L"\n</TABLE></body></html>";
    return page;
}

// Seconds of parsing plus serializing over all rounds, by both clocks.
struct Totals {
    double cpu = 0, wall = 0;
};

constexpr int kRounds = 10;

Totals Measure(const char* name, const CString& page) {
    const int rounds = kRounds;
    const double megabyte = 1024.0 * 1024.0;
    double megabytesIn = page.GetLength() * 2.0 / megabyte, megabytesOut = 0;
    Clocks tokenizing, parsing, serializing;
    Clocks firstParse, firstSerialize;  // the first document of the run, in memory fresh from the system
    for (int i = 0; i < rounds; ++i) {
        Clocks start = Clocks::Now();
        html::Tokenizer tokenizer(page);
        html::Token token;
        while (tokenizer.Next(token)) {
        }
        tokenizing += Clocks::Now() - start;
    }
    for (int i = 0; i < rounds; ++i) {
        Clocks start = Clocks::Now();
        auto document = html::ParseDocument(page);
        Clocks parsed = Clocks::Now();
        CString text = html::SerializeDocument(*document);
        Clocks serialized = Clocks::Now();
        serializing += serialized - parsed;
        parsing += parsed - start;
        if (i == 0) {
            firstParse = parsed - start;
            firstSerialize = serialized - parsed;
        }
        megabytesOut = text.GetLength() * 2.0 / megabyte;
    }
    auto speeds = [&](const char* clock, double Clocks::*seconds) {
        std::printf("  %-11s tokenize %7.1f MB/s, parse %6.1f MB/s, serialize %6.1f MB/s, both %6.1f MB/s\n", clock,
                    rounds * megabytesIn / (tokenizing.*seconds), rounds * megabytesIn / (parsing.*seconds),
                    rounds * megabytesOut / (serializing.*seconds), rounds * megabytesIn / (parsing.*seconds + serializing.*seconds));
    };
    std::printf("%s: %.2f MB in, %.2f MB out, %d rounds\n", name, megabytesIn, megabytesOut, rounds);
    speeds("thread CPU", &Clocks::cpu);
    speeds("wall clock", &Clocks::wall);
    std::printf("  first round (wall clock): parse %6.1f MB/s, serialize %6.1f MB/s, both %6.1f MB/s\n", megabytesIn / firstParse.wall,
                megabytesOut / firstSerialize.wall, megabytesIn / (firstParse.wall + firstSerialize.wall));
    return {parsing.cpu + serializing.cpu, parsing.wall + serializing.wall};
}

// What lxml took for each page, or why there is no figure.
struct LxmlRun {
    std::string missing;  // empty when the figures are there
    std::vector<Totals> pages;
};

// The Linux path of a Windows path, through Wine's own conversion; empty
// when the program does not run under Wine.
std::string UnixPath(const CString& path) {
    using ToUnix = char*(__cdecl*)(const wchar_t*);
    auto convert = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert) return {};
    char* unix = convert(path.GetString());
    if (!unix) return {};
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

std::string Utf8(const CString& text) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.GetString(), text.GetLength(), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.GetString(), text.GetLength(), out.data(), bytes, nullptr, nullptr);
    return out;
}

void WriteBytes(const CString& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE) return;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string ReadBytes(const CString& path) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

LxmlRun RunLxml(const std::vector<CString>& pages) {
    LxmlRun run;
    const wchar_t kPython[] = L"Z:\\usr\\bin\\python3";
    if (GetFileAttributesW(kPython) == INVALID_FILE_ATTRIBUTES) {
        run.missing = "no /usr/bin/python3 (or not under Wine)";
        return run;
    }
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    CString results = CString(temp) + L"tarvelo_lxml_results.txt";
    std::string command = std::string("/usr/bin/python3 \"") + LXML_BENCH_SCRIPT + "\" \"" + UnixPath(results) + "\" " +
                          std::to_string(kRounds);
    std::vector<CString> files;
    for (size_t i = 0; i < pages.size(); ++i) {
        CString file;
        file.Format(L"%lstarvelo_lxml_page%zu.html", temp, i);
        WriteBytes(file, Utf8(pages[i]));
        command += " \"" + UnixPath(file) + "\"";
        files.push_back(file);
    }
    DeleteFileW(results);
    std::wstring commandLine(command.begin(), command.end());  // the paths are the prefix's own: ASCII
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(kPython, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        run.missing = "/usr/bin/python3 did not start";
    } else {
        // Wine does not tell when a Linux process ends: the script writes its
        // results under another name and renames them when it is done.
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        for (int waited = 0; waited < 6000 && GetFileAttributesW(results) == INVALID_FILE_ATTRIBUTES; ++waited) Sleep(100);
        std::istringstream in(ReadBytes(results));
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("missing:", 0) == 0) {
                run.missing = "lxml is not installed (" + line.substr(9) + ")";
                break;
            }
            std::istringstream fields(line);
            std::string name;
            double parseCpu = 0, serializeCpu = 0, parseWall = 0, serializeWall = 0;
            if (fields >> name >> parseCpu >> serializeCpu >> parseWall >> serializeWall)
                run.pages.push_back({parseCpu + serializeCpu, parseWall + serializeWall});
        }
        if (run.missing.empty() && run.pages.size() != pages.size()) run.missing = "lxml gave no figures";
    }
    for (const CString& file : files) DeleteFileW(file);
    DeleteFileW(results);
    return run;
}

}  // namespace

int main() {
    const std::vector<const char*> names = {"real-world page", "10,000-row table"};
    const std::vector<CString> pages = {RealWorldPage(), TablePage(10000)};
    // lxml first, so that its process is gone before the engine is timed.
    LxmlRun lxml = RunLxml(pages);
    std::vector<Totals> engine;
    for (size_t i = 0; i < pages.size(); ++i) engine.push_back(Measure(names[i], pages[i]));
    if (!lxml.missing.empty()) {
        std::printf("lxml: not measured: %s; no ratio (install python3-lxml for it)\n", lxml.missing.c_str());
        return 0;
    }
    for (size_t i = 0; i < pages.size(); ++i)
        std::printf("%s: lxml parse+serialize %.1f ms, engine %.1f ms (thread CPU; wall clock %.1f ms and %.1f ms): "
                    "engine %.2fx as fast as lxml by CPU time, %.2fx by the wall clock (goal: at least 2x)\n",
                    names[i], lxml.pages[i].cpu * 1000 / kRounds, engine[i].cpu * 1000 / kRounds,
                    lxml.pages[i].wall * 1000 / kRounds, engine[i].wall * 1000 / kRounds,
                    lxml.pages[i].cpu / engine[i].cpu, lxml.pages[i].wall / engine[i].wall);
    return 0;
}

// Parses and serializes a 1 MB page like the ones users clip and keep, and
// a page holding one table of 10,000 rows; prints the speed in MB/s of text
// (UTF-16 text counted as 2 bytes per unit), by thread CPU time and by the wall
// clock, over all rounds and for the first round alone (whose memory is new
// to the process; later documents reuse the node memory of earlier ones).
#include "dom/Document.h"
#include "html/Parser.h"
#include "html/Serializer.h"
#include "html/Tokenizer.h"

#include <windows.h>

#include <cstdio>

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

void Measure(const char* name, const CString& page) {
    const int rounds = 10;
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
}

}  // namespace

int main() {
    Measure("real-world page", RealWorldPage());
    Measure("10,000-row table", TablePage(10000));
    return 0;
}

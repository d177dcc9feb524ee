// Parses and serializes a 1 MB page like the ones users clip and keep, and
// a page holding one table of 10,000 rows; prints the speed in MB/s of text
// (UTF-16 text counted as 2 bytes per unit).
#include "dom/Document.h"
#include "html/Parser.h"
#include "html/Serializer.h"
#include "html/Tokenizer.h"

#include <windows.h>

#include <cstdio>

namespace {

// CPU time of this thread: the machine running the benchmark is often busy
// with other work, which wall-clock time would count against the engine.
double Seconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME& t) { return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

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
    double megabytes = page.GetLength() * 2.0 / (1024.0 * 1024.0);
    double parseTime = 0, serializeTime = 0;
    size_t written = 0;
    for (int i = 0; i < rounds; ++i) {
        double start = Seconds();
        auto document = html::ParseDocument(page);
        double parsed = Seconds();
        CString text = html::SerializeDocument(*document);
        double done = Seconds();
        written = static_cast<size_t>(text.GetLength());
        parseTime += parsed - start;
        serializeTime += done - parsed;
    }
    double tokenizeTime = 0;
    for (int i = 0; i < rounds; ++i) {
        double start = Seconds();
        html::Tokenizer tokenizer(page);
        html::Token token;
        while (tokenizer.Next(token)) {
        }
        tokenizeTime += Seconds() - start;
    }
    tokenizeTime /= rounds;
    parseTime /= rounds;
    serializeTime /= rounds;
    std::printf("%-22s %7.2f MB in: tokenize %7.1f MB/s, parse %7.1f MB/s, serialize %7.1f MB/s (%.2f MB out), both %7.1f MB/s\n",
                name, megabytes, megabytes / tokenizeTime, megabytes / parseTime, written * 2.0 / (1024.0 * 1024.0) / serializeTime, written * 2.0 / (1024.0 * 1024.0),
                megabytes / (parseTime + serializeTime));
}

}  // namespace

int main() {
    Measure("real-world page", RealWorldPage());
    Measure("10,000-row table", TablePage(10000));
    return 0;
}

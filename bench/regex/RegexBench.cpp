// The store's fixed slash patterns over 4 MB of generated page text, line by
// line as the store reads pages, beside std::wregex with the equivalent
// ECMAScript patterns. Prints MB/s of UTF-16 text for both and their ratio.
//
// The slash matcher compiles its pattern on every call, as the system calls
// it; std::wregex is compiled once, outside the timed loop.
//
// Then the worst case: every store pattern over one line of 1 M units of
// text made to defeat it (near misses repeated), and the classic hostile
// families over 100 K units. Goal: each under 100 ms.
#include "regex/Regex.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <regex>
#include <string>
#include <vector>

namespace {

struct BenchPattern {
    const wchar_t* slash;
    const wchar_t* ecma;
    bool ignoreCase;
    bool reversedText;  // the store runs these over reversed text
};

const std::vector<BenchPattern> kPatterns = {
    {L"<[Hh][Tt][Mm][Ll][/s]+[Ii][Dd]=[tT][qQ](/d)>", L"<[Hh][Tt][Mm][Ll][ ]+[Ii][Dd]=[tT][qQ](\\d)>", false, false},
    {L"<[Hh][Tt][Mm][Ll][/s]+[Ii][Dd]=[tT][qQ]/d>", L"<[Hh][Tt][Mm][Ll][ ]+[Ii][Dd]=[tT][qQ]\\d>", false, false},
    {L"<[Hh][Tt][Mm][Ll]>", L"<[Hh][Tt][Mm][Ll]>", false, false},
    {L"<[Hh][Tt][Mm][Ll][/s]+[Ii][Dd]=[tT][qQ]>", L"<[Hh][Tt][Mm][Ll][ ]+[Ii][Dd]=[tT][qQ]>", false, false},
    {L"&[nN][bB][sS][pP];", L"&[nN][bB][sS][pP];", false, false},
    {L"^.+[Gg][tT];&[Gg][tT];&[Gg][tT];", L"^.+?[Gg][tT];&[Gg][tT];&[Gg][tT];", false, false},
    {L"&[lL][tT];&[lL][tT];&[lL][tT].+$", L"&[lL][tT];&[lL][tT];&[lL][tT].+$", false, false},
    {L"^[/s]+", L"^[ ]+", false, false},
    {L"[/s]+$", L"[ ]+$", false, false},
    {L"(<[Bb][Oo][Dd][Yy].+>)", L"(<[Bb][Oo][Dd][Yy].+?>)", false, false},
    {L"<//[Bb][Oo][Dd][Yy]>", L"</[Bb][Oo][Dd][Yy]>", false, false},
    {L"<[Tt][Aa][Bb][Ll][Ee].+[Cc][Oo][Ll]=\"(/d+)\"", L"<[Tt][Aa][Bb][Ll][Ee].+?[Cc][Oo][Ll]=\"(\\d+)\"", false, false},
    {L"<//[Tt][Aa][Bb][Ll][Ee]", L"</[Tt][Aa][Bb][Ll][Ee]", false, false},
    {L"&[Gg][Tt];&[Gg][Tt];&[Gg][Tt];", L"&[Gg][Tt];&[Gg][Tt];&[Gg][Tt];", false, false},
    {L"&[Ll][Tt];&[Ll][Tt];&[Ll][Tt];", L"&[Ll][Tt];&[Ll][Tt];&[Ll][Tt];", false, false},
    {L".[Hh][Tt][Mm]$", L".[Hh][Tt][Mm]$", false, false},
    {L"<TABLE.+col=\"(/d+)\"", L"<TABLE.+?col=\"(\\d+)\"", false, false},
    {L"name=\"(.+)\"", L"name=\"(.+?)\"", false, false},
    {L"(/(/d+/-/d+/-/d+/))", L"(\\(\\d+-\\d+-\\d+\\))", false, false},
    {L"<[Cc][Ee][Nn][Tt][Ee][Rr]><[Ff][Oo].+>[Tt][Aa][Rr][Vv][Ee][Ll][Oo]<.+<//[Cc][Ee][Nn][Tt][Ee][Rr]>",
     L"<[Cc][Ee][Nn][Tt][Ee][Rr]><[Ff][Oo].+?>[Tt][Aa][Rr][Vv][Ee][Ll][Oo]<.+?</[Cc][Ee][Nn][Tt][Ee][Rr]>", false, false},
    {L"^(.+)>[Aa]//<", L"^(.+?)>[Aa]/<", false, true},
    {L"^.+>[Aa]//<", L"^.+?>[Aa]/<", false, true},
    {L"^(.+);[Tt][Ll]&;[Tt][Ll]&;[Tt][Ll]&", L"^(.+?);[Tt][Ll]&;[Tt][Ll]&;[Tt][Ll]&", false, true},
    {L"^(.+)>1=[Ee][Zz][Ii][Ss] [Ee][Uu][Ll][Bb]=[Rr][Oo][Ll][Oo][Cc] [Rr][Hh]<",
     L"^(.+?)>1=[Ee][Zz][Ii][Ss] [Ee][Uu][Ll][Bb]=[Rr][Oo][Ll][Oo][Cc] [Rr][Hh]<", false, true},
    {L"<[Bb][Rr] 2>", L"<[Bb][Rr] 2>", false, false},
    {L"<[Tt][Aa][Bb][Ll][Ee]", L"<[Tt][Aa][Bb][Ll][Ee]", false, false},
    {L"^(.+)<[Tt][Aa][Bb][Ll][Ee]", L"^(.+?)<[Tt][Aa][Bb][Ll][Ee]", false, false},
    {L"^.+<[Tt][Aa][Bb][Ll][Ee]", L"^.+?<[Tt][Aa][Bb][Ll][Ee]", false, false},
    {L"<TD.+pos=\"(/d+)\">", L"<TD.+?pos=\"(\\d+)\">", true, false},
    {L"<//[Tt][Bb][Oo][Dd][Yy]>$", L"</[Tt][Bb][Oo][Dd][Yy]>$", false, false},
    {L"^(.+)<//[Tt][Aa][Bb][Ll][Ee]", L"^(.+?)</[Tt][Aa][Bb][Ll][Ee]", false, false},
    {L"^.+<//[Tt][Aa][Bb][Ll][Ee]", L"^.+?</[Tt][Aa][Bb][Ll][Ee]", false, false},
    {L"^(.+)&[Gg][Tt];&[Gg][Tt];&[Gg][Tt];", L"^(.+?)&[Gg][Tt];&[Gg][Tt];&[Gg][Tt];", false, false},
    {L"^.+&[Gg][Tt];&[Gg][Tt];&[Gg][Tt];", L"^.+?&[Gg][Tt];&[Gg][Tt];&[Gg][Tt];", false, false},
    {L"[Bb][Oo][Dd][Yy][Ee][Nn][Dd]", L"[Bb][Oo][Dd][Yy][Ee][Nn][Dd]", false, false},
    {L"^(.+)<[Hh][Rr]", L"^(.+?)<[Hh][Rr]", false, false},
    {L"^(.+)<//[Bb][Oo][Dd][Yy]", L"^(.+?)</[Bb][Oo][Dd][Yy]", false, false},
    {L"<[Hh][Rr]", L"<[Hh][Rr]", false, false},
};

// Lines of the kinds a page holds: head, tags, links, tables, text, footer.
std::vector<std::wstring> GeneratePageLines(size_t totalUnits) {
    std::mt19937 random(2026);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    static const std::vector<std::wstring> words = {L"notes", L"Paper", L"weekly", L"plans", L"the", L"review",
                                                    L"a", L"market", L"Recipe", L"travel", L"for", L"and", L"Work",
                                                    L"library", L"<b>bold</b>", L"&amp;", L"links", L"2026"};
    auto text = [&](int count) {
        std::wstring out;
        for (int i = 0; i < count; ++i) out += (i ? L" " : L"") + words[static_cast<size_t>(pick(0, 17))];
        return out;
    };
    std::vector<std::wstring> lines;
    size_t units = 0;
    auto add = [&](std::wstring line) {
        units += line.size() + 1;
        lines.push_back(std::move(line));
    };
    while (units < totalUnits) {
        add(L"<html id=tq1>");
        add(L"<head>");
        add(L"<title>" + text(3) + L"</title>");
        add(L"</head>");
        add(L"<body background=\"#606666\" color =\"#606666\">");
        add(L"<center><font color=\"#606666\" size=5 face=\"Verdana, Arial, Helvetica, sans-serif\"><B>" + text(2) +
            L"</B></font></center>");
        add(L"<hr color=blue size=1>");
        for (int section = pick(2, 6); section > 0; --section) {
            add(L"<P>&gt;&gt;&gt;" + text(2) + L"&lt;&lt;&lt;</P>");
            for (int link = pick(3, 12); link > 0; --link) {
                std::wstring date = L"(" + std::to_wstring(pick(1, 12)) + L"-" + std::to_wstring(pick(1, 28)) +
                                    L"-" + std::to_wstring(pick(2000, 2026)) + L")";
                add(L"<A href=\"http://www.example" + std::to_wstring(pick(1, 99)) + L".com/" + text(1) +
                    L".htm\">&nbsp;" + text(pick(2, 6)) + L" " + date + L"&nbsp;</A><BR>");
            }
            if (pick(0, 2) == 0) {
                int columns = pick(2, 4);
                add(L"<TABLE border=1 col=\"" + std::to_wstring(columns) + L"\" name=\"" + text(1) + L"\" id=t" +
                    std::to_wstring(pick(1, 9)) + L">");
                add(L"<TBODY>");
                for (int row = pick(1, 4); row > 0; --row) {
                    add(L"<TR><TD width=40></TD>");
                    for (int column = 0; column < columns; ++column) {
                        add(L"<TD pos=\"" + std::to_wstring(column) + L"\">");
                        add(pick(0, 1) ? L"<DIV>&nbsp;</DIV></TD>"
                                       : L"<A href=\"http://host/x.htm\">&nbsp;" + text(3) + L"&nbsp;</A></TD>");
                    }
                    add(L"<TD width=40></TD></TR>");
                }
                add(L"</TBODY></TABLE>");
            }
            for (int paragraph = pick(0, 3); paragraph > 0; --paragraph)
                add(std::wstring(static_cast<size_t>(pick(0, 4)), L' ') + text(pick(5, 30)) +
                    std::wstring(static_cast<size_t>(pick(0, 2)), L' '));
        }
        add(L"<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>");
        add(L"<center><font size=2><a href= \"http://www.tarvelo.example/\">Tarvelo</a></font></center>");
        add(L"</body>");
        add(L"</html>");
    }
    return lines;
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// A text the pattern matches, one unit per token: literals as written, a set
// by its first member, any other unit token by a letter or digit, every
// repeated atom once.
std::wstring SampleMatch(const wchar_t* pattern) {
    std::wstring out;
    for (const wchar_t* p = pattern; *p; ++p) {
        switch (*p) {
        case L'^': case L'$': case L'(': case L')': case L'*': case L'+': case L'-': break;
        case L'.': out += L'x'; break;
        case L'[': {
            const wchar_t* q = p + 1;
            if (*q == L'^') ++q;
            wchar_t first = *q == L'/' ? (q[1] == L'd' ? L'1' : L' ') : *q;
            out += p[1] == L'^' ? L'q' : first;
            while (*p && *p != L']') ++p;
            if (!*p) return out;
            break;
        }
        case L'/':
            if (!p[1]) return out;
            ++p;
            out += *p == L'd' ? L'7' : *p == L's' ? L' ' : *p == L'a' || *p == L'n' ? L'k' : *p;
            break;
        default: out += *p; break;
        }
    }
    return out;
}

// Near misses: the pattern's sample cut short at several places, each
// repeated up to `units` units; the whole sample without its last unit too.
std::vector<std::wstring> HostileTexts(const wchar_t* pattern, size_t units) {
    std::wstring sample = SampleMatch(pattern);
    std::vector<std::wstring> texts;
    for (size_t cut : {sample.size() / 3, sample.size() / 2, sample.size() * 2 / 3, sample.size() - 1}) {
        if (cut == 0) continue;
        std::wstring piece = sample.substr(0, cut) + L" ";
        std::wstring text;
        while (text.size() < units) text += piece;
        texts.push_back(text.substr(0, units));
    }
    return texts;
}

// A unit repeated, then a tail that holds the text every match needs (so
// that no start position can be ruled out before the walk) without a match.
struct HostileFamily {
    const wchar_t* pattern;
    const wchar_t* unit;
    const wchar_t* tail;
};

const std::vector<HostileFamily> kHostileFamilies = {
    {L"(a+)a+b", L"a", L"xb"},
    {L"a+a+a+a+b", L"a", L"xb"},
    {L"(.+)a+b", L"a", L"xb"},
    {L".+.+.+.+x$", L"a", L"xa"},
    {L"(.+.+.+.+)x$", L"ab", L"xa"},
    {L"[^x]+[^x]+[^x]+y", L"a", L"xy"},
    {L"a*a*a*a*b", L"a", L"xb"},
    {L"[ab]+c", L"ab", L"xc"},
    {L"(a*)x", L"a", L"bx"},
    {L"(.+)=\"(/d+)\"", L"=\"1", L""},
    {L"<[Tt][Aa][Bb][Ll][Ee].+[Cc][Oo][Ll]=\"(/d+)\"", L"<table x", L"col=\"x\""},
    {L"^(.+)<//[Bb][Oo][Dd][Yy]>$", L"</bod", L"</body>x"},
    {L"[^<]+<.+>$", L"a<", L">x"},
};

// Seconds of the slowest of the scans: all matches (exact and ignoring
// case) and the first group.
double WorstScanSeconds(const std::wstring& text, const wchar_t* pattern) {
    auto timed = [](auto scan) {
        auto start = std::chrono::steady_clock::now();
        scan();
        return Seconds(std::chrono::steady_clock::now() - start);
    };
    RegexMatchMap matches, folded;
    CString group;
    return std::max({timed([&] { RegexFindAll(text.c_str(), pattern, matches, RegexCase::Exact); }),
                     timed([&] { RegexFindAll(text.c_str(), pattern, folded, RegexCase::IgnoreCase); }),
                     timed([&] { RegexSearchGroup(text.c_str(), pattern, group, RegexCase::Exact); })});
}


// Seconds taken by `work`, which returns the number of matches.
template <typename Work>
double TimedSeconds(Work work, long& matches) {
    auto start = std::chrono::steady_clock::now();
    matches = work();
    return Seconds(std::chrono::steady_clock::now() - start);
}

} // namespace

int main() {
    const size_t kTextBytes = 4u << 20;
    std::vector<std::wstring> lines = GeneratePageLines(kTextBytes / sizeof(wchar_t));
    std::vector<std::wstring> reversed = lines;
    for (auto& line : reversed) std::reverse(line.begin(), line.end());
    size_t units = 0;
    for (const auto& line : lines) units += line.size() + 1;
    const double megabytes = static_cast<double>(units * sizeof(wchar_t)) / (1 << 20);
    std::printf("%zu lines, %.2f MB of UTF-16 page text\n\n", lines.size(), megabytes);
    std::printf("%-52s %10s %10s %8s %9s %9s\n", "pattern", "slash MB/s", "wregex MB/s", "ratio", "matches", "wregex");

    double worstRatio = 1e9;
    for (const BenchPattern& pattern : kPatterns) {
        const std::vector<std::wstring>& subject = pattern.reversedText ? reversed : lines;
        long slashMatches = 0, stdMatches = 0;
        RegexCase caseMode = pattern.ignoreCase ? RegexCase::IgnoreCase : RegexCase::Exact;
        auto runSlash = [&] {
            long found = 0;
            RegexMatchMap matches;
            for (const auto& line : subject) {
                matches.clear();
                RegexFindAll(line.c_str(), pattern.slash, matches, caseMode);
                found += static_cast<long>(matches.size());
            }
            return found;
        };
        auto flags = std::regex_constants::ECMAScript | (pattern.ignoreCase ? std::regex_constants::icase
                                                                            : std::regex_constants::syntax_option_type{});
        std::wregex compiled(pattern.ecma, flags);
        auto runStandard = [&] {
            long found = 0;
            for (const auto& line : subject)
                found += std::distance(std::wsregex_iterator(line.begin(), line.end(), compiled), std::wsregex_iterator());
            return found;
        };
        // Alternate the two so that a change of the machine's load hits both.
        double slash = 1e9, standard = 1e9;
        for (int run = 0; run < 3; ++run) {
            slash = std::min(slash, TimedSeconds(runSlash, slashMatches));
            standard = std::min(standard, TimedSeconds(runStandard, stdMatches));
        }
        double ratio = standard / slash;
        worstRatio = std::min(worstRatio, ratio);
        char name[53];
        std::snprintf(name, sizeof name, "%ls%s", pattern.slash, pattern.reversedText ? " (reversed)" : "");
        std::printf("%-52.52s %10.1f %10.1f %7.1fx %9ld %9ld%s\n", name, megabytes / slash, megabytes / standard, ratio,
                    slashMatches, stdMatches, slashMatches == stdMatches ? "" : "  (counts differ)");
    }
    std::printf("\nlowest ratio: %.1fx (goal: at least 6x)\n", worstRatio);

    const size_t kStoreHostileUnits = 1u << 20;
    std::printf("\nstore patterns over one line of %zu units made to defeat each (slowest scan of its texts):\n",
                kStoreHostileUnits);
    double worstStore = 0;
    for (const BenchPattern& pattern : kPatterns) {
        double worst = 0;
        for (const std::wstring& text : HostileTexts(pattern.slash, kStoreHostileUnits))
            worst = std::max(worst, WorstScanSeconds(text, pattern.slash));
        worstStore = std::max(worstStore, worst);
        std::printf("%-60.60ls %8.1f ms\n", pattern.slash, worst * 1000);
    }
    const size_t kFamilyUnits = 100000;
    std::printf("\nhostile families over %zu units (slowest scan):\n", kFamilyUnits);
    double worstFamily = 0;
    for (const HostileFamily& family : kHostileFamilies) {
        std::wstring text;
        while (text.size() < kFamilyUnits) text += family.unit;
        text += family.tail;
        double seconds = WorstScanSeconds(text, family.pattern);
        worstFamily = std::max(worstFamily, seconds);
        std::printf("%-44ls %-10ls %-10ls %8.1f ms\n", family.pattern, family.unit, family.tail, seconds * 1000);
    }
    std::printf("\nslowest store pattern on hostile text: %.1f ms (goal: under 100 ms)\n", worstStore * 1000);
    std::printf("slowest hostile family: %.1f ms (goal: under 100 ms)\n", worstFamily * 1000);
    return 0;
}

// The store's fixed slash patterns over 4 MB of generated page text, line by
// line as the store reads pages, beside std::wregex with the equivalent
// ECMAScript patterns. Prints MB/s of UTF-16 text for both and their ratio.
//
// The slash matcher compiles its pattern on every call, as the system calls
// it; std::wregex is compiled once, outside the timed loop.
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
    std::printf("\nlowest ratio: %.1fx (goal: at least 3x)\n", worstRatio);
    return 0;
}

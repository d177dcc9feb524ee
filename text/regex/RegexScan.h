// Scanning a subject: every search tries the start positions from the first
// unit on, one by one, and never at the terminator (so "$" alone never
// matches and an empty subject matches nothing).
#pragma once

#include "regex/RegexCompiler.h"
#include "regex/RegexMatcher.h"
#include "regex/RegexOutput.h"

#include <map>
#include <vector>

namespace regex_detail {

enum class ScanResult { Found, NotFound, BadPattern };

template <typename TChar>
const TChar* OrEmpty(const TChar* text) {
    static const TChar empty[1] = {TChar(0)};
    return text ? text : empty;
}

// Compiles (or takes the thread's kept program), or prints the error and
// "No pattern specified".
template <typename TChar>
const CompiledPattern<TChar>* CompileForScan(const TChar* pattern) {
    const CompiledPattern<TChar>* compiled = CompileCached(pattern);
    if (!compiled) PrintNoPattern();
    return compiled;
}

// Adds every match to `matches` (keys already there are kept). After a match
// the scan resumes at its end; after a match of zero length, at the next unit.
template <typename TChar>
ScanResult FindMatches(const TChar* subject, const TChar* pattern,
                       std::map<int, typename Traits<TChar>::String>& matches, bool foldCase,
                       bool firstOnly = false, MatcherTuning tuning = MatcherTuning()) {
    const CompiledPattern<TChar>* program = CompileForScan(pattern);
    if (!program) return ScanResult::BadPattern;
    subject = OrEmpty(subject);
    Matcher<TChar> matcher(*program, subject, foldCase, tuning);
    bool found = false;
    for (const TChar* position = matcher.NextCandidate(subject); position;) {
        const TChar* end = matcher.MatchCandidate(position);
        if (!end) {
            position = matcher.NextCandidate(position + 1);
            continue;
        }
        // Keys grow along the scan: a map that was empty takes each at its end.
        matches.emplace_hint(matches.end(), static_cast<int>(position - subject),
                             typename Traits<TChar>::String(position, static_cast<int>(end - position)));
        found = true;
        if (firstOnly) break;
        position = matcher.NextCandidate(end > position ? end : position + 1);
    }
    return found || !matches.empty() ? ScanResult::Found : ScanResult::NotFound;
}

// The first match's first group ("" when it reached no ')').
template <typename TChar>
ScanResult SearchFirstGroup(const TChar* subject, const TChar* pattern, typename Traits<TChar>::String& group,
                            bool foldCase, MatcherTuning tuning = MatcherTuning()) {
    const CompiledPattern<TChar>* program = CompileForScan(pattern);
    if (!program) return ScanResult::BadPattern;
    subject = OrEmpty(subject);
    Matcher<TChar> matcher(*program, subject, foldCase, tuning);
    std::vector<typename Traits<TChar>::String> groups;
    for (const TChar* position = matcher.NextCandidate(subject); position;
         position = matcher.NextCandidate(position + 1)) {
        groups.clear();
        if (matcher.Match(position, &groups)) {
            group = groups.empty() ? typename Traits<TChar>::String() : groups.front();
            return ScanResult::Found;
        }
    }
    return ScanResult::NotFound;
}

// Replaces every match (or the first) by the literal replacement, exactly.
// The text after the last match is kept whole, also past a zero unit inside it.
template <typename TChar>
ScanResult ReplaceMatches(typename Traits<TChar>::String& text, const TChar* pattern, const TChar* replacement,
                          bool firstOnly) {
    using String = typename Traits<TChar>::String;
    const String subject = text;
    std::map<int, String> matches;
    ScanResult result = FindMatches(subject.GetString(), pattern, matches, false, firstOnly);
    if (result != ScanResult::Found) return result;
    const String with(OrEmpty(replacement));
    String out;
    int copied = 0;
    for (const auto& [index, match] : matches) {
        out += subject.Mid(copied, index - copied);
        out += with;
        copied = index + match.GetLength();
    }
    out += subject.Mid(copied);
    text = out;
    return ScanResult::Found;
}

} // namespace regex_detail

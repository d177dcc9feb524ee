#include "clip/ClipCommandLine.h"

namespace {

// Where the element starts when `open` occurs, followed (after at least one
// character) by `close`; -1 otherwise.
int ElementStart(const CString& text, const wchar_t* open, const wchar_t* close) {
    int start = text.Find(open);
    if (start < 0) return -1;
    int contentStart = start + static_cast<int>(wcslen(open));
    return text.Find(close, contentStart + 1) >= 0 ? start : -1;
}

}  // namespace

// The element that comes first decides. Every writer puts its own element
// first (a link clip opens with "<param>", a form block with "<TQBLK>" and
// "<AA"), while the values inside come from web pages: a form value or a
// title that holds another kind's tags must not change what the process does.
ClipKind ClassifyClipCommandLine(const CString& commandLine) {
    struct Candidate {
        ClipKind kind;
        int start;
    } candidates[] = {
        {ClipKind::Link, ElementStart(commandLine, L"<param>", L"</param>")},
        {ClipKind::FormBlock, ElementStart(commandLine, L"<AA", L"</AA>")},
        {ClipKind::Event, ElementStart(commandLine, L"<evt>", L"</evt>")},
    };
    ClipKind kind = ClipKind::None;
    int first = -1;
    for (const auto& candidate : candidates) {
        if (candidate.start >= 0 && (first < 0 || candidate.start < first)) {
            first = candidate.start;
            kind = candidate.kind;
        }
    }
    if (kind == ClipKind::None)
        for (const wchar_t* open : {L"<param>", L"<AA", L"<evt>"})
            if (commandLine.Find(open) >= 0) return ClipKind::Unreadable;
    return kind;
}

#include "clip/ClipCommandLine.h"

namespace {

// True when `open` occurs, followed (after at least one character) by `close`.
bool HoldsElement(const CString& text, const wchar_t* open, const wchar_t* close) {
    int start = text.Find(open);
    if (start < 0) return false;
    int contentStart = start + static_cast<int>(wcslen(open));
    int end = text.Find(close, contentStart + 1);
    return end >= 0;
}

}  // namespace

ClipKind ClassifyClipCommandLine(const CString& commandLine) {
    if (HoldsElement(commandLine, L"<param>", L"</param>")) return ClipKind::Link;
    if (HoldsElement(commandLine, L"<AA", L"</AA>")) return ClipKind::FormBlock;
    if (HoldsElement(commandLine, L"<evt>", L"</evt>")) return ClipKind::Event;
    return ClipKind::None;
}

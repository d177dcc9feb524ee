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

// A link clip's form element comes after its parameters, and its writers
// always close it: a text that ends inside it ("<form>0</form", "<fo") was
// cut off on its way, as surely as one that ends inside the parameters.
bool FormElementCutOff(const CString& commandLine) {
    int paramEnd = -1;
    for (int hit = commandLine.Find(L"</param>"); hit >= 0; hit = commandLine.Find(L"</param>", hit + 1)) paramEnd = hit;
    if (paramEnd < 0) return false;
    CString tail = commandLine.Mid(paramEnd + 8);
    tail.TrimRight();
    tail.TrimRight(L'"');  // the quote that closes the argument
    const CString open = L"<form>";
    if (int start = tail.Find(open); start >= 0) return tail.Find(L"</form>", start + open.GetLength()) < 0;
    int last = tail.ReverseFind(L'<');
    return last >= 0 && tail.GetLength() - last < open.GetLength() && open.Left(tail.GetLength() - last) == tail.Mid(last);
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
    if (kind == ClipKind::Link && FormElementCutOff(commandLine)) return ClipKind::Unreadable;
    if (kind == ClipKind::None)
        for (const wchar_t* open : {L"<param>", L"<AA", L"<evt>"})
            if (commandLine.Find(open) >= 0) return ClipKind::Unreadable;
    return kind;
}

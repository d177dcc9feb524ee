#include "pages/PageTextLoss.h"

#include <string>
#include <string_view>
#include <unordered_map>

namespace {

using WordCounts = std::unordered_map<std::wstring, int>;

bool IsWordUnit(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9'); }
bool IsLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f'; }

wchar_t Fold(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool StartsNoCase(std::wstring_view text, size_t at, std::wstring_view word) {
    if (at + word.size() > text.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (Fold(text[at + i]) != Fold(word[i])) return false;
    return true;
}

size_t FindNoCase(std::wstring_view text, size_t from, std::wstring_view word) {
    for (size_t i = from; i + word.size() <= text.size(); ++i)
        if (StartsNoCase(text, i, word)) return i;
    return std::wstring_view::npos;
}

// The words of a piece of text: runs of ASCII letters and digits; character
// references ("&nbsp;", "&#160;") and every other unit part them, so that a
// text and the engine's escaped writing of it give the same words.
void CountWords(std::wstring_view text, WordCounts& counts) {
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == L'&') {
            size_t j = i + 1;
            if (j < text.size() && text[j] == L'#') ++j;
            while (j < text.size() && IsWordUnit(text[j])) ++j;
            i = j < text.size() && text[j] == L';' && j > i + 1 ? j + 1 : i + 1;
            continue;
        }
        if (!IsWordUnit(text[i])) {
            ++i;
            continue;
        }
        size_t start = i;
        while (i < text.size() && IsWordUnit(text[i])) ++i;
        ++counts[std::wstring(text.substr(start, i - start))];
    }
}

// A quoted value that runs on over markup: never closed, or closed only past
// a "<" and with a line end or an end tag inside (a value that merely holds a
// "<", as a title may, is the value it says).
bool IsCutValue(std::wstring_view value, bool unclosed) {
    if (unclosed) return true;
    size_t tag = value.find(L'<');
    if (tag == std::wstring_view::npos) return false;
    return value.find(L'\n', tag) != std::wstring_view::npos || value.find(L"</", tag) != std::wstring_view::npos;
}

// Reads the page's text outside its markup. `lenient`: a cut quoted value
// (IsCutValue) is read as an unquoted one.
WordCounts ReadWords(std::wstring_view text, bool lenient) {
    WordCounts counts;
    const size_t n = text.size();
    size_t i = 0, textStart = 0;
    auto flush = [&](size_t end) { CountWords(text.substr(textStart, end - textStart), counts); };
    while (i < n) {
        if (text[i] != L'<') {
            ++i;
            continue;
        }
        size_t next = i + 1;
        if (StartsNoCase(text, i, L"<!--")) {
            flush(i);
            size_t close = text.find(L"-->", i + 4);
            i = textStart = close == std::wstring_view::npos ? n : close + 3;
            continue;
        }
        if (next < n && (text[next] == L'!' || text[next] == L'?')) {
            flush(i);
            size_t close = text.find(L'>', next);
            i = textStart = close == std::wstring_view::npos ? n : close + 1;
            continue;
        }
        bool closing = next < n && text[next] == L'/';
        if (closing) ++next;
        if (next >= n || !IsLetter(text[next])) {
            ++i;  // a "<" that starts no tag is text
            continue;
        }
        flush(i);
        size_t nameStart = next;
        while (next < n && !IsSpace(text[next]) && text[next] != L'/' && text[next] != L'>') ++next;
        std::wstring_view name = text.substr(nameStart, next - nameStart);
        // The attributes, up to the tag's ">".
        size_t at = next;
        while (at < n && text[at] != L'>') {
            if (text[at] != L'=') {
                ++at;
                continue;
            }
            ++at;
            while (at < n && IsSpace(text[at])) ++at;
            if (at < n && text[at] != L'"' && text[at] != L'\'') {
                while (at < n && !IsSpace(text[at]) && text[at] != L'>') ++at;  // an unquoted value
                continue;
            }
            if (at >= n) break;
            const size_t none = std::wstring_view::npos;
            size_t close = text.find(text[at], at + 1);
            if (lenient && IsCutValue(text.substr(at + 1, close == none ? none : close - at - 1), close == none)) {
                while (at < n && !IsSpace(text[at]) && text[at] != L'>') ++at;  // as an unquoted value
                continue;
            }
            at = close == none ? n : close + 1;
        }
        i = textStart = at < n ? at + 1 : n;
        if (closing) continue;
        // Elements whose content holds no markup.
        for (std::wstring_view raw : {std::wstring_view(L"script"), std::wstring_view(L"style"),
                                      std::wstring_view(L"title"), std::wstring_view(L"textarea")}) {
            if (name.size() != raw.size() || !StartsNoCase(name, 0, raw)) continue;
            size_t end = FindNoCase(text, i, std::wstring(L"</") + std::wstring(raw));
            if (end == std::wstring_view::npos) end = n;
            if (raw == L"title" || raw == L"textarea") CountWords(text.substr(i, end - i), counts);
            i = textStart = end;
            break;
        }
    }
    flush(n);
    return counts;
}

int CountOf(const WordCounts& counts, const std::wstring& word) {
    auto found = counts.find(word);
    return found == counts.end() ? 0 : found->second;
}

} // namespace

bool WouldSaveDropHiddenText(const CString& fileText, const CString& newText) {
    std::wstring_view file = fileText.view();
    WordCounts shown = ReadWords(file, false);
    WordCounts held = ReadWords(file, true);
    WordCounts written;
    bool read = false;
    for (const auto& [word, count] : held) {
        if (count <= CountOf(shown, word)) continue;
        if (!read) {
            written = ReadWords(newText.view(), false);
            read = true;
        }
        if (CountOf(written, word) < count) return true;
    }
    return false;
}

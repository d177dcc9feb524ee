#include "page/PageTextLoss.h"

#include "dom/TreeWalk.h"
#include "html/Parser.h"
#include "html/Tokenizer.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace {

using WordCounts = std::unordered_map<std::wstring, int>;

// Letters and digits of any script; spaces, punctuation and symbols part words.
bool IsWordUnit(wchar_t c) {
    if (c < 0x80) return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
    if (c < 0xC0 || c == 0xD7 || c == 0xF7) return false;
    if (c >= 0x2000 && c <= 0x2BFF) return false;  // general punctuation, arrows, symbols, box drawing
    if (c >= 0x3000 && c <= 0x303F) return false;  // CJK punctuation
    return c != 0xFEFF && c != 0xFFFD;
}

void CountWords(const CString& text, WordCounts& counts) {
    const std::wstring& units = text.str();
    for (size_t i = 0; i < units.size();) {
        if (!IsWordUnit(units[i])) {
            ++i;
            continue;
        }
        size_t start = i;
        while (i < units.size() && IsWordUnit(units[i])) ++i;
        ++counts[units.substr(start, i - start)];
    }
}

// The words a browser shows of the text: those of its text nodes, but not
// of scripts and style sheets.
WordCounts VisibleWords(const CString& text) {
    WordCounts counts;
    auto document = html::ParseDocument(text);
    dom::WalkTree(*document, [&](const dom::NodePtr& node) {
        if (node->Is(dom::Tag::Script) || node->Is(dom::Tag::Style)) return false;
        if (node->IsText()) CountWords(node->Data(), counts);
        return true;
    });
    return counts;
}

int CountOf(const WordCounts& counts, const std::wstring& word) {
    auto found = counts.find(word);
    return found == counts.end() ? 0 : found->second;
}

} // namespace

bool WouldSaveDropHiddenText(const CString& fileText, const CString& newText, HiddenTextCause* cause) {
    // The file with every cut quote closed where its tag would have ended.
    html::Tokenizer tokenizer(fileText);
    tokenizer.EndCutQuotesAtTagEnd();
    for (html::Token token; tokenizer.Next(token);) {
    }
    const std::vector<html::CutQuote>& cuts = tokenizer.CutQuotes();
    if (cuts.empty()) return false;
    const std::wstring_view source = tokenizer.Source();
    CString mended;
    mended.str().reserve(source.size() + cuts.size());
    size_t copied = 0;
    for (const html::CutQuote& cut : cuts) {
        mended.str().append(source, copied, cut.tagEnd - copied);
        mended.str() += source[cut.quote];
        copied = cut.tagEnd;
    }
    mended.str().append(source, copied, std::wstring_view::npos);

    const WordCounts shown = VisibleWords(fileText);
    const WordCounts held = VisibleWords(mended);
    WordCounts written;
    bool read = false;
    for (const auto& [word, count] : held) {
        if (count <= CountOf(shown, word)) continue;
        if (!read) {
            written = VisibleWords(newText);
            read = true;
        }
        if (CountOf(written, word) >= count) continue;
        if (cause) {
            bool neverClosed = false;
            for (const html::CutQuote& cut : cuts) neverClosed = neverClosed || !cut.closed;
            *cause = neverClosed ? HiddenTextCause::QuoteNeverClosed : HiddenTextCause::QuoteClosedByLater;
        }
        return true;
    }
    return false;
}

// Splits HTML text into tokens the way a forgiving browser reads it: tags
// with quoted, unquoted and bare attributes, character references with and
// without the closing semicolon, comments, doctypes, and the text of
// SCRIPT, STYLE, TITLE, TEXTAREA and their kin up to their end tag.
#pragma once
#include "core/String.h"
#include "dom/Node.h"

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace html {

enum class TokenType { Text, StartTag, EndTag, Comment, Doctype, End };

struct Token {
    TokenType type = TokenType::End;
    CString name;  // tag name in upper case; comment: its delimiter kind
    dom::Tag tag = dom::Tag::Unknown;
    std::vector<dom::Attribute> attributes;
    CString data;  // text, comment or doctype text
};

// A quoted attribute value that runs on over markup: its quote is never
// closed, or is closed only by a quote that stands right against more of the
// tag (most likely the opening quote of a later value), and a '>' comes
// before that. A browser takes the markup up to the closing quote, and the
// text between, into the value. Positions are in the tokenizer's Source().
struct CutQuote {
    size_t quote;    // the opening quote
    size_t tagEnd;   // the first '>' after it, where the tag would have ended
    bool closed;     // false: the quote is never closed
};

// Reads the text in place: it must outlive the tokenizer.
class Tokenizer {
public:
    explicit Tokenizer(const CString& text);
    Tokenizer(const Tokenizer&) = delete;
    Tokenizer& operator=(const Tokenizer&) = delete;
    bool Next(Token& token);  // false at the end

    // From here on, a cut quote (CutQuote) is read as closed at the first
    // '>' after it, which ends the tag, and is listed in CutQuotes().
    void EndCutQuotesAtTagEnd() { m_endCutQuotes = true; }
    const std::vector<CutQuote>& CutQuotes() const { return m_cutQuotes; }
    // The text as it is read: line ends as LF, NUL as U+FFFD, no byte-order mark.
    std::wstring_view Source() const { return m_text; }

private:
    enum class Markup { Token, Skipped, None };
    Markup ReadMarkup(Token& token);
    void ReadText(Token& token);
    void ReadRawText(Token& token);
    Markup ReadTag(Token& token, bool endTag);
    void ReadAttributes(Token& token);
    void ReadComment(Token& token);
    void ReadBogus(Token& token, const wchar_t* kind);
    bool IsDuplicate(const std::vector<dom::Attribute>& attributes, const CString& name);
    bool IsSoundClose(size_t close) const;
    static std::wstring FoldedName(const CString& name);
    wchar_t Peek(size_t offset = 0) const { return m_pos + offset < m_text.size() ? m_text[m_pos + offset] : 0; }
    bool AtEnd() const { return m_pos >= m_text.size(); }

    std::wstring m_normalized;  // the text with its line ends and NULs replaced, when it has any
    std::wstring_view m_text;   // what is read: the caller's text or m_normalized
    size_t m_pos = 0;
    dom::Tag m_rawTag = dom::Tag::Unknown;  // set after a raw-text start tag
    CString m_rawName;                      // its name; empty outside raw text
    bool m_rawDecodes = false;
    std::unordered_set<std::wstring> m_names;  // the attribute names of a long tag, folded
    bool m_endCutQuotes = false;
    std::vector<CutQuote> m_cutQuotes;
};

// Where the text of a SCRIPT element read from 'from' ends: at the "</script"
// that closes it, or at the end. endsNested tells whether the end of the text
// was reached inside a "<!--<script>" stretch, where "</script>" does not close.
size_t FindScriptEnd(std::wstring_view text, size_t from, bool* endsNested = nullptr);

// Appends the text with its character references resolved. inAttribute
// follows the rule that a name without ';' before '=' or a letter stays text.
void DecodeReferences(const wchar_t* text, size_t length, bool inAttribute, std::wstring& out);

}  // namespace html

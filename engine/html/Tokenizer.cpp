#include "html/Tokenizer.h"

#include "html/Entities.h"

#include <cwctype>
#include <string_view>

namespace html {

namespace {

bool IsAsciiLetter(wchar_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsAsciiAlnum(wchar_t c) { return IsAsciiLetter(c) || (c >= '0' && c <= '9'); }
bool IsSpace(wchar_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }
wchar_t Upper(wchar_t c) { return (c >= 'a' && c <= 'z') ? wchar_t(c - 'a' + 'A') : c; }

// Characters 0x80-0x9F of numeric references mean what windows-1252 puts there.
const wchar_t kWindows1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendCodePoint(unsigned long cp, std::wstring& out) {
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp >= 0x80 && cp <= 0x9F) cp = kWindows1252[cp - 0x80];
    if (cp > 0xFFFF) {
        cp -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (cp >> 10));
        out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
    } else {
        out += static_cast<wchar_t>(cp);
    }
}

// Reads one reference at text[0] == '&'; answers the units consumed (0: plain '&').
size_t DecodeOne(const wchar_t* text, size_t length, bool inAttribute, std::wstring& out) {
    if (length < 2) return 0;
    if (text[1] == '#') {
        size_t i = 2;
        bool hex = i < length && (text[i] == 'x' || text[i] == 'X');
        if (hex) ++i;
        size_t digitsStart = i;
        unsigned long value = 0;
        for (; i < length; ++i) {
            wchar_t c = text[i];
            int digit = (c >= '0' && c <= '9') ? c - '0'
                        : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (digit < 0) break;
            if (value <= 0x10FFFF) value = value * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
        }
        if (i == digitsStart) return 0;
        if (i < length && text[i] == ';') ++i;
        AppendCodePoint(value, out);
        return i;
    }
    // Named: the whole name with ';', else the longest name that is also
    // read without it (&nbsp, &copy, &amp ...), so "&prod_id=" stays text.
    size_t nameEnd = 1;
    size_t longestName = static_cast<size_t>(LongestEntityName());
    while (nameEnd < length && nameEnd <= longestName && IsAsciiAlnum(text[nameEnd])) ++nameEnd;
    if (nameEnd == 1) return 0;
    bool semicolon = nameEnd < length && text[nameEnd] == ';';
    size_t nameLength = nameEnd - 1;
    if (semicolon) {
        const NamedEntity* entity = LookupEntity(text + 1, static_cast<int>(nameLength));
        bool allUpper = true;
        for (size_t k = 0; k < nameLength; ++k) allUpper = allUpper && !(text[1 + k] >= 'a' && text[1 + k] <= 'z');
        if (!entity && allUpper && nameLength <= 8) {  // &NBSP; &EACUTE; as older pages write them
            wchar_t lower[9];
            for (size_t k = 0; k < nameLength; ++k) lower[k] = static_cast<wchar_t>(std::towlower(text[1 + k]));
            entity = LookupEntity(lower, static_cast<int>(nameLength));
        }
        if (entity) {
            out += entity->value;
            return nameEnd + 1;
        }
    }
    for (size_t n = nameLength; n >= 2; --n) {
        const NamedEntity* entity = LookupEntity(text + 1, static_cast<int>(n));
        if (!entity || !entity->legacy) continue;
        size_t after = 1 + n;
        if (inAttribute && after < length && (IsAsciiAlnum(text[after]) || text[after] == '=')) return 0;
        out += entity->value;
        return after;
    }
    return 0;
}

}  // namespace

// Script text ends at its end tag, except inside "<!--" ... "-->" where a
// "<script>" opens a nested stretch whose own "</script>" does not end it,
// as browsers read old pages that hide scripts from even older browsers.
size_t FindScriptEnd(std::wstring_view text, size_t from, bool* endsNested) {
    enum class State { Plain, Escaped, DoubleEscaped } state = State::Plain;
    auto tagAt = [text](size_t at, bool endTag) {
        static const wchar_t kScript[] = L"SCRIPT";
        size_t name = at + (endTag ? 2 : 1);
        if (name + 6 > text.size()) return false;
        for (size_t k = 0; k < 6; ++k)
            if (Upper(text[name + k]) != kScript[k]) return false;
        wchar_t after = name + 6 < text.size() ? text[name + 6] : 0;
        return name + 6 < text.size() && (IsSpace(after) || after == '/' || after == '>');
    };
    for (size_t i = from; i < text.size();) {
        size_t hit = text.find_first_of(state == State::Plain ? L"<" : L"<-", i);
        if (hit == std::wstring_view::npos) break;
        if (text[hit] == '-') {
            if (text.compare(hit, 3, L"-->") == 0) {
                state = State::Plain;
                i = hit + 3;
            } else {
                i = hit + 1;
            }
            continue;
        }
        bool endTag = hit + 1 < text.size() && text[hit + 1] == '/';
        if (state == State::Plain && text.compare(hit, 4, L"<!--") == 0) {
            state = State::Escaped;
            i = hit + 2;  // its dashes may already close it: "<!-->"
        } else if (endTag && tagAt(hit, true)) {
            if (state != State::DoubleEscaped) {
                if (endsNested) *endsNested = false;
                return hit;
            }
            state = State::Escaped;
            i = hit + 8;
        } else if (!endTag && state == State::Escaped && tagAt(hit, false)) {
            state = State::DoubleEscaped;
            i = hit + 7;
        } else {
            i = hit + 1;
        }
    }
    if (endsNested) *endsNested = state == State::DoubleEscaped;
    return text.size();
}

void DecodeReferences(const wchar_t* text, size_t length, bool inAttribute, std::wstring& out) {
    out.reserve(out.size() + length);  // a reference is never shorter than what it stands for
    size_t i = 0;
    while (i < length) {
        const wchar_t* amp = static_cast<const wchar_t*>(std::wmemchr(text + i, L'&', length - i));
        if (!amp) {
            out.append(text + i, length - i);
            return;
        }
        size_t at = static_cast<size_t>(amp - text);
        out.append(text + i, at - i);
        size_t used = DecodeOne(text + at, length - at, inAttribute, out);
        if (used == 0) {
            out += L'&';
            i = at + 1;
        } else {
            i = at + used;
        }
    }
}

Tokenizer::Tokenizer(const CString& text) {
    // Line ends become LF, NUL becomes U+FFFD, and a leading byte-order mark goes.
    std::wstring_view source = text.view();
    if (!source.empty() && source[0] == 0xFEFF) source.remove_prefix(1);
    if (source.find_first_of(std::wstring_view(L"\r\0", 2)) == std::wstring_view::npos) {
        m_text = source;
        return;
    }
    m_normalized.reserve(source.size());
    for (size_t i = 0; i < source.size(); ++i) {
        wchar_t c = source[i];
        if (c == '\r') {
            m_normalized += L'\n';
            if (i + 1 < source.size() && source[i + 1] == '\n') ++i;
        } else if (c == 0) {
            m_normalized += static_cast<wchar_t>(0xFFFD);
        } else {
            m_normalized += c;
        }
    }
    m_text = m_normalized;
}

bool Tokenizer::Next(Token& token) {
    for (;;) {
        token.attributes.clear();
        token.data.Empty();
        token.name.Empty();
        token.tag = dom::Tag::Unknown;
        token.type = TokenType::End;
        if (AtEnd()) return false;
        if (!m_rawName.IsEmpty()) {
            ReadRawText(token);
            if (!token.data.IsEmpty()) return true;
            if (AtEnd()) {
                token.type = TokenType::End;
                return false;
            }
        }
        if (m_text[m_pos] == '<') {
            Markup markup = ReadMarkup(token);
            if (markup == Markup::Token) return true;
            if (markup == Markup::Skipped) continue;
        }
        ReadText(token);
        return true;
    }
}

void Tokenizer::ReadText(Token& token) {
    token.type = TokenType::Text;
    size_t start = m_pos;
    ++m_pos;  // the first unit is text even when it is a '<' that starts nothing
    for (;;) {
        size_t next = m_text.find(L'<', m_pos);
        if (next == std::wstring_view::npos) {
            m_pos = m_text.size();
            break;
        }
        m_pos = next;
        wchar_t c = Peek(1);
        if (IsAsciiLetter(c) || c == '/' || c == '!' || c == '?') break;
        ++m_pos;
    }
    DecodeReferences(m_text.data() + start, m_pos - start, false, token.data.str());
}

void Tokenizer::ReadRawText(Token& token) {
    token.type = TokenType::Text;
    size_t start = m_pos;
    size_t end = m_text.size();
    if (m_rawTag == dom::Tag::Script) {
        end = FindScriptEnd(m_text, m_pos);
    } else if (m_rawTag != dom::Tag::Plaintext) {
        size_t search = m_pos;
        int nameLength = m_rawName.GetLength();
        for (;;) {
            size_t hit = m_text.find(L"</", search);
            if (hit == std::wstring_view::npos) break;
            bool match = hit + 2 + static_cast<size_t>(nameLength) <= m_text.size();
            for (int k = 0; match && k < nameLength; ++k)
                match = Upper(m_text[hit + 2 + static_cast<size_t>(k)]) == m_rawName[k];
            if (match) {
                size_t after = hit + 2 + static_cast<size_t>(nameLength);
                wchar_t c = after < m_text.size() ? m_text[after] : 0;
                if (after < m_text.size() && (IsSpace(c) || c == '/' || c == '>')) {
                    end = hit;
                    break;
                }
            }
            search = hit + 2;
        }
    }
    m_pos = end;
    if (m_rawDecodes)
        DecodeReferences(m_text.data() + start, end - start, false, token.data.str());
    else
        token.data.str().assign(m_text, start, end - start);
    if (m_rawTag != dom::Tag::Plaintext) {
        m_rawTag = dom::Tag::Unknown;
        m_rawName.Empty();
    }
}

Tokenizer::Markup Tokenizer::ReadMarkup(Token& token) {
    wchar_t c = Peek(1);
    if (IsAsciiLetter(c)) return ReadTag(token, false);
    if (c == '/') {
        wchar_t d = Peek(2);
        if (IsAsciiLetter(d)) return ReadTag(token, true);
        if (d == '>') {  // "</>" is dropped
            m_pos += 3;
            return Markup::Skipped;
        }
        if (d == 0) return Markup::None;
        m_pos += 2;
        ReadBogus(token, L"!");
        return Markup::Token;
    }
    if (c == '!') {
        if (Peek(2) == '-' && Peek(3) == '-') {
            ReadComment(token);
            return Markup::Token;
        }
        if (m_text.compare(m_pos, 9, L"<![CDATA[") == 0) {  // kept as text
            token.type = TokenType::Text;
            size_t end = m_text.find(L"]]>", m_pos + 9);
            size_t stop = end == std::wstring_view::npos ? m_text.size() : end;
            token.data.str().assign(m_text, m_pos + 9, stop - m_pos - 9);
            m_pos = end == std::wstring_view::npos ? m_text.size() : end + 3;
            if (token.data.IsEmpty()) return Markup::Skipped;
            return Markup::Token;
        }
        static const wchar_t kDoctype[] = L"DOCTYPE";
        bool doctype = true;
        for (size_t k = 0; k < 7 && doctype; ++k) doctype = Upper(Peek(2 + k)) == kDoctype[k];
        m_pos += 2;
        ReadBogus(token, L"!");
        if (doctype) token.type = TokenType::Doctype;
        return Markup::Token;
    }
    if (c == '?') {
        m_pos += 2;
        ReadBogus(token, L"?");
        return Markup::Token;
    }
    return Markup::None;
}

void Tokenizer::ReadComment(Token& token) {
    token.type = TokenType::Comment;
    m_pos += 4;  // "<!--"
    if (Peek() == '>') {
        ++m_pos;
        return;
    }
    if (Peek() == '-' && Peek(1) == '>') {
        m_pos += 2;
        return;
    }
    size_t end = m_text.find(L"--", m_pos);
    while (end != std::wstring_view::npos) {
        if (end + 2 < m_text.size() && m_text[end + 2] == '>') {
            token.data.str().assign(m_text, m_pos, end - m_pos);
            m_pos = end + 3;
            return;
        }
        if (end + 3 < m_text.size() && m_text[end + 2] == '!' && m_text[end + 3] == '>') {
            token.data.str().assign(m_text, m_pos, end - m_pos);
            m_pos = end + 4;
            return;
        }
        end = m_text.find(L"--", end + 1);
    }
    // Cut off by the end of the text: the dashes that began its end are not its text.
    std::wstring_view rest = m_text.substr(m_pos);
    for (int k = 0; k < 2 && !rest.empty() && rest.back() == '-'; ++k) rest.remove_suffix(1);
    token.data.str().assign(rest);
    m_pos = m_text.size();
}

void Tokenizer::ReadBogus(Token& token, const wchar_t* kind) {
    token.type = TokenType::Comment;
    token.name = kind;
    size_t end = m_text.find(L'>', m_pos);
    if (end == std::wstring_view::npos) end = m_text.size();
    token.data.str().assign(m_text, m_pos, end - m_pos);
    m_pos = end < m_text.size() ? end + 1 : end;
}

Tokenizer::Markup Tokenizer::ReadTag(Token& token, bool endTag) {
    m_pos += endTag ? 2 : 1;
    std::wstring& name = token.name.str();
    while (!AtEnd()) {
        wchar_t c = m_text[m_pos];
        if (IsSpace(c) || c == '/' || c == '>') break;
        name += Upper(c);
        ++m_pos;
    }
    ReadAttributes(token);
    if (AtEnd()) return Markup::Skipped;  // a tag cut off by the end of the text is dropped
    ++m_pos;  // '>'
    token.type = endTag ? TokenType::EndTag : TokenType::StartTag;
    token.tag = dom::LookupTag(name.c_str(), static_cast<int>(name.size()));
    if (endTag) {
        token.attributes.clear();
    } else {
        unsigned flags = dom::TagFlagsOf(token.tag);
        if (flags & (dom::kRawText | dom::kRcData)) {
            m_rawTag = token.tag;
            m_rawName = token.name;
            m_rawDecodes = (flags & dom::kRcData) != 0;
        }
    }
    return Markup::Token;
}

void Tokenizer::ReadAttributes(Token& token) {
    for (;;) {
        while (!AtEnd() && (IsSpace(m_text[m_pos]) || m_text[m_pos] == '/')) ++m_pos;
        if (AtEnd() || m_text[m_pos] == '>') return;
        size_t nameStart = m_pos++;
        while (!AtEnd()) {
            wchar_t c = m_text[m_pos];
            if (IsSpace(c) || c == '/' || c == '>' || c == '=') break;
            ++m_pos;
        }
        dom::Attribute attribute;
        attribute.name.str().assign(m_text, nameStart, m_pos - nameStart);
        attribute.hasValue = false;
        size_t afterName = m_pos;
        while (!AtEnd() && IsSpace(m_text[m_pos])) ++m_pos;
        if (!AtEnd() && m_text[m_pos] == '=') {
            ++m_pos;
            while (!AtEnd() && IsSpace(m_text[m_pos])) ++m_pos;
            attribute.hasValue = true;
            size_t valueStart, valueEnd;
            wchar_t quote = Peek();
            if (quote == '"' || quote == '\'') {
                valueStart = ++m_pos;
                size_t close = m_text.find(quote, m_pos);
                valueEnd = close == std::wstring_view::npos ? m_text.size() : close;
                m_pos = close == std::wstring_view::npos ? m_text.size() : close + 1;
                if (m_endCutQuotes) {
                    size_t tagEnd = m_text.substr(0, valueEnd).find(L'>', valueStart);
                    if (tagEnd != std::wstring_view::npos && !IsSoundClose(close)) {
                        m_cutQuotes.push_back({valueStart - 1, tagEnd, close != std::wstring_view::npos});
                        valueEnd = m_pos = tagEnd;
                    }
                }
            } else {
                valueStart = m_pos;
                while (!AtEnd() && !IsSpace(m_text[m_pos]) && m_text[m_pos] != '>') ++m_pos;
                valueEnd = m_pos;
            }
            DecodeReferences(m_text.data() + valueStart, valueEnd - valueStart, true, attribute.value.str());
        } else {
            m_pos = afterName;
        }
        if (!IsDuplicate(token.attributes, attribute.name)) token.attributes.push_back(std::move(attribute));
    }
}

// A closing quote that ends its value for sure: the tag goes on after it
// with white space, its end, or "/>" (a later value's opening quote is
// followed by that value instead).
bool Tokenizer::IsSoundClose(size_t close) const {
    if (close == std::wstring_view::npos) return false;
    wchar_t after = close + 1 < m_text.size() ? m_text[close + 1] : 0;
    if (after == '/') after = close + 2 < m_text.size() ? m_text[close + 2] : 0;
    return after == 0 || after == '>' || IsSpace(after);
}

// The first of attributes with one name (in any case) counts. A tag holds a
// few; past a handful the names seen are kept in a set, so a tag with many
// thousands still reads in linear time.
bool Tokenizer::IsDuplicate(const std::vector<dom::Attribute>& attributes, const CString& name) {
    constexpr size_t kScanned = 16;
    if (attributes.size() < kScanned) {
        if (!m_names.empty()) m_names = std::unordered_set<std::wstring>();  // a new tag
        for (const auto& existing : attributes)
            if (existing.name.CompareNoCase(name) == 0) return true;
        return false;
    }
    if (m_names.empty())
        for (const auto& existing : attributes) m_names.insert(FoldedName(existing.name));
    return !m_names.insert(FoldedName(name)).second;
}

std::wstring Tokenizer::FoldedName(const CString& name) {
    std::wstring folded = name.str();
    for (auto& c : folded) c = CString::LowerAscii(c);
    return folded;
}

}  // namespace html

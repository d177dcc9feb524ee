#include "com/RegistrarScript.h"

#include <cwctype>

namespace {

// Tokens: quoted strings ('it''s'), braces, '=', and bare words.
class Tokenizer {
public:
    explicit Tokenizer(const CString& text) : m_text(text) {}

    struct Token {
        enum class Kind { End, Word, Quoted, Open, Close, Equals, Bad } kind = Kind::End;
        CString text;
    };

    Token Next() {
        SkipBlanks();
        Token t;
        if (m_pos >= m_text.GetLength()) return t;
        wchar_t c = m_text[m_pos];
        if (c == '{' && !StartsGuid()) { ++m_pos; t.kind = Token::Kind::Open; return t; }
        if (c == '}') { ++m_pos; t.kind = Token::Kind::Close; return t; }
        if (c == '=') { ++m_pos; t.kind = Token::Kind::Equals; return t; }
        if (c == '\'') return Quoted();
        t.kind = Token::Kind::Word;
        if (c == '{') {  // a bare {GUID} names a key
            int close = m_text.Find(L'}', m_pos);
            t.text = m_text.Mid(m_pos, close - m_pos + 1);
            m_pos = close + 1;
            return t;
        }
        while (m_pos < m_text.GetLength()) {
            wchar_t w = m_text[m_pos];
            if (std::iswspace(w) || w == '{' || w == '}' || w == '=' || w == '\'') break;
            t.text += w;
            ++m_pos;
        }
        return t;
    }

    Token Peek() {
        int saved = m_pos;
        Token t = Next();
        m_pos = saved;
        return t;
    }

private:
    // "{" directly followed by a hex digit and closed before any blank.
    bool StartsGuid() const {
        if (m_pos + 1 >= m_text.GetLength() || !std::iswxdigit(m_text[m_pos + 1])) return false;
        for (int i = m_pos + 1; i < m_text.GetLength(); ++i) {
            if (m_text[i] == '}') return true;
            if (std::iswspace(m_text[i]) || m_text[i] == '{') return false;
        }
        return false;
    }
    void SkipBlanks() {
        while (m_pos < m_text.GetLength() && (std::iswspace(m_text[m_pos]) || m_text[m_pos] == 0xFEFF)) ++m_pos;
    }
    Token Quoted() {
        Token t;
        ++m_pos;
        while (m_pos < m_text.GetLength()) {
            wchar_t w = m_text[m_pos++];
            if (w == '\'') {
                if (m_pos < m_text.GetLength() && m_text[m_pos] == '\'') {
                    t.text += w;
                    ++m_pos;
                    continue;
                }
                t.kind = Token::Kind::Quoted;
                return t;
            }
            t.text += w;
        }
        t.kind = Token::Kind::Bad;
        return t;
    }

    CString m_text;
    int m_pos = 0;
};

using Token = Tokenizer::Token;

CString Substitute(const CString& text, const RegistrarReplacements& replacements) {
    CString out;
    int pos = 0;
    while (pos < text.GetLength()) {
        int start = text.Find(L'%', pos);
        int end = start < 0 ? -1 : text.Find(L'%', start + 1);
        if (end < 0) break;
        CString name = text.Mid(start + 1, end - start - 1);
        auto hit = replacements.find(name);
        out += text.Mid(pos, start - pos);
        if (hit != replacements.end()) {
            out += hit->second;
        } else if (name.IsEmpty()) {
            out += L'%';  // %% is a literal percent sign
        } else {
            out += text.Mid(start, end - start + 1);
        }
        pos = end + 1;
    }
    out += text.Mid(pos);
    return out;
}

HKEY RootByName(const CString& name) {
    struct Root { const wchar_t* shortName; const wchar_t* longName; HKEY key; };
    static const Root roots[] = {
        {L"HKCR", L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {L"HKCU", L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {L"HKLM", L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {L"HKU", L"HKEY_USERS", HKEY_USERS},
    };
    for (const Root& r : roots)
        if (name.CompareNoCase(r.shortName) == 0 || name.CompareNoCase(r.longName) == 0) return r.key;
    return nullptr;
}

class Parser {
public:
    Parser(const CString& text, const RegistrarReplacements& replacements)
        : m_tokens(text), m_replacements(replacements) {}

    bool ParseScript(std::vector<RegistrarRoot>& roots) {
        for (;;) {
            Token t = m_tokens.Next();
            if (t.kind == Token::Kind::End) return true;
            if (t.kind != Token::Kind::Word) return Fail(L"a root key name was expected");
            RegistrarRoot root;
            root.root = RootByName(t.text);
            if (!root.root) return Fail(L"unknown root key " + t.text);
            if (m_tokens.Next().kind != Token::Kind::Open) return Fail(L"'{' was expected after " + t.text);
            if (!ParseBody(root.keys, nullptr)) return false;
            roots.push_back(std::move(root));
        }
    }

    CString error;

private:
    // Keys and values up to the closing brace.
    bool ParseBody(std::vector<RegistrarKey>& keys, std::vector<RegistrarValue>* values) {
        for (;;) {
            Token t = m_tokens.Next();
            if (t.kind == Token::Kind::Close) return true;
            if (t.kind == Token::Kind::End) return Fail(L"'}' is missing");
            if (t.kind == Token::Kind::Word && t.text.CompareNoCase(L"val") == 0) {
                if (!values) return Fail(L"a value outside of a key");
                RegistrarValue value;
                Token name = m_tokens.Next();
                if (name.kind != Token::Kind::Word && name.kind != Token::Kind::Quoted) return Fail(L"a value name was expected");
                value.name = Substitute(name.text, m_replacements);
                if (m_tokens.Next().kind != Token::Kind::Equals) return Fail(L"'=' was expected after val " + name.text);
                if (!ParseData(value)) return false;
                values->push_back(std::move(value));
                continue;
            }
            RegistrarKey key;
            if (t.kind == Token::Kind::Word) {
                if (t.text.CompareNoCase(L"NoRemove") == 0) key.removal = RegistrarKey::Removal::NoRemove;
                else if (t.text.CompareNoCase(L"ForceRemove") == 0) key.removal = RegistrarKey::Removal::ForceRemove;
                else if (t.text.CompareNoCase(L"Delete") == 0) key.removal = RegistrarKey::Removal::Delete;
                if (key.removal != RegistrarKey::Removal::Plain) t = m_tokens.Next();
            }
            if (t.kind != Token::Kind::Word && t.kind != Token::Kind::Quoted) return Fail(L"a key name was expected");
            key.name = Substitute(t.text, m_replacements);
            if (key.name.IsEmpty()) return Fail(L"empty key name");
            if (m_tokens.Peek().kind == Token::Kind::Equals) {
                m_tokens.Next();
                RegistrarValue value;
                if (!ParseData(value)) return false;
                key.defaultValue = std::move(value);
            }
            if (m_tokens.Peek().kind == Token::Kind::Open) {
                m_tokens.Next();
                if (!ParseBody(key.subkeys, &key.values)) return false;
            }
            keys.push_back(std::move(key));
        }
    }

    // "s 'text'" or "d 'number'".
    bool ParseData(RegistrarValue& value) {
        Token type = m_tokens.Next();
        Token data = m_tokens.Next();
        if (type.kind != Token::Kind::Word || (data.kind != Token::Kind::Quoted && data.kind != Token::Kind::Word))
            return Fail(L"a typed value was expected");
        CString text = Substitute(data.text, m_replacements);
        if (type.text.CompareNoCase(L"s") == 0) {
            value.text = text;
            return true;
        }
        if (type.text.CompareNoCase(L"d") == 0) {
            wchar_t* end = nullptr;
            unsigned long number = std::wcstoul(text.GetString(), &end, 0);
            if (text.IsEmpty() || !end || *end) return Fail(L"bad number " + text);
            value.isNumber = true;
            value.number = static_cast<DWORD>(number);
            return true;
        }
        return Fail(L"unknown value type " + type.text);
    }

    bool Fail(const CString& why) {
        error = why;
        return false;
    }

    Tokenizer m_tokens;
    const RegistrarReplacements& m_replacements;
};

LSTATUS WriteValue(HKEY key, const RegistrarValue& value) {
    const wchar_t* name = value.name.IsEmpty() ? nullptr : value.name.GetString();
    if (value.isNumber)
        return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value.number), sizeof(DWORD));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.GetString()),
                          static_cast<DWORD>((value.text.GetLength() + 1) * sizeof(wchar_t)));
}

LSTATUS RegisterKey(HKEY parent, const RegistrarKey& key) {
    if (key.removal == RegistrarKey::Removal::Delete || key.removal == RegistrarKey::Removal::ForceRemove) {
        LSTATUS deleted = RegDeleteTreeW(parent, key.name);
        if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) return deleted;
        if (key.removal == RegistrarKey::Removal::Delete) return ERROR_SUCCESS;
    }
    HKEY handle = nullptr;
    LSTATUS status = RegCreateKeyExW(parent, key.name, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &handle, nullptr);
    if (status != ERROR_SUCCESS) return status;
    if (key.defaultValue) status = WriteValue(handle, *key.defaultValue);
    for (size_t i = 0; status == ERROR_SUCCESS && i < key.values.size(); ++i) status = WriteValue(handle, key.values[i]);
    for (size_t i = 0; status == ERROR_SUCCESS && i < key.subkeys.size(); ++i) status = RegisterKey(handle, key.subkeys[i]);
    RegCloseKey(handle);
    return status;
}

bool HasSubkeys(HKEY key) {
    DWORD subkeys = 0;
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr) != ERROR_SUCCESS || subkeys > 0;
}

// Missing keys are not an error: what is gone need not be removed.
LSTATUS UnregisterKey(HKEY parent, const RegistrarKey& key) {
    using Removal = RegistrarKey::Removal;
    if (key.removal == Removal::Delete) return ERROR_SUCCESS;
    if (key.removal == Removal::ForceRemove) {
        LSTATUS deleted = RegDeleteTreeW(parent, key.name);  // the key itself goes too
        return deleted == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : deleted;
    }
    HKEY handle = nullptr;
    LSTATUS status = RegOpenKeyExW(parent, key.name, 0, KEY_READ | KEY_WRITE, &handle);
    if (status == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
    if (status != ERROR_SUCCESS) return status;
    for (const RegistrarKey& sub : key.subkeys) {
        status = UnregisterKey(handle, sub);
        if (status != ERROR_SUCCESS) break;
    }
    for (const RegistrarValue& value : key.values) RegDeleteValueW(handle, value.name);
    bool keep = key.removal == Removal::NoRemove || HasSubkeys(handle);
    RegCloseKey(handle);
    if (status == ERROR_SUCCESS && !keep) {
        LSTATUS deleted = RegDeleteKeyW(parent, key.name);
        if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) status = deleted;
    }
    return status;
}

}  // namespace

bool RegistrarScript::Parse(const CString& text, const RegistrarReplacements& replacements, CString* error) {
    m_roots.clear();
    Parser parser(text, replacements);
    if (parser.ParseScript(m_roots)) return true;
    m_roots.clear();
    if (error) *error = parser.error;
    return false;
}

HRESULT RegistrarScript::Register() const {
    for (const RegistrarRoot& root : m_roots)
        for (const RegistrarKey& key : root.keys) {
            LSTATUS status = RegisterKey(root.root, key);
            if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
        }
    return S_OK;
}

HRESULT RegistrarScript::Unregister() const {
    HRESULT result = S_OK;
    for (const RegistrarRoot& root : m_roots)
        for (const RegistrarKey& key : root.keys) {
            LSTATUS status = UnregisterKey(root.root, key);
            if (status != ERROR_SUCCESS && result == S_OK) result = HRESULT_FROM_WIN32(status);
        }
    return result;
}

std::optional<CString> LoadRegistrarResource(HMODULE module, int id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
    if (!found) return std::nullopt;
    HGLOBAL loaded = LoadResource(module, found);
    DWORD size = SizeofResource(module, found);
    const auto* bytes = static_cast<const unsigned char*>(loaded ? LockResource(loaded) : nullptr);
    if (!bytes) return std::nullopt;
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return CString(reinterpret_cast<const wchar_t*>(bytes + 2), static_cast<int>((size - 2) / sizeof(wchar_t)));
    int skip = (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) ? 3 : 0;
    const char* text = reinterpret_cast<const char*>(bytes + skip);
    int length = static_cast<int>(size) - skip;
    int wide = MultiByteToWideChar(CP_UTF8, 0, text, length, nullptr, 0);
    CString out;
    if (wide > 0) MultiByteToWideChar(CP_UTF8, 0, text, length, out.GetBufferSetLength(wide), wide);
    return out;
}

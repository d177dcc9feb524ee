#include "util/Strings.h"

#include "core/MessageBox.h"
#include "regex/Regex.h"

#include <windows.h>

#include <climits>
#include <cstdlib>
#include <cwctype>

namespace {

// From the start, each delimiter found at a position of at least 1 ends a
// part; a delimiter at position 0 (or none) ends the splitting, and the rest
// of the text, possibly empty, is the last part.
template <typename TString>
int SplitAny(const TString& text, std::vector<TString>& parts, const TString& delimiter) {
    int position = 0;
    if (!delimiter.IsEmpty()) {
        for (;;) {
            int found = text.Find(delimiter.GetString(), position);
            if (found < 1) break;
            parts.push_back(text.Mid(position, found - position));
            position = found + delimiter.GetLength();
        }
    }
    parts.push_back(text.Mid(position));
    return 1;
}

bool EqualNoCaseAt(const CString& text, int at, const wchar_t* needle, int length) {
    for (int i = 0; i < length; ++i)
        if (CString::FoldAscii(text[at + i]) != CString::FoldAscii(needle[i])) return false;
    return true;
}

} // namespace

int SplitString(const CString& text, std::vector<CString>& parts, const CString& delimiter) {
    return SplitAny(text, parts, delimiter);
}

int SplitStringA(const CStringA& text, std::vector<CStringA>& parts, const CStringA& delimiter) {
    return SplitAny(text, parts, delimiter);
}

CStringA IntToString(long long value) {
    CStringA text;
    text.Format("%lld", value);
    return text;
}

int StringToInt(const CStringA& text) {
    int i = 0, length = text.GetLength();
    while (i < length && (text[i] == ' ' || (text[i] >= 9 && text[i] <= 13))) ++i;
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(value);
}

int CopyStringToBuffer(const CString& text, unsigned char* buffer, size_t size) {
    size_t needed = static_cast<size_t>(text.GetLength()) + 2;
    if (!buffer || size < needed) return 0;
    for (int i = 0; i < text.GetLength(); ++i) buffer[i] = static_cast<unsigned char>(text[i] & 0xFF);
    buffer[text.GetLength()] = 0;
    buffer[text.GetLength() + 1] = 0;
    return 1;
}

void ShowMessage(const CString& text) { ShowMessageBox(nullptr, text, L"Tarvelo", MB_OK); }

void ShowMessageA(const CStringA& text) { ShowMessage(CodePageToWide(text.GetString(), text.GetLength(), CP_ACP)); }

bool MatchesPattern(const CString& pattern, const CString& text) { return RegexIsMatch(text, pattern); }

int FindNoCase(const CString& text, const wchar_t* needle, int start) {
    int length = static_cast<int>(wcslen(needle));
    if (length == 0) return start <= text.GetLength() ? start : -1;
    wchar_t first = CString::FoldAscii(needle[0]);
    for (int at = std::max(start, 0); at + length <= text.GetLength(); ++at)
        if (CString::FoldAscii(text[at]) == first && EqualNoCaseAt(text, at, needle, length)) return at;
    return -1;
}

int ReverseFindNoCase(const CString& text, const wchar_t* needle) {
    int length = static_cast<int>(wcslen(needle));
    for (int at = text.GetLength() - length; at >= 0; --at)
        if (EqualNoCaseAt(text, at, needle, length)) return at;
    return -1;
}

CStringA WideToCodePage(const CString& text, unsigned codePage) {
    if (text.IsEmpty()) return CStringA();
    bool utf8 = codePage == CP_UTF8;
    DWORD flags = utf8 ? 0 : WC_COMPOSITECHECK | WC_SEPCHARS;
    const char* fallback = utf8 ? nullptr : "#";
    int bytes = WideCharToMultiByte(codePage, flags, text, text.GetLength(), nullptr, 0, fallback, nullptr);
    if (bytes <= 0) return CStringA();
    CStringA out;
    WideCharToMultiByte(codePage, flags, text, text.GetLength(), out.GetBufferSetLength(bytes), bytes, fallback,
                        nullptr);
    return out;
}

bool LosesCharactersIn(const CString& text, unsigned codePage) {
    CStringA narrow = WideToCodePage(text, codePage);
    return CodePageToWide(narrow.GetString(), static_cast<size_t>(narrow.GetLength()), codePage) != text;
}

CString CodePageToWide(const char* bytes, size_t length, unsigned codePage) {
    if (!bytes || length == 0) return CString();
    int count = static_cast<int>(std::min<size_t>(length, INT_MAX));
    DWORD flags = codePage == CP_UTF8 ? 0 : MB_PRECOMPOSED;
    int units = MultiByteToWideChar(codePage, flags, bytes, count, nullptr, 0);
    if (units <= 0) return CString();
    CString out;
    MultiByteToWideChar(codePage, flags, bytes, count, out.GetBufferSetLength(units), units);
    return out;
}

CString DecodeCharacterReferences(const CString& text) {
    const std::wstring& in = text.str();
    std::wstring out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        size_t semi = in[i] == L'&' ? in.find(L';', i + 1) : std::wstring::npos;
        if (semi != std::wstring::npos && semi - i <= 10) {
            std::wstring name = in.substr(i + 1, semi - i - 1);
            for (wchar_t& c : name) c = static_cast<wchar_t>(towlower(c));
            unsigned long code = 0;
            if (name == L"amp") code = L'&';
            else if (name == L"lt") code = L'<';
            else if (name == L"gt") code = L'>';
            else if (name == L"quot") code = L'"';
            else if (name == L"apos") code = L'\'';
            else if (name == L"nbsp") code = 0xA0;
            else if (name.size() > 1 && name[0] == L'#') {
                bool hex = name[1] == L'x';
                std::wstring digits = name.substr(hex ? 2 : 1);
                if (!digits.empty() && digits.size() <= 7 &&
                    digits.find_first_not_of(hex ? L"0123456789abcdef" : L"0123456789") == std::wstring::npos)
                    code = std::wcstoul(digits.c_str(), nullptr, hex ? 16 : 10);
                if (code > 0x10FFFF) code = 0;
            }
            if (code) {
                if (code > 0xFFFF) {
                    code -= 0x10000;
                    out += static_cast<wchar_t>(0xD800 + (code >> 10));
                    out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
                } else {
                    out += static_cast<wchar_t>(code);
                }
                i = semi;
                continue;
            }
        }
        out += in[i];
    }
    return CString(out);
}


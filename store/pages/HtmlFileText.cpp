#include "pages/HtmlFileText.h"

#include "pages/PageFile.h"
#include "util/Files.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

struct CharsetCodePage {
    const wchar_t* name;
    unsigned codePage;
};

// Names as the IANA registry and the browsers spell them. Latin-1 and ASCII
// are read as windows-1252, its superset, as browsers read them: files that
// declare them commonly hold 1252's quotes and dashes in 0x80-0x9F.
constexpr CharsetCodePage kCharsets[] = {
    {L"utf-8", CP_UTF8}, {L"utf8", CP_UTF8}, {L"unicode-1-1-utf-8", CP_UTF8},
    {L"unicode", CP_UTF8}, {L"utf-16", CP_UTF8}, {L"utf-16le", CP_UTF8}, {L"utf-16be", CP_UTF8},
    {L"iso-8859-1", 1252}, {L"iso8859-1", 1252}, {L"iso_8859-1", 1252}, {L"latin1", 1252}, {L"l1", 1252},
    {L"us-ascii", 1252}, {L"ascii", 1252}, {L"cp819", 1252}, {L"ibm819", 1252},
    {L"windows-874", 874}, {L"tis-620", 874}, {L"iso-8859-11", 874},
    {L"windows-1250", 1250}, {L"windows-1251", 1251}, {L"windows-1252", 1252}, {L"windows-1253", 1253},
    {L"windows-1254", 1254}, {L"windows-1255", 1255}, {L"windows-1256", 1256}, {L"windows-1257", 1257},
    {L"windows-1258", 1258},
    {L"cp1250", 1250}, {L"cp1251", 1251}, {L"cp1252", 1252}, {L"cp1253", 1253}, {L"cp1254", 1254},
    {L"cp1255", 1255}, {L"cp1256", 1256}, {L"cp1257", 1257}, {L"cp1258", 1258},
    {L"x-cp1250", 1250}, {L"x-cp1251", 1251},
    {L"iso-8859-2", 28592}, {L"latin2", 28592}, {L"iso-8859-3", 28593}, {L"iso-8859-4", 28594},
    {L"iso-8859-5", 28595}, {L"iso-8859-6", 28596}, {L"iso-8859-7", 28597}, {L"iso-8859-8", 28598},
    {L"iso-8859-8-i", 38598}, {L"iso-8859-9", 28599}, {L"latin5", 28599}, {L"iso-8859-13", 28603},
    {L"iso-8859-15", 28605}, {L"latin-9", 28605},
    {L"koi8-r", 20866}, {L"koi8-u", 21866}, {L"koi8-ru", 21866},
    {L"ibm866", 866}, {L"cp866", 866}, {L"866", 866}, {L"ibm850", 850}, {L"cp850", 850}, {L"ibm437", 437},
    {L"cp437", 437},
    {L"x-mac-roman", 10000}, {L"macintosh", 10000}, {L"mac", 10000}, {L"csmacintosh", 10000},
    {L"x-mac-cyrillic", 10007}, {L"x-mac-ukrainian", 10017}, {L"x-mac-ce", 10029}, {L"x-mac-greek", 10006},
    {L"x-mac-turkish", 10081}, {L"x-mac-icelandic", 10079}, {L"x-mac-croatian", 10082},
    {L"x-mac-romanian", 10010}, {L"x-mac-hebrew", 10005}, {L"x-mac-arabic", 10004},
    {L"x-mac-japanese", 10001}, {L"x-mac-chinesetrad", 10002}, {L"x-mac-korean", 10003},
    {L"x-mac-chinesesimp", 10008}, {L"x-mac-thai", 10021},
    {L"shift_jis", 932}, {L"shift-jis", 932}, {L"sjis", 932}, {L"x-sjis", 932}, {L"ms_kanji", 932},
    {L"windows-31j", 932}, {L"cp932", 932}, {L"euc-jp", 20932}, {L"x-euc-jp", 20932},
    {L"iso-2022-jp", 50220},
    {L"gb2312", 936}, {L"gbk", 936}, {L"cp936", 936}, {L"x-gbk", 936}, {L"euc-cn", 936},
    {L"gb18030", 54936}, {L"hz-gb-2312", 52936},
    {L"big5", 950}, {L"big5-hkscs", 950}, {L"cp950", 950}, {L"x-x-big5", 950},
    {L"euc-kr", 949}, {L"ks_c_5601-1987", 949}, {L"cp949", 949}, {L"korean", 949}, {L"iso-2022-kr", 50225},
    {L"utf-7", CP_UTF7},
};

bool EqualsNoCase(const CString& a, const wchar_t* b) {
    int length = static_cast<int>(wcslen(b));
    if (a.GetLength() != length) return false;
    for (int i = 0; i < length; ++i)
        if (CString::FoldAscii(a[i]) != CString::FoldAscii(b[i])) return false;
    return true;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Case-insensitive search of ASCII text in bytes.
size_t FindBytesNoCase(const std::string& bytes, const char* needle, size_t start, size_t end) {
    size_t length = strlen(needle);
    for (size_t at = start; at + length <= end; ++at) {
        size_t i = 0;
        while (i < length && LowerAscii(bytes[at + i]) == needle[i]) ++i;
        if (i == length) return at;
    }
    return std::string::npos;
}

bool IsBlankByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

// The bytes in a code page; false when the system has no such code page or
// the bytes do not convert (the caller then reads them otherwise).
bool DecodeInCodePage(const char* data, size_t length, unsigned codePage, DWORD flags, CString& text) {
    if (length == 0) {
        text = CString();
        return true;
    }
    bool known = codePage == CP_ACP || codePage == CP_UTF8 || codePage == CP_UTF7 || IsValidCodePage(codePage);
    if (length > INT_MAX || !known) return false;
    int count = static_cast<int>(length);
    int units = MultiByteToWideChar(codePage, flags, data, count, nullptr, 0);
    if (units <= 0) return false;
    std::wstring out(static_cast<size_t>(units), L'\0');
    if (MultiByteToWideChar(codePage, flags, data, count, out.data(), units) != units) return false;
    text = CString(std::move(out));
    return true;
}

} // namespace

unsigned CodePageOfCharset(const CString& name) {
    for (const CharsetCodePage& entry : kCharsets)
        if (EqualsNoCase(name, entry.name)) return entry.codePage;
    return 0;
}

CString DeclaredCharset(const std::string& bytes) {
    // The declaration stands in the head; a browser looks only so far, too.
    const size_t end = std::min<size_t>(bytes.size(), 8192);
    for (size_t meta = FindBytesNoCase(bytes, "<meta", 0, end); meta != std::string::npos;
         meta = FindBytesNoCase(bytes, "<meta", meta + 5, end)) {
        size_t close = bytes.find('>', meta);
        if (close == std::string::npos || close > end) close = end;
        for (size_t at = FindBytesNoCase(bytes, "charset", meta, close); at != std::string::npos;
             at = FindBytesNoCase(bytes, "charset", at + 7, close)) {
            size_t i = at + 7;
            while (i < close && IsBlankByte(bytes[i])) ++i;
            if (i >= close || bytes[i] != '=') continue;
            ++i;
            while (i < close && (IsBlankByte(bytes[i]) || bytes[i] == '"' || bytes[i] == '\'')) ++i;
            CString name;
            for (; i < close; ++i) {
                char c = bytes[i];
                bool part = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                            c == '-' || c == '_' || c == '.' || c == ':';
                if (!part) break;
                name.AppendChar(static_cast<wchar_t>(c));
            }
            if (!name.IsEmpty()) return name;
        }
    }
    return CString();
}

CString DecodeHtmlFileBytes(const std::string& bytes) {
    auto byte = [&](size_t i) { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u; };
    CString text;
    if (byte(0) == 0xFF && byte(1) == 0xFE) {
        text = DecodeUtf16(bytes, 2, false);
    } else if (byte(0) == 0xFE && byte(1) == 0xFF) {
        text = DecodeUtf16(bytes, 2, true);
    } else if (byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) {
        DecodeInCodePage(bytes.data() + 3, bytes.size() - 3, CP_UTF8, 0, text);
    } else {
        unsigned declared = CodePageOfCharset(DeclaredCharset(bytes));
        // A file that declares UTF-8 but is not (an editor saved it in
        // another set) is read as an undeclared one, never with its
        // characters lost as replacement marks.
        DWORD flags = declared == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
        if (!declared || !DecodeInCodePage(bytes.data(), bytes.size(), declared, flags, text))
            if (!DecodeInCodePage(bytes.data(), bytes.size(), CP_UTF8, MB_ERR_INVALID_CHARS, text))
                DecodeInCodePage(bytes.data(), bytes.size(), CP_ACP, 0, text);
    }
    FoldLineEnds(text);
    return text;
}

bool ReadHtmlFileText(const CString& path, CString& text) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) return false;
    text = DecodeHtmlFileBytes(bytes);
    return true;
}

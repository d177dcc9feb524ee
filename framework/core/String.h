// The framework's counted string: CString (UTF-16, the system's text) and
// CStringA (8-bit text in a code page). Both are thin value types over
// std::basic_string; every text in the system passes through CString.
#pragma once

#include <algorithm>
#include <compare>
#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>

template <typename TChar>
class CStringT {
public:
    using Char = TChar;
    using Std = std::basic_string<TChar>;
    using View = std::basic_string_view<TChar>;
    using PCXSTR = const TChar*;

    CStringT() = default;
    CStringT(const TChar* text) : m_text(text ? text : Std()) {}
    CStringT(const TChar* text, int length) : m_text(text ? Std(text, static_cast<size_t>(std::max(length, 0))) : Std()) {}
    CStringT(TChar ch, int repeat = 1) : m_text(static_cast<size_t>(std::max(repeat, 0)), ch) {}
    CStringT(Std text) : m_text(std::move(text)) {}
    CStringT(View text) : m_text(text) {}

    // Access -------------------------------------------------------------
    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    const TChar* GetString() const { return m_text.c_str(); }
    operator const TChar*() const { return m_text.c_str(); }
    TChar GetAt(int index) const { return m_text.at(static_cast<size_t>(index)); }
    void SetAt(int index, TChar ch) { m_text.at(static_cast<size_t>(index)) = ch; }
    TChar operator[](int index) const { return GetAt(index); }
    const Std& str() const { return m_text; }
    Std& str() { return m_text; }
    View view() const { return m_text; }

    // A writable buffer of at least minLength units (plus terminator).
    // ReleaseBuffer() trims the string at the first terminator, or to the given length.
    TChar* GetBuffer(int minLength = 0) {
        if (minLength > GetLength()) m_text.resize(static_cast<size_t>(minLength));
        return m_text.data();
    }
    TChar* GetBufferSetLength(int length) {
        m_text.resize(static_cast<size_t>(std::max(length, 0)));
        return m_text.data();
    }
    void ReleaseBuffer(int newLength = -1) {
        if (newLength < 0) {
            size_t end = m_text.find(TChar(0));
            if (end != Std::npos) m_text.resize(end);
        } else {
            m_text.resize(std::min(static_cast<size_t>(newLength), m_text.size()));
        }
    }

    // Building -------------------------------------------------------------
    CStringT& operator=(const TChar* text) { m_text = text ? text : Std(); return *this; }
    CStringT& operator=(TChar ch) { m_text.assign(1, ch); return *this; }
    CStringT& operator+=(const CStringT& other) { m_text += other.m_text; return *this; }
    CStringT& operator+=(const TChar* text) { if (text) m_text += text; return *this; }
    CStringT& operator+=(TChar ch) { m_text += ch; return *this; }
    void Append(const TChar* text, int length) { if (text && length > 0) m_text.append(text, static_cast<size_t>(length)); }
    void AppendChar(TChar ch) { m_text += ch; }

    friend CStringT operator+(const CStringT& a, const CStringT& b) { return CStringT(a.m_text + b.m_text); }
    friend CStringT operator+(const CStringT& a, const TChar* b) { CStringT r(a); r += b; return r; }
    friend CStringT operator+(const TChar* a, const CStringT& b) { CStringT r(a); r += b; return r; }
    friend CStringT operator+(const CStringT& a, TChar b) { CStringT r(a); r += b; return r; }
    friend CStringT operator+(TChar a, const CStringT& b) { CStringT r(a); r += b; return r; }

    // Comparison -------------------------------------------------------------
    friend bool operator==(const CStringT& a, const CStringT& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CStringT& a, const TChar* b) { return a.m_text == (b ? View(b) : View()); }
    friend std::strong_ordering operator<=>(const CStringT& a, const CStringT& b) { return a.m_text.compare(b.m_text) <=> 0; }
    int Compare(const TChar* other) const { return m_text.compare(other ? other : Std()); }
    int CompareNoCase(const TChar* other) const {
        View b = other ? View(other) : View();
        size_t n = std::min(m_text.size(), b.size());
        for (size_t i = 0; i < n; ++i) {
            TChar x = FoldAscii(m_text[i]), y = FoldAscii(b[i]);
            if (x != y) return x < y ? -1 : 1;
        }
        return m_text.size() == b.size() ? 0 : (m_text.size() < b.size() ? -1 : 1);
    }

    // Extraction (indices are clamped like the framework does) -----------------
    CStringT Mid(int first) const { return Mid(first, GetLength()); }
    CStringT Mid(int first, int count) const {
        first = std::clamp(first, 0, GetLength());
        count = std::clamp(count, 0, GetLength() - first);
        return CStringT(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
    }
    CStringT Left(int count) const { return Mid(0, count); }
    CStringT Right(int count) const {
        count = std::clamp(count, 0, GetLength());
        return Mid(GetLength() - count, count);
    }

    // Searching: -1 when absent ---------------------------------------------------
    int Find(TChar ch, int start = 0) const { return ToIndex(start < 0 ? Std::npos : m_text.find(ch, static_cast<size_t>(start))); }
    int Find(const TChar* sub, int start = 0) const {
        if (!sub || start < 0) return -1;
        return ToIndex(m_text.find(sub, static_cast<size_t>(start)));
    }
    int ReverseFind(TChar ch) const { return ToIndex(m_text.rfind(ch)); }
    int FindOneOf(const TChar* set) const { return set ? ToIndex(m_text.find_first_of(set)) : -1; }

    // Changing in place ------------------------------------------------------------
    int Replace(const TChar* oldText, const TChar* newText) {
        if (!oldText || !*oldText) return 0;
        View from(oldText), to = newText ? View(newText) : View();
        int count = 0;
        Std out;
        size_t pos = 0, hit;
        while ((hit = m_text.find(from, pos)) != Std::npos) {
            out.append(m_text, pos, hit - pos);
            out.append(to);
            pos = hit + from.size();
            ++count;
        }
        if (count) { out.append(m_text, pos, Std::npos); m_text.swap(out); }
        return count;
    }
    int Replace(TChar oldCh, TChar newCh) {
        int count = 0;
        for (auto& c : m_text) if (c == oldCh) { c = newCh; ++count; }
        return count;
    }
    int Remove(TChar ch) {
        auto end = std::remove(m_text.begin(), m_text.end(), ch);
        int count = static_cast<int>(m_text.end() - end);
        m_text.erase(end, m_text.end());
        return count;
    }
    int Insert(int index, const TChar* text) {
        index = std::clamp(index, 0, GetLength());
        if (text) m_text.insert(static_cast<size_t>(index), text);
        return GetLength();
    }
    int Insert(int index, TChar ch) {
        index = std::clamp(index, 0, GetLength());
        m_text.insert(static_cast<size_t>(index), 1, ch);
        return GetLength();
    }
    int Delete(int index, int count = 1) {
        if (index >= 0 && index < GetLength() && count > 0)
            m_text.erase(static_cast<size_t>(index), static_cast<size_t>(count));
        return GetLength();
    }
    void Truncate(int length) { if (length >= 0 && length < GetLength()) m_text.resize(static_cast<size_t>(length)); }
    CStringT& MakeUpper() { for (auto& c : m_text) c = UpperAscii(c); return *this; }
    CStringT& MakeLower() { for (auto& c : m_text) c = LowerAscii(c); return *this; }
    CStringT& MakeReverse() { std::reverse(m_text.begin(), m_text.end()); return *this; }
    CStringT& TrimLeft() { m_text.erase(0, CountLeading()); return *this; }
    CStringT& TrimRight() { m_text.resize(m_text.size() - CountTrailing()); return *this; }
    CStringT& Trim() { TrimRight(); return TrimLeft(); }
    CStringT& TrimLeft(TChar ch) { size_t n = m_text.find_first_not_of(ch); m_text.erase(0, n == Std::npos ? m_text.size() : n); return *this; }
    CStringT& TrimRight(TChar ch) { size_t n = m_text.find_last_not_of(ch); m_text.resize(n == Std::npos ? 0 : n + 1); return *this; }
    CStringT& Trim(TChar ch) { TrimRight(ch); return TrimLeft(ch); }

    // Formatting with ISO printf rules, as the runtime here follows them: in a wide
    // format, %ls takes a wide string and %s a narrow one; %d, %x, %u as usual.
    void Format(const TChar* format, ...) {
        va_list args;
        va_start(args, format);
        FormatV(format, args);
        va_end(args);
    }
    void AppendFormat(const TChar* format, ...) {
        CStringT tail;
        va_list args;
        va_start(args, format);
        tail.FormatV(format, args);
        va_end(args);
        m_text += tail.m_text;
    }
    void FormatV(const TChar* format, va_list args) {
        Std buffer(256, TChar(0));
        for (;;) {
            va_list copy;
            va_copy(copy, args);
            int written = PrintInto(buffer.data(), buffer.size(), format, copy);
            va_end(copy);
            if (written >= 0 && static_cast<size_t>(written) < buffer.size()) {
                buffer.resize(static_cast<size_t>(written));
                break;
            }
            buffer.assign(written >= 0 ? static_cast<size_t>(written) + 1 : buffer.size() * 2, TChar(0));
        }
        m_text.swap(buffer);
    }

    static TChar FoldAscii(TChar c) { return UpperAscii(c); }
    static TChar UpperAscii(TChar c) { return (c >= 'a' && c <= 'z') ? TChar(c - 'a' + 'A') : c; }
    static TChar LowerAscii(TChar c) { return (c >= 'A' && c <= 'Z') ? TChar(c - 'A' + 'a') : c; }

private:
    static int ToIndex(size_t pos) { return pos == Std::npos ? -1 : static_cast<int>(pos); }
    static bool IsSpace(TChar c) { return c == ' ' || (c >= 9 && c <= 13); }
    size_t CountLeading() const { size_t n = 0; while (n < m_text.size() && IsSpace(m_text[n])) ++n; return n; }
    size_t CountTrailing() const {
        size_t n = 0;
        while (n < m_text.size() && IsSpace(m_text[m_text.size() - 1 - n])) ++n;
        return n;
    }
    static int PrintInto(char* out, size_t size, const char* format, va_list args) { return std::vsnprintf(out, size, format, args); }
    static int PrintInto(wchar_t* out, size_t size, const wchar_t* format, va_list args) { return std::vswprintf(out, size, format, args); }

    Std m_text;
};

using CString = CStringT<wchar_t>;
using CStringA = CStringT<char>;
using CStringW = CString;

// Hashing so that strings can key unordered containers.
template <typename TChar>
struct std::hash<CStringT<TChar>> {
    size_t operator()(const CStringT<TChar>& s) const noexcept { return std::hash<std::basic_string<TChar>>()(s.str()); }
};

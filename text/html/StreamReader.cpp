#include "html/StreamReader.h"

#include "html/HtmlConvert.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

namespace {

bool IsAsciiLetterOrDigit(wchar_t c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

// Whether a character beyond ASCII stands where the engine takes text as it
// is, without reading references: inside SCRIPT, STYLE and their kin, in
// comments, in <!...>, <?...> and CDATA sections. Errs on the side of yes.
bool RawTextHoldsNonAscii(const std::wstring& text) {
    std::wstring lower = text;
    for (auto& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<wchar_t>(c - 'A' + 'a');
    const std::wstring_view raw[] = {L"script", L"style", L"xmp", L"plaintext", L"iframe", L"noembed", L"noframes"};
    auto until = [&lower](std::wstring_view mark, size_t from) {
        size_t at = lower.find(mark, from);
        return at == std::wstring::npos ? lower.size() : at;
    };
    for (size_t at = lower.find(L'<'); at != std::wstring::npos; at = lower.find(L'<', at + 1)) {
        size_t start = 0, end = 0;
        wchar_t next = at + 1 < lower.size() ? lower[at + 1] : 0;
        if (lower.compare(at, 4, L"<!--") == 0) {
            start = at + 4;
            end = until(L"-->", start);
        } else if (lower.compare(at, 9, L"<![cdata[") == 0) {
            start = at + 9;
            end = until(L"]]>", start);
        } else if (next == '!' || next == '?' || (next == '/' && !(at + 2 < lower.size() && lower[at + 2] >= 'a' && lower[at + 2] <= 'z'))) {
            start = at + 2;
            end = until(L">", start);
        } else {
            size_t nameEnd = at + 1;
            while (nameEnd < lower.size() && IsAsciiLetterOrDigit(lower[nameEnd])) ++nameEnd;
            std::wstring_view name(lower.data() + at + 1, nameEnd - at - 1);
            if (std::find(std::begin(raw), std::end(raw), name) == std::end(raw)) continue;
            start = std::min(until(L">", nameEnd) + 1, lower.size());
            end = name == L"plaintext" ? lower.size() : until(L"</" + std::wstring(name), start);
        }
        for (size_t i = start; i < end; ++i)
            if (lower[i] > 126) return true;
        at = std::max(at, end);
        if (at >= lower.size()) break;
    }
    return false;
}

}  // namespace

void bcStreamReader::SetHtml(const CString& text) {
    if (RawTextHoldsNonAscii(text.str())) {
        // References would stay literal there: the whole text goes as UTF-8
        // behind its byte-order mark instead, which every engine reads as such.
        int length = text.GetLength();
        int bytes = length ? WideCharToMultiByte(CP_UTF8, 0, text.GetString(), length, nullptr, 0, nullptr, nullptr) : 0;
        m_buffer.assign(3 + static_cast<size_t>(bytes) + 1, 0);
        m_buffer[0] = static_cast<char>(0xEF), m_buffer[1] = static_cast<char>(0xBB), m_buffer[2] = static_cast<char>(0xBF);
        if (bytes) WideCharToMultiByte(CP_UTF8, 0, text.GetString(), length, m_buffer.data() + 3, bytes, nullptr, nullptr);
        m_size = 3 + static_cast<size_t>(bytes);
        m_offset = 0;
        return;
    }
    m_buffer.assign(static_cast<size_t>(text.GetLength()) * 8 + 1, 0);
    int used = 0, written = 0;
    HtmlEscapeNonAscii(text.GetString(), text.GetLength(), m_buffer.data(), static_cast<int>(m_buffer.size()), used, written);
    m_size = static_cast<size_t>(written);
    m_offset = 0;
}

HRESULT bcStreamReader::QueryInterface(REFIID, void** out) {
    if (out) *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT bcStreamReader::Read(void* target, ULONG size, ULONG* read) {
    if (read) *read = 0;
    if (!target) return E_POINTER;
    if (m_offset >= m_size) return S_FALSE;
    if (size == 0) {  // an empty request starts the text over
        m_offset = 0;
        return S_FALSE;
    }
    size_t count = std::min<size_t>(size, m_size - m_offset);
    std::memcpy(target, m_buffer.data() + m_offset, count);
    m_offset += count;
    if (read) *read = static_cast<ULONG>(count);
    return S_OK;
}

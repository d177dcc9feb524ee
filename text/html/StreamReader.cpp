#include "html/StreamReader.h"

#include "html/HtmlConvert.h"

#include <algorithm>
#include <cstring>

void bcStreamReader::SetHtml(const CString& text) {
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

// A page read into memory, handed out line by line like an open stream.
// Lines are cut out of the page's text only when asked for.
#pragma once
#include "core/String.h"

#include <string_view>
#include <vector>

class PageLines {
public:
    // The lines of a text (a final line feed does not start another line).
    explicit PageLines(CString text) : m_text(std::move(text)) {}
    explicit PageLines(const std::vector<CString>& lines) {
        for (const CString& line : lines) m_text += line + L"\n";
    }
    // The next line, without its line feed; false at the end.
    bool Next(CString& line) {
        std::wstring_view view;
        if (!NextView(view)) return false;
        line = CString(view);
        return true;
    }
    // The same as a view into the page's text, valid while the object lives.
    bool NextView(std::wstring_view& line) {
        const std::wstring& text = m_text.str();
        if (m_next >= text.size()) return false;
        size_t end = text.find(L'\n', m_next);
        if (end == std::wstring::npos) end = text.size();
        line = std::wstring_view(text).substr(m_next, end - m_next);
        m_next = end + 1;
        return true;
    }
    bool AtEnd() const { return m_next >= m_text.str().size(); }

private:
    CString m_text;
    size_t m_next = 0;
};

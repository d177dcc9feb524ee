// A page read into memory, handed out line by line like an open stream.
#pragma once
#include "core/String.h"

#include <vector>

class PageLines {
public:
    explicit PageLines(std::vector<CString> lines) : m_lines(std::move(lines)) {}
    // The next line, without its line feed; false at the end.
    bool Next(CString& line) {
        if (m_next >= m_lines.size()) return false;
        line = m_lines[m_next++];
        return true;
    }
    bool AtEnd() const { return m_next >= m_lines.size(); }

private:
    std::vector<CString> m_lines;
    size_t m_next = 0;
};

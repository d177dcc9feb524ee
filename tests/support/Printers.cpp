#include "Printers.h"

void PrintTo(const CString& s, std::ostream* os) {
    *os << "L\"";
    for (wchar_t c : s.str()) {
        if (c >= 32 && c < 127 && c != '"' && c != '\\') *os << static_cast<char>(c);
        else {
            char buf[12];
            std::snprintf(buf, sizeof buf, "\\x%04x", static_cast<unsigned>(c));
            *os << buf;
        }
    }
    *os << "\"";
}

void PrintTo(const CStringA& s, std::ostream* os) {
    *os << '"';
    for (char c : s.str()) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u >= 32 && u < 127 && c != '"' && c != '\\') *os << c;
        else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", u);
            *os << buf;
        }
    }
    *os << '"';
}

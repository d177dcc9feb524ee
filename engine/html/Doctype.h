// The parts of a doctype's text ("DOCTYPE html PUBLIC \"...\" \"...\"") and
// whether it asks for the old, forgiving page layout (quirks).
#pragma once
#include <string>

namespace html {

struct DoctypeParts {
    std::wstring name;  // lower case
    std::wstring publicId;
    std::wstring systemId;
    bool hasPublic = false;
    bool hasSystem = false;
};

DoctypeParts ParseDoctype(const std::wstring& text);
bool IsQuirksDoctype(const DoctypeParts& doctype);

}  // namespace html

// CSS declarations as they stand in a style attribute or a style-sheet rule
// ("FONT-SIZE: 12px; COLOR: red"): reading and changing one property.
#pragma once
#include "core/String.h"

#include <vector>

namespace dom {

struct CssDeclaration {
    CString name;   // as written, trimmed
    CString value;  // trimmed
};

// The "name: value" declarations in their order; pieces without a name or a colon are skipped.
std::vector<CssDeclaration> ParseCssDeclarations(const CString& declarations);

// The value of a property (name in CSS form, "font-size"; any case), empty when absent.
CString GetCssProperty(const CString& declarations, const CString& name);
// The declarations with the property set (empty value: removed), written as
// the engine writes them: upper-case names, "; " between declarations.
CString SetCssProperty(const CString& declarations, const CString& name, const CString& value);

}  // namespace dom

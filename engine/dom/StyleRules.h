// The rules of an embedded style sheet's text ("BODY { font-size: 12px }"):
// finding them and rewriting one rule's declarations.
#pragma once
#include "core/String.h"

#include <vector>

namespace dom {

struct StyleRule {
    CString selector;      // trimmed, as written
    CString declarations;  // the text between the braces, trimmed
    int bodyStart = 0;     // the range of the text between the braces
    int bodyEnd = 0;
};

std::vector<StyleRule> ParseStyleRules(const CString& sheet);
CString ReplaceRuleDeclarations(const CString& sheet, const StyleRule& rule, const CString& declarations);

}  // namespace dom

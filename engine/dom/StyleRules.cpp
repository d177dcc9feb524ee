#include "dom/StyleRules.h"

namespace dom {

std::vector<StyleRule> ParseStyleRules(const CString& sheet) {
    // Comments and the markup that hides sheets from old browsers are blanked first.
    CString text = sheet;
    for (int at; (at = text.Find(L"/*")) >= 0;) {
        int end = text.Find(L"*/", at + 2);
        end = end < 0 ? text.GetLength() : end + 2;
        for (int i = at; i < end; ++i) text.SetAt(i, L' ');
    }
    for (const wchar_t* marker : {L"<!--", L"-->"})
        for (int at; (at = text.Find(marker)) >= 0;)
            for (int i = 0; marker[i]; ++i) text.SetAt(at + i, L' ');
    std::vector<StyleRule> rules;
    int position = 0;
    while (position < text.GetLength()) {
        int open = text.Find(L'{', position);
        if (open < 0) break;
        int close = text.Find(L'}', open + 1);
        if (close < 0) close = text.GetLength();
        StyleRule rule;
        rule.selector = text.Mid(position, open - position);
        rule.selector.Trim();
        rule.bodyStart = open + 1;
        rule.bodyEnd = close;
        rule.declarations = sheet.Mid(open + 1, close - open - 1);
        rule.declarations.Trim();
        if (!rule.selector.IsEmpty() && rule.selector[0] != L'@') rules.push_back(rule);
        position = close + 1;
    }
    return rules;
}

CString ReplaceRuleDeclarations(const CString& sheet, const StyleRule& rule, const CString& declarations) {
    return sheet.Left(rule.bodyStart) + L" " + declarations + L" " + sheet.Mid(rule.bodyEnd);
}

}  // namespace dom

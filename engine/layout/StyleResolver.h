// Computes each element's style: the agent's defaults for its tag, then its
// presentational attributes (FONT, align=, bgcolor=, border=, ...), then the
// rules of the page's STYLE elements that match it (tag, class, id and
// descendant selectors, by specificity and order), then its style attribute.
#pragma once
#include "dom/Document.h"
#include "layout/Style.h"

#include <unordered_map>
#include <vector>

namespace layout {

// One declaration made ready to apply: the name in lower case, the value without "!important".
struct PreparedDeclaration {
    CString name;
    CString value;
    CString lower;  // the value in lower case
};
std::vector<PreparedDeclaration> PrepareDeclarations(const CString& declarations);

class StyleResolver {
public:
    explicit StyleResolver(const dom::Document& document);

    // The style the root element inherits from.
    const Style& InitialStyle() const { return m_initial; }
    Style Resolve(const dom::Node& element, const Style& parent) const;

private:
    struct Compound {
        CString tag;  // upper case; empty matches any
        CString id;
        std::vector<CString> classes;
        bool link = false;   // :link
        bool never = false;  // a pseudo-class that never matches a still page
    };
    struct Rule {
        std::vector<Compound> chain;  // ancestors first, the subject last
        int specificity = 0;
        int order = 0;
        std::vector<PreparedDeclaration> declarations;
    };
    void AddSheet(const CString& sheet);
    void IndexRules();
    // The rules whose subject may match the element, in the order they apply.
    void Candidates(const dom::Node& element, std::vector<int>& out) const;
    bool Matches(const Compound& compound, const dom::Node& element) const;
    bool Matches(const Rule& rule, const dom::Node& element) const;
    // Class and id names as the page's mode compares them: in quirks mode regardless of case
    // (kept in lower case on both sides).
    CString NameKey(const CString& name) const;

    Style m_initial;
    std::vector<Rule> m_rules;
    // Each rule once, under what its subject asks most narrowly: the id, else the first class,
    // else the tag, else nothing (then every element is a candidate).
    std::unordered_map<CString, std::vector<int>> m_byId, m_byClass, m_byTag;
    std::vector<int> m_anyElement;
};

// Applies "name: value" declarations (a style attribute or a rule's body).
void ApplyDeclarations(Style& style, const CString& declarations, const Style& parent);
void ApplyDeclarations(Style& style, const std::vector<PreparedDeclaration>& declarations, const Style& parent);

}  // namespace layout

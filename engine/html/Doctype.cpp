#include "html/Doctype.h"

#include <cwctype>
#include <iterator>

namespace html {

namespace {

std::wstring Lower(std::wstring text) {
    for (auto& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<wchar_t>(c - 'A' + 'a');
    return text;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) { return text.rfind(prefix, 0) == 0; }

// Public identifiers of the old document types that pages written for the
// forgiving layout carry (compared in lower case, as prefixes).
const wchar_t* const kQuirkyPublicPrefixes[] = {
    L"+//silmaril//dtd html pro v0r11 19970101//", L"-//as//dtd html 3.0 aswedit + extensions//",
    L"-//advasoft ltd//dtd html 3.0 aswedit + extensions//", L"-//ietf//dtd html 2.0 level 1//",
    L"-//ietf//dtd html 2.0 level 2//", L"-//ietf//dtd html 2.0 strict level 1//", L"-//ietf//dtd html 2.0 strict level 2//",
    L"-//ietf//dtd html 2.0 strict//", L"-//ietf//dtd html 2.0//", L"-//ietf//dtd html 2.1e//", L"-//ietf//dtd html 3.0//",
    L"-//ietf//dtd html 3.2 final//", L"-//ietf//dtd html 3.2//", L"-//ietf//dtd html 3//", L"-//ietf//dtd html level 0//",
    L"-//ietf//dtd html level 1//", L"-//ietf//dtd html level 2//", L"-//ietf//dtd html level 3//",
    L"-//ietf//dtd html strict level 0//", L"-//ietf//dtd html strict level 1//", L"-//ietf//dtd html strict level 2//",
    L"-//ietf//dtd html strict level 3//", L"-//ietf//dtd html strict//", L"-//ietf//dtd html//",
    L"-//metrius//dtd metrius presentational//", L"-//microsoft//dtd internet explorer 2.0 html strict//",
    L"-//microsoft//dtd internet explorer 2.0 html//", L"-//microsoft//dtd internet explorer 2.0 tables//",
    L"-//microsoft//dtd internet explorer 3.0 html strict//", L"-//microsoft//dtd internet explorer 3.0 html//",
    L"-//microsoft//dtd internet explorer 3.0 tables//", L"-//netscape comm. corp.//dtd html//",
    L"-//netscape comm. corp.//dtd strict html//", L"-//o'reilly and associates//dtd html 2.0//",
    L"-//o'reilly and associates//dtd html extended 1.0//", L"-//o'reilly and associates//dtd html extended relaxed 1.0//",
    L"-//sq//dtd html 2.0 hotmetal + extensions//",
    L"-//softquad software//dtd hotmetal pro 6.0::19990601::extensions to html 4.0//",
    L"-//softquad//dtd hotmetal pro 4.0::19971010::extensions to html 4.0//", L"-//spyglass//dtd html 2.0 extended//",
    L"-//sun microsystems corp.//dtd hotjava html//", L"-//sun microsystems corp.//dtd hotjava strict html//",
    L"-//w3c//dtd html 3 1995-03-24//", L"-//w3c//dtd html 3.2 draft//", L"-//w3c//dtd html 3.2 final//",
    L"-//w3c//dtd html 3.2//", L"-//w3c//dtd html 3.2s draft//", L"-//w3c//dtd html 4.0 frameset//",
    L"-//w3c//dtd html 4.0 transitional//", L"-//w3c//dtd html experimental 19960712//",
    L"-//w3c//dtd html experimental 970421//", L"-//w3c//dtd w3 html//", L"-//w3o//dtd w3 html 3.0//",
    L"-//webtechs//dtd mozilla html 2.0//", L"-//webtechs//dtd mozilla html//",
};

}  // namespace

DoctypeParts ParseDoctype(const std::wstring& text) {
    DoctypeParts parts;
    size_t at = Lower(text.substr(0, 7)) == L"doctype" ? 7 : 0;
    auto skipSpace = [&] { while (at < text.size() && iswspace(text[at])) ++at; };
    auto word = [&] {
        skipSpace();
        size_t start = at;
        while (at < text.size() && !iswspace(text[at]) && text[at] != '"' && text[at] != '\'') ++at;
        return text.substr(start, at - start);
    };
    auto quoted = [&](std::wstring& value) {
        skipSpace();
        if (at >= text.size() || (text[at] != '"' && text[at] != '\'')) return false;
        wchar_t quote = text[at++];
        size_t end = text.find(quote, at);
        if (end == std::wstring::npos) end = text.size();
        value = text.substr(at, end - at);
        at = end < text.size() ? end + 1 : end;
        return true;
    };
    parts.name = Lower(word());
    std::wstring keyword = Lower(word());
    if (keyword == L"public") {
        parts.hasPublic = quoted(parts.publicId);
        parts.hasSystem = quoted(parts.systemId);
    } else if (keyword == L"system") {
        parts.hasSystem = quoted(parts.systemId);
    }
    return parts;
}

bool IsQuirksDoctype(const DoctypeParts& doctype) {
    if (doctype.name != L"html") return true;
    std::wstring publicId = Lower(doctype.publicId);
    if (publicId == L"-//w3o//dtd w3 html strict 3.0//en//" || publicId == L"-/w3c/dtd html 4.0 transitional/en" || publicId == L"html")
        return true;
    if (Lower(doctype.systemId) == L"http://www.ibm.com/data/dtd/v11/ibmxhtml1-transitional.dtd") return true;
    for (const wchar_t* prefix : kQuirkyPublicPrefixes)
        if (StartsWith(publicId, prefix)) return true;
    return !doctype.hasSystem &&
           (StartsWith(publicId, L"-//w3c//dtd html 4.01 frameset//") || StartsWith(publicId, L"-//w3c//dtd html 4.01 transitional//"));
}

}  // namespace html

#include "forms/FormRecordName.h"

#include "regex/Regex.h"

namespace {

constexpr int kMaxHostPartLength = 120;

CString WithoutScheme(const CString& address) {
    CString rest = address;
    RegexReplaceAll(rest, L"^.+////", L"");
    return rest;
}

bool IsInvalidFileNameCharacter(wchar_t c) {
    return c < 32 || c == L'\\' || c == L'/' || c == L':' || c == L'*' || c == L'?' || c == L'"' || c == L'<' ||
           c == L'>' || c == L'|';
}

} // namespace

CString FormRecordHostPart(const CString& address) {
    CString host = WithoutScheme(address);
    if (host.Find(L'/') >= 0) {
        CString beforeSlash;
        if (RegexGetGroup(host, L"^(.+)//", beforeSlash))
            host = beforeSlash;
        else
            host.Empty(); // the rest begins with "/": no host
    }
    int cut = host.FindOneOf(L"#?");
    if (cut >= 0) host.Truncate(cut);
    int at = host.ReverseFind(L'@');
    if (at >= 0) host = host.Mid(at + 1);
    int colon = host.ReverseFind(L':');
    if (colon >= 0) {
        bool digitsOnly = true;
        for (int i = colon + 1; i < host.GetLength(); ++i)
            if (host[i] < L'0' || host[i] > L'9') digitsOnly = false;
        if (digitsOnly) host.Truncate(colon);
    }
    for (int i = 0; i < host.GetLength(); ++i)
        if (IsInvalidFileNameCharacter(host[i])) host.SetAt(i, L'_');
    host.Truncate(kMaxHostPartLength);
    return host;
}

CString FormRecordNumber(const CString& address) {
    CString number;
    if (!RegexGetGroup(address, L"#(/d+)$", number)) number.Empty();
    return number;
}

CString FormRecordFileName(const CString& address) {
    return FormRecordHostPart(address) + L"#" + FormRecordNumber(address) + L".tq";
}

bool FormRecordAddressHasPath(const CString& address) { return WithoutScheme(address).Find(L'/') >= 0; }

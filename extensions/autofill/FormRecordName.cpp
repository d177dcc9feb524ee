#include "FormRecordName.h"

#include <cwctype>

CString FormRecordNumber(const CString& address) {
    int hash = address.ReverseFind(L'#');
    if (hash < 0 || hash == address.GetLength() - 1) return CString();
    CString digits = address.Mid(hash + 1);
    for (int i = 0; i < digits.GetLength(); ++i)
        if (digits[i] < L'0' || digits[i] > L'9') return CString();
    return digits;
}

CString FormRecordHost(const CString& address) {
    CString rest = address;
    int scheme = rest.Find(L"//");
    if (scheme >= 0) rest = rest.Mid(scheme + 2);
    int end = rest.FindOneOf(L"/\\?#");
    if (end >= 0) rest = rest.Left(end);
    int user = rest.ReverseFind(L'@');
    if (user >= 0) rest = rest.Mid(user + 1);
    int port = rest.ReverseFind(L':');
    if (port >= 0) rest = rest.Left(port);
    CString host;
    for (int i = 0; i < rest.GetLength(); ++i) {
        wchar_t c = rest[i];
        if (c < 32 || std::wcschr(L"\\/:*?\"<>|", c)) continue;
        host += c;
    }
    return host;
}

CString FormRecordPath(const CString& installPath, const CString& address) {
    return installPath + L"\\Bookmark\\Forms\\" + FormRecordHost(address) + L"#" + FormRecordNumber(address) + L".tq";
}

#include "search/SearchDocumentText.h"

#include "com/ComQuery.h"
#include "com/HtmlDocument.h"
#include "regex/Regex.h"

#include <windows.h>
#include <mshtml.h>
#include <oleauto.h>

#include <string>

namespace {

constexpr int kPieceLength = 1000;

// The file's bytes as UTF-16 units (the byte-order mark included); empty when it cannot be read.
CString ReadPageUnits(const CString& path) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return CString();
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    CString text;
    wchar_t* units = text.GetBufferSetLength(static_cast<int>(bytes.size() / 2));
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        units[i / 2] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return text;
}

bool FirstMatch(const CString& piece, const CString& pattern, bool matchCase) {
    CString group;
    return matchCase ? RegexGetGroup(piece, pattern, group) : RegexGetGroupNoCase(piece, pattern, group);
}

}  // namespace

CString PageBodyText(const CString& pageText) {
    ComPtr<IHTMLDocument2> document;
    if (FAILED(CreateHtmlDocument(IID_IHTMLDocument2, document.ReceiveVoid())) || !document) return CString();
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    if (!array) return CString();
    VARIANT* items = nullptr;
    if (SUCCEEDED(SafeArrayAccessData(array, reinterpret_cast<void**>(&items)))) {
        items[0].vt = VT_BSTR;
        items[0].bstrVal = SysAllocStringLen(pageText.GetString(), static_cast<UINT>(pageText.GetLength()));
        SafeArrayUnaccessData(array);
        document->write(array);
        document->close();
    }
    SafeArrayDestroy(array);  // frees the BSTR with the array
    auto document3 = document.As<IHTMLDocument3>();
    if (!document3) return CString();
    ComPtr<IHTMLElementCollection> bodies;
    BSTR tag = SysAllocString(L"BODY");
    HRESULT hr = document3->getElementsByTagName(tag, bodies.Receive());
    SysFreeString(tag);
    if (FAILED(hr) || !bodies) return CString();
    VARIANT index, none;
    index.vt = VT_I4;
    index.lVal = 0;
    VariantInit(&none);
    ComPtr<IDispatch> item;
    if (FAILED(bodies->item(index, none, item.Receive())) || !item) return CString();
    auto body = item.As<IHTMLElement>();
    BSTR text = nullptr;
    if (!body || FAILED(body->get_innerText(&text))) return CString();
    CString result = text ? CString(text, static_cast<int>(SysStringLen(text))) : CString();
    SysFreeString(text);
    return result;
}

int SearchDocumentText(const CString& pagePath, std::vector<CString>& matches, const CString& keywords, int regularExpression,
                       int matchCase) {
    CString body = PageBodyText(ReadPageUnits(pagePath));
    bool exact = matchCase != 0;
    for (int start = 0; start == 0 || start < body.GetLength(); start += kPieceLength) {
        CString piece = body.Mid(start, kPieceLength);
        if (regularExpression == 0) {
            if (FirstMatch(piece, keywords, exact)) return 1;
            continue;
        }
        RegexMatchMap found;
        bool any = exact ? RegexFindAll(piece.GetString(), keywords.GetString(), found, RegexCase::Exact)
                         : RegexFindAllNoCase(piece, keywords.GetString(), found);
        if (!any || found.empty()) continue;
        for (const auto& [position, text] : found) {
            CString pattern = L"^" + text + L"$";
            bool present = false;
            for (const auto& entry : matches) {
                if (FirstMatch(entry, pattern, exact)) {
                    present = true;
                    break;
                }
            }
            if (!present) matches.push_back(text);
        }
        return 1;
    }
    return 0;
}

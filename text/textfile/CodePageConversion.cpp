#include "textfile/CodePageConversion.h"

namespace codepage {

UINT Resolve(int codePage) {
    return codePage == -1 ? ::GetACP() : static_cast<UINT>(codePage);
}

bool TakesNoFlags(UINT codePage) {
    switch (codePage) {
    case 42:
    case 50220:
    case 50221:
    case 50222:
    case 50225:
    case 50227:
    case 50229:
    case 52936:
    case 54936:
    case 65000:
    case CP_UTF8:
        return true;
    default:
        return codePage >= 57002 && codePage <= 57011;
    }
}

DWORD WideToMultiByteFlags(UINT codePage) {
    return TakesNoFlags(codePage) ? 0 : WC_COMPOSITECHECK | WC_SEPCHARS;
}

const char* DefaultCharFor(UINT codePage) {
    return TakesNoFlags(codePage) ? nullptr : "#";
}

DWORD MultiByteToWideFlags(UINT codePage) {
    return TakesNoFlags(codePage) ? 0 : MB_PRECOMPOSED;
}

std::string ToMultiByte(const wchar_t* text, int length, int codePage) {
    std::string bytes;
    if (!text || length <= 0) return bytes;
    UINT page = Resolve(codePage);
    DWORD flags = WideToMultiByteFlags(page);
    const char* defaultChar = DefaultCharFor(page);
    int needed = ::WideCharToMultiByte(page, flags, text, length, nullptr, 0, defaultChar, nullptr);
    if (needed <= 0) return bytes;
    bytes.resize(static_cast<size_t>(needed));
    int written = ::WideCharToMultiByte(page, flags, text, length, bytes.data(), needed, defaultChar, nullptr);
    bytes.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return bytes;
}

bool ToWide(const char* bytes, int length, int codePage, CString& text) {
    text.Empty();
    if (!bytes || length <= 0) return true;
    UINT page = Resolve(codePage);
    DWORD flags = MultiByteToWideFlags(page);
    int needed = ::MultiByteToWideChar(page, flags, bytes, length, nullptr, 0);
    if (needed <= 0) return false;
    int written = ::MultiByteToWideChar(page, flags, bytes, length, text.GetBufferSetLength(needed), needed);
    text.ReleaseBuffer(written > 0 ? written : 0);
    return written > 0;
}

}  // namespace codepage

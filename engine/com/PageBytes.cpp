#include "com/PageBytes.h"

#include <windows.h>

namespace com {

namespace {

CString Convert(UINT codePage, DWORD flags, const char* data, int length) {
    if (length <= 0) return CString();
    int units = MultiByteToWideChar(codePage, flags, data, length, nullptr, 0);
    if (units <= 0) return CString();
    CString text;
    MultiByteToWideChar(codePage, flags, data, length, text.GetBufferSetLength(units), units);
    return text;
}

}  // namespace

CString DecodePageBytes(const std::string& bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t size = bytes.size();
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        CString text;
        size_t units = (size - 2) / 2;
        wchar_t* out = text.GetBufferSetLength(static_cast<int>(units));
        for (size_t i = 0; i < units; ++i) out[i] = static_cast<wchar_t>(data[2 + 2 * i] | (data[3 + 2 * i] << 8));
        return text;
    }
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF)
        return Convert(CP_UTF8, 0, bytes.data() + 3, static_cast<int>(size - 3));
    if (size > 0x7FFFFFFF) return CString();
    CString utf8 = Convert(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(size));
    if (!utf8.IsEmpty() || size == 0) return utf8;
    return Convert(CP_ACP, 0, bytes.data(), static_cast<int>(size));
}

}  // namespace com

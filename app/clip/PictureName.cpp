#include "clip/PictureName.h"

namespace {
constexpr int kLongestPictureExtension = 8;

bool IsAsciiLetterOrDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}
}  // namespace

CString PictureAddressExtension(const CString& pictureAddress) {
    CString address = pictureAddress;
    int fragment = address.Find(L'#');
    if (fragment >= 0) address = address.Left(fragment);
    int query = address.Find(L'?');
    if (query >= 0) address = address.Left(query);
    int dot = address.ReverseFind(L'.');
    if (dot < 0 || dot + 1 >= address.GetLength()) return CString();
    return address.Mid(dot + 1);
}

bool IsPictureExtension(const CString& extension) {
    if (extension.IsEmpty() || extension.GetLength() > kLongestPictureExtension) return false;
    for (int i = 0; i < extension.GetLength(); ++i)
        if (!IsAsciiLetterOrDigit(extension[i])) return false;
    return true;
}

CString PictureFileName(uint32_t first, uint32_t second, const CString& extension) {
    CString name;
    name.Format(L"%u%u.%ls", first, second, extension.GetString());
    return name;
}

#include "clip/PictureName.h"

CString PictureAddressExtension(const CString& pictureAddress) {
    int dot = pictureAddress.ReverseFind(L'.');
    if (dot < 0 || dot + 1 >= pictureAddress.GetLength()) return CString();
    return pictureAddress.Mid(dot + 1);
}

bool IsKnownPictureExtension(const CString& extension) {
    static const wchar_t* const known[] = {L"jpg", L"jpeg", L"gif", L"png", L"bmp"};
    for (const wchar_t* name : known)
        if (extension.CompareNoCase(name) == 0) return true;
    return false;
}

CString PictureFileName(uint32_t first, uint32_t second, const CString& extension) {
    CString name;
    name.Format(L"%u%u.%ls", first, second, extension.GetString());
    return name;
}

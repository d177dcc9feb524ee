// Names of the pictures that clips store in the picture folder: two numbers in
// decimal one after the other, ".", and the picture address's extension. Only
// a known picture extension gives a picture, so an address can never choose
// the folder or the kind of file that is written.
#pragma once
#include "core/String.h"

#include <cstdint>

// The text after the address's last "." (empty when there is none or it is
// the last character).
CString PictureAddressExtension(const CString& pictureAddress);

// jpg, jpeg, gif, png, bmp in any letter case.
bool IsKnownPictureExtension(const CString& extension);

// "<first><second>.<extension>".
CString PictureFileName(uint32_t first, uint32_t second, const CString& extension);

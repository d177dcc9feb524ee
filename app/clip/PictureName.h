// Names of the pictures that clips store in the picture folder: two numbers in
// decimal one after the other, ".", and the picture address's extension. Only
// a short extension of letters and digits gives a picture, so an address can
// never choose the folder of the file that is written.
#pragma once
#include "core/String.h"

#include <cstdint>

// The text after the last "." of the address once its query ("?...") and
// fragment ("#...") are dropped (empty when there is none or it is the last
// character).
CString PictureAddressExtension(const CString& pictureAddress);

// One to eight ASCII letters and digits (jpg, webp, svg, tif, ico ...).
bool IsPictureExtension(const CString& extension);

// "<first><second>.<extension>".
CString PictureFileName(uint32_t first, uint32_t second, const CString& extension);

// Pictures of a page read from local files through the platform's imaging
// component (BMP, GIF's first frame, PNG, JPEG). Addresses: relative to the
// page's folder, file: addresses and absolute paths; nothing is downloaded.
#pragma once
#include "core/String.h"
#include "paint/Canvas.h"

namespace browser {

// The decoded picture; null when it is missing, broken or over 64 megapixels.
paint::PicturePtr LoadPictureFile(const CString& path);

}  // namespace browser

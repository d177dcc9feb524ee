// Pictures of a page read from local files through the platform's imaging
// component (BMP, GIF's first frame, PNG, JPEG). Addresses: relative to the
// page's folder, file: addresses and absolute paths; nothing is downloaded.
#pragma once
#include "core/String.h"
#include "paint/Canvas.h"

#include <string>
#include <unordered_map>

namespace browser {

// The decoded picture; null when it is missing, broken or over 64 megapixels.
paint::PicturePtr LoadPictureFile(const CString& path);

// The pictures of one document, each decoded once and kept while its file keeps its time
// of writing and its size: a layout asks for every picture of the page again, and reading
// and decoding them each time costs more than the layout itself.
class PictureCache {
public:
    paint::PicturePtr Load(const CString& path);

private:
    struct Entry {
        bool read = false;
        unsigned long long written = 0;
        unsigned long long size = 0;
        paint::PicturePtr picture;  // null for a file that is no picture
    };
    std::unordered_map<std::wstring, Entry> m_entries;
};

}  // namespace browser

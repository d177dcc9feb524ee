#include "browser/PictureFiles.h"

#include "browser/PageSource.h"

#include <wincodec.h>

#include "com/ComPtr.h"

namespace browser {

namespace {
constexpr unsigned long long kMaxPixels = 64ull * 1000 * 1000;
}

paint::PicturePtr LoadPictureFile(const CString& path) {
    if (path.IsEmpty()) return nullptr;
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(factory.Receive()))))
        return nullptr;
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand, decoder.Receive())))
        return nullptr;
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.Receive()))) return nullptr;
    UINT width = 0, height = 0;
    if (FAILED(frame->GetSize(&width, &height)) || width == 0 || height == 0 ||
        static_cast<unsigned long long>(width) * height > kMaxPixels)
        return nullptr;
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.Receive())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)))
        return nullptr;
    auto picture = std::make_shared<paint::Picture>();
    picture->width = static_cast<int>(width);
    picture->height = static_cast<int>(height);
    picture->pixels.resize(static_cast<size_t>(width) * height);
    if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(picture->pixels.size() * 4),
                                     reinterpret_cast<BYTE*>(picture->pixels.data()))))
        return nullptr;
    for (auto pixel : picture->pixels)
        if ((pixel >> 24) != 255) {
            picture->hasAlpha = true;
            break;
        }
    return picture;
}

paint::PicturePtr PictureCache::Load(const CString& path) {
    if (path.IsEmpty()) return nullptr;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        m_entries.erase(std::wstring(path.GetString()));
        return nullptr;
    }
    const unsigned long long written = (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                       data.ftLastWriteTime.dwLowDateTime;
    const unsigned long long size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    Entry& entry = m_entries[std::wstring(path.GetString())];
    if (!entry.read || entry.written != written || entry.size != size) {
        entry.read = true;
        entry.picture = LoadPictureFile(path);
        entry.written = written;
        entry.size = size;
    }
    return entry.picture;
}

}  // namespace browser

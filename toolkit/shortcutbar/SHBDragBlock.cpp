#include <objidl.h>

#include "shortcutbar/SHBDragBlock.h"

#include "gdi/DC.h"

#include <commctrl.h>

#include <cstdint>
#include <cstring>

namespace {

void PutInt(std::vector<BYTE>& out, int32_t value) {
    const auto* bytes = reinterpret_cast<const BYTE*>(&value);
    out.insert(out.end(), bytes, bytes + sizeof(value));
}

// Reads within [data, data + size) only; every read says whether it fitted.
class BlockReader {
public:
    BlockReader(const BYTE* data, size_t size) : m_data(data), m_size(size) {}
    bool Int(int32_t& value) { return Bytes(&value, sizeof(value)); }
    bool Bytes(void* out, size_t count) {
        if (count > m_size - m_pos) return false;
        if (count) memcpy(out, m_data + m_pos, count);
        m_pos += count;
        return true;
    }
    bool Vector(std::vector<BYTE>& out, int32_t count) {
        if (count < 0 || static_cast<size_t>(count) > m_size - m_pos) return false;
        out.assign(m_data + m_pos, m_data + m_pos + count);
        m_pos += static_cast<size_t>(count);
        return true;
    }
    // A UTF-16 text whose terminator lies inside the block.
    bool Text(CString& out) {
        const size_t units = (m_size - m_pos) / sizeof(wchar_t);
        for (size_t i = 0; i < units; ++i) {
            wchar_t c;
            memcpy(&c, m_data + m_pos + i * sizeof(wchar_t), sizeof(c));
            if (c == 0) {
                std::wstring text(i, L'\0');
                if (i) memcpy(text.data(), m_data + m_pos, i * sizeof(wchar_t));
                out = text.c_str();
                m_pos += (i + 1) * sizeof(wchar_t);
                return true;
            }
        }
        return false;
    }

private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// The head of an image list in stream form, as the platform writes it.
#pragma pack(push, 2)
struct ImageListHead {
    USHORT magic;
    USHORT version;
    WORD count;
    WORD max;
    WORD grow;
    WORD cx;
    WORD cy;
    COLORREF background;
    WORD flags;
    SHORT overlays[4];
};
#pragma pack(pop)
static_assert(sizeof(ImageListHead) == 28, "image-list stream head");

// One bitmap of an image list's stream at `offset`, as the platform's reader takes it: the file
// and info headers, a palette of 2^bits colours up to 8 bits a pixel, then the rows. The offset
// just past it when all of that lies inside `data` and describes a picture of sensible size,
// else 0.
size_t StreamBitmapEnd(const std::vector<BYTE>& data, size_t offset) {
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    if (offset > data.size() || data.size() - offset < sizeof(file) + sizeof(info)) return 0;
    memcpy(&file, data.data() + offset, sizeof(file));
    memcpy(&info, data.data() + offset + sizeof(file), sizeof(info));
    constexpr LONG kMaxSide = 16384;
    const WORD bits = info.biBitCount;
    if (file.bfType != 0x4D42 || info.biSize != sizeof(info) || info.biPlanes != 1 || info.biCompression != BI_RGB ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) || info.biWidth < 1 ||
        info.biWidth > kMaxSide || info.biHeight == 0 || info.biHeight < -kMaxSide || info.biHeight > kMaxSide)
        return 0;
    const uint64_t palette = bits <= 8 ? (uint64_t{1} << bits) * sizeof(RGBQUAD) : 0;
    const uint64_t stride = (static_cast<uint64_t>(info.biWidth) * bits + 31) / 32 * 4;
    const uint64_t rows = static_cast<uint64_t>(info.biHeight < 0 ? -static_cast<int64_t>(info.biHeight) : info.biHeight);
    const uint64_t length = sizeof(file) + sizeof(info) + palette + stride * rows;
    if (length > data.size() - offset) return 0;
    return offset + static_cast<size_t>(length);
}

}  // namespace

std::vector<BYTE> PackDragBlock(const SHBDragItem& item) {
    std::vector<BYTE> out;
    const auto* text = reinterpret_cast<const BYTE*>(item.text.GetString());
    out.insert(out.end(), text, text + (item.text.GetLength() + 1) * sizeof(wchar_t));
    const auto* value = reinterpret_cast<const BYTE*>(&item.lParam);
    out.insert(out.end(), value, value + sizeof(item.lParam));
    const int count = std::min<int>(static_cast<int>(item.images.size()), kMaxDragImages);
    PutInt(out, count);
    for (int i = 0; i < count; ++i) {
        PutInt(out, 0);
        PutInt(out, item.images[static_cast<size_t>(i)].kind);
        PutInt(out, static_cast<int32_t>(item.images[static_cast<size_t>(i)].data.size()));
        out.insert(out.end(), item.images[static_cast<size_t>(i)].data.begin(), item.images[static_cast<size_t>(i)].data.end());
    }
    PutInt(out, static_cast<int32_t>(item.extra.size()));
    out.insert(out.end(), item.extra.begin(), item.extra.end());
    return out;
}

BOOL ParseDragBlock(const BYTE* data, size_t size, SHBDragItem& out) {
    if (!data) return FALSE;
    BlockReader reader(data, size);
    SHBDragItem item;
    int32_t count = 0;
    if (!reader.Text(item.text) || !reader.Bytes(&item.lParam, sizeof(item.lParam)) || !reader.Int(count)) return FALSE;
    if (count < 0 || count > kMaxDragImages) return FALSE;
    for (int i = 0; i < count; ++i) {
        int32_t zero = 0, kind = 0, length = 0;
        SHBDragImage image;
        if (!reader.Int(zero) || !reader.Int(kind) || !reader.Int(length) || zero != 0 || (kind != 0 && kind != 1) ||
            !reader.Vector(image.data, length))
            return FALSE;
        image.kind = kind;
        item.images.push_back(std::move(image));
    }
    int32_t extra = 0;
    if (!reader.Int(extra) || !reader.Vector(item.extra, extra)) return FALSE;
    out = std::move(item);
    return TRUE;
}

std::vector<BYTE> WriteDragImage(HIMAGELIST images, int index) {
    std::vector<BYTE> out;
    int cx = 0, cy = 0;
    if (!images || index < 0 || index >= ImageList_GetImageCount(images) || !ImageList_GetIconSize(images, &cx, &cy)) return out;
    HIMAGELIST one = ImageList_Create(cx, cy, ILC_COLOR24 | ILC_MASK, 1, 0);
    if (!one) return out;
    if (HICON icon = ImageList_GetIcon(images, index, ILD_NORMAL)) {
        ImageList_ReplaceIcon(one, -1, icon);
        DestroyIcon(icon);
    }
    IStream* stream = nullptr;
    if (ImageList_GetImageCount(one) == 1 && SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
        if (ImageList_Write(one, stream)) {
            HGLOBAL memory = nullptr;
            if (SUCCEEDED(GetHGlobalFromStream(stream, &memory))) {
                STATSTG stat{};
                stream->Stat(&stat, STATFLAG_NONAME);
                const size_t length = static_cast<size_t>(stat.cbSize.QuadPart);
                if (const auto* bytes = static_cast<const BYTE*>(GlobalLock(memory))) {
                    out.assign(bytes, bytes + std::min<size_t>(length, GlobalSize(memory)));
                    GlobalUnlock(memory);
                }
            }
        }
        stream->Release();
    }
    ImageList_Destroy(one);
    return out;
}

HIMAGELIST ReadDragImage(const std::vector<BYTE>& data) {
    // The platform's reader trusts its input: only a head that describes a small list of
    // sensible size goes to it.
    if (data.size() < sizeof(ImageListHead) + 2 * sizeof(BITMAPFILEHEADER)) return nullptr;
    ImageListHead head;
    memcpy(&head, data.data(), sizeof(head));
    if (head.magic != 0x4C49 || head.count < 1 || head.count > 4 || head.max > 64 || head.cx < 1 || head.cx > 256 ||
        head.cy < 1 || head.cy > 256)
        return nullptr;
    BITMAPFILEHEADER file;
    memcpy(&file, data.data() + sizeof(head), sizeof(file));
    if (file.bfType != 0x4D42 || file.bfSize > data.size()) return nullptr;
    // The pictures, not only the heads: the reader sizes what it reads by the bitmaps' own
    // headers, and a block that ends early would leave it short.
    size_t end = StreamBitmapEnd(data, sizeof(head));
    if (end && (head.flags & ILC_MASK)) end = StreamBitmapEnd(data, end);
    if (!end) return nullptr;
    IStream* stream = nullptr;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, data.size());
    if (!memory) return nullptr;
    void* copy = GlobalLock(memory);
    if (!copy) {
        GlobalFree(memory);
        return nullptr;
    }
    memcpy(copy, data.data(), data.size());
    GlobalUnlock(memory);
    HIMAGELIST images = nullptr;
    if (SUCCEEDED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        images = ImageList_Read(stream);
        stream->Release();
    } else {
        GlobalFree(memory);
    }
    if (images && ImageList_GetImageCount(images) < 1) {
        ImageList_Destroy(images);
        images = nullptr;
    }
    return images;
}

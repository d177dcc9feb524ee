#include "bars/PackedMenuItems.h"

#include "core/String.h"
#include "wnd/Resources.h"

#include <cstring>
#include <string>

namespace {

constexpr int kMaxDepth = 32;

class PackedReader {
public:
    PackedReader(const BYTE* data, size_t size) : m_data(data), m_size(data ? size : 0) {}
    bool Int(int32_t& value) {
        if (m_size - m_pos < 4) return false;
        std::memcpy(&value, m_data + m_pos, 4);
        m_pos += 4;
        return true;
    }
    bool Skip(size_t bytes) {
        if (m_size - m_pos < bytes) return false;
        m_pos += bytes;
        return true;
    }
    // A zero-terminated UTF-16 text: (characters + 1) x 2 bytes.
    bool Text(CString& text) {
        const size_t chars = (m_size - m_pos) / 2;
        for (size_t i = 0; i < chars; ++i) {
            wchar_t ch;
            std::memcpy(&ch, m_data + m_pos + i * 2, 2);
            if (ch == 0) {
                std::wstring chars16(i, L'\0');
                std::memcpy(chars16.data(), m_data + m_pos, i * 2);
                text = CString(std::move(chars16));
                m_pos += (i + 1) * 2;
                return true;
            }
        }
        return false;
    }
    size_t Position() const { return m_pos; }

private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

CString CommandText(int32_t id) {
    const CString resource = LoadStringResource(static_cast<UINT>(id));
    const int newline = resource.Find(L'\n');
    return newline < 0 ? CString() : resource.Mid(newline + 1);
}

bool ReadList(PackedReader& in, HMENU menu, int position, std::vector<HMENU>& created, int depth, int& items) {
    if (depth > kMaxDepth) return false;
    for (;;) {
        int32_t id = 0, skipped = 0, code = 0;
        CString text;
        if (!in.Int(id) || !in.Text(text) || !in.Int(skipped) || !in.Skip(1) || !in.Int(code)) return false;
        if (text.IsEmpty() && id != 0 && id != -1) text = CommandText(id);
        const UINT at = position < 0 ? static_cast<UINT>(-1) : static_cast<UINT>(position);
        if (id == -1) {
            HMENU submenu = CreatePopupMenu();
            if (!submenu) return false;
            created.push_back(submenu);
            InsertMenuW(menu, at, MF_BYPOSITION | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(submenu), text);
            ++items;
            if (code != 0 && !ReadList(in, submenu, -1, created, depth + 1, items)) return false;
        } else if (id == 0) {
            InsertMenuW(menu, at, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
            ++items;
        } else {
            InsertMenuW(menu, at, MF_BYPOSITION | MF_STRING, static_cast<UINT_PTR>(static_cast<UINT>(id)), text);
            ++items;
        }
        if (position >= 0) ++position;
        if (code == 0 || code == 2) return true;
    }
}

}  // namespace

PackedMenuResult InsertPackedMenuItems(const BYTE* data, size_t size, HMENU menu, int position, std::vector<HMENU>& created) {
    PackedMenuResult result;
    if (!menu || !data) return result;
    PackedReader in(data, size);
    result.complete = ReadList(in, menu, position, created, 0, result.items);
    result.consumed = in.Position();
    return result;
}

// The block a dragged shortcut-bar item travels in (clipboard format
// "Shortcut bar child window item"): the item text with its terminator, the
// item's application value (pointer-sized), up to two images (the large and
// the small icon, each an image list in the platform's stream form) and the
// owner's extra data. Integers are little-endian 32-bit.
//
// Any process can offer this format, so a block is read as untrusted bytes:
// every length is checked against the block, the text must end inside it.
#pragma once
#include "core/String.h"

#include <windows.h>

#include <commctrl.h>

#include <vector>

struct SHBDragImage {
    int kind = 0;  // 0 large, 1 small
    std::vector<BYTE> data;
};

struct SHBDragItem {
    CString text;
    LPARAM lParam = 0;
    std::vector<SHBDragImage> images;
    std::vector<BYTE> extra;
};

inline constexpr int kMaxDragImages = 2;

std::vector<BYTE> PackDragBlock(const SHBDragItem& item);
// FALSE, with `out` untouched, for a block that does not read whole.
BOOL ParseDragBlock(const BYTE* data, size_t size, SHBDragItem& out);

// One image of `images` as a one-image list in stream form (empty on failure).
std::vector<BYTE> WriteDragImage(HIMAGELIST images, int index);
// The image list of a dragged image, null for data that is not a small image list.
HIMAGELIST ReadDragImage(const std::vector<BYTE>& data);

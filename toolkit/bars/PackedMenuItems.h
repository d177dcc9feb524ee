// A packed list of menu items, as menu layouts are handed over in memory:
// per item a 32-bit command id (-1 for a submenu, 0 for a separator), the
// text as zero-terminated UTF-16, a 32-bit value and a byte that carry
// nothing here, and a 32-bit continuation code. Codes 0 and 2 end the list
// after the item, any other code says that more items follow. A submenu
// item whose code is not 0 is followed at once by the list of its own items;
// after that list its code decides whether its own list goes on (1) or ends.
// An empty text of a command takes the part after the first newline of the
// command's string resource. Every field is read within the bytes given:
// a list that runs past its end, or nests deeper than 32 levels, is refused
// at that point and what was read before stays.
#pragma once
#include <windows.h>

#include <cstddef>
#include <vector>

struct PackedMenuResult {
    int items = 0;           // items inserted, at every level
    bool complete = false;   // the list ended as its codes said, within the data
    size_t consumed = 0;     // bytes read
};

// Inserts the items into `menu` from `position` on (-1: at the end); every
// submenu made is appended to `created`.
PackedMenuResult InsertPackedMenuItems(const BYTE* data, size_t size, HMENU menu, int position, std::vector<HMENU>& created);

// The two records that tie an owner-drawn menu item to its picture and its
// text. The bitmap-menu organizer makes one COXImageInfo per command that
// has a menu image and owns them; a bitmap menu owns the COXItemInfo of each
// of its owner-drawn items (the item data); the menu skins read both.
#pragma once
#include "core/String.h"

#include <windows.h>

#include <commctrl.h>

struct COXImageInfo {
    COXImageInfo(HIMAGELIST list, int image, BOOL isDefault, int hot) : imageList(list), imageIndex(image), defaultImage(isDefault), hotIndex(hot) {}
    HIMAGELIST imageList = nullptr;  // not owned
    int imageIndex = 0;
    BOOL defaultImage = TRUE;  // the organizer's own check image, not a tool-bar image
    int hotIndex = -1;         // image shown while the item is selected, -1 for none
    // The size of one image of the list, (0, 0) without a list.
    SIZE ImageSize() const {
        int cx = 0, cy = 0;
        if (imageList) ImageList_GetIconSize(imageList, &cx, &cy);
        return SIZE{cx, cy};
    }
};

struct COXItemInfo {
    COXItemInfo(COXImageInfo* image, const CString& itemText) : imageInfo(image), text(itemText) {}
    COXImageInfo* imageInfo = nullptr;  // not owned
    CString text;                       // with a tab and the shortcut when there is one
};

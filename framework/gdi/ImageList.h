// CImageList: an owned common-controls image list.
#pragma once
#include <windows.h>

#include <commctrl.h>

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST m_hImageList = nullptr;
    operator HIMAGELIST() const { return m_hImageList; }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow) {
        DeleteImageList();
        m_hImageList = ImageList_Create(cx, cy, flags, initial, grow);
        return m_hImageList != nullptr;
    }
    // Images of width cx cut from a bitmap resource; `mask` is the transparent colour.
    BOOL Create(UINT bitmapId, int cx, int grow, COLORREF mask) {
        DeleteImageList();
        m_hImageList = ImageList_LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId), cx, grow, mask,
                                            IMAGE_BITMAP, LR_CREATEDIBSECTION);
        return m_hImageList != nullptr;
    }
    int Add(HBITMAP image, COLORREF mask) { return ImageList_AddMasked(m_hImageList, image, mask); }
    int Add(HICON icon) { return ImageList_ReplaceIcon(m_hImageList, -1, icon); }
    int GetImageCount() const { return m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0; }
    BOOL Draw(HDC dc, int image, POINT at, UINT style) { return ImageList_Draw(m_hImageList, image, dc, at.x, at.y, style); }
    BOOL DeleteImageList() {
        if (!m_hImageList) return FALSE;
        ImageList_Destroy(m_hImageList);
        m_hImageList = nullptr;
        return TRUE;
    }
};

// CListCtrl: the system's list-view control (WC_LISTVIEW), created with
// Create or bound to an existing window.
#pragma once
#include "wnd/Wnd.h"

#include <commctrl.h>

class CListCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CWnd::Create(WC_LISTVIEWW, nullptr, style, rect, parent, id);
    }
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    BOOL GetItem(LVITEMW* item) const { return static_cast<BOOL>(SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(item))); }
    int InsertItem(const LVITEMW* item) { return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(item))); }
    int InsertItem(int index, const wchar_t* text, int image) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = index;
        item.pszText = const_cast<wchar_t*>(text);
        item.iImage = image;
        return InsertItem(&item);
    }
    BOOL DeleteItem(int index) { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(index))); }
    BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
    CString GetItemText(int index, int subItem = 0) const {
        CString text;
        for (int size = 256;; size *= 2) {
            LVITEMW item{};
            item.iSubItem = subItem;
            item.cchTextMax = size;
            item.pszText = text.GetBuffer(size);
            const int length = static_cast<int>(SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
            text.ReleaseBuffer(length);
            if (length < size - 1) return text;
        }
    }
    BOOL SetItemText(int index, int subItem, const wchar_t* text) {
        LVITEMW item{};
        item.iSubItem = subItem;
        item.pszText = const_cast<wchar_t*>(text);
        return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
    }
    LPARAM GetItemData(int index) const {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = index;
        return GetItem(&item) ? item.lParam : 0;
    }
    int GetItemImage(int index) const {
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = index;
        return GetItem(&item) ? item.iImage : -1;
    }
    HIMAGELIST GetImageList(int kind) const { return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, static_cast<WPARAM>(kind))); }
    HIMAGELIST SetImageList(HIMAGELIST images, int kind) {
        return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(images)));
    }
    COLORREF GetBkColor() const { return static_cast<COLORREF>(SendMessage(LVM_GETBKCOLOR)); }
    COLORREF GetTextColor() const { return static_cast<COLORREF>(SendMessage(LVM_GETTEXTCOLOR)); }
    BOOL GetItemRect(int index, LPRECT rect, int code) const {
        rect->left = code;
        return static_cast<BOOL>(SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect)));
    }
};

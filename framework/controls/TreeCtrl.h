// CTreeCtrl: the system's tree-view control (WC_TREEVIEWW). Thin calls over
// the TVM_ messages; labels come back as CString whatever their length.
#pragma once
#include "wnd/Wnd.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

class CTreeCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CWnd::Create(WC_TREEVIEWW, nullptr, style, rect, parent, id);
    }

    HTREEITEM InsertItem(const wchar_t* text, int image, int selectedImage, HTREEITEM parent, HTREEITEM after,
                         LPARAM data = 0, bool hasChildren = false) {
        TVINSERTSTRUCTW insert{};
        insert.hParent = parent;
        insert.hInsertAfter = after;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
        insert.item.pszText = const_cast<wchar_t*>(text ? text : L"");
        insert.item.iImage = image;
        insert.item.iSelectedImage = selectedImage;
        insert.item.lParam = data;
        insert.item.cChildren = hasChildren ? 1 : 0;
        return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    BOOL DeleteItem(HTREEITEM item) { return static_cast<BOOL>(SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item))); }
    BOOL DeleteAllItems() { return DeleteItem(TVI_ROOT); }

    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const {
        return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
    HTREEITEM GetParentItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PARENT); }
    HTREEITEM GetChildItem(HTREEITEM item) const { return GetNextItem(item, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXT); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    HTREEITEM GetFirstVisibleItem() const { return GetNextItem(nullptr, TVGN_FIRSTVISIBLE); }
    HTREEITEM GetNextVisibleItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXTVISIBLE); }
    HTREEITEM GetDropHilightItem() const { return GetNextItem(nullptr, TVGN_DROPHILITE); }
    BOOL SelectItem(HTREEITEM item) { return static_cast<BOOL>(SendMessage(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item))); }
    BOOL SelectDropTarget(HTREEITEM item) { return static_cast<BOOL>(SendMessage(TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(item))); }
    BOOL Expand(HTREEITEM item, UINT code) { return static_cast<BOOL>(SendMessage(TVM_EXPAND, code, reinterpret_cast<LPARAM>(item))); }
    BOOL EnsureVisible(HTREEITEM item) { return static_cast<BOOL>(SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item))); }
    UINT GetVisibleCount() const { return static_cast<UINT>(SendMessage(TVM_GETVISIBLECOUNT)); }
    UINT GetCount() const { return static_cast<UINT>(SendMessage(TVM_GETCOUNT)); }

    UINT GetItemState(HTREEITEM item, UINT mask) const {
        TVITEMW data{};
        data.mask = TVIF_STATE | TVIF_HANDLE;
        data.hItem = item;
        data.stateMask = mask;
        SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
        return data.state & mask;
    }
    bool IsExpanded(HTREEITEM item) const { return (GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0; }
    LPARAM GetItemData(HTREEITEM item) const {
        TVITEMW data{};
        data.mask = TVIF_PARAM | TVIF_HANDLE;
        data.hItem = item;
        return SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data)) ? data.lParam : 0;
    }
    BOOL GetItemImage(HTREEITEM item, int& image, int& selectedImage) const {
        TVITEMW data{};
        data.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
        data.hItem = item;
        if (!SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data))) return FALSE;
        image = data.iImage;
        selectedImage = data.iSelectedImage;
        return TRUE;
    }
    BOOL SetItemImage(HTREEITEM item, int image, int selectedImage) {
        TVITEMW data{};
        data.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
        data.hItem = item;
        data.iImage = image;
        data.iSelectedImage = selectedImage;
        return static_cast<BOOL>(SendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&data)));
    }
    BOOL SetItemHasChildren(HTREEITEM item, bool hasChildren) {
        TVITEMW data{};
        data.mask = TVIF_CHILDREN | TVIF_HANDLE;
        data.hItem = item;
        data.cChildren = hasChildren ? 1 : 0;
        return static_cast<BOOL>(SendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&data)));
    }
    bool ItemHasChildren(HTREEITEM item) const {
        TVITEMW data{};
        data.mask = TVIF_CHILDREN | TVIF_HANDLE;
        data.hItem = item;
        return SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data)) && data.cChildren != 0;
    }
    CString GetItemText(HTREEITEM item) const {
        std::wstring buffer(256, L'\0');
        for (;;) {
            TVITEMW data{};
            data.mask = TVIF_TEXT | TVIF_HANDLE;
            data.hItem = item;
            data.pszText = buffer.data();
            data.cchTextMax = static_cast<int>(buffer.size());
            if (!SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data))) return CString();
            size_t length = wcsnlen(data.pszText, buffer.size());
            if (data.pszText != buffer.data()) return CString(data.pszText, static_cast<int>(length));
            if (length + 1 < buffer.size()) return CString(buffer.data(), static_cast<int>(length));
            buffer.assign(buffer.size() * 2, L'\0');
        }
    }
    BOOL SetItemText(HTREEITEM item, const wchar_t* text) {
        TVITEMW data{};
        data.mask = TVIF_TEXT | TVIF_HANDLE;
        data.hItem = item;
        data.pszText = const_cast<wchar_t*>(text ? text : L"");
        return static_cast<BOOL>(SendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&data)));
    }
    BOOL GetItemRect(HTREEITEM item, RECT* rect, BOOL textOnly) const {
        *reinterpret_cast<HTREEITEM*>(rect) = item;
        return static_cast<BOOL>(SendMessage(TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(rect)));
    }
    HTREEITEM HitTest(POINT point, UINT* flags = nullptr) const {
        TVHITTESTINFO info{};
        info.pt = point;
        HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
        if (flags) *flags = info.flags;
        return item;
    }
    HIMAGELIST SetImageList(HIMAGELIST list, int kind) {
        return reinterpret_cast<HIMAGELIST>(SendMessage(TVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(list)));
    }
    HIMAGELIST CreateDragImage(HTREEITEM item) {
        return reinterpret_cast<HIMAGELIST>(SendMessage(TVM_CREATEDRAGIMAGE, 0, reinterpret_cast<LPARAM>(item)));
    }
    HWND EditLabel(HTREEITEM item) { return reinterpret_cast<HWND>(SendMessage(TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(item))); }
    HWND GetEditControl() const { return reinterpret_cast<HWND>(SendMessage(TVM_GETEDITCONTROL)); }
    BOOL EndEditLabelNow(BOOL cancel) { return static_cast<BOOL>(SendMessage(TVM_ENDEDITLABELNOW, cancel)); }
    HWND GetToolTips() const { return reinterpret_cast<HWND>(SendMessage(TVM_GETTOOLTIPS)); }
};

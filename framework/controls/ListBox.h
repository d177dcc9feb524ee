// CListBox: the system's list box ("LISTBOX").
#pragma once
#include "wnd/Wnd.h"

class CListBox : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CWnd::Create(L"LISTBOX", nullptr, style, rect, parent, id);
    }
    int AddString(const wchar_t* text) { return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))); }
    int InsertString(int index, const wchar_t* text) {
        return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
    }
    int DeleteString(int index) { return static_cast<int>(SendMessage(LB_DELETESTRING, static_cast<WPARAM>(index))); }
    void ResetContent() { SendMessage(LB_RESETCONTENT); }
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index))); }
    void GetText(int index, CString& text) const {
        text.Empty();
        int length = static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(index)));
        if (length <= 0) return;
        int copied = static_cast<int>(SendMessage(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.GetBuffer(length + 1))));
        text.ReleaseBuffer(copied < 0 ? 0 : copied);
    }
    int FindStringExact(int startAfter, const wchar_t* text) const {
        return static_cast<int>(SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(startAfter), reinterpret_cast<LPARAM>(text)));
    }
    int SetItemData(int index, DWORD_PTR data) { return static_cast<int>(SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data))); }
    DWORD_PTR GetItemData(int index) const { return static_cast<DWORD_PTR>(SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(index))); }
};

// CEdit: the system's edit control ("EDIT"), created with Create or bound
// to a dialog's control by DDX_Control. A bound or created box selects its
// whole text on Ctrl+A.
#pragma once
#include "wnd/Wnd.h"

class CEdit : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CWnd::Create(L"EDIT", nullptr, style, rect, parent, id);
    }
    void SetSel(int start, int end, BOOL noScroll = FALSE) {
        SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end);
        if (!noScroll) SendMessage(EM_SCROLLCARET);
    }
    void GetSel(int& start, int& end) const {
        DWORD s = 0, e = 0;
        SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        start = static_cast<int>(s);
        end = static_cast<int>(e);
    }
    void ReplaceSel(const wchar_t* text, BOOL canUndo = FALSE) { SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text)); }
    void SetLimitText(UINT max) { SendMessage(EM_SETLIMITTEXT, max); }
    BOOL SetReadOnly(BOOL readOnly = TRUE) { return static_cast<BOOL>(SendMessage(EM_SETREADONLY, readOnly)); }
    int GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
    BOOL GetModify() const { return static_cast<BOOL>(SendMessage(EM_GETMODIFY)); }
    void SetModify(BOOL modified = TRUE) { SendMessage(EM_SETMODIFY, modified); }

protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry entries[] = {MapMessage<&CEdit::OnChar>(WM_CHAR)};
        static const MessageMap map{CWnd::GetMessageMap(), entries};
        return &map;
    }
    // Ctrl+A (its character 1) selects the whole text, as the system's own
    // edit boxes do since Windows Vista; every other character is the box's.
    void OnChar(UINT character, UINT, UINT) {
        if (character == 1) {
            SetSel(0, -1);
            return;
        }
        Default();
    }
};

// CSpinButtonCtrl: the system's up-down control ("msctls_updown32").
#pragma once
#include "wnd/Wnd.h"

#include <commctrl.h>

class CSpinButtonCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CWnd::Create(UPDOWN_CLASSW, nullptr, style, rect, parent, id);
    }
    // The position (low word of UDM_GETPOS; the high word flags an error).
    int GetPos() const { return static_cast<int>(LOWORD(SendMessage(UDM_GETPOS))); }
    int SetPos(int pos) { return static_cast<int>(static_cast<short>(LOWORD(SendMessage(UDM_SETPOS, 0, MAKELPARAM(pos, 0))))); }
    void GetRange(int& lower, int& upper) const {
        const DWORD range = static_cast<DWORD>(SendMessage(UDM_GETRANGE));
        upper = static_cast<short>(LOWORD(range));
        lower = static_cast<short>(HIWORD(range));
    }
    void SetRange(int lower, int upper) { SendMessage(UDM_SETRANGE, 0, MAKELPARAM(upper, lower)); }
};

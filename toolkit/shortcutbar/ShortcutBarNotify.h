// How the shortcut bar, its group lists and its in-place edit talk to their
// owner: WM_NOTIFY with one record (SHBNotifyInfo) and one code per event,
// where a nonzero answer means the owner handled or refused the event; and the
// private messages they send one another.
#pragma once
#include "wnd/Wnd.h"

#include <commctrl.h>
#include <ole2.h>

// A group of a shortcut bar: numbered from 1 by the bar, 0 is no group.
DECLARE_HANDLE(HSHBGROUP);

// Notification codes ------------------------------------------------------------------------------
inline constexpr UINT SHBN_DRAGENTER = 0x80A4;
inline constexpr UINT SHBN_DRAGLEAVE = 0x80A5;
inline constexpr UINT SHBN_DRAGOVER = 0x80A6;
inline constexpr UINT SHBN_DROP = 0x80A8;
inline constexpr UINT SHBN_ENDEDIT = 0x80CF;
inline constexpr UINT SHBN_BEGINDRAGHEADER = 0x80D0;
inline constexpr UINT SHBN_BEGINHEADEREDIT = 0x80D1;
inline constexpr UINT SHBN_DELETEGROUP = 0x80D2;
inline constexpr UINT SHBN_ENDHEADEREDIT = 0x80D3;
inline constexpr UINT SHBN_GETHEADERINFOTIP = 0x80D4;
inline constexpr UINT SHBN_GROUPEXPANDED = 0x80D5;
inline constexpr UINT SHBN_GROUPEXPANDING = 0x80D7;
inline constexpr UINT SHBN_DRAWHEADER = 0x80D8;
inline constexpr UINT SHBN_DROPGROUP = 0x80D9;
inline constexpr UINT SHBN_INSERTGROUP = 0x80DA;
inline constexpr UINT SHBN_BEGINDRAGITEM = 0x80DB;
inline constexpr UINT SHBN_BEGINITEMEDIT = 0x80DC;
inline constexpr UINT SHBN_DELETEALLITEMS = 0x80DD;
inline constexpr UINT SHBN_DELETEITEM = 0x80DE;
inline constexpr UINT SHBN_ENDITEMEDIT = 0x80DF;
inline constexpr UINT SHBN_GETITEMINFOTIP = 0x80E0;
inline constexpr UINT SHBN_INSERTITEM = 0x80E1;
inline constexpr UINT SHBN_PRESSITEM = 0x80E2;
inline constexpr UINT SHBN_SELECTITEM = 0x80E3;
inline constexpr UINT SHBN_HOTITEM = 0x80E4;
inline constexpr UINT SHBN_DRAWITEM = 0x80E5;
inline constexpr UINT SHBN_GETDROPTARGET = 0x80E6;
inline constexpr UINT SHBN_GETDROPSOURCE = 0x80E7;
inline constexpr UINT SHBN_BEGINDRAG = 0x80E8;
inline constexpr UINT SHBN_GETDRAGDATA = 0x80E9;
inline constexpr UINT SHBN_SETDROPDATA = 0x80EA;
inline constexpr UINT SHBN_DRAGDROPDONE = 0x80EB;
inline constexpr UINT SHBN_CONTEXTMENU = 0x80EC;

// Private messages between the bar and its lists --------------------------------------------------
inline constexpr UINT WM_SHB_ADDITEMCOMMANDS = 0x80EE;  // lParam SHBContextMenuInfo*
inline constexpr UINT WM_SHB_ATTACHLIST = 0x80EF;       // lParam the group
inline constexpr UINT WM_SHB_GROUPCHANGED = 0x80F0;     // lParam the changed group-info mask
inline constexpr UINT WM_SHB_BARCHANGED = 0x80F1;       // lParam flags (1 scroll buttons, 0x20 and repaint)
inline constexpr UINT WM_SHB_GROUPDELETING = 0x80F2;
inline constexpr UINT WM_SHB_HOTTRACK = 0x80F3;
inline constexpr UINT WM_SHB_STARTITEMDRAG = 0x80F4;  // wParam item, lParam the data source

// The record of every notification. The in-place edit's end (SHBN_ENDEDIT) carries its
// accept flag (1 accepted, 0 cancelled) in the field right after the header, `hGroup`'s slot.
struct SHBNotifyInfo {
    NMHDR hdr;
    HSHBGROUP hGroup;
    int nItem;
    LPARAM lParam;
};
inline BOOL IsEditAccepted(const SHBNotifyInfo& info) { return info.hGroup != nullptr; }

// Behind the info-tip codes: the owner sets the text pointer or fills the buffer.
struct SHBToolTipInfo {
    LPWSTR lpszText;
    wchar_t szText[80];
    HINSTANCE hInstance;
};

// Application data that travels with a dragged item.
struct SHBDragData {
    DWORD nDataLength;
    BYTE* pData;
};

class COXShortcutBar;
struct SHBContextMenuInfo {
    HMENU hMenu;
    COXShortcutBar* pShortcutBar;
    HSHBGROUP hGroup;
    POINT point;  // screen
};

#if !defined(_WIN64)
static_assert(sizeof(SHBNotifyInfo) == 24, "notification record: header, group, item, value");
static_assert(sizeof(SHBToolTipInfo) == 168, "info-tip record: pointer, 80 characters, module");
static_assert(sizeof(SHBDragData) == 8, "drag data: byte count and pointer");
static_assert(sizeof(SHBContextMenuInfo) == 20, "context-menu record: menu, bar, group, point");
#endif

// Point arithmetic of the bar and its lists.
inline CPoint AddPoints(POINT a, POINT b) { return CPoint(a.x + b.x, a.y + b.y); }
inline CPoint SubtractPoints(POINT a, POINT b) { return CPoint(a.x - b.x, a.y - b.y); }

// Sends `code` from `sender` under its own id and handle to its owner (the window set as
// owner, else the parent); 0 without an owner.
LRESULT SendShortcutBarNotify(CWnd* sender, UINT code, HSHBGROUP group, int item, LPARAM lParam);

// Answers a tooltip's TTN_GETDISPINFOA/W request from the record: the owner's pointer, else its
// buffer. The ANSI copy never exceeds the tooltip's 80 bytes and always ends in a terminator,
// also where the code page needs two bytes for a character.
void AnswerToolTipRequest(NMHDR* request, const SHBToolTipInfo& info);
// `text` in `codePage`, cut at a character boundary to at most `size - 1` bytes and terminated.
void CopyToAnsiBuffer(const wchar_t* text, char* out, int size, UINT codePage = CP_ACP);

// The clipboard format of a dragged shortcut-bar item, registered once.
CLIPFORMAT GetShortcutBarItemFormat();


// The private messages, commands and style bits of the docking family.
#pragma once
#include <windows.h>

// To the main window: does the toolkit drag bars itself? Nonzero: yes; 0 (also unhandled): the framework's drag.
inline constexpr UINT WM_QUERYSIZEDOCK = 0x045C;
// To a view bar: activate (wParam) from a source (lParam: 1 bar, 2 wrapper, 3 mini frame).
inline constexpr UINT WM_SIZEBAR_ACTIVATE = 0x80B6;
// To a size bar: append your commands to the menu in lParam; answers 1.
inline constexpr UINT WM_SIZEBAR_FILLMENU = 0x80CC;
// To a size bar just floated: its floating frame fits its system menu; answers 1.
inline constexpr UINT WM_SIZEBAR_FLOATSYNC = 0x80CD;

// Commands and strings of a size bar's menu, and the status prompt of a drag.
inline constexpr UINT ID_OX_DRAGPROMPT = 26430;
inline constexpr UINT ID_OX_ALLOWDOCKING = 26431;
inline constexpr UINT ID_OX_HIDEBAR = 26432;
inline constexpr UINT ID_OX_MDIFLOAT = 26433;

// Size-bar style word (COXSizeControlBar::m_Style).
inline constexpr DWORD SZBARF_DESTROY_ON_CLOSE = 0x0001;  // closing its floating frame destroys and deletes the bar
inline constexpr DWORD SZBARF_AUTOTIDY = 0x0002;          // registered in the process-wide list (DestroyFrameBars)
inline constexpr DWORD SZBARF_STDMOUSECLICKS = 0x0004;    // shows its own context menu
inline constexpr DWORD SZBARF_ALLOW_MDI_FLOAT = 0x0010;   // the menu offers floating as an MDI child
inline constexpr DWORD SZBARF_NOGRIPPER = 0x0020;
inline constexpr DWORD SZBARF_NOCLOSEBTN = 0x0040;
inline constexpr DWORD SZBARF_NORESIZEBTN = 0x0080;
inline constexpr DWORD SZBARF_NOCAPTION = 0x0100;         // no caption text
inline constexpr DWORD SZBARF_SOLIDGRIPPER = 0x0200;      // a coloured title bar instead of a gripper

// Pressed caption button codes (m_nHotButton).
inline constexpr int OX_HOT_NONE = -1;
inline constexpr int OX_HOT_RESIZE = -2;
inline constexpr int OX_HOT_CLOSE = -3;

// The registered command that moves an MDI child's view between the child and its view bar.
UINT DockMdiChildCommand();

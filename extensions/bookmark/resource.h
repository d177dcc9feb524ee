// Resource identifiers of BookMark.
#pragma once
#define IDS_PROJNAME 100
#define IDR_BOOKMARK 101
#define IDR_BAROBJ 102
#define IDI_BUTTON 209
#define IDI_BUTTON_HOT 210
#define IDI_BUTTON_SMALL 211

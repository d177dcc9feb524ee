// Resource identifiers of TQIEMenuExt.
#pragma once
#define IDS_PROJNAME 100
#define IDR_TQIEMENUEXT 101
#define IDR_AUTOFILL 102

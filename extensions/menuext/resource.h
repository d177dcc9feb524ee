// Resource identifiers of TQMenuExt.
#pragma once
#define IDS_PROJNAME 100
#define IDR_TQMENUEXT 101
#define IDB_MENUEXT 102
#define IDR_MENUEXT 103
#define IDR_MENUSCRIPT 202

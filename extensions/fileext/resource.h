// Resource identifiers of TQFileExt.
#pragma once
#define IDS_PROJNAME 100
#define IDR_TQFILEEXT 101
#define IDR_SIMPLESHLEXT 102

// Resource and control ids of the question asked when a page changed on disk
// while it was open (PageChanged.rc).
#pragma once

#define IDD_PAGE_CHANGED 150
#define IDC_PAGE_CHANGED_TEXT 1101
#define IDC_KEEP_BOTH 1102
#define IDC_RELOAD 1103

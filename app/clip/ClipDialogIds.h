// Resource and control ids of the "Add to Tarvelo" dialog (ClipDialogs.rc).
#pragma once

#define IDD_ADD_ITEM 108

#define IDC_ADD_PAGE 1008
#define IDC_ADD_SECTION 1009
#define IDC_ADD_NAME 1006
#define IDC_ADD_TRIM_HEAD 1050
#define IDC_ADD_DATE 1052
#define IDC_ADD_TRIM_END 1049
#define IDC_ADD_ADDRESS 1007
#define IDC_ADD_PICTURE 1054
#define IDC_ADD_SHOW_PICTURE 1053
#define IDC_ADD_SAVE_FORMS 1038

// Resource and command ids. Shared by the .rc file and the Win32 layer; the numbers are
// also the command vocabulary of the main window (toolbar 112..126, menus 104, 105 and
// 32773..32804). 118..120 double as the values of LayoutMode.
#pragma once

// Dialogs
#define IDD_ABOUT                 103
#define IDD_MAKE_PDF_PROGRESS     141
#define IDD_ADD_IMAGES_PROGRESS   142
#define IDD_OPTIONS               173
#define IDD_LAYOUT_PALETTE        180

// Menus and accelerators
#define IDR_MAIN_MENU             108
#define IDR_ACCELERATORS          109
#define IDR_IMAGE_MENU            144

// Bitmaps and icons
#define IDI_ABOUT_MISSING         107
#define IDB_INSERT_MARK           156
#define IDB_INSERT_ERASER         157
#define IDB_TOOLBAR_32            171
#define IDI_TOLVANE               188
#define IDB_TOOLBAR_8             189
// The same strips at 36 and 48 pixels, for 150 % and 200 % (and scaled between).
#define IDB_TOOLBAR_32_36         190
#define IDB_TOOLBAR_8_36          191
#define IDB_TOOLBAR_32_48         192
#define IDB_TOOLBAR_8_48          193

// Child windows
#define IDC_IMAGE_LIST_VIEW       110
#define IDC_MAIN_TOOLBAR          111
#define IDC_STATUS_BAR            129
#define IDC_PREVIEW_LIST_VIEW     137

// Commands
#define IDM_ABOUT                 104
#define IDM_EXIT                  105
#define IDM_ADD_IMAGES            112
#define IDM_OPEN_LAYOUT           113
#define IDM_SAVE_LAYOUT           114
#define IDM_OPTIONS               115
#define IDM_MAKE_PDF              116
#define IDM_PREVIEW               117
#define IDM_LAYOUT_ONE            118
#define IDM_LAYOUT_TWO            119
#define IDM_LAYOUT_FOUR           120
#define IDM_ROTATE_CW             121
#define IDM_ROTATE_CCW            122
#define IDM_FLIP_LEFT_RIGHT       123
#define IDM_FLIP_TOP_BOTTOM       124
#define IDM_REMOVE                125
#define IDM_HELP                  126
#define IDM_CTX_ROTATE_CW         32773
#define IDM_CTX_ROTATE_CCW        32774
#define IDM_CTX_REMOVE            32776
#define IDM_CTX_CHANGE_CAPTION    32784
#define IDM_CTX_FLIP_LEFT_RIGHT   32785
#define IDM_CTX_FLIP_TOP_BOTTOM   32786
#define IDM_MENU_ADD_IMAGES       32790
#define IDM_SELECT_ALL            32796
#define IDM_KEY_ADD_IMAGES        32797
#define IDM_KEY_OPEN              32798
#define IDM_KEY_SAVE              32799
#define IDM_KEY_MAKE_PDF          32800
#define IDM_KEY_PREVIEW           32801
#define IDM_HELP_CONTENTS         32803
#define IDM_WEB_SITE              32804

// Dialog controls
#define IDC_PDF_PROGRESS_BAR      1008
#define IDC_PDF_MESSAGE           1011
#define IDC_PDF_CANCEL            1014
#define IDC_PDF_FILE              1015
#define IDC_ABOUT_CREDITS         1016
#define IDC_ADD_CANCEL            1027
#define IDC_ADD_STATUS            1028
#define IDC_ADD_MESSAGE           1029
#define IDC_ADD_PROGRESS_BAR      1030
#define IDC_OPT_PASSWORD          1032
#define IDC_OPT_OPEN_AFTER        1033
#define IDC_OPT_MAIL_AFTER        1034
#define IDC_OPT_PAGE_SIZE         1037
#define IDC_OPT_QUALITY           1048
#define IDC_ABOUT_ICON            3

// Strings
#define IDS_CLASS_NAME            1
#define IDS_TITLE                 8000
#define IDS_TIP_ADD_IMAGES        8001
#define IDS_TIP_OPEN_LAYOUT       8002
#define IDS_TIP_SAVE_LAYOUT       8003
#define IDS_TIP_OPTIONS           8004
#define IDS_TIP_MAKE_PDF          8005
#define IDS_TIP_PREVIEW           8006
#define IDS_TIP_ROTATE_CW         8007
#define IDS_TIP_ROTATE_CCW        8008
#define IDS_TIP_FLIP_TOP_BOTTOM   8009
#define IDS_TIP_FLIP_LEFT_RIGHT   8010
#define IDS_TIP_REMOVE            8011
#define IDS_TIP_HELP              8012
#define IDS_TIP_SET_ONE           8013
#define IDS_TIP_SET_TWO           8014
#define IDS_TIP_SET_FOUR          8015
#define IDS_TIP_CURRENT_ONE       8016
#define IDS_TIP_CURRENT_TWO       8017
#define IDS_TIP_CURRENT_FOUR      8018
#define IDS_TIP_CLOSE_PREVIEW     8019

// Resource numbers of setup.exe: dialog templates, their controls, icons and bitmap.
// The numbers are fixed by the templates; code and resources both use these names.
#pragma once

// Dialog templates.
#define IDD_SETUP 102
#define IDD_DISK_PROMPT 129
#define IDD_DESTINATION_PAGE 135
#define IDD_FINISH_PAGE 136

// Pictures.
#define IDI_SETUP 128
#define IDI_DISK_PROMPT 130
#define IDB_MAKER 137

// Controls of the main dialog (102).
#define IDC_PROGRESS 1000
#define IDC_START 1014
#define IDC_PAGE_AREA 1016
#define IDC_MAKER_BITMAP 1019
#define IDC_MAKER_LINE 1020
#define IDC_WEB_LINK 1021

// Controls of the pages (135, 136): 1001 is the status line of the destination page
// and the result text of the finish page.
#define IDC_PAGE_TEXT 1001
#define IDC_BROWSE 1004
#define IDC_INSTRUCTION 1010
#define IDC_DESTINATION 1012
#define IDC_FOLDER_LABEL 1013
#define IDC_RESTART 1017
#define IDC_SHOW_PROPERTIES 1018

// Controls of the disk prompt (129); 1004 is its browse button too.
#define IDC_PROMPT 1005
#define IDC_FOLDER 1006

// A static control without an id of its own.
#define IDC_NONE (-1)

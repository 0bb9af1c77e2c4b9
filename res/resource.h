// Resource and control ids of Lumaret's two dialog templates, its icons and its cursor.
// Plain #defines only: the resource compiler reads this file as well as the C++ compiler.
#ifndef LUMARET_RESOURCE_H
#define LUMARET_RESOURCE_H

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_LUMARET_DIALOG 102

// Pictures
#define IDC_LINK_HAND 109
#define IDR_MAINFRAME 128
#define IDI_OPEN 129
#define IDI_SAVE 131

// Controls of the main dialog (template 102)
#define IDC_TEXT 1000
#define IDC_OPEN 1001
#define IDC_CHOICE 1002
#define IDC_SAVE 1003
#define IDC_NOTE 1004
#define IDC_HINT 1005
#define IDC_TARGET 1006
#define IDC_PATH 1011
#define IDC_FILE_GROUP 1012
#define IDC_CAUSE_GROUP 1013
#define IDC_SAVE_GROUP 1014
#define IDC_INFO 1021

// Commands of the main dialog. The dialog posts itself this one to load a command-line file once it shows; the
// hidden button of the same id in its template only lends the command its number. (The About box's 1008 is a
// control of another template.)
#define ID_LOAD_COMMAND 1008

// Controls of the About box (template 100)
#define IDC_AUTHOR 118
#define IDC_HOMEPAGE 1007
#define IDC_EMAIL 1008

#endif

#pragma once

#define IDD_FW_TEST 300
#define IDC_FW_NOTIFY 1100  // a static that gets an object with reflected entries
#define IDC_FW_PLAIN 1101   // a static without an object
#define IDC_FW_EDIT 1102
#define IDC_FW_COMBO 1103
#define IDC_FW_THROW 1104
#define IDC_FW_LIST 1105

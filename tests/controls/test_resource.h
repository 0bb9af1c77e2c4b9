// Ids of the test dialog that carries one control of each kind.
#pragma once

#define IDD_CONTROLS_TEST 200
#define IDC_LEFT_LINK 2001
#define IDC_CENTRE_LINK 2002
#define IDC_RIGHT_LINK 2003
#define IDC_CENTREIMAGE_LINK 2004
#define IDC_EMPTY_LINK 2005
#define IDC_TEXT_LINK 2006
#define IDC_TEST_PATH 2011
#define IDC_TEST_INFO 2021

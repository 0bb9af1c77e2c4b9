#pragma once
#include <windows.h>

// The program's message box: owned by the main window (its last active pop-up), or by the active window when
// there is no main window; captioned with the application title. When nType names no icon and its buttons are
// OK, OK-Cancel, Yes-No or Yes-No-Cancel, MB_ICONEXCLAMATION is added.
int AfxMessageBox(const char* lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);

// Test seam: with a handler set, no box is shown; the handler gets the text and the type (with the icon rule
// applied) and its result is the answer. Returns the previous handler; pass nullptr to show boxes again.
using AfxMessageBoxHandler = int (*)(const char* lpszText, UINT nType, void* pContext);
AfxMessageBoxHandler AfxSetMessageBoxHandler(AfxMessageBoxHandler pfnHandler, void* pContext);

// The type a box of type nType is shown with (the icon rule).
UINT AfxMessageBoxType(UINT nType) noexcept;

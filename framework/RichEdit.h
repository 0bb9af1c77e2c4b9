#pragma once
#include <windows.h>

// The one slot for the rich-edit library's handle: whoever loads it first fills it; nobody unloads it.
struct AFX_RICHEDIT_STATE {
  HINSTANCE m_hInstRichEdit = nullptr;
};

AFX_RICHEDIT_STATE* AfxGetRichEditState();
// Loads "RICHED32.DLL" through the usual library search when the slot is empty; TRUE when it holds a handle.
BOOL AfxInitRichEdit();

#include "RichEdit.h"

AFX_RICHEDIT_STATE* AfxGetRichEditState() {
  static AFX_RICHEDIT_STATE state;
  return &state;
}

BOOL AfxInitRichEdit() {
  AFX_RICHEDIT_STATE* pState = AfxGetRichEditState();
  if (pState->m_hInstRichEdit == nullptr) pState->m_hInstRichEdit = ::LoadLibraryA("RICHED32.DLL");
  return pState->m_hInstRichEdit != nullptr;
}

#include "MessageBox.h"

#include "WinApp.h"
#include "Wnd.h"

namespace {
AfxMessageBoxHandler g_pfnHandler = nullptr;
void* g_pHandlerContext = nullptr;
}  // namespace

UINT AfxMessageBoxType(UINT nType) noexcept {
  if ((nType & MB_ICONMASK) != 0) return nType;
  switch (nType & MB_TYPEMASK) {
    case MB_OK:
    case MB_OKCANCEL:
    case MB_YESNO:
    case MB_YESNOCANCEL:
      return nType | MB_ICONEXCLAMATION;
    default:
      return nType;
  }
}

AfxMessageBoxHandler AfxSetMessageBoxHandler(AfxMessageBoxHandler pfnHandler, void* pContext) {
  const AfxMessageBoxHandler pfnPrevious = g_pfnHandler;
  g_pfnHandler = pfnHandler;
  g_pHandlerContext = pContext;
  return pfnPrevious;
}

// nIDHelp is the help context of the box; there is no help file to show it in.
int AfxMessageBox(const char* lpszText, UINT nType, UINT) {
  nType = AfxMessageBoxType(nType);
  if (g_pfnHandler != nullptr) return g_pfnHandler(lpszText, nType, g_pHandlerContext);
  HWND hWndOwner = CWnd::GetSafeOwner(nullptr);
  if (hWndOwner == nullptr) hWndOwner = ::GetActiveWindow();
  return ::MessageBoxA(hWndOwner, lpszText, AfxGetAppName(), nType);
}

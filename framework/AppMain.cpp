// The program's entry point: runs the one application object.
#include "Exception.h"
#include "Wnd.h"
#include "WinApp.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow) {
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr) return -1;
  pApp->SetInstance(hInstance, lpCmdLine, nCmdShow);
  int nExitCode = -1;
  try {
    pApp->InitInstance();
    nExitCode = pApp->ExitInstance();
  } catch (...) {
    AfxReportCurrentException();
  }
  AfxDeleteTempObjects();
  return nExitCode;
}

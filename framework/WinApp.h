#pragma once
#include <windows.h>

#include <string>

#include "CmdTarget.h"

class CCommandLineInfo;
class CWnd;

// The application object: exactly one, a global constructed before the entry point. The entry point
// (AppMain.cpp) runs InitInstance and then ExitInstance, whose result is the exit code: the framework's windows
// are modal and run their own loops, so there is no application message loop, whatever InitInstance answers.
class CWinApp : public CCmdTarget {
 public:
  // Without a name, the title is the executable's file name without its extension.
  explicit CWinApp(const char* pszAppName = nullptr);
  ~CWinApp() override;

  const char* m_pszAppName = nullptr;
  const char* m_pszHelpFilePath = nullptr;  // the executable's path with ".HLP" in place of its extension
  CWnd* m_pMainWnd = nullptr;
  HINSTANCE m_hInstance = nullptr;
  LPSTR m_lpCmdLine = nullptr;
  int m_nCmdShow = SW_SHOWNORMAL;

  virtual BOOL InitInstance();
  virtual int ExitInstance();

  // Splits the process's command line by the platform's rules (CommandLineToArgvW, each argument then
  // converted to the ANSI code page) and feeds every argument after the program's name to rCmdInfo.
  void ParseCommandLine(CCommandLineInfo& rCmdInfo);
  // The same for a given command line.
  static void ParseCommandLine(CCommandLineInfo& rCmdInfo, const wchar_t* pszCommandLine);
  // The same for a given argument list; argv[0] is the program's name.
  static void ParseCommandLine(CCommandLineInfo& rCmdInfo, int argc, const char* const* argv);

  // The three-dimensional look is the system's own on every platform this builds for.
  BOOL Enable3dControlsStatic();

  // Opens the help file in the system help viewer; without one, only beeps.
  void OnHelp();

  // Fills in the instance, the command line and the names; the entry point calls it first.
  void SetInstance(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow);

 private:
  std::string m_strAppName;
  std::string m_strHelpFilePath;

  void InitNames(const char* pszAppName);
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// The application title; the executable's name without extension when there is no application object.
const char* AfxGetAppName();

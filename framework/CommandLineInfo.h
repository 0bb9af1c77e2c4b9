#pragma once
#include <windows.h>

#include <string>

// What the command line asks for. ParseParam is called for each argument after the program's name, in
// order; a switch (an argument beginning with '-' or '/') comes without that first character and with
// bFlag TRUE. The rules:
//   "pt" (exactly)                      FilePrintTo; the next plain arguments are printer, driver and port
//   "p" (exactly)                       FilePrint
//   "Unregister", "Unregserver" (any case)  AppUnregister
//   "dde" (exactly)                     FileDDE
//   "Embedding", "Automation" (any case)    noted; the command is not changed
//   anything else                       ignored
// The first plain argument is the file name. After the last argument, FileNew with a file name becomes
// FileOpen.
class CCommandLineInfo {
 public:
  enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppAutomation, AppUnregister, FileNothing = -1 };

  int m_nShellCommand = FileNew;
  BOOL m_bRunEmbedded = FALSE;
  BOOL m_bRunAutomated = FALSE;
  std::string m_strFileName;
  std::string m_strPrinterName;
  std::string m_strDriverName;
  std::string m_strPortName;

  virtual ~CCommandLineInfo() = default;
  virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

 protected:
  void ParseParamFlag(const char* pszParam);
  void ParseParamNotFlag(const char* pszParam);
  void ParseLast(BOOL bLast);
};

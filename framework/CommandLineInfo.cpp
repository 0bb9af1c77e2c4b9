#include "CommandLineInfo.h"

#include <cstring>

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast) {
  if (bFlag)
    ParseParamFlag(pszParam);
  else
    ParseParamNotFlag(pszParam);
  ParseLast(bLast);
}

void CCommandLineInfo::ParseParamFlag(const char* pszParam) {
  if (std::strcmp(pszParam, "pt") == 0)
    m_nShellCommand = FilePrintTo;
  else if (std::strcmp(pszParam, "p") == 0)
    m_nShellCommand = FilePrint;
  else if (::lstrcmpiA(pszParam, "Unregister") == 0 || ::lstrcmpiA(pszParam, "Unregserver") == 0)
    m_nShellCommand = AppUnregister;
  else if (std::strcmp(pszParam, "dde") == 0)
    m_nShellCommand = FileDDE;
  else if (::lstrcmpiA(pszParam, "Embedding") == 0)
    m_bRunEmbedded = TRUE;
  else if (::lstrcmpiA(pszParam, "Automation") == 0)
    m_bRunAutomated = TRUE;
}

void CCommandLineInfo::ParseParamNotFlag(const char* pszParam) {
  if (m_strFileName.empty())
    m_strFileName = pszParam;
  else if (m_nShellCommand == FilePrintTo && m_strPrinterName.empty())
    m_strPrinterName = pszParam;
  else if (m_nShellCommand == FilePrintTo && m_strDriverName.empty())
    m_strDriverName = pszParam;
  else if (m_nShellCommand == FilePrintTo && m_strPortName.empty())
    m_strPortName = pszParam;
}

void CCommandLineInfo::ParseLast(BOOL bLast) {
  if (bLast && m_nShellCommand == FileNew && !m_strFileName.empty()) m_nShellCommand = FileOpen;
}

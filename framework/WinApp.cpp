#include "WinApp.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <vector>

#include "CommandLineInfo.h"
#include "Wnd.h"

namespace {

CWinApp* g_pApp = nullptr;

std::string ModulePath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD nLength = ::GetModuleFileNameA(nullptr, path.data(), DWORD(path.size()));
    if (nLength < path.size()) {
      path.resize(nLength);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::string TitleFromModule() {
  std::string path = ModulePath();
  ::PathRemoveExtensionA(path.data());
  return ::PathFindFileNameA(path.c_str());
}

}  // namespace

CWinApp::CWinApp(const char* pszAppName) {
  g_pApp = this;
  InitNames(pszAppName);
}

CWinApp::~CWinApp() {
  if (g_pApp == this) g_pApp = nullptr;
}

void CWinApp::InitNames(const char* pszAppName) {
  m_strAppName = pszAppName ? pszAppName : TitleFromModule();
  m_pszAppName = m_strAppName.c_str();

  m_strHelpFilePath = ModulePath();
  const std::string::size_type nDot = m_strHelpFilePath.find_last_of(".\\/");
  if (nDot != std::string::npos && m_strHelpFilePath[nDot] == '.') m_strHelpFilePath.resize(nDot);
  m_strHelpFilePath += ".HLP";
  m_pszHelpFilePath = m_strHelpFilePath.c_str();
}

void CWinApp::SetInstance(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow) {
  m_hInstance = hInstance;
  m_lpCmdLine = lpCmdLine;
  m_nCmdShow = nCmdShow;
}

BOOL CWinApp::InitInstance() { return FALSE; }

int CWinApp::ExitInstance() { return 0; }

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) { ParseCommandLine(rCmdInfo, ::GetCommandLineW()); }

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo, const wchar_t* pszCommandLine) {
  int argc = 0;
  LPWSTR* argvW = ::CommandLineToArgvW(pszCommandLine, &argc);
  if (argvW == nullptr) return;
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) {
    const int nBytes = ::WideCharToMultiByte(CP_ACP, 0, argvW[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(size_t(nBytes > 0 ? nBytes : 1), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, argvW[i], -1, arg.data(), int(arg.size()), nullptr, nullptr);
    arg.resize(arg.find('\0'));
    args.push_back(std::move(arg));
  }
  ::LocalFree(argvW);

  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  ParseCommandLine(rCmdInfo, int(argv.size()), argv.data());
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo, int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const char* pszParam = argv[i];
    const BOOL bFlag = pszParam[0] == '-' || pszParam[0] == '/';
    if (bFlag) ++pszParam;
    rCmdInfo.ParseParam(pszParam, bFlag, i == argc - 1);
  }
}

BOOL CWinApp::Enable3dControlsStatic() { return TRUE; }

void CWinApp::OnHelp() {
  // Without a help file the system viewer would only report that it is missing.
  if (!::PathFileExistsA(m_pszHelpFilePath)) {
    ::MessageBeep(MB_OK);
    return;
  }
  HWND hWndMain = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
  ::WinHelpA(hWndMain, m_pszHelpFilePath, HELP_FINDER, 0);
}

CWinApp* AfxGetApp() { return g_pApp; }

CWnd* AfxGetMainWnd() { return g_pApp ? g_pApp->m_pMainWnd : nullptr; }

HINSTANCE AfxGetInstanceHandle() {
  if (g_pApp != nullptr && g_pApp->m_hInstance != nullptr) return g_pApp->m_hInstance;
  return ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

const char* AfxGetAppName() {
  if (g_pApp != nullptr) return g_pApp->m_pszAppName;
  static const std::string title = TitleFromModule();
  return title.c_str();
}

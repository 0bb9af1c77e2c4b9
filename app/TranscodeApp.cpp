#include "app/TranscodeApp.h"

#include "app/TranscodeDlg.h"

BEGIN_MESSAGE_MAP(CTranscodeApp, CWinApp)
  ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

BOOL LoadSystemRichEdit() {
  static constexpr char kLibrary[] = "RICHED32.DLL";
  AFX_RICHEDIT_STATE* state = AfxGetRichEditState();
  char path[520] = {};
  // Room is kept for a backslash and the library's name; a longer folder name loads nothing from it.
  const UINT room = sizeof path - sizeof kLibrary - 1;
  const UINT length = ::GetSystemDirectoryA(path, room);
  if (state->m_hInstRichEdit == nullptr && length > 0 && length < room) {
    ::PathAddBackslashA(path);
    ::lstrcatA(path, kLibrary);
    state->m_hInstRichEdit = ::LoadLibraryA(path);
  }
  return state->m_hInstRichEdit != nullptr;
}

BOOL CTranscodeApp::InitInstance() {
  if (!LoadSystemRichEdit()) AfxInitRichEdit();
  Enable3dControlsStatic();

  CTranscodeDlg dlg;
  m_pMainWnd = &dlg;

  CCommandLineInfo cmdInfo;
  ParseCommandLine(cmdInfo);
  if (cmdInfo.m_nShellCommand == CCommandLineInfo::FileOpen) dlg.m_strPath = cmdInfo.m_strFileName;

  dlg.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}

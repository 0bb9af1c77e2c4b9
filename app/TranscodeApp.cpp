#include "app/TranscodeApp.h"

#include "app/TranscodeDlg.h"

BEGIN_MESSAGE_MAP(CTranscodeApp, CWinApp)
  ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

namespace {

// A relative path is taken from the folder the program started in. Made absolute at once, it keeps naming that
// file when the file chooser later changes the current folder, as it does on Windows even when asked not to.
std::string FullPath(const std::string& path) {
  const DWORD needed = ::GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::string full(needed, '\0');
  const DWORD length = ::GetFullPathNameA(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return path;
  full.resize(length);
  return full;
}

}  // namespace

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
  if (cmdInfo.m_nShellCommand == CCommandLineInfo::FileOpen) dlg.m_doc.m_path = FullPath(cmdInfo.m_strFileName);

  dlg.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}

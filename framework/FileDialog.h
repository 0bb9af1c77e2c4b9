#pragma once
#include <windows.h>
#include <commdlg.h>

#include <string>

#include "Dialog.h"

// The system's open or save dialog. m_ofn is the framework's parameter block in its older size
// (OPENFILENAME_SIZE_VERSION_400A: everything up to lpTemplateName). The constructor turns the filter's '|'
// separators into NULs, preselects the first filter pair, points the block at m_szFileName and m_szFileTitle
// and adds OFN_ENABLEHOOK, OFN_ENABLESIZING and OFN_EXPLORER to the caller's flags. The framework's hook
// attaches the object to the dialog's child window at its first message (so m_hWnd is that child; the system
// dialog is its parent), runs OnInitDialog (CDialog's, unless overridden) and relays CDN_INITDONE to
// OnInitDone (which does nothing unless overridden).
class CFileDialog : public CDialog {
 public:
  OPENFILENAMEA m_ofn;
  BOOL m_bOpenFileDialog;
  char m_szFileName[MAX_PATH];
  char m_szFileTitle[64];

  explicit CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt = nullptr, const char* lpszFileName = nullptr,
                       DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* lpszFilter = nullptr,
                       CWnd* pParentWnd = nullptr);

  // IDOK when the system dialog returned a file, IDCANCEL otherwise.
  INT_PTR DoModal() override;
  std::string GetPathName() const;

  virtual void OnInitDone();

 protected:
  std::string m_strFilter;

  // What a modal run changes around the system call and puts back afterwards.
  struct ModalState {
    HWND hWndFocus;
    bool bEnableOwner;
  };
  // The steps before the system call: the file-name buffer zeroed past the initial name, the focus
  // remembered, the owner found (into m_ofn.hwndOwner) and disabled, the hook pointed at this object.
  ModalState BeginModal();
  // GetOpenFileNameA or GetSaveFileNameA on ofn, as the open-mode flag says.
  BOOL RunSystemDialog(OPENFILENAMEA& ofn) const;
  // The steps after it, in reverse: hook cleared, owner enabled, focus given back.
  void EndModal(const ModalState& state);

  // Makes the framework's hook attach pDlg to the next file dialog it sees; nullptr clears it.
  static void SetHookTarget(CFileDialog* pDlg);
  static UINT_PTR CALLBACK HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()
};

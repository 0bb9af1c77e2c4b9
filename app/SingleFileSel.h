#pragma once
#include "framework/Afx.h"

// The program's dialog for picking one file: the framework's file dialog run on the extended parameter block
// on Windows 2000 and later, centred, with a taller file list on older systems, and with the chosen path
// checked before it is accepted.
class CSingleFileSel : public CFileDialog {
 public:
  explicit CSingleFileSel(BOOL bOpenFileDialog, const char* lpszDefExt = nullptr, const char* lpszFileName = nullptr,
                          DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* lpszFilter = nullptr,
                          CWnd* pParentWnd = nullptr);

  // IDOK when the user confirmed a file whose path passed IsValidPath, IDCANCEL in every other case.
  INT_PTR DoModal() override;

 protected:
  OPENFILENAMEA m_ofnEx;  // the block the system dialog runs on
  BOOL m_bWin2000;

  void OnInitDone() override;
  // Lowers the controls under the file list and the dialog's bottom edge by the list's height, and makes
  // the list that much taller.
  static void EnlargeFileList(CWnd* pDlg, CWnd* pList);

  DECLARE_MESSAGE_MAP()
};

// Windows 2000 or later (NT platform, major version above 4); tested once per process.
BOOL IsWin2000OrLater();

// A path without '?', which stands for a character the ANSI code page could not hold, so the name reached the
// program changed. Shows the reason in a message box when it answers FALSE.
BOOL IsRepresentablePath(const char* lpszPath);

// A path the program can use: representable (above), and, in open mode, something that exists. Shows the
// reason in a message box when it answers FALSE.
BOOL IsValidPath(const char* lpszPath, BOOL bOpenFileDialog);

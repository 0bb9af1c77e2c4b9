#pragma once
#include <windows.h>

#include <string>

class CWnd;

// One run of a dialog's data exchange: towards the controls (m_bSaveAndValidate FALSE) or from them (TRUE).
class CDataExchange {
 public:
  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;

  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) noexcept
      : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

  // The control with this id, or null; the exchange functions skip a binding whose control is missing.
  HWND PrepareCtrl(int nIDC) const;
};

// Attaches rControl to the control on the first run (SubclassDlgItem); later runs do nothing.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// The selected index of a combo box: CB_SETCURSEL towards the control, CB_GETCURSEL (-1 for none) from it.
void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
// The control's whole window text: WM_SETTEXT towards the control; from it, the whole text up to its first NUL
// (read as CWnd::GetWindowText does).
void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value);

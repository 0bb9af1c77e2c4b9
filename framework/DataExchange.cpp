#include "DataExchange.h"

#include "Wnd.h"

HWND CDataExchange::PrepareCtrl(int nIDC) const { return ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC); }

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd == nullptr) rControl.SubclassDlgItem(UINT(nIDC), pDX->m_pDlgWnd);
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (hWndCtrl == nullptr) return;
  if (pDX->m_bSaveAndValidate)
    index = int(::SendMessageA(hWndCtrl, CB_GETCURSEL, 0, 0));
  else
    ::SendMessageA(hWndCtrl, CB_SETCURSEL, WPARAM(index), 0);
}

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (hWndCtrl == nullptr) return;
  if (pDX->m_bSaveAndValidate)
    CWnd::FromHandle(hWndCtrl)->GetWindowText(value);
  else
    ::SetWindowTextA(hWndCtrl, value.c_str());
}

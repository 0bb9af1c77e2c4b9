#include "app/SizingDialog.h"

BEGIN_MESSAGE_MAP(CSizingDialog, CDialog)
  ON_WM_GETMINMAXINFO()
  ON_WM_SIZE()
END_MESSAGE_MAP()

CSizingDialog::CSizingDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog(nIDTemplate, pParentWnd) {}

void CSizingDialog::DoDataExchange(CDataExchange*) {}

BOOL CSizingDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  CRect rcWindow;
  GetWindowRect(&rcWindow);
  m_sizeInitial = CSize(rcWindow.Width(), rcWindow.Height());
  GetClientRect(&m_rcClient);
  return TRUE;
}

void CSizingDialog::GrowControl(int dx, int dy, UINT id) {
  if (dx == 0 && dy == 0) return;
  if (CWnd* pChild = GetDlgItem(static_cast<int>(id))) GrowWindow(dx, dy, pChild);
}

void CSizingDialog::GrowWindow(int dx, int dy, CWnd* pChild) {
  if ((dx == 0 && dy == 0) || pChild == nullptr) return;
  CRect rc;
  pChild->GetWindowRect(&rc);
  ScreenToClient(&rc);
  rc.right += dx;
  rc.bottom += dy;
  pChild->MoveWindow(&rc, TRUE);
}

void CSizingDialog::MoveControl(int dx, int dy, UINT id) {
  CWnd* pChild = GetDlgItem(static_cast<int>(id));
  if ((dx == 0 && dy == 0) || pChild == nullptr) return;
  CRect rc;
  pChild->GetWindowRect(&rc);
  ScreenToClient(&rc);
  rc.OffsetRect(dx, dy);
  pChild->MoveWindow(&rc, TRUE);
}

void CSizingDialog::OnGetMinMaxInfo(MINMAXINFO* lpMMI) {
  CDialog::OnGetMinMaxInfo(lpMMI);
  if (m_sizeInitial.cx != 0 && m_sizeInitial.cy != 0) {
    lpMMI->ptMinTrackSize.x = m_sizeInitial.cx;
    lpMMI->ptMinTrackSize.y = m_sizeInitial.cy;
  }
}

void CSizingDialog::OnSize(UINT nType, int cx, int cy) {
  CDialog::OnSize(nType, cx, cy);
  if (nType == SIZE_MINIMIZED || cx < 0 || cy < 0) return;
  if (m_sizeInitial.cx == 0 && m_sizeInitial.cy == 0) return;
  CRect rc;
  GetClientRect(&rc);
  const int dx = rc.right - m_rcClient.right;
  const int dy = rc.bottom - m_rcClient.bottom;
  if (dx == 0 && dy == 0) return;
  OnSizeDelta(dx, dy);
  m_rcClient.right = rc.right;
  m_rcClient.bottom = rc.bottom;
}

// A dialog that cannot be made smaller than it first appeared and reports each change of its client size.
#pragma once

#include "framework/Afx.h"

class CSizingDialog : public CDialog {
 public:
  ~CSizingDialog() override = default;

 protected:
  CSizingDialog(UINT nIDTemplate, CWnd* pParentWnd);

  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

  // dx and dy: change of the client width and height since the last call, not both 0.
  virtual void OnSizeDelta(int dx, int dy) = 0;

  void GrowControl(int dx, int dy, UINT id);
  void GrowWindow(int dx, int dy, CWnd* pChild);
  // Moves the child with this id by dx and dy, keeping its size.
  void MoveControl(int dx, int dy, UINT id);

  void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
  void OnSize(UINT nType, int cx, int cy);

  CSize m_sizeInitial{0, 0};
  CRect m_rcClient{0, 0, 0, 0};

  DECLARE_MESSAGE_MAP()
};

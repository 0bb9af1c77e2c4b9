// Paints a static control's text itself, shortened with an ellipsis when it is too long: in the middle for a
// path, so that the file name stays visible, or at the end.
#pragma once

#include "framework/Afx.h"

class CPathLabel : public CWnd {
 public:
  CPathLabel(UINT nFormat, BOOL bPathEllipsis);
  ~CPathLabel() override;

  // Nonzero: DT_PATH_ELLIPSIS, zero: DT_END_ELLIPSIS; read at every paint.
  BOOL m_bPathEllipsis;

 protected:
  LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
  BOOL OnEraseBkgnd(CDC* pDC);
  void OnPaint();

  DECLARE_MESSAGE_MAP()

 private:
  UINT m_nFormat;
};

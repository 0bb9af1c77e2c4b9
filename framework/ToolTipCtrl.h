#pragma once
#include "Wnd.h"

#include <commctrl.h>

// A tool-tip window ("tooltips_class32") owned by pParentWnd. The object is attached, not subclassed: the
// control keeps its own window procedure. Destroyed with the object.
class CToolTipCtrl : public CWnd {
 public:
  ~CToolTipCtrl() override;

  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
  // A tool for pWnd's area lpRectTool (client coordinates of pWnd), identified by nIDTool.
  BOOL AddTool(CWnd* pWnd, const char* lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool);
  void UpdateTipText(const char* lpszText, CWnd* pWnd, UINT_PTR nIDTool);
  int GetToolCount() const;
  void RelayEvent(MSG* pMsg);
};

// A static control that reacts to the mouse: it captures the mouse on the first move inside and releases it on
// the first move outside (redrawing at each change, so that a colour can follow the hover), shows its own
// cursor, and feeds a tool tip with every message it relays. The link label and the info icon build on it.
#pragma once

#include "framework/Afx.h"

class CHoverStatic : public CStatic {
 public:
  ~CHoverStatic() override;

 protected:
  CHoverStatic() = default;

  BOOL PreTranslateMessage(MSG* pMsg) override;

  // A tool tip over the whole client area; the control must exist.
  void CreateToolTip(const char* text);
  void UpdateToolTip(const char* text);
  // Leaves the hover state as a move outside does: a click that opens a window must not keep the capture.
  void EndHover();

  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  void OnMouseMove(UINT nFlags, CPoint point);

  DECLARE_MESSAGE_MAP()

  BOOL m_bOverControl = FALSE;
  HCURSOR m_hCursor = nullptr;  // owned by the derived class, which says whether it is shared

 private:
  CToolTipCtrl m_toolTip;
};

#include "HoverStatic.h"

namespace {

constexpr UINT_PTR kToolId = 1;
constexpr UINT kRedrawNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;

}  // namespace

BEGIN_MESSAGE_MAP(CHoverStatic, CStatic)
  ON_WM_SETCURSOR()
  ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

CHoverStatic::~CHoverStatic() { m_toolTip.DestroyWindow(); }

BOOL CHoverStatic::PreTranslateMessage(MSG* pMsg) {
  if (m_toolTip.GetSafeHwnd()) m_toolTip.RelayEvent(pMsg);
  return CStatic::PreTranslateMessage(pMsg);
}

void CHoverStatic::CreateToolTip(const char* text) {
  CRect rect;
  GetClientRect(rect);
  m_toolTip.Create(this);
  m_toolTip.AddTool(this, text, rect, kToolId);
}

void CHoverStatic::UpdateToolTip(const char* text) { m_toolTip.UpdateTipText(text, this, kToolId); }

void CHoverStatic::EndHover() {
  m_bOverControl = FALSE;
  ::ReleaseCapture();
  RedrawWindow(nullptr, nullptr, kRedrawNow);
}

BOOL CHoverStatic::OnSetCursor(CWnd*, UINT, UINT) {
  if (!m_hCursor) return FALSE;
  ::SetCursor(m_hCursor);
  return TRUE;
}

void CHoverStatic::OnMouseMove(UINT nFlags, CPoint point) {
  CStatic::OnMouseMove(nFlags, point);
  if (m_bOverControl) {
    CRect rect;
    GetClientRect(rect);
    if (!rect.PtInRect(point)) EndHover();
  } else {
    m_bOverControl = TRUE;
    RedrawWindow(nullptr, nullptr, kRedrawNow);
    SetCapture();
  }
}

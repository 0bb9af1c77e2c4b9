#include "PathLabel.h"

#include <string>

BEGIN_MESSAGE_MAP(CPathLabel, CWnd)
  ON_MESSAGE(WM_SETTEXT, OnSetText)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
END_MESSAGE_MAP()

CPathLabel::CPathLabel(UINT nFormat, BOOL bPathEllipsis) : m_bPathEllipsis(bPathEllipsis), m_nFormat(nFormat) {}

CPathLabel::~CPathLabel() = default;

LRESULT CPathLabel::OnSetText(WPARAM, LPARAM) {
  Default();
  Invalidate(TRUE);
  return TRUE;
}

// The paint step draws opaque on the context's background colour; this leaves the button face selected as
// that colour, so the text sits on the erased background without a seam.
BOOL CPathLabel::OnEraseBkgnd(CDC* pDC) {
  CRect rect;
  GetClientRect(rect);
  pDC->FillSolidRect(rect, ::GetSysColor(COLOR_BTNFACE));
  return TRUE;
}

void CPathLabel::OnPaint() {
  CPaintDC dc(this);
  CWnd* pParent = GetParent();
  if (pParent) {
    const HFONT hFont = reinterpret_cast<HFONT>(pParent->SendMessage(WM_GETFONT));
    if (hFont) dc.SelectObject(CFont::FromHandle(hFont));
  }

  std::string text;
  GetWindowText(text);
  CRect rect;
  GetClientRect(rect);
  const UINT format = m_nFormat | (m_bPathEllipsis ? DT_PATH_ELLIPSIS : DT_END_ELLIPSIS);
  dc.DrawTextEx(text.data(), static_cast<int>(text.size()), rect, format, nullptr);
}

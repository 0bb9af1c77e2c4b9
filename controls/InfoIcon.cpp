#include "InfoIcon.h"

#include <string>

#include "controls/AboutDlg.h"
#include "controls/AboutTip.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CInfoIcon, CHoverStatic)
  ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
END_MESSAGE_MAP()

CInfoIcon::CInfoIcon() = default;

CInfoIcon::~CInfoIcon() = default;

void CInfoIcon::PreSubclassWindow() {
  ModifyStyle(0, SS_NOTIFY);
  // The shared resource cursor: it lives as long as the program and is never released.
  if (!m_hCursor) m_hCursor = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_LINK_HAND));

  std::string title;
  if (CWnd* pMain = AfxGetMainWnd()) pMain->GetWindowText(title);
  const std::string tip = AboutTipText(title);

  CreateToolTip(tip.c_str());

  CHoverStatic::PreSubclassWindow();
}

void CInfoIcon::OnClicked() {
  EndHover();

  CAboutDlg dlg;
  dlg.DoModal();
}

// The About box: product and version, the author, and two hyperlinks (e-mail and homepage).
#pragma once

#include "controls/LinkLabel.h"
#include "framework/Afx.h"

class CAboutDlg : public CDialog {
 public:
  CAboutDlg();
  ~CAboutDlg() override;

  BOOL OnInitDialog() override;

 protected:
  DECLARE_MESSAGE_MAP()

 private:
  CLinkLabel m_wndEmail;
  CLinkLabel m_wndHomepage;
};

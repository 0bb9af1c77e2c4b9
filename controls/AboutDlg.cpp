#include "AboutDlg.h"

#include "res/resource.h"

namespace {

// The labels show the address and the homepage's title from the template; these are the targets.
constexpr char kEmailUrl[] = "mailto:lumaret@example.org";
constexpr char kHomepageUrl[] = "https://lumaret.example.org/";

}  // namespace

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

CAboutDlg::~CAboutDlg() = default;

BOOL CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_wndEmail.SubclassDlgItem(IDC_EMAIL, this);
  m_wndEmail.SetUrl(kEmailUrl);
  m_wndHomepage.SubclassDlgItem(IDC_HOMEPAGE, this);
  m_wndHomepage.SetUrl(kHomepageUrl);
  return TRUE;
}

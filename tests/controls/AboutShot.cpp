// Shows the About box for a screenshot: prints its screen rectangle once it is painted ("x y width height"),
// then keeps it up for a few seconds and closes it.
#include <cstdio>

#include "controls/AboutDlg.h"
#include "framework/Afx.h"

CWinApp theApp;

namespace {

constexpr UINT_PTR kShownTimer = 1;
constexpr UINT_PTR kCloseTimer = 2;

class CAboutShotDlg : public CAboutDlg {
 public:
  BOOL OnInitDialog() override {
    CAboutDlg::OnInitDialog();
    SetWindowPos(nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::SetTimer(m_hWnd, kShownTimer, 1500, nullptr);
    return TRUE;
  }

 protected:
  void OnTimer(UINT_PTR nIDEvent) {
    ::KillTimer(m_hWnd, nIDEvent);
    if (nIDEvent == kShownTimer) {
      CRect rect;
      GetWindowRect(rect);
      std::printf("%d %d %d %d\n", static_cast<int>(rect.left), static_cast<int>(rect.top), rect.Width(),
                  rect.Height());
      std::fflush(stdout);
      ::SetTimer(m_hWnd, kCloseTimer, 4000, nullptr);
    } else {
      EndDialog(IDOK);
    }
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CAboutShotDlg, CAboutDlg)
  ON_WM_TIMER()
END_MESSAGE_MAP()

}  // namespace

int main() {
  theApp.SetInstance(::GetModuleHandleA(nullptr), ::GetCommandLineA(), SW_SHOWNORMAL);
  CAboutShotDlg dlg;
  dlg.DoModal();
  return 0;
}

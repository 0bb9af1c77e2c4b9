#include "FileDialog.h"

#include <cstring>

#include "Exception.h"
#include "WinApp.h"

BEGIN_MESSAGE_MAP(CFileDialog, CDialog)
END_MESSAGE_MAP()

namespace {
CFileDialog* g_pHookTarget = nullptr;
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName, DWORD dwFlags,
                         const char* lpszFilter, CWnd* pParentWnd)
    : CDialog(0, pParentWnd), m_ofn{}, m_bOpenFileDialog(bOpenFileDialog), m_szFileName{}, m_szFileTitle{} {
  m_ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  m_ofn.lpstrFile = m_szFileName;
  m_ofn.nMaxFile = MAX_PATH;
  m_ofn.lpstrDefExt = lpszDefExt;
  m_ofn.lpstrFileTitle = m_szFileTitle;
  m_ofn.nMaxFileTitle = sizeof m_szFileTitle;
  // Every system this builds for is version 4 or later, so the dialog is always the Explorer-style one.
  m_ofn.Flags |= dwFlags | OFN_ENABLEHOOK | OFN_ENABLESIZING | OFN_EXPLORER;
  m_ofn.hInstance = AfxGetInstanceHandle();
  m_ofn.lpfnHook = HookProc;

  if (lpszFileName != nullptr) ::lstrcpynA(m_szFileName, lpszFileName, MAX_PATH);

  if (lpszFilter != nullptr) {
    // '|' becomes NUL; the walk steps over double-byte characters, whose second byte may be any value.
    m_strFilter = lpszFilter;
    for (size_t i = 0; i < m_strFilter.size(); ++i) {
      if (::IsDBCSLeadByte(BYTE(m_strFilter[i])) && i + 1 < m_strFilter.size())
        ++i;
      else if (m_strFilter[i] == '|')
        m_strFilter[i] = '\0';
    }
    m_ofn.lpstrFilter = m_strFilter.c_str();
    m_ofn.nFilterIndex = 1;
  }
}

void CFileDialog::SetHookTarget(CFileDialog* pDlg) { g_pHookTarget = pDlg; }

UINT_PTR CALLBACK CFileDialog::HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (g_pHookTarget != nullptr && FromHandlePermanent(hWnd) == nullptr) {
      CFileDialog* pTarget = g_pHookTarget;
      g_pHookTarget = nullptr;
      pTarget->SubclassWindow(hWnd);
    }
    auto* pDlg = dynamic_cast<CFileDialog*>(FromHandlePermanent(hWnd));
    if (pDlg == nullptr) return 0;
    // Reached only for what the object's map left to the default, and for WM_INITDIALOG when it was
    // the message that attached the object: the map has not seen it yet.
    if (message == WM_INITDIALOG) return AfxCallWndProc(pDlg, hWnd, message, wParam, lParam);
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == UINT(CDN_INITDONE)) pDlg->OnInitDone();
  } catch (...) {
    AfxReportCurrentException();
  }
  return 0;
}

CFileDialog::ModalState CFileDialog::BeginModal() {
  const size_t nLength = std::strlen(m_szFileName);
  std::memset(m_szFileName + nLength + 1, 0, sizeof m_szFileName - nLength - 1);

  ModalState state{::GetFocus(), false};
  m_ofn.hwndOwner = PreModal();
  state.bEnableOwner = m_ofn.hwndOwner != nullptr && ::IsWindowEnabled(m_ofn.hwndOwner);
  if (state.bEnableOwner) ::EnableWindow(m_ofn.hwndOwner, FALSE);
  SetHookTarget(this);
  return state;
}

BOOL CFileDialog::RunSystemDialog(OPENFILENAMEA& ofn) const {
  return m_bOpenFileDialog ? ::GetOpenFileNameA(&ofn) : ::GetSaveFileNameA(&ofn);
}

void CFileDialog::EndModal(const ModalState& state) {
  SetHookTarget(nullptr);
  if (state.bEnableOwner) ::EnableWindow(m_ofn.hwndOwner, TRUE);
  if (::IsWindow(state.hWndFocus)) ::SetFocus(state.hWndFocus);
  PostModal();
}

INT_PTR CFileDialog::DoModal() {
  const ModalState state = BeginModal();
  const BOOL bResult = RunSystemDialog(m_ofn);
  EndModal(state);
  return bResult ? IDOK : IDCANCEL;
}

std::string CFileDialog::GetPathName() const { return m_ofn.lpstrFile; }

void CFileDialog::OnInitDone() {}

#include "SingleFileSel.h"

#include <dlgs.h>

#include <cstddef>
#include <cstring>
#include <string>

BEGIN_MESSAGE_MAP(CSingleFileSel, CFileDialog)
END_MESSAGE_MAP()

namespace {

// The part of the parameter block that both sizes share: everything after the size field up to and with
// lpTemplateName (72 bytes in the 32-bit layout, 128 in the 64-bit one). The older block ends there.
constexpr size_t kOlderSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
constexpr size_t kSharedOffset = offsetof(OPENFILENAMEA, hwndOwner);
constexpr size_t kSharedSize = kOlderSize - kSharedOffset;

void CopySharedPart(OPENFILENAMEA& to, const OPENFILENAMEA& from) {
  std::memcpy(reinterpret_cast<char*>(&to) + kSharedOffset, reinterpret_cast<const char*>(&from) + kSharedOffset,
              kSharedSize);
}

}  // namespace

BOOL IsWin2000OrLater() {
  static int s_nIsWin2000 = -1;
  if (s_nIsWin2000 < 0) {
    OSVERSIONINFOA versionInfo{};
    versionInfo.dwOSVersionInfoSize = sizeof versionInfo;
    s_nIsWin2000 = ::GetVersionExA(&versionInfo) && versionInfo.dwPlatformId == VER_PLATFORM_WIN32_NT &&
                   versionInfo.dwMajorVersion > 4;
  }
  return s_nIsWin2000;
}

BOOL IsRepresentablePath(const char* lpszPath) {
  for (const char* p = lpszPath; *p != '\0'; p = ::CharNextA(p)) {
    if (*p == '?') {
      const std::string message = std::string("路径含无效字符（?）：\r\n") + lpszPath;
      AfxMessageBox(message.c_str(), MB_OK);
      return FALSE;
    }
  }
  return TRUE;
}

BOOL IsValidPath(const char* lpszPath, BOOL bOpenFileDialog) {
  if (!IsRepresentablePath(lpszPath)) return FALSE;
  if (bOpenFileDialog && !::PathFileExistsA(lpszPath)) {
    AfxMessageBox("指定的文件不存在或文件名异常。", MB_OK);
    return FALSE;
  }
  return TRUE;
}

CSingleFileSel::CSingleFileSel(BOOL bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName, DWORD dwFlags,
                               const char* lpszFilter, CWnd* pParentWnd)
    : CFileDialog(bOpenFileDialog, lpszDefExt, lpszFileName, dwFlags, lpszFilter, pParentWnd), m_ofnEx{} {
  m_bWin2000 = IsWin2000OrLater();
  // The program keeps no recent files, and a relative path it holds must keep meaning the same file.
  m_ofn.Flags |= OFN_DONTADDTORECENT | OFN_NOCHANGEDIR;
}

INT_PTR CSingleFileSel::DoModal() {
  const ModalState state = BeginModal();

  std::memset(&m_ofnEx, 0, sizeof m_ofnEx);
  m_ofnEx.lStructSize = m_bWin2000 ? sizeof(OPENFILENAMEA) : kOlderSize;
  CopySharedPart(m_ofnEx, m_ofn);
  const BOOL bResult = RunSystemDialog(m_ofnEx);
  CopySharedPart(m_ofn, m_ofnEx);

  EndModal(state);

  if (!bResult) return IDCANCEL;
  return IsValidPath(m_szFileName, m_bOpenFileDialog) ? IDOK : IDCANCEL;
}

void CSingleFileSel::OnInitDone() {
  CWnd* pDlg = GetParent();
  // Older systems show a short file list: make it twice as tall, and the dialog with it.
  if (!m_bWin2000) {
    CWnd* pList = pDlg->GetDlgItem(lst1);
    if (pList != nullptr) EnlargeFileList(pDlg, pList);
  }
  pDlg->CenterWindow();
}

void CSingleFileSel::EnlargeFileList(CWnd* pDlg, CWnd* pList) {
  CRect rcList;
  pList->GetWindowRect(&rcList);
  pDlg->ScreenToClient(&rcList);
  const int d = rcList.Height();

  CRect rcDlg;
  pDlg->GetWindowRect(&rcDlg);
  pDlg->SetWindowPos(nullptr, 0, 0, rcDlg.Width(), rcDlg.Height() + d, SWP_NOMOVE | SWP_NOZORDER);

  for (const int nID : {stc3, stc2, edt1, cmb1, IDOK, IDCANCEL, lst1}) {
    CWnd* pCtrl = pDlg->GetDlgItem(nID);
    if (pCtrl == nullptr) continue;
    CRect rc;
    pCtrl->GetWindowRect(&rc);
    pDlg->ScreenToClient(&rc);
    if (nID == lst1)
      pCtrl->SetWindowPos(nullptr, 0, 0, rc.Width(), rc.Height() + d, SWP_NOMOVE | SWP_NOZORDER);
    else
      pCtrl->SetWindowPos(nullptr, rc.left, rc.top + d, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
}

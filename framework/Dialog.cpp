#include "Dialog.h"

#include <cstring>
#include <string>

#include "Exception.h"
#include "WinApp.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

// The dialog class's procedure calls this for what the object's map left to the default: nothing more to do.
static INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
  if (m_hWnd != nullptr) DestroyWindow();
}

BOOL CDialog::CreateFromTemplate(HWND hWndOwner) {
  AfxHookWindowCreate(this);
  HWND hWnd = ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), hWndOwner, AfxDlgProc, 0);
  AfxUnhookWindowCreate();
  return hWnd != nullptr;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
  m_nIDTemplate = nIDTemplate;
  m_pParentWnd = pParentWnd;
  return CreateFromTemplate(pParentWnd ? pParentWnd->m_hWnd : nullptr);
}

HWND CDialog::PreModal() { return GetSafeOwner(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr); }

void CDialog::PostModal() {
  if (m_hWnd != nullptr) UnsubclassWindow();
}

INT_PTR CDialog::DoModal() {
  HWND hWndOwner = PreModal();
  const bool bEnableOwner = hWndOwner != nullptr && ::IsWindowEnabled(hWndOwner);
  if (bEnableOwner) ::EnableWindow(hWndOwner, FALSE);

  m_nModalResult = -1;
  m_bEndModal = false;
  m_bInModalLoop = true;
  if (CreateFromTemplate(hWndOwner)) {
    if (!m_bEndModal && m_hWnd != nullptr && !IsWindowVisible()) ShowWindow(SW_SHOWNORMAL);
    RunModalLoop();
    if (m_hWnd != nullptr)
      SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
  }
  m_bInModalLoop = false;

  // The owner is enabled before the dialog goes, so that the activation falls back to it.
  if (bEnableOwner) ::EnableWindow(hWndOwner, TRUE);
  if (hWndOwner != nullptr && m_hWnd != nullptr && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(hWndOwner);
  DestroyWindow();
  PostModal();
  return m_nModalResult;
}

void CDialog::RunModalLoop() {
  MSG msg;
  while (!m_bEndModal && m_hWnd != nullptr) {
    AfxDeleteTempObjects();
    const BOOL bGot = ::GetMessageA(&msg, nullptr, 0, 0);
    if (bGot == -1) break;
    if (bGot == 0) {
      ::PostQuitMessage(int(msg.wParam));
      break;
    }
    try {
      if (!PreTranslateInModalLoop(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
      }
    } catch (...) {
      AfxReportCurrentException();
    }
  }
}

BOOL CDialog::PreTranslateInModalLoop(MSG* pMsg) {
  for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd != nullptr && pWnd->PreTranslateMessage(pMsg)) return TRUE;
    if (hWnd == m_hWnd) break;
  }
  if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F1 && ::GetKeyState(VK_SHIFT) >= 0 &&
      ::GetKeyState(VK_CONTROL) >= 0 && ::GetKeyState(VK_MENU) >= 0) {
    CWnd* pMainWnd = AfxGetMainWnd();
    HWND hWndHelp = pMainWnd != nullptr && pMainWnd->m_hWnd != nullptr ? pMainWnd->m_hWnd : m_hWnd;
    ::SendMessageA(hWndHelp, WM_COMMAND, ID_HELP, 0);
    return TRUE;
  }
  return ::IsDialogMessageA(m_hWnd, pMsg);
}

void CDialog::EndDialog(int nResult) {
  m_nModalResult = nResult;
  if (m_bInModalLoop)
    m_bEndModal = true;
  else if (m_hWnd != nullptr)
    ShowWindow(SW_HIDE);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CDialog::OnInitDialog() {
  ExecuteDlgInit();
  UpdateData(FALSE);
  return TRUE;
}

static UINT DlgInitMessage(WORD nMsg) {
  switch (nMsg) {
    case 0x0403:  // CB_ADDSTRING in the 16-bit numbering
    case CB_ADDSTRING:
      return CB_ADDSTRING;
    case 0x0401:  // LB_ADDSTRING in the 16-bit numbering
    case LB_ADDSTRING:
      return LB_ADDSTRING;
    default:
      return 0;
  }
}

void CDialog::ExecuteDlgInit() {
  if (m_nIDTemplate == 0) return;
  HINSTANCE hInst = AfxGetResourceHandle();
  HRSRC hResource = ::FindResourceA(hInst, MAKEINTRESOURCEA(m_nIDTemplate), RT_DLGINIT);
  if (hResource == nullptr) return;
  HGLOBAL hData = ::LoadResource(hInst, hResource);
  const BYTE* pData = hData ? static_cast<const BYTE*>(::LockResource(hData)) : nullptr;
  if (pData == nullptr) return;
  const size_t nSize = ::SizeofResource(hInst, hResource);

  size_t pos = 0;
  while (pos + 8 <= nSize) {
    WORD nIDC;
    WORD nMsg;
    DWORD dwLength;
    std::memcpy(&nIDC, pData + pos, sizeof nIDC);
    if (nIDC == 0) break;
    std::memcpy(&nMsg, pData + pos + 2, sizeof nMsg);
    std::memcpy(&dwLength, pData + pos + 4, sizeof dwLength);
    pos += 8;
    if (dwLength > nSize - pos) break;
    if (const UINT nMessage = DlgInitMessage(nMsg)) {
      // Copied, so that data without its terminating NUL still ends inside the record.
      const std::string text(reinterpret_cast<const char*>(pData + pos), dwLength);
      ::SendDlgItemMessageA(m_hWnd, nIDC, nMessage, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    pos += dwLength;
  }
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);
  DoDataExchange(&dx);
  return TRUE;
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode) {
  if (CWnd::OnCmdMsg(nID, nCode)) return TRUE;
  // Commands the dialog does not handle (the help command among them) go on to the application.
  CWinApp* pApp = AfxGetApp();
  return pApp != nullptr && pApp->OnCmdMsg(nID, nCode);
}

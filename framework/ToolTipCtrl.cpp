#include "ToolTipCtrl.h"

CToolTipCtrl::~CToolTipCtrl() { DestroyWindow(); }

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&icc);
  HWND hWnd = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, pParentWnd ? pParentWnd->m_hWnd : nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
  return hWnd != nullptr && Attach(hWnd);
}

static TTTOOLINFOA MakeToolInfo(CWnd* pWnd, UINT_PTR nIDTool, const char* lpszText) {
  TTTOOLINFOA ti{};
  ti.cbSize = sizeof ti;
  // Messages reach the tip through RelayEvent, not by subclassing the tool's window: no TTF_SUBCLASS.
  ti.uFlags = 0;
  ti.hwnd = pWnd->m_hWnd;
  ti.uId = nIDTool;
  ti.hinst = ::GetModuleHandleA(nullptr);
  ti.lpszText = const_cast<char*>(lpszText);
  return ti;
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, const char* lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool) {
  TTTOOLINFOA ti = MakeToolInfo(pWnd, nIDTool, lpszText);
  if (lpRectTool != nullptr)
    ti.rect = *lpRectTool;
  else
    pWnd->GetClientRect(&ti.rect);
  return BOOL(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}

void CToolTipCtrl::UpdateTipText(const char* lpszText, CWnd* pWnd, UINT_PTR nIDTool) {
  TTTOOLINFOA ti = MakeToolInfo(pWnd, nIDTool, lpszText);
  SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

int CToolTipCtrl::GetToolCount() const { return int(SendMessage(TTM_GETTOOLCOUNT)); }

void CToolTipCtrl::RelayEvent(MSG* pMsg) {
  if (m_hWnd != nullptr) SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
}

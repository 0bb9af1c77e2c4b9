#include "Wnd.h"

#include <memory>
#include <new>
#include <unordered_map>

#include "DC.h"
#include "Exception.h"
#include "Font.h"
#include "WinApp.h"

namespace {

// Everything below belongs to the one GUI thread.
std::unordered_map<HWND, CWnd*> g_permanentWnds;
std::unordered_map<HWND, std::unique_ptr<CWnd>> g_tempWnds;
MSG g_currentMsg{};
int g_dispatchDepth = 0;  // framework callbacks on the stack; temporaries may only go when it is 0
HHOOK g_hHookCreate = nullptr;
CWnd* g_pWndInit = nullptr;

LRESULT CALLBACK CbtFilterHook(int nCode, WPARAM wParam, LPARAM lParam) {
  if (nCode == HCBT_CREATEWND && g_pWndInit != nullptr) {
    CWnd* pWnd = g_pWndInit;
    g_pWndInit = nullptr;
    AfxHookedWindowCreated(pWnd, reinterpret_cast<HWND>(wParam));
  }
  return ::CallNextHookEx(g_hHookCreate, nCode, wParam, lParam);
}

}  // namespace

void AfxHookedWindowCreated(CWnd* pWnd, HWND hWnd) {
  ++g_dispatchDepth;
  try {
    if (pWnd->Attach(hWnd)) {
      pWnd->PreSubclassWindow();
      pWnd->m_pfnSuper =
          reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    }
  } catch (...) {
    AfxReportCurrentException();
  }
  --g_dispatchDepth;
}

void AfxHookWindowCreate(CWnd* pWnd) {
  if (g_hHookCreate == nullptr)
    g_hHookCreate = ::SetWindowsHookExA(WH_CBT, CbtFilterHook, nullptr, ::GetCurrentThreadId());
  g_pWndInit = pWnd;
}

void AfxUnhookWindowCreate() {
  if (g_hHookCreate != nullptr) {
    ::UnhookWindowsHookEx(g_hHookCreate);
    g_hHookCreate = nullptr;
  }
  g_pWndInit = nullptr;
}

const MSG* AfxGetCurrentMessage() { return &g_currentMsg; }

void AfxDeleteTempObjects() {
  if (g_dispatchDepth != 0) return;
  CWnd::DeleteTempMap();
  CDC::DeleteTempMap();
  CFont::DeleteTempMap();
}

// A failed handler must not leave the window in a state that repeats the message for ever: a paint that
// threw validates the window, a failed creation refuses the window.
static LRESULT ResultAfterException(HWND hWnd, UINT message) {
  if (message == WM_PAINT) ::ValidateRect(hWnd, nullptr);
  return message == WM_CREATE ? -1 : 0;
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  const MSG savedMsg = g_currentMsg;
  g_currentMsg = MSG{hWnd, message, wParam, lParam, 0, {0, 0}};
  ++g_dispatchDepth;
  LRESULT result;
  try {
    result = pWnd->WindowProc(message, wParam, lParam);
  } catch (...) {
    AfxReportCurrentException();
    result = ResultAfterException(hWnd, message);
  }
  --g_dispatchDepth;
  g_currentMsg = savedMsg;

  if (message == WM_NCDESTROY && pWnd->m_hWnd == hWnd) {
    if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC)) == &AfxWndProc)
      ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pWnd->m_pfnSuper));
    pWnd->m_pfnSuper = nullptr;
    pWnd->Detach();
  }
  return result;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
  if (pWnd == nullptr) return ::DefWindowProcA(hWnd, message, wParam, lParam);
  return AfxCallWndProc(pWnd, hWnd, message, wParam, lParam);
}

CWnd::~CWnd() {
  if (m_hWnd == nullptr) return;
  if (m_pfnSuper != nullptr)
    UnsubclassWindow();
  else
    Detach();
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (hWnd == nullptr) return nullptr;
  if (CWnd* pWnd = FromHandlePermanent(hWnd)) return pWnd;
  std::unique_ptr<CWnd>& pTemp = g_tempWnds[hWnd];
  if (!pTemp) {
    pTemp = std::make_unique<CWnd>();
    pTemp->m_hWnd = hWnd;
  }
  return pTemp.get();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  auto it = g_permanentWnds.find(hWnd);
  return it == g_permanentWnds.end() ? nullptr : it->second;
}

void CWnd::DeleteTempMap() {
  for (auto& entry : g_tempWnds) entry.second->m_hWnd = nullptr;
  g_tempWnds.clear();
}

BOOL CWnd::Attach(HWND hWndNew) {
  if (hWndNew == nullptr || m_hWnd != nullptr || g_permanentWnds.count(hWndNew) != 0) return FALSE;
  g_permanentWnds[hWndNew] = this;
  m_hWnd = hWndNew;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hWnd = m_hWnd;
  auto it = g_permanentWnds.find(hWnd);
  if (it != g_permanentWnds.end() && it->second == this) g_permanentWnds.erase(it);
  m_hWnd = nullptr;
  return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!Attach(hWnd)) return FALSE;
  PreSubclassWindow();
  m_pfnSuper =
      reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  HWND hWndControl = ::GetDlgItem(pParent->m_hWnd, int(nID));
  return hWndControl != nullptr && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow() {
  if (m_pfnSuper != nullptr && m_hWnd != nullptr)
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  m_pfnSuper = nullptr;
  return Detach();
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper != nullptr) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() { return DefWindowProc(g_currentMsg.message, g_currentMsg.wParam, g_currentMsg.lParam); }

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_COMMAND) {
    if (!OnCommand(wParam, lParam)) return FALSE;
    *pResult = 0;
    return TRUE;
  }
  if (AfxIsCtlColorMessage(message)) {
    CWnd* pChild = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
    if (pChild != nullptr && pChild != this && pChild->OnChildNotify(message, wParam, lParam, pResult)) return TRUE;
    return DispatchMapEntry(WM_CTLCOLOR, 0, 0, message, wParam, lParam, pResult);
  }
  return DispatchMapEntry(message, 0, 0, message, wParam, lParam, pResult);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  CWnd* pChild = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
  LRESULT result = 0;
  if (pChild != nullptr && pChild != this && pChild->OnChildNotify(WM_COMMAND, wParam, lParam, &result)) return TRUE;
  return OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_COMMAND)
    return DispatchMapEntry(WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0, message, wParam, lParam, pResult);
  if (AfxIsCtlColorMessage(message)) {
    // A reflected colour handler that answers no brush leaves the request to the parent.
    LRESULT brush = 0;
    if (!DispatchMapEntry(WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, message, wParam, lParam, &brush) || brush == 0)
      return FALSE;
    *pResult = brush;
    return TRUE;
  }
  return FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

DWORD CWnd::GetStyle() const { return DWORD(::GetWindowLongA(m_hWnd, GWL_STYLE)); }

static BOOL ModifyWindowLong(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  const DWORD dwStyle = DWORD(::GetWindowLongA(hWnd, nIndex));
  const DWORD dwNewStyle = (dwStyle & ~dwRemove) | dwAdd;
  if (dwStyle == dwNewStyle) return FALSE;
  ::SetWindowLongA(hWnd, nIndex, LONG(dwNewStyle));
  if (nFlags != 0)
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyWindowLong(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

void CWnd::GetWindowText(std::string& rString) const {
  // WM_GETTEXTLENGTH may count characters rather than bytes (the rich-edit control does): a character
  // takes at most MaxCharSize bytes.
  CPINFO cpInfo{};
  const int nMaxCharSize = ::GetCPInfo(CP_ACP, &cpInfo) ? int(cpInfo.MaxCharSize) : 2;
  const int nLength = GetWindowTextLength();
  rString.assign(size_t(nLength) * size_t(nMaxCharSize) + 1, '\0');
  const int nCopied = ::GetWindowTextA(m_hWnd, rString.data(), int(rString.size()));
  rString.resize(nCopied > 0 ? size_t(nCopied) : 0);
  rString.resize(rString.find('\0') == std::string::npos ? rString.size() : rString.find('\0'));
}

int CWnd::GetWindowText(char* lpszStringBuf, int nMaxCount) const {
  return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
}

int CWnd::GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }

void CWnd::SetWindowText(const char* lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }

void CWnd::GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }

void CWnd::GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }

void CWnd::ScreenToClient(LPRECT lpRect) const {
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }

void CWnd::ClientToScreen(LPRECT lpRect) const {
  ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
  ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
  MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
  return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
}

BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }

BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }

BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }

BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }

BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }

void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, HRGN hrgnUpdate, UINT flags) {
  return ::RedrawWindow(m_hWnd, lpRectUpdate, hrgnUpdate, flags);
}

void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont ? pFont->m_hObject : nullptr), bRedraw);
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
  return reinterpret_cast<HICON>(
      SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }

CWnd* CWnd::GetCapture() { return FromHandle(::GetCapture()); }

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
  const DWORD dwStyle = GetStyle();
  HWND hWndCenter = pAlternateOwner ? pAlternateOwner->m_hWnd : nullptr;
  if (hWndCenter == nullptr) hWndCenter = (dwStyle & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);

  CRect rcDlg;
  GetWindowRect(&rcDlg);
  CRect rcArea;
  CRect rcCenter;
  if (!(dwStyle & WS_CHILD)) {
    if (hWndCenter != nullptr) {
      const DWORD dwCenterStyle = DWORD(::GetWindowLongA(hWndCenter, GWL_STYLE));
      if (!(dwCenterStyle & WS_VISIBLE) || (dwCenterStyle & WS_MINIMIZE)) hWndCenter = nullptr;
    }
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    ::GetMonitorInfoA(::MonitorFromWindow(hWndCenter ? hWndCenter : m_hWnd, MONITOR_DEFAULTTONEAREST), &mi);
    rcArea = mi.rcWork;
    if (hWndCenter != nullptr)
      ::GetWindowRect(hWndCenter, &rcCenter);
    else
      rcCenter = rcArea;
  } else {
    HWND hWndParent = ::GetParent(m_hWnd);
    ::GetClientRect(hWndParent, &rcArea);
    ::GetClientRect(hWndCenter, &rcCenter);
    ::MapWindowPoints(hWndCenter, hWndParent, reinterpret_cast<LPPOINT>(&rcCenter), 2);
  }

  int xLeft = (rcCenter.left + rcCenter.right) / 2 - rcDlg.Width() / 2;
  int yTop = (rcCenter.top + rcCenter.bottom) / 2 - rcDlg.Height() / 2;
  if (xLeft + rcDlg.Width() > rcArea.right) xLeft = rcArea.right - rcDlg.Width();
  if (xLeft < rcArea.left) xLeft = rcArea.left;
  if (yTop + rcDlg.Height() > rcArea.bottom) yTop = rcArea.bottom - rcDlg.Height();
  if (yTop < rcArea.top) yTop = rcArea.top;
  SetWindowPos(nullptr, xLeft, yTop, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }

CWnd* CWnd::GetFocus() { return FromHandle(::GetFocus()); }

BOOL CWnd::DestroyWindow() {
  HWND hWnd = m_hWnd;
  if (hWnd == nullptr) return FALSE;
  const BOOL bResult = ::DestroyWindow(hWnd);
  // A subclassed window has let go at WM_NCDESTROY; a merely attached one is let go here.
  if (bResult && m_hWnd == hWnd) Detach();
  return bResult;
}

HWND CWnd::GetSafeOwner(HWND hParent) {
  HWND hWnd = hParent;
  if (hWnd == nullptr) {
    if (CWnd* pMain = AfxGetMainWnd()) hWnd = pMain->m_hWnd;
  }
  // A pop-up cannot be owned by a child window.
  while (hWnd != nullptr && (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD)) hWnd = ::GetParent(hWnd);
  if (hParent == nullptr && hWnd != nullptr) hWnd = ::GetLastActivePopup(hWnd);
  return hWnd;
}

void CWnd::OnPaint() { Default(); }

BOOL CWnd::OnEraseBkgnd(CDC*) { return BOOL(Default()); }

void CWnd::OnDestroy() { Default(); }

HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }

HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }

void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }

void CWnd::OnDropFiles(HDROP) { Default(); }

void CWnd::OnSize(UINT, int, int) { Default(); }

void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }

BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return BOOL(Default()); }

void CWnd::OnMouseMove(UINT, CPoint) { Default(); }

void CWnd::OnTimer(UINT_PTR) { Default(); }

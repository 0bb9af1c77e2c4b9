#include "LinkLabel.h"

#include <algorithm>
#include <climits>

#include "controls/FallbackCommand.h"
#include "controls/FitRect.h"
#include "controls/OpenErrorText.h"
#include "res/resource.h"

namespace {

constexpr std::size_t kRegistryValueSize = 260;

}

CLinkLabel::OpenUrlFunction CLinkLabel::s_pfnOpenUrl = &CLinkLabel::OpenUrl;

BEGIN_MESSAGE_MAP(CLinkLabel, CHoverStatic)
  ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
  ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

CLinkLabel::CLinkLabel()
    : m_crLinkColour(RGB(0, 0, 238)),
      m_crVisitedColour(RGB(85, 26, 139)),
      m_crHoverColour(::GetSysColor(COLOR_HIGHLIGHT)),
      m_bVisited(FALSE),
      m_bUnderline(TRUE),
      m_bAdjustToFit(TRUE) {}

CLinkLabel::~CLinkLabel() {
  m_fontLink.DeleteObject();
  if (m_hCursor) {
    ::DestroyCursor(m_hCursor);
    m_hCursor = nullptr;
  }
}

void CLinkLabel::PreSubclassWindow() {
  ModifyStyle(0, SS_NOTIFY);

  if (m_strUrl.empty()) GetWindowText(m_strUrl);
  std::string text;
  GetWindowText(text);
  if (text.empty()) SetWindowText(m_strUrl.c_str());

  // A control without a font draws with the system font, so the underlined copy is made of that one.
  HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  if (!hFont) hFont = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
  LOGFONT lf{};
  ::GetObject(hFont, sizeof lf, &lf);
  lf.lfUnderline = static_cast<BYTE>(m_bUnderline);
  m_fontLink.CreateFontIndirect(&lf);
  SetFont(&m_fontLink, TRUE);

  FitToText();
  LoadLinkCursor();

  CreateToolTip(m_strUrl.c_str());

  CHoverStatic::PreSubclassWindow();
}

void CLinkLabel::SetUrl(const std::string& url) {
  m_strUrl = url;
  if (GetSafeHwnd()) {
    FitToText();
    UpdateToolTip(m_strUrl.c_str());
  }
}

void CLinkLabel::SetVisitedState(BOOL bVisited) {
  m_bVisited = bVisited;
  if (GetSafeHwnd()) Invalidate(TRUE);
}

void CLinkLabel::FitToText() {
  if (!GetSafeHwnd() || !m_bAdjustToFit) return;

  CRect rect;
  GetWindowRect(rect);
  CWnd* pParent = GetParent();
  if (pParent) pParent->ScreenToClient(rect);

  std::string text;
  GetWindowText(text);
  CClientDC dc(this);
  CFont* pOldFont = dc.SelectObject(&m_fontLink);
  const CSize extent = dc.GetTextExtent(text.c_str(), static_cast<int>(text.size()));
  dc.SelectObject(pOldFont);

  const RECT fitted = FitRectToText(rect, extent, GetStyle());
  SetWindowPos(nullptr, fitted.left, fitted.top, fitted.right - fitted.left, fitted.bottom - fitted.top, SWP_NOZORDER);
}

void CLinkLabel::LoadLinkCursor() {
  // A private copy rather than the shared resource cursor: this label destroys it, and other controls
  // (the info icon, the About box's other link) keep using theirs.
  if (!m_hCursor) {
    m_hCursor = static_cast<HCURSOR>(
        ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDC_LINK_HAND), IMAGE_CURSOR, 0, 0, 0));
  }
}

void CLinkLabel::OnClicked() {
  const int result = s_pfnOpenUrl(m_strUrl.c_str(), SW_SHOW);
  m_bVisited = result > 32;
  if (m_bVisited) {
    SetVisitedState(TRUE);
  } else {
    ::MessageBeep(MB_ICONEXCLAMATION);
    ShowOpenError(result);
  }
}

HBRUSH CLinkLabel::CtlColor(CDC* pDC, UINT) {
  if (m_bOverControl)
    pDC->SetTextColor(m_crHoverColour);
  else if (m_bVisited)
    pDC->SetTextColor(m_crVisitedColour);
  else
    pDC->SetTextColor(m_crLinkColour);
  pDC->SetBkMode(TRANSPARENT);
  return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

int CLinkLabel::OpenUrl(const char* url, int nShowCmd) {
  // The shell's answer is a handle-sized number; a success stays above 32 when narrowed to int.
  const auto shellResult =
      reinterpret_cast<UINT_PTR>(::ShellExecuteA(nullptr, "open", url, nullptr, nullptr, nShowCmd));
  if (shellResult > 32) return static_cast<int>(std::min<UINT_PTR>(shellResult, INT_MAX));
  const int result = static_cast<int>(shellResult);

  std::string fileType;
  if (ReadDefaultValue(HKEY_CLASSES_ROOT, ".htm", fileType) != ERROR_SUCCESS) return result;
  std::string command;
  if (ReadDefaultValue(HKEY_CLASSES_ROOT, (fileType + "\\shell\\open\\command").c_str(), command) != ERROR_SUCCESS)
    return result;

  char commandLine[kFallbackCommandSize];
  if (!BuildFallbackCommand(command.c_str(), url, commandLine, sizeof commandLine)) return result;
  return static_cast<int>(::WinExec(commandLine, static_cast<UINT>(nShowCmd)));
}

void CLinkLabel::ShowOpenError(int nResult) {
  AfxMessageBox(OpenErrorMessage(nResult).c_str(), MB_ICONEXCLAMATION | MB_OK);
}

LONG CLinkLabel::ReadDefaultValue(HKEY hRoot, const char* subKey, std::string& value) {
  HKEY hKey = nullptr;
  LONG rc = ::RegOpenKeyExA(hRoot, subKey, 0, KEY_QUERY_VALUE, &hKey);
  if (rc != ERROR_SUCCESS) return rc;
  char buffer[kRegistryValueSize];
  LONG size = sizeof buffer;
  rc = ::RegQueryValueA(hKey, nullptr, buffer, &size);
  ::RegCloseKey(hKey);
  if (rc != ERROR_SUCCESS) return rc;
  // A value stored without its terminator gets one; one that then no longer fits is refused like a longer one.
  if (size <= 0) {
    buffer[0] = '\0';
  } else if (buffer[size - 1] != '\0') {
    if (static_cast<std::size_t>(size) >= sizeof buffer) return ERROR_MORE_DATA;
    buffer[size] = '\0';
  }
  value = buffer;
  return ERROR_SUCCESS;
}

#include "app/TextBox.h"

#include <algorithm>
#include <cstring>

namespace {

// Under Wine the control needs time that grows with the square of the number of lines to remove a text: minutes
// for a megabyte. A new control takes a text in linear time, so a box that holds text is replaced by a new,
// empty one, in the same place of the dialog and the tab order, with the same styles, font and limit.
HWND RecreateEmpty(HWND hBox) {
  char className[64] = {};
  ::GetClassNameA(hBox, className, sizeof className);
  HWND hParent = ::GetParent(hBox);
  RECT rc;
  ::GetWindowRect(hBox, &rc);
  ::MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rc), 2);
  CHARFORMATA format{};
  format.cbSize = sizeof format;
  ::SendMessageA(hBox, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  const LRESULT limit = ::SendMessageA(hBox, EM_GETLIMITTEXT, 0, 0);
  const bool focused = ::GetFocus() == hBox;

  HWND hNew = ::CreateWindowExA(static_cast<DWORD>(::GetWindowLongPtrA(hBox, GWL_EXSTYLE)), className, "",
                                static_cast<DWORD>(::GetWindowLongPtrA(hBox, GWL_STYLE)), rc.left, rc.top,
                                rc.right - rc.left, rc.bottom - rc.top, hParent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(::GetDlgCtrlID(hBox))),
                                reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(hBox, GWLP_HINSTANCE)), nullptr);
  if (hNew == nullptr) AfxThrowMemoryException();
  ::SendMessageA(hNew, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  ::SendMessageA(hNew, EM_EXLIMITTEXT, 0, limit);
  ::SetWindowPos(hNew, hBox, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ::DestroyWindow(hBox);
  if (focused) ::SetFocus(hNew);
  return hNew;
}

}  // namespace

void SetTextBoxText(HWND hBox, const std::string& text) {
  if (::SendMessageA(hBox, WM_GETTEXTLENGTH, 0, 0) > 0) hBox = RecreateEmpty(hBox);
  // The control reads a text that begins with "{\rtf" (or "{\urtf") as rich text. Setting the rest first and
  // then typing the leading braces in keeps every byte as it is; streaming the text in would too, but takes
  // minutes for a large file under Wine.
  const std::size_t braces = std::min(text.find_first_not_of('{'), text.size());
  ::SendMessageA(hBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str() + braces));
  if (braces == 0) return;
  const std::string lead(braces, '{');
  CHARRANGE start{0, 0};
  ::SendMessageA(hBox, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
  ::SendMessageA(hBox, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(lead.c_str()));
}

std::string GetTextBoxText(HWND hBox) {
  // WM_GETTEXTLENGTH counts characters, and a GBK character takes up to two bytes.
  GETTEXTLENGTHEX query{GTL_NUMBYTES | GTL_PRECISE, CP_ACP};
  const auto bytes = static_cast<std::size_t>(std::max<LRESULT>(
      0, ::SendMessageA(hBox, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0)));
  const auto chars = static_cast<std::size_t>(std::max<LRESULT>(0, ::SendMessageA(hBox, WM_GETTEXTLENGTH, 0, 0)));
  std::string text(std::max(bytes, 2 * chars) + 1, '\0');
  const auto got = ::SendMessageA(hBox, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(std::min<std::size_t>(std::max<LRESULT>(got, 0), text.size() - 1));
  text.resize(std::strlen(text.c_str()));
  return text;
}

void DDX_TextBox(CDataExchange* pDX, int nIDC, std::string& value) {
  HWND hBox = ::GetDlgItem(pDX->m_pDlgWnd->GetSafeHwnd(), nIDC);
  if (hBox == nullptr) return;
  if (!pDX->m_bSaveAndValidate) {
    SetTextBoxText(hBox, value);
    ::SendMessageA(::GetDlgItem(pDX->m_pDlgWnd->GetSafeHwnd(), nIDC), EM_SETMODIFY, FALSE, 0);
  } else if (::SendMessageA(hBox, EM_GETMODIFY, 0, 0)) {
    value = GetTextBoxText(hBox);
  }
}

#include "app/TextBox.h"

#include <algorithm>
#include <cstring>

void SetTextBoxText(HWND hBox, const std::string& text) {
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
    ::SendMessageA(hBox, EM_SETMODIFY, FALSE, 0);
  } else if (::SendMessageA(hBox, EM_GETMODIFY, 0, 0)) {
    value = GetTextBoxText(hBox);
  }
}

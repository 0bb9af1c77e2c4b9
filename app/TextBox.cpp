#include "app/TextBox.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/bytes.h"

namespace {

// The control reads a text that begins with "{\rtf" (or "{\urtf") as rich text. Setting the rest first and
// then typing the leading braces in keeps every byte as it is; streaming the text in would too, but takes
// minutes for a large file under Wine.
void PutText(HWND hBox, const std::string& text) {
  const std::size_t braces = std::min(text.find_first_not_of('{'), text.size());
  ::SendMessageA(hBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str() + braces));
  if (braces == 0) return;
  const std::string lead(braces, '{');
  CHARRANGE start{0, 0};
  ::SendMessageA(hBox, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
  ::SendMessageA(hBox, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(lead.c_str()));
  // The caret goes back where a whole new text puts it.
  ::SendMessageA(hBox, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
}

// Where a box keeps the hidden box that showed the text before it.
constexpr char kSpareProperty[] = "LumaretSpareBox";

// Where a child window stands in its parent's client area.
RECT PlaceOf(HWND hChild) {
  RECT rc;
  ::GetWindowRect(hChild, &rc);
  ::MapWindowPoints(nullptr, ::GetParent(hChild), reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

// A hidden, empty control like hBox: same class, styles, id, place, font and limit.
HWND CreateLike(HWND hBox) {
  char className[64] = {};
  ::GetClassNameA(hBox, className, sizeof className);
  HWND hParent = ::GetParent(hBox);
  const RECT rc = PlaceOf(hBox);
  const auto style = static_cast<DWORD>(::GetWindowLongPtrA(hBox, GWL_STYLE)) & ~WS_VISIBLE;
  HWND hNew = ::CreateWindowExA(static_cast<DWORD>(::GetWindowLongPtrA(hBox, GWL_EXSTYLE)), className, "", style,
                                rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, hParent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(::GetDlgCtrlID(hBox))),
                                reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(hBox, GWLP_HINSTANCE)), nullptr);
  if (hNew == nullptr) AfxThrowMemoryException();
  CHARFORMATA format{};
  format.cbSize = sizeof format;
  ::SendMessageA(hBox, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  ::SendMessageA(hNew, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
  ::SendMessageA(hNew, EM_EXLIMITTEXT, 0, ::SendMessageA(hBox, EM_GETLIMITTEXT, 0, 0));
  return hNew;
}

// A box filled before, as a new one shows its text: caret and view at the start, nothing to undo.
void ShowFromStart(HWND hBox) {
  CHARRANGE start{0, 0};
  ::SendMessageA(hBox, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
  ::SendMessageA(hBox, WM_VSCROLL, SB_TOP, 0);
  ::SendMessageA(hBox, WM_HSCROLL, SB_LEFT, 0);
  ::SendMessageA(hBox, EM_EMPTYUNDOBUFFER, 0, 0);
  ::SendMessageA(hBox, EM_SETMODIFY, FALSE, 0);
}

}  // namespace

void SetTextBoxText(HWND hBox, const std::string& text) {
  if (::SendMessageA(hBox, WM_GETTEXTLENGTH, 0, 0) == 0) {
    PutText(hBox, text);
    return;
  }
  // Under Wine the control needs time that grows with the square of the number of lines to remove a text:
  // minutes for a megabyte. A text is therefore never replaced in place: another control takes it and then takes
  // the old one's place in the dialog and the tab order. Filling one costs seconds for a megabyte as well (Wine
  // lays out every line, one run per script in it), so the old one is kept, hidden, and shown again when the same
  // text comes back: going back and forth between the text as loaded and a conversion fills each box once. The
  // spare before it goes only afterwards, because a box fills much more slowly when it has to allocate among the
  // blocks another just freed. The old box hands on the focus first: hidden with it, it would send the focus
  // through the dialog.
  // A box that shows the text already (the cause picked again) keeps it.
  if (GetTextBoxText(hBox) == text) {
    ShowFromStart(hBox);
    return;
  }
  HWND hSpare = static_cast<HWND>(::RemovePropA(hBox, kSpareProperty));
  HWND hNew = nullptr;
  if (hSpare != nullptr && GetTextBoxText(hSpare) == text) {
    hNew = std::exchange(hSpare, nullptr);
    ShowFromStart(hNew);
  } else {
    hNew = CreateLike(hBox);
    PutText(hNew, text);
  }
  // The dialog may have been resized while the spare was hidden.
  const RECT rc = PlaceOf(hBox);
  ::SetWindowLongPtrA(hNew, GWLP_ID, ::GetWindowLongPtrA(hBox, GWLP_ID));
  ::SetWindowPos(hNew, hBox, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  if (::GetFocus() == hBox) ::SetFocus(hNew);
  ::SetWindowPos(hBox, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  ::SetWindowLongPtrA(hBox, GWLP_ID, 0);
  ::SetPropA(hNew, kSpareProperty, hBox);
  if (hSpare != nullptr) ::DestroyWindow(hSpare);
}

std::string GetTextBoxText(HWND hBox) {
  // WM_GETTEXTLENGTH counts characters, and a GBK character takes up to two bytes.
  GETTEXTLENGTHEX query{GTL_NUMBYTES | GTL_PRECISE, CP_ACP};
  const auto bytes = static_cast<std::size_t>(
      std::max<LRESULT>(0, ::SendMessageA(hBox, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0)));
  const auto chars = static_cast<std::size_t>(std::max<LRESULT>(0, ::SendMessageA(hBox, WM_GETTEXTLENGTH, 0, 0)));
  std::string text(std::max(bytes, 2 * chars) + 1, '\0');
  const auto got = ::SendMessageA(hBox, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(std::min<std::size_t>(std::max<LRESULT>(got, 0), text.size() - 1));
  CutAtFirstNul(text);
  return text;
}

void DDX_TextBox(CDataExchange* pDX, int nIDC, std::string& value, std::optional<std::string>& echo) {
  HWND hDlg = pDX->m_pDlgWnd->GetSafeHwnd();
  HWND hBox = ::GetDlgItem(hDlg, nIDC);
  if (hBox == nullptr) return;
  if (!pDX->m_bSaveAndValidate) {
    // A fill that fails half-way leaves no echo, so that the box's text, whatever it is, counts.
    echo.reset();
    SetTextBoxText(hBox, value);
    echo = GetTextBoxText(::GetDlgItem(hDlg, nIDC));
    return;
  }
  std::string text = GetTextBoxText(hBox);
  if (!echo || text != *echo) value = std::move(text);
}

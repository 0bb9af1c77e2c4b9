#include "MainWindow.h"

#include <algorithm>
#include <cstring>

#include "Polling.h"

namespace {

LRESULT Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool* ok = nullptr, DWORD timeoutMs = kWaitMs) {
  DWORD_PTR result = 0;
  const bool answered = SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_NORMAL, timeoutMs, &result) != 0;
  if (ok) *ok = answered;
  return answered ? static_cast<LRESULT>(result) : 0;
}

}  // namespace

std::string ControlText(HWND control) {
  // Across processes Wine answers the ANSI length query of the rich-edit box with 0, so ask for the length in
  // UTF-16 units: GBK takes at most two bytes for each.
  DWORD_PTR units = 0;
  SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kWaitMs, &units);
  std::string text(2 * static_cast<size_t>(units) + 2, '\0');
  const LRESULT got = Send(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(strnlen(text.data(), static_cast<size_t>(got)));
  return text;
}

std::string CMainWindow::PathText() const { return ControlText(Control(kIdPath)); }

std::string CMainWindow::BoxText() const { return ControlText(Control(kIdText)); }

// Across processes Wine hands the ANSI item query UTF-16 text, so ask in UTF-16 and convert to GBK.
std::vector<std::string> CMainWindow::Choices() const {
  const HWND combo = Control(kIdChoice);
  std::vector<std::string> items;
  const LRESULT count = Send(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, i, 0, SMTO_NORMAL, kWaitMs, &length);
    std::wstring wide(std::max<size_t>(length, 256) + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide.data()), SMTO_NORMAL, kWaitMs, &got);
    const int units = static_cast<int>(wcsnlen(wide.data(), static_cast<size_t>(got)));
    std::string item(2 * static_cast<size_t>(units), '\0');
    item.resize(
        WideCharToMultiByte(936, 0, wide.data(), units, item.data(), static_cast<int>(item.size()), nullptr, nullptr));
    items.push_back(item);
  }
  return items;
}

std::vector<LRESULT> CMainWindow::ChoiceData() const {
  const HWND combo = Control(kIdChoice);
  std::vector<LRESULT> data;
  const LRESULT count = Send(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) data.push_back(Send(combo, CB_GETITEMDATA, i, 0));
  return data;
}

int CMainWindow::Selection() const { return static_cast<int>(Send(Control(kIdChoice), CB_GETCURSEL, 0, 0)); }

bool CMainWindow::Choose(int index, DWORD timeoutMs) const {
  const HWND combo = Control(kIdChoice);
  bool ok = false;
  Send(combo, CB_SETCURSEL, index, 0, &ok);
  if (!ok) return false;
  Send(m_hDlg, WM_COMMAND, MAKEWPARAM(kIdChoice, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo), &ok, timeoutMs);
  return ok;
}

void CMainWindow::PressOpen() const { PostMessageA(Control(kIdOpen), BM_CLICK, 0, 0); }

void CMainWindow::PressSave() const { PostMessageA(Control(kIdSave), BM_CLICK, 0, 0); }

void CMainWindow::Type(const std::string& text) const {
  const HWND box = Control(kIdText);
  for (char c : text) Send(box, WM_CHAR, static_cast<unsigned char>(c), 1);
}

// The dialog manager turns Escape into IDCANCEL for whichever of its windows the key goes to.
void CMainWindow::PressEscape() const {
  PostMessageA(m_hDlg, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  PostMessageA(m_hDlg, WM_KEYUP, VK_ESCAPE, 0xC0010001);
}

bool CMainWindow::Sync(DWORD timeoutMs) const {
  bool ok = false;
  Send(m_hDlg, WM_NULL, 0, 0, &ok, timeoutMs);
  return ok;
}

// Posted messages of one thread are handled in order, so a posted change, once seen, shows that everything
// posted before it was handled. The change is the pushed look of the hidden button 1008, which nobody sees.
bool CMainWindow::DrainPosted() const {
  const HWND hidden = Control(kIdLoadCommand);
  Send(hidden, BM_SETSTATE, FALSE, 0);
  PostMessageA(hidden, BM_SETSTATE, TRUE, 0);
  const bool drained = WaitFor([&] { return (Send(hidden, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; });
  Send(hidden, BM_SETSTATE, FALSE, 0);
  return drained && Sync();
}

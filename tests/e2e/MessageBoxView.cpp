#include "MessageBoxView.h"

#include <cstring>

#include "MainWindow.h"
#include "Polling.h"

namespace {

// The message box's stock icon control.
constexpr int kIdIcon = 1088;

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM lp) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  return children;
}

bool IsClass(HWND hwnd, const char* name) {
  char cls[32] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  return _stricmp(cls, name) == 0;
}

}  // namespace

std::string CMessageBoxView::Text() const {
  for (HWND child : Children(m_hBox)) {
    if (!IsClass(child, "Static") || (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) continue;
    std::string text = ControlText(child);
    if (!text.empty()) return text;
  }
  return {};
}

std::vector<int> CMessageBoxView::Buttons() const {
  std::vector<int> ids;
  for (HWND child : Children(m_hBox))
    if (IsClass(child, "Button") && IsWindowVisible(child)) ids.push_back(GetDlgCtrlID(child));
  return ids;
}

bool CMessageBoxView::HasIcon() const {
  const HWND icon = GetDlgItem(m_hBox, kIdIcon);
  return icon && IsWindowVisible(icon);
}

bool CMessageBoxView::Answer(int id) const {
  const HWND button = GetDlgItem(m_hBox, id);
  if (!button) return false;
  PostMessageA(button, BM_CLICK, 0, 0);
  return WaitFor([&] { return !IsWindow(m_hBox); });
}

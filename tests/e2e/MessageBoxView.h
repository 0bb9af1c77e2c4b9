// A message box of another process: its text, buttons and icon, and a click on one of its buttons.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CMessageBoxView {
 public:
  explicit CMessageBoxView(HWND box) : m_hBox(box) {}

  std::string Text() const;
  // Ids of the visible buttons, in window order.
  std::vector<int> Buttons() const;
  bool HasIcon() const;
  // Clicks the button and waits until the box is gone.
  bool Answer(int id) const;

 private:
  HWND m_hBox;
};

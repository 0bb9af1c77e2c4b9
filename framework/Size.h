#pragma once
#include <windows.h>

class CSize : public SIZE {
 public:
  CSize() noexcept : SIZE{0, 0} {}
  CSize(int initCX, int initCY) noexcept : SIZE{initCX, initCY} {}
  CSize(SIZE initSize) noexcept : SIZE(initSize) {}

  bool operator==(SIZE size) const noexcept { return cx == size.cx && cy == size.cy; }
  bool operator!=(SIZE size) const noexcept { return !(*this == size); }
};

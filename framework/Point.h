#pragma once
#include <windows.h>

class CPoint : public POINT {
 public:
  CPoint() noexcept : POINT{0, 0} {}
  CPoint(int initX, int initY) noexcept : POINT{initX, initY} {}
  CPoint(POINT initPt) noexcept : POINT(initPt) {}

  bool operator==(POINT point) const noexcept { return x == point.x && y == point.y; }
  bool operator!=(POINT point) const noexcept { return !(*this == point); }
};

#pragma once
#include <windows.h>

#include "Point.h"
#include "Size.h"

class CRect : public RECT {
 public:
  CRect() noexcept : RECT{0, 0, 0, 0} {}
  CRect(int l, int t, int r, int b) noexcept : RECT{l, t, r, b} {}
  CRect(const RECT& srcRect) noexcept : RECT(srcRect) {}
  CRect(POINT topLeft, SIZE size) noexcept : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}

  int Width() const noexcept { return right - left; }
  int Height() const noexcept { return bottom - top; }
  CSize Size() const noexcept { return CSize(Width(), Height()); }
  CPoint TopLeft() const noexcept { return CPoint(left, top); }
  CPoint CenterPoint() const noexcept { return CPoint((left + right) / 2, (top + bottom) / 2); }
  bool IsRectEmpty() const noexcept { return ::IsRectEmpty(this) != FALSE; }
  bool PtInRect(POINT point) const noexcept { return ::PtInRect(this, point) != FALSE; }

  void OffsetRect(int x, int y) noexcept { ::OffsetRect(this, x, y); }
  void OffsetRect(POINT point) noexcept { ::OffsetRect(this, point.x, point.y); }
  void InflateRect(int x, int y) noexcept { ::InflateRect(this, x, y); }

  operator LPRECT() noexcept { return this; }
  operator LPCRECT() const noexcept { return this; }
  bool operator==(const RECT& rect) const noexcept { return ::EqualRect(this, &rect) != FALSE; }
  bool operator!=(const RECT& rect) const noexcept { return !(*this == rect); }
};

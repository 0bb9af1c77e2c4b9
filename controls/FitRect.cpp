#include "FitRect.h"

RECT FitRectToText(RECT rect, SIZE extent, DWORD style) {
  if (style & SS_CENTERIMAGE) {
    const LONG dy = ((rect.bottom - rect.top) - extent.cy) / 2;
    rect.top += dy;
    rect.bottom -= dy;
  } else {
    rect.bottom = rect.top + extent.cy;
  }
  // Tested bit by bit: SS_CENTER is bit 0 and SS_RIGHT bit 1, and the centre wins if both are set.
  if (style & SS_CENTER) {
    const LONG dx = ((rect.right - rect.left) - extent.cx) / 2;
    rect.left += dx;
    rect.right -= dx;
  } else if (style & SS_RIGHT) {
    rect.left = rect.right - extent.cx;
  } else {
    rect.right = rect.left + extent.cx;
  }
  return rect;
}

#pragma once
#include "GdiObject.h"

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF crColor);

  BOOL CreateSolidBrush(COLORREF crColor);
  operator HBRUSH() const noexcept { return static_cast<HBRUSH>(m_hObject); }
};

#pragma once
#include "Wnd.h"

class CStatic : public CWnd {
 public:
  HICON SetIcon(HICON hIcon);
  HICON GetIcon() const;
};

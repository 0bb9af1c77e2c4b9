#pragma once
#include "DC.h"

class CWnd;

// BeginPaint in the constructor, EndPaint in the destructor.
class CPaintDC : public CDC {
 public:
  PAINTSTRUCT m_ps{};

  explicit CPaintDC(CWnd* pWnd);
  ~CPaintDC() override;

 protected:
  HWND m_hWnd;
};

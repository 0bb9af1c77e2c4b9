#pragma once
#include "DC.h"

class CWnd;

// GetDC in the constructor, ReleaseDC in the destructor.
class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* pWnd);
  ~CClientDC() override;

 protected:
  HWND m_hWnd;
};

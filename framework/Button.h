#pragma once
#include "Wnd.h"

class CButton : public CWnd {
 public:
  HICON SetIcon(HICON hIcon);
  HICON GetIcon() const;
  // BM_SETIMAGE with an image type (IMAGE_ICON, IMAGE_BITMAP); returns the previous image.
  HANDLE SetImage(UINT nType, HANDLE hImage);
};

#include "Button.h"

HICON CButton::SetIcon(HICON hIcon) { return static_cast<HICON>(SetImage(IMAGE_ICON, hIcon)); }

HICON CButton::GetIcon() const { return reinterpret_cast<HICON>(SendMessage(BM_GETIMAGE, IMAGE_ICON)); }

HANDLE CButton::SetImage(UINT nType, HANDLE hImage) {
  return reinterpret_cast<HANDLE>(SendMessage(BM_SETIMAGE, nType, reinterpret_cast<LPARAM>(hImage)));
}

#pragma once
#include <windows.h>

// Owns a GDI object: deleted with the wrapper unless detached. FromHandle wrappers do not own theirs.
class CGdiObject {
 public:
  HGDIOBJ m_hObject = nullptr;

  CGdiObject() = default;
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;
  virtual ~CGdiObject();

  BOOL Attach(HGDIOBJ hObject);
  HGDIOBJ Detach();
  BOOL DeleteObject();
  int GetObject(int nCount, LPVOID lpObject) const;
};

#pragma once
#include <windows.h>

#include "Rect.h"
#include "Size.h"

class CFont;

// Wraps a device context it does not own; CPaintDC and CClientDC get and release theirs.
class CDC {
 public:
  HDC m_hDC = nullptr;

  CDC() = default;
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;
  virtual ~CDC() = default;

  // A temporary wrapper (freed like CWnd's temporaries); null for a null handle.
  static CDC* FromHandle(HDC hDC);
  static void DeleteTempMap();
  HDC GetSafeHdc() const noexcept { return m_hDC; }
  operator HDC() const noexcept { return m_hDC; }

  // Returns the font that was selected (a temporary wrapper).
  CFont* SelectObject(CFont* pFont);
  HGDIOBJ SelectObject(HGDIOBJ hObject);
  COLORREF SetTextColor(COLORREF crColor);
  COLORREF SetBkColor(COLORREF crColor);
  int SetBkMode(int nBkMode);
  CSize GetTextExtent(const char* lpszString, int nCount) const;
  int DrawTextEx(char* lpchText, int cchText, LPRECT lpRect, UINT nFormat, LPDRAWTEXTPARAMS lpDTParams);
  // Fills with the colour by making it the background colour and drawing an opaque empty text; the
  // colour stays the background colour afterwards.
  void FillSolidRect(LPCRECT lpRect, COLORREF clr);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
  BOOL DrawIcon(int x, int y, HICON hIcon);
};

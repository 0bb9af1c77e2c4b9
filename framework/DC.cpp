#include "DC.h"

#include <memory>
#include <unordered_map>

#include "Font.h"

namespace {
std::unordered_map<HDC, std::unique_ptr<CDC>> g_tempDCs;
}

CDC* CDC::FromHandle(HDC hDC) {
  if (hDC == nullptr) return nullptr;
  std::unique_ptr<CDC>& pTemp = g_tempDCs[hDC];
  if (!pTemp) {
    pTemp = std::make_unique<CDC>();
    pTemp->m_hDC = hDC;
  }
  return pTemp.get();
}

void CDC::DeleteTempMap() { g_tempDCs.clear(); }

CFont* CDC::SelectObject(CFont* pFont) {
  if (pFont == nullptr || pFont->m_hObject == nullptr) return nullptr;
  return CFont::FromHandle(static_cast<HFONT>(::SelectObject(m_hDC, pFont->m_hObject)));
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }

COLORREF CDC::SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }

COLORREF CDC::SetBkColor(COLORREF crColor) { return ::SetBkColor(m_hDC, crColor); }

int CDC::SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }

CSize CDC::GetTextExtent(const char* lpszString, int nCount) const {
  SIZE size{0, 0};
  ::GetTextExtentPoint32A(m_hDC, lpszString, nCount, &size);
  return CSize(size);
}

int CDC::DrawTextEx(char* lpchText, int cchText, LPRECT lpRect, UINT nFormat, LPDRAWTEXTPARAMS lpDTParams) {
  return ::DrawTextExA(m_hDC, lpchText, cchText, lpRect, nFormat, lpDTParams);
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
  ::SetBkColor(m_hDC, clr);
  ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
  const CRect rect(x, y, x + cx, y + cy);
  FillSolidRect(&rect, clr);
}

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }

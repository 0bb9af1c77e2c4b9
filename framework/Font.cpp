#include "Font.h"

#include <memory>
#include <unordered_map>

namespace {
std::unordered_map<HFONT, std::unique_ptr<CFont>> g_tempFonts;
}

CFont* CFont::FromHandle(HFONT hFont) {
  if (hFont == nullptr) return nullptr;
  std::unique_ptr<CFont>& pTemp = g_tempFonts[hFont];
  if (!pTemp) {
    pTemp = std::make_unique<CFont>();
    pTemp->m_hObject = hFont;
  }
  return pTemp.get();
}

void CFont::DeleteTempMap() {
  for (auto& entry : g_tempFonts) entry.second->Detach();
  g_tempFonts.clear();
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* lpLogFont) { return Attach(::CreateFontIndirectA(lpLogFont)); }

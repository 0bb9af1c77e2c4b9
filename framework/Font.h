#pragma once
#include "GdiObject.h"

class CFont : public CGdiObject {
 public:
  // A temporary, non-owning wrapper (freed like CWnd's temporaries); null for a null handle.
  static CFont* FromHandle(HFONT hFont);
  static void DeleteTempMap();

  BOOL CreateFontIndirect(const LOGFONTA* lpLogFont);
  operator HFONT() const noexcept { return static_cast<HFONT>(m_hObject); }
};

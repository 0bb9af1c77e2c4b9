#include "CmdTarget.h"

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* pMap, UINT nMessage, UINT nCode, UINT nID) noexcept {
  for (; pMap != nullptr; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* pEntry = pMap->lpEntries; pEntry->pfn != nullptr; ++pEntry) {
      if (pEntry->nMessage == nMessage && pEntry->nCode == nCode && nID >= pEntry->nID && nID <= pEntry->nLastID)
        return pEntry;
    }
  }
  return nullptr;
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
  static const AFX_MSGMAP messageMap = {nullptr, entries};
  return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CCmdTarget::DispatchMapEntry(UINT nMessage, UINT nCode, UINT nID, UINT msg, WPARAM wParam, LPARAM lParam,
                                  LRESULT* pResult) {
  const AFX_MSGMAP_ENTRY* pEntry = AfxFindMessageEntry(GetMessageMap(), nMessage, nCode, nID);
  if (pEntry == nullptr) return FALSE;
  *pResult = pEntry->pfn(*this, msg, wParam, lParam);
  return TRUE;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode) {
  LRESULT result = 0;
  return DispatchMapEntry(WM_COMMAND, UINT(nCode), nID, WM_COMMAND, MAKEWPARAM(nID, nCode), 0, &result);
}

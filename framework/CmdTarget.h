#pragma once
#include "MessageMap.h"

// Root of everything that has a message map: windows and the application object.
class CCmdTarget {
 public:
  CCmdTarget() = default;
  CCmdTarget(const CCmdTarget&) = delete;
  CCmdTarget& operator=(const CCmdTarget&) = delete;
  virtual ~CCmdTarget() = default;

  // Runs the map entry for WM_COMMAND with this id and notification code; FALSE when there is none.
  virtual BOOL OnCmdMsg(UINT nID, int nCode);

  // Runs the first entry for the message found along the map chain; FALSE when there is none.
  BOOL DispatchMapEntry(UINT nMessage, UINT nCode, UINT nID, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
};

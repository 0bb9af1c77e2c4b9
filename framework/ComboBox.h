#pragma once
#include <string>

#include "Wnd.h"

class CComboBox : public CWnd {
 public:
  int AddString(const char* lpszString);
  int GetCurSel() const;
  DWORD_PTR GetItemData(int nIndex) const;
  int SetItemData(int nIndex, DWORD_PTR dwItemData);
  int GetLBText(int nIndex, char* lpszText) const;
  void GetLBText(int nIndex, std::string& rString) const;
  int GetLBTextLen(int nIndex) const;
};

#include "ComboBox.h"

int CComboBox::AddString(const char* lpszString) {
  return int(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lpszString)));
}

int CComboBox::GetCurSel() const { return int(SendMessage(CB_GETCURSEL)); }

DWORD_PTR CComboBox::GetItemData(int nIndex) const { return DWORD_PTR(SendMessage(CB_GETITEMDATA, WPARAM(nIndex))); }

int CComboBox::SetItemData(int nIndex, DWORD_PTR dwItemData) {
  return int(SendMessage(CB_SETITEMDATA, WPARAM(nIndex), LPARAM(dwItemData)));
}

int CComboBox::GetLBText(int nIndex, char* lpszText) const {
  return int(SendMessage(CB_GETLBTEXT, WPARAM(nIndex), reinterpret_cast<LPARAM>(lpszText)));
}

void CComboBox::GetLBText(int nIndex, std::string& rString) const {
  const int nLength = GetLBTextLen(nIndex);
  if (nLength <= 0) {
    rString.clear();
    return;
  }
  rString.assign(size_t(nLength) + 1, '\0');
  const int nCopied = GetLBText(nIndex, rString.data());
  rString.resize(nCopied > 0 ? size_t(nCopied) : 0);
}

int CComboBox::GetLBTextLen(int nIndex) const { return int(SendMessage(CB_GETLBTEXTLEN, WPARAM(nIndex))); }

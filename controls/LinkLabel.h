// A static control of a dialog template turned into a hyperlink: underlined, coloured by state, hand cursor,
// tool tip with the target, opened through the shell or the program registered for HTML files.
#pragma once

#include <string>

#include "controls/HoverStatic.h"

class CLinkLabel : public CHoverStatic {
 public:
  CLinkLabel();
  ~CLinkLabel() override;

  void SetUrl(const std::string& url);
  const std::string& GetUrl() const { return m_strUrl; }
  void SetVisitedState(BOOL bVisited);
  void FitToText();
  void LoadLinkCursor();

  // Greater than 32 means the URL was opened.
  static int OpenUrl(const char* url, int nShowCmd);
  static void ShowOpenError(int nResult);
  static LONG ReadDefaultValue(HKEY hRoot, const char* subKey, std::string& value);

  // Every click opens through this; tests point it elsewhere so that no browser starts.
  using OpenUrlFunction = int (*)(const char* url, int nShowCmd);
  static OpenUrlFunction s_pfnOpenUrl;

 protected:
  void PreSubclassWindow() override;

  void OnClicked();
  HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);

  DECLARE_MESSAGE_MAP()

 private:
  COLORREF m_crLinkColour;
  COLORREF m_crVisitedColour;
  COLORREF m_crHoverColour;
  BOOL m_bVisited;
  BOOL m_bUnderline;
  BOOL m_bAdjustToFit;
  std::string m_strUrl;
  CFont m_fontLink;
};

// The program icon in the main dialog's corner, made clickable: hand cursor, tool tip "关于" with the main
// window's title, and the About box on a click.
#pragma once

#include "controls/HoverStatic.h"

class CInfoIcon : public CHoverStatic {
 public:
  CInfoIcon();
  ~CInfoIcon() override;

 protected:
  void PreSubclassWindow() override;

  void OnClicked();

  DECLARE_MESSAGE_MAP()
};

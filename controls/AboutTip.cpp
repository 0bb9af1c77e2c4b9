#include "AboutTip.h"

#include <windows.h>

std::string AboutTipText(const std::string& title) {
  std::size_t kept = 0;
  while (kept < title.size()) {
    const std::size_t next =
        kept + ((IsDBCSLeadByte(static_cast<BYTE>(title[kept])) && kept + 1 < title.size()) ? 2 : 1);
    if (next > kAboutTitleLimit - 1) break;
    kept = next;
  }
  return "关于" + title.substr(0, kept);
}

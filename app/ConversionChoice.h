// The item data of the choice list: which conversion a transcode runs. An item's index is not its value,
// because the Big5 and Shift-JIS items exist only where the system passes their probes. UTF-8 is always there:
// every system the tool supports converts it.
#pragma once

enum ConversionChoice : int {
  kChoiceNone = 0,
  kChoiceBig5 = 1,
  kChoiceWestern = 2,
  kChoiceShiftJis = 3,
  kChoiceUtf8 = 4,
};

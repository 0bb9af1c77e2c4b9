// The causes of a garbled text: which encoding its bytes were written in, as the guess names them and the
// command-line tool spells them. The dialog's list carries its own item data (ConversionChoice).
#pragma once

#include <optional>
#include <string_view>

enum class Cause {
  kAscii,     // nothing to repair
  kGbk,       // already readable on this system
  kBig5,      // Traditional Chinese, code page 950
  kShiftJis,  // Japanese, code page 932
  kWestern,   // Windows-1252
  kUtf8,      // code page 65001
  kUnknown,   // binary data, or no cause is credible
};

inline constexpr std::string_view kCauseNames[] = {"ascii", "gbk", "big5", "shift-jis", "western", "utf-8", "unknown"};

constexpr std::string_view CauseName(Cause cause) { return kCauseNames[static_cast<int>(cause)]; }

constexpr std::optional<Cause> CauseFromName(std::string_view name) {
  for (int i = 0; i < static_cast<int>(std::size(kCauseNames)); ++i) {
    if (kCauseNames[i] == name) return static_cast<Cause>(i);
  }
  return std::nullopt;
}

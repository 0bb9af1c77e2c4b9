// Runs a conversion into a sentinel-filled buffer, so that a write past the routine's bound shows.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "bytes.h"

using Conversion = void (*)(const char* input, char* output);

inline constexpr char kSentinel = '\xCC';

// The output up to its terminator. Fails the test when the terminator is not within `bound` bytes or when
// any byte from `bound` on changed.
inline std::string RunBounded(Conversion routine, const char* input, std::size_t bound) {
  std::vector<char> buffer(bound + 64, kSentinel);
  routine(input, buffer.data());
  const auto past = std::find_if(buffer.begin() + static_cast<std::ptrdiff_t>(bound), buffer.end(),
                                 [](char c) { return c != kSentinel; });
  EXPECT_EQ(past, buffer.end()) << "wrote byte " << (past - buffer.begin()) << " past the bound of " << bound;
  const auto end = std::find(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(bound), '\0');
  EXPECT_NE(end, buffer.begin() + static_cast<std::ptrdiff_t>(bound)) << "no terminator within " << bound << " bytes";
  return std::string(buffer.begin(), end);
}

inline std::size_t Length(const char* input) { return input == nullptr ? 0 : std::strlen(input); }

// The routines read and write eight bytes at a time where they can. Each row therefore runs again behind 1 to 15
// ASCII bytes, which must come out unchanged, so that its bytes meet every offset of such a step and a step
// that reads or writes across a boundary shows.
inline constexpr std::size_t kAlignments = 16;
inline std::string AsciiPrefix(std::size_t length) { return std::string("0123456789abcdef").substr(0, length); }

// Bytes as hex, so a failing row shows exactly which bytes differ.
inline std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (const unsigned char b : bytes) {
    if (!hex.empty()) hex += ' ';
    hex += kDigits[b >> 4];
    hex += kDigits[b & 15];
  }
  return hex;
}

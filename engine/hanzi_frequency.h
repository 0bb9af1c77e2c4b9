// How common each CJK unified ideograph U+4E00-U+9FFF is in three languages, generated from the Unicode Han
// database by tools/gen-hanzi-frequency into hanzi_frequency.cpp.
#pragma once

#include <cstddef>

inline constexpr char32_t kFirstHanzi = 0x4E00;
inline constexpr std::size_t kHanziCount = 0xA000 - 0x4E00;

// Two letters 'a'-'p' per ideograph, the high nibble first, of a byte: bits 0-2 its class in Simplified
// Chinese, 3-5 in Traditional Chinese, 6-7 in Japanese. A Chinese class c < 7 means the ideograph's share of
// the ideographs in running text is about e^-(4.6 + 1.25 c); 7 is rarer or unknown. Japanese: 0 a common jōyō
// kanji, 1 another jōyō kanji, 2 a jinmeiyō kanji or one of JIS X 0208 level 1, 3 any other.
extern const char kHanziClassLetters[];

struct HanziClasses {
  int simplified, traditional, japanese;
};

// The rarest classes for a unit outside the table's block.
inline HanziClasses HanziClassesOf(char32_t u) {
  if (u < kFirstHanzi || u >= kFirstHanzi + kHanziCount) return {7, 7, 3};
  const std::size_t i = 2 * (u - kFirstHanzi);
  const int byte = (kHanziClassLetters[i] - 'a') << 4 | (kHanziClassLetters[i + 1] - 'a');
  return {byte & 7, byte >> 3 & 7, byte >> 6};
}

// The one-pass conversions against the plain chain of the text services they replace: decode the whole text,
// encode it to GBK, map it, correct it. The tables assume that a character decodes alone as it does in
// context; these comparisons are what holds them to it, in each tree with its own services.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bounded.h"
#include "conversions.h"
#include "fixups.h"
#include "gbk_tables.h"
#include "text_services.h"

namespace TS = TextServices;

namespace {

std::string ThroughServices(unsigned codePage, const std::string& input, bool simplify) {
  const int units = TS::MultiByteToWideChar(codePage, 0, input.c_str(), -1, nullptr, 0);
  // Zeroed one unit past: UTF-8's decoder can take the terminator into a U+FFFD.
  std::vector<char16_t> wide(static_cast<std::size_t>(units) + 1);
  TS::MultiByteToWideChar(codePage, 0, input.c_str(), -1, wide.data(), units);
  const int size = TS::WideCharToMultiByte(TS::kCodePageGbk, 0, wide.data(), -1, nullptr, 0);
  std::vector<char> gbk(static_cast<std::size_t>(size) + 1);
  TS::WideCharToMultiByte(TS::kCodePageGbk, 0, wide.data(), -1, gbk.data(), size);
  if (!simplify) return gbk.data();
  std::vector<char> mapped(gbk.size());
  TS::LCMapStringA(TS::kLocaleChinesePrc, TS::kMapSimplifiedChinese, gbk.data(), -1, mapped.data(), size);
  ApplyFixups(mapped.data());
  return mapped.data();
}

struct Case {
  const char* name;
  Conversion routine;
  unsigned codePage;
  bool simplify;
};

const Case kCases[] = {
    {"Big5ToGbkSimplified", Big5ToGbkSimplified, TS::kCodePageBig5, true},
    {"ShiftJisToGbk", ShiftJisToGbk, TS::kCodePageShiftJis, false},
    {"Utf8ToGbk", Utf8ToGbk, TS::kCodePageUtf8, false},
};

// Compares every input; reports the first few that differ rather than thousands.
void ExpectSameAsServices(const Case& c, const std::vector<std::string>& inputs) {
  int differences = 0;
  for (const std::string& input : inputs) {
    const std::string got = RunBounded(c.routine, input.c_str(), OutputRoom(c.routine, input.size()));
    const std::string want = ThroughServices(c.codePage, input, c.simplify);
    if (got == want) continue;
    if (++differences <= 5)
      ADD_FAILURE() << c.name << "(" << Hex(input) << ") = " << Hex(got) << ", services give " << Hex(want);
  }
  EXPECT_EQ(differences, 0) << c.name;
}

TEST(OnePassConversions, EveryOneAndTwoByteSequence) {
  std::vector<std::string> inputs;
  for (unsigned first = 1; first < 0x100; ++first) {
    inputs.push_back({static_cast<char>(first)});
    for (unsigned second = 1; second < 0x100; ++second)
      inputs.push_back({static_cast<char>(first), static_cast<char>(second)});
  }
  for (const Case& c : kCases) ExpectSameAsServices(c, inputs);
}

// Every pair in one long text: the runs of ASCII, and characters that meet each other rather than the end.
TEST(OnePassConversions, EveryPairInOneText) {
  std::string text;
  for (unsigned first = 0x80; first < 0x100; ++first) {
    for (unsigned second = 1; second < 0x100; ++second) text += {static_cast<char>(first), static_cast<char>(second)};
    text += "FILE \"a.wav\" WAVE\r\n";
  }
  for (const Case& c : kCases) ExpectSameAsServices(c, {text});
}

std::string Utf8Of(char32_t u) {
  if (u < 0x80) return {static_cast<char>(u)};
  if (u < 0x800) return {static_cast<char>(0xC0 | u >> 6), static_cast<char>(0x80 | (u & 0x3F))};
  if (u < 0x10000) {
    return {static_cast<char>(0xE0 | u >> 12), static_cast<char>(0x80 | (u >> 6 & 0x3F)),
            static_cast<char>(0x80 | (u & 0x3F))};
  }
  return {static_cast<char>(0xF0 | u >> 18), static_cast<char>(0x80 | (u >> 12 & 0x3F)),
          static_cast<char>(0x80 | (u >> 6 & 0x3F)), static_cast<char>(0x80 | (u & 0x3F))};
}

TEST(OnePassConversions, EveryUnicodeCharacterInUtf8) {
  std::string text;
  for (char32_t u = 1; u < 0x110000; u += u < 0x10000 ? 1 : 0x3FF) {
    if (u < 0xD800 || u >= 0xE000) text += Utf8Of(u);
  }
  ExpectSameAsServices(kCases[2], {text});
}

// Short texts from a fixed seed: mt19937's sequence is the same in both trees, a distribution's need not be,
// so none is used. Bytes mostly from above 7F, the rest ASCII and control bytes; for UTF-8 also characters
// with now and then a stray byte, so that both its one pass and its way through the services are compared.
TEST(OnePassConversions, RandomTexts) {
  std::mt19937 random(20261209);
  std::vector<std::string> bytes, characters;
  for (int i = 0; i < 4000; ++i) {
    std::string text(1 + random() % 48, ' ');
    for (char& byte : text) {
      const std::uint32_t r = random();
      byte = static_cast<char>(r % 4 == 0    ? 0x20 + (r >> 8) % 0x5F
                               : r % 16 == 1 ? 1 + (r >> 8) % 0x1F
                                             : 0x80 + (r >> 8) % 0x80);
    }
    bytes.push_back(text);
    text.clear();
    for (std::uint32_t n = random() % 24; n-- > 0;) {
      const std::uint32_t r = random();
      const char32_t u = r % 8 == 0 ? 0x10000 + (r >> 8) % 0x100000 : 1 + (r >> 8) % 0xFFFF;
      if (r % 97 == 0) text += static_cast<char>(0x80 + (r >> 8) % 0x80);
      if (u < 0xD800 || u >= 0xE000) text += Utf8Of(u);
    }
    if (!text.empty()) characters.push_back(text);
  }
  for (const Case& c : kCases) ExpectSameAsServices(c, bytes);
  ExpectSameAsServices(kCases[2], characters);
}

// The losses' shortcut: a pair it calls lossless must be, by the services, one character other than the code
// page's default ('?' in Big5, U+30FB in Shift-JIS) that GBK writes in two bytes; and it must know most pairs.
TEST(OnePassConversions, LosslessPairsAreCharactersGbkHolds) {
  const struct {
    unsigned codePage;
    char16_t defaultUnit;
    int atLeast;
  } kPages[] = {{TS::kCodePageBig5, u'?', 13000}, {TS::kCodePageShiftJis, u'\x30FB', 6000}};
  for (const auto& page : kPages) {
    int lossless = 0, wrong = 0;
    for (unsigned first = 0x80; first < 0x100; ++first) {
      for (unsigned second = 1; second < 0x100; ++second) {
        const char pair[] = {static_cast<char>(first), static_cast<char>(second), 'A'};
        if (!DoubleByteLosesNothing(page.codePage, {pair, 3})) continue;
        ++lossless;
        char16_t units[4] = {};
        char gbk[8] = {};
        const int n = TS::MultiByteToWideChar(page.codePage, 0, pair, 2, units, 4);
        const bool right = n == 1 && units[0] != page.defaultUnit &&
                           TS::WideCharToMultiByte(TS::kCodePageGbk, 0, units, 1, gbk, 8) == 2 && gbk[0] != '?';
        if (!right && ++wrong <= 5) ADD_FAILURE() << page.codePage << ": " << Hex({pair, 2}) << " is not lossless";
      }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GE(lossless, page.atLeast) << page.codePage;
    // A first byte at the end, a single byte above 7F, another code page: unsure.
    EXPECT_FALSE(DoubleByteLosesNothing(page.codePage, "AB\xA4"));
    EXPECT_FALSE(DoubleByteLosesNothing(TS::kCodePageGbk, "\xA4\x40"));
  }
  EXPECT_FALSE(DoubleByteLosesNothing(TS::kCodePageShiftJis, "\xB1"));
}

}  // namespace

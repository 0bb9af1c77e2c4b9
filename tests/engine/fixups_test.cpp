#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bounded.h"
#include "fixups.h"

namespace {

struct Row {
  const char* text;
  const char* expected;
};

// Rows in GBK; each comment shows the characters.
const Row kRows[] = {
    // Only characters of the tables change
    {"", ""},
    {"TITLE \"Live\"\r\n  INDEX 01 00:00:00\r\n", "TITLE \"Live\"\r\n  INDEX 01 00:00:00\r\n"},
    {"\xE1\xE1\x81\xED", "\xBA\xF3\x81\xED"},  // 後來 -> 后來
    {"\xB9\xDC\xC0\xED", "\xB9\xDC\xC0\xED"},  // 管理 -> 管理
    // 乾 and 著: the word test sees the current character corrected, the next one not yet
    {"\xC7\xAC", "\xB8\xC9"},                                  // 乾 -> 干
    {"\xC7\xAC\xD4\xEF", "\xB8\xC9\xD4\xEF"},                  // 乾燥 -> 干燥
    {"\xC7\xAC\xC2\xA1", "\xC7\xAC\xC2\xA1"},                  // 乾隆 -> 乾隆
    {"\xB8\xC9\xC2\xA1", "\xC7\xAC\xC2\xA1"},                  // 干隆 -> 乾隆
    {"\xB8\xC9\xB8\xC9\xC2\xA1", "\xB8\xC9\xC7\xAC\xC2\xA1"},  // 干干隆 -> 干乾隆
    {"\xD6\xF8\xD7\xF7", "\xD7\xC5\xD7\xF7"},                  // 著作 -> 着作
    {"\xD6\xF8\xC3\xFB", "\xD6\xF8\xC3\xFB"},                  // 著名 -> 著名
    {"\xD7\xC5\xC3\xFB", "\xD6\xF8\xC3\xFB"},                  // 着名 -> 著名
    // 沈: after a word the walk moves on by one character, and the window overlaps the replacement
    {"\xC9\xF2\xD7\xC5", "\xB3\xC1\xD7\xC5"},                                  // 沈着 -> 沉着
    {"\xC9\xF2\xD6\xF8", "\xC9\xF2\xD7\xC5"},                                  // 沈著 -> 沈着
    {"\xC9\xF2\xD7\xC5\xC3\xFB", "\xB3\xC1\xD6\xF8\xC3\xFB"},                  // 沈着名 -> 沉著名
    {"\xCF\xFB\xC9\xF2\xC9\xF2", "\xCF\xFB\xB3\xC1\xC9\xF2"},                  // 消沈沈 -> 消沉沈
    {"\xC9\xF2\xC9\xF2\xC9\xF2\xC9\xF2", "\xB3\xC1\xB3\xC1\xB3\xC1\xB3\xC1"},  // 沈沈沈沈 -> 沉沉沉沉
    // Words at the end of the text, and a last character without a window
    {"\xD2\xBB\xBC\xC6\xBB\xAD", "\xD2\xBB\xBC\xC6\xBB\xAE"},                  // 一计画 -> 一计划
    {"\xC9\xF2", "\xC9\xF2"},                                                  // 沈 -> 沈
    {"x\xC9\xF2", "x\xC9\xF2"},                                                // x沈 -> x沈
    {"\xA3\xFC\xA3\xFC\xA3\xFC", "\xA1\xAD\xA1\xAD\xA3\xFC"},                  // ｜｜｜ -> ……｜
    {"\xA3\xFC\xA3\xFC\xA3\xFC\xA3\xFC", "\xA1\xAD\xA1\xAD\xA1\xAD\xA1\xAD"},  // ｜｜｜｜ -> …………
    // Single-byte characters never change and never start a window
    {"\xA6\xE0"
     "A\xA6\xE1",
     "\xA3\xA8"
     "A\xA3\xA9"},  // ︵A︶ -> （A）
    {"a\xB8\xC9\xC2\xA1"
     "b",
     "a\xC7\xAC\xC2\xA1"
     "b"},                                       // a干隆b -> a乾隆b
    {"\xB8\xC9 \xC2\xA1", "\xB8\xC9 \xC2\xA1"},  // 干 隆 -> 干 隆
    // The first of two copies wins
    {"\x91\x6A", "\xD3\xFB"},  // 慾 -> 欲
    {"\xBD\x99", "\xC0\xA6"},  // 綑 -> 捆
    // A lone lead byte before the terminator ends the pass unchanged
    {"A\xE1", "A\xE1"},
    {"\xC7\xAC\xC2", "\xB8\xC9\xC2"},  // 乾 and a lone lead byte: no window
    {"\xB8\xC9\xC2", "\xB8\xC9\xC2"},  // 干 and a lone lead byte
    // The walk keeps to character boundaries: E1 E1 (後) across two characters is no character
    {"\x81\xE1\xE1"
     "A",
     "\x81\xE1\xE1"
     "A"},
    {"\x81\xE1\xE1\xE1", "\x81\xE1\xBA\xF3"},
};

// The text, its terminator and a tail of table sources that only a pass running past the terminator could
// change.
std::string Fixed(const std::string& text) {
  static const std::string kTail("\0\xE1\xE1\xC7\xAC\xC2\xA1", 7);
  std::string buffer = text + kTail;
  ApplyFixups(buffer.data());
  EXPECT_EQ(buffer.substr(text.size()), kTail) << "the pass changed bytes past the terminator";
  return buffer.substr(0, text.size());
}

TEST(ApplyFixups, Rows) {
  for (const Row& row : kRows) {
    EXPECT_EQ(Hex(Fixed(row.text)), Hex(row.expected)) << "text " << Hex(row.text);
  }
}

TEST(ApplyFixups, RowsBehindAsciiAtEveryAlignment) {
  for (const Row& row : kRows) {
    for (std::size_t k = 1; k < kAlignments; ++k) {
      const std::string prefix = AsciiPrefix(k);
      EXPECT_EQ(Hex(Fixed(prefix + row.text)), Hex(prefix + row.expected))
          << "text " << Hex(row.text) << " behind " << k;
    }
  }
}

TEST(ApplyFixups, NothingPastTheTerminatorIsRead) {
  // Were the terminator ignored, C7 AC (乾) would be found across it.
  std::string buffer("\xC7\0\xAC", 3);
  ApplyFixups(buffer.data());
  EXPECT_EQ(Hex(buffer), "C7 00 AC");
  buffer.assign("\xB8\xC9\0\xC2\xA1", 5);  // 干 | 隆
  ApplyFixups(buffer.data());
  EXPECT_EQ(Hex(buffer), "B8 C9 00 C2 A1");
}

std::string Bytes(const char* entry, std::size_t size) { return std::string(entry, size); }

// Single bytes on both sides, which must stay as they are.
std::string Framed(const std::string& text) { return std::string("x").append(text).append("y"); }

TEST(ApplyFixups, EveryCharEntry) {
  for (std::size_t i = 0; i < kCharFixupCount; ++i) {
    const std::string source = Bytes(kCharFixups.sources[i], 2);
    EXPECT_EQ(Hex(Fixed(source)), Hex(Bytes(kCharFixups.targets[i], 2))) << "entry " << i + 1;
    EXPECT_EQ(Hex(Fixed(Framed(source))), Hex(Framed(Bytes(kCharFixups.targets[i], 2)))) << "entry " << i + 1;
  }
}

TEST(ApplyFixups, EveryWordEntry) {
  for (std::size_t i = 0; i < kWordFixupCount; ++i) {
    EXPECT_EQ(Hex(Fixed(Bytes(kWordFixups.sources[i], 4))), Hex(Bytes(kWordFixups.targets[i], 4))) << "entry " << i + 1;
  }
}

bool IsDoubleByteGbk(const char* c) {
  return IsGbkPair(static_cast<unsigned char>(c[0]), static_cast<unsigned char>(c[1]));
}

template <std::size_t kCount, std::size_t kSize>
void ExpectTableInvariants(const char (&sources)[kCount][kSize], const char (&targets)[kCount][kSize]) {
  for (std::size_t i = 0; i + 1 < kCount; ++i) {
    for (std::size_t k = 0; k < kSize; k += 2) {
      EXPECT_TRUE(IsDoubleByteGbk(sources[i] + k)) << "source " << i + 1;
      EXPECT_TRUE(IsDoubleByteGbk(targets[i] + k)) << "target " << i + 1;
    }
    EXPECT_NE(std::memcmp(sources[i], targets[i], kSize), 0) << "entry " << i + 1 << " maps to itself";
  }
  const char zero[kSize] = {};
  EXPECT_EQ(std::memcmp(sources[kCount - 1], zero, kSize), 0);
  EXPECT_EQ(std::memcmp(targets[kCount - 1], zero, kSize), 0);
}

TEST(FixupTables, Invariants) {
  EXPECT_EQ(std::size(kCharFixups.sources), 146u);
  EXPECT_EQ(std::size(kCharFixups.targets), 146u);
  EXPECT_EQ(std::size(kWordFixups.sources), 46u);
  EXPECT_EQ(std::size(kWordFixups.targets), 46u);
  ExpectTableInvariants(kCharFixups.sources, kCharFixups.targets);
  ExpectTableInvariants(kWordFixups.sources, kWordFixups.targets);
}

TEST(FixupTables, OnlyTheTwoStatedDuplicates) {
  std::vector<std::pair<std::size_t, std::size_t>> duplicates;
  for (std::size_t i = 0; i < kCharFixupCount; ++i) {
    for (std::size_t j = i + 1; j < kCharFixupCount; ++j) {
      if (std::memcmp(kCharFixups.sources[i], kCharFixups.sources[j], 2) != 0) continue;
      duplicates.emplace_back(i + 1, j + 1);
      EXPECT_EQ(std::memcmp(kCharFixups.targets[i], kCharFixups.targets[j], 2), 0) << i + 1 << " and " << j + 1;
    }
  }
  const std::vector<std::pair<std::size_t, std::size_t>> expected = {{15, 28}, {17, 64}};  // 慾, 綑
  EXPECT_EQ(duplicates, expected);
  for (std::size_t i = 0; i < kWordFixupCount; ++i) {
    for (std::size_t j = i + 1; j < kWordFixupCount; ++j) {
      EXPECT_NE(std::memcmp(kWordFixups.sources[i], kWordFixups.sources[j], 4), 0) << i + 1 << " and " << j + 1;
    }
  }
}

// The pass as a plain walk with linear searches in table order, to hold the indexed lookup against.
void LinearFixups(unsigned char* p) {
  while (*p != 0) {
    if (!IsGbkLeadByte(*p)) {
      ++p;
      continue;
    }
    if (p[1] == 0) return;
    for (std::size_t i = 0; i < kCharFixupCount; ++i) {
      if (std::memcmp(p, kCharFixups.sources[i], 2) == 0) {
        std::memcpy(p, kCharFixups.targets[i], 2);
        break;
      }
    }
    if (p[2] != 0) {
      for (std::size_t i = 0; i < kWordFixupCount; ++i) {
        if (std::memcmp(p, kWordFixups.sources[i], 4) == 0) {
          std::memcpy(p, kWordFixups.targets[i], 4);
          break;
        }
      }
    }
    p += 2;
  }
}

TEST(ApplyFixups, AgreesWithTheLinearSearchOnMixedTexts) {
  // Characters of both tables, their neighbours, ASCII and stray bytes, drawn by a fixed generator.
  std::vector<std::string> alphabet = {"A", " ", "\r\n", "\x81\x40", "\xB0\xA1", "\xC2\xA1", "\xC7"};
  for (std::size_t i = 0; i < kCharFixupCount; ++i) {
    alphabet.push_back(Bytes(kCharFixups.sources[i], 2));
    alphabet.push_back(Bytes(kCharFixups.targets[i], 2));
  }
  for (std::size_t i = 0; i < kWordFixupCount; ++i) {
    for (std::size_t k = 0; k < 4; k += 2) {
      alphabet.push_back(Bytes(kWordFixups.sources[i] + k, 2));
      alphabet.push_back(Bytes(kWordFixups.targets[i] + k, 2));
    }
  }
  std::uint32_t state = 12345;
  auto next = [&state](std::uint32_t bound) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % bound;
  };
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    for (std::uint32_t n = next(24); n-- > 0;) text += alphabet[next(static_cast<std::uint32_t>(alphabet.size()))];
    std::string expected = text;
    LinearFixups(reinterpret_cast<unsigned char*>(expected.data()));
    ASSERT_EQ(Hex(Fixed(text)), Hex(expected)) << "text " << Hex(text);
  }
}

}  // namespace

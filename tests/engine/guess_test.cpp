#include "guess.h"

#include <gtest/gtest.h>

#include <string>

#include "bounded.h"

namespace {

struct Row {
  const char* what;
  const char* text;
  Cause cause;
  bool confident;
};

const Row kRows[] = {
    // Nothing to repair
    {"empty text", "", Cause::kAscii, true},
    {"plain ASCII sheet", "PERFORMER \"Various\"\r\nTITLE \"Live\"\r\nFILE \"a.wav\" WAVE\r\n", Cause::kAscii, true},
    // One title of four characters
    {"Big5 title", "TITLE \"\xA6\xCA\xBE\xD4\"\r\n", Cause::kBig5, true},
    {"GBK title", "TITLE \"\xB0\xD9\xD5\xBD\"\r\n", Cause::kGbk, true},
    {"Shift-JIS kana", "TITLE \"\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD\"\r\n", Cause::kShiftJis, true},
    // An accent between ASCII letters
    {"Windows-1252 accent", "TITLE \"Caf\xE9 de Flore\"\r\n", Cause::kWestern, true},
    // UTF-8
    {"UTF-8 accent", "TITLE \"Caf\xC3\xA9 de Flore\"\r\n", Cause::kUtf8, true},
    {"UTF-8 with a byte-order mark", "\xEF\xBB\xBFTITLE \"Live\"\r\n", Cause::kUtf8, true},
    // Not text
    {"binary data", "\x01\x02\x03\x04\x05\xFF\xFE", Cause::kUnknown, true},
};

TEST(GuessCause, Rows) {
  for (const Row& row : kRows) {
    const Guess guess = GuessCause(row.text);
    ASSERT_FALSE(guess.ranked.empty()) << row.what;
    EXPECT_EQ(CauseName(guess.ranked[0].cause), CauseName(row.cause)) << row.what << ": " << Hex(row.text);
    EXPECT_EQ(guess.confident, row.confident) << row.what << ": score " << guess.ranked[0].score;
  }
}

TEST(GuessCause, NullIsEmptyAscii) {
  const Guess guess = GuessCause(nullptr);
  EXPECT_EQ(guess.ranked[0].cause, Cause::kAscii);
  EXPECT_TRUE(guess.confident);
}

TEST(GuessCause, EveryCauseOnceWithScoresThatAddUpToOne) {
  for (const Row& row : kRows) {
    const Guess guess = GuessCause(row.text);
    ASSERT_EQ(guess.ranked.size(), std::size(kCauseNames)) << row.what;
    double sum = 0;
    for (std::size_t i = 0; i < guess.ranked.size(); ++i) {
      sum += guess.ranked[i].score;
      EXPECT_GE(guess.ranked[i].score, 0) << row.what;
      if (i > 0) {
        EXPECT_GE(guess.ranked[i - 1].score, guess.ranked[i].score) << row.what;
      }
      for (std::size_t j = 0; j < i; ++j) EXPECT_NE(guess.ranked[i].cause, guess.ranked[j].cause) << row.what;
    }
    EXPECT_NEAR(sum, 1, 1e-9) << row.what;
  }
}

}  // namespace

#include <gtest/gtest.h>

#include <string>

#include "bounded.h"
#include "conversions.h"
#include "repair.h"
#include "text_services.h"
#include "western.h"
#include "wide_text.h"

namespace {

std::string GbkToUtf8(const std::string& gbk) {
  return Narrow(TextServices::kCodePageUtf8, Widen(TextServices::kCodePageGbk, gbk));
}

struct LossRow {
  const char* name;
  const char* text;
  Cause cause;
  unsigned target;
  std::size_t count, firstLine;
};

const LossRow kLossRows[] = {
    // Nothing lost
    {"big5 text", "TITLE \x22\xB3\xCC\xAB\xE1\xB6\xEA\xBBR\xA6\xB1\x22\r\n", Cause::kBig5, kRepairGbk, 0, 0},
    {"a question mark of the text is no loss", "Why?\r\n\xA7k\xA7O?", Cause::kBig5, kRepairGbk, 0, 0},
    {"utf-8 byte-order mark", "\xEF\xBB\xBF\xE7\x8E\x8B\xE8\x8F\xB2", Cause::kUtf8, kRepairGbk, 0, 0},
    {"western letters", "Beyonc\xE9 \x96 Z\xFCrich", Cause::kWestern, kRepairGbk, 0, 0},
    {"shift-jis middle dot itself, to UTF-8", "\x81\x45", Cause::kShiftJis, kRepairUtf8, 0, 0},
    {"causes without a routine", "\xFF\xFE", Cause::kGbk, kRepairGbk, 0, 0},
    {"empty", "", Cause::kBig5, kRepairGbk, 0, 0},
    // Undefined sequences, whatever the target: a lead byte takes any next byte with it
    {"big5 lead before a digit", "ok\r\n\xA1\x30?\r\n", Cause::kBig5, kRepairUtf8, 1, 2},
    {"big5 lead eats a question mark", "\xA1?", Cause::kBig5, kRepairGbk, 1, 1},
    {"big5 lead at the end", "ab\xA7", Cause::kBig5, kRepairGbk, 1, 1},
    {"shift-jis unassigned row 85", "\x82\xA0\n\x85\x40\x81\x45", Cause::kShiftJis, kRepairUtf8, 1, 2},
    {"utf-8 cut short", "a\n\n\xE6\x88(", Cause::kUtf8, kRepairUtf8, 1, 3},
    {"utf-8 replacement character itself, to UTF-8", "\xEF\xBF\xBD", Cause::kUtf8, kRepairUtf8, 0, 0},
    {"western unassigned bytes", "a\x81\n\x8D\x8F\x90\x9D", Cause::kWestern, kRepairUtf8, 5, 1},
    {"counted on every line", "\xA1\x30\n\n\xA1\x30\xA1\x30", Cause::kBig5, kRepairGbk, 3, 1},
    // Characters GBK cannot hold
    {"big5 hyphenation point", "\xB7R\n\xB7R\xA1\x45\xB7R", Cause::kBig5, kRepairGbk, 1, 2},
    {"big5 hyphenation point, to UTF-8", "\xB7R\xA1\x45\xB7R", Cause::kBig5, kRepairUtf8, 0, 0},
    {"utf-8 hangul", "\xED\x95\x9C\xEA\xB8\x80", Cause::kUtf8, kRepairGbk, 2, 1},
    {"utf-8 beyond the first plane: one character", "x\n\xF0\x9F\x98\x80", Cause::kUtf8, kRepairGbk, 1, 2},
    {"utf-8 replacement character itself", "\xEF\xBF\xBD", Cause::kUtf8, kRepairGbk, 1, 1},
};

TEST(FindLosses, CountsEachCharacterThatWouldBecomeADefaultOne) {
  for (const LossRow& row : kLossRows) {
    const Losses losses = FindLosses(row.text, row.cause, row.target);
    EXPECT_EQ(losses.count, row.count) << row.name;
    EXPECT_EQ(losses.firstLine, row.firstLine) << row.name;
  }
  EXPECT_EQ(FindLosses(nullptr, Cause::kBig5, kRepairGbk).count, 0u);
}

struct RepairRow {
  const char* name;
  const char* text;
  Cause cause;
};

// Texts whose every character GBK holds: the UTF-8 repair is the GBK one in UTF-8.
const RepairRow kLossless[] = {
    {"big5 with mapping and corrections", "\xA9P\xB5\xD8\xB0\xB7 \xB3\xCC\xAB\xE1\xB6\xEA\xBBR\xA6\xB1\r\n\xA4\x5A",
     Cause::kBig5},
    {"big5 undefined sequence becomes '?' in both", "\xA1\x30\xB7R", Cause::kBig5},
    {"shift-jis kana and kanji",
     "\x82\xA0\x82\xE8\x82\xAA\x82\xC6\x82\xA4 \x8B"
     "C\x82\xDC\x82\xAE\x82\xEA",
     Cause::kShiftJis},
    {"utf-8 with its mark", "\xEF\xBB\xBF\xE7\x8E\x8B\xE8\x8F\xB2\r\n\xE7\xBA\xA2\xE8\xB1\x86", Cause::kUtf8},
    {"western", "D\xE9j\xE0 Vu \x96 \xA9 2009\x85", Cause::kWestern},
};

TEST(RepairText, GbkIsTheDialogsRoutineAndUtf8TheSameText) {
  for (const RepairRow& row : kLossless) {
    const std::size_t n = Length(row.text);
    const std::string dialog = row.cause == Cause::kBig5       ? RunBounded(Big5ToGbkSimplified, row.text, 2 * n + 1)
                               : row.cause == Cause::kShiftJis ? RunBounded(ShiftJisToGbk, row.text, 2 * n + 1)
                               : row.cause == Cause::kWestern  ? RunBounded(WesternToAscii, row.text, 3 * n + 1)
                                                               : RunBounded(Utf8ToGbk, row.text, n + 1);
    EXPECT_EQ(Hex(RepairText(row.text, row.cause, kRepairGbk)), Hex(dialog)) << row.name;
    EXPECT_EQ(Hex(RepairText(row.text, row.cause, kRepairUtf8)), Hex(GbkToUtf8(dialog))) << row.name;
  }
}

struct Utf8Row {
  const char* name;
  const char* text;
  Cause cause;
  const char* expected;
};

const Utf8Row kUtf8Rows[] = {
    // 愛相隨‧ -> 爱相随‧: the point GBK lacks stays, the characters around it are simplified
    {"big5 keeps the hyphenation point", "\xB7R\xAC\xDB\xC0H\xA1\x45", Cause::kBig5,
     "\xE7\x88\xB1\xE7\x9B\xB8\xE9\x9A\x8F\xE2\x80\xA7"},
    // 後 -> 后 comes from the corrections, which run on each stretch GBK holds
    {"big5 corrections beside a kept character", "\xA1\x45\xAB\xE1", Cause::kBig5, "\xE2\x80\xA7\xE5\x90\x8E"},
    {"utf-8 hangul and emoji kept", "\xEF\xBB\xBF\xED\x95\x9C \xF0\x9F\x98\x80", Cause::kUtf8,
     "\xED\x95\x9C \xF0\x9F\x98\x80"},
    {"causes without a routine give the text", "\xCE\xD2", Cause::kGbk, "\xCE\xD2"},
};

TEST(RepairText, Utf8KeepsWhatGbkCannotHold) {
  for (const Utf8Row& row : kUtf8Rows)
    EXPECT_EQ(Hex(RepairText(row.text, row.cause, kRepairUtf8)), Hex(row.expected)) << row.name;
  EXPECT_EQ(RepairText(nullptr, Cause::kBig5, kRepairUtf8), "");
}

}  // namespace

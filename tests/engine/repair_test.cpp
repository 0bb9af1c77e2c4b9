#include <gtest/gtest.h>

#include <algorithm>
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
    {"big5 lead before a line feed", "\xA4@\xA4\n\xA4@", Cause::kBig5, kRepairGbk, 1, 1},
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
    // A repair that tells what it lost tells it of every text it converts; another never vouches for one.
    bool lostNothing;
    RepairText(std::string(row.text), row.cause, row.target, lostNothing);
    const bool tells = RepairTellsLosses(row.cause, row.target) && *row.text != '\0';
    EXPECT_EQ(lostNothing, tells && row.count == 0) << row.name;
  }
  EXPECT_EQ(FindLosses(nullptr, Cause::kBig5, kRepairGbk).count, 0u);
}

// Above a megabyte the text converts on two threads: a loss in either's share is told.
TEST(RepairText, TellsALossInEitherThreadsShare) {
  std::string text;
  while (text.size() < 1'100'000) text += "TITLE \x22\xB3\xCC\xAB\xE1\xB6\xEA\x22\r\n";
  for (const std::size_t at : {std::size_t{0}, text.size() / 2 + 10'000, text.size() - 5}) {
    std::string lossy = text;
    lossy.replace(at, 2, "\xA1\x30");
    for (const std::string* sheet : {&text, &lossy}) {
      bool lostNothing;
      RepairText(*sheet, Cause::kBig5, kRepairGbk, lostNothing);
      EXPECT_EQ(lostNothing, sheet == &text) << at;
      EXPECT_EQ(FindLosses(*sheet, Cause::kBig5, kRepairGbk).count, sheet == &text ? 0u : 1u) << at;
    }
  }
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

struct LongRow {
  const char* name;
  Cause cause;
  Conversion routine;
  const char* first;  // once, then `lines` again and again
  const char* lines;
};

// Long texts go through a routine some lines at a time, one above a megabyte on two threads; the result must be
// the routine's over the whole text, whatever line each stretch or thread's share ends at: a lead byte before the
// line feed, a correction or half-width kana after it, UTF-8 that only one stretch holds ill-formed, and a
// byte-order mark opening every line.
const LongRow kLongRows[] = {
    {"big5", Cause::kBig5, Big5ToGbkSimplified, "",
     "TITLE \x22\xB3\xCC\xAB\xE1\xB6\xEA\xBBR\xA6\xB1\x22\r\n\xAB\xE1\xA4\n"},
    {"shift-jis", Cause::kShiftJis, ShiftJisToGbk, "", "\xB1\xB2 \x82\xA0\x82\xE8\r\n\x82\n"},
    {"utf-8, ill-formed once", Cause::kUtf8, Utf8ToGbk, "\xEF\xBB\xBF\xE6\x88\n", "\xE7\x8E\x8B\xE8\x8F\xB2\r\n"},
    {"utf-8, marks", Cause::kUtf8, Utf8ToGbk, "", "\xEF\xBB\xBF\xE7\x8E\x8B\r\n"},
    {"western", Cause::kWestern, WesternToAscii, "", "D\xE9j\xE0 Vu \x85\x8D\r\n"},
};

TEST(RepairText, LongTextsAsTheRoutineGivesThem) {
  for (const LongRow& row : kLongRows) {
    std::string text = row.first;
    while (text.size() < 1'100'000) text += row.lines;
    const std::string whole = RunBounded(row.routine, text.c_str(), OutputRoom(row.routine, text.size()));
    const std::string repaired = RepairText(text, row.cause, kRepairGbk);
    const auto differ = std::mismatch(repaired.begin(), repaired.end(), whole.begin(), whole.end());
    EXPECT_TRUE(differ.first == repaired.end() && differ.second == whole.end())
        << row.name << ": differs at " << (differ.first - repaired.begin()) << " of " << whole.size();
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

struct SourceRow {
  const char* name;
  Cause cause;
  std::string text, gbk, utf8;
  std::size_t lostToGbk;  // characters GBK does not hold exactly, each '?' in the GBK text
  std::size_t lostToUtf8 = 0;
};

// The sources without a routine of the window: to UTF-8 without loss; to GBK where GBK holds every character.
const SourceRow kSourceRows[] = {
    {"russian, windows-1251", Cause::kWindows1251, "\xCF\xF0\xE8\xE2\xE5\xF2\x2C\x20\xEC\xE8\xF0",
     "\xA7\xB1\xA7\xE2\xA7\xDA\xA7\xD3\xA7\xD6\xA7\xE4\x2C\x20\xA7\xDE\xA7\xDA\xA7\xE2",
     "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\x2C\x20\xD0\xBC\xD0\xB8\xD1\x80", 0},
    {"ukrainian: its yi and ye are not in GBK", Cause::kWindows1251, "\xCA\xE8\xBF\xE2\x20\xBA",
     "\xA7\xAC\xA7\xDA\x3F\xA7\xD3\x20\x3F", "\xD0\x9A\xD0\xB8\xD1\x97\xD0\xB2\x20\xD1\x94", 2},
    {"russian, koi8-r", Cause::kKoi8R, "\xB3\xCC\xCB\xC1", "\xA7\xA7\xA7\xDD\xA7\xDC\xA7\xD1",
     "\xD0\x81\xD0\xBB\xD0\xBA\xD0\xB0", 0},
    {"czech, windows-1250", Cause::kWindows1250, "\x44\x76\x6F\xF8\xE1\x6B", "\x44\x76\x6F\x3F\xA8\xA2\x6B",
     "\x44\x76\x6F\xC5\x99\xC3\xA1\x6B", 1},
    {"czech, iso-8859-2", Cause::kIso8859_2, "\x44\x76\x6F\xF8\xE1\x6B", "\x44\x76\x6F\x3F\xA8\xA2\x6B",
     "\x44\x76\x6F\xC5\x99\xC3\xA1\x6B", 1},
    {"plain greek letters", Cause::kWindows1253, "\xC1\xC2\xC3\x20\xE1\xE2\xE3",
     "\xA6\xA1\xA6\xA2\xA6\xA3\x20\xA6\xC1\xA6\xC2\xA6\xC3", "\xCE\x91\xCE\x92\xCE\x93\x20\xCE\xB1\xCE\xB2\xCE\xB3", 0},
    {"greek with its accents", Cause::kWindows1253, "\xC1\xE8\xDE\xED\xE1", "\xA6\xA1\xA6\xC8\x3F\xA6\xCD\xA6\xC1",
     "\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1", 1},
    {"turkish", Cause::kWindows1254, "\xDD\x73\x74\x61\x6E\x62\x75\x6C", "\x3F\x73\x74\x61\x6E\x62\x75\x6C",
     "\xC4\xB0\x73\x74\x61\x6E\x62\x75\x6C", 1},
    {"hebrew", Cause::kWindows1255, "\xF9\xEC\xE5\xED", "\x3F\x3F\x3F\x3F", "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", 4},
    {"lithuanian", Cause::kWindows1257, "\xD0\x69\x61\x75\x6C\x69\x61\x69", "\x3F\x69\x61\x75\x6C\x69\x61\x69",
     "\xC5\xA0\x69\x61\x75\x6C\x69\x61\x69", 1},
    {"korean", Cause::kEucKr, "\xC7\xD1\xB1\xB9\xBE\xEE", "\x3F\x3F\x3F", "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4", 3},
    {"japanese", Cause::kEucJp, "\xC5\xEC\xB5\xFE\xA4\xCE\xB2\xCE", "\x96\x7C\xBE\xA9\xA4\xCE\xB8\xE8",
     "\xE6\x9D\xB1\xE4\xBA\xAC\xE3\x81\xAE\xE6\xAD\x8C", 0},
    // Bytes a code page leaves undefined: U+FFFD, '?' in GBK, a loss whatever the target
    {"windows-1251's undefined 98", Cause::kWindows1251, "a\x98", "a?", "a\xEF\xBF\xBD", 1, 1},
    {"windows-1255's undefined D9 and its holam CA", Cause::kWindows1255, "\xD9\xCA", "??", "\xEF\xBF\xBD\xD6\xBA", 2,
     1},
    // A pair the code page does not define decodes to its default character, as Windows decodes it
    {"euc-kr's lone lead byte; its '?' is no loss", Cause::kEucKr, "?\xC7", "??", "??", 1, 1},
    {"euc-kr's undefined FF", Cause::kEucKr, "\xFF", "?", "\xEF\xBF\xBD", 1, 1},
    {"euc-jp's 8F, which Windows does not read as JIS X 0212", Cause::kEucJp, "\x8F\xB0\xA1", "?\x81\x84",
     "\xEF\xBF\xBD\xE4\xBA\x9C", 1, 1},
};

TEST(RepairText, OtherSourcesAtEveryAlignment) {
  for (const SourceRow& row : kSourceRows) {
    for (std::size_t k = 0; k < kAlignments; ++k) {
      const std::string prefix = AsciiPrefix(k);
      EXPECT_EQ(Hex(RepairText(prefix + row.text, row.cause, kRepairGbk)), Hex(prefix + row.gbk)) << row.name << k;
      EXPECT_EQ(Hex(RepairText(prefix + row.text, row.cause, kRepairUtf8)), Hex(prefix + row.utf8)) << row.name << k;
    }
    const Losses gbk = FindLosses(row.text, row.cause, kRepairGbk);
    EXPECT_EQ(gbk.count, row.lostToGbk) << row.name;
    EXPECT_EQ(gbk.firstLine, row.lostToGbk == 0 ? 0u : 1u) << row.name;
    EXPECT_EQ(FindLosses(row.text, row.cause, kRepairUtf8).count, row.lostToUtf8) << row.name;
  }
}

TEST(FindLosses, OtherSourcesByLine) {
  const Losses losses = FindLosses("\xCF\xF0\xE8\r\n\xBF\n\xBA\x98", Cause::kWindows1251, kRepairGbk);
  EXPECT_EQ(losses.count, 3u);
  EXPECT_EQ(losses.firstLine, 2u);
  EXPECT_EQ(FindLosses("\xCF\xF0\xE8\r\n\xBF\n\xBA\x98", Cause::kWindows1251, kRepairUtf8).firstLine, 3u);
}

struct Utf16Row {
  const char* name;
  Cause cause;
  std::string bytes, gbk, utf8;
  std::size_t lostToGbk, lostToUtf8;
};

const Utf16Row kUtf16Rows[] = {
    {"little-endian with its mark", Cause::kUtf16Le, std::string("\xFF\xFE\x68\x54\x4E\x53\x0D\0\x0A\0", 10),
     "\xD6\xDC\xBB\xAA\r\n", "\xE5\x91\xA8\xE5\x8D\x8E\r\n", 0, 0},
    {"big-endian without a mark", Cause::kUtf16Be, std::string("\0A\x54\x68", 4), "A\xD6\xDC", "A\xE5\x91\xA8", 0, 0},
    {"a mark of the other order is a character", Cause::kUtf16Be, std::string("\xFF\xFE\0A", 4), "?A",
     "\xEF\xBF\xBE"
     "A",
     1, 0},
    {"hangul and a character beyond the first plane", Cause::kUtf16Le, std::string("\x5C\xD5\x0A\0\x3D\xD8\x00\xDE", 8),
     "?\n?", "\xED\x95\x9C\n\xF0\x9F\x98\x80", 2, 0},
    {"lone surrogates and an odd last byte", Cause::kUtf16Le,
     std::string("\x3D\xD8"
                 "A\0\x00\xDE\x0A\0B",
                 9),
     "?A?\n?",
     "\xEF\xBF\xBD"
     "A\xEF\xBF\xBD\n\xEF\xBF\xBD",
     3, 3},
    {"the text ends at a NUL character", Cause::kUtf16Le, std::string("A\0\0\0B\0", 6), "A", "A", 0, 0},
};

TEST(RepairText, Utf16) {
  for (const Utf16Row& row : kUtf16Rows) {
    EXPECT_EQ(Hex(RepairText(row.bytes, row.cause, kRepairGbk)), Hex(row.gbk)) << row.name;
    EXPECT_EQ(Hex(RepairText(row.bytes, row.cause, kRepairUtf8)), Hex(row.utf8)) << row.name;
    EXPECT_EQ(FindLosses(row.bytes, row.cause, kRepairGbk).count, row.lostToGbk) << row.name;
    EXPECT_EQ(FindLosses(row.bytes, row.cause, kRepairUtf8).count, row.lostToUtf8) << row.name;
  }
  EXPECT_EQ(FindLosses(std::string("\x5C\xD5\x0A\0\x3D\xD8\x00\xDE", 8), Cause::kUtf16Le, kRepairGbk).firstLine, 1u);
  EXPECT_EQ(FindLosses(std::string("A\0\n\0\x3D\xD8", 6), Cause::kUtf16Le, kRepairUtf8).firstLine, 2u);
  EXPECT_TRUE(HoldsNul(std::string("\xFF\xFE"
                                   "A\0\0\0",
                                   6),
                       Cause::kUtf16Le));
  EXPECT_FALSE(HoldsNul(std::string("\xFF\xFE"
                                    "A\0\0\x4E",
                                    6),
                        Cause::kUtf16Le));
  EXPECT_TRUE(HoldsNul(std::string("A\0", 2), Cause::kWindows1251));
}

}  // namespace

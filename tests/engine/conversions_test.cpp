#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "bounded.h"
#include "conversions.h"

namespace {

struct Routine {
  const char* name;
  Conversion convert;
};

const Routine kBig5ToGbkSimplified = {"Big5ToGbkSimplified", Big5ToGbkSimplified};
const Routine kShiftJisToGbk = {"ShiftJisToGbk", ShiftJisToGbk};
const Routine kGbkToSimplified = {"GbkToSimplified", GbkToSimplified};
const Routine kGbkToTraditional = {"GbkToTraditional", GbkToTraditional};
const Routine kGbkToBig5Traditional = {"GbkToBig5Traditional", GbkToBig5Traditional};
const Routine kUtf8ToGbk = {"Utf8ToGbk", Utf8ToGbk};
const Routine kAll[] = {kBig5ToGbkSimplified, kShiftJisToGbk,        kGbkToSimplified,
                        kGbkToTraditional,    kGbkToBig5Traditional, kUtf8ToGbk};

std::string Convert(const Routine& routine, const char* input) {
  return RunBounded(routine.convert, input, OutputRoom(routine.convert, Length(input)));
}

struct Row {
  const Routine& routine;
  const char* input;
  const char* expected;
};

const Row kRows[] = {
    // The probes' samples
    {kBig5ToGbkSimplified, "\xBA\xDE\xB2\x7A", "\xB9\xDC\xC0\xED"},  // 管理
    {kGbkToBig5Traditional, "\xB9\xDC\xC0\xED", "\xBA\xDE\xB2\x7A"},
    {kGbkToSimplified, "\xB0\xD9\x91\xF0", "\xB0\xD9\xD5\xBD"},   // 百戰 -> 百战
    {kGbkToTraditional, "\xB0\xD9\xD5\xBD", "\xB0\xD9\x91\xF0"},  // 百战 -> 百戰
    {kShiftJisToGbk, "\x90\xA2\x8A\x45", "\xCA\xC0\xBD\xE7"},     // 世界
    // Big5: code page, script mapping and correction pass together
    {kBig5ToGbkSimplified, "TITLE \"\xA6\xCA\xBE\xD4\"\r\n", "TITLE \"\xB0\xD9\xD5\xBD\"\r\n"},  // 百戰 -> 百战
    {kBig5ToGbkSimplified, "\xAB\xE1\xA8\xD3", "\xBA\xF3\xC0\xB4"},                              // 後來 -> 后来
    {kBig5ToGbkSimplified, "\xB0\xAE\xB6\xA9", "\xC7\xAC\xC2\xA1"},  // 乾隆: mapped to 干隆, corrected back
    {kBig5ToGbkSimplified,
     "\xA1\x5F"
     "A",
     "\xA3\xA8"
     "A"},  // vertical ︵ -> （
    // Big5 bytes that form no character: the default character, as Windows gives it
    {kBig5ToGbkSimplified, "A\xA4", "A?"},
    {kBig5ToGbkSimplified,
     "\xA4\x7F"
     "B",
     "?B"},
    {kBig5ToGbkSimplified, "\xA4 B", "?B"},
    {kBig5ToGbkSimplified, "\x80\xFF\x81\x40", "???"},  // no GBK form
    // Shift-JIS
    {kShiftJisToGbk, "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD", "\xA4\xB3\xA4\xF3\xA4\xCB\xA4\xC1\xA4\xCF"},
    {kShiftJisToGbk, "\x93\x8C\x8B\x9E", "\x96\x7C\xBE\xA9"},  // 東京: no script mapping
    {kShiftJisToGbk, "\x81\x60", "\xA1\xAB"},                  // wave dash
    {kShiftJisToGbk, "\xB1\xDF", "??"},                        // half-width katakana: not in GBK
    {kShiftJisToGbk, "\x80\xA0\xFD\xFE\xFF", "?????"},
    {kShiftJisToGbk, "A\x82", "A?"},
    {kShiftJisToGbk, "\x82 B", "?B"},
    // GBK mappings: lone lead bytes and bytes of no character pass unchanged
    {kGbkToSimplified, "\xC7\xAC\xC2\xA1\xE1\xE1\x81\xED", "\xC7\xAC\xC2\xA1\xBA\xF3\xC0\xB4"},  // 乾隆後來
    {kGbkToSimplified, "A\x91", "A\x91"},
    {kGbkToTraditional, "A\xB0", "A\xB0"},
    {kGbkToTraditional, "\x80\xFF", "\x80\xFF"},
    {kGbkToBig5Traditional, "\xB0\xD9\xD5\xBD", "\xA6\xCA\xBE\xD4"},  // 百战 -> Big5 百戰
    // A Big5 form longer than the traditional text (the euro sign takes two bytes in Big5) gives nothing
    {kGbkToBig5Traditional, "\x80", ""},
    {kGbkToBig5Traditional, "AB\x80", ""},
    // UTF-8 sheets, with and without the byte-order mark, which only leads the text if it is dropped
    {kUtf8ToGbk, "TITLE \"\xE4\xB8\xAD\xE6\x96\x87\"\r\n", "TITLE \"\xD6\xD0\xCE\xC4\"\r\n"},  // 中文
    {kUtf8ToGbk, "\xEF\xBB\xBFTITLE \"\xE4\xB8\xAD\"\n", "TITLE \"\xD6\xD0\"\n"},
    {kUtf8ToGbk, "\xEF\xBB\xBF", ""},
    {kUtf8ToGbk, "A\xEF\xBB\xBF", "A?"},
    {kUtf8ToGbk,
     "\xEF\xBB\xBF\xEF\xBB\xBF"
     "A",
     "?A"},
    {kUtf8ToGbk,
     "\xEF\xBB"
     "A",
     "?A"},
    // No script mapping: traditional characters stay traditional; Latin letters GBK holds keep their form
    {kUtf8ToGbk, "\xE5\x91\xA8\xE8\x8F\xAF\xE5\x81\xA5", "\xD6\xDC\xC8\x41\xBD\xA1"},  // 周華健
    {kUtf8ToGbk, "Beyonc\xC3\xA9", "Beyonc\xA8\xA6"},
    // Four-byte characters (a surrogate pair, which GBK spells as two '?') and characters GBK lacks
    {kUtf8ToGbk, "\xF0\x9F\x8E\xB5 A", "?? A"},
    {kUtf8ToGbk, "\xF0\xA0\x80\x80", "??"},
    {kUtf8ToGbk, "\xEF\xBD\xB1\xEA\xB0\x80", "??"},  // half-width katakana, a Hangul syllable
    // Ill-formed bytes: '?' for what the decoder gives up on, never more bytes than went in
    {kUtf8ToGbk,
     "A\x80"
     "B\xFF",
     "A?B?"},
    {kUtf8ToGbk, "\x80\x80\x80", "???"},
    {kUtf8ToGbk, "\xC0\xAF\xE0\x80\xAF", "????"},
    {kUtf8ToGbk, "\xED\xA0\x80\xF4\x90\x80\x80", "?????"},
    {kUtf8ToGbk,
     "\xE4\xB8"
     "AB",
     "?AB"},
    // Cut short by the end of the text, even where the decoder takes the terminator into its U+FFFD
    {kUtf8ToGbk, "AB\xE4\xB8", "AB?"},
    {kUtf8ToGbk,
     "\xE4"
     "A",
     "?A"},
    {kUtf8ToGbk, "A\xF0\x9F", "A?"},
    {kUtf8ToGbk, "\xE4", "?"},
};

TEST(Conversions, Rows) {
  for (const Row& row : kRows) {
    EXPECT_EQ(Hex(Convert(row.routine, row.input)), Hex(row.expected)) << row.routine.name << " of " << Hex(row.input);
  }
}

TEST(Conversions, RowsBehindAsciiAtEveryAlignment) {
  for (const Row& row : kRows) {
    const std::string input = row.input;
    // A byte-order mark is dropped only where it opens the text, so the ASCII bytes go after it.
    const std::size_t at = &row.routine == &kUtf8ToGbk && input.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    // GbkToBig5Traditional gives nothing at all, the ASCII bytes included, when it fails.
    const bool failsWhole = &row.routine == &kGbkToBig5Traditional && *row.expected == '\0';
    for (std::size_t k = 1; k < kAlignments; ++k) {
      const std::string prefix = AsciiPrefix(k);
      const std::string expected = failsWhole ? "" : prefix + row.expected;
      EXPECT_EQ(Hex(Convert(row.routine, std::string(input).insert(at, prefix).c_str())), Hex(expected))
          << row.routine.name << " of " << Hex(row.input) << " behind " << k << " bytes";
    }
  }
}

// Each routine states its own bound; none may fall back on the largest.
TEST(Conversions, EveryRoutineHasItsOwnOutputBound) {
  std::vector<ConversionRoutine> routines{WesternToAscii};
  for (const Routine& routine : kAll) routines.push_back(routine.convert);
  for (const ConversionRoutine routine : routines) {
    EXPECT_EQ(std::count_if(std::begin(kOutputBounds), std::end(kOutputBounds),
                            [routine](const OutputBound& bound) { return bound.routine == routine; }),
              1);
  }
  EXPECT_EQ(std::size(kOutputBounds), routines.size());
}

TEST(Conversions, NullAndEmptyInputGiveEmptyOutput) {
  for (const Routine& routine : kAll) {
    EXPECT_EQ(Convert(routine, nullptr), "") << routine.name;
    EXPECT_EQ(Convert(routine, ""), "") << routine.name;
  }
}

TEST(Conversions, AsciiPassesUnchanged) {
  std::string ascii;
  for (int b = 1; b < 0x80; ++b) ascii += static_cast<char>(b);
  ascii += "\r\nFILE \"CDImage.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n";
  for (const Routine& routine : kAll) EXPECT_EQ(Hex(Convert(routine, ascii.c_str())), Hex(ascii)) << routine.name;
}

TEST(Conversions, StopAtTheFirstNul) {
  const char input[] = "AB\0\xB0\xD9\x91\xF0";
  for (const Routine& routine : kAll) EXPECT_EQ(Convert(routine, input), "AB") << routine.name;
}

TEST(Probes, PassWithTheSystemsCodePages) {
  EXPECT_EQ(ProbeBig5Support(), 1);
  EXPECT_EQ(ProbeShiftJisSupport(), 1);
}

}  // namespace

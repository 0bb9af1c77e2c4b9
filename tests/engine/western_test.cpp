#include <gtest/gtest.h>

#include <string>

#include "bounded.h"
#include "conversions.h"

namespace {

std::string Convert(const char* input) {
  return RunBounded(WesternToAscii, input, OutputRoom(WesternToAscii, Length(input)));
}

struct Row {
  const char* input;
  const char* expected;
};

const Row kRows[] = {
    // Empty and plain ASCII
    {"", ""},
    {"TITLE \"Live\"\r\n\tFILE \"a.wav\" WAVE\r\n", "TITLE \"Live\"\r\n\tFILE \"a.wav\" WAVE\r\n"},
    {"\x01\x1A\x7F", "\x01\x1A\x7F"},
    // Letters and quotes
    {"Caf\xE9", "Cafe"},
    {"\x93Hello\x94", "\"Hello\""},
    {"\xC6\xE6\xDF\xD7\xF7", "AaBOo"},  // Æ æ ß × ÷: one letter each
    // The three-byte symbols, run together and at full expansion
    {"\xA9", "(C)"},
    {"\xA9\xAE", "(C)(R)"},
    {"\xBC\xBD\xBE", "1/41/23/4"},
    {"\xA9\xAE\xBC\xBD\xBE\xA9", "(C)(R)1/41/23/4(C)"},
    // The high-bit rule: results stand as the rule gives them, control bytes included
    {"\xAD\xB0", "-0"},
    {"\x85\xA3\x89\x8D", "\x05#\t\r"},
    // The euro sign, which has no entry of its own, and the bytes after it
    {"5\x80 \xE9t\xE9", "5EUR ete"},
};

TEST(WesternToAscii, Rows) {
  for (const Row& row : kRows) EXPECT_EQ(Convert(row.input), row.expected) << "input " << Hex(row.input);
}

TEST(WesternToAscii, RowsBehindAsciiAtEveryAlignment) {
  for (const Row& row : kRows) {
    for (std::size_t k = 1; k < kAlignments; ++k) {
      const std::string prefix = AsciiPrefix(k);
      EXPECT_EQ(Convert((prefix + row.input).c_str()), prefix + row.expected)
          << "input " << Hex(row.input) << " behind " << k;
    }
  }
}

TEST(WesternToAscii, NullInputIsEmpty) { EXPECT_EQ(RunBounded(WesternToAscii, nullptr, 1), ""); }

TEST(WesternToAscii, EveryByteAbove0x7F) {
  std::string input;
  for (int b = 0x80; b <= 0xFF; ++b) input += static_cast<char>(b);
  const std::string expected =
      "EUR\x01,\x03\x04\x05\x06\x07^\tS<\x0C\rZ\x0F"  // 80-8F
      "\x10''\"\".--~\x19s>\x1C\x1DzY"                // 90-9F
      " i\"#$%|'^(C)a+,-(R)-"                         // A0-AF
      "0123'56',10;1/41/23/4?"                        // B0-BF
      "AAAAAAACEEEEIIII"                              // C0-CF
      "DNOOOOOOOUUUUYPB"                              // D0-DF
      "aaaaaaaceeeeiiii"                              // E0-EF
      "dnooooooouuuuypy";                             // F0-FF
  const std::string output = Convert(input.c_str());
  EXPECT_EQ(output, expected);
  for (const char c : output) EXPECT_LT(static_cast<unsigned char>(c), 0x80);
}

}  // namespace

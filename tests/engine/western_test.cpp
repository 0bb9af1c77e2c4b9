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
    // Symbols are spelled out, never a control byte, digit or sign of another meaning; the five undefined
    // bytes are '?'
    {"\xAD\xB0", "-deg"},
    {"\x85\xA3\x89\x8D", "...GBP%0?"},
    {"25\xB0 \xB1"
     "1 \xAB\xBB",
     "25deg +/-1 <<>>"},
    {"\x81\x8D\x8F\x90\x9D", "?????"},
    {"\x99\x99\x99", "(TM)(TM)(TM)"},  // at full expansion
    {"\x8C\x9C\x83\x86\x87\xA2\xA4\xA5\xA7\xAC\xB5\xB6", "OEoef+++ccurJPYSS!uP"},
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
      "EUR?,f,,...+++^%0S<OE?Z?"      // 80-8F
      "?''\"\".--~(TM)s>oe?zY"        // 90-9F
      " icGBPcurJPY|SS^(C)a<<!-(R)-"  // A0-AF
      "deg+/-23'uP',10>>1/41/23/4?"   // B0-BF
      "AAAAAAACEEEEIIII"              // C0-CF
      "DNOOOOOOOUUUUYPB"              // D0-DF
      "aaaaaaaceeeeiiii"              // E0-EF
      "dnooooooouuuuypy";             // F0-FF
  const std::string output = Convert(input.c_str());
  EXPECT_EQ(output, expected);
  for (const char c : output) EXPECT_LT(static_cast<unsigned char>(c), 0x80);
}

}  // namespace

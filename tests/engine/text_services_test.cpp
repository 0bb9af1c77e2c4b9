// The same rows run against Wine's code-page services and the native ICU tables: where the two could differ
// (undefined bytes, lone lead bytes, characters missing from a code page) Windows' behaviour is the reference.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "bounded.h"
#include "script_table.h"
#include "text_services.h"

namespace TS = TextServices;

namespace {

std::u16string Decode(unsigned codePage, const std::string& bytes) {
  const int needed = TS::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::u16string units(static_cast<std::size_t>(needed) + 4, u'\xCCCC');
  const int written =
      TS::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), units.data(), needed);
  EXPECT_EQ(written, needed);
  EXPECT_LE(needed, static_cast<int>(bytes.size())) << "more than one unit per byte";
  EXPECT_EQ(units.substr(static_cast<std::size_t>(needed)), std::u16string(4, u'\xCCCC'));
  return units.substr(0, static_cast<std::size_t>(written));
}

std::string Encode(unsigned codePage, const std::u16string& units) {
  const int needed = TS::WideCharToMultiByte(codePage, 0, units.data(), static_cast<int>(units.size()), nullptr, 0);
  std::string bytes(static_cast<std::size_t>(needed) + 4, kSentinel);
  const int written =
      TS::WideCharToMultiByte(codePage, 0, units.data(), static_cast<int>(units.size()), bytes.data(), needed);
  EXPECT_EQ(written, needed);
  const int perUnit = codePage == TS::kCodePageUtf8 ? 3 : 2;
  EXPECT_LE(needed, perUnit * static_cast<int>(units.size())) << "more than " << perUnit << " bytes per unit";
  EXPECT_EQ(bytes.substr(static_cast<std::size_t>(needed)), std::string(4, kSentinel));
  return bytes.substr(0, static_cast<std::size_t>(written));
}

std::string HexUnits(const std::u16string& units) {
  std::string hex;
  char unit[8];
  for (const char16_t u : units) {
    std::snprintf(unit, sizeof unit, hex.empty() ? "%04X" : " %04X", static_cast<unsigned>(u));
    hex += unit;
  }
  return hex;
}

struct DecodeRow {
  unsigned codePage;
  std::string bytes;
  std::u16string units;
};

const DecodeRow kDecodeRows[] = {
    // Samples
    {950, "\xBA\xDE\xB2\x7A", u"\x7BA1\x7406"},  // 管理
    {932, "\x90\xA2\x8A\x45", u"\x4E16\x754C"},  // 世界
    {936, "\xB0\xD9\x91\xF0", u"\x767E\x6230"},  // 百戰
    // A lone lead byte becomes the default character; the terminator stays a character of its own
    {950, std::string("A\xA4\0", 3), std::u16string(u"A?\0", 3)},
    {936, std::string("A\xB0\0", 3), std::u16string(u"A?\0", 3)},
    {932, std::string("A\x82\0", 3), std::u16string(u"A\x30FB\0", 3)},
    {950, std::string("\xA4\0B", 3), std::u16string(u"?\0B", 3)},
    // A lead byte and an undefined trail byte make one default character
    {950,
     "\xA4\x7F"
     "B",
     u"?B"},
    {936, "\x81 B", u"?B"},
    {932,
     "\x82\x20"
     "B",
     u"\x30FB"
     "B"},
    // Single bytes: 932 keeps every ASCII byte and gives the undefined ones Windows' characters
    {932, "\x1A\x1C\x7F", u"\x001A\x001C\x007F"},
    {932, "\x80\xA0\xFD\xFE\xFF", u"\x0080\xF8F0\xF8F1\xF8F2\xF8F3"},
    {932, "\xB1\xDF", u"\xFF71\xFF9F"},  // half-width katakana
    {936, "\x80\xFF", u"\x20AC\xF8F5"},
    {950, "\x80\xFF", u"\x0080\xF8F8"},
    // User-defined Big5 pairs decode to private use
    {950, "\x81\x40\xFE\xFE", u"\xEEB8\xE310"},
    // UTF-8: a byte-order mark is a character like any other; four bytes make a surrogate pair
    {65001,
     "\xEF\xBB\xBF"
     "A",
     u"\xFEFF"
     "A"},
    {65001, "\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80", u"\x00E9\x4E2D\xD83D\xDE00"},
    {65001, "\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF4\x8F\xBF\xBF", u"\x0080\x07FF\x0800\xFFFF\xDBFF\xDFFF"},
    // Bytes that start nothing, overlong forms, surrogates and code points past U+10FFFF: U+FFFD for the bytes
    // up to where the decoder gives up, then each byte left on its own
    {65001,
     "\x80"
     "A\xBF\xFF\xF5\x80",
     u"\xFFFD"
     "A\xFFFD\xFFFD\xFFFD\xFFFD"},
    {65001, "\xC0\x80\xC1\xBF", u"\xFFFD\xFFFD\xFFFD\xFFFD"},
    {65001,
     "\xE0\x80\x80"
     "A",
     u"\xFFFD\xFFFD"
     "A"},
    {65001,
     "\xE0\x9F\xBF"
     "A",
     u"\xFFFD\xFFFD"
     "A"},
    {65001,
     "\xF0\x80\x80\x80"
     "A",
     u"\xFFFD\xFFFD\xFFFD"
     "A"},
    {65001, "\xED\xA0\x80\xED\xBF\xBF", u"\xFFFD\xFFFD\xFFFD\xFFFD"},
    {65001,
     "\xF4\x90\x80\x80"
     "A",
     u"\xFFFD\xFFFD\xFFFD"
     "A"},
    // A sequence cut short by a byte that cannot continue it: one U+FFFD, and that byte starts afresh
    {65001,
     "\xE4\xB8"
     "AB",
     u"\xFFFD"
     "AB"},
    {65001, "\xF0\x9F\x98\xE4\xB8\xAD", u"\xFFFD\x4E2D"},
    {65001, "\xC3\xC3\xA9", u"\xFFFD\x00E9"},
    // A sequence that runs past the end: one U+FFFD for all the bytes left, even ones that are ASCII
    {65001, "A\xE4\xB8", u"A\xFFFD"},
    {65001, "\xF0\x9F\x98\x80\xF0\x9F\x98", u"\xD83D\xDE00\xFFFD"},
    {65001,
     "\xE4"
     "A",
     u"\xFFFD"},
    {65001,
     std::string("\xE4"
                 "A\0",
                 3),
     std::u16string(u"\xFFFD"
                    "A\0",
                    3)},
    {65001, std::string("\xF0\x9F\0", 3), std::u16string(u"\xFFFD", 1)},
    // 1252: every byte one unit; the five it leaves undefined become the C1 controls of the same value
    {1252, "\x80\x81\x8D\x8F\x90\x9D\x9F\xA0\xE9\xFF", u"\x20AC\x0081\x008D\x008F\x0090\x009D\x0178\x00A0\x00E9\x00FF"},
    {1252, "\x91\x92\x93\x94\x96\x97\x85", u"\x2018\x2019\x201C\x201D\x2013\x2014\x2026"},
};

TEST(MultiByteToWideChar, Rows) {
  for (const DecodeRow& row : kDecodeRows) {
    EXPECT_EQ(HexUnits(Decode(row.codePage, row.bytes)), HexUnits(row.units))
        << "code page " << row.codePage << ", bytes " << Hex(row.bytes);
  }
}

TEST(MultiByteToWideChar, LengthsAndRoom) {
  char16_t units[8];
  EXPECT_EQ(TS::MultiByteToWideChar(936, 0, "A\xB0\xA1", -1, nullptr, 0), 3);  // terminator counted
  EXPECT_EQ(TS::MultiByteToWideChar(936, 0, "A\xB0\xA1", 3, nullptr, 0), 2);   // explicit count: not
  EXPECT_EQ(TS::MultiByteToWideChar(936, 0, "A\xB0\xA1", -1, units, 2), 0);    // does not fit
  EXPECT_EQ(TS::MultiByteToWideChar(936, 0, "A\xB0\xA1", -1, units, 3), 3);
  EXPECT_EQ(HexUnits(std::u16string(units, 3)), "0041 554A 0000");
  EXPECT_EQ(TS::MultiByteToWideChar(936, 0, "A", 0, units, 8), 0);
  char16_t many[16];
  EXPECT_EQ(TS::MultiByteToWideChar(936, 0, "TRACK 01 AUDIO", -1, many, 14), 0);  // one unit short
  EXPECT_EQ(TS::MultiByteToWideChar(936, 0, "TRACK 01 AUDIO", -1, many, 15), 15);
}

TEST(MultiByteToWideChar, Utf8Room) {
  char16_t units[8];
  EXPECT_EQ(TS::MultiByteToWideChar(65001, 0, "\xE4\xB8\xAD", -1, nullptr, 0), 2);
  EXPECT_EQ(TS::MultiByteToWideChar(65001, 0, "\xE4\xB8\xAD", -1, units, 1), 0);
  EXPECT_EQ(TS::MultiByteToWideChar(65001, 0,
                                    "A\xF0\x9F\x98\x80"
                                    "B",
                                    6, units, 2),
            0);
  // Wine counts a room that ends inside the source's last character, a surrogate pair, as done
  EXPECT_EQ(TS::MultiByteToWideChar(65001, 0, "A\xF0\x9F\x98\x80", 5, units, 2), 2);
  EXPECT_EQ(HexUnits(std::u16string(units, 2)), "0041 D83D");
  EXPECT_EQ(TS::MultiByteToWideChar(65001, 0, "A\xF0\x9F\x98\x80", -1, units, 3), 0);
}

struct EncodeRow {
  unsigned codePage;
  std::u16string units;
  std::string bytes;
};

const EncodeRow kEncodeRows[] = {
    {936, u"\x7BA1\x7406", "\xB9\xDC\xC0\xED"},  // 管理
    {950, u"\x7BA1\x7406", "\xBA\xDE\xB2\x7A"},
    {936, u"\x20AC", "\x80"},
    {950, u"\x20AC", "\xA3\xE1"},
    {950, u"\xEEB8", "\x81\x40"},
    // Characters missing from the code page: Windows' best fit where it has one, else '?'
    {936, u"\x00A6\x00E9", "|\xA8\xA6"},
    {950, u"\x00E9", "e"},
    {936, u"\x30FB\xFF71\xFFE9\x0080", "????"},
    {950, u"\x30FB\xFF71", "??"},
    // Surrogates: each unit on its own
    {936, u"\xD83D\xDE00", "??"},
    {936,
     u"\xD83D"
     "A",
     "?A"},
    {936, u"\xFFFD\xFEFF", "??"},
    // UTF-8: a surrogate without its partner becomes U+FFFD
    {65001, u"A\x00E9\x4E2D\xD83D\xDE00", "A\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80"},
    {65001, u"\x0080\x07FF\x0800\xFFFF\xDBFF\xDFFF\xFEFF",
     "\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF4\x8F\xBF\xBF\xEF\xBB\xBF"},
    {65001,
     u"\xD83D"
     "A\xDE00\xD83D",
     "\xEF\xBF\xBD"
     "A\xEF\xBF\xBD\xEF\xBF\xBD"},
    {65001, u"\xD83D\xD83D\xDE00", "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
};

TEST(WideCharToMultiByte, Rows) {
  for (const EncodeRow& row : kEncodeRows) {
    EXPECT_EQ(Hex(Encode(row.codePage, row.units)), Hex(row.bytes))
        << "code page " << row.codePage << ", units " << HexUnits(row.units);
  }
}

TEST(WideCharToMultiByte, LengthsAndRoom) {
  char bytes[8];
  EXPECT_EQ(TS::WideCharToMultiByte(936, 0, u"A\x554A", -1, nullptr, 0), 4);
  EXPECT_EQ(TS::WideCharToMultiByte(936, 0, u"A\x554A", 2, nullptr, 0), 3);
  EXPECT_EQ(TS::WideCharToMultiByte(936, 0, u"A\x554A", -1, bytes, 3), 0);
  EXPECT_EQ(TS::WideCharToMultiByte(936, 0, u"A\x554A", -1, bytes, 4), 4);
  EXPECT_EQ(Hex(std::string(bytes, 4)), "41 B0 A1 00");
  EXPECT_EQ(TS::WideCharToMultiByte(936, 0, u"A", 0, bytes, 8), 0);
  char many[16];
  EXPECT_EQ(TS::WideCharToMultiByte(936, 0, u"TRACK 01 AUDIO", -1, many, 14), 0);  // one byte short
  EXPECT_EQ(TS::WideCharToMultiByte(936, 0, u"TRACK 01 AUDIO", -1, many, 15), 15);
  EXPECT_EQ(TS::WideCharToMultiByte(65001, 0, u"A\x4E2D", -1, nullptr, 0), 5);
  EXPECT_EQ(TS::WideCharToMultiByte(65001, 0, u"A\x4E2D", -1, bytes, 4), 0);
  EXPECT_EQ(TS::WideCharToMultiByte(65001, 0, u"\xD83D\xDE00", 2, bytes, 3), 0);
}

std::string Map(std::uint32_t locale, std::uint32_t flags, const std::string& text) {
  const int size = static_cast<int>(text.size());
  const int needed = TS::LCMapStringA(locale, flags, text.data(), size, nullptr, 0);
  EXPECT_EQ(needed, size);
  std::string out(text.size() + 4, kSentinel);
  EXPECT_EQ(TS::LCMapStringA(locale, flags, text.data(), size, out.data(), size - 1), 0) << "does not fit";
  EXPECT_EQ(TS::LCMapStringA(locale, flags, text.data(), size, out.data(), size), size);
  EXPECT_EQ(out.substr(text.size()), std::string(4, kSentinel));
  return out.substr(0, text.size());
}

std::string Simplified(const std::string& text) { return Map(TS::kLocaleChinesePrc, TS::kMapSimplifiedChinese, text); }
std::string Traditional(const std::string& text) {
  return Map(TS::kLocaleChinesePrcSort, TS::kMapTraditionalChinese, text);
}

TEST(LCMapStringA, ScriptRows) {
  EXPECT_EQ(Hex(Simplified("\xB0\xD9\x91\xF0")), "B0 D9 D5 BD");   // 百戰 -> 百战
  EXPECT_EQ(Hex(Traditional("\xB0\xD9\xD5\xBD")), "B0 D9 91 F0");  // 百战 -> 百戰
  EXPECT_EQ(Hex(Simplified("\xB9\xDC\xC0\xED")), "B9 DC C0 ED");   // 管理 stays
  EXPECT_EQ(Hex(Traditional("\xB9\xDC\xC0\xED")), "B9 DC C0 ED");
  EXPECT_EQ(Hex(Simplified("\xE1\xE1\x81\xED")), "BA F3 C0 B4");  // 後來 -> 后来
  // Everything but a mapped double-byte character passes unchanged
  EXPECT_EQ(Simplified("TITLE \"x\"\r\n\x80\xFF"), "TITLE \"x\"\r\n\x80\xFF");
  EXPECT_EQ(Hex(Simplified("A\x91")), "41 91");  // lone lead byte at the end
  EXPECT_EQ(Hex(Simplified(std::string("\x91\0\xF0", 3))), "91 00 F0");
  EXPECT_EQ(Hex(Simplified("\x91\xF0\x91")), "D5 BD 91");
  EXPECT_EQ(Hex(Simplified("A\x91\xF0")), "41 D5 BD");
}

TEST(LCMapStringA, TerminatorRule) {
  char out[8];
  EXPECT_EQ(TS::LCMapStringA(TS::kLocaleChinesePrc, TS::kMapSimplifiedChinese, "\x91\xF0", -1, nullptr, 0), 3);
  EXPECT_EQ(TS::LCMapStringA(TS::kLocaleChinesePrc, TS::kMapSimplifiedChinese, "\x91\xF0", -1, out, 2), 0);
  EXPECT_EQ(TS::LCMapStringA(TS::kLocaleChinesePrc, TS::kMapSimplifiedChinese, "\x91\xF0", -1, out, 3), 3);
  EXPECT_EQ(Hex(std::string(out, 3)), "D5 BD 00");
  EXPECT_EQ(TS::LCMapStringA(TS::kLocaleChinesePrc, TS::kMapSimplifiedChinese, "\x91\xF0", 0, out, 8), 0);
}

TEST(LCMapStringA, EveryPairOfTheTable) {
  for (std::size_t i = 0; i < kToSimplifiedCount; ++i) {
    const ScriptPair& p = kToSimplified[i];
    const std::string from{static_cast<char>(p.from >> 8), static_cast<char>(p.from)};
    const std::string to{static_cast<char>(p.to >> 8), static_cast<char>(p.to)};
    ASSERT_EQ(Hex(Simplified(from)), Hex(to));
  }
  for (std::size_t i = 0; i < kToTraditionalCount; ++i) {
    const ScriptPair& p = kToTraditional[i];
    const std::string from{static_cast<char>(p.from >> 8), static_cast<char>(p.from)};
    const std::string to{static_cast<char>(p.to >> 8), static_cast<char>(p.to)};
    ASSERT_EQ(Hex(Traditional(from)), Hex(to));
  }
}

bool IsDoubleByteGbk(unsigned code) {
  return IsGbkPair(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code));
}

void ExpectPairInvariants(const ScriptPair* pairs, std::size_t count) {
  EXPECT_GT(count, 2000u);
  for (std::size_t i = 0; i < count; ++i) {
    EXPECT_TRUE(IsDoubleByteGbk(pairs[i].from)) << std::hex << pairs[i].from;
    EXPECT_TRUE(IsDoubleByteGbk(pairs[i].to)) << std::hex << pairs[i].to;
    EXPECT_NE(pairs[i].from, pairs[i].to);
    if (i > 0) {
      EXPECT_LT(pairs[i - 1].from, pairs[i].from);
    }
  }
}

TEST(ScriptTable, Invariants) {
  ExpectPairInvariants(kToSimplified, kToSimplifiedCount);
  ExpectPairInvariants(kToTraditional, kToTraditionalCount);
}

TEST(CodePages, ValidAndLeadBytes) {
  EXPECT_TRUE(TS::IsValidCodePage(932));
  EXPECT_TRUE(TS::IsValidCodePage(936));
  EXPECT_TRUE(TS::IsValidCodePage(950));
  EXPECT_TRUE(TS::IsValidCodePage(1252));
  EXPECT_TRUE(TS::IsValidCodePage(65001));
  for (int b = 0; b < 256; ++b) {
    EXPECT_EQ(TS::IsDBCSLeadByte(static_cast<unsigned char>(b)), IsGbkLeadByte(static_cast<unsigned char>(b))) << b;
  }
}

// A lead byte of any code page is what takes the 'A' after it into one character when decoding.
TEST(CodePages, LeadBytesAreWhatDecodingTakesAsOne) {
  for (const unsigned codePage : {932u, 936u, 949u, 950u, 20932u, 1251u, 1252u}) {
    for (unsigned b = 0x80; b < 0x100; ++b) {
      const char pair[] = {static_cast<char>(b), 'A'};
      char16_t units[2];
      const bool one = TS::MultiByteToWideChar(codePage, 0, pair, 2, units, 2) == 1;
      EXPECT_EQ(TS::IsDBCSLeadByteEx(codePage, static_cast<unsigned char>(b)), one) << codePage << " " << b;
    }
  }
}

// Every one- and two-byte sequence of each code page the guess and the repair read, decoded one call a
// sequence, folded into one FNV-1a digest. The expected digests are Wine 8's: both trees must give them.
struct CodePageDigest {
  unsigned codePage;
  std::uint64_t digest;
};
constexpr CodePageDigest kDigests[] = {
    {1250, 0x10E9B911828FF838u},  {1251, 0xA1E7D2BD8C1F4386u},  {1253, 0xFF327BC71A2BFC58u},
    {1254, 0x61FE83C934947F02u},  {1255, 0xA0717FCCFFB2997Eu},  {1257, 0xA9FD96C022A2C402u},
    {20866, 0x6305CAABAB8E12E6u}, {28592, 0x5EBBEB6EA0C31488u}, {949, 0x02FAC6B543CEF649u},
    {20932, 0xB96CEEF3F7251266u},
};

std::uint64_t DigestOf(unsigned codePage) {
  std::uint64_t digest = 0xCBF29CE484222325u;
  const auto fold = [&digest](std::uint64_t value) { digest = (digest ^ value) * 0x100000001B3u; };
  const auto decode = [&](const std::string& bytes) {
    char16_t units[4] = {};
    const int n = TS::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), units, 4);
    fold(static_cast<std::uint64_t>(n));
    for (int i = 0; i < n; ++i) fold(units[i]);
  };
  for (unsigned b = 1; b < 256; ++b) decode(std::string(1, static_cast<char>(b)));
  for (unsigned lead = 0x80; lead < 256; ++lead) {
    for (unsigned trail = 1; trail < 256; ++trail) decode({static_cast<char>(lead), static_cast<char>(trail)});
  }
  return digest;
}

TEST(CodePages, EveryShortSequenceAsWindowsDecodesIt) {
  for (const CodePageDigest& row : kDigests) {
    ASSERT_TRUE(TS::IsValidCodePage(row.codePage)) << row.codePage;
    EXPECT_EQ(DigestOf(row.codePage), row.digest) << row.codePage;
  }
}

// Every unit of the code pages the engine writes, encoded one call a unit, as Wine 8 encodes them.
constexpr CodePageDigest kEncodeDigests[] = {{936, 0x62641C67F515CA3Bu}, {950, 0xD0DD7606D9EE3AECu}};

TEST(CodePages, EveryUnitAsWindowsEncodesIt) {
  for (const CodePageDigest& row : kEncodeDigests) {
    std::uint64_t digest = 0xCBF29CE484222325u;
    for (unsigned u = 1; u < 0x10000; ++u) {
      const char16_t unit = static_cast<char16_t>(u);
      char bytes[4] = {};
      const int n = TS::WideCharToMultiByte(row.codePage, 0, &unit, 1, bytes, 4);
      for (const std::uint64_t value :
           {static_cast<std::uint64_t>(n), std::uint64_t{static_cast<unsigned char>(bytes[0])},
            std::uint64_t{static_cast<unsigned char>(bytes[1])}}) {
        digest = (digest ^ value) * 0x100000001B3u;
      }
    }
    EXPECT_EQ(digest, row.digest) << row.codePage;
  }
}

}  // namespace

#include "western.h"

#include "encodings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// Each byte's transliteration: up to four ASCII bytes and their count.
struct Transliteration {
  char text[4];
  std::uint8_t length;
};

constexpr Transliteration One(char c) { return {{c, 0, 0, 0}, 1}; }
template <std::size_t N>
constexpr Transliteration Spelled(const char (&s)[N]) {
  static_assert(N >= 2 && N <= 5, "one to four bytes");
  Transliteration t{{0, 0, 0, 0}, static_cast<std::uint8_t>(N - 1)};
  for (std::size_t i = 0; i + 1 < N; ++i) t.text[i] = s[i];
  return t;
}

constexpr std::array<Transliteration, 256> BuildTable() {
  std::array<Transliteration, 256> table{};
  for (unsigned b = 0; b < 0x80; ++b) table[b] = One(static_cast<char>(b));
  table[0x80] = Spelled("EUR");  // the euro sign
  // The five bytes Windows-1252 leaves undefined: '?', counted as losses (kWesternUndefined).
  for (const char b : kWesternUndefined) table[static_cast<unsigned char>(b)] = One('?');
  // Symbols, each spelled as a published table spells it: Unicode CLDR's Latin-ASCII transform first, glibc's
  // locale transliteration (translit_compat, translit_neutral) where CLDR has none, Text::Unidecode 1.30 where
  // neither has one. The currency sign is ours: Unidecode's "$?" would read as dollars.
  table[0x83] = One('f');         // ƒ, CLDR
  table[0x84] = Spelled(",,");    // „, CLDR
  table[0x85] = Spelled("...");   // …, CLDR
  table[0x86] = One('+');         // †, glibc
  table[0x87] = Spelled("++");    // ‡, Unidecode
  table[0x89] = Spelled("%0");    // ‰, Unidecode
  table[0x8C] = Spelled("OE");    // Œ, CLDR
  table[0x99] = Spelled("(TM)");  // ™, glibc
  table[0x9C] = Spelled("oe");    // œ, CLDR
  table[0xA2] = One('c');         // ¢, glibc
  table[0xA3] = Spelled("GBP");   // £, glibc
  table[0xA4] = Spelled("cur");   // ¤
  table[0xA5] = Spelled("JPY");   // ¥, glibc
  table[0xA7] = Spelled("SS");    // §, Unidecode
  table[0xAB] = Spelled("<<");    // «, CLDR
  table[0xAC] = One('!');         // ¬, glibc
  table[0xAD] = One('-');         // soft hyphen, CLDR
  table[0xB0] = Spelled("deg");   // °, Unidecode
  table[0xB1] = Spelled("+/-");   // ±, CLDR
  table[0xB5] = One('u');         // µ, glibc
  table[0xB6] = One('P');         // ¶, Unidecode
  table[0xBB] = Spelled(">>");    // », CLDR
  table[0x82] = One(',');
  table[0x88] = One('^');
  table[0x8A] = One('S');
  table[0x8B] = One('<');
  table[0x8E] = One('Z');
  table[0x91] = table[0x92] = One('\'');
  table[0x93] = table[0x94] = One('"');
  table[0x95] = One('.');
  table[0x96] = table[0x97] = One('-');
  table[0x98] = One('~');
  table[0x9A] = One('s');
  table[0x9B] = One('>');
  table[0x9E] = One('z');
  table[0x9F] = One('Y');
  table[0xA0] = One(' ');
  table[0xA1] = One('i');
  table[0xA6] = One('|');
  table[0xA8] = One('^');
  table[0xA9] = Spelled("(C)");
  table[0xAA] = One('a');
  table[0xAE] = Spelled("(R)");
  table[0xAF] = One('-');
  table[0xB2] = One('2');
  table[0xB3] = One('3');
  table[0xB4] = One('\'');
  table[0xB7] = One('\'');
  table[0xB8] = One(',');
  table[0xB9] = One('1');
  table[0xBA] = One('0');
  table[0xBC] = Spelled("1/4");
  table[0xBD] = Spelled("1/2");
  table[0xBE] = Spelled("3/4");
  table[0xBF] = One('?');
  // Letters 0xC0-0xFF: each capital range and its small twin 0x20 higher share one base letter.
  constexpr struct {
    unsigned first, last;
    char letter;
  } kLetters[] = {
      {0xC0, 0xC6, 'A'}, {0xC7, 0xC7, 'C'}, {0xC8, 0xCB, 'E'}, {0xCC, 0xCF, 'I'}, {0xD0, 0xD0, 'D'},
      {0xD1, 0xD1, 'N'}, {0xD2, 0xD8, 'O'}, {0xD9, 0xDC, 'U'}, {0xDD, 0xDD, 'Y'}, {0xDE, 0xDE, 'P'},
  };
  for (const auto& range : kLetters) {
    for (unsigned b = range.first; b <= range.last; ++b) {
      table[b] = One(range.letter);
      table[b + 0x20] = One(static_cast<char>(range.letter + 0x20));
    }
  }
  table[0xDF] = One('B');  // ß: B
  table[0xFF] = One('y');
  return table;
}

constexpr std::array<Transliteration, 256> kTable = BuildTable();

}  // namespace

void WesternToAscii(const char* input, char* output) {
  if (input == nullptr) {
    *output = '\0';
    return;
  }
  const std::size_t n = std::strlen(input);
  const auto* in = reinterpret_cast<const unsigned char*>(input);
  char* out = output;
  // Every byte but the last stores four bytes and keeps only its own: the spare ones are overwritten by the
  // next byte's, and the 4n+1 bound holds because the last byte is stored exactly.
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const Transliteration& t = kTable[in[i]];
    std::memcpy(out, t.text, 4);
    out += t.length;
  }
  if (n != 0) {
    const Transliteration& t = kTable[in[n - 1]];
    std::memcpy(out, t.text, t.length);
    out += t.length;
  }
  *out = '\0';
}

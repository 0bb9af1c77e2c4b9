#include "western.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

// Each byte's transliteration: up to three ASCII bytes and their count.
struct Transliteration {
  char text[4];
  std::uint8_t length;
};

constexpr Transliteration One(char c) { return {{c, 0, 0, 0}, 1}; }
constexpr Transliteration Three(const char (&s)[4]) { return {{s[0], s[1], s[2], 0}, 3}; }

constexpr std::array<Transliteration, 256> BuildTable() {
  std::array<Transliteration, 256> table{};
  for (unsigned b = 0; b < 0x80; ++b) table[b] = One(static_cast<char>(b));
  // Bytes 0x81-0xBF without an entry of their own drop their top bit.
  for (unsigned b = 0x81; b < 0xC0; ++b) table[b] = One(static_cast<char>(b - 0x80));
  table[0x80] = Three("\x45\x55\x52");  // euro sign: EUR
  table[0x82] = One('\x2C');
  table[0x88] = One('\x5E');
  table[0x8A] = One('\x53');
  table[0x8B] = One('\x3C');
  table[0x8E] = One('\x5A');
  table[0x91] = table[0x92] = One('\x27');
  table[0x93] = table[0x94] = One('\x22');
  table[0x95] = One('\x2E');
  table[0x96] = table[0x97] = One('\x2D');
  table[0x98] = One('\x7E');
  table[0x9A] = One('\x73');
  table[0x9B] = One('\x3E');
  table[0x9E] = One('\x7A');
  table[0x9F] = One('\x59');
  table[0xA0] = One('\x20');
  table[0xA1] = One('\x69');
  table[0xA6] = One('\x7C');
  table[0xA8] = One('\x5E');
  table[0xA9] = Three("\x28\x43\x29");  // (C)
  table[0xAA] = One('\x61');
  table[0xAE] = Three("\x28\x52\x29");  // (R)
  table[0xAF] = One('\x2D');
  table[0xB2] = One('\x32');
  table[0xB3] = One('\x33');
  table[0xB4] = One('\x27');
  table[0xB7] = One('\x27');
  table[0xB8] = One('\x2C');
  table[0xB9] = One('\x31');
  table[0xBA] = One('\x30');
  table[0xBC] = Three("\x31\x2F\x34");  // 1/4
  table[0xBD] = Three("\x31\x2F\x32");  // 1/2
  table[0xBE] = Three("\x33\x2F\x34");  // 3/4
  table[0xBF] = One('\x3F');
  // Letters 0xC0-0xFF: each capital range and its small twin 0x20 higher share one base letter.
  constexpr struct {
    unsigned first, last;
    char letter;
  } kLetters[] = {
      {0xC0, 0xC6, '\x41'}, {0xC7, 0xC7, '\x43'}, {0xC8, 0xCB, '\x45'}, {0xCC, 0xCF, '\x49'},
      {0xD0, 0xD0, '\x44'}, {0xD1, 0xD1, '\x4E'}, {0xD2, 0xD8, '\x4F'}, {0xD9, 0xDC, '\x55'},
      {0xDD, 0xDD, '\x59'}, {0xDE, 0xDE, '\x50'},
  };
  for (const auto& range : kLetters) {
    for (unsigned b = range.first; b <= range.last; ++b) {
      table[b] = One(range.letter);
      table[b + 0x20] = One(static_cast<char>(range.letter + 0x20));
    }
  }
  table[0xDF] = One('\x42');  // ß: B
  table[0xFF] = One('\x79');
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
  // next byte's, and the 3n+1 bound holds because the last byte is stored exactly.
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

// A double-byte code page's text to GBK in one pass: per single byte and per pair, the GBK bytes of the
// character the code page gives it (and, for Big5, of that character's simplified form), built once at first
// use from the text services themselves, so that each build keeps its own system's answers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class DbcsToGbk {
 public:
  // The table of code page 950 (mapped to simplified characters) or 932 (as it is); built on first use.
  static const DbcsToGbk& Big5Simplified();
  static const DbcsToGbk& ShiftJis();

  // False when the system could not convert the code page; then nothing is converted.
  bool Usable() const { return m_usable; }
  // Converts the n bytes at `in` (no NUL among them) and writes the terminator; the output takes at most
  // 2n + 1 bytes. Returns the bytes written before the terminator.
  std::size_t Convert(const unsigned char* in, std::size_t n, char* out) const;

 private:
  // The GBK bytes of one character and how many source bytes it took: a lead byte takes the byte after it,
  // unless the code page reads that pair as two characters.
  struct Entry {
    char bytes[2];
    std::uint8_t length;
    std::uint8_t taken;
  };

  DbcsToGbk(unsigned codePage, bool simplified);

  bool m_usable = false;
  bool m_lead[256] = {};
  Entry m_single[256] = {};          // a byte that opens no pair; for a lead byte, the lead byte at the end of the text
  std::unique_ptr<Entry[]> m_pairs;  // by lead byte << 8 | next byte
};

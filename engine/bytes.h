// Facts about bytes that the engine's scans, its callers and its tests share, each stated once here.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// GBK (code page 936): a lead byte opens a two-byte character, whose second byte is a trail byte.
constexpr bool IsGbkLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
constexpr bool IsGbkTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }
constexpr bool IsGbkPair(unsigned char lead, unsigned char trail) {
  return IsGbkLeadByte(lead) && IsGbkTrailByte(trail);
}

// The top bits of the eight bytes at p, the first byte's in the lowest byte: 0 when all eight are ASCII. The
// scans take runs of ASCII eight bytes a step this way; p must have eight readable bytes.
inline std::uint64_t HighBitsOfEight(const unsigned char* p) {
  std::uint64_t chunk;
  std::memcpy(&chunk, p, sizeof chunk);
  return chunk & 0x8080808080808080u;
}
inline bool IsEightAscii(const unsigned char* p) { return HighBitsOfEight(p) == 0; }

// Where the first CR or LF at or after `from` is, or the text's size: sixteen bytes a step where the processor
// compares them at once (SSE2, every x86-64), else eight, as a sheet of megabytes is mostly lines of some dozens
// of bytes.
inline std::size_t LineBreakFrom(const char* text, std::size_t size, std::size_t from) {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
  for (; size - from >= 16; from += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + from));
    const auto breaks =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, cr), _mm_cmpeq_epi8(chunk, lf))));
    if (breaks != 0) return from + static_cast<std::size_t>(std::countr_zero(breaks));
  }
#endif
  constexpr std::uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
  static_assert(std::endian::native == std::endian::little, "a chunk's first byte is its lowest");
  for (; size - from >= 8; from += 8) {
    std::uint64_t chunk;
    std::memcpy(&chunk, text + from, sizeof chunk);
    const std::uint64_t cr = chunk ^ (kOnes * '\r'), lf = chunk ^ (kOnes * '\n');
    // A byte of cr or lf is zero where the chunk's byte is a CR or an LF; the lowest high bit of the masks marks
    // the first such byte exactly (a borrow only ever marks bytes above it).
    const std::uint64_t breaks = ((cr - kOnes) & ~cr & kHighs) | ((lf - kOnes) & ~lf & kHighs);
    if (breaks != 0) return from + static_cast<std::size_t>(std::countr_zero(breaks) / 8);
  }
  while (from < size && text[from] != '\r' && text[from] != '\n') ++from;
  return from;
}

#if defined(__SSE2__)
// Per byte of the sixteen at p, all bits where a line break ends there: an LF, or a CR without an LF after it.
// Reads the seventeenth byte.
inline __m128i BreakEndsOfSixteen(const char* p) {
  const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
  const __m128i lf = _mm_set1_epi8('\n');
  return _mm_or_si128(_mm_cmpeq_epi8(chunk, lf),
                      _mm_andnot_si128(_mm_cmpeq_epi8(next, lf), _mm_cmpeq_epi8(chunk, _mm_set1_epi8('\r'))));
}
#endif

// Whether a line break ends at text[i]: an LF, or a CR without an LF after it (a CR and its LF count as one).
inline bool BreakEndsAt(const char* text, std::size_t size, std::size_t i) {
  return text[i] == '\n' || (text[i] == '\r' && !(i + 1 < size && text[i + 1] == '\n'));
}

// How many line breaks text[from, to) holds; neither `from` nor `to` may fall between a CR and its LF. Sixteen
// bytes a step with SSE2, each byte's count summed in its lane and the lanes added every 255 steps.
inline std::size_t LineBreaksIn(const char* text, std::size_t size, std::size_t from, std::size_t to) {
  std::size_t breaks = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  while (to - from > 16) {
    __m128i lanes = zero;
    for (int step = 0; step < 255 && to - from > 16; ++step, from += 16) {
      lanes = _mm_sub_epi8(lanes, BreakEndsOfSixteen(text + from));
    }
    const __m128i sums = _mm_sad_epu8(lanes, zero);
    breaks += static_cast<std::size_t>(_mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4));
  }
#endif
  for (; from < to; ++from) breaks += BreakEndsAt(text, size, from);
  return breaks;
}

// Where the line begins that the count-th line break at or after `from` (not between a CR and its LF) ends, or
// npos when the text holds fewer; `from` itself for 0. Sixty-four bytes a step with SSE2, their breaks counted
// together, as FILE lines stand some thousands of bytes apart in a long text.
inline std::size_t LineStartAfter(const char* text, std::size_t size, std::size_t from, std::size_t count) {
  if (count == 0) return from;
#if defined(__SSE2__)
  const auto ends = [text](std::size_t at) {
    return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(BreakEndsOfSixteen(text + at))));
  };
  for (; size - from > 64; from += 64) {
    std::uint64_t all = ends(from) | ends(from + 16) << 16 | ends(from + 32) << 32 | ends(from + 48) << 48;
    const auto n = static_cast<std::size_t>(std::popcount(all));
    if (n < count) {
      count -= n;
      continue;
    }
    for (; count > 1; --count) all &= all - 1;
    return from + static_cast<std::size_t>(std::countr_zero(all)) + 1;
  }
#endif
  for (; from < size; ++from) {
    if (BreakEndsAt(text, size, from) && --count == 0) return from + 1;
  }
  return std::string::npos;
}

// Where the four bytes "file", in either case, next begin at or after `from`, or the text's size: the scans for
// FILE lines look for the keyword, not at each line, as a sheet of megabytes holds few of them.
inline std::size_t FileKeywordFrom(const char* text, std::size_t size, std::size_t from) {
  // A byte ORed with 0x20 is the keyword's lower-case letter exactly when it is that letter in either case.
  const auto is = [text](std::size_t k, char letter) { return (text[k] | 0x20) == letter; };
#if defined(__SSE2__)
  // Sixteen places a step are sifted by their first and last letters, which seldom stand three apart otherwise;
  // the places left are read whole.
  const __m128i lower = _mm_set1_epi8(0x20);
  const auto at = [&](std::size_t k, char letter) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + k));
    return _mm_cmpeq_epi8(_mm_or_si128(chunk, lower), _mm_set1_epi8(letter));
  };
  for (; size - from >= 19; from += 16) {
    auto starts = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(at(from, 'f'), at(from + 3, 'e'))));
    for (; starts != 0; starts &= starts - 1) {
      const std::size_t k = from + static_cast<std::size_t>(std::countr_zero(starts));
      if (is(k + 1, 'i') && is(k + 2, 'l')) return k;
    }
  }
#endif
  for (; size - from >= 4; ++from) {
    if (is(from, 'f') && is(from + 1, 'i') && is(from + 2, 'l') && is(from + 3, 'e')) return from;
  }
  return size;
}

// The length of the well-formed UTF-8 sequence at s[i] (of n bytes) and its code point, or 0 when none starts
// there: an overlong form, a surrogate or a value past U+10FFFF is none.
inline std::size_t Utf8Sequence(const unsigned char* s, std::size_t n, std::size_t i, char32_t& u) {
  const unsigned b = s[i];
  std::size_t length;
  char32_t least;
  if (b >= 0xC2 && b <= 0xDF) {
    length = 2, least = 0x80, u = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3, least = 0x800, u = b & 0x0F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4, least = 0x10000, u = b & 0x07;
  } else {
    return 0;
  }
  if (n - i < length) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((s[i + k] & 0xC0) != 0x80) return 0;
    u = u << 6 | (s[i + k] & 0x3F);
  }
  if (u < least || u > 0x10FFFF || (u >= 0xD800 && u < 0xE000)) return 0;
  return length;
}

// A text as a load keeps it: the bytes before the first NUL.
inline void CutAtFirstNul(std::string& text) { text.resize(std::strlen(text.c_str())); }

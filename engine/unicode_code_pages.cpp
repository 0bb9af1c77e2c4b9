#include "unicode_code_pages.h"

#include <climits>
#include <cstdint>

namespace UnicodeCodePages {

namespace {

constexpr char16_t kReplacement = u'\xFFFD';

// 1252's bytes 80 to 9F; the undefined five decode to the C1 control of the same value, as in Windows.
constexpr char16_t kWestern80To9F[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// How many continuation bytes a byte from 80 on announces; 0 for one that starts no sequence (continuation
// bytes, C0 and C1, which could only start overlong forms, and F5 on, beyond U+10FFFF).
constexpr unsigned TrailCount(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 1;
  if (lead >= 0xE0 && lead <= 0xEF) return 2;
  if (lead >= 0xF0 && lead <= 0xF4) return 3;
  return 0;
}

// Writes into dst when kWrite, else only counts; false when the output does not fit.
template <typename Unit, bool kWrite>
struct Sink {
  Unit* dst;
  std::size_t room;
  std::size_t written = 0;

  bool Put(Unit unit) {
    if constexpr (kWrite) {
      if (written == room) return false;
      dst[written] = unit;
    }
    ++written;
    return true;
  }
  int Result() const { return written > INT_MAX ? 0 : static_cast<int>(written); }
};

// One character from src[i], which is 80 or above: its code point, or -1 for an ill-formed sequence, and in
// `consumed` the bytes it takes. The checks come in Wine's order, so that a bad sequence takes the bytes Wine's
// decoder takes before it gives up.
long DecodeSequence(const unsigned char* src, std::size_t i, std::size_t length, std::size_t& consumed) {
  const unsigned char lead = src[i];
  const unsigned trail = TrailCount(lead);
  consumed = 1;
  if (trail == 0) return -1;
  if (length - i - 1 < trail) {
    consumed = length - i;
    return -1;
  }
  static constexpr unsigned char kLeadMask[4] = {0x7F, 0x1F, 0x0F, 0x07};
  unsigned long code = lead & kLeadMask[trail];
  auto next = [&](unsigned char byte, unsigned long& into) {
    const unsigned bits = byte ^ 0x80u;
    if (bits >= 0x40) return false;
    into = into << 6 | bits;
    return true;
  };
  std::size_t at = i + 1;
  if (trail == 3) {
    if (!next(src[at], code)) return -1;
    ++at;
    ++consumed;
    if (code < 0x10) return -1;  // overlong
  }
  if (trail >= 2) {
    if (!next(src[at], code)) return -1;
    if (code >= (0x110000 >> 6)) return -1;  // beyond U+10FFFF: this byte is not taken
    ++at;
    ++consumed;
    if (code < 0x20) return -1;                                     // overlong
    if (code >= (0xD800 >> 6) && code <= (0xDFFF >> 6)) return -1;  // a surrogate
  }
  if (!next(src[at], code)) return -1;
  ++consumed;
  if (code < 0x80) return -1;
  return static_cast<long>(code);
}

template <bool kWrite>
int DecodeUtf8Into(const unsigned char* src, std::size_t length, Sink<char16_t, kWrite> out) {
  for (std::size_t i = 0; i < length;) {
    if (src[i] < 0x80) {
      if (!out.Put(src[i++])) return 0;
      continue;
    }
    std::size_t consumed;
    const long code = DecodeSequence(src, i, length, consumed);
    i += consumed;
    if (code < 0) {
      if (!out.Put(kReplacement)) return 0;
    } else if (code > 0xFFFF) {
      const auto offset = static_cast<unsigned long>(code) - 0x10000;
      if (!out.Put(static_cast<char16_t>(0xD800 | offset >> 10))) return 0;
      // Wine's quirk: when the source's last character only has room for its first unit, that counts as done.
      if (!out.Put(static_cast<char16_t>(0xDC00 | (offset & 0x3FF)))) return i == length ? out.Result() : 0;
    } else if (!out.Put(static_cast<char16_t>(code))) {
      return 0;
    }
  }
  return out.Result();
}

template <bool kWrite>
int EncodeUtf8Into(const char16_t* src, std::size_t length, Sink<char, kWrite> out) {
  for (std::size_t i = 0; i < length; ++i) {
    unsigned long code = src[i];
    if (code >= 0xD800 && code <= 0xDFFF) {
      if (code <= 0xDBFF && i + 1 < length && src[i + 1] >= 0xDC00 && src[i + 1] <= 0xDFFF) {
        code = 0x10000 + ((code - 0xD800) << 10) + (src[++i] - 0xDC00u);
      } else {
        code = kReplacement;
      }
    }
    bool fits;
    if (code < 0x80) {
      fits = out.Put(static_cast<char>(code));
    } else if (code < 0x800) {
      fits = out.Put(static_cast<char>(0xC0 | code >> 6)) && out.Put(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      fits = out.Put(static_cast<char>(0xE0 | code >> 12)) && out.Put(static_cast<char>(0x80 | (code >> 6 & 0x3F))) &&
             out.Put(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      fits = out.Put(static_cast<char>(0xF0 | code >> 18)) && out.Put(static_cast<char>(0x80 | (code >> 12 & 0x3F))) &&
             out.Put(static_cast<char>(0x80 | (code >> 6 & 0x3F))) && out.Put(static_cast<char>(0x80 | (code & 0x3F)));
    }
    if (!fits) return 0;
  }
  return out.Result();
}

template <bool kWrite>
int DecodeWesternInto(const unsigned char* src, std::size_t length, Sink<char16_t, kWrite> out) {
  for (std::size_t i = 0; i < length; ++i) {
    const unsigned char b = src[i];
    if (!out.Put(b >= 0x80 && b < 0xA0 ? kWestern80To9F[b - 0x80] : b)) return 0;
  }
  return out.Result();
}

}  // namespace

int DecodeUtf8(const unsigned char* src, std::size_t length, char16_t* dst, int room) {
  if (room == 0) return DecodeUtf8Into<false>(src, length, {nullptr, 0});
  return DecodeUtf8Into<true>(src, length, {dst, static_cast<std::size_t>(room)});
}

int EncodeUtf8(const char16_t* src, std::size_t length, char* dst, int room) {
  if (room == 0) return EncodeUtf8Into<false>(src, length, {nullptr, 0});
  return EncodeUtf8Into<true>(src, length, {dst, static_cast<std::size_t>(room)});
}

int DecodeWestern(const unsigned char* src, std::size_t length, char16_t* dst, int room) {
  if (room == 0) return DecodeWesternInto<false>(src, length, {nullptr, 0});
  return DecodeWesternInto<true>(src, length, {dst, static_cast<std::size_t>(room)});
}

}  // namespace UnicodeCodePages

#include "code_page_table.h"
#include "bytes.h"

#include <unicode/ucnv.h>

#include <climits>
#include <cstdint>
#include <cstring>

namespace {

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// Windows' 932 defines single bytes that ICU's ibm-943_P15A-2003 leaves undefined.
struct SingleByte {
  unsigned char byte;
  char16_t unit;
};
constexpr SingleByte kWindows932Singles[] = {
    {0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3},
};

constexpr std::size_t kUnitCount = 0x10000;

// Whether the next eight bytes, or four units, are all ASCII.
bool IsAscii(const unsigned char* bytes) { return IsEightAscii(bytes); }
bool IsAscii(const char16_t* units) {
  std::uint64_t chunk;
  std::memcpy(&chunk, units, sizeof chunk);
  return (chunk & 0xFF80FF80FF80FF80u) == 0;
}

}  // namespace

const CodePageTable* CodePageTable::For(unsigned codePage) {
  auto get = [](const CodePageTable& table) { return table.m_loaded ? &table : nullptr; };
  switch (codePage) {
    case 932: {
      static const CodePageTable table(932);
      return get(table);
    }
    case 936: {
      static const CodePageTable table(936);
      return get(table);
    }
    case 950: {
      static const CodePageTable table(950);
      return get(table);
    }
    default:
      return nullptr;
  }
}

CodePageTable::CodePageTable(unsigned codePage) { m_loaded = Load(codePage); }

bool CodePageTable::Load(unsigned codePage) {
  const char* name = codePage == 932 ? "ibm-943_P15A-2003" : codePage == 936 ? "windows-936-2000" : "windows-950-2000";
  UErrorCode error = U_ZERO_ERROR;
  Converter converter(ucnv_open(name, &error));
  if (U_FAILURE(error)) return false;
  UConverter* cnv = converter.get();
  ucnv_setToUCallBack(cnv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
  ucnv_setFromUCallBack(cnv, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
  // Windows encodes with its best-fit mappings; ICU's fallbacks are the same ones for these code pages.
  ucnv_setFallback(cnv, true);
  if (U_FAILURE(error)) return false;

  auto decode = [cnv](const char* bytes, int count, UChar* unit, UErrorCode& status) {
    status = U_ZERO_ERROR;
    ucnv_resetToUnicode(cnv);
    return ucnv_toUChars(cnv, unit, 2, bytes, count, &status);
  };

  if (codePage == 932) m_defaultUnit = u'\x30FB';
  for (unsigned b = 1; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    UChar unit[2];
    const int units = decode(&byte, 1, unit, error);
    if (error == U_TRUNCATED_CHAR_FOUND) {
      m_lead[b] = true;
    } else if (U_SUCCESS(error) && units == 1) {
      m_single[b] = unit[0];
    } else {
      m_single[b] = m_defaultUnit;
    }
  }
  // ICU's 932 swaps three control bytes; Windows keeps every ASCII byte as it is, a character of its own.
  for (unsigned b = 0; b < 0x80; ++b) {
    m_lead[b] = false;
    m_single[b] = static_cast<char16_t>(b);
  }
  if (codePage == 932) {
    for (const SingleByte& s : kWindows932Singles) m_single[s.byte] = s.unit;
  }

  m_pairs = std::make_unique<char16_t[]>(kUnitCount);
  for (unsigned lead = 0; lead < 256; ++lead) {
    if (!m_lead[lead]) continue;
    for (unsigned trail = 1; trail < 256; ++trail) {
      const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      UChar unit[2];
      const int units = decode(bytes, 2, unit, error);
      m_pairs[lead << 8 | trail] = U_SUCCESS(error) && units == 1 ? unit[0] : m_defaultUnit;
    }
  }

  if (codePage == 932) return true;
  m_bytes = std::make_unique<std::uint16_t[]>(kUnitCount);
  for (unsigned u = 0; u < kUnitCount; ++u) {
    std::uint16_t code = '?';
    if (u < 0x80) {
      code = static_cast<std::uint16_t>(u);
    } else {
      const UChar unit = static_cast<UChar>(u);
      char out[4];
      error = U_ZERO_ERROR;
      ucnv_resetFromUnicode(cnv);
      const int count = ucnv_fromUChars(cnv, out, sizeof out, &unit, 1, &error);
      const auto first = static_cast<unsigned char>(out[0]);
      // ICU's fallbacks turn the half-width arrows U+FFE9-FFEE into control bytes; Windows gives '?'.
      if (U_SUCCESS(error) && count == 1 && first >= 0x20) {
        code = first;
      } else if (U_SUCCESS(error) && count == 2) {
        code = static_cast<std::uint16_t>(first << 8 | static_cast<unsigned char>(out[1]));
      }
    }
    m_bytes[u] = code;
  }
  return true;
}

template <bool kWrite>
int CodePageTable::DecodeInto(const unsigned char* src, std::size_t length, char16_t* dst, std::size_t room) const {
  std::size_t written = 0;
  for (std::size_t i = 0; i < length;) {
    // Runs of ASCII, each byte its own unit, go eight at a time.
    if (length - i >= 8 && (!kWrite || room - written >= 8) && IsAscii(src + i)) {
      if constexpr (kWrite) {
        for (std::size_t k = 0; k < 8; ++k) dst[written + k] = src[i + k];
      }
      i += 8;
      written += 8;
      continue;
    }
    const unsigned char b = src[i];
    char16_t unit;
    if (!m_lead[b]) {
      unit = m_single[b];
      ++i;
    } else if (i + 1 < length && src[i + 1] != 0) {
      unit = m_pairs[b << 8 | src[i + 1]];
      i += 2;
    } else {
      unit = m_defaultUnit;
      ++i;
    }
    if constexpr (kWrite) {
      if (written == room) return 0;
      dst[written] = unit;
    }
    ++written;
  }
  return written > INT_MAX ? 0 : static_cast<int>(written);
}

template <bool kWrite>
int CodePageTable::EncodeInto(const char16_t* src, std::size_t length, char* dst, std::size_t room) const {
  std::size_t written = 0;
  for (std::size_t i = 0; i < length;) {
    if (length - i >= 4 && (!kWrite || room - written >= 4) && IsAscii(src + i)) {
      if constexpr (kWrite) {
        for (std::size_t k = 0; k < 4; ++k) dst[written + k] = static_cast<char>(src[i + k]);
      }
      i += 4;
      written += 4;
      continue;
    }
    const unsigned code = m_bytes[src[i++]];
    if (code > 0xFF) {
      if constexpr (kWrite) {
        if (room - written < 2) return 0;
        dst[written] = static_cast<char>(code >> 8);
        dst[written + 1] = static_cast<char>(code);
      }
      written += 2;
    } else {
      if constexpr (kWrite) {
        if (written == room) return 0;
        dst[written] = static_cast<char>(code);
      }
      ++written;
    }
  }
  return written > INT_MAX ? 0 : static_cast<int>(written);
}

int CodePageTable::Decode(const unsigned char* src, std::size_t length, char16_t* dst, int room) const {
  if (room == 0) return DecodeInto<false>(src, length, nullptr, 0);
  return DecodeInto<true>(src, length, dst, static_cast<std::size_t>(room));
}

int CodePageTable::Encode(const char16_t* src, std::size_t length, char* dst, int room) const {
  if (!m_bytes) return 0;
  if (room == 0) return EncodeInto<false>(src, length, nullptr, 0);
  return EncodeInto<true>(src, length, dst, static_cast<std::size_t>(room));
}

#include "code_page_table.h"
#include "bytes.h"
#include "encodings.h"

#include <unicode/ucnv.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <mutex>
#include <span>

namespace {

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// Single bytes that Windows defines and ICU's converter leaves undefined (or, for 932, gives another unit).
struct SingleByte {
  unsigned char byte;
  char16_t unit;
};
constexpr SingleByte kWindows932Singles[] = {
    {0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3},
};
constexpr SingleByte kWindows949Singles[] = {{0x80, 0x0080}, {0xFF, 0xF8F7}};
constexpr SingleByte kWindows1253Singles[] = {{0xAA, 0xF8F9}, {0xD2, 0xF8FA}, {0xFF, 0xF8FB}};
constexpr SingleByte kWindows1255Singles[] = {
    {0xD9, 0xF88D}, {0xDA, 0xF88E}, {0xDB, 0xF88F}, {0xDC, 0xF890}, {0xDD, 0xF891},
    {0xDE, 0xF892}, {0xDF, 0xF893}, {0xCA, 0x05BA}, {0xFB, 0xF894}, {0xFC, 0xF895}, {0xFF, 0xF896},
};
constexpr SingleByte kWindows1257Singles[] = {{0xA1, 0xF8FC}, {0xA5, 0xF8FD}};
constexpr SingleByte kWindows20932Singles[] = {{0xA0, 0xF8F0}, {0xFF, 0xF8F3}};

// Pairs where Windows differs from ICU's converter: a unit of its own, or 0 for the default character.
struct PairRange {
  std::uint16_t first, last;
  char16_t unit;
};
// ICU's ibm-954 follows IBM; Windows' 20932 has JIS X 0208's own characters at five places, and not IBM's
// extensions: half-width 8E E0 to E4, and JIS X 0212's rows 0x73 and 0x74 (F3 and F4 with a low trail).
constexpr PairRange kWindows20932Pairs[] = {
    {0xA1BD, 0xA1BD, 0x2015}, {0xA1F1, 0xA1F1, 0x00A2}, {0xA1F2, 0xA1F2, 0x00A3}, {0xA2CC, 0xA2CC, 0x00AC},
    {0xA237, 0xA237, 0x007E}, {0x8EE0, 0x8EE4, 0},      {0xF321, 0xF37E, 0},      {0xF421, 0xF47E, 0},
};

// One code page of this build: ICU's closest converter and what Windows does beyond it. Windows decodes a
// byte from 80 to 9F that a code page leaves undefined to the C1 control of the same value, unless `singles`
// says otherwise; any other undefined sequence to the default character of the code page's record.
struct Source {
  unsigned codePage;
  const char* converter;
  bool encodes = false;  // the engine encodes to it (GBK for every text, Big5 for the probe); the rest it decodes
  std::span<const SingleByte> singles = {};
  std::span<const PairRange> pairs = {};
  // EUC-JP's 8F, which opens a three-byte character of JIS X 0212, is U+008F in Windows' 20932, the next two
  // bytes read on their own; 20932 has JIS X 0212's characters as a lead byte and a trail byte from 21 to 7E
  // instead (EUC-JP's 8F A2 AF, a breve, is A2 2F there).
  int threeBytePrefix = -1;
};
constexpr Source kSources[] = {
    {.codePage = 932, .converter = "ibm-943_P15A-2003", .singles = kWindows932Singles},
    {.codePage = 936, .converter = "windows-936-2000", .encodes = true},
    {.codePage = 950, .converter = "windows-950-2000", .encodes = true},
    {.codePage = 949, .converter = "windows-949-2000", .singles = kWindows949Singles},
    {.codePage = 20932,
     .converter = "ibm-954_P101-2007",
     .singles = kWindows20932Singles,
     .pairs = kWindows20932Pairs,
     .threeBytePrefix = 0x8F},
    {.codePage = 1250, .converter = "ibm-5346_P100-1998"},
    {.codePage = 1251, .converter = "ibm-5347_P100-1998"},
    {.codePage = 1253, .converter = "ibm-5349_P100-1998", .singles = kWindows1253Singles},
    {.codePage = 1254, .converter = "ibm-5350_P100-1998"},
    {.codePage = 1255, .converter = "ibm-9447_P100-2002", .singles = kWindows1255Singles},
    {.codePage = 1257, .converter = "ibm-9449_P100-2002", .singles = kWindows1257Singles},
    {.codePage = 20866, .converter = "ibm-878_P100-1996"},
    {.codePage = 28592, .converter = "ibm-912_P100-1995"},
};
constexpr std::size_t kSourceCount = std::size(kSources);

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
  static std::once_flag once[kSourceCount];
  static std::unique_ptr<CodePageTable> tables[kSourceCount];
  for (std::size_t i = 0; i < kSourceCount; ++i) {
    if (kSources[i].codePage != codePage) continue;
    std::call_once(once[i], [i] { tables[i].reset(new CodePageTable(i)); });
    return tables[i]->m_loaded ? tables[i].get() : nullptr;
  }
  return nullptr;
}

CodePageTable::CodePageTable(std::size_t source) { m_loaded = Load(source); }

bool CodePageTable::Load(std::size_t index) {
  const Source& source = kSources[index];
  UErrorCode error = U_ZERO_ERROR;
  Converter converter(ucnv_open(source.converter, &error));
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

  for (const Encoding& e : kEncodings) {
    if (e.codePage == source.codePage) m_defaultUnit = e.defaultUnit;
  }
  for (unsigned b = 1; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    UChar unit[2];
    const int units = decode(&byte, 1, unit, error);
    if (error == U_TRUNCATED_CHAR_FOUND) {
      m_lead[b] = true;
    } else if (U_SUCCESS(error) && units == 1) {
      m_single[b] = unit[0];
    } else {
      m_single[b] = b >= 0x80 && b < 0xA0 ? static_cast<char16_t>(b) : m_defaultUnit;
    }
  }
  const int prefix = source.threeBytePrefix;
  if (prefix >= 0) {
    m_lead[prefix] = false;
    m_single[prefix] = static_cast<char16_t>(prefix);
  }
  // ICU's 932 swaps three control bytes; Windows keeps every ASCII byte as it is, a character of its own.
  for (unsigned b = 0; b < 0x80; ++b) {
    m_lead[b] = false;
    m_single[b] = static_cast<char16_t>(b);
  }
  for (const SingleByte& single : source.singles) m_single[single.byte] = single.unit;

  m_pairs = std::make_unique<char16_t[]>(kUnitCount);
  for (unsigned lead = 0; lead < 256; ++lead) {
    if (!m_lead[lead]) continue;
    for (unsigned trail = 1; trail < 256; ++trail) {
      const char bytes[3] = {static_cast<char>(lead), static_cast<char>(trail), 0};
      const char viaPrefix[3] = {static_cast<char>(prefix), static_cast<char>(lead), static_cast<char>(trail | 0x80)};
      const bool inPrefixed = prefix >= 0 && lead >= 0xA1 && trail >= 0x21 && trail <= 0x7E;
      UChar unit[2];
      const int units = inPrefixed ? decode(viaPrefix, 3, unit, error) : decode(bytes, 2, unit, error);
      m_pairs[lead << 8 | trail] = U_SUCCESS(error) && units == 1 ? unit[0] : m_defaultUnit;
    }
  }
  for (const PairRange& range : source.pairs) {
    for (unsigned pair = range.first; pair <= range.last; ++pair) m_pairs[pair] = range.unit ? range.unit : m_defaultUnit;
  }

  if (!source.encodes) return true;
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

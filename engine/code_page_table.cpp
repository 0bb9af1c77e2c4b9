#include "code_page_table.h"
#include "bytes.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

namespace {

// Single bytes where Windows' table and ICU's closest converter part: Windows gives bytes a code page leaves
// undefined private-use characters (or, in 20932, the C1 control of the same value), and knows a newer
// Hebrew point. Each byte stands alone, never a lead byte.
struct SingleByte {
  unsigned codePage;
  unsigned char byte;
  char16_t unit;
};
constexpr SingleByte kWindowsSingles[] = {
    {932, 0x80, 0x0080},   {932, 0xA0, 0xF8F0},   {932, 0xFD, 0xF8F1},   {932, 0xFE, 0xF8F2},  {932, 0xFF, 0xF8F3},
    {20932, 0x8F, 0x008F}, {20932, 0xA0, 0xF8F0}, {20932, 0xFF, 0xF8F3}, {1253, 0xAA, 0xF8F9}, {1253, 0xD2, 0xF8FA},
    {1253, 0xFF, 0xF8FB},  {1255, 0xCA, 0x05BA},  {1255, 0xD9, 0xF88D},  {1255, 0xDA, 0xF88E}, {1255, 0xDB, 0xF88F},
    {1255, 0xDC, 0xF890},  {1255, 0xDD, 0xF891},  {1255, 0xDE, 0xF892},  {1255, 0xDF, 0xF893}, {1255, 0xFB, 0xF894},
    {1255, 0xFC, 0xF895},  {1255, 0xFF, 0xF896},  {1257, 0xA1, 0xF8FC},  {1257, 0xA5, 0xF8FD},
};

// Pairs where Windows' 20932 and ICU's EUC-JP part: the block lead..lastLead x firstTrail..lastTrail takes the
// units from `first` on, row by row (0: undefined there). Windows leaves the NEC and IBM extension rows out,
// numbers the user-defined rows F5-FE into the private-use area, and keeps the JIS forms of a few symbols.
struct PairBlock {
  unsigned codePage;
  unsigned char lead, lastLead, firstTrail, lastTrail;
  char16_t first;
};
constexpr PairBlock kWindowsPairs[] = {
    {20932, 0x8E, 0x8E, 0xE0, 0xFE, 0},      {20932, 0xAD, 0xAD, 0xA1, 0xFE, 0},
    {20932, 0xF3, 0xF3, 0x21, 0x7E, 0},      {20932, 0xF5, 0xFE, 0xA1, 0xFE, 0xE000},
    {20932, 0xF5, 0xFE, 0x21, 0x7E, 0xE3AC}, {20932, 0xA1, 0xA1, 0xC1, 0xC1, 0x301C},
    {20932, 0xA1, 0xA1, 0xC2, 0xC2, 0x2016}, {20932, 0xA1, 0xA1, 0xDD, 0xDD, 0x2212},
    {20932, 0xA1, 0xA1, 0xF1, 0xF1, 0x00A2}, {20932, 0xA1, 0xA1, 0xF2, 0xF2, 0x00A3},
    {20932, 0xA2, 0xA2, 0x37, 0x37, 0x007E}, {20932, 0xA2, 0xA2, 0xCC, 0xCC, 0x00AC},
};

constexpr std::size_t kUnitCount = 0x10000;
constexpr unsigned kFirstTrail = 0x40;
// A pair or unit is read alone until a row or block has been asked this often, then the rest of it in one go.
constexpr unsigned kAsksBeforeWhole = 16;

// Whether the next eight bytes, or four units, are all ASCII.
bool IsAscii(const unsigned char* bytes) { return IsEightAscii(bytes); }
bool IsAscii(const char16_t* units) {
  std::uint64_t chunk;
  std::memcpy(&chunk, units, sizeof chunk);
  return (chunk & 0xFF80FF80FF80FF80u) == 0;
}

// Whether bit `index` of a row of 256 flags is set.
bool IsSet(const std::atomic<std::uint64_t> (&flags)[4], unsigned index) {
  return flags[index >> 6].load(std::memory_order_acquire) >> (index & 63) & 1;
}
void Set(std::atomic<std::uint64_t> (&flags)[4], unsigned index) {
  flags[index >> 6].fetch_or(std::uint64_t{1} << (index & 63), std::memory_order_release);
}

// A unit's bytes from what ICU wrote for it, nothing when it could not write it.
std::uint16_t BytesFrom(const char* out, std::ptrdiff_t count) {
  const auto first = static_cast<unsigned char>(out[0]);
  // ICU's fallbacks turn the half-width arrows U+FFE9-FFEE into control bytes; Windows gives '?'.
  if (count == 1 && first >= 0x20) return first;
  if (count == 2) return static_cast<std::uint16_t>(first << 8 | static_cast<unsigned char>(out[1]));
  return '?';
}

}  // namespace

// A code page the native build knows, the ICU converter closest to Windows' table, and the character an
// undefined sequence decodes to there. Encoding tables only for the code pages the engine writes: GBK, and
// Big5 for the support probe.
struct CodePageTable::Source {
  unsigned codePage;
  const char* converter;
  char16_t defaultUnit;
  bool encodes;
  bool lowTrailsAfter8F;
};

namespace {

constexpr CodePageTable::Source kSources[] = {
    {932, "ibm-943_P15A-2003", u'\x30FB', false, false}, {936, "windows-936-2000", u'?', true, false},
    {950, "windows-950-2000", u'?', true, false},        {949, "windows-949-2000", u'?', false, false},
    {20932, "EUC-JP", u'\x30FB', false, true},           {1250, "windows-1250", u'?', false, false},
    {1251, "windows-1251", u'?', false, false},          {1253, "windows-1253", u'?', false, false},
    {1254, "windows-1254", u'?', false, false},          {1255, "windows-1255", u'?', false, false},
    {1257, "windows-1257", u'?', false, false},          {20866, "KOI8-R", u'?', false, false},
    {28592, "ISO-8859-2", u'?', false, false},
};

}  // namespace

const CodePageTable* CodePageTable::For(unsigned codePage) {
  // Built on first use, each once: a run that reads only Big5 pays for no other table.
  static std::unique_ptr<CodePageTable> tables[std::size(kSources)];
  static std::once_flag built[std::size(kSources)];
  for (std::size_t i = 0; i < std::size(kSources); ++i) {
    if (kSources[i].codePage != codePage) continue;
    std::call_once(built[i], [i] { tables[i].reset(new CodePageTable(kSources[i])); });
    return tables[i]->m_loaded ? tables[i].get() : nullptr;
  }
  return nullptr;
}

void CodePageTable::ConverterCloser::operator()(UConverter* c) const { ucnv_close(c); }

CodePageTable::CodePageTable(const Source& source) { m_loaded = Load(source); }

bool CodePageTable::Load(const Source& source) {
  const unsigned codePage = source.codePage;
  UErrorCode error = U_ZERO_ERROR;
  m_converter.reset(ucnv_open(source.converter, &error));
  if (U_FAILURE(error)) return false;
  UConverter* cnv = m_converter.get();
  ucnv_setToUCallBack(cnv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
  // A unit the code page cannot write gives no bytes, and the units after it go on in the same call.
  ucnv_setFromUCallBack(cnv, UCNV_FROM_U_CALLBACK_SKIP, nullptr, nullptr, nullptr, &error);
  // Windows encodes with its best-fit mappings; ICU's fallbacks are the same ones for these code pages.
  ucnv_setFallback(cnv, true);
  if (U_FAILURE(error)) return false;

  // A flushed call that succeeds leaves the converter reset; only one it stopped in needs a reset.
  auto decode = [cnv](const char* bytes, int count, UChar* unit, UErrorCode& status) {
    status = U_ZERO_ERROR;
    UChar* out = unit;
    const char* in = bytes;
    ucnv_toUnicode(cnv, &out, unit + 2, &in, bytes + count, nullptr, true, &status);
    if (U_FAILURE(status)) ucnv_resetToUnicode(cnv);
    return static_cast<int>(out - unit);
  };

  m_defaultUnit = source.defaultUnit;
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
  for (const SingleByte& s : kWindowsSingles) {
    if (s.codePage != codePage) continue;
    m_lead[s.byte] = false;
    m_single[s.byte] = s.unit;
  }

  // A lead byte's row in one call: each pair closed by a line feed, which no code page takes into a sequence,
  // and told apart from the others by where each unit's bytes begin. Every row has the same layout; only its
  // lead bytes change, at m_rowLeads. The rows are read as texts first hold their lead bytes (see ReadRow); the
  // first is read here, so that a converter that cannot read one leaves the code page unknown.
  error = U_ZERO_ERROR;
  ucnv_setToUCallBack(cnv, UCNV_TO_U_CALLBACK_SKIP, nullptr, nullptr, nullptr, &error);
  if (U_FAILURE(error)) return false;
  m_codePage = codePage;
  m_pairs = std::make_unique_for_overwrite<char16_t[]>(kUnitCount);
  std::fill(std::begin(m_itemOf), std::end(m_itemOf), std::int16_t{-1});
  for (unsigned trail = 1; trail < 256; ++trail) {
    // Windows' 20932 writes JIS X 0212, which EUC-JP prefixes with 8F, as a pair with a 7-bit trail byte.
    const bool supplement = source.lowTrailsAfter8F && trail >= 0x21 && trail <= 0x7E;
    // No code page here takes a byte below 0x40 as a trail byte: those pairs are the default character, and
    // asking ICU about them, a callback each, was a third of a row's cost.
    if (trail < kFirstTrail && !supplement) continue;
    const std::size_t first = m_rowItems.size();
    if (supplement) m_rowItems += '\x8F';
    m_rowLeads.push_back(m_rowItems.size());
    m_rowItems += {'\0', static_cast<char>(supplement ? trail | 0x80 : trail), '\n'};
    m_itemOf[trail] = static_cast<std::int16_t>(m_rowTrails.size());
    m_rowTrails.push_back({static_cast<unsigned char>(trail), first, m_rowItems.size() - 1});
  }
  const bool* firstLead = std::find(std::begin(m_lead), std::end(m_lead), true);
  if (firstLead != std::end(m_lead) && !ReadRow(static_cast<unsigned>(firstLead - std::begin(m_lead)))) return false;

  if (source.encodes) m_bytes = std::make_unique_for_overwrite<std::uint16_t[]>(kUnitCount);
  return true;
}

// A pair is one character when exactly one unit begins at its first byte and none at the bytes after it; a
// sequence the code page does not define gives no unit, and a trail byte it does not take gives one of its own.
// Should ICU fail, the items' pairs read as the default character.
bool CodePageTable::ReadItems(unsigned lead, std::size_t from, std::size_t to, char16_t* row) const {
  const std::size_t base = m_rowTrails[from].first;
  std::string items = m_rowItems.substr(base, m_rowTrails[to - 1].end + 1 - base);
  for (std::size_t i = from; i < to; ++i) items[m_rowLeads[i] - base] = static_cast<char>(lead);
  std::vector<UChar> units(items.size());
  std::vector<std::int32_t> offsets(items.size());
  UConverter* cnv = m_converter.get();
  UChar* out = units.data();
  const char* in = items.data();
  UErrorCode error = U_ZERO_ERROR;
  ucnv_resetToUnicode(cnv);
  ucnv_toUnicode(cnv, &out, units.data() + units.size(), &in, items.data() + items.size(), offsets.data(), true,
                 &error);
  const std::size_t count = U_SUCCESS(error) ? static_cast<std::size_t>(out - units.data()) : 0;
  std::size_t k = 0;
  for (std::size_t i = from; i < to; ++i) {
    const std::size_t first = m_rowTrails[i].first - base, end = m_rowTrails[i].end - base;
    std::size_t atFirst = 0, within = 0;
    char16_t unit = m_defaultUnit;
    for (; k < count && static_cast<std::size_t>(offsets[k]) < end; ++k) {
      if (static_cast<std::size_t>(offsets[k]) == first) {
        ++atFirst;
        unit = units[k];
      } else {
        ++within;
      }
    }
    while (k < count && static_cast<std::size_t>(offsets[k]) == end) ++k;
    row[m_rowTrails[i].trail] = atFirst == 1 && within == 0 ? unit : m_defaultUnit;
  }
  return U_SUCCESS(error);
}

void CodePageTable::PutWindowsPairs(unsigned lead, unsigned firstTrail, unsigned lastTrail, char16_t* row) const {
  for (const PairBlock& block : kWindowsPairs) {
    if (block.codePage != m_codePage || lead < block.lead || lead > block.lastLead) continue;
    const unsigned span = block.lastTrail - block.firstTrail + 1u;
    for (unsigned trail = std::max<unsigned>(block.firstTrail, firstTrail);
         trail <= std::min<unsigned>(block.lastTrail, lastTrail); ++trail) {
      const unsigned index = (lead - block.lead) * span + trail - block.firstTrail;
      row[trail] = block.first == 0 ? m_defaultUnit : static_cast<char16_t>(block.first + index);
    }
  }
}

// The whole row but the pairs read alone, which other threads may be reading; called with m_building held, or
// before the table is shared.
bool CodePageTable::ReadRow(unsigned lead) const {
  char16_t row[0x100];
  std::fill_n(row, 0x100, m_defaultUnit);
  const bool read = ReadItems(lead, 0, m_rowTrails.size(), row);
  PutWindowsPairs(lead, 0, 0xFF, row);
  for (unsigned trail = 0; trail < 0x100; ++trail) {
    if (!IsSet(m_pairRead[lead], trail)) m_pairs[lead << 8 | trail] = row[trail];
  }
  m_rowRead[lead].store(true, std::memory_order_release);
  return read;
}

void CodePageTable::Read(unsigned lead, unsigned trail) const {
  const std::lock_guard<std::mutex> lock(m_building);
  if (m_rowRead[lead].load(std::memory_order_relaxed) || IsSet(m_pairRead[lead], trail)) return;
  if (++m_pairAsks[lead] >= kAsksBeforeWhole) {
    ReadRow(lead);
    return;
  }
  const int item = m_itemOf[trail];
  char16_t row[0x100];
  row[trail] = m_defaultUnit;
  if (item >= 0) ReadItems(lead, static_cast<std::size_t>(item), static_cast<std::size_t>(item) + 1, row);
  PutWindowsPairs(lead, trail, trail, row);
  m_pairs[lead << 8 | trail] = row[trail];
  Set(m_pairRead[lead], trail);
}

char16_t CodePageTable::Pair(unsigned lead, unsigned trail) const {
  if (!m_rowRead[lead].load(std::memory_order_acquire) && !IsSet(m_pairRead[lead], trail)) Read(lead, trail);
  return m_pairs[lead << 8 | trail];
}

std::uint16_t CodePageTable::EncodeOne(unsigned u) const {
  if (u < 0x80) return static_cast<std::uint16_t>(u);
  const UChar unit = static_cast<UChar>(u);
  char out[4];
  char* end = out;
  const UChar* in = &unit;
  UErrorCode error = U_ZERO_ERROR;
  UConverter* cnv = m_converter.get();
  ucnv_fromUnicode(cnv, &end, out + sizeof out, &in, &unit + 1, nullptr, true, &error);
  if (U_FAILURE(error)) ucnv_resetFromUnicode(cnv);
  return U_SUCCESS(error) ? BytesFrom(out, end - out) : '?';
}

// The block's units not built yet: in one ICU call, which skips the units it cannot write and tells each unit's
// bytes by where they come from; unit by unit for a block of surrogates, which no code page writes alone, or
// should the call fail.
void CodePageTable::EncodeBlock(unsigned block) const {
  UChar units[0x100];
  for (unsigned i = 0; i < 0x100; ++i) units[i] = static_cast<UChar>(block << 8 | i);
  char out[0x400];
  std::int32_t offsets[0x400];
  char* end = out;
  const UChar* in = units;
  UErrorCode error = U_ZERO_ERROR;
  UConverter* cnv = m_converter.get();
  const bool surrogates = block >= 0xD8 && block < 0xE0;
  if (!surrogates) ucnv_fromUnicode(cnv, &end, out + sizeof out, &in, units + 0x100, offsets, true, &error);
  if (surrogates || U_FAILURE(error)) {
    ucnv_resetFromUnicode(cnv);
    for (unsigned i = 0; i < 0x100; ++i) {
      if (!IsSet(m_unitBuilt[block], i)) m_bytes[block << 8 | i] = EncodeOne(block << 8 | i);
    }
    return;
  }
  const std::ptrdiff_t written = end - out;
  std::ptrdiff_t k = 0;
  for (unsigned i = 0; i < 0x100; ++i) {
    const std::ptrdiff_t first = k;
    while (k < written && offsets[k] == static_cast<std::int32_t>(i)) ++k;
    const unsigned u = block << 8 | i;
    if (IsSet(m_unitBuilt[block], i)) continue;
    m_bytes[u] = u < 0x80 ? static_cast<std::uint16_t>(u) : first == k ? '?' : BytesFrom(out + first, k - first);
  }
}

void CodePageTable::Build(char16_t unit) const {
  const unsigned block = unit >> 8, index = unit & 0xFFu;
  const std::lock_guard<std::mutex> lock(m_building);
  if (m_blockBuilt[block].load(std::memory_order_relaxed) || IsSet(m_unitBuilt[block], index)) return;
  if (++m_unitAsks[block] < kAsksBeforeWhole) {
    m_bytes[unit] = EncodeOne(unit);
    Set(m_unitBuilt[block], index);
    return;
  }
  EncodeBlock(block);
  m_blockBuilt[block].store(true, std::memory_order_release);
}

std::uint16_t CodePageTable::BytesOf(char16_t unit) const {
  if (!m_blockBuilt[unit >> 8].load(std::memory_order_acquire) && !IsSet(m_unitBuilt[unit >> 8], unit & 0xFFu)) {
    Build(unit);
  }
  return m_bytes[unit];
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
      unit = Pair(b, src[i + 1]);
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
    const unsigned code = BytesOf(src[i++]);
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

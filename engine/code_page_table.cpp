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

// Whether the next eight bytes, or four units, are all ASCII.
bool IsAscii(const unsigned char* bytes) { return IsEightAscii(bytes); }
bool IsAscii(const char16_t* units) {
  std::uint64_t chunk;
  std::memcpy(&chunk, units, sizeof chunk);
  return (chunk & 0xFF80FF80FF80FF80u) == 0;
}

// How far past a pair or unit not read yet a call looks for others to read with it. Such calls read the pairs
// (units) they find until kReadAloneBeforeWhole have been read so; later ones read the whole rows of the lead
// bytes (the blocks of 256 units) they look at, as a long text or a run over many files meets most of them.
constexpr std::size_t kLookahead = 4096;
constexpr std::size_t kReadAloneBeforeWhole = 2048;

// A unit's bytes from what ICU wrote for it, nothing when it could not write it.
std::uint16_t BytesFrom(const char* out, std::ptrdiff_t count) {
  if (count != 1 && count != 2) return '?';
  const auto first = static_cast<unsigned char>(out[0]);
  if (count == 2) return static_cast<std::uint16_t>(first << 8 | static_cast<unsigned char>(out[1]));
  // ICU's fallbacks turn the half-width arrows U+FFE9-FFEE into control bytes; Windows gives '?'.
  return first >= 0x20 ? first : '?';
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
  // Never torn down, as the guess's models are not.
  static CodePageTable* tables[std::size(kSources)];
  static std::once_flag built[std::size(kSources)];
  for (std::size_t i = 0; i < std::size(kSources); ++i) {
    if (kSources[i].codePage != codePage) continue;
    std::call_once(built[i], [i] { tables[i] = new CodePageTable(kSources[i]); });
    return tables[i]->m_loaded ? tables[i] : nullptr;
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
  // A sequence the code page does not define gives no unit, and the bytes after it go on in the same call.
  ucnv_setToUCallBack(cnv, UCNV_TO_U_CALLBACK_SKIP, nullptr, nullptr, nullptr, &error);
  // A unit the code page cannot write gives no bytes, and the units after it go on in the same call.
  ucnv_setFromUCallBack(cnv, UCNV_FROM_U_CALLBACK_SKIP, nullptr, nullptr, nullptr, &error);
  // Windows encodes with its best-fit mappings; ICU's fallbacks are the same ones for these code pages.
  ucnv_setFallback(cnv, true);
  if (U_FAILURE(error)) return false;

  // The lead bytes are the converter's starters (a single-byte converter has none); the other bytes above 0x7F
  // are read in one call, each closed by a line feed, as the pairs are (see ReadPairs).
  m_defaultUnit = source.defaultUnit;
  UBool starters[256] = {};
  if (ucnv_getMaxCharSize(cnv) > 1) ucnv_getStarters(cnv, starters, &error);
  if (U_FAILURE(error)) return false;
  std::string items;
  std::vector<unsigned> singles;
  for (unsigned b = 0x80; b < 0x100; ++b) {
    m_lead[b] = starters[b];
    m_single[b] = m_defaultUnit;
    if (m_lead[b]) continue;
    singles.push_back(b);
    items += {static_cast<char>(b), '\n'};
  }
  std::vector<UChar> units(items.size());
  std::vector<std::int32_t> offsets(items.size());
  UChar* out = units.data();
  const char* in = items.data();
  ucnv_toUnicode(cnv, &out, units.data() + units.size(), &in, items.data() + items.size(), offsets.data(), true,
                 &error);
  if (U_FAILURE(error)) return false;
  std::vector<unsigned> perItem(singles.size());
  for (std::size_t k = 0; k < static_cast<std::size_t>(out - units.data()); ++k) {
    if (offsets[k] % 2 == 0) ++perItem[static_cast<std::size_t>(offsets[k]) / 2];
  }
  for (std::size_t k = 0; k < static_cast<std::size_t>(out - units.data()); ++k) {
    const auto item = static_cast<std::size_t>(offsets[k]) / 2;
    if (offsets[k] % 2 == 0 && perItem[item] == 1) m_single[singles[item]] = units[k];
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

  // The pairs are read as texts hold them (see ReadPairs); one is read here, so that a converter that cannot read
  // them leaves the code page unknown.
  m_codePage = codePage;
  m_lowTrailsAfter8F = source.lowTrailsAfter8F;
  const bool* firstLead = std::find(std::begin(m_lead), std::end(m_lead), true);
  if (firstLead != std::end(m_lead)) {
    m_pairs = std::make_unique_for_overwrite<char16_t[]>(kUnitCount);
    m_pairRead = MakeZeroed<std::uint64_t>(kUnitCount / 64);
    const auto code = static_cast<std::uint16_t>((firstLead - std::begin(m_lead)) << 8 | kFirstTrail);
    if (!ReadPairs({code})) return false;
  }

  if (source.encodes) {
    m_bytes = std::make_unique_for_overwrite<std::uint16_t[]>(kUnitCount);
    m_unitBuilt = MakeZeroed<std::uint64_t>(kUnitCount / 64);
  }
  return true;
}

// The pairs not read yet among those the next kLookahead bytes of a text hold (or in their rows), read in one go.
void CodePageTable::ReadPairsIn(const unsigned char* src, std::size_t length) const {
  const std::lock_guard<std::mutex> lock(m_building);
  const bool rows = m_pairsAlone >= kReadAloneBeforeWhole;
  std::vector<std::uint16_t> codes;
  bool leads[256] = {};
  const std::size_t end = std::min(length, kLookahead);
  for (std::size_t i = 0; i < end;) {
    if (!m_lead[src[i]] || i + 1 == length || src[i + 1] == 0) {
      ++i;
      continue;
    }
    const unsigned code = src[i] << 8 | src[i + 1];
    leads[src[i]] = true;
    if (!rows && !FlagIsSet(m_pairRead, code)) codes.push_back(static_cast<std::uint16_t>(code));
    i += 2;
  }
  if (rows) {
    for (unsigned b = 0x80; b < 0x100; ++b) {
      for (unsigned code = b << 8; leads[b] && code <= (b << 8 | 0xFFu); ++code) {
        if (!FlagIsSet(m_pairRead, code)) codes.push_back(static_cast<std::uint16_t>(code));
      }
    }
  } else {
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    m_pairsAlone += codes.size();
  }
  ReadPairs(codes);
}

// In one ICU call: each pair closed by a line feed, which no code page takes into a sequence, and told apart from
// the others by where each unit's bytes begin. A pair is one character when exactly one unit begins at its first
// byte and none at the bytes after it; a sequence the code page does not define gives no unit, and a trail byte
// it does not take gives one of its own. Should ICU fail, the pairs read as the default character. Called with
// m_building held, or before the table is shared.
bool CodePageTable::ReadPairs(const std::vector<std::uint16_t>& codes) const {
  std::string items;
  struct Item {
    std::size_t first, end;  // in `items`; end: the item's line feed; 0, 0 for a pair not asked about
  };
  std::vector<Item> spans;
  for (const unsigned code : codes) {
    const unsigned lead = code >> 8, trail = code & 0xFFu;
    // Windows' 20932 writes JIS X 0212, which EUC-JP prefixes with 8F, as a pair with a 7-bit trail byte.
    const bool supplement = m_lowTrailsAfter8F && trail >= 0x21 && trail <= 0x7E;
    // No code page here takes a byte below 0x40 as a trail byte: those pairs are the default character, and
    // asking ICU about them, a callback each, was a third of the cost.
    if (trail < kFirstTrail && !supplement) {
      spans.push_back({0, 0});
      continue;
    }
    const std::size_t first = items.size();
    if (supplement) items += '\x8F';
    items += {static_cast<char>(lead), static_cast<char>(supplement ? trail | 0x80 : trail), '\n'};
    spans.push_back({first, items.size() - 1});
  }
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
  for (std::size_t i = 0; i < codes.size(); ++i) {
    const std::size_t first = spans[i].first, end = spans[i].end;
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
    while (end > 0 && k < count && static_cast<std::size_t>(offsets[k]) == end) ++k;
    const unsigned lead = codes[i] >> 8, trail = codes[i] & 0xFFu;
    unit = atFirst == 1 && within == 0 ? unit : m_defaultUnit;
    for (const PairBlock& block : kWindowsPairs) {
      if (block.codePage != m_codePage || lead < block.lead || lead > block.lastLead || trail < block.firstTrail ||
          trail > block.lastTrail) {
        continue;
      }
      const unsigned index = (lead - block.lead) * (block.lastTrail - block.firstTrail + 1u) + trail - block.firstTrail;
      unit = block.first == 0 ? m_defaultUnit : static_cast<char16_t>(block.first + index);
    }
    m_pairs[codes[i]] = unit;
    SetFlag(m_pairRead, codes[i]);
  }
  return U_SUCCESS(error);
}

std::uint16_t CodePageTable::EncodeOne(char16_t unit) const {
  if (unit < 0x80) return unit;
  char out[4];
  char* end = out;
  const UChar* in = &unit;
  UErrorCode error = U_ZERO_ERROR;
  UConverter* cnv = m_converter.get();
  ucnv_fromUnicode(cnv, &end, out + sizeof out, &in, &unit + 1, nullptr, true, &error);
  if (U_FAILURE(error)) ucnv_resetFromUnicode(cnv);
  return U_SUCCESS(error) ? BytesFrom(out, end - out) : '?';
}

// The units not built yet among the next kLookahead of a text: in one ICU call, which skips the units it cannot
// write and tells each unit's bytes by where they come from. Surrogates, which no code page writes alone, and all
// of them should the call fail, go one by one.
void CodePageTable::BuildUnitsIn(const char16_t* src, std::size_t length) const {
  const std::lock_guard<std::mutex> lock(m_building);
  const bool blocks = m_unitsAlone >= kReadAloneBeforeWhole;
  std::u16string units;
  bool inBlock[256] = {};
  for (std::size_t i = 0; i < std::min(length, kLookahead); ++i) {
    inBlock[src[i] >> 8] = true;
    if (!blocks && !FlagIsSet(m_unitBuilt, src[i])) units += src[i];
  }
  if (blocks) {
    for (unsigned block = 0; block < 0x100; ++block) {
      for (unsigned u = block << 8; inBlock[block] && u <= (block << 8 | 0xFFu); ++u) {
        if (!FlagIsSet(m_unitBuilt, u)) units += static_cast<char16_t>(u);
      }
    }
  } else {
    std::sort(units.begin(), units.end());
    units.erase(std::unique(units.begin(), units.end()), units.end());
    m_unitsAlone += units.size();
  }
  const auto alone = [](char16_t u) { return u < 0x80 || (u >= 0xD800 && u < 0xE000); };
  for (const char16_t u : units) {
    if (!alone(u)) continue;
    m_bytes[u] = EncodeOne(u);
    SetFlag(m_unitBuilt, u);
  }
  units.erase(std::remove_if(units.begin(), units.end(), alone), units.end());
  std::vector<char> out(units.size() * 4 + 1);
  std::vector<std::int32_t> offsets(out.size());
  char* end = out.data();
  const UChar* in = units.data();
  UErrorCode error = U_ZERO_ERROR;
  UConverter* cnv = m_converter.get();
  ucnv_fromUnicode(cnv, &end, out.data() + out.size(), &in, units.data() + units.size(), offsets.data(), true, &error);
  const bool failed = U_FAILURE(error);
  if (failed) ucnv_resetFromUnicode(cnv);
  const std::ptrdiff_t written = failed ? 0 : end - out.data();
  std::ptrdiff_t k = 0;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const std::ptrdiff_t first = k;
    while (k < written && offsets[static_cast<std::size_t>(k)] == static_cast<std::int32_t>(i)) ++k;
    m_bytes[units[i]] = failed ? EncodeOne(units[i]) : BytesFrom(out.data() + first, k - first);
    SetFlag(m_unitBuilt, units[i]);
  }
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
      const unsigned code = b << 8 | src[i + 1];
      if (!FlagIsSet(m_pairRead, code)) ReadPairsIn(src + i, length - i);
      unit = m_pairs[code];
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
    if (!FlagIsSet(m_unitBuilt, src[i])) BuildUnitsIn(src + i, length - i);
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

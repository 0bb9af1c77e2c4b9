#include "gbk_tables.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "bytes.h"
#include "encodings.h"
#include "text_services.h"

namespace TS = TextServices;

namespace {

// One source character's GBK form: its one or two bytes in bits 0-15, their count in bits 16-17, whether it is
// lossless in bit 20, and the source bytes it takes in bits 24-31.
using Piece = std::uint32_t;
constexpr Piece kLossless = 1u << 20;

Piece MakePiece(const std::string& gbk, unsigned taken, bool lossless = false) {
  Piece piece = static_cast<unsigned char>(gbk[0]) | (static_cast<Piece>(gbk.size()) << 16) | (taken << 24) |
                (lossless ? kLossless : 0);
  if (gbk.size() == 2) piece |= static_cast<Piece>(static_cast<unsigned char>(gbk[1])) << 8;
  return piece;
}

// Converts many items with one call, NUL after each: under Wine every call has a fixed cost, and one a
// character would be felt. Should a service take a NUL into a character, the items no longer line up,
// and each is converted on its own. Empty where a call fails.
template <typename From, typename To, typename Convert>
std::vector<std::basic_string<To>> ConvertItems(const std::vector<std::basic_string<From>>& items, Convert convert) {
  std::basic_string<From> joined;
  for (const auto& item : items) {
    joined += item;
    joined += From{};
  }
  std::vector<To> out(2 * joined.size() + 1);
  const int n = convert(joined.data(), static_cast<int>(joined.size()), out.data(), static_cast<int>(out.size()));
  std::vector<std::basic_string<To>> result;
  result.reserve(items.size());
  std::size_t start = 0;
  for (int k = 0; k < n; ++k) {
    if (out[k] != To{}) continue;
    result.emplace_back(out.data() + start, k - start);
    start = k + 1;
  }
  if (result.size() == items.size() && start == static_cast<std::size_t>(n)) return result;
  result.clear();
  for (const auto& item : items) {
    const int m = convert(item.data(), static_cast<int>(item.size()), out.data(), static_cast<int>(out.size()));
    if (m <= 0) return {};
    result.emplace_back(out.data(), static_cast<std::size_t>(m));
  }
  return result;
}

std::vector<std::u16string> Decode(unsigned codePage, const std::vector<std::string>& items) {
  return ConvertItems<char, char16_t>(items, [codePage](const char* src, int n, char16_t* dst, int room) {
    return TS::MultiByteToWideChar(codePage, 0, src, n, dst, room);
  });
}

std::vector<std::string> EncodeGbk(const std::vector<std::u16string>& items) {
  return ConvertItems<char16_t, char>(items, [](const char16_t* src, int n, char* dst, int room) {
    return TS::WideCharToMultiByte(TS::kCodePageGbk, 0, src, n, dst, room);
  });
}

// The Simplified forms, each piece alone; the pieces unmapped where the system has no mapping, as a
// conversion then passes its GBK text on unmapped.
void Simplify(std::vector<std::string>& pieces) {
  std::string joined;
  for (const std::string& piece : pieces) {
    joined += piece;
    joined += '\0';
  }
  std::string mapped(joined.size(), '\0');
  const int n = TS::LCMapStringA(TS::kLocaleChinesePrc, TS::kMapSimplifiedChinese, joined.data(),
                                 static_cast<int>(joined.size()), mapped.data(), static_cast<int>(mapped.size()));
  if (n != static_cast<int>(joined.size())) return;
  std::size_t at = 0;
  for (std::string& piece : pieces) {
    piece = mapped.substr(at, piece.size());
    at += piece.size() + 1;
  }
}

bool IsWellFormedPiece(const std::string& gbk) {
  return (gbk.size() == 1 && !IsGbkLeadByte(static_cast<unsigned char>(gbk[0]))) ||
         (gbk.size() == 2 && IsGbkPair(static_cast<unsigned char>(gbk[0]), static_cast<unsigned char>(gbk[1])));
}

// A double-byte code page's pieces, built a row at a time when a text first holds the row's first byte: a short
// text pays for the few rows it holds, with three calls each, not for the whole code page. A piece of 0 is one
// not built yet. Each piece is written and read whole, so a walk on another thread sees 0 or the piece.
struct DoubleByteTable {
  explicit DoubleByteTable(GbkTable which);

  // Builds the row of the first byte b (80 on) unless built; false where the services fail.
  bool BuildRow(unsigned b);
  // The items' pieces; empty where the services fail.
  std::vector<Piece> Pieces(const std::vector<std::string>& items) const;

  GbkTable which;
  bool loaded = false;
  bool asciiKept = false;  // every ASCII byte is its own GBK byte, so runs of them are copied as they are
  Piece single[0x80] = {};
  // By (first byte - 80) << 8 | next byte, the terminator included.
  std::unique_ptr<std::atomic<Piece>[]> pairs;
  // Per first byte from 80 on: it takes whatever byte but the terminator follows it. The walk then knows where
  // the next character starts without waiting for the large table.
  std::atomic<bool> takesAnyNext[0x80] = {};
  bool rowBuilt[0x80] = {};
  std::mutex building;
};

unsigned CodePageOf(GbkTable which) {
  return which == GbkTable::kShiftJis ? TS::kCodePageShiftJis : TS::kCodePageBig5;
}

char16_t DefaultUnitOf(unsigned codePage) {
  for (const Encoding& e : kEncodings) {
    if (e.codePage == codePage) return e.defaultUnit;
  }
  return u'?';
}

std::vector<Piece> DoubleByteTable::Pieces(const std::vector<std::string>& items) const {
  const unsigned codePage = CodePageOf(which);
  const char16_t defaultUnit = DefaultUnitOf(codePage);
  const std::vector<std::u16string> units = Decode(codePage, items);
  if (units.size() != items.size()) return {};
  std::vector<std::u16string> firsts;
  for (const std::u16string& item : units) {
    if (item.empty()) return {};
    firsts.push_back(item.substr(0, 1));
  }
  std::vector<std::string> gbk = EncodeGbk(firsts);
  if (gbk.size() != items.size()) return {};
  // Lossless: two bytes that are one character of the code page's own, which GBK writes as a character of two
  // bytes (so not as its default '?'). Other pieces may or may not lose something; a repair asks the services.
  std::vector<bool> lossless(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    lossless[i] = items[i].size() == 2 && units[i].size() == 1 && units[i][0] != defaultUnit && gbk[i].size() == 2;
  }
  if (which == GbkTable::kBig5Simplified) Simplify(gbk);
  std::vector<Piece> pieces;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!IsWellFormedPiece(gbk[i])) return {};
    // Two bytes that decode to one character are taken together; otherwise the first stands alone and the
    // next one starts a character of its own.
    pieces.push_back(MakePiece(gbk[i], items[i].size() == 2 && units[i].size() == 1 ? 2 : 1, lossless[i]));
  }
  return pieces;
}

DoubleByteTable::DoubleByteTable(GbkTable which) : which(which) {
  std::vector<std::string> items;
  for (unsigned b = 1; b < 0x80; ++b) items.push_back({static_cast<char>(b)});
  const std::vector<Piece> pieces = Pieces(items);
  if (pieces.empty()) return;
  asciiKept = true;
  for (unsigned b = 1; b < 0x80; ++b) {
    single[b] = pieces[b - 1];
    asciiKept = asciiKept && single[b] == MakePiece(items[b - 1], 1);
  }
  pairs = std::make_unique<std::atomic<Piece>[]>(0x80 << 8);
  loaded = true;
}

bool DoubleByteTable::BuildRow(unsigned b) {
  const std::lock_guard<std::mutex> lock(building);
  if (rowBuilt[b - 0x80]) return true;
  std::vector<std::string> items{{static_cast<char>(b)}};  // before the terminator
  for (unsigned next = 1; next < 0x100; ++next) items.push_back({static_cast<char>(b), static_cast<char>(next)});
  const std::vector<Piece> pieces = Pieces(items);
  if (pieces.empty()) return false;
  bool takesAny = true;
  for (unsigned next = 0; next < 0x100; ++next) {
    pairs[(b - 0x80) << 8 | next].store(pieces[next], std::memory_order_relaxed);
    takesAny = takesAny && (next == 0 || pieces[next] >> 24 == 2);
  }
  takesAnyNext[b - 0x80].store(takesAny, std::memory_order_relaxed);
  rowBuilt[b - 0x80] = true;
  return true;
}

DoubleByteTable& TableOf(GbkTable which) {
  if (which == GbkTable::kShiftJis) {
    static DoubleByteTable shiftJis(GbkTable::kShiftJis);
    return shiftJis;
  }
  static DoubleByteTable big5(GbkTable::kBig5Simplified);
  return big5;
}

// GBK's bytes for UTF-16 units, a byte or lead byte << 8 | trail byte, built a block of 256 units at a time
// when a text first holds one of them; 0 where not built yet, as in DoubleByteTable.
struct UnitTable {
  UnitTable();

  bool BuildBlock(unsigned high);

  bool loaded = false;
  bool asciiKept = false;
  std::atomic<std::uint16_t> bytes[0x10000] = {};
  bool blockBuilt[0x100] = {};
  std::mutex building;
};

UnitTable::UnitTable() {
  if (!BuildBlock(0)) return;
  asciiKept = true;
  for (unsigned u = 1; u < 0x80; ++u) {
    // The output's bound holds only if an ASCII unit gives one byte, as from one byte of UTF-8.
    const unsigned code = bytes[u].load(std::memory_order_relaxed);
    if (code > 0xFF) return;
    asciiKept = asciiKept && code == u;
  }
  loaded = true;
}

bool UnitTable::BuildBlock(unsigned high) {
  const std::lock_guard<std::mutex> lock(building);
  if (blockBuilt[high]) return true;
  const unsigned first = high == 0 ? 1 : 0;  // NUL is the items' separator, and never converted
  std::vector<std::u16string> items;
  for (unsigned low = first; low < 0x100; ++low) items.push_back({static_cast<char16_t>(high << 8 | low)});
  const std::vector<std::string> gbk = EncodeGbk(items);
  if (gbk.size() != items.size()) return false;
  for (unsigned low = first; low < 0x100; ++low) {
    const std::string& piece = gbk[low - first];
    if (!IsWellFormedPiece(piece)) return false;
    const auto lead = static_cast<unsigned char>(piece[0]);
    const unsigned code = piece.size() == 2 ? lead << 8 | static_cast<unsigned char>(piece[1]) : lead;
    bytes[high << 8 | low].store(static_cast<std::uint16_t>(code), std::memory_order_relaxed);
  }
  blockBuilt[high] = true;
  return true;
}

UnitTable& Utf8Table() {
  static UnitTable table;
  return table;
}

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

unsigned char* Put(unsigned code, unsigned char* out) {
  if (code > 0xFF) {
    out[0] = static_cast<unsigned char>(code >> 8);
    out[1] = static_cast<unsigned char>(code);
    return out + 2;
  }
  out[0] = static_cast<unsigned char>(code);
  return out + 1;
}

// Eight ASCII bytes at once, where every ASCII byte is its own GBK byte: the commands and file names of a sheet.
bool CopiedEightAscii(const unsigned char*& p, const unsigned char* end, unsigned char*& out) {
  if (end - p < 8 || !IsEightAscii(p)) return false;
  std::memcpy(out, p, 8);
  p += 8;
  out += 8;
  return true;
}

}  // namespace

bool DoubleByteToGbk(GbkTable which, const char* input, char* output, bool* lostNothing) {
  DoubleByteTable& table = TableOf(which);
  if (!table.loaded) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(input);
  const unsigned char* const end = p + std::strlen(input);
  auto* out = reinterpret_cast<unsigned char*>(output);
  bool lossless = true;  // every character above ASCII has a GBK form, and no lead byte ends the text
  while (p < end) {
    // p[1] is at most the terminator. Both bytes are written, the second perhaps to be overwritten: the
    // output has room for two bytes a source byte.
    const unsigned b = *p;
    Piece piece;
    if (b < 0x80) {
      if (table.asciiKept && CopiedEightAscii(p, end, out)) continue;
      piece = table.single[b];
    } else {
      std::atomic<Piece>& at = table.pairs[(b - 0x80) << 8 | p[1]];
      piece = at.load(std::memory_order_relaxed);
      if (piece == 0) {
        if (!table.BuildRow(b)) {
          *output = '\0';
          return false;
        }
        piece = at.load(std::memory_order_relaxed);
      }
      lossless = lossless && (piece & kLossless) != 0 && p[1] != 0;
    }
    out[0] = static_cast<unsigned char>(piece);
    out[1] = static_cast<unsigned char>(piece >> 8);
    out += piece >> 16 & 3;
    p += b >= 0x80 && p[1] != 0 && table.takesAnyNext[b - 0x80].load(std::memory_order_relaxed) ? 2 : piece >> 24;
  }
  *out = '\0';
  if (lostNothing != nullptr) *lostNothing = *lostNothing && lossless;
  return true;
}

bool WellFormedUtf8ToGbk(const char* input, char* output) {
  UnitTable& table = Utf8Table();
  if (!table.loaded) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(input);
  const unsigned char* const end = p + std::strlen(input);
  auto* out = reinterpret_cast<unsigned char*>(output);
  auto put = [&table, &out](unsigned long unit) {
    unsigned code = table.bytes[unit].load(std::memory_order_relaxed);
    if (code == 0) {
      if (!table.BuildBlock(unit >> 8)) return false;
      code = table.bytes[unit].load(std::memory_order_relaxed);
    }
    out = Put(code, out);
    return true;
  };
  // A continuation byte is never the terminator, so each test stops at the end of the text.
  while (p < end) {
    const unsigned b = p[0];
    if (b < 0x80) {
      if (table.asciiKept && CopiedEightAscii(p, end, out)) continue;
      out = Put(table.bytes[b].load(std::memory_order_relaxed), out);
      ++p;
      continue;
    }
    unsigned long code;
    if (b >= 0xC2 && b <= 0xDF && IsContinuation(p[1])) {
      code = (b & 0x1FUL) << 6 | (p[1] & 0x3FUL);
      p += 2;
    } else if (b >= 0xE0 && b <= 0xEF && IsContinuation(p[1]) && IsContinuation(p[2])) {
      code = (b & 0x0FUL) << 12 | (p[1] & 0x3FUL) << 6 | (p[2] & 0x3FUL);
      if (code < 0x800 || (code >= 0xD800 && code < 0xE000)) return false;
      p += 3;
    } else if (b >= 0xF0 && b <= 0xF4 && IsContinuation(p[1]) && IsContinuation(p[2]) && IsContinuation(p[3])) {
      code = (b & 0x07UL) << 18 | (p[1] & 0x3FUL) << 12 | (p[2] & 0x3FUL) << 6 | (p[3] & 0x3FUL);
      if (code < 0x10000 || code > 0x10FFFF) return false;
      p += 4;
    } else {
      return false;
    }
    if (code < 0x10000) {
      if (!put(code)) return false;
    } else if (!put(0xD800 | (code - 0x10000) >> 10) || !put(0xDC00 | (code & 0x3FF))) {
      return false;
    }
  }
  *out = '\0';
  return true;
}

bool DoubleByteLosesNothing(unsigned codePage, std::string_view text) {
  if (codePage != TS::kCodePageBig5 && codePage != TS::kCodePageShiftJis) return false;
  DoubleByteTable& table = TableOf(codePage == TS::kCodePageShiftJis ? GbkTable::kShiftJis : GbkTable::kBig5Simplified);
  if (!table.loaded) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* const end = p + text.size();
  while (p < end) {
    if (end - p >= 8 && IsEightAscii(p)) {
      p += 8;
    } else if (*p < 0x80) {
      ++p;
    } else {
      if (end - p < 2 || p[1] == 0) return false;
      const std::atomic<Piece>& at = table.pairs[(*p - 0x80) << 8 | p[1]];
      Piece piece = at.load(std::memory_order_relaxed);
      if (piece == 0) {
        if (!table.BuildRow(*p)) return false;
        piece = at.load(std::memory_order_relaxed);
      }
      if (!(piece & kLossless)) return false;
      p += 2;
    }
  }
  return true;
}

#include "gbk_tables.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bytes.h"
#include "text_services.h"

namespace TS = TextServices;

namespace {

// One source character's GBK form: its one or two bytes in bits 0-15, their count in bits 16-23, and the
// source bytes it takes in bits 24-31.
using Piece = std::uint32_t;

Piece MakePiece(const std::string& gbk, unsigned taken) {
  Piece piece = static_cast<unsigned char>(gbk[0]) | (static_cast<Piece>(gbk.size()) << 16) | (taken << 24);
  if (gbk.size() == 2) piece |= static_cast<Piece>(static_cast<unsigned char>(gbk[1])) << 8;
  return piece;
}

// Converts many items with one call, NUL after each: under Wine every call has a fixed cost, and tens of
// thousands of them would be felt. Should a service take a NUL into a character, the items no longer line up,
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

// A double-byte code page: what every byte below 80 gives alone, and what every byte from 80 on gives before
// each possible next byte (the terminator included), and whether it takes that byte.
struct DoubleByteTable {
  explicit DoubleByteTable(GbkTable which);

  bool loaded = false;
  bool asciiKept = false;  // every ASCII byte is its own GBK byte, so runs of them are copied as they are
  Piece single[0x80] = {};
  std::unique_ptr<Piece[]> pairs;  // by (first byte - 80) << 8 | next byte
  // Per first byte from 80 on: it takes whatever byte but the terminator follows it. The walk then knows where
  // the next character starts without waiting for the large table.
  bool takesAnyNext[0x80] = {};
};

DoubleByteTable::DoubleByteTable(GbkTable which) {
  const unsigned codePage = which == GbkTable::kShiftJis ? TS::kCodePageShiftJis : TS::kCodePageBig5;
  std::vector<std::string> items;
  for (unsigned b = 1; b < 0x80; ++b) items.push_back({static_cast<char>(b)});
  for (unsigned b = 0x80; b < 0x100; ++b) {
    items.push_back({static_cast<char>(b)});  // before the terminator
    for (unsigned next = 1; next < 0x100; ++next) items.push_back({static_cast<char>(b), static_cast<char>(next)});
  }
  const std::vector<std::u16string> units = Decode(codePage, items);
  if (units.size() != items.size()) return;
  std::vector<std::u16string> firsts;
  firsts.reserve(units.size());
  for (const std::u16string& item : units) {
    if (item.empty()) return;
    firsts.push_back(item.substr(0, 1));
  }
  std::vector<std::string> gbk = EncodeGbk(firsts);
  if (gbk.size() != items.size()) return;
  if (which == GbkTable::kBig5Simplified) Simplify(gbk);
  pairs = std::make_unique<Piece[]>(0x80 << 8);
  asciiKept = true;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!IsWellFormedPiece(gbk[i])) return;
    // Two bytes that decode to one character are taken together; otherwise the first stands alone and the
    // next one starts a character of its own.
    const unsigned taken = items[i].size() == 2 && units[i].size() == 1 ? 2 : 1;
    const Piece piece = MakePiece(gbk[i], taken);
    const auto first = static_cast<unsigned char>(items[i][0]);
    if (first < 0x80) {
      single[first] = piece;
      asciiKept = asciiKept && piece == MakePiece(items[i], 1);
    } else {
      const unsigned next = items[i].size() == 2 ? static_cast<unsigned char>(items[i][1]) : 0;
      pairs[(first - 0x80u) << 8 | next] = piece;
    }
  }
  for (unsigned b = 0; b < 0x80; ++b) {
    takesAnyNext[b] = true;
    for (unsigned next = 1; next < 0x100; ++next) takesAnyNext[b] = takesAnyNext[b] && pairs[b << 8 | next] >> 24 == 2;
  }
  loaded = true;
}

const DoubleByteTable& TableOf(GbkTable which) {
  if (which == GbkTable::kShiftJis) {
    static const DoubleByteTable shiftJis(GbkTable::kShiftJis);
    return shiftJis;
  }
  static const DoubleByteTable big5(GbkTable::kBig5Simplified);
  return big5;
}

// GBK's bytes for every UTF-16 unit: a byte, or lead byte << 8 | trail byte.
struct UnitTable {
  UnitTable();

  bool loaded = false;
  bool asciiKept = false;
  std::unique_ptr<std::uint16_t[]> bytes;
};

UnitTable::UnitTable() {
  std::vector<std::u16string> items;
  for (unsigned u = 1; u < 0x10000; ++u) items.push_back({static_cast<char16_t>(u)});
  const std::vector<std::string> gbk = EncodeGbk(items);
  if (gbk.size() != items.size()) return;
  bytes = std::make_unique<std::uint16_t[]>(0x10000);
  asciiKept = true;
  for (unsigned u = 1; u < 0x10000; ++u) {
    const std::string& piece = gbk[u - 1];
    if (!IsWellFormedPiece(piece)) return;
    const auto first = static_cast<unsigned char>(piece[0]);
    // The output's bound holds only if an ASCII unit gives one byte, as from one byte of UTF-8.
    if (u < 0x80 && piece.size() != 1) return;
    asciiKept = asciiKept && (u >= 0x80 || first == u);
    bytes[u] =
        static_cast<std::uint16_t>(piece.size() == 2 ? first << 8 | static_cast<unsigned char>(piece[1]) : first);
  }
  loaded = true;
}

const UnitTable& Utf8Table() {
  static const UnitTable table;
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

bool DoubleByteToGbk(GbkTable which, const char* input, char* output) {
  const DoubleByteTable& table = TableOf(which);
  if (!table.loaded) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(input);
  const unsigned char* const end = p + std::strlen(input);
  auto* out = reinterpret_cast<unsigned char*>(output);
  while (p < end) {
    // p[1] is at most the terminator. Both bytes are written, the second perhaps to be overwritten: the
    // output has room for two bytes a source byte.
    const unsigned b = *p;
    Piece piece;
    if (b < 0x80) {
      if (table.asciiKept && CopiedEightAscii(p, end, out)) continue;
      piece = table.single[b];
    } else {
      piece = table.pairs[(b - 0x80) << 8 | p[1]];
    }
    out[0] = static_cast<unsigned char>(piece);
    out[1] = static_cast<unsigned char>(piece >> 8);
    out += piece >> 16 & 0xFF;
    p += b >= 0x80 && table.takesAnyNext[b - 0x80] && p[1] != 0 ? 2 : piece >> 24;
  }
  *out = '\0';
  return true;
}

bool WellFormedUtf8ToGbk(const char* input, char* output) {
  const UnitTable& table = Utf8Table();
  if (!table.loaded) return false;
  const std::uint16_t* const bytes = table.bytes.get();
  const auto* p = reinterpret_cast<const unsigned char*>(input);
  const unsigned char* const end = p + std::strlen(input);
  auto* out = reinterpret_cast<unsigned char*>(output);
  // A continuation byte is never the terminator, so each test stops at the end of the text.
  while (p < end) {
    const unsigned b = p[0];
    if (b < 0x80) {
      if (table.asciiKept && CopiedEightAscii(p, end, out)) continue;
      out = Put(bytes[b], out);
      ++p;
    } else if (b >= 0xC2 && b <= 0xDF && IsContinuation(p[1])) {
      out = Put(bytes[(b & 0x1F) << 6 | (p[1] & 0x3F)], out);
      p += 2;
    } else if (b >= 0xE0 && b <= 0xEF && IsContinuation(p[1]) && IsContinuation(p[2])) {
      const unsigned code = (b & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F);
      if (code < 0x800 || (code >= 0xD800 && code < 0xE000)) return false;
      out = Put(bytes[code], out);
      p += 3;
    } else if (b >= 0xF0 && b <= 0xF4 && IsContinuation(p[1]) && IsContinuation(p[2]) && IsContinuation(p[3])) {
      const unsigned long code = (b & 0x07UL) << 18 | (p[1] & 0x3FUL) << 12 | (p[2] & 0x3FUL) << 6 | (p[3] & 0x3FUL);
      if (code < 0x10000 || code > 0x10FFFF) return false;
      const unsigned long offset = code - 0x10000;
      out = Put(bytes[0xD800 | offset >> 10], out);
      out = Put(bytes[0xDC00 | (offset & 0x3FF)], out);
      p += 4;
    } else {
      return false;
    }
  }
  *out = '\0';
  return true;
}

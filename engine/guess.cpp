#include "guess.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "text_services.h"

namespace {

// A character's evidence in one word: its cost in quarter nats (low byte) and two flags.
using Entry = std::uint16_t;
constexpr Entry kUndefinedBit = 1 << 8;
constexpr Entry kUnmappableBit = 1 << 9;
constexpr Entry kLatinBit = 1 << 10;  // a Latin letter, at home between ASCII letters
constexpr int kQuarters = 4;

constexpr Entry Cost(double nats) {
  const double quarters = nats * kQuarters + 0.5;
  return static_cast<Entry>(quarters > 255 ? 255 : quarters);
}

// What every model pays for a byte it cannot read: enough that one such byte outweighs several rare characters.
constexpr double kUndefinedNats = 20;
constexpr Entry kUndefined = Cost(kUndefinedNats) | kUndefinedBit;
// An ASCII character, the same in every model, so only the ASCII bytes a model reads as trail bytes count.
constexpr double kAsciiNats = 3.7;
// `unknown`'s cost for a byte above 0x7F.
constexpr double kNoiseNats = 7;

constexpr char16_t kUtf16Default = u'?';
constexpr char16_t kShiftJisDefault = u'\x30FB';  // also 81 45's own character

bool IsPrivateUse(char16_t u) { return u >= 0xE000 && u <= 0xF8FF; }

// The characters of one double-byte code page, read through TextServices: the unit per byte and per pair,
// 0 where the code page defines none.
struct CodePageUnits {
  bool lead[256] = {};
  char16_t single[256] = {};
  std::unique_ptr<char16_t[]> pairs = std::make_unique<char16_t[]>(65536);
};

constexpr unsigned kFirstTrail = 0x40;  // no code page here has a trail byte below it
constexpr unsigned kTrails = 256 - kFirstTrail;

// Decodes `count` items of `width` bytes, each closed by a line feed, in one call; returns per item its unit,
// or 0 when it did not come out as exactly one unit (and the line feed) or the decode failed.
std::vector<char16_t> DecodeItems(unsigned codePage, const std::string& items, std::size_t count) {
  std::vector<char16_t> units(items.size() + 1);
  std::vector<char16_t> result(count, 0);
  const int n = TextServices::MultiByteToWideChar(codePage, 0, items.data(), static_cast<int>(items.size()),
                                                  units.data(), static_cast<int>(units.size()));
  std::size_t item = 0, start = 0;
  for (int k = 0; k < n && item < count; ++k) {
    if (units[k] != u'\n') continue;
    if (k - start == 1) result[item] = units[start];
    ++item;
    start = k + 1;
  }
  return result;
}

CodePageUnits ReadCodePage(unsigned codePage) {
  CodePageUnits cp;
  const char16_t fallback = codePage == TextServices::kCodePageShiftJis ? kShiftJisDefault : kUtf16Default;
  // A lead byte takes the 'A' after it into one character; any other byte leaves it standing.
  std::string probe;
  for (unsigned b = 0x80; b < 0x100; ++b) probe += {static_cast<char>(b), 'A', '\n'};
  std::vector<char16_t> units(probe.size() + 1);
  const int n = TextServices::MultiByteToWideChar(codePage, 0, probe.data(), static_cast<int>(probe.size()),
                                                  units.data(), static_cast<int>(units.size()));
  std::size_t start = 0;
  unsigned b = 0x80;
  for (int k = 0; k < n && b < 0x100; ++k) {
    if (units[k] != u'\n') continue;
    if (k - start == 1) {
      cp.lead[b] = true;
    } else if (k - start == 2 && units[start] != fallback) {
      cp.single[b] = units[start];
    }
    ++b;
    start = k + 1;
  }
  // One call per lead byte, not per pair: under Wine each call has a fixed cost that 24,000 calls make felt.
  for (unsigned lead = 0x80; lead < 0x100; ++lead) {
    if (!cp.lead[lead]) continue;
    std::string row;
    for (unsigned t = kFirstTrail; t < 0x100; ++t) row += {static_cast<char>(lead), static_cast<char>(t), '\n'};
    const std::vector<char16_t> pairs = DecodeItems(codePage, row, kTrails);
    for (unsigned t = kFirstTrail; t < 0x100; ++t) {
      const char16_t u = pairs[t - kFirstTrail];
      const bool own = u != fallback || (codePage == TextServices::kCodePageShiftJis && lead == 0x81 && t == 0x45);
      if (own && !IsPrivateUse(u)) cp.pairs[lead << 8 | t] = u;
    }
  }
  return cp;
}

// Costs by the code page's own layout: its frequent block is where the common characters of its language sit.
double GbkNats(unsigned lead, unsigned trail) {
  if (trail >= 0xA1) {
    if (lead == 0xA1 || lead == 0xA3) return 6;       // punctuation, full-width forms
    if (lead <= 0xA9) return 12;                      // digits, kana, Greek, Cyrillic, pinyin, boxes
    if (lead >= 0xB0 && lead <= 0xD7) return 7.5;     // GB2312 level 1
    if (lead >= 0xD8 && lead <= 0xF7) return 11;      // GB2312 level 2
  }
  return 13;  // the GBK extension
}

double Big5Nats(unsigned lead, unsigned trail) {
  const unsigned code = lead << 8 | trail;
  if (code < 0xA240) return 6;                         // punctuation
  if (code < 0xA440) return 10;                        // symbols, bopomofo
  if (code <= 0xC67E) return 7.5;                      // the frequent block
  if (code >= 0xC940 && code <= 0xF9D5) return 11;     // the less frequent block
  return 13;
}

double ShiftJisNats(unsigned lead, unsigned trail) {
  const unsigned code = lead << 8 | trail;
  if (code >= 0x829F && code <= 0x82F1) return 4.5;    // hiragana
  if (code >= 0x8340 && code <= 0x8396) return 5;      // katakana
  if (lead == 0x81) return 6.5;                        // punctuation and symbols
  if (lead == 0x82) return 9;                          // full-width digits and letters
  if (code >= 0x889F && code <= 0x9872) return 7.5;    // JIS level 1
  if (code >= 0x989F && code <= 0xEAA4) return 11;     // JIS level 2
  return 13;
}

bool IsWesternLetter(unsigned b) {
  return (b >= 0xC0 && b != 0xD7 && b != 0xF7) || b == 0x8A || b == 0x8C || b == 0x8E || b == 0x9A ||
         b == 0x9C || b == 0x9E || b == 0x9F;
}

double WesternNats(unsigned b) {
  double nats;
  if (b >= 0xE0 && b != 0xF7) {
    nats = b == 0xE9 ? 4.5 : 5.5;  // small letters, é the most frequent
  } else if (b >= 0xC0 && b != 0xD7) {
    nats = b == 0xDF ? 6 : 7.5;
  } else if ((b >= 0x91 && b <= 0x94) || b == 0x96 || b == 0x97 || b == 0x85) {
    nats = 6;  // typographic quotes, dashes, ellipsis
  } else if (b == 0x80 || b == 0x99 || b == 0x8A || b == 0x8C || b == 0x8E || b == 0x9A || b == 0x9C ||
             b == 0x9E || b == 0x9F || b == 0xA0 || b == 0xA9 || b == 0xAE || b == 0xB0 || b == 0xB7 ||
             b == 0xAB || b == 0xBB || b == 0xA1 || b == 0xBF) {
    nats = 8;
  } else {
    nats = 10;
  }
  return nats;
}

bool IsUndefinedWestern(unsigned b) { return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D; }

double UnicodeNats(char32_t u) {
  if (u < 0xA0) return kUndefinedNats;
  if (u < 0x100) return u >= 0xC0 ? 5.5 : 8;
  if (u < 0x250) return 8;
  if (u >= 0x370 && u < 0x500) return 8;
  if (u >= 0x2000 && u < 0x2070) return 6;
  if (u >= 0x3000 && u < 0x3040) return 6;
  if (u >= 0x3040 && u < 0x3100) return 4.5;
  if (u >= 0x4E00 && u < 0xA000) return 7.5;
  if (u >= 0xAC00 && u < 0xD7A4) return 8;
  if (u >= 0xFF00 && u < 0xFFF0) return 8;
  if (u >= 0x10000) return 12;
  return 11;
}

// A double-byte code page's entries, ready for the scan.
struct CodePageModel {
  bool lead[256] = {};
  Entry single[256] = {};
  std::unique_ptr<Entry[]> pairs = std::make_unique<Entry[]>(65536);
};

struct Models {
  std::bitset<65536> gbk;  // the units GBK can write
  CodePageModel gbkModel, big5Model, shiftJisModel;
  std::unique_ptr<Entry[]> unicode = std::make_unique<Entry[]>(65536);
  Entry western[256] = {};

  Models() {
    const CodePageUnits gbkUnits = ReadCodePage(TextServices::kCodePageGbk);
    for (unsigned u = 0; u < 0x80; ++u) gbk.set(u);
    for (unsigned b = 0x80; b < 0x100; ++b) {
      if (gbkUnits.single[b]) gbk.set(gbkUnits.single[b]);
    }
    for (unsigned code = 0; code < 65536; ++code) {
      if (gbkUnits.pairs[code]) gbk.set(gbkUnits.pairs[code]);
    }
    Build(gbkModel, gbkUnits, GbkNats);
    Build(big5Model, ReadCodePage(TextServices::kCodePageBig5), Big5Nats);
    Build(shiftJisModel, ReadCodePage(TextServices::kCodePageShiftJis), ShiftJisNats);
    for (unsigned u = 0; u < 65536; ++u) {
      if (u >= 0xD800 && u < 0xE000) continue;  // never decoded: the scan turns surrogates away first
      if (IsPrivateUse(static_cast<char16_t>(u))) {
        unicode[u] = kUndefined;
      } else {
        unicode[u] = Flagged(UnicodeNats(u), u) | (u >= 0xC0 && u < 0x250 && u != 0xD7 && u != 0xF7 ? kLatinBit : 0);
      }
    }
    for (unsigned b = 0x80; b < 0x100; ++b) {
      western[b] = IsUndefinedWestern(b) ? kUndefined : Cost(WesternNats(b)) | (IsWesternLetter(b) ? kLatinBit : 0);
    }
  }

  Entry Flagged(double nats, char16_t unit) const {
    return Cost(nats) | (gbk.test(unit) ? 0 : kUnmappableBit);
  }

  void Build(CodePageModel& model, const CodePageUnits& units, double (*nats)(unsigned, unsigned)) const {
    std::copy(std::begin(units.lead), std::end(units.lead), std::begin(model.lead));
    for (unsigned b = 0x80; b < 0x100; ++b) {
      model.single[b] = units.single[b] && !units.lead[b] ? Flagged(12, units.single[b]) : kUndefined;
    }
    for (unsigned b = 0x80; b < 0x100; ++b) {
      // Half-width katakana: the only single bytes above 0x7F that a real text uses often.
      if (&model == &shiftJisModel && b >= 0xA1 && b <= 0xDF) model.single[b] = Flagged(9, units.single[b]);
    }
    for (unsigned code = 0; code < 65536; ++code) {
      const char16_t u = units.pairs[code];
      model.pairs[code] = u ? Flagged(nats(code >> 8, code & 0xFF), u) : kUndefined;
    }
  }
};

const Models& TheModels() {
  static const Models models;
  return models;
}

constexpr int kLatinBesideLetter = Cost(1.5);
constexpr int kLatinAlone = Cost(3);
constexpr int kOtherBesideLetter = Cost(2);

bool IsAsciiLetter(unsigned char c) { return static_cast<unsigned char>((c | 0x20) - 'a') < 26; }

struct Tally {
  std::ptrdiff_t quarters = 0;
  std::size_t ascii = 0;  // ASCII characters left standing
  std::size_t undefined = 0;
  std::size_t unmappable = 0;

  // A character beside an ASCII letter: a Latin letter is in its place there, anything else out of it.
  void Add(Entry e, bool letterBefore, bool letterAfter) {
    const int beside = letterBefore + letterAfter;
    if (e & kLatinBit) {
      quarters -= beside > 0 ? kLatinBesideLetter : -kLatinAlone;
    } else {
      quarters += kOtherBesideLetter * beside;
    }
    Add(e);
  }
  void Add(Entry e) {
    quarters += e & 0xFF;
    undefined += (e & kUndefinedBit) != 0;
    unmappable += (e & kUnmappableBit) != 0;
  }
  double Nats() const { return static_cast<double>(quarters) / kQuarters + kAsciiNats * static_cast<double>(ascii); }
};

bool AsciiRun(const unsigned char* p) {
  std::uint64_t chunk;
  std::memcpy(&chunk, p, sizeof chunk);
  return (chunk & 0x8080808080808080u) == 0;
}

Tally ScanDoubleByte(const CodePageModel& model, const unsigned char* s, std::size_t n) {
  Tally t;
  for (std::size_t i = 0; i < n;) {
    if (n - i >= 8 && AsciiRun(s + i)) {
      t.ascii += 8;
      i += 8;
      continue;
    }
    const unsigned b = s[i];
    if (b < 0x80) {
      ++t.ascii;
      ++i;
    } else if (!model.lead[b]) {
      t.Add(model.single[b], i > 0 && IsAsciiLetter(s[i - 1]), i + 1 < n && IsAsciiLetter(s[i + 1]));
      ++i;
    } else if (i + 1 < n) {
      t.Add(model.pairs[b << 8 | s[i + 1]], i > 0 && IsAsciiLetter(s[i - 1]), i + 2 < n && IsAsciiLetter(s[i + 2]));
      i += 2;
    } else {
      t.Add(kUndefined);
      ++i;
    }
  }
  return t;
}

Tally ScanWestern(const Models& models, const unsigned char* s, std::size_t n) {
  Tally t;
  for (std::size_t i = 0; i < n;) {
    if (n - i >= 8 && AsciiRun(s + i)) {
      t.ascii += 8;
      i += 8;
      continue;
    }
    const unsigned b = s[i];
    if (b < 0x80) {
      ++t.ascii;
    } else {
      t.Add(models.western[b], i > 0 && IsAsciiLetter(s[i - 1]), i + 1 < n && IsAsciiLetter(s[i + 1]));
    }
    ++i;
  }
  return t;
}

// The length of the well-formed UTF-8 sequence at s[i] and its code point, or 0 when it is not one.
std::size_t Utf8Sequence(const unsigned char* s, std::size_t n, std::size_t i, char32_t& u) {
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

constexpr unsigned char kBom[] = {0xEF, 0xBB, 0xBF};
// A byte-order mark is all but proof of UTF-8.
constexpr double kBomNats = -12;

Tally ScanUtf8(const Models& models, const unsigned char* s, std::size_t n, double& bonus) {
  Tally t;
  std::size_t i = 0;
  bonus = 0;
  if (n >= 3 && std::memcmp(s, kBom, 3) == 0) {
    bonus = kBomNats;
    i = 3;
  }
  while (i < n) {
    if (n - i >= 8 && AsciiRun(s + i)) {
      t.ascii += 8;
      i += 8;
      continue;
    }
    if (s[i] < 0x80) {
      ++t.ascii;
      ++i;
      continue;
    }
    char32_t u;
    const std::size_t length = Utf8Sequence(s, n, i, u);
    if (length == 0) {
      t.Add(kUndefined);
      ++i;
    } else {
      t.Add(u < 0x10000 ? models.unicode[u] : static_cast<Entry>(Cost(12) | kUnmappableBit),
            i > 0 && IsAsciiLetter(s[i - 1]), i + length < n && IsAsciiLetter(s[i + length]));
      i += length;
    }
  }
  return t;
}

// Control bytes that no text holds (tab, line ends, form feed, escape and the end-of-file mark are fine).
bool IsBinaryControl(unsigned char c) {
  return (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != 0x1A && c != 0x1B) || c == 0x7F;
}

// Binary data: more than one byte in 20 a control byte.
constexpr std::size_t kBinaryShare = 20;

}  // namespace

Guess GuessCause(const char* text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text == nullptr ? "" : text);
  const std::size_t n = std::strlen(reinterpret_cast<const char*>(s));
  std::size_t high = 0, controls = 0;
  for (std::size_t i = 0; i < n; ++i) {
    high += s[i] >= 0x80;
    controls += IsBinaryControl(s[i]);
  }

  Guess guess;
  const bool binary = controls * kBinaryShare > n;
  if (high == 0 && !binary) {
    guess.confident = true;
    guess.ranked.push_back({Cause::kAscii, 1, 0, 0, 0});
    for (Cause c : {Cause::kGbk, Cause::kBig5, Cause::kShiftJis, Cause::kWestern, Cause::kUtf8, Cause::kUnknown}) {
      guess.ranked.push_back({c, 0, 0, 0, 0});
    }
    return guess;
  }

  const Models& models = TheModels();
  const double noise = kNoiseNats * static_cast<double>(high) + kAsciiNats * static_cast<double>(n - high);
  struct Reading {
    Cause cause;
    Tally tally;
    double bonus;
  };
  double bom = 0;
  const Tally utf8 = ScanUtf8(models, s, n, bom);
  Reading readings[] = {
      {Cause::kGbk, ScanDoubleByte(models.gbkModel, s, n), 0},
      {Cause::kBig5, ScanDoubleByte(models.big5Model, s, n), 0},
      {Cause::kShiftJis, ScanDoubleByte(models.shiftJisModel, s, n), 0},
      {Cause::kWestern, ScanWestern(models, s, n), 0},
      {Cause::kUtf8, utf8, bom},
  };

  for (const Reading& r : readings) {
    guess.ranked.push_back({r.cause, 0, r.tally.undefined, r.tally.unmappable, noise - r.tally.Nats() - r.bonus});
  }
  // ASCII reads every byte above 0x7F as undefined.
  guess.ranked.push_back({Cause::kAscii, 0, high, 0, (kNoiseNats - kUndefinedNats) * static_cast<double>(high)});
  guess.ranked.push_back({Cause::kUnknown, 0, 0, 0, 0});
  if (binary) {
    guess.ranked.back().score = 1;
  } else {
    double best = 0;
    for (const Candidate& c : guess.ranked) best = std::max(best, c.plausibility);
    double sum = 0;
    for (Candidate& c : guess.ranked) sum += c.score = std::exp(c.plausibility - best);
    for (Candidate& c : guess.ranked) c.score /= sum;
  }
  std::stable_sort(guess.ranked.begin(), guess.ranked.end(),
                   [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
  const Candidate& top = guess.ranked.front();
  guess.confident = binary || (top.undefined == 0 && top.score >= kConfidentScore);
  return guess;
}

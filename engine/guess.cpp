#include "guess.h"
#include "bytes.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <bitset>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "hanzi_frequency.h"
#include "letter_frequency.h"
#include "text_services.h"
#include "zeroed.h"

namespace {

// A character's evidence in one word: its cost in quarter nats (low byte), two flags and its kind.
using Entry = std::uint16_t;
constexpr Entry kUndefinedBit = 1 << 8;
constexpr Entry kUnmappableBit = 1 << 9;
// Bits 10-11: how the character sits beside ASCII letters (see kBesideLetters).
constexpr Entry kLatinBit = 1 << 10;    // a Latin letter, at home between ASCII letters
constexpr Entry kNeutralBit = 2 << 10;  // a Western mark, as at home beside letters as elsewhere
constexpr Entry kMarkBit = 3 << 10;     // a Latin-1 sign, at home beside a letter (¿Qué, m³, 1º), not between two
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
constexpr double kNoiseNats = 10;

// The pair whose own character is the code page's default one, ・ in the Japanese code pages.
unsigned OwnDefaultPair(Cause cause) {
  return cause == Cause::kShiftJis ? 0x8145 : cause == Cause::kEucJp ? 0xA1A6 : 0;
}

bool IsPrivateUse(char16_t u) { return u >= 0xE000 && u <= 0xF8FF; }

// The characters of one code page, read through TextServices: the unit per byte and, for a double-byte one, per
// pair, 0 where the code page defines none.
struct CodePageUnits {
  bool lead[256] = {};
  char16_t single[256] = {};
  std::unique_ptr<char16_t[]> pairs;  // null for a single-byte code page
};

constexpr unsigned kFirstTrail = 0x40;  // no code page here has a trail byte below it

// Decodes `count` items of `width` bytes, each closed by a line feed, in one call; returns per item its unit,
// or 0 when it did not come out as exactly one unit. Should a system take a line feed into a pair, the items no
// longer line up, and each is decoded on its own.
std::vector<char16_t> DecodeItems(unsigned codePage, const std::string& items, std::size_t width) {
  const std::size_t count = items.size() / (width + 1);
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
  if (item == count || count == 1) return result;
  for (std::size_t i = 0; i < count; ++i) {
    result[i] = DecodeItems(codePage, items.substr(i * (width + 1), width + 1), width)[0];
  }
  return result;
}

// The layout of one code page: which bytes lead a pair, and the character of each other byte. The lead bytes are
// asked for rather than found by decoding a pair of each, which would read every row of the code page.
CodePageUnits ReadLayout(Cause cause) {
  CodePageUnits cp;
  const unsigned codePage = EncodingOf(cause).codePage;
  const char16_t fallback = EncodingOf(cause).defaultUnit;
  std::string items;
  std::vector<unsigned> singles;
  for (unsigned b = 0x80; b < 0x100; ++b) {
    cp.lead[b] = TextServices::IsDBCSLeadByteEx(codePage, static_cast<unsigned char>(b));
    if (cp.lead[b]) continue;
    singles.push_back(b);
    items += {static_cast<char>(b), '\n'};
  }
  const std::vector<char16_t> units = DecodeItems(codePage, items, 1);
  for (std::size_t i = 0; i < singles.size(); ++i) {
    if (units[i] != fallback) cp.single[singles[i]] = units[i];
  }
  return cp;
}

// A pair's own character, 0 when the code page gives it none but its default one or a private-use one.
char16_t OwnUnit(Cause cause, unsigned lead, unsigned trail, char16_t u) {
  const bool own = u != EncodingOf(cause).defaultUnit || (lead << 8 | trail) == OwnDefaultPair(cause);
  return own && !IsPrivateUse(u) ? u : u'\0';
}

// The characters of pairs (lead byte << 8 | trail byte) in one call: under Wine each call has a fixed cost that
// thousands of calls make felt.
std::u16string DecodePairs(Cause cause, const std::vector<std::uint16_t>& codes) {
  std::string items;
  std::vector<std::size_t> asked;  // the codes asked about: those with a trail byte a pair may have
  for (std::size_t i = 0; i < codes.size(); ++i) {
    if ((codes[i] & 0xFFu) < kFirstTrail) continue;
    asked.push_back(i);
    items += {static_cast<char>(codes[i] >> 8), static_cast<char>(codes[i]), '\n'};
  }
  const std::vector<char16_t> units = DecodeItems(EncodingOf(cause).codePage, items, 2);
  std::u16string result(codes.size(), u'\0');
  for (std::size_t k = 0; k < asked.size(); ++k) {
    const unsigned code = codes[asked[k]];
    result[asked[k]] = OwnUnit(cause, code >> 8, code & 0xFFu, units[k]);
  }
  return result;
}

enum class Language { kSimplified, kTraditional, kJapanese };

bool IsIdeograph(char32_t u) {
  return (u >= 0x4E00 && u < 0xA000) || (u >= 0x3400 && u < 0x4DC0) || (u >= 0xF900 && u < 0xFB00);
}

// An ideograph's cost in running text of the language, from the generated frequency classes.
double IdeographNats(char32_t u, Language language) {
  const HanziClasses c = HanziClassesOf(u);
  if (language == Language::kJapanese) {
    constexpr double kJapaneseNats[] = {7, 8.5, 10.5, 13};
    return kJapaneseNats[c.japanese];
  }
  const int chinese = language == Language::kSimplified ? c.simplified : c.traditional;
  return chinese == 7 ? 14 : 4.6 + 1.25 * chinese;
}

// What is not an ideograph is costed by the code page's own layout: where its punctuation sits, and which rows
// hold what the language seldom writes (kana in Chinese, Greek, box drawing).
double GbkNats(unsigned lead, unsigned trail, char16_t u) {
  if (IsIdeograph(u)) return IdeographNats(u, Language::kSimplified);
  // Punctuation, full-width forms; the second half of row A1 is mathematical signs, seldom in a title, and
  // what Thai text in code page 874 reads as.
  if (lead == 0xA1) return trail < 0xC0 ? 6 : 10;
  if (lead == 0xA3) return 6;
  return 12;
}

double Big5Nats(unsigned lead, unsigned trail, char16_t u) {
  if (IsIdeograph(u)) return IdeographNats(u, Language::kTraditional);
  if ((lead << 8 | trail) < 0xA240) return 6;  // punctuation
  return 12;
}

double ShiftJisNats(unsigned lead, unsigned trail, char16_t u) {
  if (IsIdeograph(u)) return IdeographNats(u, Language::kJapanese);
  if (u >= 0x3041 && u <= 0x3093) return 4.5;  // hiragana
  if (u >= 0x30A1 && u <= 0x30FE) return 5;    // katakana and the prolonged sound mark
  if (lead == 0x81) return trail <= 0x5B || (trail >= 0x69 && trail <= 0x7A) ? 5.5 : 8;  // punctuation, brackets
  if (lead == 0x82) return 9;  // full-width digits and letters
  return 12;
}

// Code page 949: Hangul syllables by their frequency classes; hanja, which Korean titles seldom write; the
// punctuation of row A1.
double KoreanNats(unsigned lead, unsigned, char16_t u) {
  if (u >= kFirstHangul && u < kFirstHangul + kHangulCount) {
    const int c = HangulClassOf(u);
    return c == 7 ? 13 : 4 + c;
  }
  if (IsIdeograph(u)) return 12;
  if (lead == 0xA1 || lead == 0xA3) return 6;
  return 12;
}

// EUC-JP: the same kana costs as Shift-JIS, told by their characters, since the rows lie elsewhere. Its kanji
// cost more: GBK's hanzi rows are EUC-JP's kanji rows, and a Chinese text read as EUC-JP is kanji without kana,
// which a Japanese text seldom is.
constexpr double kEucJpKanjiNats = 2.5;
double EucJpNats(unsigned, unsigned, char16_t u) {
  if (IsIdeograph(u)) return IdeographNats(u, Language::kJapanese) + kEucJpKanjiNats;
  if (u >= 0x3041 && u <= 0x3093) return 4.5;
  if (u >= 0x30A1 && u <= 0x30FE) return 5;
  if ((u >= 0x3000 && u < 0x3020) || (u >= 0xFF01 && u < 0xFF10) || u == 0xFF08 || u == 0xFF09) return 5.5;
  if (u >= 0xFF10 && u < 0xFF60) return 9;
  return 12;
}

// Windows-1252: the letters and marks of Western European text, the commonest cheapest. The five undefined
// bytes are handled apart.
double WesternNats(unsigned b) {
  switch (b) {
    case 0xE9:
      return 3;  // é, far the commonest
    case 0xE8:
    case 0xE0:
    case 0xE7:
    case 0xEA:
    case 0xFC:
    case 0xF6:
    case 0xE4:
    case 0xDF:
    case 0xF1:
    case 0xE1:
    case 0xF3:
    case 0xED:
    case 0xFA:
      return 5;
    case 0x92:
      return 4.5;  // the apostrophe
    case 0x91:
    case 0x93:
    case 0x94:
    case 0x84:
    case 0xAB:
    case 0xBB:
    case 0x96:
    case 0x97:
      return 5.5;  // quotes, guillemets, dashes
    case 0x85:
    case 0xA0:
    case 0xBF:
    case 0xA1:
      return 6;  // ellipsis, no-break space, inverted marks
    case 0xC9:
    case 0xB0:
      return 6.5;
    case 0x80:
    case 0xA9:
    case 0xAE:
    case 0x99:
    case 0xB7:
    case 0x95:
    case 0xBA:
    case 0xAA:
      return 7;
    default:
      break;
  }
  // Icelandic's ð, þ and ý, which Turkish ğ, ş and ı read as: an Icelandic word is read by Icelandic's model.
  if (b == 0xD0 || b == 0xF0 || b == 0xDE || b == 0xFE || b == 0xDD || b == 0xFD) return 8.5;
  // And â, ô, î and û as much as a capital: Baltic ā, ō, ī and ū read so (Latvian words, Estonian spellings of Afghan
  // places), where French and Portuguese words are read by their languages' models, and few names write them.
  if (b == 0xE2 || b == 0xF4 || b == 0xEE || b == 0xFB) return 7.5;
  if (b >= 0xE0 && b != 0xF7) return 6.5;  // the other small letters
  if (b >= 0xC0 && b != 0xD7) return 7.5;  // capitals
  if (b == 0x8A || b == 0x8C || b == 0x8E || b == 0x9A || b == 0x9C || b == 0x9E || b == 0x9F) return 7.5;
  return 9.5;
}

// Letters, the apostrophe, and the inverted marks that open a Spanish word.
bool IsWesternLetter(unsigned b) {
  return b == 0xA1 || b == 0xBF || b == 0x92 || (b >= 0xC0 && b != 0xD7 && b != 0xF7) || b == 0x8A || b == 0x8C ||
         b == 0x8E || b == 0x9A || b == 0x9C || b == 0x9E || b == 0x9F;
}

// A decoded UTF-8 character: Latin-1 as Windows-1252 costs it, ideographs as the language that writes them
// most often, kana as Japanese.
double UnicodeNats(char32_t u) {
  if (u < 0xA0) return kUndefinedNats;
  if (u < 0x100) return WesternNats(u);
  if (u < 0x180) return 8;                // Latin Extended-A: Central European letters
  if (u < 0x250) return 13;               // Latin Extended-B: hardly any language here writes them
  if (u >= 0x370 && u < 0x530) return 8;  // Greek, Cyrillic, Armenian
  if (u >= 0x2000 && u < 0x2070) return 5.5;
  if (u >= 0x3000 && u < 0x3040) return 5.5;
  if (u >= 0x3041 && u <= 0x3093) return 4.5;
  if (u >= 0x30A1 && u <= 0x30FE) return 5;
  if (IsIdeograph(u)) {
    return std::min({IdeographNats(u, Language::kSimplified), IdeographNats(u, Language::kTraditional),
                     IdeographNats(u, Language::kJapanese)});
  }
  if (u >= 0xAC00 && u < 0xD7A4) return 8;  // Hangul
  if (u >= 0xFF00 && u < 0xFFF0) return 8;  // full-width and half-width forms
  return 11;
}

// An entry not worked out yet: no entry has the top bits. Tables filled as texts need them start with it, so that
// a reading looks at the entry it needs anyway, and threads that meet it work the entry out once, under a lock,
// each entry going from kNotYet to its value in one store. Such a table holds each entry XORed with kNotYet, so
// that it starts as zeroed memory, whose pages a short text mostly never touches.
constexpr Entry kNotYet = 0xF000;

Entry LoadEntry(const Entry& stored) {
  return std::atomic_ref<Entry>(const_cast<Entry&>(stored)).load(std::memory_order_relaxed) ^ kNotYet;
}
void StoreEntry(Entry& stored, Entry value) {
  std::atomic_ref<Entry>(stored).store(value ^ kNotYet, std::memory_order_relaxed);
}

// The characters GBK can write: those that come back the same from the bytes GBK writes them as, one byte or a
// pair outside its user-defined (private-use) rows, which is what reading the whole code page gives. A
// character is learnt when a model first meets it, and the rest of its block of 256 once the block has been met
// often: reading GBK whole was a sixth of a short text's guess.
class GbkRepertoire {
 public:
  bool Holds(char16_t unit) const {
    if (unit < 0x80) return true;
    if (unit >= 0xD800 && unit < 0xE000) return false;
    if (!FlagIsSet(m_known, unit)) Learn(unit);
    return FlagIsSet(m_holds, unit);
  }

  // Learns those of `units` not known yet in one round trip: for a model about to ask about them all.
  void Learn(std::u16string_view units) const {
    const std::lock_guard<std::mutex> lock(m_learning);
    std::u16string unknown;
    for (const char16_t u : units) {
      if (u >= 0x80 && (u < 0xD800 || u >= 0xE000) && !FlagIsSet(m_known, u)) unknown += u;
    }
    if (!unknown.empty()) Put(unknown);
  }

 private:
  static constexpr unsigned kAsksBeforeBlock = 16;

  void Learn(char16_t unit) const {
    const std::lock_guard<std::mutex> lock(m_learning);
    if (FlagIsSet(m_known, unit)) return;
    std::u16string units;
    if (++m_asks[unit >> 8] < kAsksBeforeBlock) {
      units = unit;
    } else {
      for (unsigned u = unit & 0xFF00u; u < (unit & 0xFF00u) + 0x100u; ++u) {
        if (u >= 0x80 && !FlagIsSet(m_known, u)) units += static_cast<char16_t>(u);
      }
    }
    Put(units);
  }

  void Put(const std::u16string& units) const {
    const std::vector<bool> holds = RoundTrip(units);
    for (std::size_t i = 0; i < units.size(); ++i) {
      if (holds[i]) SetFlag(m_holds, units[i]);
      SetFlag(m_known, units[i]);
    }
  }

  // Per unit, whether it comes back the same: the units, each closed by a line feed, written and read back in
  // one call each way. Should the bytes not split into as many items, each unit goes on its own.
  static std::vector<bool> RoundTrip(const std::u16string& units) {
    std::vector<bool> holds(units.size(), false);
    std::u16string wide;
    for (const char16_t u : units) wide += {u, u'\n'};
    const int length = static_cast<int>(wide.size());
    const int n = TextServices::WideCharToMultiByte(TextServices::kCodePageGbk, 0, wide.data(), length, nullptr, 0);
    std::string bytes(static_cast<std::size_t>(n), '\0');
    TextServices::WideCharToMultiByte(TextServices::kCodePageGbk, 0, wide.data(), length, bytes.data(), n);
    std::vector<std::size_t> widths;
    for (std::size_t start = 0, k; (k = bytes.find('\n', start)) != std::string::npos; start = k + 1) {
      widths.push_back(k - start);
    }
    if (widths.size() != units.size()) {
      if (units.size() > 1) {
        for (std::size_t i = 0; i < units.size(); ++i) holds[i] = RoundTrip(units.substr(i, 1))[0];
      }
      return holds;
    }
    std::u16string back(bytes.size(), u'\0');
    back.resize(static_cast<std::size_t>(TextServices::MultiByteToWideChar(
        TextServices::kCodePageGbk, 0, bytes.data(), n, back.data(), static_cast<int>(back.size()))));
    std::size_t item = 0, start = 0;
    for (std::size_t k = 0; k < back.size() && item < units.size(); ++k) {
      if (back[k] != u'\n') continue;
      holds[item] = k - start == 1 && back[start] == units[item] && (widths[item] == 1 || !IsPrivateUse(units[item]));
      ++item;
      start = k + 1;
    }
    return holds;
  }

  ZeroedArray<std::uint64_t> m_known = MakeZeroed<std::uint64_t>(1024);  // by unit
  ZeroedArray<std::uint64_t> m_holds = MakeZeroed<std::uint64_t>(1024);
  mutable std::uint8_t m_asks[256] = {};  // by block
  mutable std::mutex m_learning;
};

// A code page's reading byte by byte and, for a double-byte one, pair by pair. A pair is read and costed the
// first time a text's reading meets it, with the others the text holds soon after: a short text holds a few
// hundred of the code page's 24,000 pairs, and reading whole rows was most of a small file's guess.
using PairNats = double (*)(unsigned lead, unsigned trail, char16_t unit);
constexpr std::size_t kLookahead = 4096;
constexpr std::size_t kPairsBeforeRows = 2048;
struct CodePageModel {
  bool lead[256] = {};
  Entry single[256] = {};
  ZeroedArray<Entry> pairs;  // by lead byte << 8 | trail byte, as StoreEntry keeps them
  Cause cause = Cause::kUnknown;
  PairNats nats = nullptr;
  const GbkRepertoire* gbk = nullptr;
  mutable std::size_t readAlone = 0;  // pairs read without their rows, so far
  mutable std::mutex reading;

  // The pair at s[i] (i + 1 < n). One not read yet is read with every other such pair in the next kLookahead
  // bytes, in one call; once kPairsBeforeRows pairs have been read so, with the whole rows of their lead bytes (a
  // long text, or a run over a collection, meets most pairs of the rows it meets).
  Entry Pair(const unsigned char* s, std::size_t n, std::size_t i) const {
    const Entry entry = LoadEntry(pairs[s[i] << 8 | s[i + 1]]);
    return entry != kNotYet ? entry : ReadPairsIn(s + i, std::min(n - i, kLookahead));
  }
  Entry ReadPairsIn(const unsigned char* s, std::size_t n) const;
};

constexpr std::array<bool, 256> BuildLetters() {
  std::array<bool, 256> letters{};
  for (unsigned c = 'A'; c <= 'Z'; ++c) letters[c] = letters[c + 0x20] = true;
  return letters;
}
constexpr std::array<bool, 256> kAsciiLetters = BuildLetters();

// A letter of the scripts the single-byte code pages write: Latin, Greek, Cyrillic, Hebrew, Arabic.
bool IsLetter(char16_t u) {
  return (u >= 0xC0 && u < 0x250 && u != 0xD7 && u != 0xF7) || u == 0xAA || u == 0xB5 || u == 0xBA ||
         (u >= 0x386 && u < 0x530 && u != 0x387) || (u >= 0x5D0 && u <= 0x5F2) || (u >= 0x620 && u < 0x64B) ||
         (u >= 0x671 && u < 0x6D4);
}

// What the Western byte model pays per character above ASCII beside the letter model: it knows no language's
// letters, so it must not outbid the other letter models on their own text.
constexpr double kWesternBytesNats = 2;
// And per two letters above ASCII side by side, which Western words seldom hold and Vietnamese ones often do.
constexpr double kWesternLettersTogetherNats = 12;
// What a single-byte reading pays for naming the language of its family that reads the text best (a seldom
// language pays its kLanguageModels' seldomNats beside).
constexpr double kOneLanguageNats = 1.5;
// Where the text is read word by word, a word read by one of the family's languages pays this many times what
// naming the language for the whole text does: a text all in one language is better read whole, and a seldom
// language (Icelandic ý, þ) would otherwise take a Turkish word (ı, ş) here and there.
constexpr std::ptrdiff_t kWordLanguageTimes = 2;

// Turkish sheets name languages, places and people of other tongues in their letters (Güilá, Querétaro), as
// Western ones do: such a word may be read by Windows-1254's byte model, its letters paired as Turkish or Western
// text pairs them, at a little more than Western's words pay. Central European and Baltic words take no such
// reading: on the tuning sheets it cost Faroese and Dutch Western sheets more than it gained.
constexpr double kTurkishNameWordNats = kWordLanguageTimes * kOneLanguageNats + 2;

// What a decoy pays for its code page's rarity: a little less than a seldom cause, so that a Vietnamese text its
// decoy reads better goes unsure. Less still, and "Don't" with Windows-1252's apostrophe is unsure too.
constexpr double kDecoyNats = 3;
// A decoy in a script of its own pays less beside a cause of its family: their code pages differ in a few letters
// (Mac Cyrillic's capitals), which a title that both read about as well does not settle.
constexpr double kSameScriptDecoyNats = 1;
// A decoy whose family reads the text at more than this a character (a credible Western reading costs at most
// kMostWesternNats) rivals no cause that matters: its languages, read for every sheet, are left unread.
constexpr double kMostDecoyNats = 9;

// What a cause pays for an apostrophe, another sign or a capital where real text has none (OddApostrophe, PlaceOf):
// enough that Mac Roman's Spanish í and ó, read as Windows-1252's ’ and —, leave the Mac reading the better.
constexpr double kOutOfPlaceNats = 6;

// A word whose letters no one language of its family writes together (a Serbian letter in a Russian word):
// as good as undefined.
constexpr double kNoLanguageWordNats = kUndefinedNats;

// A sign the model's catalogues never wrote: as rare in a title as a rare letter, however often the
// catalogues' few signs stood together.
constexpr double kLeastUnseenSignNats = 7;

// Characters above ASCII read as ASCII ones, as the letter models' generator reads them: Turkish İ, the capital of
// the ASCII i (a title in capitals is the same word).
struct AsciiReading {
  char16_t unit;
  unsigned char ascii;
};
constexpr AsciiReading kReadAsAscii[] = {{0x0130, 'I'}};

// A single-byte cause's reading: per byte its unit, its letter class and case in the language's model, and what
// it costs beyond that (a sign's own cost), flagged when the code page leaves the byte undefined or GBK cannot
// write its character.
struct SingleByteModel {
  const LetterModel* letters = nullptr;
  int classes = 0;
  char16_t unit[256] = {};
  std::uint8_t letterClass[256] = {};
  // 0 not a letter, 1 lower, 2 upper; 3 for the quotation mark, after which a sheet's field starts, in a script
  // of its own (a Latin field's first letter is mostly ASCII, and one above it says more of its language than of
  // its case).
  std::uint8_t letterCase[256] = {};
  Entry own[256] = {};
  // What the pair loop of ReadLetters takes a byte for, so that a pair costs no branch: its row in the class
  // tables, and a mask (all bits or none) of whether it is a byte above 0x7F the code page defines.
  std::int16_t row[256] = {};
  std::int8_t read[256] = {};
  // What a character's case costs after the case before, by letterCase (0 for a character without one).
  int caseQuarters[4][4] = {};
  // For a family whose words each belong to one language (kWordLanguages): per byte, a bit for each language that
  // writes its letter, or every bit where no language names the byte.
  bool wordsTell = false;
  std::uint8_t wordLanguages[256] = {};
  // A language's model: what reading the text by it costs beyond the family's (see ReadLanguages).
  std::ptrdiff_t namingQuarters = 0;
  std::ptrdiff_t wordQuarters = 0;  // and what a word read by it costs beside (see ReadLanguages)
};

// A character's cost, flagged when GBK cannot write it.
Entry Flagged(const GbkRepertoire& gbk, double nats, char16_t unit) {
  return Cost(nats) | (gbk.Holds(unit) ? 0 : kUnmappableBit);
}

Entry CodePageModel::ReadPairsIn(const unsigned char* s, std::size_t n) const {
  const std::lock_guard<std::mutex> lock(reading);
  if (LoadEntry(pairs[s[0] << 8 | s[1]]) != kNotYet) return LoadEntry(pairs[s[0] << 8 | s[1]]);  // read meanwhile
  const bool rows = readAlone >= kPairsBeforeRows;
  std::vector<std::uint16_t> codes;
  bool leads[256] = {};
  for (std::size_t i = 0; i < n;) {
    if (!lead[s[i]] || i + 1 == n) {
      ++i;
      continue;
    }
    const unsigned code = s[i] << 8 | s[i + 1];
    leads[s[i]] = true;
    if (!rows && LoadEntry(pairs[code]) == kNotYet) codes.push_back(static_cast<std::uint16_t>(code));
    i += 2;
  }
  if (rows) {
    for (unsigned b = 0x80; b < 0x100; ++b) {
      for (unsigned code = b << 8; leads[b] && code <= (b << 8 | 0xFFu); ++code) {
        if (LoadEntry(pairs[code]) == kNotYet) codes.push_back(static_cast<std::uint16_t>(code));
      }
    }
  } else {
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    readAlone += codes.size();
  }
  const std::u16string units = DecodePairs(cause, codes);
  gbk->Learn(units);
  for (std::size_t k = 0; k < codes.size(); ++k) {
    const unsigned code = codes[k];
    const char16_t u = units[k];
    StoreEntry(pairs[code], u ? Flagged(*gbk, nats(code >> 8, code & 0xFFu, u), u) : kUndefined);
  }
  return LoadEntry(pairs[s[0] << 8 | s[1]]);
}

struct Models;

// A reading per language of a code page's family (see kLanguageModels), none for a family of one: built when a
// reading first asks for them, which only a reading the family finds credible does (a Chinese sheet's never).
class LanguageModels {
 public:
  void Prepare(const Models& models, const SingleByteModel& family) {
    m_models = &models;
    m_family = &family;
  }
  const std::vector<SingleByteModel>& Get() const;

 private:
  const Models* m_models = nullptr;
  const SingleByteModel* m_family = nullptr;  // its units are the code page's
  mutable std::once_flag m_built;
  mutable std::vector<SingleByteModel> m_languages;
};

struct Models {
  GbkRepertoire gbk;
  CodePageModel gbkModel, big5Model, shiftJisModel, eucKrModel, eucJpModel;
  // By unit, what a decoded character costs, built when a text first holds it (kNotYet until then).
  ZeroedArray<Entry> unicode = MakeZeroed<Entry>(65536);  // as StoreEntry keeps them
  mutable std::mutex buildingUnicode;
  SingleByteModel singleByte[kCauseCount];           // by cause, for the single-byte causes
  LanguageModels languages[kCauseCount];             // by cause
  std::unique_ptr<SingleByteModel[]> decoys;         // as kDecoys
  std::unique_ptr<LanguageModels[]> decoyLanguages;  // the same for each decoy
  CodePageModel westernBytes;                        // Windows-1252 byte by byte (see ReadWestern)
  CodePageModel turkishBytes;                        // Windows-1254 so, for the names in Turkish text
  std::unique_ptr<CodePageModel[]> decoyBytes;       // the same for each decoy

  Models() {
    Build(gbkModel, Cause::kGbk, GbkNats);
    Build(big5Model, Cause::kBig5, Big5Nats);
    Build(shiftJisModel, Cause::kShiftJis, ShiftJisNats);
    Build(eucKrModel, Cause::kEucKr, KoreanNats);
    Build(eucJpModel, Cause::kEucJp, EucJpNats);
    for (const Encoding& e : kEncodings) {
      if (e.letters != Letters::kNone) Build(singleByte[static_cast<std::size_t>(e.cause)], e);
    }
    BuildBytes(westernBytes, singleByte[static_cast<std::size_t>(Cause::kWestern)]);
    BuildBytes(turkishBytes, singleByte[static_cast<std::size_t>(Cause::kWindows1254)]);
    decoys = std::make_unique<SingleByteModel[]>(kDecoyCount);
    decoyBytes = std::make_unique<CodePageModel[]>(kDecoyCount);
    decoyLanguages = std::make_unique<LanguageModels[]>(kDecoyCount);
    for (std::size_t i = 0; i < kDecoyCount; ++i) {
      char16_t units[256] = {};
      std::copy_n(kDecoys[i].upper, 128, units + 0x80);
      Build(decoys[i], kLetterModels[kDecoys[i].letterModel], units, kDecoys[i].letterModel);
      BuildBytes(decoyBytes[i], decoys[i]);
      decoyLanguages[i].Prepare(*this, decoys[i]);
    }
  }

  static void BuildWordLanguages(SingleByteModel& model, const char16_t* units, int family) {
    std::uint8_t bit = 1;
    for (std::size_t i = 0; i < kWordLanguageCount; ++i) {
      const WordLanguage& language = kWordLanguages[i];
      if (language.family != family) continue;
      for (unsigned b = 0x80; b < 0x100; ++b) {
        const char16_t u = units[b];
        const bool writes = u != 0 && (language.lower.find(u) != std::u16string_view::npos ||
                                       language.upper.find(u) != std::u16string_view::npos);
        if (writes) model.wordLanguages[b] |= bit;
      }
      bit = static_cast<std::uint8_t>(bit << 1);
      model.wordsTell = true;
    }
    for (std::uint8_t& languages : model.wordLanguages) languages = languages == 0 ? 0xFF : languages;
  }

  std::vector<SingleByteModel> BuildLanguages(const SingleByteModel& familyModel) const {
    const auto family = static_cast<int>(familyModel.letters - kLetterModels);
    const char16_t* units = familyModel.unit;
    std::vector<SingleByteModel> models;
    for (std::size_t i = 0; i < kLanguageModelCount; ++i) {
      if (kLanguageModels[i].family != family) continue;
      Build(models.emplace_back(), kLanguageModels[i].model, units);
      models.back().namingQuarters = Cost(kOneLanguageNats + kLanguageModels[i].seldomNats);
      models.back().wordQuarters = kWordLanguageTimes * models.back().namingQuarters;
    }
    return models;
  }

  Entry Flagged(double nats, char16_t unit) const { return ::Flagged(gbk, nats, unit); }

  Entry Unicode(char16_t unit) const {
    const Entry entry = LoadEntry(unicode[unit]);
    return entry != kNotYet ? entry : BuildUnicode(unit);
  }

  Entry BuildUnicode(char16_t unit) const {
    const std::lock_guard<std::mutex> lock(buildingUnicode);
    if (LoadEntry(unicode[unit]) == kNotYet) {
      const unsigned u = unit;
      Entry entry = kUndefined;
      if (u >= 0xD800 && u < 0xE000) {
        entry = 0;  // never decoded: the scan turns surrogates away first
      } else if (!IsPrivateUse(unit)) {
        const bool latin = (u >= 0xA0 && u < 0x100 && IsWesternLetter(u)) || (u >= 0x100 && u < 0x250);
        // Currency, section and sum signs stand before a number, never against a letter: Polish Ł read as
        // Western is £ (£ukasz).
        const bool beforeNumbers = u == 0xA2 || u == 0xA3 || u == 0xA4 || u == 0xA5 || u == 0xA7 || u == 0xB1;
        const bool neutral = !beforeNumbers && ((u >= 0xA0 && u < 0xC0) || (u >= 0x2000 && u < 0x2070));
        // Between two letters, real text has only the soft hyphen, the acute typed as an apostrophe, the micro
        // sign, the Catalan middle dot and the ordinals among them; Polish ł, ż and ą read as Western are ³, ¿, ¹.
        const bool mark = !beforeNumbers && u >= 0xA1 && u < 0xC0 && u != 0xAA && u != 0xAD && u != 0xB4 &&
                          u != 0xB5 && u != 0xB7 && u != 0xBA;
        entry = Flagged(UnicodeNats(u), unit) | (latin ? kLatinBit : mark ? kMarkBit : neutral ? kNeutralBit : 0);
      }
      StoreEntry(unicode[unit], entry);
    }
    return LoadEntry(unicode[unit]);
  }

  void Build(CodePageModel& model, Cause cause, PairNats nats) const {
    const CodePageUnits units = ReadLayout(cause);
    gbk.Learn(std::u16string_view(units.single, 0x100));
    std::copy(std::begin(units.lead), std::end(units.lead), std::begin(model.lead));
    for (unsigned b = 0x80; b < 0x100; ++b) {
      model.single[b] = units.single[b] && !units.lead[b] ? Flagged(12, units.single[b]) : kUndefined;
    }
    for (unsigned b = 0x80; b < 0x100; ++b) {
      // Half-width katakana: the only single bytes above 0x7F that a real text uses often.
      if (&model == &shiftJisModel && b >= 0xA1 && b <= 0xDF) model.single[b] = Flagged(7.5, units.single[b]);
    }
    model.pairs = MakeZeroed<Entry>(65536);
    model.cause = cause;
    model.nats = nats;
    model.gbk = &gbk;
  }

  void Build(SingleByteModel& model, const Encoding& e) {
    const CodePageUnits units = ReadLayout(e.cause);
    const int family = static_cast<int>(e.letters) - 1;
    Build(model, kLetterModels[family], units.single, family);
    languages[static_cast<std::size_t>(e.cause)].Prepare(*this, model);
  }

  // A Western byte model: each byte costs its character as a Western text's UTF-8 reading costs it.
  void BuildBytes(CodePageModel& model, const SingleByteModel& letters) const {
    for (unsigned b = 0x80; b < 0x100; ++b) {
      const char16_t u = letters.unit[b];
      model.single[b] = letters.own[b] & kUndefinedBit ? kUndefined : Unicode(u);
    }
  }

  // `units`: the character of each byte, 0 where the code page defines none; `family` in kLetterModels, or -1 for
  // a language's own model.
  void Build(SingleByteModel& model, const LetterModel& letters, const char16_t* units, int family = -1) const {
    BuildWordLanguages(model, units, family);
    model.letters = &letters;
    model.classes = letters.Classes();
    for (int before = 0; before < 4; ++before) {
      for (int c = 1; c < 3; ++c) model.caseQuarters[before][c] = letters.caseQuarters[before][c - 1];
    }
    gbk.Learn(std::u16string_view(units + 0x80, 0x80));
    // The language's letters by character, a lower-case one before an upper-case one, each at its first place.
    struct Letter {
      char16_t unit;
      bool upper;
      std::uint8_t index;
      bool operator<(const Letter& o) const {
        return std::tie(unit, upper, index) < std::tie(o.unit, o.upper, o.index);
      }
    };
    std::vector<Letter> byUnit;
    for (std::size_t i = 0; i < letters.lower.size(); ++i)
      byUnit.push_back({letters.lower[i], false, static_cast<std::uint8_t>(i)});
    for (std::size_t i = 0; i < letters.upper.size(); ++i)
      byUnit.push_back({letters.upper[i], true, static_cast<std::uint8_t>(i)});
    std::sort(byUnit.begin(), byUnit.end());
    for (unsigned b = 0; b < 0x80; ++b) {
      const bool letter = kAsciiLetters[b];
      model.unit[b] = static_cast<char16_t>(b);
      model.letterClass[b] = !letter ? 0 : letters.latin ? 3 + ((b | 0x20) - 'a') : 3;
      model.letterCase[b] = b == '"' && !letters.latin ? 3 : !letter ? 0 : b < 'a' ? 2 : 1;
    }
    for (unsigned b = 0x80; b < 0x100; ++b) {
      const char16_t u = units[b];
      model.unit[b] = u;
      // C1 controls are what a code page's unassigned bytes decode to on some systems.
      if (u < 0xA0 || IsPrivateUse(u)) {
        model.own[b] = kUndefined;
        continue;
      }
      // Box drawing and blocks belong to screens, not titles: a byte read as one is as good as undefined.
      model.own[b] = Flagged(u >= 0x2500 && u < 0x2600 ? kUndefinedNats : 0, u);
      const auto letter = std::lower_bound(byUnit.begin(), byUnit.end(), Letter{u, false, 0});
      const auto* const asAscii = std::find_if(std::begin(kReadAsAscii), std::end(kReadAsAscii),
                                               [u](const AsciiReading& r) { return r.unit == u; });
      if (asAscii != std::end(kReadAsAscii)) {
        model.letterClass[b] = model.letterClass[asAscii->ascii];
        model.letterCase[b] = model.letterCase[asAscii->ascii];
      } else if (letter != byUnit.end() && letter->unit == u) {
        model.letterClass[b] = static_cast<std::uint8_t>(letters.FirstLetter() + letter->index);
        model.letterCase[b] = letter->upper ? 2 : 1;
      } else if (IsLetter(u)) {
        model.letterClass[b] = 2;
        model.letterCase[b] = 1;
      } else {
        // The typographic apostrophe sits in words as the ASCII one does, and is read as it is.
        const std::size_t sign = letters.signs.find(u);
        model.letterClass[b] = u == 0x2019 ? 0 : 1;
        model.own[b] |= sign != std::u16string_view::npos
                            ? letters.signQuarters[sign]
                            : std::max<Entry>(letters.otherSignQuarters, Cost(kLeastUnseenSignNats));
      }
    }
    for (unsigned b = 0; b < 0x100; ++b) {
      model.row[b] = static_cast<std::int16_t>(model.letterClass[b] * model.classes);
      model.read[b] = b >= 0x80 && !(model.own[b] & kUndefinedBit) ? -1 : 0;
    }
  }
};

const std::vector<SingleByteModel>& LanguageModels::Get() const {
  std::call_once(m_built, [this] { m_languages = m_models->BuildLanguages(*m_family); });
  return m_languages;
}

const Models& TheModels() {
  // Never torn down: freeing its many tables one by one at exit costs a short run more than the system's
  // reclaiming them with the process.
  static const Models& models = *new Models;
  return models;
}

// The model of a cause whose characters may span two bytes (GBK and the double-byte causes); null for another.
const CodePageModel* DoubleByteModel(const Models& models, Cause cause) {
  switch (cause) {
    case Cause::kGbk:
      return &models.gbkModel;
    case Cause::kBig5:
      return &models.big5Model;
    case Cause::kShiftJis:
      return &models.shiftJisModel;
    case Cause::kEucKr:
      return &models.eucKrModel;
    case Cause::kEucJp:
      return &models.eucJpModel;
    default:
      return nullptr;
  }
}

// Quarter nats by the character's bits 10-11 and the number of ASCII letters beside it (0-2): a Latin letter is
// in its place beside one and a little out of it alone; a Chinese or Japanese character is out of place there.
constexpr int kBesideLetters[4][3] = {
    {0, Cost(3), Cost(6)},
    {Cost(1.5), -Cost(1), -Cost(1)},
    {0, 0, 0},
    {0, 0, Cost(6)},
};

struct Tally {
  std::ptrdiff_t quarters = 0;
  // Of quarters, what the Latin letter pairs of words with a character above ASCII cost: evidence of a language
  // against another, not of how credible the reading is, which Mean() tells without it.
  std::ptrdiff_t wordQuarters = 0;
  std::ptrdiff_t fieldQuarters = 0;  // of wordQuarters, what the other words of their fields cost
  std::size_t ascii = 0;  // ASCII characters left standing
  std::size_t undefined = 0;
  std::size_t unmappable = 0;
  std::size_t characters = 0;  // not ASCII, undefined ones included

  void Add(Entry e, bool letterBefore, bool letterAfter) {
    quarters += kBesideLetters[e >> 10 & 3][letterBefore + letterAfter];
    Add(e);
  }
  void Add(Entry e) { Add(e, e & 0xFF); }
  // The flags of `e`, and a cost of its own.
  void Add(Entry e, int cost) {
    ++characters;
    quarters += cost;
    undefined += (e & kUndefinedBit) != 0;
    unmappable += (e & kUnmappableBit) != 0;
  }
  void Scale(double factor) {
    const auto scaled = [factor](std::size_t count) { return static_cast<std::size_t>(count * factor + 0.5); };
    quarters = static_cast<std::ptrdiff_t>(static_cast<double>(quarters) * factor);
    ascii = scaled(ascii);
    undefined = scaled(undefined);
    unmappable = scaled(unmappable);
    characters = scaled(characters);
  }
  double Mean() const {
    return static_cast<double>(quarters - wordQuarters) / kQuarters / static_cast<double>(characters);
  }
  double Nats() const { return static_cast<double>(quarters) / kQuarters + kAsciiNats * static_cast<double>(ascii); }
  // A reading of many characters far from credible, such as Chinese text read as letters, which nothing its
  // model adds to makes credible. (One rare letter alone is no such sign.)
  bool Hopeless(double mostNats = kHopelessNats) const {
    constexpr std::size_t kFewestHopeless = 16;
    return characters >= kFewestHopeless && Mean() > mostNats;
  }
  static constexpr double kHopelessNats = 12;
};

static_assert(std::endian::native == std::endian::little, "the first byte of a chunk is its lowest");

// How many ASCII bytes begin the eight at p: a scan takes them in one step.
std::size_t AsciiPrefix(const unsigned char* p) {
  const std::uint64_t high = HighBitsOfEight(p);
  return high == 0 ? 8 : static_cast<std::size_t>(std::countr_zero(high)) / 8;
}

// Counts the run of ASCII bytes at s[i], eight a step where eight remain; returns where the run stops.
std::size_t TakeAscii(Tally& t, const unsigned char* s, std::size_t i, std::size_t n) {
  const std::size_t k = n - i >= 8 ? AsciiPrefix(s + i) : 1;
  t.ascii += k;
  return i + k;
}

// The byte after s[i], or a space after the last: no letter.
unsigned char Next(const unsigned char* s, std::size_t i, std::size_t n) { return i + 1 < n ? s[i + 1] : ' '; }

// What a pair pays whose second byte is an ASCII letter before another: it takes the first letter of a word, as
// Big5 takes the "¡H" of a Spanish "¡Hola" for a full-width question mark.
constexpr double kSplitWordNats = 3;

// Scans from s[i] until at or past `end` (a pair may cross it); returns where it stopped.
std::size_t ScanDoubleByte(const CodePageModel& model, const unsigned char* s, std::size_t n, std::size_t i,
                           std::size_t end, Tally& t) {
  while (i < end) {
    if (s[i] < 0x80) {
      i = TakeAscii(t, s, i, n);
      continue;
    }
    const unsigned b = s[i];
    if (!model.lead[b]) {
      t.Add(model.single[b], i > 0 && kAsciiLetters[s[i - 1]], kAsciiLetters[Next(s, i, n)]);
      ++i;
    } else if (i + 1 < n) {
      const bool letterAfter = kAsciiLetters[Next(s, i + 1, n)];
      t.Add(model.Pair(s, n, i), i > 0 && kAsciiLetters[s[i - 1]], letterAfter);
      if (letterAfter && kAsciiLetters[s[i + 1]]) t.quarters += Cost(kSplitWordNats);
      i += 2;
    } else {
      t.Add(kUndefined);
      ++i;
    }
  }
  return i;
}

// What one pass over the text counts, from which every single-byte reading is costed without reading the text
// again: per byte above 0x7F how often it stands with or without an ASCII letter before and after it, and how
// often each pair of adjacent bytes with one above 0x7F occurs (the text's ends count as spaces).
// In real text an apostrophe inside a word joins a clitic (don't, we'll), elides a vowel (l'amour, dell'anima,
// O'Brien), or joins a suffix to a name (Turkish URI'si, Estonian Wake'i, Ma'rib): anything else is a letter of
// another code page.
bool OddApostrophe(const unsigned char* before, std::size_t b, const unsigned char* after, std::size_t a) {
  static constexpr std::string_view kClitics[] = {"s", "t", "d", "m", "n", "ll", "re", "ve"};
  static constexpr std::string_view kElided[] = {
      "c",     "d",     "j",     "l",     "m",      "n",      "o",      "s",      "t",      "qu",     "un",
      "all",   "dall",  "dell",  "nell",  "sull",   "coll",   "bell",   "anch",   "sant",   "tutt",   "entr",
      "grand", "quest", "quell", "jusqu", "lorsqu", "puisqu", "quoiqu", "presqu", "quelqu", "aujourd"};
  const auto lowered = [](const unsigned char* w, std::size_t length, std::string_view word) {
    if (length != word.size()) return false;
    for (std::size_t i = 0; i < length; ++i) {
      if ((w[i] | 0x20u) != static_cast<unsigned char>(word[i])) return false;
    }
    return true;
  };
  for (const std::string_view clitic : kClitics) {
    if (lowered(after, a, clitic)) return false;
  }
  const bool vowelAfter = after[0] >= 0x80 || (after[0] < 'a' && kAsciiLetters[after[0]]) ||
                          std::string_view("aeiouhy").find(static_cast<char>(after[0])) != std::string_view::npos;
  if (vowelAfter) {
    for (const std::string_view elided : kElided) {
      if (lowered(before, b, elided)) return false;
    }
  }
  const bool capital = (before[0] >= 'A' && before[0] <= 'Z') || (before[0] >= 0xC0 && before[0] <= 0xDE);
  return !(capital && (b >= 2 || (after[0] >= 'A' && after[0] <= 'Z')));
}

struct Histogram {
  std::size_t high = 0, controls = 0;
  std::array<std::size_t, 256 * 4> beside{};  // [b * 4 + letter before * 2 + letter after]
  std::vector<std::uint16_t> touched;         // the pairs counted, each once
  std::size_t* pairs;                         // 65,536 counters, all 0 outside `touched`
  // The counted pairs with their counts side by side (Gather), which each reading walks in turn: the counters
  // are strewn over half a megabyte.
  struct Counted {
    std::uint16_t pair;
    std::size_t count;
  };
  std::vector<Counted> counted;
  std::size_t afterHigh = 0;  // counted[0, afterHigh) end in a byte above 0x7F, the rest in an ASCII one
  std::vector<std::uint8_t> present;          // the bytes above 0x7F the text holds, each once
  // Pairs of ASCII letters (a-z, either case) within the words that hold a byte above 0x7F: the rest of such a
  // word tells its language, which the English of a sheet's keywords and other fields would not.
  std::array<std::uint32_t, 26 * 26> wordPairs{};
  // And those of the other words of such a word's field (its quoted title, or the rest of its line, short of a
  // file name's extension): a title's words mostly come in one language ("Bandoma iš naujo"), which tells the
  // word's language where its own letters are too few to. They weigh a quarter of a word's pairs (kFieldShare),
  // and no decoy weighs them: a field's other words may be names in any language ("Miao, Batı Xiangxi"), and a
  // decoy's share is a matter of the word's own bytes.
  std::array<std::uint32_t, 26 * 26> fieldPairs{};
  std::vector<std::uint16_t> pairsTouched;      // the pairs counted in either, each once
  bool readFields = true;                       // false for the decoys' readings
  std::size_t wordsCountedTo = 0;               // the text before this is counted
  // The runs of bytes above 0x7F in the text's first kRunsWithin bytes (the words of a script of its own), as
  // the set of bytes each holds, each set once with how often it occurs (up to kMostRuns sets, in a table of
  // twice as many slots, a count of 0 where empty): whether a run is a word of one language depends on its
  // letters alone.
  struct Run {
    std::uint64_t bytes[2];  // bit b - 0x80
    std::size_t count;
  };
  static constexpr std::size_t kRunsWithin = 64 * 1024, kMostRuns = 64;
  static constexpr int kRunSlotBits = 7;
  static_assert(std::size_t{1} << kRunSlotBits == 2 * kMostRuns);
  std::array<Run, 2 * kMostRuns> runs{};
  std::array<std::uint8_t, kMostRuns> runSlots{};  // the slots taken, in the order taken
  std::size_t runSets = 0;
  // The Latin words of the text's first kRunsWithin bytes that hold a byte above 0x7F (runs of ASCII letters and
  // such bytes, at least a third of them ASCII letters, as a Chinese line is not), each once with how often it
  // occurs (up to kMostWords, in a table of twice as many slots): a sheet's titles and names each come in a
  // language of their own, and a word's language depends on its letters alone.
  struct LatinWord {
    std::uint32_t at, length;  // in the text
    std::size_t count;
  };
  static constexpr std::size_t kMostWords = 128;
  std::array<LatinWord, 2 * kMostWords> latinWords{};
  std::array<std::uint8_t, kMostWords> wordSlots{};
  std::size_t wordSets = 0;
  const unsigned char* text = nullptr;
  // Per byte above 0x7F, how often it stands inside such a word where an apostrophe would not (OddApostrophe):
  // a code page that reads it as one is likely the wrong one (Mac Roman's í read as Windows-1252's ’).
  std::array<std::uint32_t, 128> oddApostrophe{};
  // And how often it stands between two small ASCII letters, where no capital does (Vietnamese tone marks of code
  // page 1258 read as Windows-1252's capitals: TiÒnh, SaÞo).
  std::array<std::uint32_t, 128> betweenSmall{};

  explicit Histogram(std::size_t* counters) : pairs(counters) {}
  Histogram(const Histogram&) = delete;
  Histogram& operator=(const Histogram&) = delete;
  // Leaves the counters at 0 for the next text on this thread.
  ~Histogram() {
    for (const std::uint16_t pair : touched) pairs[pair] = 0;
  }

  std::size_t Count(unsigned b) const {
    return beside[b * 4] + beside[b * 4 + 1] + beside[b * 4 + 2] + beside[b * 4 + 3];
  }
  void Gather() {
    counted.reserve(touched.size());
    for (const std::uint16_t pair : touched) counted.push_back({pair, pairs[pair]});
    // Those whose second byte is above 0x7F first: a pair of either kind costs a term of its own (PairQuarters).
    afterHigh = static_cast<std::size_t>(
        std::partition(counted.begin(), counted.end(), [](const Counted& c) { return (c.pair & 0xFF) >= 0x80; }) -
        counted.begin());
  }
  void Pair(unsigned before, unsigned b) {
    const unsigned pair = before << 8 | b;
    if (pairs[pair]++ == 0) touched.push_back(static_cast<std::uint16_t>(pair));
  }
  // Counts a byte above 0x7F with the ASCII letters beside it (0-3, as `beside` takes them).
  void High(unsigned b, unsigned letters) {
    if (Count(b) == 0) present.push_back(static_cast<std::uint8_t>(b));
    ++high;
    ++beside[b * 4 + letters];
  }
  // Counts the run of bytes above 0x7F s[start, end) if it lies in the first kRunsWithin bytes and holds at least
  // two different bytes.
  void AddRun(const unsigned char* s, std::size_t start, std::size_t end) {
    if (end > kRunsWithin || end - start < 2) return;
    std::uint64_t run[2] = {};
    for (std::size_t k = start; k < end; ++k) run[s[k] >> 6 & 1] |= std::uint64_t{1} << (s[k] & 63);
    if (std::popcount(run[0]) + std::popcount(run[1]) >= 2) {
      // Open addressing from a multiplicative hash of the set; the table is never more than half full.
      std::size_t slot = ((run[0] ^ run[1] * 0x9E3779B97F4A7C15u) * 0xFF51AFD7ED558CCDu) >> (64 - kRunSlotBits);
      while (runs[slot].count != 0 && (runs[slot].bytes[0] != run[0] || runs[slot].bytes[1] != run[1])) {
        slot = (slot + 1) % runs.size();
      }
      if (runs[slot].count != 0) {
        ++runs[slot].count;
      } else if (runSets < kMostRuns) {
        runs[slot] = {{run[0], run[1]}, 1};
        runSlots[runSets++] = static_cast<std::uint8_t>(slot);
      }
    }
  }
  void GatherWords(const unsigned char* s, std::size_t n) {
    text = s;
    // Such a word holds both kinds, so some byte above 0x7F in it stands beside an ASCII letter: a text in which
    // none does (Chinese, say) has no such word to look for.
    std::size_t besideLetters = 0;
    for (const unsigned b : present) besideLetters += beside[b * 4 + 1] + beside[b * 4 + 2] + beside[b * 4 + 3];
    if (besideLetters == 0) return;
    constexpr std::size_t kLongestHalf = 32;  // a word, not a line of letters
    const auto inWord = [](unsigned c) { return c >= 0x80 || kAsciiLetters[c]; };
    for (std::size_t i = 0, end = 0; i < std::min(n, kRunsWithin); ++i) {
      if (s[i] < 0x80 || i < end) continue;
      std::size_t start = i, letters = 0;
      while (start > end && i - start < kLongestHalf && inWord(s[start - 1])) --start;
      for (end = i + 1; end < n && end - i <= kLongestHalf && inWord(s[end]);) ++end;
      for (std::size_t k = start; k < end; ++k) letters += s[k] < 0x80;
      if (letters * 3 >= end - start) {
        AddWord(s, start, end);
        for (std::size_t k = start + 1; k + 1 < end; ++k) {
          if (s[k] < 0x80) continue;
          oddApostrophe[s[k] - 0x80] += OddApostrophe(s + start, k - start, s + k + 1, end - k - 1);
          betweenSmall[s[k] - 0x80] += s[k - 1] >= 'a' && s[k - 1] <= 'z' && s[k + 1] >= 'a' && s[k + 1] <= 'z';
        }
      }
    }
  }
  void AddWord(const unsigned char* s, std::size_t start, std::size_t end) {
    const std::size_t length = end - start;
    std::uint64_t hash = 0xCBF29CE484222325u;  // FNV-1a
    for (std::size_t k = start; k < end; ++k) hash = (hash ^ s[k]) * 0x100000001B3u;
    std::size_t slot = (hash >> 32) % latinWords.size();
    while (latinWords[slot].count != 0 &&
           (latinWords[slot].length != length || std::memcmp(s + latinWords[slot].at, s + start, length) != 0)) {
      slot = (slot + 1) % latinWords.size();
    }
    if (latinWords[slot].count != 0) {
      ++latinWords[slot].count;
    } else if (wordSets < kMostWords) {
      latinWords[slot] = {static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length), 1};
      wordSlots[wordSets++] = static_cast<std::uint8_t>(slot);
    }
  }
  // Counts the ASCII letter pairs of the word around s[i], a byte above 0x7F, on either side of it, and, in the
  // text's first kRunsWithin bytes, those of the field's other words up to the next word that holds such a byte
  // (which counts its own).
  void Word(const unsigned char* s, std::size_t n, std::size_t i) {
    constexpr std::size_t kLongestRun = 32;    // a word, not a line of letters
    constexpr std::size_t kLongestField = 96;  // either side of the word
    const auto edge = [](unsigned c) { return c == '"' || c == '\r' || c == '\n'; };
    std::size_t start = i;
    while (start > wordsCountedTo && i - start < kLongestRun && kAsciiLetters[s[start - 1]]) --start;
    CountRun(s, start, i, wordPairs, fieldPairs);
    std::size_t end = i + 1;
    while (end < n && end - i <= kLongestRun && kAsciiLetters[s[end]]) ++end;
    CountRun(s, i + 1, end, wordPairs, fieldPairs);
    // Beyond a sheet's length the words' own pairs are evidence enough, and the fields would cost a tenth of the
    // guess's time on a long text.
    if (end > kRunsWithin) {
      wordsCountedTo = end;
      return;
    }
    std::size_t fieldStart = start;
    while (fieldStart > wordsCountedTo && start - fieldStart < kLongestField && !edge(s[fieldStart - 1])) --fieldStart;
    CountRun(s, fieldStart, start, fieldPairs, wordPairs);
    std::size_t fieldEnd = end;
    while (fieldEnd < n && fieldEnd - end < kLongestField && !edge(s[fieldEnd]) && s[fieldEnd] < 0x80 &&
           !(s[fieldEnd] == '.' && kAsciiLetters[Next(s, fieldEnd, n)])) {
      ++fieldEnd;
    }
    if (fieldEnd < n && s[fieldEnd] >= 0x80) {
      while (fieldEnd > end && kAsciiLetters[s[fieldEnd - 1]]) --fieldEnd;
    }
    CountRun(s, end, fieldEnd, fieldPairs, wordPairs);
    wordsCountedTo = fieldEnd;
  }
  // Counts the pairs of ASCII letters side by side in s[from, to) in `counts`; `other` is the other array.
  void CountRun(const unsigned char* s, std::size_t from, std::size_t to, std::array<std::uint32_t, 26 * 26>& counts,
                const std::array<std::uint32_t, 26 * 26>& other) {
    for (std::size_t k = from; k + 1 < to; ++k) {
      if (!kAsciiLetters[s[k]] || !kAsciiLetters[s[k + 1]]) continue;
      const unsigned pair = ((s[k] | 0x20u) - 'a') * 26 + ((s[k + 1] | 0x20u) - 'a');
      if (counts[pair]++ == 0 && other[pair] == 0) pairsTouched.push_back(static_cast<std::uint16_t>(pair));
    }
  }
};

// A single-byte reading: each character costs what its letter class costs after the character before, its case
// after that one's case, and its own cost as a sign; and what it tells of an ASCII character after it, which
// every model else takes at the same cost. Every term is one of a byte or of a pair, so the histogram's counts
// give the total.
// What a pair of bytes with one above 0x7F costs by a model: a character read above 0x7F, its class after the
// class before, and its case, if it has one, after the case before; an ASCII character after one read above 0x7F,
// what that one tells of it.
// The two terms apart, for a pair whose second byte is above 0x7F (the character read there) and for one whose
// second byte is ASCII (what the first tells of it).
int CharacterQuarters(const SingleByteModel& model, const LetterModel& letters, unsigned before, unsigned b) {
  const int at = model.row[before] + model.letterClass[b];
  return model.read[b] & (letters.pairs[at] + model.caseQuarters[model.letterCase[before]][model.letterCase[b]]);
}
int AfterQuarters(const SingleByteModel& model, const LetterModel& letters, unsigned before, unsigned b) {
  return model.read[before] & letters.after[model.row[before] + model.letterClass[b]];
}
int PairQuarters(const SingleByteModel& model, unsigned before, unsigned b) {
  return b >= 0x80 ? CharacterQuarters(model, *model.letters, before, b)
                   : AfterQuarters(model, *model.letters, before, b);
}

// What two ASCII letters (0-25 each, as a-z) in a word with a byte above 0x7F cost by a Latin model.
int AsciiPairQuarters(const SingleByteModel& model, unsigned before, unsigned b) {
  return model.letters->pairs[(3 + before) * model.classes + 3 + b];
}

// Where real text never sets a sign: between two letters (dashes, quotes, the ellipsis, the bullet, the dagger),
// or, for some, before a letter at all (the dagger, the per mille and trade mark signs, the euro). Mac Roman's
// accented letters are Windows-1252's signs: Übersetzung reads as †bersetzung, Lëtzebuergesch as L‘tzebuergesch.
enum class SignPlace { kAnywhere, kNotInsideWords, kNotBeforeLetters };
constexpr SignPlace PlaceOf(char16_t u) {
  switch (u) {
    case u'\u2013':
    case u'\u2014':
    case u'\u201A':
    case u'\u201C':
    case u'\u201D':
    case u'\u201E':
    case u'\u2026':
    case u'\u2039':
    case u'\u203A':
      return SignPlace::kNotInsideWords;
    case u'\u02C6':
    case u'\u02DC':
    case u'\u2020':
    case u'\u2021':
    case u'\u2022':
    case u'\u2030':
    case u'\u20AC':
    case u'\u2122':
      return SignPlace::kNotBeforeLetters;
    default:
      return SignPlace::kAnywhere;
  }
}

// What the apostrophes (Histogram's oddApostrophe), other signs and capitals (betweenSmall) a model reads where
// real text has none cost it.
std::ptrdiff_t OutOfPlaceQuarters(const SingleByteModel& model, const Histogram& h) {
  std::size_t count = 0;
  for (const unsigned b : h.present) {
    const char16_t u = model.unit[b];
    const std::size_t* const beside = &h.beside[b * 4];  // as Histogram::beside: [letter before * 2 + letter after]
    if (u == u'\u2018' || u == u'\u2019') {
      count += h.oddApostrophe[b - 0x80];
    } else if (const SignPlace place = PlaceOf(u); place != SignPlace::kAnywhere) {
      count += beside[3] + (place == SignPlace::kNotBeforeLetters ? beside[1] : 0);
    } else if (model.letterCase[b] == 2) {
      count += h.betweenSmall[b - 0x80];
    }
  }
  return static_cast<std::ptrdiff_t>(count) * Cost(kOutOfPlaceNats);
}

// What the other words of a field weigh beside the word's own letter pairs: a quarter. At a half they
// named more Baltic sheets but lost Icelandic and Turkish ones whose titles hold foreign names.
constexpr std::ptrdiff_t kFieldShare = 4;

Tally ReadLetters(const SingleByteModel& model, const Histogram& h, std::size_t n) {
  Tally t;
  t.ascii = n - h.high;
  for (const unsigned b : h.present) {
    const std::size_t count = h.Count(b);
    const Entry own = model.own[b];
    t.characters += count;
    t.quarters += static_cast<std::ptrdiff_t>(count) * (own & 0xFF);
    t.undefined += count * ((own & kUndefinedBit) != 0);
    t.unmappable += count * ((own & kUnmappableBit) != 0);
  }
  const LetterModel& letters = *model.letters;
  for (std::size_t k = 0; k < h.afterHigh; ++k) {
    const auto [pair, count] = h.counted[k];
    t.quarters += static_cast<std::ptrdiff_t>(count) * CharacterQuarters(model, letters, pair >> 8, pair & 0xFF);
  }
  for (std::size_t k = h.afterHigh; k < h.counted.size(); ++k) {
    const auto [pair, count] = h.counted[k];
    t.quarters += static_cast<std::ptrdiff_t>(count) * AfterQuarters(model, letters, pair >> 8, pair & 0xFF);
  }
  // Only a credible reading's words are worth weighing.
  if (model.wordsTell && !t.Hopeless()) {
    for (std::size_t k = 0; k < h.runSets; ++k) {
      const Histogram::Run& run = h.runs[h.runSlots[k]];
      std::uint8_t common = 0xFF;
      for (unsigned half = 0; half < 2 && common != 0; ++half) {
        for (std::uint64_t bits = run.bytes[half]; bits != 0 && common != 0; bits &= bits - 1) {
          common &= model.wordLanguages[0x80 + half * 64 + static_cast<unsigned>(std::countr_zero(bits))];
        }
      }
      if (common == 0) t.quarters += static_cast<std::ptrdiff_t>(run.count) * Cost(kNoLanguageWordNats);
    }
  }
  if (model.letters->latin) {
    std::ptrdiff_t field = 0;
    for (const unsigned pair : h.pairsTouched) {
      const std::ptrdiff_t quarters = AsciiPairQuarters(model, pair / 26, pair % 26);
      t.wordQuarters += static_cast<std::ptrdiff_t>(h.wordPairs[pair]) * quarters;
      field += static_cast<std::ptrdiff_t>(h.fieldPairs[pair]) * quarters;
    }
    if (h.readFields) {
      t.fieldQuarters = field / kFieldShare;
      t.wordQuarters += t.fieldQuarters;
    }
    t.quarters += t.wordQuarters;
  }
  return t;
}

// What the word w[0, length) costs by a model, as ReadLetters costs its pairs, with the spaces around it.
std::ptrdiff_t WordQuarters(const SingleByteModel& model, const unsigned char* w, std::size_t length) {
  std::ptrdiff_t quarters = 0;
  unsigned before = ' ';
  for (std::size_t i = 0; i <= length; ++i) {
    const unsigned b = i < length ? w[i] : ' ';
    if (b >= 0x80 || before >= 0x80) {
      quarters += (b >= 0x80 ? model.own[b] & 0xFF : 0) + PairQuarters(model, before, b);
    } else if (kAsciiLetters[before] && kAsciiLetters[b]) {
      quarters += AsciiPairQuarters(model, (before | 0x20u) - 'a', (b | 0x20u) - 'a');
    }
    before = b;
  }
  return quarters;
}

// Whether two bytes side by side are both letters above ASCII, which Western words seldom hold.
bool LettersTogether(const SingleByteModel& letters, unsigned before, unsigned b) {
  return (before >= 0x80) & (b >= 0x80) & (letters.letterClass[before] >= 2) & (letters.letterClass[b] >= 2);
}

// What the word w[0, length) costs by a byte model, as ReadWestern costs the whole text by Western's: its ASCII
// letter pairs as `pairs` has them.
std::ptrdiff_t WordBytesQuarters(const CodePageModel& bytes, const SingleByteModel& letters,
                                 const SingleByteModel& pairs, const unsigned char* w, std::size_t length) {
  Tally t;
  for (std::size_t i = 0; i < length; ++i) {
    const unsigned b = w[i], before = i > 0 ? w[i - 1] : ' ';
    if (b >= 0x80) {
      t.Add(bytes.single[b], kAsciiLetters[before], i + 1 < length && kAsciiLetters[w[i + 1]]);
      t.quarters += Cost(kWesternBytesNats) + (LettersTogether(letters, before, b) ? Cost(kWesternLettersTogetherNats) : 0);
    } else if (kAsciiLetters[before] && kAsciiLetters[b]) {
      t.quarters += AsciiPairQuarters(pairs, (before | 0x20u) - 'a', (b | 0x20u) - 'a');
    }
  }
  return t.quarters;
}

// A text in one language reads better by that language's own model than by its family's: the better of them.
// And a sheet in several (a Romanian title beside a German place name) reads better word by word, each word by
// the family's model or one of its languages', or, for Western and Turkish, a byte model (a place name of any
// language).
struct NameModel {
  const CodePageModel& bytes;
  const SingleByteModel* foreignPairs;  // whose ASCII letter pairs a name's may be besides the family's, or null
  double wordNats;                      // what reading a word so costs
};
Tally ReadLanguages(const SingleByteModel& family, const LanguageModels& languages, const Histogram& h, std::size_t n,
                    double hopelessNats = Tally::kHopelessNats, const NameModel* names = nullptr) {
  const Tally byFamily = ReadLetters(family, h, n);
  // A reading the family finds far from credible no language of it makes credible: the languages are left unread.
  if (byFamily.Hopeless(hopelessNats) || languages.Get().empty()) return byFamily;
  Tally best = byFamily, byWords = byFamily;
  std::ptrdiff_t leastField = byFamily.fieldQuarters;
  for (const SingleByteModel& language : languages.Get()) {
    Tally t = ReadLetters(language, h, n);
    leastField = std::min(leastField, t.fieldQuarters);
    t.quarters += language.namingQuarters;
    if (t.Nats() < best.Nats()) best = t;
  }
  // Word by word, the fields' other words are read by the language of the family that reads them best: a Romanian
  // title's by Romanian, not by a family whose Polish and Czech pair its letters otherwise.
  byWords.quarters -= byWords.fieldQuarters - leastField;
  byWords.wordQuarters -= byWords.fieldQuarters - leastField;
  byWords.fieldQuarters = leastField;
  for (std::size_t k = 0; k < h.wordSets; ++k) {
    const Histogram::LatinWord& w = h.latinWords[h.wordSlots[k]];
    const std::ptrdiff_t byItsFamily = WordQuarters(family, h.text + w.at, w.length);
    std::ptrdiff_t least = byItsFamily;
    for (const SingleByteModel& language : languages.Get()) {
      least = std::min(least, WordQuarters(language, h.text + w.at, w.length) + language.wordQuarters);
    }
    if (names) {
      std::ptrdiff_t byBytes = WordBytesQuarters(names->bytes, family, family, h.text + w.at, w.length);
      if (names->foreignPairs) {
        byBytes =
            std::min(byBytes, WordBytesQuarters(names->bytes, family, *names->foreignPairs, h.text + w.at, w.length));
      }
      least = std::min(least, byBytes + Cost(names->wordNats));
    }
    byWords.quarters -= static_cast<std::ptrdiff_t>(w.count) * (byItsFamily - least);
  }
  return byWords.Nats() < best.Nats() ? byWords : best;
}

// A double-byte reading of a text in which no byte is a lead byte: each byte alone, by the histogram.
Tally ReadSingles(const CodePageModel& model, const Histogram& h, std::size_t n) {
  Tally t;
  t.ascii = n - h.high;
  for (const unsigned b : h.present) {
    for (unsigned letters = 0; letters < 4; ++letters) {
      const std::size_t count = h.beside[b * 4 + letters];
      if (count == 0) continue;
      Tally one;
      one.Add(model.single[b], letters >> 1, letters & 1);
      t.quarters += one.quarters * static_cast<std::ptrdiff_t>(count);
      t.characters += count;
      t.undefined += one.undefined * count;
      t.unmappable += one.unmappable * count;
    }
  }
  return t;
}

// Western text is read by two models, its letters' and its bytes' (the marks and place names of titles that the
// catalogues' prose seldom writes), and takes the better; the bytes' pays for knowing no language's letters.
Tally ReadWestern(const SingleByteModel& letters, const LanguageModels& languages, const CodePageModel& bytes,
                  const Histogram& h, std::size_t n, double hopelessNats = Tally::kHopelessNats) {
  const NameModel names{bytes, nullptr, kWordLanguageTimes * kOneLanguageNats};
  const Tally byLetters = ReadLanguages(letters, languages, h, n, hopelessNats, &names);
  Tally byBytes = ReadSingles(bytes, h, n);
  // The bytes' model knows no words: their letter pairs cost as the letters' model has them.
  byBytes.wordQuarters = byLetters.wordQuarters;
  byBytes.fieldQuarters = byLetters.fieldQuarters;
  byBytes.quarters += byLetters.wordQuarters;
  byBytes.quarters += static_cast<std::ptrdiff_t>(byBytes.characters) * Cost(kWesternBytesNats);
  // Counted without a branch: in a text of another script most pairs are two bytes above 0x7F, letters or not
  // as the text goes.
  std::size_t together = 0;
  for (const auto& [pair, count] : h.counted) {
    together += count & -static_cast<std::size_t>(LettersTogether(letters, pair >> 8, pair & 0xFF));
  }
  byBytes.quarters += static_cast<std::ptrdiff_t>(together) * Cost(kWesternLettersTogetherNats);
  return byBytes.Nats() < byLetters.Nats() ? byBytes : byLetters;
}

constexpr unsigned char kBom[] = {0xEF, 0xBB, 0xBF};
// A byte-order mark is all but proof of UTF-8.
constexpr double kBomNats = -12;
bool StartsWithBom(const unsigned char* s, std::size_t n) { return n >= 3 && std::memcmp(s, kBom, 3) == 0; }

// The double-byte and UTF-8 readings go through a long text side by side, a chunk at a time.
constexpr std::size_t kChunk = 64 * 1024;

std::size_t ScanUtf8(const Models& models, const unsigned char* s, std::size_t n, std::size_t i, std::size_t end,
                     Tally& t) {
  while (i < end) {
    if (s[i] < 0x80) {
      i = TakeAscii(t, s, i, n);
      continue;
    }
    char32_t u;
    const std::size_t length = Utf8Sequence(s, n, i, u);
    if (length == 0) {
      t.Add(kUndefined);
      ++i;
    } else {
      t.Add(u < 0x10000 ? models.Unicode(static_cast<char16_t>(u)) : static_cast<Entry>(Cost(12) | kUnmappableBit),
            i > 0 && kAsciiLetters[s[i - 1]], kAsciiLetters[Next(s, i + length - 1, n)]);
      i += length;
    }
  }
  return i;
}

// The control bytes that no text holds (tab, line ends, form feed, escape and the end-of-file mark are fine).
constexpr std::array<std::uint8_t, 128> BuildControlBytes() {
  std::array<std::uint8_t, 128> controls{};
  for (unsigned c = 1; c < 0x20; ++c) {
    controls[c] = c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != 0x1A && c != 0x1B;
  }
  controls[0x7F] = 1;
  return controls;
}
constexpr std::array<std::uint8_t, 128> kControlBytes = BuildControlBytes();

// Whether the eight bytes at p are ASCII from the space to the tilde: none above 0x7E, none below 0x20.
bool IsEightPrintableAscii(const unsigned char* p) {
  std::uint64_t x;
  std::memcpy(&x, p, sizeof x);
  constexpr std::uint64_t kOnes = 0x0101010101010101u, kHighs = 0x8080808080808080u;
  // A byte below 0x20, or (as x + 1) above 0x7E, sets its high bit in one of the two.
  return ((x | (x + kOnes)) & kHighs) == 0 && ((x - 0x20 * kOnes) & ~x & kHighs) == 0;
}

// Binary data: more than one byte in 20 a control byte.
constexpr std::size_t kBinaryShare = 20;

// No cause is credible when even the best reading has more than one undefined sequence in 20 characters, or,
// over enough characters, costs more per character than real text does: random bytes read as GBK or Big5
// are valid pairs, but of the rarest characters; read as Windows-1252 they are letters and signs at random.
// Measured on the sheets made from other catalogues than the accuracy test's: Chinese and Japanese text
// costs at most 10.4 nats a character, random bytes 13 to 18.
constexpr std::size_t kMostUndefinedShare = 20;
constexpr std::size_t kFewestJudged = 8;
constexpr double kMostChineseNats = 11.5;
// A Chinese reading is named with confidence only below this: Thai and Arabic text read as GBK or Big5 costs
// 9.5 nats a character or more, Chinese text of the dev sheets 9 at most (measured as above).
constexpr double kMostConfidentChineseNats = 10;
// And a Japanese one below this per byte above 0x7F: Japanese text of the dev sheets costs at most 5, single-byte
// text of Western, Thai and Arabic code pages read as Shift-JIS 6 or more in most cases.
constexpr double kMostConfidentJapaneseByteNats = 6;
constexpr double kMostUnicodeNats = 11.5;
constexpr double kMostJapaneseNats = 9;
constexpr double kMostWesternNats = 9.5;
constexpr double kNotCredibleNats = 6;  // unknown then leads by this much
// A text of a few characters above ASCII that a cause explains barely better than random bytes could be in
// a code page no cause names: a French word in code page 437 reads as a kana pair.
constexpr double kLeastConfidentNats = 5;
// How much better than any other cause's reading a confident answer's reading explains the text, in nats.
constexpr double kLeastLeadNats = 1;
// Korean text costs at most 8.3 nats a character, Arabic text read as code page 949, 10.9; Japanese text 7.6 on
// the dev sheets (up to 9 on place names), Thai text read as EUC-JP 9.3 (the decoys and the per-byte bound
// above keep the rest from being named with confidence).
constexpr double kMostKoreanNats = 9;

// The mean cost per character above ASCII of a credible reading by a letter model, measured as above: at most
// 4.4 nats for Cyrillic text (Arabic text read as Cyrillic, 5.5), 5.3 for Greek (5.4), 5.6 for Hebrew (6.7),
// 6.3 for Turkish, 5.8 for Baltic and 8.7 for Central European text (11), and 7.2 for Western text; Baltic and
// Western place names (of the accuracy test's kind) cost more, as do Turkish sheets that name languages in their
// own letters (Güilá, Bété), and random bytes read as them 11 or more.
double MostLetterNats(Letters letters) {
  switch (letters) {
    case Letters::kCyrillic:
      return 5;
    case Letters::kGreek:
      return 5.35;
    case Letters::kHebrew:
      return 6.2;
    case Letters::kTurkish:
      return 8;
    case Letters::kBaltic:
      return 9;
    case Letters::kCentralEuropean:
      return 9.5;
    default:
      return kMostWesternNats;
  }
}

// UTF-16 by its layout: a byte-order mark, or, in a text of even length, a NUL on one side of at least half the
// units and hardly ever on the other (a CJK unit may end in one), and no unit of two NULs.
std::optional<Cause> Utf16Layout(const unsigned char* s, std::size_t n) {
  if (n >= 2 && s[0] == 0xFF && s[1] == 0xFE) return Cause::kUtf16Le;
  if (n >= 2 && s[0] == 0xFE && s[1] == 0xFF) return Cause::kUtf16Be;
  if (n < 2 || n % 2 != 0 || std::memchr(s, 0, n) == nullptr) return std::nullopt;
  std::size_t highNul = 0, lowNul = 0;  // units whose second or first byte alone is NUL
  for (std::size_t i = 0; i < n; i += 2) {
    if (s[i] == 0 && s[i + 1] == 0) return std::nullopt;
    highNul += s[i + 1] == 0;
    lowNul += s[i] == 0;
  }
  const std::size_t units = n / 2;
  constexpr std::size_t kOtherSideShare = 16;
  if (highNul * 2 >= units && lowNul * kOtherSideShare <= highNul) return Cause::kUtf16Le;
  if (lowNul * 2 >= units && highNul * kOtherSideShare <= lowNul) return Cause::kUtf16Be;
  return std::nullopt;
}

// A UTF-16 text's evidence: unpaired surrogates, and characters GBK cannot write.
Tally ScanUtf16(const Models& models, const unsigned char* s, std::size_t n, bool bigEndian) {
  Tally t;
  std::size_t i = n >= 2 && ((s[0] == 0xFF && s[1] == 0xFE) || (s[0] == 0xFE && s[1] == 0xFF)) ? 2 : 0;
  const auto unit = [&](std::size_t k) -> char16_t {
    return static_cast<char16_t>(bigEndian ? s[k] << 8 | s[k + 1] : s[k + 1] << 8 | s[k]);
  };
  for (; i + 1 < n; i += 2) {
    const char16_t u = unit(i);
    if (u < 0x80) continue;
    if (u >= 0xD800 && u < 0xDC00 && i + 3 < n && unit(i + 2) >= 0xDC00 && unit(i + 2) < 0xE000) {
      t.Add(kUnmappableBit);
      i += 2;
    } else if (u >= 0xD800 && u < 0xE000) {
      t.Add(kUndefined);
    } else {
      t.Add(models.gbk.Holds(u) ? 0 : kUnmappableBit);
    }
  }
  if (i < n) t.Add(kUndefined);  // an odd last byte
  return t;
}

// Whether two causes read each byte above 0x7F of a text as the same character.
bool ReadAlike(const SingleByteModel& x, const SingleByteModel& y, const Histogram& h) {
  if (!x.letters || !y.letters) return false;
  for (const unsigned c : h.present) {
    if (x.unit[c] != y.unit[c]) return false;
  }
  return true;
}

// A candidate's log odds: how well its reading explains the text, less what naming the cause costs.
double Odds(const Candidate& c) { return c.plausibility - EncodingOf(c.cause).rarityNats; }

}  // namespace

Guess GuessCause(const char* text) { return GuessCause(std::string_view(text == nullptr ? "" : text)); }

bool MeetsUndefinedEarly(std::string_view bytes, Cause cause) {
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  const Models& models = TheModels();
  const CodePageModel* model = DoubleByteModel(models, cause);
  if (model == nullptr && cause != Cause::kUtf8) return false;
  // As the reading's stream does, from its start to the end of the first chunk; a step at a time, to stop early.
  constexpr std::size_t kStep = 256;
  const std::size_t chunkEnd = std::min(n, kChunk);
  Tally t;
  for (std::size_t i = model == nullptr && StartsWithBom(s, n) ? 3 : 0; i < chunkEnd && t.undefined == 0;) {
    const std::size_t end = std::min(chunkEnd, i + kStep);
    i = model ? ScanDoubleByte(*model, s, n, i, end, t) : ScanUtf8(models, s, n, i, end, t);
  }
  return t.undefined > 0;
}

void PrepareGuess() { TheModels(); }

Guess GuessCause(std::string_view bytes) {
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  Guess guess;
  const std::optional<Cause> utf16 = Utf16Layout(s, n);
  if (utf16) {
    const Tally t = ScanUtf16(TheModels(), s, n, *utf16 == Cause::kUtf16Be);
    guess.confident = t.undefined == 0;
    for (const Encoding& e : kEncodings) {
      const bool it = e.cause == *utf16;
      guess.ranked.push_back({e.cause, it ? 1.0 : 0.0, it ? t.undefined : 0, it ? t.unmappable : 0, 0});
    }
    std::stable_partition(guess.ranked.begin(), guess.ranked.end(), [](const Candidate& c) { return c.score > 0; });
    return guess;
  }

  // The one pass over the whole text; its pair counters are kept per thread and left at 0 for the next text.
  thread_local const ZeroedArray<std::size_t> counters = MakeZeroed<std::size_t>(65536);
  Histogram h(counters.get());
  unsigned before = ' ';
  std::size_t runStart = 0;  // where the bytes above 0x7F before s[i] begin
  for (std::size_t i = 0; i < n; ++i) {
    // Eight printable ASCII bytes after an ASCII one count for nothing but their number: one step.
    if (before < 0x80 && n - i >= 8 && IsEightPrintableAscii(s + i)) {
      i += 7;
      before = s[i];
      continue;
    }
    const unsigned b = s[i];
    if (b < 0x80) {
      h.controls += kControlBytes[b];
      if (before >= 0x80) {
        h.Pair(before, b);
        h.AddRun(s, runStart, i);
      }
    } else {
      const bool letterBefore = kAsciiLetters[before], letterAfter = kAsciiLetters[Next(s, i, n)];
      h.High(b, letterBefore * 2 + letterAfter);
      if (before < 0x80) runStart = i;
      h.Pair(before, b);
      if (letterBefore || letterAfter) h.Word(s, n, i);
    }
    before = b;
  }
  if (before >= 0x80) {
    h.Pair(before, ' ');
    h.AddRun(s, runStart, n);
  }
  h.Gather();
  const std::size_t high = h.high;
  // A NUL belongs to no text but UTF-16's.
  const bool binary = h.controls * kBinaryShare > n || std::memchr(s, 0, n) != nullptr;
  if (high == 0 && !binary) {
    guess.confident = true;
    for (const Encoding& e : kEncodings)
      guess.ranked.push_back({e.cause, e.cause == Cause::kAscii ? 1.0 : 0.0, 0, 0, 0});
    return guess;
  }

  h.GatherWords(s, n);
  const Models& models = TheModels();
  const double noise = kNoiseNats * static_cast<double>(high) + kAsciiNats * static_cast<double>(n - high);
  struct Reading {
    Cause cause;
    Tally tally;
    double bonus;
    double mostNats;  // the mean cost per character of a credible reading
  };
  // The readings whose characters span bytes read the text itself, side by side a chunk at a time.
  struct Stream {
    std::size_t reading;
    const CodePageModel* model;  // null for UTF-8
    std::size_t at;
  };
  std::vector<Reading> readings;
  std::vector<Stream> streams;
  const NameModel turkishNames{models.turkishBytes, &models.singleByte[static_cast<std::size_t>(Cause::kWestern)],
                               kTurkishNameWordNats};
  for (const Encoding& e : kEncodings) {
    if (e.layout == Layout::kSingleByte) {
      const SingleByteModel& letters = models.singleByte[static_cast<std::size_t>(e.cause)];
      const LanguageModels& languages = models.languages[static_cast<std::size_t>(e.cause)];
      Tally t = e.cause == Cause::kWestern ? ReadWestern(letters, languages, models.westernBytes, h, n)
                                           : ReadLanguages(letters, languages, h, n, Tally::kHopelessNats,
                                                           e.cause == Cause::kWindows1254 ? &turkishNames : nullptr);
      // Only a cause pays for its signs out of place: a decoy stands for any code page no cause names, whose
      // text reads as signs in one such place or another.
      t.quarters += OutOfPlaceQuarters(letters, h);
      readings.push_back({e.cause, t, 0, MostLetterNats(e.letters)});
    } else if (e.layout == Layout::kUtf8) {
      const bool bom = StartsWithBom(s, n);
      readings.push_back({e.cause, {}, bom ? kBomNats : 0, kMostUnicodeNats});
      streams.push_back({readings.size() - 1, nullptr, bom ? std::size_t{3} : 0});
    } else if (e.layout == Layout::kDoubleByte || e.cause == Cause::kGbk) {
      const CodePageModel* model = DoubleByteModel(models, e.cause);
      const double most = e.cause == Cause::kGbk || e.cause == Cause::kBig5 ? kMostChineseNats
                          : e.cause == Cause::kEucKr                        ? kMostKoreanNats
                                                                            : kMostJapaneseNats;
      bool leads = false;
      for (const unsigned b : h.present) leads = leads || model->lead[b];
      readings.push_back({e.cause, leads ? Tally{} : ReadSingles(*model, h, n), 0, most});
      if (leads) streams.push_back({readings.size() - 1, model, 0});
    }
  }
  // The letter pairs of words weigh a Latin reading against Western's: each pays what it pays beyond Western's,
  // or gains what it pays less, so that Western, and a reading in another script, which has no say on them, are
  // judged by the rest of the text.
  // A single-byte cause's letter model (null for another cause), and whether its script is Latin.
  const auto lettersOf = [&models](Cause cause) { return models.singleByte[static_cast<std::size_t>(cause)].letters; };
  const auto latin = [&lettersOf](Cause cause) { return lettersOf(cause) != nullptr && lettersOf(cause)->latin; };
  const Tally western = std::find_if(readings.begin(), readings.end(), [](const Reading& r) {
                          return r.cause == Cause::kWestern;
                        })->tally;
  const std::ptrdiff_t westernWordQuarters = western.wordQuarters;
  const std::ptrdiff_t westernFieldQuarters = western.fieldQuarters;
  for (Reading& r : readings) {
    if (!latin(r.cause)) continue;
    r.tally.quarters -= westernWordQuarters;
    r.tally.wordQuarters -= westernWordQuarters;
  }
  // A reading that trails the best of them by kAbandonNats after a chunk cannot catch up in a text of one
  // encoding: it stops there, its counts scaled to the whole text.
  constexpr double kAbandonNats = 200;
  for (std::size_t start = 0; start < n && !streams.empty(); start += kChunk) {
    const std::size_t end = std::min(n, start + kChunk);
    double best = 0;
    for (Stream& stream : streams) {
      Tally& t = readings[stream.reading].tally;
      stream.at = stream.model ? ScanDoubleByte(*stream.model, s, n, stream.at, end, t)
                               : ScanUtf8(models, s, n, stream.at, end, t);
      best = &stream == &streams.front() ? t.Nats() : std::min(best, t.Nats());
    }
    if (end == n) break;
    std::erase_if(streams, [&](const Stream& stream) {
      Tally& t = readings[stream.reading].tally;
      if (t.Nats() <= best + kAbandonNats) return false;
      t.Scale(static_cast<double>(n) / static_cast<double>(stream.at));
      return true;
    });
  }

  const auto isCredible = [](const Reading& r) {
    const Tally& t = r.tally;
    return t.undefined * kMostUndefinedShare <= t.characters &&
           (t.characters < kFewestJudged || t.Mean() <= r.mostNats);
  };
  // Where some reading is credible, one in a script of its own (Cyrillic, Greek, Hebrew) that is not is no rival to
  // it, and counts as random bytes do: Hebrew names, which cost more by the Hebrew model than its catalogues' prose
  // does, read as rare Cyrillic words that otherwise outbid them. A Latin reading past its bound keeps its cost:
  // place names take Latin readings past theirs, the right one among them.
  const bool someCredible = std::any_of(readings.begin(), readings.end(), isCredible);
  const auto ownScript = [&lettersOf](Cause cause) { return lettersOf(cause) != nullptr && !lettersOf(cause)->latin; };
  std::size_t best = 0;
  for (std::size_t i = 0; i < readings.size(); ++i) {
    const Reading& r = readings[i];
    double plausibility = noise - r.tally.Nats() - r.bonus;
    if (someCredible && ownScript(r.cause) && !isCredible(r)) plausibility = std::min(plausibility, 0.0);
    guess.ranked.push_back({r.cause, 0, r.tally.undefined, r.tally.unmappable, plausibility});
    if (Odds(guess.ranked.back()) > Odds(guess.ranked[best])) best = i;
  }
  const bool credible = isCredible(readings[best]);
  // ASCII reads every byte above 0x7F as undefined.
  guess.ranked.push_back({Cause::kAscii, 0, high, 0, (kNoiseNats - kUndefinedNats) * static_cast<double>(high)});
  const double unknown = credible ? 0 : guess.ranked[best].plausibility + kNotCredibleNats;
  guess.ranked.push_back({Cause::kUnknown, 0, 0, 0, unknown});
  if (binary) {
    guess.ranked.back().score = 1;
  } else {
    double most = 0;
    for (const Candidate& c : guess.ranked) most = std::max(most, Odds(c));
    double sum = 0;
    for (Candidate& c : guess.ranked) sum += c.score = std::exp(Odds(c) - most);
    for (Candidate& c : guess.ranked) c.score /= sum;
  }
  // UTF-16 has no reading here: its layout was not there.
  for (const Encoding& e : kEncodings) {
    if (std::none_of(guess.ranked.begin(), guess.ranked.end(),
                     [&e](const Candidate& c) { return c.cause == e.cause; })) {
      guess.ranked.push_back({e.cause, 0, 0, 0, -kUndefinedNats * static_cast<double>(high)});
    }
  }
  std::stable_sort(guess.ranked.begin(), guess.ranked.end(),
                   [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
  // Causes that read every byte of the text as the same characters are one answer, named by the one listed
  // first in kEncodings (Western before the code pages that share its letters), which takes their scores: the
  // answer is the one whose causes' scores together are the most.
  const auto alikeTo = [&](const Candidate& a, const Candidate& b) {
    return ReadAlike(models.singleByte[static_cast<std::size_t>(a.cause)],
                     models.singleByte[static_cast<std::size_t>(b.cause)], h);
  };
  if (!binary) {
    std::size_t first = 0;
    double most = 0;
    for (std::size_t i = 0; i < guess.ranked.size() && guess.ranked[i].score > 0; ++i) {
      // A reading with an undefined byte stands alone, as the merge below leaves it.
      double together = guess.ranked[i].score;
      if (guess.ranked[i].undefined == 0) {
        for (std::size_t j = 0; j < guess.ranked.size(); ++j) {
          if (j != i && alikeTo(guess.ranked[i], guess.ranked[j])) together += guess.ranked[j].score;
        }
      }
      if (together > most) {
        most = together;
        first = i;
      }
    }
    // Led by the best of them, whose odds the rivals are weighed against.
    std::size_t lead = 0;
    while (lead != first && !alikeTo(guess.ranked[first], guess.ranked[lead])) ++lead;
    std::rotate(guess.ranked.begin(), guess.ranked.begin() + static_cast<std::ptrdiff_t>(lead),
                guess.ranked.begin() + static_cast<std::ptrdiff_t>(lead) + 1);
  }
  double plausibility = guess.ranked.front().plausibility;
  const double odds = Odds(guess.ranked.front());
  std::bitset<kCauseCount> alike;
  if (!binary && guess.ranked.front().undefined == 0) {
    Candidate& top = guess.ranked.front();
    for (std::size_t i = 1; i < guess.ranked.size(); ++i) {
      Candidate& other = guess.ranked[i];
      if (!alikeTo(top, other)) continue;
      top.score = std::min(1.0, top.score + other.score);  // their sum may round above one
      other.score = 0;
      plausibility = std::max(plausibility, other.plausibility);
      if (other.cause < top.cause) {
        std::swap(top.cause, other.cause);
        std::swap(top.plausibility, other.plausibility);
      }
      alike.set(static_cast<std::size_t>(other.cause));
    }
    std::stable_sort(guess.ranked.begin() + 1, guess.ranked.end(),
                     [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
  }
  const Candidate& top = guess.ranked.front();
  const bool chinese = top.cause == Cause::kGbk || top.cause == Cause::kBig5;
  const auto reading =
      std::find_if(readings.begin(), readings.end(), [&top](const Reading& r) { return r.cause == top.cause; });
  const bool japanese = top.cause == Cause::kShiftJis || top.cause == Cause::kEucJp;
  const bool plain = reading == readings.end() || (!chinese && !japanese) ||
                     (chinese ? reading->tally.Mean() <= kMostConfidentChineseNats
                              : static_cast<double>(reading->tally.quarters) / kQuarters <=
                                    kMostConfidentJapaneseByteNats * static_cast<double>(high));
  // The decoys' readings take their share too, but only for naming the cause with confidence; one that reads
  // the text as the same characters as the cause is no rival.
  double share = top.score;
  if (!binary && top.cause != Cause::kUnknown) {
    const SingleByteModel& named = models.singleByte[static_cast<std::size_t>(top.cause)];
    double rivals = 1;
    h.readFields = false;
    for (std::size_t i = 0; i < kDecoyCount; ++i) {
      const SingleByteModel& decoy = models.decoys[i];
      if (named.letters && ReadAlike(named, decoy, h)) continue;
      Tally t = decoy.letters == &kLetterModels[static_cast<int>(Letters::kWestern) - 1]
                    ? ReadWestern(decoy, models.decoyLanguages[i], models.decoyBytes[i], h, n, kMostDecoyNats)
                    : ReadLanguages(decoy, models.decoyLanguages[i], h, n, kMostDecoyNats);
      if (decoy.letters->latin) t.quarters -= westernWordQuarters - westernFieldQuarters;
      const double rarity = !decoy.letters->latin && decoy.letters == named.letters ? kSameScriptDecoyNats : kDecoyNats;
      rivals += std::exp(noise - t.Nats() - rarity - odds);
    }
    share /= rivals;
  }
  // Naming a cause costs its rarity, so a short text that a seldom code page reads a little better goes to a more
  // common one. The causes a Chinese system's sheets mostly come in may be sure of it (a Big5 title of one
  // character is Big5 before it is EUC-JP); a less common one is sure only where the text itself favors it over
  // every other cause that reads it as other characters, not the rarity of the other alone.
  double lead = kLeastLeadNats;
  for (std::size_t i = 1; i < guess.ranked.size(); ++i) {
    const Candidate& c = guess.ranked[i];
    if (c.cause == Cause::kUnknown || c.cause == Cause::kAscii || alike.test(static_cast<std::size_t>(c.cause))) {
      continue;
    }
    lead = std::min(lead, plausibility - c.plausibility);
  }
  const bool common = EncodingOf(top.cause).rarityNats == 0;
  guess.confident =
      binary ||
      (top.undefined == 0 && share >= kConfidentScore && plain &&
       (top.cause == Cause::kUnknown || (plausibility >= kLeastConfidentNats && (common || lead >= kLeastLeadNats))));
  return guess;
}

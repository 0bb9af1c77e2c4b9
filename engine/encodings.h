// The causes of a garbled text and the facts of each cause's encoding, one record a cause in one table.
//
// Every list of causes iterates kEncodings: the guess's candidates, the repair, the FILE-line rule, the
// command line's names and help, and the window's list items. Adding an encoding is one record here and its
// test rows; nothing else names the facts of an encoding.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "conversions.h"

enum class Cause {
  kAscii,        // nothing to repair
  kGbk,          // already readable on this system
  kBig5,         // Traditional Chinese
  kShiftJis,     // Japanese
  kWestern,      // Western European
  kUtf8,         //
  kWindows1251,  // Cyrillic
  kKoi8R,        // Cyrillic (Russian)
  kWindows1250,  // Central European
  kIso8859_2,    // Central European
  kWindows1253,  // Greek
  kWindows1254,  // Turkish
  kWindows1255,  // Hebrew
  kWindows1257,  // Baltic
  kEucKr,        // Korean, read as its superset, Windows' code page 949
  kEucJp,        // Japanese
  kUtf16Le,      //
  kUtf16Be,      //
  kUnknown,      // binary data, or no cause is credible
};

// How an encoding's bytes form characters, which decides how a text in it is read.
enum class Layout {
  kNone,        // ascii, gbk, unknown: nothing to decode
  kSingleByte,  // one byte a character
  kDoubleByte,  // a lead byte takes the byte after it
  kUtf8,
  kUtf16Le,
  kUtf16Be,
};

// A range of lead bytes of a double-byte code page, each of which takes the next byte with it as Windows
// decodes (whatever that byte is, but NUL).
struct ByteRange {
  unsigned char first, last;
  constexpr bool Holds(unsigned char b) const { return first != 0 && b >= first && b <= last; }
};

// The letter model (engine/letter_frequency.h) a single-byte cause's text is read with.
enum class Letters { kNone, kWestern, kCentralEuropean, kCyrillic, kGreek, kTurkish, kHebrew, kBaltic };

struct Encoding {
  Cause cause;
  std::string_view name;  // as iconv names it; what lumaret-cli prints and takes
  unsigned codePage;      // Windows' number; 1200 and 1201 for UTF-16, which no code-page service converts
  Layout layout;
  char16_t defaultUnit;  // what a byte sequence the code page does not define decodes to
  // Whether GBK holds every character the encoding has, so that a conversion to GBK never loses one.
  bool gbkHoldsRepertoire;
  std::u16string_view caption;  // the window's list item, empty where the window offers none
  int choice;                   // the window's item data, 0 where it offers none; UTF-16's two orders share one
  // The window's routine to GBK, whose bytes lumaret-cli's GBK repair gives too; null where the repair
  // converts through the text services alone (and for ascii, gbk and unknown, which nothing converts).
  ConversionRoutine toGbk;
  // The bytes that open a text as a mark of its encoding, which a conversion drops.
  std::string_view byteOrderMark = {};
  // The single bytes the code page leaves undefined: Windows decodes them to the C1 control of the same value
  // or to a private-use character, never to a letter, so no text written in the code page holds them.
  std::string_view undefinedBytes = {};
  // The double-byte code pages: their lead bytes, and how the code page spells the character that is also its
  // default one ('?' in Big5, 81 45 in Shift-JIS), which is then no undefined sequence.
  ByteRange leads[2] = {};
  std::string_view defaultSpelling = {};
  Letters letters = Letters::kNone;  // the guess's model of a single-byte cause's language
  // What the guess pays, in nats, for naming the cause: nothing for the causes a Chinese system's sheets mostly
  // come in, a few for those it seldom meets, so that a short text two causes read about as well goes to the
  // common one.
  double rarityNats = 0;
  // toGbk as a routine that also tells whether it lost nothing, where the code page's table lets the conversion
  // tell it in the same pass: the repair then counts losses only where it may have lost some.
  CheckedRoutine toGbkChecked = nullptr;
};

// The rarity of the causes the window offers beyond today's six, and of those only the command line names.
inline constexpr double kLessCommonNats = 1;
inline constexpr double kSeldomNats = 4.5;
// The seldom Latin code pages pay less: a short text in one of them differs from its Western reading in a letter
// or two, and the guess weighs the language of the words around them, so that the rarity need not outweigh it.
inline constexpr double kSeldomLatinNats = 2;
// Windows-1255 pays less than the other seldom code pages: a text it reads at all has its letters in E0 to FA
// alone, which no Cyrillic title with a capital or ы, ь, я has, so a short Hebrew title that Windows-1251 or
// KOI8-R reads about as well is rather Hebrew than a Cyrillic word all in one case.
inline constexpr double kHebrewNats = 3;

// The Windows-1252 bytes the Western transliteration makes '?' and counts as losses.
inline constexpr std::string_view kWesternUndefined = "\x81\x8D\x8F\x90\x9D";

// A row a record: clang-format would give every field a line of its own.
// clang-format off
inline constexpr Encoding kEncodings[] = {
    // cause, name, code page, layout, default unit, GBK holds all, caption, item, routine to GBK, byte-order mark,
    // undefined single bytes, lead bytes, the default character's own spelling, letter model, rarity, the routine
    // to GBK that tells whether it lost nothing
    {Cause::kAscii, "ascii", 20127, Layout::kNone, u'?', true, u"", 0, nullptr},
    {Cause::kGbk, "gbk", 936, Layout::kNone, u'?', true, u"", 0, nullptr},
    {Cause::kBig5, "big5", 950, Layout::kDoubleByte, u'?', false, u"Big5\u7E41\u4F53\u4E2D\u6587", 1,
     Big5ToGbkSimplified, "", "", {{0x81, 0xFE}}, "?", Letters::kNone, 0, Big5ToGbkSimplifiedChecked},
    {Cause::kShiftJis, "shift-jis", 932, Layout::kDoubleByte, u'\x30FB', false, u"\u65E5\u6587\uFF08Shift-JIS\uFF09",
     3, ShiftJisToGbk, "", "\x80\xA0\xFD\xFE\xFF", {{0x81, 0x9F}, {0xE0, 0xFC}}, "\x81\x45", Letters::kNone, 0,
     ShiftJisToGbkChecked},
    {Cause::kWestern, "western", 1252, Layout::kSingleByte, u'?', true, u"\u7279\u6B8A\u897F\u6B27\u5B57\u7B26", 2,
     WesternToAscii, "", kWesternUndefined, {}, "", Letters::kWestern},
    {Cause::kUtf8, "utf-8", 65001, Layout::kUtf8, u'\xFFFD', false, u"UTF-8", 4, Utf8ToGbk, "\xEF\xBB\xBF", "", {},
     "\xEF\xBF\xBD"},
    {Cause::kWindows1251, "windows-1251", 1251, Layout::kSingleByte, u'?', false,
     u"\u4FC4\u6587\uFF08Windows-1251\uFF09", 6, nullptr, "", "\x98", {}, "", Letters::kCyrillic, kLessCommonNats},
    {Cause::kKoi8R, "koi8-r", 20866, Layout::kSingleByte, u'?', false, u"\u4FC4\u6587\uFF08KOI8-R\uFF09", 7, nullptr,
     "", "", {}, "", Letters::kCyrillic, kLessCommonNats},
    {Cause::kWindows1250, "windows-1250", 1250, Layout::kSingleByte, u'?', false, u"", 0, nullptr, "",
     "\x81\x83\x88\x90\x98", {}, "", Letters::kCentralEuropean, kSeldomLatinNats},
    // ISO-8859-2's 80 to 9F are the C1 controls themselves, defined, but in no text.
    {Cause::kIso8859_2, "iso-8859-2", 28592, Layout::kSingleByte, u'?', false, u"", 0, nullptr, "",
     "\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8E\x8F"
     "\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F",
     {}, "", Letters::kCentralEuropean, kSeldomLatinNats},
    {Cause::kWindows1253, "windows-1253", 1253, Layout::kSingleByte, u'?', false, u"", 0, nullptr, "",
     "\x81\x88\x8A\x8C\x8D\x8E\x8F\x90\x98\x9A\x9C\x9D\x9E\x9F\xAA\xD2\xFF", {}, "", Letters::kGreek, kSeldomNats},
    {Cause::kWindows1254, "windows-1254", 1254, Layout::kSingleByte, u'?', false, u"", 0, nullptr, "",
     "\x81\x8D\x8E\x8F\x90\x9D\x9E", {}, "", Letters::kTurkish, kSeldomLatinNats},
    {Cause::kWindows1255, "windows-1255", 1255, Layout::kSingleByte, u'?', false, u"", 0, nullptr, "",
     "\x81\x8A\x8C\x8D\x8E\x8F\x90\x9A\x9C\x9D\x9E\x9F\xD9\xDA\xDB\xDC\xDD\xDE\xDF\xFB\xFC\xFF", {}, "",
     Letters::kHebrew, kHebrewNats},
    {Cause::kWindows1257, "windows-1257", 1257, Layout::kSingleByte, u'?', false, u"", 0, nullptr, "",
     "\x81\x83\x88\x8A\x8C\x90\x98\x9A\x9C\x9F\xA1\xA5", {}, "", Letters::kBaltic, kSeldomLatinNats},
    {Cause::kEucKr, "euc-kr", 949, Layout::kDoubleByte, u'?', false, u"", 0, nullptr, "", "\x80\xFF", {{0x81, 0xFE}},
     "?", Letters::kNone, kSeldomNats},
    // 8F opens JIS X 0212 in EUC-JP, which Windows' 20932 does not read so: a loss.
    {Cause::kEucJp, "euc-jp", 20932, Layout::kDoubleByte, u'\x30FB', false, u"", 0, nullptr, "",
     "\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8D\x8F"
     "\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9D\x9E\x9F\xA0\xFF",
     {{0x8E, 0x8E}, {0xA1, 0xFE}}, "\xA1\xA6", Letters::kNone, kSeldomNats},
    {Cause::kUtf16Le, "utf-16le", 1200, Layout::kUtf16Le, u'\xFFFD', false, u"UTF-16", 5, nullptr, "\xFF\xFE"},
    {Cause::kUtf16Be, "utf-16be", 1201, Layout::kUtf16Be, u'\xFFFD', false, u"UTF-16", 5, nullptr, "\xFE\xFF"},
    {Cause::kUnknown, "unknown", 0, Layout::kNone, u'?', false, u"", 0, nullptr},
};
// clang-format on

inline constexpr std::size_t kCauseCount = std::size(kEncodings);

constexpr const Encoding& EncodingOf(Cause cause) { return kEncodings[static_cast<std::size_t>(cause)]; }

constexpr std::string_view CauseName(Cause cause) { return EncodingOf(cause).name; }

constexpr std::optional<Cause> CauseFromName(std::string_view name) {
  for (const Encoding& e : kEncodings) {
    if (e.name == name) return e.cause;
  }
  return std::nullopt;
}

// Whether a conversion turns a text of the cause into something else: every cause but ascii, gbk and unknown.
constexpr bool IsSource(Cause cause) { return EncodingOf(cause).layout != Layout::kNone; }

// Whether a text of the cause is UTF-16, whose NUL bytes are part of its characters.
constexpr bool IsUtf16(Cause cause) {
  return EncodingOf(cause).layout == Layout::kUtf16Le || EncodingOf(cause).layout == Layout::kUtf16Be;
}

namespace encodings_detail {
constexpr bool InCauseOrder() {
  for (std::size_t i = 0; i < kCauseCount; ++i) {
    if (static_cast<std::size_t>(kEncodings[i].cause) != i) return false;
  }
  return kEncodings[kCauseCount - 1].cause == Cause::kUnknown;
}
}  // namespace encodings_detail
static_assert(encodings_detail::InCauseOrder(), "a record's place in kEncodings is its cause's value");

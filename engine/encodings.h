// The causes of a garbled text and the facts of each cause's encoding, one record a cause in one table.
//
// Every list of causes iterates kEncodings: the guess's candidates, the repair, the FILE-line rule, the
// command line's names and help, and the window's list items. Adding an encoding is one record here and its
// test rows; nothing else names the facts of an encoding.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

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
  Letters letters = Letters::kNone;  // the guess's model of a single-byte cause's language
  // What the guess pays, in nats, for naming the cause: nothing for the causes a Chinese system's sheets mostly
  // come in, a few for those it seldom meets, so that a short text two causes read about as well goes to the
  // common one.
  double rarityNats = 0;
};

// The rarity of the causes the window offers beyond today's six, and of those only the command line names.
inline constexpr double kLessCommonNats = 1;
inline constexpr double kSeldomNats = 4.5;

inline constexpr Encoding kEncodings[] = {
    {Cause::kAscii, "ascii", 20127, Layout::kNone, u'?', true, u"", 0},
    {Cause::kGbk, "gbk", 936, Layout::kNone, u'?', true, u"", 0},
    {Cause::kBig5, "big5", 950, Layout::kDoubleByte, u'?', false, u"Big5\u7E41\u4F53\u4E2D\u6587", 1},
    {Cause::kShiftJis, "shift-jis", 932, Layout::kDoubleByte, u'\x30FB', false, u"\u65E5\u6587\uFF08Shift-JIS\uFF09",
     3},
    {Cause::kWestern, "western", 1252, Layout::kSingleByte, u'?', true, u"\u7279\u6B8A\u897F\u6B27\u5B57\u7B26", 2,
     Letters::kWestern},
    {Cause::kUtf8, "utf-8", 65001, Layout::kUtf8, u'\xFFFD', false, u"UTF-8", 4},
    {Cause::kWindows1251, "windows-1251", 1251, Layout::kSingleByte, u'?', false,
     u"\u4FC4\u6587\uFF08Windows-1251\uFF09", 6, Letters::kCyrillic, kLessCommonNats},
    {Cause::kKoi8R, "koi8-r", 20866, Layout::kSingleByte, u'?', false, u"\u4FC4\u6587\uFF08KOI8-R\uFF09", 7, Letters::kCyrillic, kLessCommonNats},
    {Cause::kWindows1250, "windows-1250", 1250, Layout::kSingleByte, u'?', false, u"", 0, Letters::kCentralEuropean, kSeldomNats},
    {Cause::kIso8859_2, "iso-8859-2", 28592, Layout::kSingleByte, u'?', false, u"", 0, Letters::kCentralEuropean, kSeldomNats},
    {Cause::kWindows1253, "windows-1253", 1253, Layout::kSingleByte, u'?', false, u"", 0, Letters::kGreek, kSeldomNats},
    {Cause::kWindows1254, "windows-1254", 1254, Layout::kSingleByte, u'?', false, u"", 0, Letters::kTurkish, kSeldomNats},
    {Cause::kWindows1255, "windows-1255", 1255, Layout::kSingleByte, u'?', false, u"", 0, Letters::kHebrew, kSeldomNats},
    {Cause::kWindows1257, "windows-1257", 1257, Layout::kSingleByte, u'?', false, u"", 0, Letters::kBaltic, kSeldomNats},
    {Cause::kEucKr, "euc-kr", 949, Layout::kDoubleByte, u'?', false, u"", 0, Letters::kNone, kSeldomNats},
    {Cause::kEucJp, "euc-jp", 20932, Layout::kDoubleByte, u'\x30FB', false, u"", 0, Letters::kNone, kSeldomNats},
    {Cause::kUtf16Le, "utf-16le", 1200, Layout::kUtf16Le, u'\xFFFD', false, u"UTF-16", 5},
    {Cause::kUtf16Be, "utf-16be", 1201, Layout::kUtf16Be, u'\xFFFD', false, u"UTF-16", 5},
    {Cause::kUnknown, "unknown", 0, Layout::kNone, u'?', false, u"", 0},
};

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

namespace encodings_detail {
constexpr bool InCauseOrder() {
  for (std::size_t i = 0; i < kCauseCount; ++i) {
    if (static_cast<std::size_t>(kEncodings[i].cause) != i) return false;
  }
  return kEncodings[kCauseCount - 1].cause == Cause::kUnknown;
}
}  // namespace encodings_detail
static_assert(encodings_detail::InCauseOrder(), "a record's place in kEncodings is its cause's value");
